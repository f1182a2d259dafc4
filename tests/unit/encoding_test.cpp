#include "base/encoding.h"

#include <gtest/gtest.h>

#include "base/codepage.h"
#include "fakes/journey.h"
#include "protect/secure_document.h"
#include "unit/utf8_reference.h"

namespace {

using base::Encoding;
using base::LineBreaks;

// The bytes of text (units, breaks already in place) in an encoding, written independently of the unit (the
// code page for Thai and ASCII only).
Bytes Encoded(std::u16string_view text, Encoding e) {
    Bytes out;
    switch (e) {
        case Encoding::Ansi:
            for (char16_t c : text) out += static_cast<char>(c >= 0x0E01 ? c - 0x0E01 + 0xA1 : c);
            return out;
        case Encoding::Utf8Bom:
            out = "\xEF\xBB\xBF";
            [[fallthrough]];
        case Encoding::Utf8:
            return out + reference::Utf8(text);
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            const bool be = e == Encoding::Utf16Be;
            out = be ? "\xFE\xFF" : "\xFF\xFE";
            for (char16_t c : text) {
                const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
                out += be ? hi : lo;
                out += be ? lo : hi;
            }
            return out;
        }
    }
    return out;
}

Text WithBreaks(const std::vector<Text>& lines, const Text& br) {
    Text t;
    for (size_t i = 0; i < lines.size(); ++i) t += lines[i] + (i + 1 < lines.size() ? br : Text());
    return t;
}

}  // namespace

// Every encoding with every line style: the file reads as the same text with CR LF, reports its form, and
// the unedited text writes the very same bytes; an edited one is written in the file's own form.
TEST(Encodings, EachEncodingWithEachLineStyleReadsAndWritesBackInKind) {
    const std::vector<Text> thai = {u"\u0e17\u0e14\u0e2a\u0e2d\u0e1a one", u"", u"two \u0e01\u0e02"};
    const std::vector<Text> world = {u"Gr\u00fc\u00dfe \u2014 \u0e17\u0e14\u0e2a\u0e2d\u0e1a", u"",
                                     u"\U0001F600 \u6f22 end"};
    const std::pair<LineBreaks, Text> styles[] = {
        {LineBreaks::CrLf, u"\r\n"}, {LineBreaks::Lf, u"\n"}, {LineBreaks::Cr, u"\r"}};
    for (int e = 0; e < base::kEncodingCount; ++e) {
        const auto encoding = static_cast<Encoding>(e);
        const auto& lines = encoding == Encoding::Ansi ? thai : world;
        for (const auto& [style, br] : styles) {
            SCOPED_TRACE(testing::Message() << "encoding " << e << " breaks " << static_cast<int>(style));
            const Bytes file = Encoded(WithBreaks(lines, br), encoding);
            Text text;
            const base::TextFormat format = base::DecodeDocument(file, text);
            EXPECT_EQ(format.encoding, encoding);
            EXPECT_EQ(format.breaks, style);
            EXPECT_EQ(text, WithBreaks(lines, u"\r\n"));
            EXPECT_EQ(base::EncodeDocument(text, format), file);
            // A line typed in the box (CR LF) is written with the file's break.
            EXPECT_EQ(base::EncodeDocument(text + u"\r\nx", format),
                      Encoded(WithBreaks(lines, br) + br + u"x", encoding));
        }
    }
}

