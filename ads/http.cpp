#include "ads/http.h"

#include <algorithm>
#include <cstring>

#include "base/codepage.h"
#include "base/whole_file.h"
#include "platform/trace.h"

namespace ads {
namespace {

// An internet handle closed when the scope that opened it ends, whatever way it ends.
class NetScope {
public:
    NetScope(Internet& net, NetHandle h) : net_(net), h_(h) {}
    ~NetScope() {
        if (h_) net_.Close(h_);
    }
    NetScope(const NetScope&) = delete;
    NetScope& operator=(const NetScope&) = delete;
    NetHandle Get() const { return h_; }
    explicit operator bool() const { return h_ != 0; }

private:
    Internet& net_;
    NetHandle h_;
};

// One read after the yield; false when the read failed. delivered is never more than the buffer.
bool ReadChunk(const Http& p, NetHandle h, char* buffer, uint32_t& delivered) {
    p.loop.DoEvents();
    delivered = 0;
    const bool ok = p.internet.Read(h, buffer, kReadSize, delivered);
    if (!ok) delivered = 0;
    delivered = std::min(delivered, kReadSize);
    return ok;
}

}  // namespace

Text GetUrlText(const Http& p, const Text& url, size_t limit) {
    Text result;
    try {
        NetScope root(p.internet, p.internet.Open(kUserAgent, kInternetOpenTypeDirect, 0));
        if (!root) return result;
        NetScope file(p.internet, p.internet.OpenUrl(root.Get(), url, kInternetFlagNoCacheWrite));
        if (!file) return result;
        char buffer[kReadSize];
        // A failed read delivers nothing and so ends the body like its real end.
        for (;;) {
            uint32_t delivered = 0;
            ReadChunk(p, file.Get(), buffer, delivered);
            if (delivered == 0) break;
            if (result.size() + delivered > limit) {
                platform::Trace(u"too long a body from " + url);
                return {};
            }
            result += base::FromCodePage(std::string_view(buffer, delivered));
        }
    } catch (...) {
        // What arrived so far is the answer; a fetch never raises.
        platform::TraceCurrentException(u"fetch");
    }
    return result;
}

void DownloadFile(const Http& p, const Text& url, Text& localPath, size_t limit) {
    try {
        NetScope root(p.internet, p.internet.Open(kUserAgent, kInternetOpenTypeDirect, 0));
        if (!root) return;
        NetScope file(p.internet, p.internet.OpenUrl(root.Get(), url, kInternetFlagNoCacheWrite));
        if (!file) return;
        if (localPath.empty()) {
            const size_t slash = url.rfind(u'/');
            localPath = slash == Text::npos ? url : url.substr(slash + 1);
        }
        Bytes body;
        bool complete = true;
        char buffer[kReadSize];
        for (;;) {
            std::memset(buffer, 0, sizeof buffer);
            uint32_t delivered = 0;
            if (!ReadChunk(p, file.Get(), buffer, delivered)) {
                complete = false;
                break;
            }
            if (delivered == 0) break;
            if (body.size() + delivered > limit) {
                platform::Trace(u"too large a file from " + url);
                complete = false;
                break;
            }
            body.append(buffer, delivered);
        }
        // The body is written whole once it is all there, so no half image is ever on disk. A file that
        // cannot be written is skipped: WriteWholeBytes leaves the old one as it was.
        if (complete)
            base::WriteWholeBytes(p.files, localPath, body);
        else
            p.files.Delete(localPath);
    } catch (...) {
        // Out of memory for the body: the download is skipped like any other failure.
        platform::TraceCurrentException(u"download");
    }
}

}  // namespace ads
