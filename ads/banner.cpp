#include "ads/banner.h"

#include <cstdlib>
#include <string>

#include "ads/http.h"
#include "base/whole_file.h"

namespace ads {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool StartsWithNoCase(const Text& text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Upper(text[i]) != Upper(prefix[i])) return false;
    return true;
}

bool IsHttp(const Text& url) {
    return StartsWithNoCase(url, u"http://") || StartsWithNoCase(url, u"https://");
}

// CON, NUL, COM1 and the like open a device whatever folder and extension go with them.
bool IsDeviceName(const Text& name) {
    Text base = name.substr(0, name.find(u'.'));
    while (!base.empty() && base.back() == u' ') base.pop_back();
    for (auto& c : base) c = Upper(c);
    for (const char16_t* device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"})
        if (base == device) return true;
    return base.size() == 4 && (base.starts_with(u"COM") || base.starts_with(u"LPT")) && base[3] >= u'1' &&
           base[3] <= u'9';
}

}  // namespace

double LeadingNumber(const Text& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\r' || text[i] == u'\n'))
        ++i;
    std::string number;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) number += static_cast<char>(text[i++]);
    const size_t digitsFrom = number.size();
    while (i < text.size() && IsDigit(text[i])) number += static_cast<char>(text[i++]);
    if (i < text.size() && text[i] == u'.') {
        number += '.';
        for (++i; i < text.size() && IsDigit(text[i]); ++i) number += static_cast<char>(text[i]);
    }
    if (number.find_first_of("0123456789", digitsFrom) == std::string::npos) return 0;
    // An exponent counts only when digits follow it ("12e" is 12).
    if (i < text.size() && (Upper(text[i]) == u'E' || Upper(text[i]) == u'D')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) exponent += static_cast<char>(text[j++]);
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) exponent += static_cast<char>(text[j++]);
            number += exponent;
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

bool UsableImageName(const Text& name) {
    if (name.empty() || name == u"." || name.find(u"..") != Text::npos || IsDeviceName(name)) return false;
    for (const char16_t c : name)
        if (c < 0x20 || c == 0x7F || Text(u"\\/:<>\"|?*").find(c) != Text::npos) return false;
    return true;
}

Text HtmlAttribute(const Text& text) {
    Text out;
    out.reserve(text.size());
    for (const char16_t c : text) {
        switch (c) {
            case u'&':
                out += u"&amp;";
                break;
            case u'\'':
                out += u"&#39;";
                break;
            case u'"':
                out += u"&quot;";
                break;
            case u'<':
                out += u"&lt;";
                break;
            case u'>':
                out += u"&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

Text SafeLink(const Text& link) { return IsHttp(link) ? HtmlAttribute(link) : u"#"; }

bool OpensInBrowser(const Text& url) {
    if (!IsHttp(url)) return false;
    const size_t host = url.find(u"//") + 2;
    if (host >= url.size() || Text(u"/?#").find(url[host]) != Text::npos) return false;
    for (const char16_t c : url)
        if (c <= 0x20 || c == 0x7F || c == u'"') return false;
    return true;
}

std::vector<BannerRecord> UsableRecords(const Text& list) {
    std::vector<BannerRecord> records;
    for (const Text& record : base::SplitText(list, u"\r\n")) {
        if (record.empty()) continue;
        const std::vector<Text> f = base::SplitText(record, u"\t");
        if (f.size() < kBannerFields || !UsableImageName(f[1])) continue;
        records.push_back({f[0], f[1], f[2], f[3], f[4]});
        if (records.size() == kMostBanners) break;
    }
    return records;
}

Text BannerEntry(const BannerRecord& r) {
    return u"\t<a href='" + SafeLink(r.link) + u"' target='_blank'><img src='..\\banner\\" +
           HtmlAttribute(r.image) + u"' title='" + HtmlAttribute(r.title) + u"' alt='" + HtmlAttribute(r.id) +
           u"'></a> \r\n";
}

Text BannerGroups(const std::vector<BannerRecord>& records) {
    Text page, group;
    size_t count = 0;
    for (const BannerRecord& r : records) {
        group += BannerEntry(r);
        if (++count == kBannerGroupSize) {
            page += u"\t<div>\r\n" + group + u"\t</div>\r\n";
            group.clear();
            count = 0;
        }
    }
    if (!group.empty()) page += u"\t<div>\r\n" + group + u"\t</div>";
    return page;
}

}  // namespace ads