// Files that are not what they first seem: each reads in the form that gives its bytes back exactly.
TEST(Encodings, DoubtfulFilesFallBackToTheCodePageAndAllComeBackByteForByte) {
    struct Case {
        const char* what;
        Bytes file;
        Encoding encoding;
        LineBreaks breaks;
        Text text;  // empty: not checked
    };
    const Case cases[] = {
        {"empty", "", Encoding::Ansi, LineBreaks::CrLf, u""},
        {"ASCII", "plain\nascii\n", Encoding::Ansi, LineBreaks::Lf, u"plain\r\nascii\r\n"},
        // The Open dialog's ANSI reads it as "รถ" (EncodingChosenInTheOpenDialog).
        {"Thai in the code page that is valid UTF-8 (\"ö\")", "\xC3\xB6 car", Encoding::Utf8,
         LineBreaks::CrLf, u"\u00f6 car"},
        {"Grüße: a byte no Thai letter",
         "Gr\xC3\xBC\xC3\x9F"
         "e",
         Encoding::Utf8, LineBreaks::CrLf, u"Gr\u00fc\u00dfe"},
        {"a Thai letter in UTF-8", "\xE0\xB8\xA1", Encoding::Utf8, LineBreaks::CrLf, u"\u0e21"},
        {"four Latin letters", "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", Encoding::Utf8, LineBreaks::CrLf,
         u"\u00e9\u00e9\u00e9\u00e9"},
        {"overlong slash", "a\xC0\xAF\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", Encoding::Ansi, LineBreaks::CrLf,
         u""},
        {"surrogate in UTF-8", "\xED\xA0\x80\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", Encoding::Ansi,
         LineBreaks::CrLf, u""},
        {"past U+10FFFF", "\xF4\x90\x80\x80\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", Encoding::Ansi,
         LineBreaks::CrLf, u""},
        // After four characters the decoder takes a shorter road; it must refuse the same sequences.
        {"overlong three-byte form late", "\xE0\xB8\xA1\xE0\xB8\xA1\xE0\xB8\xA1\xE0\xB8\xA1\xE0\x80\xAF",
         Encoding::Ansi, LineBreaks::CrLf, u""},
        {"surrogate late", "\xE0\xB8\xA1\xE0\xB8\xA1\xE0\xB8\xA1\xE0\xB8\xA1\xED\xB0\x80", Encoding::Ansi,
         LineBreaks::CrLf, u""},
        {"a lead no form has, right after three-byte characters",
         "\xE0\xB8\xA1\xE0\xB8\xA1\xE0\xB8\xA1\xE0\xB8\xA1\xEF\xBB\x8E\xF6\xBB\x9F", Encoding::Ansi,
         LineBreaks::CrLf, u""},
        {"Thai after a long ASCII run",
         "\xE0\xB8\xA1\xE0\xB8\xA1\xE0\xB8\xA1\xE0\xB8\xA1 twelve bytes\xE0\xB8\x81\xEF\xBF\xBD",
         Encoding::Utf8, LineBreaks::CrLf, u"\u0e21\u0e21\u0e21\u0e21 twelve bytes\u0e01\ufffd"},
        {"cut sequence", "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xE2\x82", Encoding::Ansi, LineBreaks::CrLf, u""},
        {"UTF-8 holding the NUL symbol", "\xE2\x90\x80\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", Encoding::Ansi,
         LineBreaks::CrLf, u""},
        {"UTF-8 with a NUL", Bytes("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\0z", 10), Encoding::Utf8,
         LineBreaks::CrLf, u"\u00e9\u00e9\u00e9\u00e9\u2400z"},
        {"BOM and nothing else", "\xEF\xBB\xBF", Encoding::Utf8Bom, LineBreaks::CrLf, u""},
        {"BOM then invalid bytes", "\xEF\xBB\xBF\xFF", Encoding::Ansi, LineBreaks::CrLf, u""},
        {"UTF-16 of odd length",
         "\xFF\xFE"
         "a\0b",
         Encoding::Ansi, LineBreaks::CrLf, u""},
        {"UTF-16 with a lone surrogate and a NUL", Bytes("\xFF\xFE\x00\xD8\0\0a\0", 8), Encoding::Utf16Le,
         LineBreaks::CrLf, Text(u"\xD800\u2400a")},
        {"UTF-16 holding the NUL symbol", Bytes("\xFE\xFF\x24\x00\x00\x41", 6), Encoding::Ansi,
         LineBreaks::CrLf, u""},
        {"mixed breaks", "a\r\nb\nc\rd", Encoding::Ansi, LineBreaks::Mixed, u"a\r\nb\nc\rd"},
        {"mixed in UTF-16", Bytes("\xFF\xFE\n\0\r\0\r\0\n\0", 10), Encoding::Utf16Le, LineBreaks::Mixed,
         u"\n\r\r\n"},
        {"UTF-16 without a BOM with a NUL unit", Bytes("a\0\0\0b\0", 6), Encoding::Ansi, LineBreaks::CrLf,
         Text(u"a\u2400\u2400\u2400b\u2400")},
        {"UTF-16 without a BOM beyond U+00FF", Bytes("a\0\x01\x0E", 4), Encoding::Ansi, LineBreaks::CrLf,
         u""},
        {"every other byte zero, odd length", Bytes("a\0b\0c", 5), Encoding::Ansi, LineBreaks::CrLf, u""},
        {"binary",
         Bytes("\x7F"
               "ELF\x01\x01\0\0\x0A\x0D\x0A\xFF\xFE\x80",
               14),
         Encoding::Ansi, LineBreaks::Mixed, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Text text;
        const base::TextFormat format = base::DecodeDocument(c.file, text);
        EXPECT_EQ(format.encoding, c.encoding);
        EXPECT_EQ(format.breaks, c.breaks);
        if (!c.text.empty()) {
            EXPECT_EQ(text, c.text);
        }
        EXPECT_EQ(text.find(u'\0'), Text::npos);
        EXPECT_EQ(base::EncodeDocument(text, format), c.file);
    }
}

// Short UTF-8, and UTF-16 without a BOM as tools write it: each opens as written, whatever its length, and
// an unedited save gives the same bytes.
TEST(Encodings, ShortUtf8AndUtf16WithoutABomOpenAsWritten) {
    struct Case {
        Text text;  // the file's text, breaks as the box shows them
        Bytes file;
        Encoding encoding;
        LineBreaks breaks;
        bool noBom;
    };
    auto u16 = [](const char* ascii, bool be) {
        Bytes out;
        for (const char* c = ascii; *c; ++c) {
            if (be) out += '\0';
            out += *c;
            if (!be) out += '\0';
        }
        return out;
    };
    const Case cases[] = {
        {u"caf\u00e9\r\n", "caf\xC3\xA9\r\n", Encoding::Utf8, LineBreaks::CrLf, false},
        {u"25\u00b0C",
         "25\xC2\xB0"
         "C",
         Encoding::Utf8, LineBreaks::CrLf, false},
        {u"Z\u00fcrich", "Z\xC3\xBCrich", Encoding::Utf8, LineBreaks::CrLf, false},
        {u"na\u00efve", "na\xC3\xAFve", Encoding::Utf8, LineBreaks::CrLf, false},
        {u"\u00bd cup", "\xC2\xBD cup", Encoding::Utf8, LineBreaks::CrLf, false},
        {u"\u00a9 2026", "\xC2\xA9 2026", Encoding::Utf8, LineBreaks::CrLf, false},
        {u"\u00a3", "\xC2\xA3", Encoding::Utf8, LineBreaks::CrLf, false},
        {u"\u041f\u0440\u0438\u0432\u0435\u0442", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
         Encoding::Utf8, LineBreaks::CrLf, false},
        {u"\u4e2d\u6587", "\xE4\xB8\xAD\xE6\x96\x87", Encoding::Utf8, LineBreaks::CrLf, false},
        {u"\u4e2d", "\xE4\xB8\xAD", Encoding::Utf8, LineBreaks::CrLf, false},
        {u"\u03b1\u03b2", "\xCE\xB1\xCE\xB2", Encoding::Utf8, LineBreaks::CrLf, false},
        {u"plain ascii in utf-16\r\nline two\r\n", u16("plain ascii in utf-16\nline two\n", false),
         Encoding::Utf16Le, LineBreaks::Lf, true},
        {u"plain ascii in utf-16\r\n", u16("plain ascii in utf-16\r\n", true), Encoding::Utf16Be,
         LineBreaks::CrLf, true},
        {u"Gr\u00fc\u00dfe", Bytes("G\0r\0\xFC\0\xDF\0e\0", 10), Encoding::Utf16Le, LineBreaks::CrLf, true},
        {u"x", Bytes("\0x", 2), Encoding::Utf16Be, LineBreaks::CrLf, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "file of " << c.file.size() << " bytes, encoding " << static_cast<int>(c.encoding));
        Text text;
        const base::TextFormat format = base::DecodeDocument(c.file, text);
        EXPECT_EQ(format, (base::TextFormat{c.encoding, c.breaks, c.noBom}));
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(base::EncodeDocument(text, format), c.file);
    }
}

// The Open dialog's explicit choices: the file read in that encoding (its own BOM taken as one), or refused
// when it is not valid there; what is read comes back byte for byte.
TEST(Encodings, EncodingChosenInTheOpenDialogReadsTheFileInItOrRefusesIt) {
    struct Case {
        const char* what;
        Bytes file;
        Encoding chosen;
        bool ok;
        base::TextFormat format;  // when ok
        Text text;
    };
    const Case cases[] = {
        {"Thai that passes for UTF-8, as ANSI",
         "\xC3\xB6 car",
         Encoding::Ansi,
         true,
         {Encoding::Ansi, LineBreaks::CrLf},
         u"\u0e23\u0e16 car"},
        {"the same as UTF-8",
         "\xC3\xB6 car",
         Encoding::Utf8,
         true,
         {Encoding::Utf8, LineBreaks::CrLf},
         u"\u00f6 car"},
        {"UTF-8 as ANSI, LF",
         "caf\xC3\xA9\n",
         Encoding::Ansi,
         true,
         {Encoding::Ansi, LineBreaks::Lf},
         u"caf\u0e23\u0e09\r\n"},
        {"ASCII as UTF-8",
         "plain\r\n",
         Encoding::Utf8,
         true,
         {Encoding::Utf8, LineBreaks::CrLf},
         u"plain\r\n"},
        {"cut UTF-8", "\xE0\xB8", Encoding::Utf8, false, {}, u""},
        {"code-page Thai as UTF-8 with BOM", "\xA1\xA2", Encoding::Utf8Bom, false, {}, u""},
        {"a BOM file as UTF-8",
         "\xEF\xBB\xBF\xC3\xA9",
         Encoding::Utf8,
         true,
         {Encoding::Utf8Bom, LineBreaks::CrLf},
         u"\u00e9"},
        {"no BOM as UTF-8 with BOM",
         "\xC3\xA9\r",
         Encoding::Utf8Bom,
         true,
         {Encoding::Utf8, LineBreaks::Cr},
         u"\u00e9\r\n"},
        {"UTF-8 holding the NUL symbol", "\xE2\x90\x80", Encoding::Utf8, false, {}, u""},
        {"UTF-8 with a NUL",
         Bytes("a\0", 2),
         Encoding::Utf8,
         true,
         {Encoding::Utf8, LineBreaks::CrLf},
         u"a\u2400"},
        {"odd length as UTF-16 LE", "abc", Encoding::Utf16Le, false, {}, u""},
        {"ASCII as UTF-16 LE",
         "ab",
         Encoding::Utf16Le,
         true,
         {Encoding::Utf16Le, LineBreaks::CrLf, true},
         u"\u6261"},
        {"ASCII as UTF-16 BE",
         "ab",
         Encoding::Utf16Be,
         true,
         {Encoding::Utf16Be, LineBreaks::CrLf, true},
         u"\u6162"},
        {"its BOM, a lone surrogate, a NUL",
         Bytes("\xFF\xFE\x00\xD8\0\0", 6),
         Encoding::Utf16Le,
         true,
         {Encoding::Utf16Le, LineBreaks::CrLf},
         Text(u"\xD800\u2400")},
        {"the other BOM is a character",
         Bytes("\xFE\xFF\0a", 4),
         Encoding::Utf16Le,
         true,
         {Encoding::Utf16Le, LineBreaks::CrLf, true},
         u"\uFFFE\u6100"},
        {"UTF-16 BE holding the NUL symbol", Bytes("\x24\x00", 2), Encoding::Utf16Be, false, {}, u""},
        {"empty as UTF-16 BE", "", Encoding::Utf16Be, true, {Encoding::Utf16Be, LineBreaks::CrLf, true}, u""},
        {"binary as ANSI",
         Bytes("\0\xFF\r\n\n", 5),
         Encoding::Ansi,
         true,
         {Encoding::Ansi, LineBreaks::Mixed},
         u"\u2400\uF8C8\r\n\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Text text = u"before";
        base::TextFormat format{Encoding::Utf16Be, LineBreaks::Mixed, true};
        ASSERT_EQ(base::DecodeDocumentAs(c.file, c.chosen, text, format), c.ok);
        if (!c.ok) {
            EXPECT_EQ(format, (base::TextFormat{Encoding::Utf16Be, LineBreaks::Mixed, true}));
            continue;
        }
        EXPECT_EQ(format, c.format);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(base::EncodeDocument(text, format), c.file);
    }
}

namespace {

struct EditorEncodings : EditorJourney {};

// The types, counted from 1, for which the dialog's Encoding list is off.
std::vector<int> EncodingOff(const FileDialogRequest& r) {
    std::vector<int> off;
    for (size_t i = 0; i < r.types.size(); ++i)
        if (r.types[i].encodingOff) off.push_back(static_cast<int>(i) + 1);
    return off;
}

}  // namespace

// A user's files keep their form through the editor: typed text is written in the file's encoding and
// breaks; the "?" question offers UTF-8; Save As writes the encoding picked in its list.
TEST_F(EditorEncodings, FilesAreSavedInKindAndTheUserChoosesAnotherEncodingOnlyWhenAsked) {
    files.Put(u"C:\\u.txt",
              "Gr\xC3\xBC\xC3\x9F"
              "e\nline\n");
    ASSERT_TRUE(editor.SecureOpen(u"C:\\u.txt"));
    EXPECT_EQ(s.box().text, u"Gr\u00fc\u00dfe\r\nline\r\n");
    s.box().SetSel(static_cast<int32_t>(s.box().text.size()), 0);
    s.box().Type(u"\u0e01\r\n\U0001F600");
    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(files.Get(u"C:\\u.txt"),
              "Gr\xC3\xBC\xC3\x9F"
              "e\nline\n\xE0\xB8\x81\n\xF0\x9F\x98\x80");
    EXPECT_TRUE(prompts.messages.empty());  // UTF-8 holds every character: no question
    EXPECT_FALSE(editor.CurrentDocument().modified);

    // Save As offers the list with the document's own encoding chosen, off for protected and sealed types.
    s.fp.dialogs.ChooseNext(u"C:\\be.txt", 3, static_cast<int32_t>(Encoding::Utf16Be));
    editor.OnFileMenu(kMenuSaveAs);
    ASSERT_EQ(s.fp.dialogs.saved.size(), 1u);
    const FileDialogRequest& asked = s.fp.dialogs.saved[0];
    EXPECT_EQ(asked.encodings,
              (std::vector<Text>{u"ANSI", u"UTF-8", u"UTF-8 with BOM", u"UTF-16 LE", u"UTF-16 BE"}));
    EXPECT_EQ(asked.encoding, static_cast<int32_t>(Encoding::Utf8));
    EXPECT_TRUE(EncodingOff(asked).empty());  // the list is off only for a protected or sealed document
    EXPECT_EQ(files.Get(u"C:\\be.txt"), Bytes("\xFE\xFF\0G\0r\0\xFC\0\xDF\0e\0\n", 14) +
                                            Bytes("\0l\0i\0n\0e\0\n", 10) +
                                            Bytes("\x0E\x01\0\n\xD8\x3D\xDE\x00", 8));
    EXPECT_EQ(s.document().Format().encoding, Encoding::Utf16Be);
    EXPECT_EQ(s.document().Name(), u"C:\\be.txt");

    // New: the code page and CR LF again; "é" raises the question, whose Cancel writes nothing and keeps all.
    editor.OnFileMenu(kMenuNew);
    EXPECT_EQ(s.document().Format(), base::TextFormat{});
    s.box().Type(u"caf\u00e9\r\n");
    s.fp.dialogs.ChooseNext(u"C:\\new.txt", 3, static_cast<int32_t>(Encoding::Ansi));
    prompts.msgAnswers = {MsgResult::Cancel};
    editor.OnTextKeyDown(0, kKeyF2, 0);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].buttons, MsgButtons::Utf8QuestionMarksCancel);
    EXPECT_NE(prompts.messages[0].text.find(u"1 character of this document cannot be stored in this file's "
                                            u"code page (Thai, Windows-874)"),
              Text::npos);
    EXPECT_NE(prompts.messages[0].text.find(u"Save as UTF-8"), Text::npos);
    EXPECT_FALSE(files.FileExists(u"C:\\new.txt"));
    EXPECT_TRUE(editor.CurrentDocument().modified);
    EXPECT_EQ(s.document().Name(), u"");
    EXPECT_EQ(s.document().Format(), base::TextFormat{});

    // Save as UTF-8: every character kept, and the document is UTF-8 from now on (no question at F2).
    prompts.msgAnswers = {MsgResult::Yes};
    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(files.Get(u"C:\\new.txt"), "caf\xC3\xA9\r\n");
    EXPECT_EQ(s.document().Format().encoding, Encoding::Utf8);
    s.box().Type(u"\u00e9");
    const int copies = s.box().copies;
    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(files.Get(u"C:\\new.txt"), "caf\xC3\xA9\r\n\xC3\xA9");
    EXPECT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(s.box().copies, copies);  // written from the box's own text, not from a copy of it
    // A NUL shown by its symbol is written as the NUL it is.
    s.box().Type(u"\u2400");
    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(files.Get(u"C:\\new.txt"), Bytes("caf\xC3\xA9\r\n\xC3\xA9\0", 10));
    // A big document is written piece by piece: no buffer the size of the file either, and a full disk
    // leaves the file on disk as it was, the document still modified.
    s.box().Paste(Text(3 * base::kEncodePieceUnits, u'\u00e9'));
    files.largestPiece = 0;
    editor.OnTextKeyDown(0, kKeyF2, 0);
    const Bytes big = Bytes("caf\xC3\xA9\r\n\xC3\xA9\0", 10) +
                      reference::Utf8(Text(3 * base::kEncodePieceUnits, u'\u00e9'));
    EXPECT_EQ(files.Get(u"C:\\new.txt"), big);
    EXPECT_LE(files.largestPiece, 3 + 3 * base::kEncodePieceUnits);
    EXPECT_EQ(s.box().copies, copies);
    EXPECT_FALSE(editor.CurrentDocument().modified);
    s.box().Type(u"x");
    files.diskSpace = static_cast<int64_t>(big.size());
    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(files.Get(u"C:\\new.txt"), big);
    EXPECT_TRUE(editor.CurrentDocument().modified);
    ASSERT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(prompts.messages[2].text, protect::kNotSavedMessage);
    files.diskSpace = -1;
    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(files.Get(u"C:\\new.txt"), big + "x");

    // A protected document stays in the code page, with the old two-way question; its format is the default.
    files.Put(u"C:\\u.txt", "\xE0\xB8\x81\xE0\xB8\x81\xE0\xB8\x81\xE0\xB8\x81\n");
    ASSERT_TRUE(editor.SecureOpen(u"C:\\u.txt"));
    EXPECT_EQ(s.document().Format().encoding, Encoding::Utf8);
    EXPECT_EQ(s.document().Format().breaks, LineBreaks::Lf);
    prompts.inputAnswers = {u"pw", u"pw"};
    s.fp.dialogs.ChooseNext(u"C:\\s.txs", 1, static_cast<int32_t>(Encoding::Utf16Le));
    s.box().SetSel(static_cast<int32_t>(s.box().text.size()), 0);
    s.box().Type(u"\u00e9");
    editor.OnFileMenu(kMenuSaveAs);
    ASSERT_EQ(prompts.messages.size(), 4u);
    EXPECT_EQ(prompts.messages[3].buttons, MsgButtons::YesNo);
    EXPECT_EQ(s.fp.dialogs.saved.back().encoding, static_cast<int32_t>(Encoding::Utf8));
    s.fp.dialogs.answer = nullptr;
    editor.OnFileMenu(kMenuSaveAs);  // now a protected document: its own types turn the list off
    EXPECT_EQ(EncodingOff(s.fp.dialogs.saved.back()), (std::vector<int>{1, 2}));
    EXPECT_EQ(s.fp.dialogs.saved.back().encoding, static_cast<int32_t>(Encoding::Ansi));
    EXPECT_EQ(s.document().Format(), base::TextFormat{});
    ASSERT_TRUE(editor.SecureOpen(u"C:\\s.txs"));
    EXPECT_EQ(s.box().text, u"\u0e01\u0e01\u0e01\u0e01\r\n?");  // the masked form keeps its CR LF
    EXPECT_EQ(s.document().Format(), base::TextFormat{});
}

