// Text-level pieces of find and replace: word characters, the word around an offset, replace all.
// Pure functions on UTF-16 text, so the window-free operations and the benchmarks share them.
#include "find/search.h"

#include <algorithm>

namespace d1 {

bool IsWordChar(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'+' ||
           c == u'-';
}

int64_t Qspace(std::u16string_view t) {
    for (std::size_t i = 0; i < t.size(); ++i)
        if (!IsWordChar(t[i])) return static_cast<int64_t>(i) + 1;
    return 0;
}

void FLText(std::u16string_view text, int64_t p, int64_t& start, int64_t& end) {
    const auto size = static_cast<int64_t>(text.size());
    if (p == 0) p = 1;
    p = std::clamp<int64_t>(p, 0, size);
    const int64_t q = Qspace(text.substr(static_cast<std::size_t>(p)));
    end = q > 0 ? p + q - 1 : size;
    // The nearest non-word character before p, as Qspace would find it in the reversed prefix,
    // without copying a prefix that may be the whole document.
    start = 0;
    for (int64_t i = p - 1; i >= 0; --i) {
        if (!IsWordChar(text[static_cast<std::size_t>(i)])) {
            start = i + 1;
            break;
        }
    }
}

Text ReplaceAllExact(std::u16string_view text, std::u16string_view find, std::u16string_view replacement) {
    if (find.empty()) return Text(text);
    Text out;
    std::size_t from = 0;
    std::size_t hit = text.find(find, from);
    if (hit == std::u16string_view::npos) return Text(text);
    out.reserve(text.size());
    while (hit != std::u16string_view::npos) {
        out.append(text.substr(from, hit - from));
        out.append(replacement);
        from = hit + find.size();
        hit = text.find(find, from);
    }
    out.append(text.substr(from));
    return out;
}

}  // namespace d1
