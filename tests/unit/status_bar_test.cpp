// The status bar, the zoom and Go To Line over the fakes: what the bar says as the caret moves and documents
// come and go, the zoom's steps and limits, the line asked for, and the bar's item remembered between runs.
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/sealed_files.h"
#include "protect/cipher.h"

namespace {

const Text kKey = u"SOFTWARE\\tarvik";
const Text kRecoveryFolder = u"C:\\Users\\me\\AppData\\Local\\Lockleaf\\Recovery";

using Texts = std::vector<Text>;

struct Status : ::testing::Test {
    std::unique_ptr<Started> s = std::make_unique<Started>();
    Editor& editor() { return s->editor(); }
    FakeStatusBar& bar() { return s->host.statusBar; }
    FakeTextBox& box() { return s->box(); }
    Texts Shown() { return bar().texts; }
};

}  // namespace

TEST_F(Status, TheBarFollowsTheCaretThroughKeysClicksTypingAndWordWrap) {
    EXPECT_TRUE(bar().visible);
    EXPECT_TRUE(s->host.statusBarItem.checked);
    EXPECT_EQ(Shown(), (Texts{u"Ln 1, Col 1", u"100%", u"Windows (CRLF)", u"ANSI"}));

    box().Type(u"first\r\nsecond line\r\n\r\nlast");
    EXPECT_EQ(Shown()[kStatusPosition], u"Ln 4, Col 5");
    struct Move {
        int32_t caret, anchor;  // anchor -1: no selection
        const char16_t* shown;
    };
    const Move moves[] = {
        {0, -1, u"Ln 1, Col 1"},  {5, -1, u"Ln 1, Col 6"},  {7, -1, u"Ln 2, Col 1"},
        {12, -1, u"Ln 2, Col 6"}, {20, -1, u"Ln 3, Col 1"}, {24, -1, u"Ln 4, Col 3"},
        {9, 2, u"Ln 2, Col 3"},   {2, 9, u"Ln 1, Col 3"},  // a selection: its moving end counts
        {26, 0, u"Ln 4, Col 5"},  {0, 26, u"Ln 1, Col 1"},
    };
    for (const Move& m : moves) {
        box().MoveCaret(m.caret, m.anchor);
        EXPECT_EQ(Shown()[kStatusPosition], m.shown) << m.caret << " from " << m.anchor;
    }

    // Only a part that changed is set again.
    box().MoveCaret(12);
    const int set = bar().textsSet;
    box().MoveCaret(12);
    EXPECT_EQ(bar().textsSet, set);
    box().Type(u"!");
    EXPECT_EQ(Shown()[kStatusPosition], u"Ln 2, Col 7");
    EXPECT_EQ(bar().textsSet, set + 1);

    // The wrapping box takes the selection over, and the bar counts in it.
    editor().OnEditMenu(kMenuWordWrap);
    ASSERT_EQ(s->editor().ActiveEditorIndex(), 1);
    EXPECT_EQ(Shown()[kStatusPosition], u"Ln 2, Col 7");
    s->host.textBoxes[1].MoveCaret(1);
    EXPECT_EQ(Shown()[kStatusPosition], u"Ln 1, Col 2");
    // The hidden box's moves are not the caret the user sees.
    s->host.textBoxes[0].MoveCaret(20);
    EXPECT_EQ(Shown()[kStatusPosition], u"Ln 1, Col 2");
}

