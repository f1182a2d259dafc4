// A hostile banner list through parsing and page making: no image name that leaves the banner folder, no
// field that changes the page's markup, links only http(s) or "#".
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "ads/banner.h"

namespace {

size_t Markup(const Text& page) {
    size_t n = 0;
    for (const char16_t c : page) n += c == u'<' || c == u'>' || c == u'\'' || c == u'"';
    return n;
}

bool StartsWith(const Text& text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Both readings: the list as bytes widened one by one, and as raw UTF-16 units.
    Text list(reinterpret_cast<const char*>(data), reinterpret_cast<const char*>(data) + size);
    if (size % 2 == 0 && size > 0 && data[0] == 0xFF) {
        list.resize((size - 1) / 2);
        std::memcpy(list.data(), data + 1, list.size() * 2);  // data + 1 is not aligned for char16_t
    }
    const auto records = ads::UsableRecords(list);
    auto neutral = records;
    for (const ads::BannerRecord& r : records) {
        const Text& n = r.image;
        if (n.empty() || n.find(u"..") != Text::npos) std::abort();
        for (const char16_t c : n)
            if (c < 0x20 || c == 0x7F || c == u'\\' || c == u'/' || c == u':') std::abort();
        const Text link = ads::SafeLink(r.link);
        if (link != u"#" && !StartsWith(link, u"http://") && !StartsWith(link, u"https://")) std::abort();
    }
    for (auto& r : neutral) r.id = r.image = r.link = r.title = u"a";
    // Fields may only add text: the markup of the page is the same as with harmless fields.
    const Text page = ads::BannerGroups(records);
    if (Markup(page) != Markup(ads::BannerGroups(neutral))) std::abort();
    for (const auto& r : records)
        if (page.find(ads::SafeLink(r.link)) == Text::npos) std::abort();
    return 0;
}
