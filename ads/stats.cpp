#include "ads/stats.h"

#include "ads/banner.h"
#include "ads/http.h"

namespace ads {

Text PercentEncode(const Text& text) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    Text out;
    auto escape = [&](unsigned byte) {
        out += u'%';
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
            Text(u"-._~").find(c) != Text::npos) {
            out += c;
            continue;
        }
        uint32_t code = c;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            code = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            code = 0xFFFD;  // a lone surrogate has no UTF-8 form
        if (code < 0x80) {
            escape(code);
        } else if (code < 0x800) {
            escape(0xC0 | code >> 6);
            escape(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            escape(0xE0 | code >> 12);
            escape(0x80 | (code >> 6 & 0x3F));
            escape(0x80 | (code & 0x3F));
        } else {
            escape(0xF0 | code >> 18);
            escape(0x80 | (code >> 12 & 0x3F));
            escape(0x80 | (code >> 6 & 0x3F));
            escape(0x80 | (code & 0x3F));
        }
    }
    return out;
}

}  // namespace ads
