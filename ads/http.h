// Blocking HTTP GET over the internet port: a whole body as text, or a body saved to a local file.
// Every read first yields to the event loop, so the window keeps painting and reacting during a fetch.
#pragma once
#include "platform/ports.h"

namespace ads {

// What a fetch works with: the internet port, the event loop it yields to before each read, and the files a
// download is saved to.
struct Http {
    Internet& internet;
    EventLoop& loop;
    Files& files;
};

constexpr char16_t kUserAgent[] = u"vb wininet";
constexpr uint32_t kInternetOpenTypeDirect = 1;
constexpr uint32_t kInternetFlagNoCacheWrite = 0x04000000;
constexpr uint32_t kReadSize = 256;
// A site cannot flood the editor: bodies beyond these sizes are dropped whole.
constexpr size_t kLargestText = size_t{1} << 20;  // the banner list, statistics answers
constexpr size_t kLargestFile = size_t{4} << 20;  // a banner image

// The body as code-page text; empty when the URL cannot be opened, the server answers with a status other
// than 2xx, the body is empty or longer than limit. Never raises.
Text GetUrlText(const Http& http, const Text& url, size_t limit = kLargestText);

// Saves the body to localPath (derived from the URL's last segment when empty). An unreachable URL or a
// status other than 2xx leaves the file system alone; a body cut short or longer than limit leaves no file
// rather than a corrupt one.
void DownloadFile(const Http& http, const Text& url, Text& localPath, size_t limit = kLargestFile);

}  // namespace ads
