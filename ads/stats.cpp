#include "ads/stats.h"

#include "ads/banner.h"
#include "ads/http.h"
#include "base/unicode.h"

namespace ads {

Text PercentEncode(const Text& text) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    constexpr std::string_view kUnreserved = "-._~";
    Text out;
    for (const char c : base::ToUtf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
            kUnreserved.find(c) != std::string_view::npos) {
            out += static_cast<char16_t>(byte);
        } else {
            out += u'%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

}  // namespace ads
