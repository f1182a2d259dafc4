// Undo and redo over the fakes: how typing, deleting, a paste, Replace and Replace All become steps, the way
// back to the loaded text and forward again by every key and the menu, and the history's bounds.
#include <gtest/gtest.h>

#include "base/codepage.h"
#include "base/edit_history.h"
#include "base/unicode.h"
#include "fakes/fake_platform.h"

namespace {

struct Undo : ::testing::Test {
    std::unique_ptr<Started> s = std::make_unique<Started>();
    Editor& editor() { return s->editor(); }
    FakeTextBox& box() { return s->box(); }
    void Pause(int64_t ms) { s->fp.clock.elapsed += ms; }
    void Press(Key key, int shift) { editor().OnTextKeyDown(s->editor().ActiveEditorIndex(), key, shift); }
    void TypeSlowly(const Text& text, int64_t gap) {
        for (const char16_t c : text) {
            box().Type(Text(1, c));
            Pause(gap);
        }
    }
};

}  // namespace

TEST_F(Undo, EveryStepGoesBackToTheLoadedTextAndForwardAgainAndANewChangeEndsTheWayForward) {
    const Text loaded = u"one two\r\n" + Text(20, u't') + u"\r\n";
    s->fp.files.Put(u"C:\\docs\\doc.txt", base::ToCodePage(loaded));
    ASSERT_TRUE(editor().SecureOpen(u"C:\\docs\\doc.txt"));
    Press(kKeyZ, kCtrlMask);  // nothing to take back: nothing changes
    EXPECT_EQ(box().text, loaded);
    EXPECT_FALSE(editor().CurrentDocument().modified);

    // The texts after each step, and the selection each step started from.
    std::vector<Text> texts{loaded};
    std::vector<std::pair<int32_t, int32_t>> selections;
    const auto stepped = [&](int32_t start, int32_t length) {
        texts.push_back(box().text);
        selections.emplace_back(start, length);
    };
    box().MoveCaret(7);
    TypeSlowly(u"abc", 300);  // a step: no pause over a second
    stepped(7, 0);
    Pause(1200);
    TypeSlowly(u"de", 100);  // a pause began another
    stepped(10, 0);
    box().Backspace();  // deleting after typing: another
    box().Backspace();
    stepped(12, 0);
    box().Type(u"x");
    stepped(10, 0);
    box().MoveCaret(0);  // typing elsewhere
    box().Type(u"X");
    stepped(0, 0);
    box().MoveCaret(5);  // the caret went away and came back
    box().MoveCaret(1);
    box().Type(u"Y");
    stepped(1, 0);
    box().MoveCaret(4, 2);  // a paste over a selection
    box().Paste(u"PASTED");
    stepped(2, 2);
    box().Delete();  // a forward delete
    box().Delete();
    stepped(8, 0);
    editor().Finder().State().ReplaceMode = true;
    editor().Finder().State().ReplaceText = u"T";
    box().SetSel(10, 1);  // F4 replaces the selection
    const Text replaced = box().SelText();
    Press(kKeyF4, 0);
    stepped(10, 1);
    editor().Finder().State().FindText = u"t";
    editor().Finder().State().ReplaceText = u"[t]";
    box().SetSel(3, 0);
    editor().Finder().ReplaceAll();  // Replace All, 20 matches and more: one step
    stepped(3, 0);
    ASSERT_EQ(editor().History().Steps(), texts.size() - 1);

    // Back, step by step, each with the selection it started from; then no further.
    for (size_t k = texts.size() - 1; k > 0; --k) {
        Press(kKeyZ, kCtrlMask);
        ASSERT_EQ(box().text, texts[k - 1]) << "undo to " << k - 1;
        EXPECT_EQ(box().selStart, selections[k - 1].first) << k;
        EXPECT_EQ(box().selLength, selections[k - 1].second) << k;
    }
    Press(kKeyZ, kCtrlMask);
    EXPECT_EQ(box().text, loaded);
    EXPECT_TRUE(editor().CurrentDocument().modified);  // as any change leaves it
    EXPECT_EQ(s->host.window.caption, u"doc.txt * - Lockleaf 1.0");

    // Forward by each of its keys and the menu, then no further.
    const std::pair<Key, int> redoKeys[] = {{kKeyY, kCtrlMask}, {kKeyZ, kCtrlMask | kShiftMask}};
    for (size_t k = 1; k < texts.size(); ++k) {
        if (k % 3 == 0)
            editor().OnEditMenu(kMenuRedo);
        else
            Press(redoKeys[k % 3 - 1].first, redoKeys[k % 3 - 1].second);
        ASSERT_EQ(box().text, texts[k]) << "redo to " << k;
    }
    Press(kKeyY, kCtrlMask);
    EXPECT_EQ(box().text, texts.back());

    // Alt+Backspace and the menu take back too; a change after an undo ends the way forward.
    Press(kKeyBack, kAltMask);
    EXPECT_EQ(box().text, texts[texts.size() - 2]);
    editor().OnEditMenu(kMenuUndo);
    EXPECT_EQ(box().text, texts[texts.size() - 3]);
    EXPECT_EQ(box().SelText(), replaced);
    box().Type(u"!");
    const Text typed = box().text;
    Press(kKeyY, kCtrlMask);
    EXPECT_EQ(box().text, typed);
    Press(kKeyF4, kAltMask);  // Alt+F4 closes the window; it replaces nothing
    EXPECT_EQ(box().text, typed);

    // The history is the document's: Word Wrap keeps it, a load empties it.
    editor().OnEditMenu(kMenuWordWrap);
    Press(kKeyZ, kCtrlMask);
    EXPECT_EQ(box().text, texts[texts.size() - 3]);
    ASSERT_TRUE(editor().SecureOpen(u"C:\\docs\\doc.txt"));
    EXPECT_EQ(editor().History().Steps(), 0u);
    Press(kKeyZ, kCtrlMask);
    EXPECT_EQ(box().text, loaded);
    EXPECT_FALSE(editor().CurrentDocument().modified);
}

