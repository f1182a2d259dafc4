#include <gtest/gtest.h>

#include "fakes/fake_find_replace_host.h"
#include "fakes/fake_platform.h"
#include "find/find_replace.h"
#include "find/search.h"

namespace {

struct Find : ::testing::Test {
    Started s;
    Editor& editor = s.editor();
    FakeTextBox& box = s.box();
    FindReplace& r = editor.Finder();
    FindState& fs = r.State();

    void Set(const Text& text, int32_t start = 0, int32_t length = 0) {
        box.text = text;
        box.selStart = start;
        box.selLength = length;
    }
    std::pair<int32_t, int32_t> Sel() const { return {box.selStart, box.selLength}; }
};

using P = std::pair<int32_t, int32_t>;

}  // namespace

TEST_F(Find, IgnoresCaseWhenTheBoxWasNeverClickedAndWrapsToTheStartWithoutAMatch) {
    Set(u"Apple apple");
    fs.FindText = u"apple";
    EXPECT_EQ(r.FindAgain(), 1);
    EXPECT_EQ(Sel(), P(0, 5));
    EXPECT_EQ(r.FindAgain(), 1);
    EXPECT_EQ(Sel(), P(6, 5));
    EXPECT_EQ(r.FindAgain(), 0);  // from offset 11: nothing, caret to the top
    EXPECT_EQ(Sel(), P(0, 0));
    EXPECT_EQ(r.FindAgain(), 1);
    EXPECT_EQ(Sel(), P(0, 5));
    EXPECT_EQ(box.focusCount, 4);  // the focus goes back to the editor, found or not
    EXPECT_EQ(box.text, u"Apple apple");

    fs.MatchCase = false;
    Set(u"Apple apple");
    EXPECT_EQ(r.FindAgain(), 1);
    EXPECT_EQ(Sel(), P(0, 5));
}

TEST_F(Find, TickedMatchCaseComparesExactly) {
    fs.MatchCase = true;
    fs.FindText = u"apple";
    Set(u"Apple apple");
    EXPECT_EQ(r.FindAgain(), 1);
    EXPECT_EQ(Sel(), P(6, 5));
    EXPECT_EQ(r.FindAgain(), 0);
    EXPECT_EQ(Sel(), P(0, 0));
    // A search start past the end (caret at the end) finds nothing either way.
    Set(u"apple", 5, 0);
    EXPECT_EQ(r.FindAgain(), 0);
    fs.MatchCase = false;
    Set(u"apple", 5, 0);
    EXPECT_EQ(r.FindAgain(), 0);
    EXPECT_EQ(Sel(), P(0, 0));
}