// A big document is written in pieces: whatever the piece size, the pieces make the very bytes of the whole
// encoding, none larger than its buffer, with no piece cut between CR and LF or inside a surrogate pair
// (which would write a break or a character twice, or as U+FFFD); a full disk stops the encoding at once.
TEST(Encodings, PiecesOfAnySizeMakeTheWholeFileAndAFailedPieceStopsTheRest) {
    const Text text =
        u"\r\n\r\r\n\U0001F600\U0001F600a\xD800\xD800"
        u"b\xDC00\u2400\r\n\u0e01x\r";
    for (int e = 0; e < base::kEncodingCount; ++e) {
        for (LineBreaks breaks : {LineBreaks::CrLf, LineBreaks::Lf, LineBreaks::Cr, LineBreaks::Mixed}) {
            for (bool noBom : {false, true}) {
                const base::TextFormat format{static_cast<Encoding>(e), breaks, noBom};
                const Bytes whole = base::EncodeDocument(text, format);
                for (size_t units = 1; units <= text.size() + 1; ++units) {
                    SCOPED_TRACE(testing::Message()
                                 << "encoding " << e << " breaks " << static_cast<int>(breaks) << " noBom "
                                 << noBom << " piece " << units);
                    Bytes joined;
                    size_t largest = 0;
                    EXPECT_TRUE(base::EncodeDocument(
                        text, format,
                        [&](std::string_view piece) {
                            joined.append(piece);
                            largest = std::max(largest, piece.size());
                            return true;
                        },
                        units));
                    EXPECT_EQ(joined, whole);
                    EXPECT_LE(largest, 3 + 3 * std::max<size_t>(units, 2));
                }
            }
        }
    }
    int puts = 0;
    EXPECT_FALSE(base::EncodeDocument(
        Text(100, u'a'), {}, [&](std::string_view) { return ++puts < 2; }, 10));
    EXPECT_EQ(puts, 2);
    puts = 0;
    EXPECT_TRUE(
        base::EncodeDocument(u"", {Encoding::Utf16Le, LineBreaks::CrLf, false}, [&](std::string_view piece) {
            ++puts;
            return piece == "\xFF\xFE";
        }));
    EXPECT_EQ(puts, 1);  // an empty document is its byte-order mark alone
}

