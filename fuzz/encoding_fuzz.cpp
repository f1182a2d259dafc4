// Any file read as a plain document and written back unedited gives its bytes exactly, detected or read in
// any encoding the Open dialog offers that accepts it; the text never holds U+0000, and an edit (a line typed
// at the end) comes back after a second read as the same text; written in pieces, the bytes are the same.
// And the same bytes taken as any UTF-16 units at all: the UTF-8 codec and a document's UTF-8 in each line
// style, whole and in pieces, against the reference that goes one code point at a time.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/encoding.h"
#include "base/unicode.h"
#include "unit/utf8_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Bytes file(reinterpret_cast<const char*>(data), size);
    Text text;
    const base::TextFormat format = base::DecodeDocument(file, text);
    if (base::EncodeDocument(text, format) != file) std::abort();
    // In pieces of a size the input picks, the same bytes.
    Bytes pieces;
    base::EncodeDocument(
        text, format, [&](std::string_view piece) { return pieces.append(piece), true; }, 2 + size % 7);
    if (pieces != file) std::abort();
    if (text.find(u'\0') != Text::npos) std::abort();
    if (format.encoding != base::Encoding::Ansi) {
        // Every character survives a save in a unicode form.
        const Text edited = text + u"\r\nend";
        Text again;
        const base::TextFormat reread = base::DecodeDocument(base::EncodeDocument(edited, format), again);
        if (reread.encoding == format.encoding && again != edited && format.breaks != base::LineBreaks::Mixed)
            std::abort();
    }
    for (int e = 0; e < base::kEncodingCount; ++e) {
        Text as;
        base::TextFormat chosen;
        if (!base::DecodeDocumentAs(file, static_cast<base::Encoding>(e), as, chosen)) continue;
        if (base::EncodeDocument(as, chosen) != file) std::abort();
        if (as.find(u'\0') != Text::npos) std::abort();
    }

    Text units(size / 2, u'\0');
    std::memcpy(units.data(), data, 2 * units.size());
    const Bytes utf8 = reference::Utf8(units);
    if (base::ToUtf8(units) != utf8 || base::Utf8Length(units) != utf8.size()) std::abort();
    const std::pair<base::LineBreaks, char16_t> styles[] = {{base::LineBreaks::CrLf, 0},
                                                            {base::LineBreaks::Mixed, 0},
                                                            {base::LineBreaks::Lf, u'\n'},
                                                            {base::LineBreaks::Cr, u'\r'}};
    for (const auto& [breaks, lone] : styles) {
        const base::TextFormat format{base::Encoding::Utf8, breaks, false};
        const Bytes expected = reference::Utf8(reference::Written(units, lone));
        if (base::EncodeDocument(units, format) != expected) std::abort();
        Bytes joined;
        base::EncodeDocument(
            units, format, [&](std::string_view piece) { return joined.append(piece), true; }, 2 + size % 11);
        if (joined != expected) std::abort();
    }
    return 0;
}