TEST_F(Status, EachLoadShowsItsEncodingAndLineBreaksAndNewSaveAsAndRestoreFollow) {
    struct Case {
        Bytes bytes;
        const char16_t* encoding;
        const char16_t* breaks;
    };
    const Case cases[] = {
        {"one\r\ntwo", u"ANSI", u"Windows (CRLF)"},
        {"one\ntwo\n", u"ANSI", u"Unix (LF)"},
        {"one\rtwo", u"ANSI", u"Macintosh (CR)"},
        {"one\r\ntwo\nthree", u"ANSI", u"Mixed"},
        {"caf\xC3\xA9\ntwo", u"UTF-8", u"Unix (LF)"},
        {"\xEF\xBB\xBFone\rtwo", u"UTF-8 with BOM", u"Macintosh (CR)"},
        {Bytes("\xFF\xFEo\0n\0\r\0\n\0", 10), u"UTF-16 LE", u"Windows (CRLF)"},
        {Bytes("\xFE\xFF\0o\0n\0\n", 8), u"UTF-16 BE", u"Unix (LF)"},
    };
    for (const Case& c : cases) {
        s->fp.files.Put(u"C:\\docs\\doc.txt", c.bytes);
        ASSERT_TRUE(editor().SecureOpen(u"C:\\docs\\doc.txt"));
        EXPECT_EQ(Shown()[kStatusEncoding], c.encoding);
        EXPECT_EQ(Shown()[kStatusLineBreaks], c.breaks);
        EXPECT_EQ(Shown()[kStatusPosition], u"Ln 1, Col 1");
    }

    // A protected document is kept in the code page, a sealed one in UTF-8.
    Bytes masked;
    protect::MaskDocument(u"pw", u"hidden\r\nwords", masked);
    s->fp.files.Put(u"C:\\docs\\secret.txs", masked);
    s->fp.prompts.inputAnswers = {u"pw"};
    ASSERT_TRUE(editor().SecureOpen(u"C:\\docs\\secret.txs"));
    EXPECT_EQ(Shown()[kStatusEncoding], u"ANSI");
    s->fp.files.Put(u"C:\\docs\\diary.txse", sealed_files::Seal("dear\r\ndiary", "pw", 100000));
    s->fp.prompts.inputAnswers = {u"pw"};
    ASSERT_TRUE(editor().SecureOpen(u"C:\\docs\\diary.txse"));
    EXPECT_EQ(Shown()[kStatusEncoding], u"UTF-8");

    // New: the code page and CR LF, the caret at the start.
    box().MoveCaret(6);
    EXPECT_EQ(Shown()[kStatusPosition], u"Ln 2, Col 1");
    editor().OnFileMenu(kMenuNew);
    EXPECT_EQ(Shown(), (Texts{u"Ln 1, Col 1", u"100%", u"Windows (CRLF)", u"ANSI"}));

    // Save As in another encoding: the bar says the form written.
    box().Type(u"caf\u00e9\r\nline");
    s->fp.dialogs.ChooseNext(u"C:\\docs\\saved.txt", 3, static_cast<int32_t>(base::Encoding::Utf16Be));
    ASSERT_TRUE(editor().SaveAs());
    EXPECT_EQ(Shown()[kStatusEncoding], u"UTF-16 BE");

    // Unsaved work restored after a crash comes back with its form and caret.
    s->fp.files.Put(u"C:\\docs\\lf.txt", "caf\xC3\xA9\nline\n");
    ASSERT_TRUE(editor().SecureOpen(u"C:\\docs\\lf.txt"));
    box().MoveCaret(10);
    box().Type(u"s");
    for (int t = 0; t < 10; ++t) {
        s->fp.clock.elapsed += 200;
        editor().OnTimer();
    }
    ASSERT_FALSE(s->fp.files.ListFiles(kRecoveryFolder, u".snap").empty());
    s->Crash();
    auto next = std::make_unique<Started>(false);
    next->fp.files.files = s->fp.files.files;
    next->fp.files.folders = s->fp.files.folders;
    next->fp.prompts.msgAnswers = {MsgResult::Yes};
    s.reset();
    s = std::move(next);
    s->Start();
    EXPECT_EQ(box().text, u"caf\u00e9\r\nlines\r\n");
    EXPECT_EQ(Shown(), (Texts{u"Ln 2, Col 6", u"100%", u"Unix (LF)", u"UTF-8"}));
}