TEST(Encodings, AUtf8DocumentIsHeldAndWrittenInNoMoreMemoryThanItNeeds) {
    // Thai is three bytes a character in UTF-8 and one unit in memory; a buffer of one unit a byte would
    // hold three times what the text needs while the document is open.
    const Text original = Text(1000, u'\u0e01') + u"\U0001F600 caf\u00e9\r\n" + Text(2000, u'a');
    const Bytes file = reference::Utf8(original);
    Text text;
    const base::TextFormat format = base::DecodeDocument(file, text);
    ASSERT_EQ(format.encoding, Encoding::Utf8);
    EXPECT_EQ(text, original);
    EXPECT_LT(text.capacity(), original.size() + 16);
    EXPECT_GT(file.size(), 3000u);
    // Written back, it takes its own size, not three bytes a unit; in each form.
    for (const base::TextFormat& as : {format, base::TextFormat{Encoding::Utf8Bom, LineBreaks::Lf},
                                       base::TextFormat{Encoding::Utf16Be, LineBreaks::Cr}}) {
        const Bytes written = base::EncodeDocument(text, as);
        EXPECT_EQ(written.capacity(), written.size());
    }
    EXPECT_EQ(base::EncodeDocument(text, format), file);
}

// What a document writes otherwise than its encoding (the NUL symbol as NUL; CR LF as the file's break) is
// found wherever it stands, also where a scan takes eight units at a time: at every offset of the first
// blocks, after ASCII or Thai, next to a surrogate pair, a lone CR or LF, or the other; in every form, whole
// (in a result of its size) and in pieces.
TEST(Encodings, TheNulSymbolAndBreaksAreWrittenAsTheFileHoldsThemWhereverTheyStand) {
    const Text kinds[] = {u"\u2400",
                          u"\r\n",
                          u"\r",
                          u"\n",
                          u"\n\r",
                          u"\u2400\r\n",
                          u"\r\u2400\n",
                          u"\U0001F600\r\n",
                          u"\U0001F600",
                          Text(1, u'\xD800') + u"\u2400",
                          u"\u0e01\u2400\u2400"};
    std::vector<Text> texts;
    for (const Text& kind : kinds) {
        for (size_t at = 0; at <= 17; ++at) {
            texts.push_back(Text(at, u'a') + kind + u"ascii after it" + kind);
            texts.push_back(Text(at, u'\u0e01') + kind);
        }
    }
    const std::pair<LineBreaks, char16_t> styles[] = {
        {LineBreaks::CrLf, 0}, {LineBreaks::Mixed, 0}, {LineBreaks::Lf, u'\n'}, {LineBreaks::Cr, u'\r'}};
    for (int e = 0; e < base::kEncodingCount; ++e) {
        const auto encoding = static_cast<Encoding>(e);
        for (const auto& [breaks, lone] : styles) {
            const base::TextFormat format{encoding, breaks, false};
            for (const Text& text : texts) {
                SCOPED_TRACE(testing::Message()
                             << "encoding " << e << " breaks " << static_cast<int>(breaks) << " text of "
                             << text.size() << " from " << static_cast<int>(text[0]));
                const Text written = reference::Written(text, lone);
                const Bytes expected =
                    encoding == Encoding::Ansi ? base::ToCodePage(written) : Encoded(written, encoding);
                const Bytes whole = base::EncodeDocument(text, format);
                EXPECT_EQ(whole, expected);
                if (whole.size() > Bytes().capacity()) {
                    EXPECT_EQ(whole.capacity(), whole.size());
                }
                Bytes joined;
                EXPECT_TRUE(base::EncodeDocument(
                    text, format, [&](std::string_view piece) { return joined.append(piece), true; }, 9));
                EXPECT_EQ(joined, expected);
            }
        }
    }
}

