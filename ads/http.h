// HTTP GET over the Http port: a whole body as text, or as bytes to be saved to a local file. The calls
// block, so they run as jobs (platform/jobs.h), never on the window's thread.
#pragma once
#include "platform/ports.h"

namespace ads {

// What a fetch works with: the HTTP client of the jobs' thread, and the clock its deadline is read from.
struct Fetcher {
    Http& http;
    const Clock& clock;
};

constexpr char16_t kUserAgent[] = u"vb wininet";
constexpr size_t kReadSize = 256;  // a body is read in pieces of at most this many bytes
// A site cannot flood the editor: bodies beyond these sizes are dropped whole.
constexpr size_t kLargestText = size_t{1} << 20;  // the banner list, statistics answers
constexpr size_t kLargestFile = size_t{4} << 20;  // a banner image
// Each read ends within the time-outs, but a site that sends a byte a second never lets them fire: past
// this many seconds a request is given up, whatever still arrives. Measured on the monotonic clock, so
// setting the wall clock neither stretches nor cuts it.
constexpr int64_t kRequestDeadline = 15;

// The body as code-page text; empty when the URL cannot be opened, the server answers with a status other
// than 2xx, the body is empty, longer than limit or not all there by the deadline. Never raises.
Text GetUrlText(const Fetcher& fetcher, const Text& url, size_t limit = kLargestText);

// A fetched file: nothing when the URL could not be opened (or answered other than 2xx), broken when the
// body was cut short, too long or late, whole otherwise.
struct Fetched {
    enum class Outcome { NotOpened, Broken, Whole } outcome = Outcome::NotOpened;
    Bytes body;
};
Fetched FetchFile(const Fetcher& fetcher, const Text& url, size_t limit = kLargestFile);

// Saves a fetch to localPath (derived from the URL's last segment when empty). Nothing opened leaves the
// file system alone; a broken body leaves no file rather than a corrupt one; a whole one is written whole.
void SaveFetched(Files& files, const Fetched& fetched, const Text& url, Text& localPath);

// FetchFile then SaveFetched, for callers that may block.
void DownloadFile(const Fetcher& fetcher, Files& files, const Text& url, Text& localPath,
                  size_t limit = kLargestFile);

}  // namespace ads
