// Detection reads the file once per candidate form (at most a BOM's or BOM-less UTF-16's, UTF-8, then the
// code page; the test for BOM-less UTF-16 stops at the first byte of most other files), the line
// breaks are counted once over the text, and a conversion, when the breaks call for one, is one more copy.
#include "base/encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/codepage.h"
#include "base/unicode.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace base {

namespace {

constexpr char16_t kCr = u'\r', kLf = u'\n', kReplacement = u'\uFFFD';

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

template <class Put>
void EachUnit(std::u16string_view text, LineBreaks breaks, Put put) {
    const bool convert = breaks == LineBreaks::Lf || breaks == LineBreaks::Cr;
    const char16_t lone = breaks == LineBreaks::Lf ? kLf : kCr;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        char16_t c = text[i];
        if (c == kNulSymbol) {
            c = RestoreNul(c);
        } else if (convert && c == kCr && i + 1 < n && text[i + 1] == kLf) {
            c = lone;
            ++i;
        }
        put(c);
    }
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

size_t MostBytesPerUnit(Encoding encoding) {
    switch (encoding) {
        case Encoding::Ansi:
            return 1;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be:
            return 2;
        default:
            return 3;  // a pair's four bytes are two units' worth
    }
}

// Writes the ASCII units at the start of text as bytes from o; returns how many.
size_t CopyAscii(std::u16string_view text, char* o) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
    for (; i + 8 <= text.size(); i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, high), _mm_setzero_si128())) != 0xFFFF) break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o + i), _mm_packus_epi16(v, v));
    }
#endif
    for (; i < text.size() && text[i] < 0x80; ++i) o[i] = static_cast<char>(text[i]);
    return i;
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

// Writes text's bytes from o, which has room for MostBytesPerUnit a unit, and returns their end. A text cut
// between CR and LF or inside a surrogate pair is written as if it ended there.
char* EncodeUnits(std::u16string_view text, TextFormat format, char* o) {
    switch (format.encoding) {
        case Encoding::Ansi:
            if (format.breaks == LineBreaks::CrLf || format.breaks == LineBreaks::Mixed) {
                // The breaks stay as they are: sixteen units at a time, then the NULs in place of their
                // symbol, which the code page wrote as "?".
                EncodeCodePage(text, o);
                char* const end = o + text.size();
                for (char* q = std::find(o, end, '?'); q != end; q = std::find(q + 1, end, '?'))
                    if (text[static_cast<size_t>(q - o)] == kNulSymbol) *q = '\0';
                o = end;
            } else {
                EachUnit(text, format.breaks, [&](char16_t c) { *o++ = static_cast<char>(ByteOfChar(c)); });
            }
            break;
        case Encoding::Utf8:
        case Encoding::Utf8Bom: {
            auto three = [&](char32_t c) {
                *o++ = static_cast<char>(0xE0 | (c >> 12));
                *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                *o++ = static_cast<char>(0x80 | (c & 0x3F));
            };
            char16_t high = 0;  // a high surrogate waiting for its low one
            const auto unit = [&](char16_t c) {
                if (high) {
                    const char16_t first = high;
                    high = 0;
                    if (IsLowSurrogate(c)) {
                        const char32_t cp =
                            0x10000 + ((char32_t(first) - 0xD800) << 10) + (char32_t(c) - 0xDC00);
                        *o++ = static_cast<char>(0xF0 | (cp >> 18));
                        *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
                        *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
                        return;
                    }
                    three(kReplacement);
                }
                if (c < 0x80) {
                    *o++ = static_cast<char>(c);
                } else if (c < 0x800) {
                    *o++ = static_cast<char>(0xC0 | (c >> 6));
                    *o++ = static_cast<char>(0x80 | (c & 0x3F));
                } else if (IsHighSurrogate(c)) {
                    high = c;
                } else {
                    // UTF-8 holds no unpaired surrogate: the save asks before it writes one as U+FFFD.
                    three(IsLowSurrogate(c) ? kReplacement : c);
                }
            };
            if (format.breaks == LineBreaks::Lf || format.breaks == LineBreaks::Cr) {
                EachUnit(text, format.breaks, unit);
            } else {
                // The breaks stay as they are: runs of ASCII go across as they are, many units at a time.
                for (size_t i = 0; i < text.size(); ++i) {
                    if (!high) {
                        const size_t run = CopyAscii(text.substr(i), o);
                        i += run;
                        o += run;
                        if (i == text.size()) break;
                    }
                    unit(RestoreNul(text[i]));
                }
            }
            if (high) three(kReplacement);
            break;
        }
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            const bool be = format.encoding == Encoding::Utf16Be;
            EachUnit(text, format.breaks, [&](char16_t c) {
                const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
                *o++ = be ? hi : lo;
                *o++ = be ? lo : hi;
            });
            break;
        }
    }
    return o;
}

}  // namespace

Bytes EncodeDocument(std::u16string_view text, TextFormat format) {
    Bytes out(3 + MostBytesPerUnit(format.encoding) * text.size(), '\0');
    char* o = PutByteOrderMark(format, out.data());
    out.resize(static_cast<size_t>(EncodeUnits(text, format, o) - out.data()));
    return out;
}

bool EncodeDocument(std::u16string_view text, TextFormat format, const Files::PutBytes& put,
                    size_t pieceUnits) {
    pieceUnits = std::max<size_t>(pieceUnits, 2);
    Bytes buffer(3 + MostBytesPerUnit(format.encoding) * std::min(pieceUnits, text.size()), '\0');
    char* o = PutByteOrderMark(format, buffer.data());
    do {
        size_t units = std::min(pieceUnits, text.size());
        // A piece never ends between the units that make one byte sequence (CR LF, a surrogate pair).
        if (units < text.size() && (text[units - 1] == u'\r' || IsHighSurrogate(text[units - 1]))) --units;
        const char* end = EncodeUnits(text.substr(0, units), format, o);
        if (!put(std::string_view(buffer.data(), static_cast<size_t>(end - buffer.data())))) return false;
        text.remove_prefix(units);
        o = buffer.data();
    } while (!text.empty());
    return true;
}

}  // namespace base