// The Open dialog: its Encoding list starts at Auto-detect (off for protected and sealed types); a short
// UTF-8 file and BOM-less UTF-16 open as written and F2 keeps them; an explicit choice reads the file in that
// encoding, and one the file is not valid in is refused by name while the document shown stays.
TEST_F(EditorEncodings, OpenDialogDetectsOrReadsInTheChosenEncodingAndF2KeepsTheBytes) {
    files.Put(u"C:\\cafe.txt", "caf\xC3\xA9\r\n");
    s.fp.dialogs.ChooseNext(u"C:\\cafe.txt");
    editor.OnFileMenu(kMenuOpen);
    ASSERT_EQ(s.fp.dialogs.opened.size(), 1u);
    const FileDialogRequest& asked = s.fp.dialogs.opened[0];
    EXPECT_EQ(asked.encodings, (std::vector<Text>{u"Auto-detect", u"ANSI", u"UTF-8", u"UTF-8 with BOM",
                                                  u"UTF-16 LE", u"UTF-16 BE"}));
    EXPECT_EQ(asked.encoding, 0);
    EXPECT_EQ(EncodingOff(asked), (std::vector<int>{2, 3}));  // Secret Files and Sealed Files
    EXPECT_EQ(s.box().text, u"caf\u00e9\r\n");
    EXPECT_EQ(s.document().Format(), (base::TextFormat{Encoding::Utf8, LineBreaks::CrLf}));
    // A character the code page lacks and F2: no question, and the é is still an é.
    s.box().SetSel(static_cast<int32_t>(s.box().text.size()), 0);
    s.box().Type(u"\u20ac");
    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(files.Get(u"C:\\cafe.txt"), "caf\xC3\xA9\r\n\xE2\x82\xAC");

    // Windows-874 "รถ" passes for UTF-8 "ö": one choice away.
    files.Put(u"C:\\thai.txt", "\xC3\xB6");
    s.fp.dialogs.ChooseNext(u"C:\\thai.txt", 0, 1 + static_cast<int32_t>(Encoding::Ansi));
    editor.OnFileMenu(kMenuOpen);
    EXPECT_EQ(s.fp.dialogs.opened.back().encoding, 0);  // every Open starts at Auto-detect
    EXPECT_EQ(s.box().text, u"\u0e23\u0e16");
    EXPECT_EQ(s.document().Format(), base::TextFormat{});
    s.box().Type(u"\u0e01");
    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(files.Get(u"C:\\thai.txt"), "\xA1\xC3\xB6");
    EXPECT_TRUE(prompts.messages.empty());

    // Not valid in the chosen encoding: a message naming it; name, text, form and mark stay.
    files.Put(u"C:\\odd.txt", "abc");
    s.box().Type(u"x");
    s.fp.dialogs.ChooseNext(u"C:\\odd.txt", 0, 1 + static_cast<int32_t>(Encoding::Utf16Le));
    prompts.msgAnswers = {MsgResult::No};  // the unsaved edit is let go
    editor.OnFileMenu(kMenuOpen);
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1].text,
              u"This file cannot be read as UTF-16 LE.\r\nYour file has NOT been opened.");
    EXPECT_EQ(s.document().Name(), u"C:\\thai.txt");
    EXPECT_EQ(s.box().text, u"\u0e01x\u0e23\u0e16");
    EXPECT_EQ(s.document().Format(), base::TextFormat{});
    EXPECT_TRUE(editor.CurrentDocument().modified);
    editor.OnFileMenu(kMenuNew);

    // UTF-16 without a BOM: the text, not a row of NUL symbols; F2 writes no BOM; Save As in the same
    // encoding keeps the form, another encoding has its mark.
    const Bytes plain("p\0l\0a\0i\0n\0\n\0", 12);
    files.Put(u"C:\\w.txt", plain);
    prompts.msgAnswers = {MsgResult::No};
    s.fp.dialogs.ChooseNext(u"C:\\w.txt");
    editor.OnFileMenu(kMenuOpen);
    EXPECT_EQ(s.box().text, u"plain\r\n");
    EXPECT_EQ(s.document().Format(), (base::TextFormat{Encoding::Utf16Le, LineBreaks::Lf, true}));
    s.box().SetSel(static_cast<int32_t>(s.box().text.size()), 0);
    s.box().Type(u"\u0e01");
    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(files.Get(u"C:\\w.txt"), plain + Bytes("\x01\x0E", 2));
    s.fp.dialogs.ChooseNext(u"C:\\w2.txt", 3, static_cast<int32_t>(Encoding::Utf16Le));
    editor.OnFileMenu(kMenuSaveAs);
    EXPECT_EQ(files.Get(u"C:\\w2.txt"), plain + Bytes("\x01\x0E", 2));
    s.fp.dialogs.ChooseNext(u"C:\\w3.txt", 3, static_cast<int32_t>(Encoding::Utf16Be));
    editor.OnFileMenu(kMenuSaveAs);
    EXPECT_EQ(files.Get(u"C:\\w3.txt"), Bytes("\xFE\xFF\0p\0l\0a\0i\0n\0\n\x0E\x01", 16));
    EXPECT_EQ(s.document().Format(), (base::TextFormat{Encoding::Utf16Be, LineBreaks::Lf}));

    // A protected document ignores the choice: its own form is read.
    files.Put(u"C:\\s.txs", "");
    s.fp.dialogs.ChooseNext(u"C:\\s.txs", 0, 1 + static_cast<int32_t>(Encoding::Utf16Le));
    editor.OnFileMenu(kMenuOpen);
    EXPECT_EQ(s.document().Name(), u"C:\\s.txs");
    EXPECT_EQ(s.document().Format(), base::TextFormat{});
}

