// The text box cannot hold U+0000: a document's NUL bytes are shown as the symbol for NUL and written back as
// NUL bytes, so that nothing of the file is lost and the user sees where they are. Plain and secret
// documents.
#pragma once
#include "platform/ports.h"

namespace base {

constexpr char16_t kNulSymbol = u'\u2400';

// One unit as the box shows it, and as the file holds it.
constexpr char16_t ShowNul(char16_t c) { return c == u'\0' ? kNulSymbol : c; }
constexpr char16_t RestoreNul(char16_t c) { return c == kNulSymbol ? u'\0' : c; }

inline void ShowNuls(Text& text) {
    for (char16_t& c : text) c = ShowNul(c);
}
inline void RestoreNuls(Text& text) {
    for (char16_t& c : text) c = RestoreNul(c);
}

}  // namespace base
