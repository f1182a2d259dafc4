#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {

struct MainWindow : ::testing::Test {
    Started s;
    Editor& editor = s.editor();
    FakeWindow& window = s.host.window;
    FakeTextBox* box = s.host.textBoxes;
};

}  // namespace

TEST_F(MainWindow, TheMarkFollowsEditsAndSavesAndAnUntitledCaptionNeverShowsIt) {
    box[0].Type(u"a");  // the first typed character after start is an edit
    EXPECT_TRUE(editor.CurrentDocument().modified);
    EXPECT_EQ(window.caption, u"Lockleaf 1.0");
    s.fp.files.Put(u"C:\\docs\\notes.txt", "notes");
    s.fp.prompts.msgAnswers = {MsgResult::No};
    editor.OnFilesDropped(0, {u"C:\\docs\\notes.txt"}, kDropEffectAll);
    EXPECT_EQ(window.caption, u"notes.txt - Lockleaf 1.0");
    box[0].Type(u"x");
    EXPECT_EQ(window.caption, u"notes.txt * - Lockleaf 1.0");
    window.caption = u"untouched";  // a change with the mark already set does not recaption
    box[0].Type(u"y");
    EXPECT_EQ(window.caption, u"untouched");
    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(window.caption, u"notes.txt - Lockleaf 1.0");
    EXPECT_EQ(s.fp.files.Get(u"C:\\docs\\notes.txt"), "xynotes");
}

TEST_F(MainWindow, LayoutFollowsTheOuterSize) {
    window.rect = {100, 100, 9000, 6000};
    editor.Form_Resize();
    for (int i = 0; i < 2; ++i) {
        FakeTextBox& b = box[i];
        EXPECT_DOUBLE_EQ(b.rect.width, 8760);
        EXPECT_DOUBLE_EQ(b.rect.height, 4290 - s.host.statusBar.height);  // the bar is shown at first
        EXPECT_DOUBLE_EQ(b.rect.left, 0);
        EXPECT_DOUBLE_EQ(b.rect.top, 840);
    }
    EXPECT_DOUBLE_EQ(s.host.browser.rect.width, 8860);
    EXPECT_DOUBLE_EQ(s.host.browser.rect.height, 750);
    EXPECT_DOUBLE_EQ(s.host.morePicture.rect.left, 8490);
    EXPECT_DOUBLE_EQ(s.host.morePicture.rect.top, 20);
    EXPECT_DOUBLE_EQ(s.host.morePicture.rect.width, 285);
    EXPECT_DOUBLE_EQ(s.host.morePicture.rect.height, 270);
}

TEST_F(MainWindow, LayoutRoundsToWholeTwipsAndClampsTinyWindowsAtZero) {
    window.rect = {0, 0, 9000.4, 6000.6};
    editor.Form_Resize();
    EXPECT_DOUBLE_EQ(box[0].rect.width, 8760);
    EXPECT_DOUBLE_EQ(box[0].rect.height, 4291 - s.host.statusBar.height);
    window.rect = {0, 0, 100, 1000};
    editor.Form_Resize();
    EXPECT_DOUBLE_EQ(box[1].rect.width, 0);
    EXPECT_DOUBLE_EQ(box[1].rect.height, 0);
    EXPECT_DOUBLE_EQ(s.host.browser.rect.width, 0);
}

TEST_F(MainWindow, MinimizedWindowKeepsItsLayout) {
    window.rect = {0, 0, 9000, 6000};
    editor.Form_Resize();
    window.minimized = true;
    window.rect = {0, 0, 2400, 400};
    editor.Form_Resize();
    EXPECT_DOUBLE_EQ(box[0].rect.width, 8760);
    window.minimized = false;
    editor.Form_Resize();
    EXPECT_DOUBLE_EQ(box[0].rect.width, 2160);
}

TEST_F(MainWindow, WordWrapSwapsTheBoxesAndTwiceReturnsToTheFirst) {
    box[0].Type(u"hello");
    editor.OnEditMenu(kMenuWordWrap);
    EXPECT_TRUE(s.host.wordWrap.checked);
    EXPECT_EQ(s.editor().ActiveEditorIndex(), 1);
    EXPECT_EQ(box[1].text, u"hello");
    EXPECT_TRUE(box[1].visible);
    EXPECT_FALSE(box[0].visible);
    box[1].SetSel(5, 0);
    box[1].Type(u"!");
    editor.OnEditMenu(kMenuWordWrap);
    EXPECT_FALSE(s.host.wordWrap.checked);
    EXPECT_EQ(s.editor().ActiveEditorIndex(), 0);
    EXPECT_EQ(box[0].text, u"hello!");
    EXPECT_TRUE(box[0].visible);
    EXPECT_FALSE(box[1].visible);
}

TEST_F(MainWindow, WordWrapCopyOfADifferentTextIsNoEditAndKeepsAnEditedDocumentMarked) {
    s.fp.files.Put(u"C:\\docs\\notes.txt", "loaded");
    box[1].text = u"old text of the hidden box";
    editor.SecureOpen(u"C:\\docs\\notes.txt");
    editor.OnEditMenu(kMenuWordWrap);
    EXPECT_EQ(box[1].text, u"loaded");
    EXPECT_FALSE(editor.CurrentDocument().modified);
    EXPECT_EQ(window.caption, u"notes.txt - Lockleaf 1.0");
    box[1].Type(u"!");
    editor.OnEditMenu(kMenuWordWrap);
    EXPECT_TRUE(editor.CurrentDocument().modified);
    EXPECT_EQ(window.caption, u"notes.txt * - Lockleaf 1.0");
}

