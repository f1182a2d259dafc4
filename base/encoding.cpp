// Detection reads the file once per candidate form (at most a BOM's or BOM-less UTF-16's, UTF-8, then the
// code page; the test for BOM-less UTF-16 stops at the first byte of most other files), the line
// breaks are counted once over the text, and a conversion, when the breaks call for one, is one more copy.
#include "base/encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/codepage.h"
#include "base/text.h"
#include "base/unicode.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace base {

namespace {

constexpr char16_t kCr = u'\r', kLf = u'\n';

// Strict UTF-8 into text; nonAscii: whether a character took more than one byte (then the text has fewer
// units than the bytes: every longer form makes fewer units than it has bytes).
bool DecodeUtf8(std::string_view bytes, Text& text, bool& nonAscii) {
    if (!FromUtf8(bytes, text)) return false;
    nonAscii = text.size() < bytes.size();
    return true;
}

void DecodeUtf16(std::string_view bytes, bool bigEndian, Text& text) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    text.resize(bytes.size() / 2);
    const int hi = bigEndian ? 0 : 1, lo = 1 - hi;
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>((b[2 * i + hi] << 8) | b[2 * i + lo]);
}

// UTF-16 as tools write it without a byte-order mark, by every sign: an even length, and every unit a
// character of U+0001..U+00FF (every other byte zero, none of the others). Such units are no NUL, no
// surrogate and not the NUL symbol, so the decode gives the bytes back exactly. Code-page text never has
// a NUL every other byte; a file that is both ways (e.g. 16-bit numbers) comes back whole either way.
bool LooksLikeUtf16WithoutBom(std::string_view bytes, bool bigEndian) {
    if (bytes.empty() || bytes.size() % 2) return false;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t zero = bigEndian ? 0 : 1;
    for (size_t i = 0; i < bytes.size(); i += 2)
        if (b[i + zero] != 0 || b[i + 1 - zero] == 0) return false;
    return true;
}

struct BreakCount {
    size_t cr = 0, lf = 0, crlf = 0;
    bool symbol = false;  // the text already holds the NUL symbol: it would come back as NUL
};

// Counts the breaks and shows NULs as the symbol, in one pass.
BreakCount CountBreaks(Text& text) {
    BreakCount count;
    char16_t previous = 0;
    for (char16_t& c : text) {
        if (c == kLf) {
            ++count.lf;
            if (previous == kCr) ++count.crlf;
        } else if (c == kCr) {
            ++count.cr;
        } else {
            count.symbol |= c == kNulSymbol;
            c = ShowNul(c);
        }
        previous = c;
    }
    return count;
}

// The style of a text whose breaks were counted; lone breaks become CR LF only when all are alike.
LineBreaks ToCrLf(Text& text, const BreakCount& count) {
    if (count.cr == count.crlf && count.lf == count.crlf) return LineBreaks::CrLf;  // also: no break at all
    const bool lf = count.cr == 0, cr = count.lf == 0;
    if (!lf && !cr) return LineBreaks::Mixed;
    Text converted(text.size() + (lf ? count.lf : count.cr), u'\0');
    char16_t* out = converted.data();
    const char16_t lone = lf ? kLf : kCr;
    for (const char16_t c : text) {
        if (c == lone) {
            *out++ = kCr;
            *out++ = kLf;
        } else {
            *out++ = c;
        }
    }
    text = std::move(converted);
    return lf ? LineBreaks::Lf : LineBreaks::Cr;
}

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.size() >= prefix.size() && std::memcmp(bytes.data(), prefix.data(), prefix.size()) == 0;
}

// The unicode forms: the decoded text, unless the file is better kept through the code page.
bool TryUnicode(std::string_view bytes, Text& text, TextFormat& format) {
    bool nonAscii = false;
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        format.encoding = Encoding::Utf8Bom;
        return DecodeUtf8(bytes.substr(3), text, nonAscii);
    }
    const bool le = StartsWith(bytes, "\xFF\xFE"), be = StartsWith(bytes, "\xFE\xFF");
    if (le || be) {
        // An odd byte at the end belongs to no unit: the code page keeps such a file whole.
        if (bytes.size() % 2) return false;
        DecodeUtf16(bytes.substr(2), be, text);
        format.encoding = be ? Encoding::Utf16Be : Encoding::Utf16Le;
        return true;
    }
    for (const bool bigEndian : {false, true}) {
        if (!LooksLikeUtf16WithoutBom(bytes, bigEndian)) continue;
        DecodeUtf16(bytes, bigEndian, text);
        format.encoding = bigEndian ? Encoding::Utf16Be : Encoding::Utf16Le;
        format.noBom = true;
        return true;
    }
    // Plain ASCII reads the same either way and stays in the code page, as new documents are. Thai in the
    // code page is rarely valid UTF-8 (a short "รถ" is "ö"), and the Open dialog reads such a file as ANSI.
    format.encoding = Encoding::Utf8;
    return DecodeUtf8(bytes, text, nonAscii) && nonAscii;
}

