#include "ads/http.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "base/codepage.h"
#include "base/whole_file.h"
#include "platform/trace.h"

namespace ads {
namespace {

enum class Body { NotOpened, Broken, TooLong, Whole };

// Reads the whole body of url into out, which keeps what arrived before a failure.
Body ReadBody(const Fetcher& p, const Text& url, size_t limit, Bytes& out) {
    const int64_t started = p.clock.MonotonicMilliseconds();
    const std::unique_ptr<HttpBody> body = p.http.Get(url, kUserAgent);
    if (!body) return Body::NotOpened;
    char buffer[kReadSize];
    for (;;) {
        if (p.clock.MonotonicMilliseconds() - started > kRequestDeadline * 1000) {
            platform::Trace(u"too slow an answer from " + url);
            return Body::TooLong;
        }
        std::memset(buffer, 0, sizeof buffer);
        size_t delivered = 0;
        if (!body->Read(buffer, kReadSize, delivered)) return Body::Broken;
        delivered = std::min(delivered, kReadSize);
        if (delivered == 0) return Body::Whole;
        if (out.size() + delivered > limit) {
            platform::Trace(u"too long a body from " + url);
            return Body::TooLong;
        }
        out.append(buffer, delivered);
    }
}

}  // namespace

Text GetUrlText(const Fetcher& p, const Text& url, size_t limit) {
    try {
        Bytes body;
        // A failed read ends the body like its real end; a body too long or too late is no answer.
        if (ReadBody(p, url, limit, body) == Body::TooLong) return {};
        return base::FromCodePage(body);
    } catch (...) {
        platform::TraceCurrentException(u"fetch");
    }
    return {};
}

Fetched FetchFile(const Fetcher& p, const Text& url, size_t limit) {
    Fetched f;
    try {
        const Body got = ReadBody(p, url, limit, f.body);
        f.outcome = got == Body::Whole       ? Fetched::Outcome::Whole
                    : got == Body::NotOpened ? Fetched::Outcome::NotOpened
                                             : Fetched::Outcome::Broken;
    } catch (...) {
        // Out of memory for the body: the download is skipped like any other failure.
        platform::TraceCurrentException(u"download");
        f.outcome = Fetched::Outcome::NotOpened;
    }
    if (f.outcome != Fetched::Outcome::Whole) f.body.clear();
    return f;
}

void SaveFetched(Files& files, const Fetched& fetched, const Text& url, Text& localPath) {
    if (fetched.outcome == Fetched::Outcome::NotOpened) return;
    if (localPath.empty()) {
        const size_t slash = url.rfind(u'/');
        localPath = slash == Text::npos ? url : url.substr(slash + 1);
    }
    // The body is written whole once it is all there, so no half image is ever on disk. A file that cannot
    // be written is skipped: WriteWholeBytes leaves the old one as it was.
    if (fetched.outcome == Fetched::Outcome::Whole)
        base::WriteWholeBytes(files, localPath, fetched.body);
    else
        files.Delete(localPath);
}

void DownloadFile(const Fetcher& p, Files& files, const Text& url, Text& localPath, size_t limit) {
    SaveFetched(files, FetchFile(p, url, limit), url, localPath);
}

}  // namespace ads