TEST(EditHistory, KeepsItsBytesDroppingTheOldestButNeverTheNewestAndForgetsWhatItCannotFollow) {
    base::EditHistory history;
    const Text mib(size_t{1} << 19, u'x');  // 1 MiB of UTF-16
    for (int k = 0; k < 100; ++k) history.Add({{{k, u"", mib}}, k, 0});
    EXPECT_GE(history.Steps(), 60u);  // 64 MiB of them are kept
    EXPECT_LT(history.Steps(), 64u);
    EXPECT_EQ(history.Done(), history.Steps());
    const base::EditStep* newest = history.Undo();
    ASSERT_NE(newest, nullptr);
    EXPECT_EQ(newest->selStart, 99);
    history.Redo();

    // One step bigger than all of it stays, alone.
    history.Add({{{0, u"", Text(size_t{40} << 20, u'y')}}, 0, 0});
    EXPECT_EQ(history.Steps(), 1u);

    // A change the box could not tell (what it removed is unknown) leaves nothing to take back.
    history.Typed({EditKind::Typing, 0, u"", u"a", 0, 0}, 0);
    EXPECT_EQ(history.Steps(), 1u);  // and goes as soon as a newer one comes
    history.Typed({EditKind::Unknown, 0, u"", u"", 0, 0}, 0);
    EXPECT_EQ(history.Steps(), 0u);
    EXPECT_EQ(history.Undo(), nullptr);

    // A step is made or taken back only over the text it was made from.
    const base::EditStep step{{{1, u"b", u"BB"}, {3, u"d", u""}}, 0, 0};
    Text out = u"unchanged";
    EXPECT_TRUE(base::ApplyStep(u"abcde", step, true, out));
    EXPECT_EQ(out, u"aBBce");
    EXPECT_TRUE(base::ApplyStep(u"aBBce", step, false, out));
    EXPECT_EQ(out, u"abcde");
    for (const std::u16string_view other : {u"aXcde", u"abc", u""}) {
        out = u"unchanged";
        EXPECT_FALSE(base::ApplyStep(other, step, true, out)) << base::ToUtf8(Text(other));
        EXPECT_EQ(out, u"unchanged");
    }
}