TEST_F(Status, ZoomStepsByTenPercentBetweenItsLimitsByKeysAndWheelAndIsNotKept) {
    FakeTextFont& font = s->host.textFont;
    struct Step {
        Key key;
        int shift, zoom;
    };
    const Step steps[] = {
        {kKeyOemPlus, kCtrlMask, 110},
        {kKeyOemPlus, kCtrlMask | kShiftMask, 120},  // Ctrl++ is Ctrl+Shift+= on most keyboards
        {kKeyAdd, kCtrlMask, 130},
        {kKeyOemMinus, kCtrlMask, 120},
        {kKeySubtract, kCtrlMask, 110},
        {kKeyOemMinus, kCtrlMask | kShiftMask, 100},
        {kKeyOemPlus, 0, 100},  // without Ctrl the keys are typing
        {kKeyOemPlus, kCtrlMask | kAltMask, 100},
        {kKeyOemMinus, kShiftMask, 100},
        {kKeyAdd, kCtrlMask, 110},
        {kKey0, kCtrlMask, 100},
        {kKeySubtract, kCtrlMask, 90},
        {kKeyNumpad0, kCtrlMask, 100},
    };
    int before = editor().Zoom();
    for (const Step& st : steps) {
        // A key that zooms is a command: the character it would make is not typed.
        const bool command = (st.shift & kCtrlMask) && !(st.shift & kAltMask);
        EXPECT_EQ(editor().OnTextKeyDown(0, st.key, st.shift), command) << st.key << " " << st.shift;
        EXPECT_EQ(command, st.zoom != before || st.key == kKey0 || st.key == kKeyNumpad0);
        before = st.zoom;
        EXPECT_EQ(editor().Zoom(), st.zoom) << st.key << " " << st.shift;
        EXPECT_EQ(font.zoom, st.zoom);
        const std::string percent = std::to_string(st.zoom) + "%";
        EXPECT_EQ(bar().texts[kStatusZoom], Text(percent.begin(), percent.end()));
    }

    for (int k = 0; k < 60; ++k) editor().OnTextKeyDown(0, kKeyOemPlus, kCtrlMask);
    EXPECT_EQ(editor().Zoom(), 500);
    EXPECT_EQ(bar().texts[kStatusZoom], u"500%");
    for (int k = 0; k < 60; ++k) editor().OnTextKeyDown(0, kKeyOemMinus, kCtrlMask);
    EXPECT_EQ(editor().Zoom(), 10);
    EXPECT_EQ(font.zoom, 10);
    EXPECT_EQ(bar().texts[kStatusZoom], u"10%");
    editor().OnTextKeyDown(0, kKey0, kCtrlMask);

    // The wheel: a notch a step, parts of notches added up, nothing without Ctrl.
    editor().OnTextWheel(0, kWheelDelta, kCtrlMask);
    EXPECT_EQ(editor().Zoom(), 110);
    editor().OnTextWheel(0, kWheelDelta / 2, kCtrlMask);
    EXPECT_EQ(editor().Zoom(), 110);
    editor().OnTextWheel(0, kWheelDelta / 2, kCtrlMask);
    EXPECT_EQ(editor().Zoom(), 120);
    editor().OnTextWheel(0, -3 * kWheelDelta, kCtrlMask);
    EXPECT_EQ(editor().Zoom(), 90);
    editor().OnTextWheel(0, kWheelDelta, 0);
    EXPECT_EQ(editor().Zoom(), 90);
    editor().OnTextWheel(1, 100 * kWheelDelta, kCtrlMask);
    EXPECT_EQ(editor().Zoom(), 500);
    EXPECT_EQ(bar().texts[kStatusZoom], u"500%");

    // Not stored: the next start is at 100% and its font untouched.
    editor().Form_Unload();
    Texts settings;
    for (const auto& [name, value] : s->fp.settings.keys[FakeSettings::Key(SettingsRoot::LocalMachine, kKey)])
        settings.push_back(name);
    EXPECT_EQ(settings, (Texts{u"position", u"statusbar"}));
    const FakeSettings kept = s->fp.settings;
    s = std::make_unique<Started>(false);
    s->fp.settings = kept;
    s->Start();
    EXPECT_EQ(editor().Zoom(), 100);
    EXPECT_EQ(s->host.textFont.changes, 0);
    EXPECT_EQ(bar().texts[kStatusZoom], u"100%");
}

