// Test-only: find next as it went before the text was read where it lies (the whole text copied out of the
// box, the part from the selection on lowered by the locale as one string, then searched), restated over
// plain string searches, as the reference the in-place search is held to; and a locale whose lower case has
// the cases that make folding hard.
#pragma once
#include <algorithm>
#include <string_view>

#include "platform/ports.h"

namespace copysearch {

constexpr bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A locale of the tests' own: A-Z and the Latin-1 and Greek capitals; U+0130 (I with a dot) and U+212A (the
// Kelvin sign) as i and k; U+212B (the Angstrom sign) as U+00E5; five more units made up to lower to x, so
// that a unit has more spellings than a scan compares at once; and the Deseret capitals (U+10400..U+10427, a
// pair each) as their small letters, a pair that only the unit before makes a letter.
struct CasedLocale : Locale {
    bool SetShortDateFormat(const Text&) override { return false; }

    static char16_t Lower(char16_t c) {
        if ((c >= u'A' && c <= u'Z') || (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) ||
            (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2))
            return static_cast<char16_t>(c + 32);
        switch (c) {
            case 0x0130:
                return u'i';
            case 0x212A:
                return u'k';
            case 0x212B:
                return 0x00E5;
            case 0x24CD:
            case 0xFF38:
            case 0xFF58:
            case 0x0445:
            case 0x2179:
                return u'x';
            default:
                return c;
        }
    }
    // The low half of a pair after its high half.
    static char16_t LowerLow(char16_t high, char16_t low) {
        return high == 0xD801 && low <= 0xDC27 ? static_cast<char16_t>(low + 0x28) : low;
    }
    Text LowerCase(std::u16string_view text) const override {
        Text out(text);
        for (std::size_t i = 0; i < out.size(); ++i) {
            if (IsHigh(out[i]) && i + 1 < out.size() && IsLow(out[i + 1])) {
                out[i + 1] = LowerLow(out[i], out[i + 1]);
                ++i;
            } else {
                out[i] = Lower(out[i]);
            }
        }
        return out;
    }
};

// Find next before: from `from` on, exactly or through the locale (null: exactly); -1 when none.
inline std::ptrdiff_t FindNextOnACopy(std::u16string_view text, std::size_t from, std::u16string_view word,
                                      const Locale* locale) {
    if (word.empty() || from > text.size() || word.size() > text.size() - from) return -1;
    const Text copy(text);  // what GetText gave
    const Text rest = locale ? locale->LowerCase(std::u16string_view(copy).substr(from)) : copy.substr(from);
    const Text w = locale ? locale->LowerCase(word) : Text(word);
    const std::size_t hit = rest.find(w);
    return hit == Text::npos ? -1 : static_cast<std::ptrdiff_t>(from + hit);
}

// The same backwards: the last occurrence in the text before `before`, read as if it ended there.
inline std::ptrdiff_t FindPreviousOnACopy(std::u16string_view text, std::size_t before,
                                          std::u16string_view word, const Locale* locale) {
    const Text copy(text.substr(0, std::min(before, text.size())));
    if (word.empty() || word.size() > copy.size()) return -1;
    const Text head = locale ? locale->LowerCase(copy) : copy;
    const Text w = locale ? locale->LowerCase(word) : Text(word);
    const std::size_t hit = head.rfind(w);
    return hit == Text::npos ? -1 : static_cast<std::ptrdiff_t>(hit);
}

}  // namespace copysearch
