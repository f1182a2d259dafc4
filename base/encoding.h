// The bytes of a plain document and the text the editor shows, in both directions: which encoding and line
// breaks a file has, and writing it back in kind. Every form chosen on reading gives the same bytes on
// writing an unedited text; a file that no other form keeps exactly is read through the code page, which
// keeps all.
#pragma once
#include <string_view>

#include "base/nuls.h"
#include "platform/ports.h"

namespace base {

enum class Encoding { Ansi, Utf8, Utf8Bom, Utf16Le, Utf16Be };  // Ansi: the Windows-874 code page
// The first line break of the file. Mixed: its breaks differ, and the text is left as it stands both ways.
enum class LineBreaks { CrLf, Lf, Cr, Mixed };

struct TextFormat {
    Encoding encoding = Encoding::Ansi;
    LineBreaks breaks = LineBreaks::CrLf;
    // UTF-16 from a file that had no byte-order mark: written back without one.
    bool noBom = false;
    bool operator==(const TextFormat&) const = default;
};

// The names of the encodings in the Save As list (and after "Auto-detect" in the Open list), in the enum's
// order.
constexpr int kEncodingCount = 5;
Text EncodingName(Encoding encoding);

// bytes to the text the box shows (NULs as the symbol, every break CR LF unless the file's are mixed), and
// the form to write it back in. Never fails.
TextFormat DecodeDocument(std::string_view bytes, Text& text);
// bytes read in the encoding the user chose instead, the same way; a byte-order mark of that encoding at the
// start is taken as one (for both UTF-8 forms), and format keeps whether there was one. False, and text
// unspecified, when the file is not valid in that encoding or holds the NUL symbol there.
bool DecodeDocumentAs(std::string_view bytes, Encoding encoding, Text& text, TextFormat& format);
// The text as the box holds it, written in format: the symbol as NUL, CR LF as the format's break. Characters
// the code page lacks become "?" (ask first: FirstUnmappable), and in UTF-8 an unpaired surrogate becomes
// U+FFFD (ask first: FirstUnpairedSurrogate). Sized exactly.
Bytes EncodeDocument(std::u16string_view text, TextFormat format);
// The same bytes handed to put in pieces of pieceUnits' worth from a buffer the size of the largest piece so
// far (a big text is written without a buffer its size), wiped when it is let go; false as soon as put is.
constexpr size_t kEncodePieceUnits = size_t{256} * 1024;
bool EncodeDocument(std::u16string_view text, TextFormat format, const Files::PutBytes& put,
                    size_t pieceUnits = kEncodePieceUnits);

}  // namespace base
