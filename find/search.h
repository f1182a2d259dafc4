// Text-level pieces of find and replace: word characters, the word around an offset, replace all.
// Pure functions on UTF-16 text, so the window-free operations and the benchmarks share them.
#pragma once
#include <cstdint>
#include <string_view>

#include "platform/ports.h"

namespace find {

// Exactly these 64 code units make up words; everything else (also letters outside ASCII) ends one.
constexpr std::u16string_view WordChars = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+-";

bool IsWordChar(char16_t c);

// 1-based position of the first non-word character of t, 0 when there is none.
// Positions are true ones, also beyond 32767.
int64_t Qspace(std::u16string_view t);

// Start and end offsets of the word around offset p (a caret at 0 counts the first character as before it).
void FLText(std::u16string_view text, int64_t p, int64_t& start, int64_t& end);

// Offset of the first occurrence of word in text at or after from, or -1 (also for an empty word or a start
// past the end). Exact compares code units; IgnoreAsciiCase also folds A-Z to a-z, nothing else. Both run in
// time linear in the text scanned plus the word, whatever the word.
std::ptrdiff_t FindExact(std::u16string_view text, std::size_t from, std::u16string_view word);
std::ptrdiff_t FindIgnoreAsciiCase(std::u16string_view text, std::size_t from, std::u16string_view word);

// Every occurrence of find replaced by replacement, scanning left to right without overlap; one pass.
// An empty find leaves the text as it is.
Text ReplaceAllExact(std::u16string_view text, std::u16string_view find, std::u16string_view replacement);
// The same into out, whose storage is reused (text and out must not overlap).
void ReplaceAllExact(std::u16string_view text, std::u16string_view find, std::u16string_view replacement,
                     Text& out);

}  // namespace find