// A save changes no character without asking: an unpaired surrogate, which only UTF-16 holds, raises the
// question before a UTF-8 save (also after "Save as UTF-8" from the code page's question), and a sealed
// document's; each way out is what it says.
TEST_F(EditorEncodings, AnUnpairedSurrogateIsKeptOrReplacedOnlyAsTheUserChooses) {
    const Bytes lone("\xFF\xFE\x00\xD8z\0", 6);
    files.Put(u"C:\\lone.txt", lone);
    ASSERT_TRUE(editor.SecureOpen(u"C:\\lone.txt"));
    EXPECT_EQ(s.box().text, Text(u"\xD800z"));

    struct Step {
        MsgResult answer;
        const char16_t* path;
        Bytes written;  // empty: nothing written
        Encoding after;
    };
    const Step steps[] = {
        {MsgResult::Cancel, u"C:\\c.txt", "", Encoding::Utf16Le},
        {MsgResult::No, u"C:\\r.txt", "\xEF\xBF\xBDz", Encoding::Utf8},
        {MsgResult::Yes, u"C:\\k.txt", lone, Encoding::Utf16Le},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(static_cast<int>(step.answer));
        ASSERT_TRUE(editor.SecureOpen(u"C:\\lone.txt"));
        prompts.messages.clear();
        prompts.msgAnswers = {step.answer};
        s.fp.dialogs.ChooseNext(step.path, 3, static_cast<int32_t>(Encoding::Utf8));
        editor.OnFileMenu(kMenuSaveAs);
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].buttons, MsgButtons::Utf16ReplacementCancel);
        EXPECT_NE(prompts.messages[0].text.find(u"1 character of this document is half of a surrogate pair"),
                  Text::npos);
        EXPECT_NE(prompts.messages[0].text.find(u"The first is U+D800 on line 1."), Text::npos);
        EXPECT_EQ(files.FileExists(step.path), !step.written.empty());
        if (!step.written.empty()) {
            EXPECT_EQ(files.Get(step.path), step.written);
        }
        EXPECT_EQ(s.document().Format().encoding, step.after);
    }

    // From the code page: "Save as UTF-8" leads to the second question; "Save as UTF-16" keeps all.
    editor.OnFileMenu(kMenuNew);
    s.box().Type(Text(u"\u00e9\r\n\xDC00"));
    prompts.messages.clear();
    prompts.msgAnswers = {MsgResult::Yes, MsgResult::Yes};
    s.fp.dialogs.ChooseNext(u"C:\\two.txt", 3, static_cast<int32_t>(Encoding::Ansi));
    editor.OnTextKeyDown(0, kKeyF2, 0);
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].buttons, MsgButtons::Utf8QuestionMarksCancel);
    EXPECT_EQ(prompts.messages[1].buttons, MsgButtons::Utf16ReplacementCancel);
    EXPECT_NE(prompts.messages[1].text.find(u"U+DC00 on line 2"), Text::npos);
    EXPECT_EQ(files.Get(u"C:\\two.txt"), Bytes("\xFF\xFE\xE9\0\r\0\n\0\x00\xDC", 10));
    EXPECT_EQ(s.document().Format(), (base::TextFormat{Encoding::Utf16Le, LineBreaks::CrLf}));

    // A sealed document is UTF-8 inside: Yes or No, and No writes nothing.
    prompts.messages.clear();
    prompts.msgAnswers = {MsgResult::No};
    prompts.inputAnswers = {u"pw", u"pw"};
    s.fp.dialogs.ChooseNext(u"C:\\s.txse", 2);
    editor.OnFileMenu(kMenuSaveAs);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_NE(prompts.messages[0].text.find(u"Do you want to save anyway?"), Text::npos);
    EXPECT_FALSE(files.FileExists(u"C:\\s.txse"));
    EXPECT_EQ(s.document().Name(), u"C:\\two.txt");
}
