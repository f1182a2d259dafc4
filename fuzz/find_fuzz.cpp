// Word at the caret, search and replace all on arbitrary text and offsets, against plain reference versions.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "find/search.h"

namespace {

Text ReferenceReplace(std::u16string_view text, std::u16string_view find, std::u16string_view replacement) {
    if (find.empty()) return Text(text);
    Text out;
    size_t i = 0;
    while (i < text.size()) {
        if (text.substr(i, find.size()) == find) {
            out += replacement;
            i += find.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

char16_t Fold(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

std::ptrdiff_t ReferenceFind(std::u16string_view text, size_t from, std::u16string_view word, bool fold) {
    if (word.empty()) return -1;
    for (size_t i = from; i + word.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < word.size() && (fold ? Fold(text[i + k]) == Fold(word[k]) : text[i + k] == word[k])) ++k;
        if (k == word.size()) return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 6) return 0;
    // Header: a caret offset (may lie outside the text), a start offset, the find and replacement lengths.
    const int64_t caret = static_cast<int8_t>(data[0]) * 3;
    const size_t from = data[1];
    const size_t findLen = data[2] % 8, replLen = data[3] % 8;
    const std::u16string_view units(reinterpret_cast<const char16_t*>(data + 4), (size - 4) / 2);
    const std::u16string_view find = units.substr(0, findLen);
    const std::u16string_view repl = units.substr(std::min(units.size(), findLen), replLen);
    const std::u16string_view text = units.substr(std::min(units.size(), findLen + replLen));

    const int64_t q = find::Qspace(text);
    if (q < 0 || q > static_cast<int64_t>(text.size())) std::abort();
    if (q > 0 && find::IsWordChar(text[q - 1])) std::abort();
    for (int64_t i = 0; i < (q ? q - 1 : static_cast<int64_t>(text.size())); ++i)
        if (!find::IsWordChar(text[i])) std::abort();

    int64_t start = -1, end = -1;
    find::FLText(text, caret, start, end);
    if (start < 0 || end < start || end > static_cast<int64_t>(text.size())) std::abort();
    for (int64_t i = start; i < end; ++i)
        if (!find::IsWordChar(text[i])) std::abort();

    if (find::FindExact(text, from, find) != ReferenceFind(text, from, find, false)) std::abort();
    if (find::FindIgnoreAsciiCase(text, from, find) != ReferenceFind(text, from, find, true)) std::abort();
    const Text replaced = find::ReplaceAllExact(text, find, repl);
    if (replaced != ReferenceReplace(text, find, repl)) std::abort();
    Text reused(u"left over");
    find::ReplaceAllExact(text, find, repl, reused);
    if (reused != replaced) std::abort();
    return 0;
}
