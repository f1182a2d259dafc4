// The bytes of a plain document and the text the editor shows, in both directions: which encoding and line
// breaks a file has, and writing it back in kind. Every form chosen on reading gives the same bytes on
// writing an unedited text; a file that no other form keeps exactly is read through the code page, which
// keeps all.
#pragma once
#include <string_view>

#include "platform/ports.h"

namespace base {

enum class Encoding { Ansi, Utf8, Utf8Bom, Utf16Le, Utf16Be };  // Ansi: the Windows-874 code page
// The first line break of the file. Mixed: its breaks differ, and the text is left as it stands both ways.
enum class LineBreaks { CrLf, Lf, Cr, Mixed };

struct TextFormat {
    Encoding encoding = Encoding::Ansi;
    LineBreaks breaks = LineBreaks::CrLf;
    bool operator==(const TextFormat&) const = default;
};

// The names of the encodings in the Save As list, in the enum's order.
constexpr int kEncodingCount = 5;
Text EncodingName(Encoding encoding);

// The text box cannot hold U+0000: a NUL is shown as this symbol and written back as NUL.
constexpr char16_t kNulSymbol = u'\u2400';

// bytes to the text the box shows (NULs as the symbol, every break CR LF unless the file's are mixed), and
// the form to write it back in. Never fails.
TextFormat DecodeDocument(std::string_view bytes, Text& text);
// The text as the box holds it, written in format: the symbol as NUL, CR LF as the format's break. Characters
// the code page lacks become "?" (ask first: FirstUnmappable).
Bytes EncodeDocument(std::u16string_view text, TextFormat format);

}  // namespace base
