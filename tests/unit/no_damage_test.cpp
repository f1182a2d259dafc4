// Journeys in which the program used to damage a file or hide which file F2 writes.
#include <gtest/gtest.h>

#include "app/settings.h"
#include "fakes/fake_platform.h"
#include "protect/cipher.h"

namespace {

constexpr int kNew = 0, kOpen = 1, kSaveAs = 3, kVkF2 = 113;

struct Journey : ::testing::Test {
    Started s;
    Fou& fou = s.fou();
    FakeFiles& files = s.fp.files;
    FakePrompts& prompts = s.fp.prompts;
    FakeFileDialogs& dialogs = s.fp.dialogs;
    const Text& caption = s.host.window.caption;
};

}  // namespace

TEST_F(Journey, ACancelledPasswordOnF2NeverRedirectsTheSaveToAnEarlierFile) {
    files.Put(u"C:\\A.txt", "first");
    dialogs.ChooseNext(u"C:\\A.txt");
    fou.mnu1_Click(kOpen);
    dialogs.ChooseNext(u"C:\\B.txt");
    fou.mnu1_Click(kSaveAs);
    fou.mnu1_Click(kNew);
    dialogs.ChooseNext(u"C:\\new.txs");  // typed in the dialog: no such file yet
    fou.mnu1_Click(kOpen);
    s.editor().Type(u"secret");
    prompts.inputAnswers = {u""};
    fou.txtData_KeyDown(d1::g_ActiveEditor, kVkF2, 0);
    EXPECT_EQ(d1::g_FileName, u"C:\\new.txs");
    EXPECT_EQ(caption, u"new.txs * - Lockleaf 1.0");
    prompts.inputAnswers = {u"pw"};
    fou.txtData_KeyDown(d1::g_ActiveEditor, kVkF2, 0);
    EXPECT_EQ(files.Get(u"C:\\A.txt"), "first");
    EXPECT_EQ(files.Get(u"C:\\B.txt"), "first");
    Text saved;
    ASSERT_TRUE(d1::UnmaskDocument(files.Get(u"C:\\new.txs"), u"pw", saved));
    EXPECT_EQ(saved, u"secret");

    // A cancelled Save As still goes back to the name before it, once, and says so in the caption.
    dialogs.ChooseNext(u"C:\\other.txs");
    prompts.inputAnswers = {u""};
    fou.mnu1_Click(kSaveAs);
    EXPECT_EQ(d1::g_FileName, u"C:\\new.txs");
    EXPECT_EQ(caption, u"new.txs - Lockleaf 1.0");
    EXPECT_EQ(fou.m_PrevFileName, u"");
}

TEST_F(Journey, NulBytesShowAsTheirSymbolAndAreWrittenBackUnchanged) {
    const Bytes plain("abc\0def\0", 8);
    files.Put(u"C:\\nul.txt", plain);
    Bytes masked;
    d1::MaskDocument(u"pw", Text(u"x\0y", 3), masked);
    files.Put(u"C:\\nul.txs", masked);
    d1::g_Password = u"pw";
    for (const char16_t* name : {u"C:\\nul.txt", u"C:\\nul.txs"}) {
        SCOPED_TRACE(std::string(name, name + 10));
        const Bytes before = files.Get(name);
        fou.OpenDocument(name);
        EXPECT_EQ(s.editor().text.find(u'\0'), Text::npos);
        fou.txtData_KeyDown(d1::g_ActiveEditor, kVkF2, 0);
        EXPECT_EQ(files.Get(name), before);
    }
    EXPECT_EQ(s.editor().text, u"x\u2400y");
}

TEST_F(Journey, EveryDropLeavesTheCaptionNamingTheFileF2Writes) {
    files.Put(u"C:\\same.txt", "same");
    files.Put(u"C:\\empty.txt", "");
    files.folders.insert(FakeFiles::Key(u"C:\\folder"));
    fou.txtData_OLEDragDrop(0, {u"C:\\same.txt", u"C:\\empty.txt"}, kDropEffectAll);
    EXPECT_EQ(caption, u"same.txt - Lockleaf 1.0");
    fou.txtData_OLEDragDrop(0, {u"C:\\empty.txt"}, kDropEffectAll);
    EXPECT_EQ(caption, u"empty.txt - Lockleaf 1.0");
    fou.txtData_OLEDragDrop(0, {u"C:\\missing.txt"}, kDropEffectAll);
    EXPECT_EQ(caption, u"missing.txt - Lockleaf 1.0");
    // A folder cannot be a document: refused, the name shown stays.
    fou.txtData_OLEDragDrop(0, {u"C:\\folder"}, kDropEffectAll);
    EXPECT_EQ(d1::g_FileName, u"C:\\missing.txt");
    EXPECT_EQ(prompts.messages.size(), 1u);
    // Reloading the text the box already shows still lets the next edit mark the document.
    fou.txtData_OLEDragDrop(0, {u"C:\\same.txt"}, kDropEffectAll);
    fou.txtData_OLEDragDrop(0, {u"C:\\same.txt"}, kDropEffectAll);
    s.editor().Type(u"!");
    EXPECT_EQ(caption, u"same.txt * - Lockleaf 1.0");
}

TEST_F(Journey, WordWrapLeavesFocusAndSelectionInTheBoxThatBecomesVisible) {
    FakeTextBox* box = s.host.txtData;
    box[0].SetText(u"one two");
    box[0].SetSel(4, 3);
    fou.mnu2_Click(1);
    EXPECT_EQ(box[1].focusCount, 1);
    EXPECT_EQ(box[1].SelText(), u"two");
    fou.mnu2_Click(1);
    EXPECT_EQ(box[0].focusCount, 1);
}

TEST(Placement, ValuesNoScreenCanHoldKeepTheInitialPlacement) {
    Started s;
    for (const char16_t* stored : {u"0,0,3E+38,3E+38", u"-3E+38,0,9000,6000", u"0,0,491506,6000"}) {
        d1::WriteSetting(s.fp.registry, u"position", stored);
        s.fou().RestorePlacement();
        EXPECT_DOUBLE_EQ(s.host.window.rect.width, 9000) << std::u16string_view(stored).size();
        EXPECT_DOUBLE_EQ(s.host.window.rect.left, 0);
    }
}