// The bytes in the one encoding the user chose; its byte-order mark at the start is the mark.
bool DecodeAs(std::string_view bytes, Encoding encoding, Text& text, TextFormat& format) {
    format.encoding = encoding;
    switch (encoding) {
        case Encoding::Ansi:
            text.resize(bytes.size());
            DecodeCodePage(bytes, text.data());
            return true;
        case Encoding::Utf8:
        case Encoding::Utf8Bom: {
            const bool bom = StartsWith(bytes, "\xEF\xBB\xBF");
            format.encoding = bom ? Encoding::Utf8Bom : Encoding::Utf8;
            bool nonAscii = false;
            return DecodeUtf8(bytes.substr(bom ? 3 : 0), text, nonAscii);
        }
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            if (bytes.size() % 2) return false;
            const bool be = encoding == Encoding::Utf16Be;
            format.noBom = !StartsWith(bytes, be ? "\xFE\xFF" : "\xFF\xFE");
            DecodeUtf16(bytes.substr(format.noBom ? 0 : 2), be, text);
            return true;
        }
    }
    return false;
}

}  // namespace

Text EncodingName(Encoding encoding) {
    switch (encoding) {
        case Encoding::Ansi:
            return u"ANSI";
        case Encoding::Utf8:
            return u"UTF-8";
        case Encoding::Utf8Bom:
            return u"UTF-8 with BOM";
        case Encoding::Utf16Le:
            return u"UTF-16 LE";
        case Encoding::Utf16Be:
            return u"UTF-16 BE";
    }
    return {};
}

TextFormat DecodeDocument(std::string_view bytes, Text& text) {
    TextFormat format;
    BreakCount count;
    bool unicode = TryUnicode(bytes, text, format);
    if (unicode) {
        count = CountBreaks(text);
        unicode = !count.symbol;
    }
    if (!unicode) {
        format = {};
        text.resize(bytes.size());
        DecodeCodePage(bytes, text.data());
        count = CountBreaks(text);
    }
    format.breaks = ToCrLf(text, count);
    return format;
}

bool DecodeDocumentAs(std::string_view bytes, Encoding encoding, Text& text, TextFormat& format) {
    TextFormat read;
    if (!DecodeAs(bytes, encoding, text, read)) return false;
    const BreakCount count = CountBreaks(text);
    // The symbol would come back as NUL: only the code page keeps such a file.
    if (count.symbol) return false;
    read.breaks = ToCrLf(text, count);
    format = read;
    return true;
}

namespace {

bool ConvertsBreaks(LineBreaks breaks) { return breaks == LineBreaks::Lf || breaks == LineBreaks::Cr; }

// The offset of the first unit from i on that the document is written with otherwise than its encoding
// writes it: the NUL symbol and, when convert, CR LF; text.size() when none is left. A CR at the end of text
// (a piece cut before its LF) is none.
size_t NextChange(std::u16string_view text, size_t i, bool convert) {
    const size_t n = text.size();
    while (i < n) {
        size_t stop = n;
#if defined(__SSE2__)
        // Eight units at a time up to one that may be a change: most texts have no NUL and one CR a line.
        const __m128i symbol = _mm_set1_epi16(static_cast<short>(kNulSymbol)),
                      cr = _mm_set1_epi16(static_cast<short>(convert ? kCr : kNulSymbol));
        for (; i + 8 <= n; i += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
            if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, symbol), _mm_cmpeq_epi16(v, cr)))) break;
        }
        stop = std::min(n, i + 8);
#endif
        for (; i < stop; ++i) {
            if (text[i] == kNulSymbol || (convert && text[i] == kCr && i + 1 < n && text[i + 1] == kLf))
                return i;
        }
    }
    return n;
}

// Hands run each stretch of text that its encoding writes as it stands, and change the one unit written in
// place of each change between them (NUL for the symbol, the format's break for CR LF). unchanged: text is
// known to have none, and is one run.
template <class Run, class Change>
void EachRun(std::u16string_view text, LineBreaks breaks, bool unchanged, Run run, Change change) {
    if (unchanged) {
        if (!text.empty()) run(text);
        return;
    }
    const bool convert = ConvertsBreaks(breaks);
    for (size_t i = 0; i < text.size();) {
        const size_t next = NextChange(text, i, convert);
        if (next != i) run(text.substr(i, next - i));
        if (next == text.size()) break;
        const bool symbol = text[next] == kNulSymbol;
        change(symbol ? RestoreNul(text[next]) : breaks == LineBreaks::Lf ? kLf : kCr);
        i = next + (symbol ? 1 : 2);
    }
}

bool IsUtf8(Encoding encoding) { return encoding == Encoding::Utf8 || encoding == Encoding::Utf8Bom; }