TEST_F(Find, F3SearchesFromTheSelectionsEndWhereverTheNextMatchIs) {
    struct Case {
        const char* what;
        Text text;
        int32_t start, length;
        Text word;
        bool matchCase;
        int32_t found;
        P sel;
    } cases[] = {
        {"right after the caret", u"one two one", 0, 0, u"one", false, 1, P(0, 3)},
        {"after a selected match", u"one two one", 0, 3, u"one", false, 1, P(8, 3)},
        {"a match the selection cuts is passed over", u"one two one", 1, 3, u"one", false, 1, P(8, 3)},
        {"the selection ends inside the last one", u"one two one", 7, 2, u"one", false, 0, P(0, 0)},
        {"only before the caret: to the top", u"one two", 2, 0, u"one", false, 0, P(0, 0)},
        {"none at all: to the top", u"one two", 3, 1, u"six", false, 0, P(0, 0)},
        {"case ignored", u"x ONE", 0, 0, u"one", false, 1, P(2, 3)},
        {"case matched", u"x ONE one", 0, 0, u"one", true, 1, P(6, 3)},
        {"the last possible start", u"abc", 1, 0, u"bc", false, 1, P(1, 2)},
        {"from the very end", u"abc", 3, 0, u"a", false, 0, P(0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Set(c.text, c.start, c.length);
        fs.FindText = c.word;
        fs.MatchCase = c.matchCase;
        EXPECT_EQ(r.FindAgain(), c.found);
        EXPECT_EQ(Sel(), c.sel);
        EXPECT_EQ(box.text, c.text);
    }
}

// F3, Ctrl+F3, the Find button and Replace All read the box's text where it lies: none of them copies it.
TEST_F(Find, TheFindCommandsReadTheBoxInPlaceAndCopyNoneOfIt) {
    Set(u"Lorem ipsum lorem IPSUM dolor", 0, 0);
    fs.FindText = u"LOREM";
    editor.OnTextKeyDown(0, kKeyF3, 0);
    EXPECT_EQ(Sel(), P(0, 5));
    editor.OnTextKeyDown(0, kKeyF3, 0);
    EXPECT_EQ(Sel(), P(12, 5));
    editor.OnTextKeyDown(0, kKeyF3, 0);  // no more: the caret goes to the top
    EXPECT_EQ(Sel(), P(0, 0));
    editor.OnTextKeyDown(0, kKeyF3, 0);  // and the next press finds the first again
    EXPECT_EQ(Sel(), P(0, 5));

    box.SetSel(8, 0);  // in "ipsum"
    editor.OnTextKeyDown(0, kKeyF3, kCtrlMask);
    EXPECT_EQ(fs.FindText, u"ipsum");
    EXPECT_EQ(Sel(), P(18, 5));
    const int lowerings = s.fp.locale.lowerings;
    EXPECT_GT(lowerings, 0);  // ignoring case: the locale's lower case was read

    fs.MatchCase = true;
    box.SetSel(0, 0);
    editor.OnEditMenu(kMenuFind);
    s.findHost.w->fields[0].text = u"lorem";
    r.OnButton(0);
    EXPECT_EQ(Sel(), P(12, 5));
    EXPECT_EQ(s.fp.locale.lowerings, lowerings);  // matching case asks the locale nothing

    s.findHost.w->fields[1].text = u"LOREM";
    r.OnButton(1);  // to Replace mode
    r.OnButton(2);
    EXPECT_EQ(box.text, u"Lorem ipsum LOREM IPSUM dolor");
    EXPECT_EQ(box.copies, 0);
    EXPECT_GE(box.reads, 8);
}

TEST_F(Find, EmptySearchWordChangesNothingButFocusesTheEditor) {
    Set(u"abc", 1, 1);
    EXPECT_EQ(r.FindAgain(), 0);
    EXPECT_EQ(Sel(), P(1, 1));
    EXPECT_EQ(box.focusCount, 1);
}

TEST_F(Find, ReplaceAllIsExactAndNonOverlapping) {
    struct Case {
        Text text, find, replacement;
        bool matchCase;
        Text want;
    } cases[] = {
        {u"Apple apple", u"apple", u"pear", false, u"Apple pear"},
        {u"Apple apple", u"apple", u"pear", true, u"Apple pear"},
        {u"aaa", u"a", u"aa", false, u"aaaaaa"},
        {u"aaa", u"aa", u"b", false, u"ba"},
        {u"xyz", u"q", u"r", false, u"xyz"},
        {u"abab", u"ab", u"abab", false, u"abababab"},
    };
    for (const Case& c : cases) {
        Set(c.text);
        fs.FindText = c.find;
        fs.ReplaceText = c.replacement;
        fs.MatchCase = c.matchCase;
        r.ReplaceAll();
        EXPECT_EQ(box.text, c.want) << std::string(c.text.begin(), c.text.end());
    }
    EXPECT_TRUE(s.fp.prompts.messages.empty());
    EXPECT_EQ(box.focusCount, 0);
}

TEST_F(Find, EmptyReplacementAsksFirstAndNoLeavesTheTextAlone) {
    fs.FindText = u"a";
    Set(u"banana");
    s.fp.prompts.msgAnswers = {MsgResult::No};
    r.ReplaceAll();
    EXPECT_EQ(box.text, u"banana");
    ASSERT_EQ(s.fp.prompts.messages.size(), 1u);
    EXPECT_EQ(s.fp.prompts.messages[0].text, u"Are you sure to replace words to empty ?");
    EXPECT_EQ(s.fp.prompts.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(s.fp.prompts.messages[0].icon, MsgIcon::Exclamation);

    s.fp.prompts.msgAnswers = {MsgResult::Yes};
    r.ReplaceAll();
    EXPECT_EQ(box.text, u"bnn");

    // The question comes before any search, also with no occurrence.
    fs.FindText = u"zzz";
    s.fp.prompts.msgAnswers = {MsgResult::No};
    r.ReplaceAll();
    EXPECT_EQ(s.fp.prompts.messages.size(), 3u);
}

TEST_F(Find, ReplaceButtonInFindModeOnlySwitchesToReplaceMode) {
    fs.FindText = u"dog";
    fs.ReplaceText = u"cat";
    Set(u"dog dog", 0, 3);
    r.PressReplace();
    EXPECT_TRUE(fs.ReplaceMode);
    EXPECT_EQ(box.text, u"dog dog");
    EXPECT_EQ(Sel(), P(0, 3));
    r.PressReplace();
    EXPECT_EQ(box.text, u"cat dog");
}

TEST_F(Find, ReplaceStepReplacesWhateverIsSelectedThenSelectsTheNextMatch) {
    fs.ReplaceMode = true;
    fs.FindText = u"dog";
    fs.ReplaceText = u"bird";
    Set(u"cat dog dog", 0, 3);  // a foreign selection
    r.PressReplace();
    EXPECT_EQ(box.text, u"bird dog dog");
    EXPECT_EQ(Sel(), P(5, 3));

    Set(u"x dog y dog", 0, 0);  // nothing selected: find, replace and find again in one press
    r.PressReplace();
    EXPECT_EQ(box.text, u"x bird y dog");
    EXPECT_EQ(Sel(), P(9, 3));
    EXPECT_TRUE(s.fp.prompts.messages.empty());
}

TEST_F(Find, ReplaceStepWithoutAFurtherMatchNeitherReplacesNorAsks) {
    fs.ReplaceMode = true;
    fs.FindText = u"dog";
    Set(u"dog cat", 4, 0);
    r.PressReplace();
    EXPECT_EQ(box.text, u"dog cat");
    EXPECT_EQ(Sel(), P(0, 0));
    EXPECT_TRUE(s.fp.prompts.messages.empty());
}

TEST_F(Find, ReplaceStepNeverMatchesTheTextItInserted) {
    fs.ReplaceMode = true;
    fs.FindText = u"a";
    fs.ReplaceText = u"ab";
    fs.MatchCase = true;
    Set(u"a a");
    r.PressReplace();
    EXPECT_EQ(box.text, u"ab a");
    EXPECT_EQ(Sel(), P(3, 1));
}

TEST_F(Find, ReplaceStepWithEmptyReplacementAsksOnEveryPress) {
    fs.ReplaceMode = true;
    fs.FindText = u"x";
    Set(u"axbx", 1, 1);
    s.fp.prompts.msgAnswers = {MsgResult::No};
    r.PressReplace();
    EXPECT_EQ(box.text, u"axbx");
    EXPECT_EQ(Sel(), P(1, 1));
    r.PressReplace();  // Yes by default
    EXPECT_EQ(box.text, u"abx");
    EXPECT_EQ(Sel(), P(2, 1));
    EXPECT_EQ(s.fp.prompts.messages.size(), 2u);
}

TEST_F(Find, SelReActsOnlyInReplaceModeWithASelection) {
    fs.ReplaceText = u"Z";
    Set(u"abc", 1, 1);
    r.ReplaceSelection();
    EXPECT_EQ(box.text, u"abc");
    fs.ReplaceMode = true;
    Set(u"abc", 1, 0);
    r.ReplaceSelection();
    EXPECT_EQ(box.text, u"abc");
    Set(u"abc", 1, 1);
    r.ReplaceSelection();
    EXPECT_EQ(box.text, u"aZc");
    EXPECT_EQ(Sel(), P(2, 0));
    fs.ReplaceText.clear();  // F4 never asks
    Set(u"abc", 0, 2);
    r.ReplaceSelection();
    EXPECT_EQ(box.text, u"c");
    EXPECT_TRUE(s.fp.prompts.messages.empty());
}

TEST(WordAtCaret, Table) {
    struct Case {
        Text text;
        int64_t caret;
        Text word;
        int64_t start, end;
    } cases[] = {
        {u"hello world foo", 8, u"world", 6, 11},
        {u"hello world foo", 6, u"world", 6, 11},
        {u"hello world foo", 11, u"world", 6, 11},
        {u"hello world foo", 5, u"hello", 0, 5},
        {u"foo(bar).baz", 5, u"bar", 4, 7},
        {u"x_y", 1, u"x", 0, 1},
        {u"ab  cd", 3, u"", 3, 3},
        {u"hello world", 0, u"hello", 0, 5},
        {u" abc", 0, u"abc", 1, 4},
        {u"", 0, u"", 0, 0},
        {u"na\u00efve", 2, u"na", 0, 2},
        {u"na\u00efve", 3, u"ve", 3, 5},
        {u"a+b-c", 2, u"a+b-c", 0, 5},
        {u"one\r\ntwo", 5, u"two", 5, 8},
        {u"it's", 4, u"s", 3, 4},
        {u"\u0e44\u0e17\u0e22x", 4, u"x", 3, 4},
    };
    for (const Case& c : cases) {
        int64_t start = -1, end = -1;
        find::FLText(c.text, c.caret, start, end);
        EXPECT_EQ(start, c.start) << "caret " << c.caret;
        EXPECT_EQ(end, c.end) << "caret " << c.caret;
        EXPECT_EQ(Text(c.text.substr(start, end - start)), c.word);
    }
}

TEST(WordAtCaret, QspaceCountsOnlyTheSixtyFourWordCharacters) {
    EXPECT_EQ(find::WordChars.size(), 64u);
    EXPECT_EQ(find::Qspace(u""), 0);
    EXPECT_EQ(find::Qspace(find::WordChars), 0);
    for (char16_t c :
         {u' ', u'\t', u'\r', u'\n', u'_', u'\'', u'.', u'\u00e9', u'\u0e01', u'@', u'[', u'`', u'{'})
        EXPECT_EQ(find::Qspace(Text(u"ab") + c), 3) << int(c);
}

TEST(WordAtCaret, PositionsBeyondSixteenBitsAreTrue) {
    Text text(40000, u'a');
    text += u" tail";
    int64_t start = 0, end = 0;
    find::FLText(text, 35000, start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 40000);
    EXPECT_EQ(find::Qspace(text), 40001);
    Text pre = Text(u"x ") + Text(40000, u'b');
    find::FLText(pre, 40001, start, end);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(end, 40002);
}

TEST_F(Find, SALineLeavesTheSelectionAndReportsTheOffsets) {
    Set(u"hello world foo", 8, 0);
    int32_t start = 2, end = 1;
    EXPECT_EQ(r.WordAtCaret(start, end), u"world");
    EXPECT_EQ(start, 6);
    EXPECT_EQ(end, 11);
    EXPECT_EQ(Sel(), P(8, 0));
}

TEST_F(Find, F3FindsNextWithAnyModifierButExactlyCtrl) {
    fs.FindText = u"b";
    Set(u"ab ab");
    editor.OnTextKeyDown(0, kKeyF3, 0);
    EXPECT_EQ(Sel(), P(1, 1));
    editor.OnTextKeyDown(0, kKeyF3, kShiftMask | kCtrlMask);  // not exactly Ctrl: plain find next
    EXPECT_EQ(Sel(), P(4, 1));
    EXPECT_EQ(fs.FindText, u"b");
    editor.OnTextKeyDown(0, kKeyF3, kShiftMask);
    EXPECT_EQ(Sel(), P(0, 0));
}

TEST_F(Find, CtrlF3TakesTheSelectionOrTheWordAtTheCaret) {
    Set(u"foo bar foo bar", 4, 3);
    editor.OnTextKeyDown(0, kKeyF3, kCtrlMask);
    EXPECT_EQ(fs.FindText, u"bar");
    EXPECT_EQ(Sel(), P(12, 3));

    Set(u"foo bar foo bar", 1, 0);
    editor.OnTextKeyDown(0, kKeyF3, kCtrlMask);
    EXPECT_EQ(fs.FindText, u"foo");
    EXPECT_EQ(Sel(), P(8, 3));  // search starts right after the caret, so the word itself is skipped

    // Caret between two non-word characters: the search word becomes empty and nothing moves.
    Set(u"a  b", 2, 0);
    editor.OnTextKeyDown(0, kKeyF3, kCtrlMask);
    EXPECT_EQ(fs.FindText, u"");
    EXPECT_EQ(Sel(), P(2, 0));
}

TEST_F(Find, F4ReplacesTheSelectionOnlyInReplaceModeAndWorksOnTheActiveEditor) {
    fs.ReplaceText = u"X";
    Set(u"abc", 0, 1);
    editor.OnTextKeyDown(0, kKeyF4, 0);
    EXPECT_EQ(box.text, u"abc");
    fs.ReplaceMode = true;
    editor.OnTextKeyDown(0, kKeyF4, 0);
    EXPECT_EQ(box.text, u"Xbc");

    editor.OnEditMenu(kMenuWordWrap);  // word wrap: the other box becomes the active editor
    FakeTextBox& other = s.box();
    ASSERT_NE(&other, &box);
    other.SetSel(1, 1);
    editor.OnTextKeyDown(1, kKeyF4, 0);
    EXPECT_EQ(other.text, u"XXc");
    EXPECT_EQ(box.text, u"");  // the hidden box holds no copy of the text
}

TEST(FindStateLifetime, StartsEmptyInEveryProcess) {
    {
        Started s;
        FindState& fs = s.editor().Finder().State();
        fs.FindText = u"x";
        fs.ReplaceMode = fs.MatchCase = true;
    }
    Started s;
    const FindState& fs = s.editor().Finder().State();
    EXPECT_TRUE(fs.FindText.empty());
    EXPECT_FALSE(fs.ReplaceMode);
    EXPECT_FALSE(fs.MatchCase);
}

namespace {

struct FindWindow : ::testing::Test {
    Started s;
    Editor& editor = s.editor();
    FakeFindReplaceHost& findHost = s.findHost;
    FakeTextBox& box = s.box();
    FindState& fs = editor.Finder().State();

    FindReplace& r() { return editor.Finder(); }
    FakeFindReplaceControls& w() { return *findHost.w; }
    void Open(const Text& text, int32_t start, int32_t length) {
        box.text = text;
        box.selStart = start;
        box.selLength = length;
        editor.OnEditMenu(kMenuFind);
    }
};

}  // namespace

TEST_F(FindWindow, OpensInFindModeCentredWithTheSelectionOrTheWordAtTheCaret) {
    s.host.window.rect = {1000, 2000, 9000, 6000};
    fs.ReplaceMode = true;
    Open(u"say foo now", 4, 3);
    ASSERT_TRUE(r().Loaded());
    EXPECT_EQ(findHost.shows, 1);
    EXPECT_FALSE(fs.ReplaceMode);
    EXPECT_EQ(w().window.caption, u"Find");
    EXPECT_DOUBLE_EQ(w().window.rect.width, 4060);
    EXPECT_DOUBLE_EQ(w().window.rect.height, 1800);
    EXPECT_DOUBLE_EQ(w().window.rect.left, 1000 + (9000 - 4060) / 2.0);
    EXPECT_DOUBLE_EQ(w().window.rect.top, 2000 + (6000 - 1800) / 2.0);
    EXPECT_DOUBLE_EQ(w().panels[1].rect.top, 120);
    EXPECT_FALSE(w().buttons[2].enabled);
    EXPECT_TRUE(w().buttons[1].enabled);
    EXPECT_EQ(w().fields[0].text, u"foo");
    EXPECT_EQ(w().fields[0].selStart, 0);
    EXPECT_EQ(w().fields[0].selLength, 3);
    EXPECT_EQ(w().fields[0].focusCount, 1);
    EXPECT_EQ(fs.FindText, u"");  // opening does not search

    r().Unload();
    Open(u"hello world", 8, 0);
    EXPECT_EQ(w().fields[0].text, u"world");
    EXPECT_EQ(findHost.creates, 2);
    EXPECT_EQ(findHost.commonControlsInits, 1);
}

TEST_F(FindWindow, CtrlFOpensItAndOtherModifiersDoNot) {
    box.text = u"abc";
    editor.OnTextKeyDown(0, kKeyF, kCtrlMask | kShiftMask);
    EXPECT_FALSE(r().Loaded());
    editor.OnTextKeyDown(0, kKeyF, kCtrlMask);
    EXPECT_TRUE(r().Loaded());
    EXPECT_EQ(w().fields[0].text, u"abc");
}

TEST_F(FindWindow, EmptySearchBoxIsRefusedOnEveryButtonAndOnF3) {
    Open(u"", 0, 0);
    fs.FindText = u"old";
    for (int16_t i = 0; i < 3; ++i) r().OnButton(i);
    r().OnFieldKeyDown(1, kKeyF3, 0);
    ASSERT_EQ(s.fp.prompts.messages.size(), 4u);
    EXPECT_EQ(s.fp.prompts.messages[0].text, u"Please enter search word.");
    EXPECT_EQ(s.fp.prompts.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(s.fp.prompts.messages[0].icon, MsgIcon::None);
    EXPECT_EQ(fs.FindText, u"");
    EXPECT_FALSE(fs.ReplaceMode);  // "Replace" did not switch
    EXPECT_EQ(w().window.caption, u"Find");
    EXPECT_EQ(w().fields[0].focusCount, 5);
}

TEST_F(FindWindow, FindSelectsInTheEditorAndReplaceSwitchesModeWithoutReplacing) {
    Open(u"one two one", 0, 3);
    const int editorFocus = box.focusCount;
    r().OnButton(0);
    EXPECT_EQ(box.selStart, 8);
    EXPECT_EQ(box.selLength, 3);
    EXPECT_EQ(box.focusCount, editorFocus + 1);
    EXPECT_TRUE(r().Loaded());

    w().fields[1].text = u"1";
    r().OnButton(1);
    EXPECT_TRUE(fs.ReplaceMode);
    EXPECT_EQ(w().window.caption, u"Replace");
    EXPECT_DOUBLE_EQ(w().window.rect.height, 2500);
    EXPECT_DOUBLE_EQ(w().panels[1].rect.top, 820);
    EXPECT_TRUE(w().buttons[2].enabled);
    EXPECT_EQ(box.text, u"one two one");
    r().OnButton(1);
    EXPECT_EQ(box.text, u"one two 1");
    r().OnButton(2);
    EXPECT_EQ(box.text, u"1 two 1");
    EXPECT_EQ(box.SelStart(), 0);  // a new text, the caret at its start
    EXPECT_EQ(box.SelLength(), 0);
    // Replace All and Replace are a step each of the document's undo; the document is marked either way.
    editor.OnTextKeyDown(0, kKeyZ, kCtrlMask);
    EXPECT_EQ(box.text, u"one two 1");
    editor.OnTextKeyDown(0, kKeyZ, kCtrlMask);
    EXPECT_EQ(box.text, u"one two one");
    EXPECT_EQ(box.SelText(), u"one");  // the match Replace replaced, selected again
    editor.OnTextKeyDown(0, kKeyY, kCtrlMask);
    editor.OnTextKeyDown(0, kKeyZ, kCtrlMask | kShiftMask);
    EXPECT_EQ(box.text, u"1 two 1");
    EXPECT_TRUE(editor.CurrentDocument().modified);
    editor.OnEditMenu(kMenuUndo);
    EXPECT_EQ(box.text, u"one two 1");
    // Enter in the search box is the Find button.
    box.SetSel(0, 0);
    r().OnFieldKeyDown(0, kKeyReturn, 0);
    EXPECT_EQ(box.SelText(), u"one");
    // The box lets a plain text go as it is; a protected one's memory is wiped first.
    EXPECT_EQ(box.wipingReplaces, 0);
    s.Name(u"C:\\secret.txs", u"pw");
    r().OnButton(2);
    EXPECT_EQ(box.text, u"1 two 1");
    EXPECT_EQ(box.wipingReplaces, 1);
    EXPECT_EQ(box.SelStart(), 0);
}

TEST_F(FindWindow, FindCommandOnAnOpenReplaceWindowKeepsTheLayout) {
    Open(u"aXa", 0, 0);
    w().fields[0].text = u"a";
    r().OnButton(1);
    ASSERT_TRUE(fs.ReplaceMode);
    editor.OnEditMenu(kMenuFind);
    EXPECT_EQ(w().window.caption, u"Find");
    EXPECT_FALSE(fs.ReplaceMode);
    EXPECT_DOUBLE_EQ(w().window.rect.height, 2500);
    EXPECT_TRUE(w().buttons[2].enabled);
    box.SetSel(0, 1);
    editor.OnTextKeyDown(0, kKeyF4, 0);  // F4 waits for the next "Replace" press
    EXPECT_EQ(box.text, u"aXa");
}

TEST_F(FindWindow, CancelFocusesTheEditorAndEscClosesFromEitherBox) {
    Open(u"x", 0, 0);
    const int editorFocus = s.box().focusCount;
    r().OnCancel();
    EXPECT_FALSE(r().Loaded());
    EXPECT_EQ(s.host.window.focusCount, 1);
    EXPECT_EQ(s.box().focusCount, editorFocus + 1);
    EXPECT_EQ(findHost.destroys, 1);
    for (int i = 0; i < 2; ++i) {
        editor.OnEditMenu(kMenuFind);
        r().OnFieldKeyDown(i, kKeyEscape, 0);
        EXPECT_FALSE(r().Loaded());
    }
    EXPECT_EQ(s.host.window.focusCount, 1);
    r().Unload();  // already closed: nothing to destroy
    EXPECT_EQ(findHost.destroys, 3);
}

TEST_F(FindWindow, MatchCaseOutlivesTheWindowAndTheReopenedBoxShowsIt) {
    Open(u"Apple apple", 0, 0);
    w().matchCase.value = 1;
    r().OnMatchCase();
    EXPECT_TRUE(fs.MatchCase);
    r().Unload();
    editor.OnEditMenu(kMenuFind);
    EXPECT_EQ(w().matchCase.value, 1);
    w().fields[0].text = u"apple";
    box.SetSel(0, 0);
    r().OnButton(0);
    EXPECT_EQ(box.selStart, 6);  // still exact
    w().matchCase.value = 1;
    r().OnMatchCase();
    EXPECT_TRUE(fs.MatchCase);
    w().matchCase.value = 0;
    r().OnMatchCase();
    EXPECT_FALSE(fs.MatchCase);
    box.SetSel(0, 0);
    r().OnButton(0);
    EXPECT_EQ(box.selStart, 0);
}

TEST_F(FindWindow, F3InTheReplacementBoxUsesBothBoxes) {
    Open(u"ab ab", 0, 0);
    w().fields[0].text = u"b";
    w().fields[1].text = u"c";
    r().OnFieldKeyDown(1, kKeyF3, kShiftMask);
    EXPECT_EQ(fs.ReplaceText, u"c");
    EXPECT_EQ(box.selStart, 1);
    EXPECT_EQ(box.selLength, 1);
}

TEST_F(FindWindow, ClosingWhileTheRefusalIsShownDoesNotTouchTheGoneControls) {
    Open(u"", 0, 0);
    s.fp.prompts.whileOpen = [&] { r().OnFieldKeyDown(0, kKeyEscape, 0); };
    r().OnButton(0);
    EXPECT_FALSE(r().Loaded());
    EXPECT_EQ(s.fp.prompts.messages.size(), 1u);
}
