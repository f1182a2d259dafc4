// Text-level pieces of find and replace: word characters, the word around an offset, searching, replace all.
// Pure functions on UTF-16 text, so the window-free operations and the benchmarks share them. They read the
// text where it lies (the box's own buffer, lent for the call): nothing of it is copied but the word.
#pragma once
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

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

// How a search that ignores case compares: every unit as the user's locale lowers the text it stands in,
// looked up while the text is scanned, so that no lowered copy of the text is made. The locale lowers each
// unit of the Basic Multilingual Plane on its own, and a pair of surrogates as one character whose high half
// stays (true of every cased letter beyond that plane); so a table of the plane's 65536 units, and one of the
// 1024 low halves after each high half the word holds (after every high half, when the word begins with a low
// one), give what the locale gives for the whole text.
class CaseFold {
public:
    // A-Z as a-z, nothing else.
    CaseFold();
    // The tables read from the locale: a few calls of its lowering, none of them on the text.
    CaseFold(const Locale& locale, std::u16string_view word);

    char16_t Unit(char16_t c) const { return m_Table[c]; }
    // The unit at i as the locale lowers text: a low surrogate after a high one as the second half of their
    // pair.
    char16_t At(std::u16string_view text, std::size_t i) const;
    // The word as it compares: each unit as At gives it.
    Text Fold(std::u16string_view word) const;
    // The units u lowered to c on their own (Unit(u) == c): the first `most` into out; how many there are.
    std::size_t Spellings(char16_t c, char16_t* out, std::size_t most) const;

private:
    void Index();                                         // m_Others from m_Table
    std::vector<char16_t> m_Table;                        // 65536 units
    std::vector<std::vector<char16_t>> m_Lows;            // by high half: its 1024 low halves, or none
    std::vector<std::pair<char16_t, char16_t>> m_Others;  // (lowered, unit) for each unit lowered to another
};

// Offset of the first occurrence of word that starts at or after from, or -1 (also for an empty word or a
// start past the end). The text is read from `from` on, as if it began there. fold null: units compare
// exactly. Linear in the text scanned plus the word, whatever the word.
std::ptrdiff_t FindNext(std::u16string_view text, std::size_t from, std::u16string_view word,
                        const CaseFold* fold);
// Offset of the last occurrence of word that ends at or before `before` (which is clamped to the text), or
// -1: the text is read as if it ended there. Linear as FindNext.
std::ptrdiff_t FindPrevious(std::u16string_view text, std::size_t before, std::u16string_view word,
                            const CaseFold* fold);

// FindNext, exactly or folding A-Z to a-z alone.
std::ptrdiff_t FindExact(std::u16string_view text, std::size_t from, std::u16string_view word);
std::ptrdiff_t FindIgnoreAsciiCase(std::u16string_view text, std::size_t from, std::u16string_view word);

// Every occurrence of find replaced by replacement, scanning left to right without overlap; one pass.
// An empty find leaves the text as it is.
Text ReplaceAllExact(std::u16string_view text, std::u16string_view find, std::u16string_view replacement);
// The same into out, whose storage is reused (text and out must not overlap).
void ReplaceAllExact(std::u16string_view text, std::u16string_view find, std::u16string_view replacement,
                     Text& out);

}  // namespace find
