#include "base/text.h"

namespace base {

std::vector<Text> SplitText(const Text& text, const Text& separator) {
    std::vector<Text> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != Text::npos; start = at + separator.size())
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

Text ReplaceAll(const Text& text, const Text& marker, const Text& replacement) {
    if (marker.empty()) return text;
    Text out;
    size_t start = 0;
    for (size_t at; (at = text.find(marker, start)) != Text::npos; start = at + marker.size())
        out.append(text, start, at - start).append(replacement);
    return out.append(text, start, Text::npos);
}

Text Trim(const Text& text) {
    const auto first = text.find_first_not_of(u' ');
    if (first == Text::npos) return {};
    return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

Text LowerAscii(Text text) {
    for (auto& c : text)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
    return text;
}

Text UpperAscii(Text text) {
    for (auto& c : text)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - (u'a' - u'A'));
    return text;
}

void Wipe(Text& secret) {
    secret.resize(secret.capacity());
    // Through a volatile pointer: stores to memory about to be freed may otherwise be left out.
    volatile char16_t* p = secret.data();
    for (size_t i = 0; i < secret.size(); ++i) p[i] = 0;
    secret.clear();
}

void Wipe(Bytes& secret) {
    secret.resize(secret.capacity());
    volatile char* p = secret.data();
    for (size_t i = 0; i < secret.size(); ++i) p[i] = 0;
    secret.clear();
}

}  // namespace base
