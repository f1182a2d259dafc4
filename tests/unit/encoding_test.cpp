#include "base/encoding.h"

#include <gtest/gtest.h>

#include "base/unicode.h"
#include "fakes/fake_platform.h"

namespace {

using base::Encoding;
using base::LineBreaks;

// The bytes of text (units, breaks already in place) in an encoding, written independently of the unit.
Bytes Encoded(const Text& text, Encoding e) {
    Bytes out;
    switch (e) {
        case Encoding::Ansi:
            for (char16_t c : text) out += static_cast<char>(c >= 0x0E01 ? c - 0x0E01 + 0xA1 : c);
            return out;
        case Encoding::Utf8Bom:
            out = "\xEF\xBB\xBF";
            [[fallthrough]];
        case Encoding::Utf8:
            return out + base::ToUtf8(text);
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
        {"Thai in the code page that is valid UTF-8 (\"ö\")", "\xC3\xB6 car", Encoding::Ansi,
         LineBreaks::CrLf, u"\u0e23\u0e16 car"},
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

namespace {

struct EditorEncodings : ::testing::Test {
    Started s;
    Fou& fou = s.fou();
    FakeFiles& files = s.fp.files;
    FakePrompts& prompts = s.fp.prompts;
};

}  // namespace

// A user's files keep their form through the editor: typed text is written in the file's encoding and
// breaks; the "?" question offers UTF-8; Save As writes the encoding picked in its list.
TEST_F(EditorEncodings, FilesAreSavedInKindAndTheUserChoosesAnotherEncodingOnlyWhenAsked) {
    files.Put(u"C:\\u.txt",
              "Gr\xC3\xBC\xC3\x9F"
              "e\nline\n");
    ASSERT_TRUE(fou.SecureOpen(u"C:\\u.txt"));
    EXPECT_EQ(s.editor().text, u"Gr\u00fc\u00dfe\r\nline\r\n");
    s.editor().SetSel(static_cast<int32_t>(s.editor().text.size()), 0);
    s.editor().Type(u"\u0e01\r\n\U0001F600");
    fou.txtData_KeyDown(0, kKeyF2, 0);
    EXPECT_EQ(files.Get(u"C:\\u.txt"),
              "Gr\xC3\xBC\xC3\x9F"
              "e\nline\n\xE0\xB8\x81\n\xF0\x9F\x98\x80");
    EXPECT_TRUE(prompts.messages.empty());  // UTF-8 holds every character: no question
    EXPECT_FALSE(fou.Modified());

    // Save As offers the list with the document's own encoding chosen, off for protected and sealed types.
    s.fp.dialogs.ChooseNext(u"C:\\be.txt", 3, static_cast<int32_t>(Encoding::Utf16Be));
    fou.mnu1_Click(kMnuSaveAs);
    ASSERT_EQ(s.fp.dialogs.saved.size(), 1u);
    const FileDialogRequest& asked = s.fp.dialogs.saved[0];
    EXPECT_EQ(asked.encodings,
              (std::vector<Text>{u"ANSI", u"UTF-8", u"UTF-8 with BOM", u"UTF-16 LE", u"UTF-16 BE"}));
    EXPECT_EQ(asked.encoding, static_cast<int32_t>(Encoding::Utf8));
    EXPECT_EQ(asked.encodingOffTypes, 0u);  // off only for a protected or sealed document
    EXPECT_EQ(files.Get(u"C:\\be.txt"), Bytes("\xFE\xFF\0G\0r\0\xFC\0\xDF\0e\0\n", 14) +
                                            Bytes("\0l\0i\0n\0e\0\n", 10) +
                                            Bytes("\x0E\x01\0\n\xD8\x3D\xDE\x00", 8));
    EXPECT_EQ(d1::g_Format.encoding, Encoding::Utf16Be);
    EXPECT_EQ(d1::g_FileName, u"C:\\be.txt");

    // New: the code page and CR LF again; "é" raises the question, whose Cancel writes nothing and keeps all.
    fou.mnu1_Click(kMnuNew);
    EXPECT_EQ(d1::g_Format, base::TextFormat{});
    s.editor().Type(u"caf\u00e9\r\n");
    s.fp.dialogs.ChooseNext(u"C:\\new.txt", 3, static_cast<int32_t>(Encoding::Ansi));
    prompts.msgAnswers = {MsgResult::Cancel};
    fou.txtData_KeyDown(0, kKeyF2, 0);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].buttons, MsgButtons::Utf8QuestionMarksCancel);
    EXPECT_NE(prompts.messages[0].text.find(u"1 character of this document cannot be stored in this file's "
                                            u"code page (Thai, Windows-874)"),
              Text::npos);
    EXPECT_NE(prompts.messages[0].text.find(u"Save as UTF-8"), Text::npos);
    EXPECT_FALSE(files.FileExists(u"C:\\new.txt"));
    EXPECT_TRUE(fou.Modified());
    EXPECT_EQ(d1::g_FileName, u"");
    EXPECT_EQ(d1::g_Format, base::TextFormat{});

    // Save as UTF-8: every character kept, and the document is UTF-8 from now on (no question at F2).
    prompts.msgAnswers = {MsgResult::Yes};
    fou.txtData_KeyDown(0, kKeyF2, 0);
    EXPECT_EQ(files.Get(u"C:\\new.txt"), "caf\xC3\xA9\r\n");
    EXPECT_EQ(d1::g_Format.encoding, Encoding::Utf8);
    s.editor().Type(u"\u00e9");
    fou.txtData_KeyDown(0, kKeyF2, 0);
    EXPECT_EQ(files.Get(u"C:\\new.txt"), "caf\xC3\xA9\r\n\xC3\xA9");
    EXPECT_EQ(prompts.messages.size(), 2u);

    // A protected document stays in the code page, with the old two-way question; its format is the default.
    files.Put(u"C:\\u.txt", "\xE0\xB8\x81\xE0\xB8\x81\xE0\xB8\x81\xE0\xB8\x81\n");
    ASSERT_TRUE(fou.SecureOpen(u"C:\\u.txt"));
    EXPECT_EQ(d1::g_Format.encoding, Encoding::Utf8);
    EXPECT_EQ(d1::g_Format.breaks, LineBreaks::Lf);
    prompts.inputAnswers = {u"pw", u"pw"};
    s.fp.dialogs.ChooseNext(u"C:\\s.txs", 1, static_cast<int32_t>(Encoding::Utf16Le));
    s.editor().SetSel(static_cast<int32_t>(s.editor().text.size()), 0);
    s.editor().Type(u"\u00e9");
    fou.mnu1_Click(kMnuSaveAs);
    ASSERT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(prompts.messages[2].buttons, MsgButtons::YesNo);
    EXPECT_EQ(s.fp.dialogs.saved.back().encoding, static_cast<int32_t>(Encoding::Utf8));
    s.fp.dialogs.answer = nullptr;
    fou.mnu1_Click(kMnuSaveAs);  // now a protected document: its own types turn the list off
    EXPECT_EQ(s.fp.dialogs.saved.back().encodingOffTypes, 3u);
    EXPECT_EQ(s.fp.dialogs.saved.back().encoding, static_cast<int32_t>(Encoding::Ansi));
    EXPECT_EQ(d1::g_Format, base::TextFormat{});
    ASSERT_TRUE(fou.SecureOpen(u"C:\\s.txs"));
    EXPECT_EQ(s.editor().text, u"\u0e01\u0e01\u0e01\u0e01\r\n?");  // the masked form keeps its CR LF
    EXPECT_EQ(d1::g_Format, base::TextFormat{});
}

TEST(Encodings, AUtf8DocumentIsHeldInNoMoreMemoryThanItsText) {
    // Thai is three bytes a character in UTF-8 and one unit in memory; a buffer of one unit a byte would
    // hold three times what the text needs while the document is open.
    const Text original = Text(1000, u'\u0e01') + u"\U0001F600 caf\u00e9\r\n" + Text(20, u'a');
    const Bytes file = base::ToUtf8(original);
    Text text;
    ASSERT_EQ(base::DecodeDocument(file, text).encoding, Encoding::Utf8);
    EXPECT_EQ(text, original);
    EXPECT_LT(text.capacity(), original.size() + 16);
    EXPECT_GT(file.size(), 3000u);
}