TEST_F(Status, GoToAsksFromTheCurrentLineAndKeepsAskingUntilALineInRange) {
    box().Type(u"one\r\ntwo\r\nthree\r\nfour\r\nfive");
    box().MoveCaret(11);  // in "three"
    FakePrompts& prompts = s->fp.prompts;
    prompts.lineAnswers = {u"abc", u"0", u"6", u"-1", u"", u"99999999999", u" 4 "};
    editor().OnTextKeyDown(0, kKeyG, kCtrlMask);
    ASSERT_EQ(prompts.linesAsked.size(), 1u);
    EXPECT_EQ(prompts.linesAsked[0].label, u"Line number (1 - 5):");
    EXPECT_EQ(prompts.linesAsked[0].initial, u"3");
    ASSERT_EQ(prompts.messages.size(), 6u);
    for (const auto& m : prompts.messages) {
        EXPECT_EQ(m.text, u"The line number must be between 1 and 5.");
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
    }
    EXPECT_EQ(box().selStart, 17);
    EXPECT_EQ(box().selLength, 0);
    EXPECT_EQ(bar().texts[kStatusPosition], u"Ln 4, Col 1");

    // The first and the last line; a selection made before goes.
    prompts.lineAnswers = {u"5"};
    editor().OnTextKeyDown(0, kKeyG, kCtrlMask);
    EXPECT_EQ(prompts.linesAsked.back().initial, u"4");
    EXPECT_EQ(box().selStart, 23);
    EXPECT_EQ(bar().texts[kStatusPosition], u"Ln 5, Col 1");
    box().MoveCaret(2, 20);
    prompts.lineAnswers = {u"1"};
    editor().OnTextKeyDown(0, kKeyG, kCtrlMask);
    EXPECT_EQ(box().selStart, 0);
    EXPECT_EQ(box().selLength, 0);

    // Cancel leaves the caret; Ctrl+Shift+G and G alone ask nothing.
    box().MoveCaret(6);
    const size_t asked = prompts.linesAsked.size();
    editor().OnTextKeyDown(0, kKeyG, kCtrlMask);
    EXPECT_EQ(prompts.linesAsked.size(), asked + 1);
    EXPECT_EQ(box().selStart, 6);
    editor().OnTextKeyDown(0, kKeyG, kCtrlMask | kShiftMask);
    editor().OnTextKeyDown(0, kKeyG, 0);
    EXPECT_EQ(prompts.linesAsked.size(), asked + 1);
    EXPECT_EQ(prompts.messages.size(), 6u);

    // An empty document has its one line.
    editor().OnFileMenu(kMenuNew);
    prompts.lineAnswers = {u"2", u"1"};
    editor().OnTextKeyDown(0, kKeyG, kCtrlMask);
    EXPECT_EQ(prompts.linesAsked.back().label, u"Line number (1 - 1):");
    EXPECT_EQ(prompts.messages.back().text, u"The line number must be between 1 and 1.");
}

TEST_F(Status, TheMenuItemHidesTheBarTheBoxesTakeItsRoomAndTheNextStartRemembers) {
    s->host.window.rect = {0, 0, 9000, 6000};
    editor().Form_Resize();
    EXPECT_DOUBLE_EQ(s->host.textBoxes[0].rect.height, 4290 - bar().height);
    EXPECT_EQ(bar().edges, (std::vector<double>{4260, 5160, 6960, -1}));  // the caret's part takes the rest

    editor().OnEditMenu(kMenuStatusBar);
    EXPECT_FALSE(bar().visible);
    EXPECT_FALSE(s->host.statusBarItem.checked);
    EXPECT_FALSE(editor().StatusBarShown());
    for (const FakeTextBox& b : s->host.textBoxes) EXPECT_DOUBLE_EQ(b.rect.height, 4290);
    EXPECT_DOUBLE_EQ(s->host.textBoxes[0].rect.top, 840);
    // Hidden, it is not kept up to date.
    const int set = bar().textsSet;
    box().Type(u"a\r\nb");
    EXPECT_EQ(bar().textsSet, set);

    editor().Form_Unload();
    EXPECT_EQ(s->fp.settings.Get(SettingsRoot::LocalMachine, kKey, u"statusbar"), u"0");
    FakeSettings kept = s->fp.settings;
    s = std::make_unique<Started>(false);
    s->fp.settings = kept;
    s->Start();
    EXPECT_FALSE(bar().visible);
    EXPECT_FALSE(s->host.statusBarItem.checked);

    // On again: the boxes give its room back, and it says where the caret is now.
    box().Type(u"x\r\nyz");
    editor().OnEditMenu(kMenuStatusBar);
    EXPECT_TRUE(bar().visible);
    EXPECT_TRUE(s->host.statusBarItem.checked);
    EXPECT_DOUBLE_EQ(s->host.textBoxes[0].rect.height, s->host.window.rect.height - 1710 - bar().height);
    EXPECT_EQ(bar().texts[kStatusPosition], u"Ln 2, Col 3");
    editor().Form_Unload();
    EXPECT_EQ(s->fp.settings.Get(SettingsRoot::LocalMachine, kKey, u"statusbar"), u"1");

    // A value of another kind shows it.
    kept = s->fp.settings;
    kept.Put(SettingsRoot::LocalMachine, kKey, u"statusbar", u"off");
    s = std::make_unique<Started>(false);
    s->fp.settings = kept;
    s->Start();
    EXPECT_TRUE(bar().visible);
}