TEST_F(MainWindow, WordWrapCopyOfTheSameTextIsNoChange) {
    s.Name(u"C:\\docs\\notes.txt");
    box[0].text = box[1].text = u"same";
    editor.OnEditMenu(kMenuWordWrap);
    EXPECT_FALSE(editor.CurrentDocument().modified);
}

TEST_F(MainWindow, WordWrapStaysOffForALineTooLongToWrapAndAsksFirstForALargeDocument) {
    // Many short lines wrap; their total length does not count.
    const Text lines = Text(kLongestWrappedLine, u'a') + u"\r\n" + Text(kLongestWrappedLine, u'b');
    box[0].text = lines;
    editor.OnEditMenu(kMenuWordWrap);
    EXPECT_EQ(s.editor().ActiveEditorIndex(), 1);
    EXPECT_TRUE(box[1].text == lines);
    editor.OnEditMenu(kMenuWordWrap);
    EXPECT_EQ(s.editor().ActiveEditorIndex(), 0);
    EXPECT_TRUE(s.fp.prompts.messages.empty());

    // One character more, on the last line after a lone line feed: refused with a message, nothing changed.
    const Text tooLong = u"short\n" + Text(kLongestWrappedLine + 1, u'c');
    box[0].text = tooLong;
    box[1].text = u"old";
    editor.OnEditMenu(kMenuWordWrap);
    ASSERT_EQ(s.fp.prompts.messages.size(), 1u);
    EXPECT_EQ(s.fp.prompts.messages[0].text, kTooLongToWrapMessage);
    EXPECT_FALSE(s.host.wordWrap.checked);
    EXPECT_EQ(s.editor().ActiveEditorIndex(), 0);
    EXPECT_TRUE(box[0].visible);
    EXPECT_FALSE(box[1].visible);
    EXPECT_TRUE(box[0].text == tooLong);
    EXPECT_EQ(box[1].text, u"old");

    // A large document, of short lines, is asked about first, both ways: No changes nothing.
    Text large;
    while (large.size() <= kLongToRewrap) large += u"a short line\r\n";
    box[0].text = large;
    s.fp.prompts.msgAnswers = {MsgResult::No, MsgResult::Yes, MsgResult::Yes};
    editor.OnEditMenu(kMenuWordWrap);
    ASSERT_EQ(s.fp.prompts.messages.size(), 2u);
    EXPECT_EQ(s.fp.prompts.messages[1].text, kLongToRewrapQuestion);
    EXPECT_EQ(s.fp.prompts.messages[1].buttons, MsgButtons::YesNo);
    EXPECT_EQ(s.editor().ActiveEditorIndex(), 0);
    EXPECT_EQ(box[1].text, u"old");
    editor.OnEditMenu(kMenuWordWrap);
    EXPECT_EQ(s.editor().ActiveEditorIndex(), 1);
    EXPECT_TRUE(s.host.wordWrap.checked);
    EXPECT_TRUE(box[1].text == large && box[0].text.empty());
    editor.OnEditMenu(kMenuWordWrap);
    EXPECT_EQ(s.fp.prompts.messages.size(), 4u);
    EXPECT_EQ(s.editor().ActiveEditorIndex(), 0);
    EXPECT_TRUE(box[0].text == large && box[1].text.empty());
    EXPECT_FALSE(editor.CurrentDocument().modified);
}

TEST_F(MainWindow, FocusMakesTheBoxTheActiveEditor) {
    editor.OnTextFocus(1);
    EXPECT_EQ(s.editor().ActiveEditorIndex(), 1);
    editor.OnTextFocus(0);
    EXPECT_EQ(s.editor().ActiveEditorIndex(), 0);
}

TEST_F(MainWindow, AboutShowsFiveLinesWithOkOnly) {
    editor.OnHelpMenu(kMenuAbout);
    ASSERT_EQ(s.fp.prompts.messages.size(), 1u);
    const auto& m = s.fp.prompts.messages[0];
    EXPECT_EQ(m.buttons, MsgButtons::Ok);
    EXPECT_EQ(m.icon, MsgIcon::None);
    EXPECT_EQ(m.text.rfind(u"Lockleaf 1.0\r\nDate : 1 Sep 2013\r\nDeveloper : ", 0), 0u);
    int lines = 1;
    for (size_t i = m.text.find(u"\r\n"); i != Text::npos; i = m.text.find(u"\r\n", i + 2)) ++lines;
    EXPECT_EQ(lines, 5);
    EXPECT_NE(m.text.find(u"\r\nWebsite : "), Text::npos);
    EXPECT_NE(m.text.find(u"\r\nEmail : "), Text::npos);
    EXPECT_NE(m.text.substr(m.text.size() - 2), u"\r\n");
}

TEST_F(MainWindow, ExitEndsTheProcess) {
    editor.OnFileMenu(kMenuExit);
    EXPECT_TRUE(s.fp.loop.ended);
}

TEST_F(MainWindow, DropsOtherThanCopyMoveLinkAreIgnored) {
    editor.OnFilesDropped(0, {u"C:\\a.txt"}, kDropEffectCopy);
    editor.OnFilesDropped(0, {}, kDropEffectAll);
    EXPECT_EQ(box[0].text, u"");
    EXPECT_EQ(s.document().Name(), u"");
}