size_t ByteOrderMarkSize(TextFormat format) {
    switch (format.encoding) {
        case Encoding::Utf8Bom:
            return 3;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be:
            return format.noBom ? 0 : 2;
        default:
            return 0;
    }
}

char* PutByteOrderMark(TextFormat format, char* o) {
    switch (format.encoding) {
        case Encoding::Utf8Bom:
            return std::copy_n("\xEF\xBB\xBF", 3, o);
        case Encoding::Utf16Le:
            return format.noBom ? o : std::copy_n("\xFF\xFE", 2, o);
        case Encoding::Utf16Be:
            return format.noBom ? o : std::copy_n("\xFE\xFF", 2, o);
        default:
            return o;
    }
}

// The number of bytes EncodeUnits writes, exactly; unchanged: whether it was found that text has no change.
size_t EncodedSize(std::u16string_view text, TextFormat format, bool& unchanged) {
    unchanged = false;
    if (IsUtf8(format.encoding)) {
        size_t bytes = 0, changes = 0;
        EachRun(
            text, format.breaks, false, [&](std::u16string_view run) { bytes += Utf8Length(run); },
            [&](char16_t) { ++changes; });
        unchanged = changes == 0;
        return bytes + changes;
    }
    // A unit's bytes a unit (NUL is one unit as its symbol is), but for CR LF written as one break.
    size_t units = text.size();
    if (ConvertsBreaks(format.breaks)) {
        EachRun(
            text, format.breaks, false, [](std::u16string_view) {}, [&](char16_t c) { units -= c != u'\0'; });
    }
    return format.encoding == Encoding::Ansi ? units : 2 * units;
}

// Writes text's bytes from o, which has room for EncodedSize, and returns their end. A text cut between CR
// and LF or inside a surrogate pair is written as if it ended there.
char* EncodeUnits(std::u16string_view text, TextFormat format, bool unchanged, char* o) {
    switch (format.encoding) {
        case Encoding::Ansi:
            EachRun(
                text, format.breaks, unchanged,
                [&](std::u16string_view run) {
                    EncodeCodePage(run, o);
                    o += run.size();
                },
                [&](char16_t c) { *o++ = static_cast<char>(ByteOfChar(c)); });
            break;
        case Encoding::Utf8:
        case Encoding::Utf8Bom:
            EachRun(
                text, format.breaks, unchanged, [&](std::u16string_view run) { o = PutUtf8(run, o); },
                [&](char16_t c) { *o++ = static_cast<char>(c); });
            break;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            const bool be = format.encoding == Encoding::Utf16Be;
            const auto unit = [&](char16_t c) {
                const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
                *o++ = be ? hi : lo;
                *o++ = be ? lo : hi;
            };
            EachRun(
                text, format.breaks, unchanged,
                [&](std::u16string_view run) {
                    for (const char16_t c : run) unit(c);
                },
                unit);
            break;
        }
    }
    return o;
}

// Wipes the encoder's buffer however it is left: it does not know whether the text is secret.
struct WipedWhenDone {
    Bytes& bytes;
    ~WipedWhenDone() { Wipe(bytes); }
};

}  // namespace

Bytes EncodeDocument(std::u16string_view text, TextFormat format) {
    bool unchanged = false;
    Bytes out(ByteOrderMarkSize(format) + EncodedSize(text, format, unchanged), '\0');
    EncodeUnits(text, format, unchanged, PutByteOrderMark(format, out.data()));
    return out;
}

bool EncodeDocument(std::u16string_view text, TextFormat format, const Files::PutBytes& put,
                    size_t pieceUnits) {
    pieceUnits = std::max<size_t>(pieceUnits, 2);
    Bytes buffer;
    const WipedWhenDone wiped{buffer};
    bool first = true;
    do {
        size_t units = std::min(pieceUnits, text.size());
        // A piece never ends between the units that make one byte sequence (CR LF, a surrogate pair).
        if (units < text.size() && (text[units - 1] == u'\r' || IsHighSurrogate(text[units - 1]))) --units;
        const std::u16string_view piece = text.substr(0, units);
        bool unchanged = false;
        const size_t size = (first ? ByteOrderMarkSize(format) : 0) + EncodedSize(piece, format, unchanged);
        if (size > buffer.size()) {
            // A new buffer of that size exactly (a grown string would take more); the old one is wiped first.
            Wipe(buffer);
            buffer = Bytes(size, '\0');
        }
        char* const o = first ? PutByteOrderMark(format, buffer.data()) : buffer.data();
        const char* end = EncodeUnits(piece, format, unchanged, o);
        if (!put(std::string_view(buffer.data(), static_cast<size_t>(end - buffer.data())))) return false;
        text.remove_prefix(units);
        first = false;
    } while (!text.empty());
    return true;
}

}  // namespace base
