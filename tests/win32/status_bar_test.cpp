// The status bar, the text boxes' line index, the zoomed font and the Go To Line dialog against the real
// (Wine) common controls, EDIT, font system and dialog manager.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "win32/controls_win.h"
#include "win32/font_win.h"
#include "win32/prompts_win.h"
#include "win32/status_bar_win.h"
#include "win32/win_util.h"
#include "win32/window_text.h"

namespace {

using test_windows::TextOf;

// A visible top-level window to hold the controls, destroyed with them.
struct Parent : ::testing::Test {
    HWND parent = nullptr;
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 600, 400,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }
    RECT Client() const {
        RECT rc;
        GetClientRect(parent, &rc);
        return rc;
    }
};

std::wstring PartText(HWND bar, int part) {
    std::wstring text(LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0)) + 1, L'\0');
    SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
    text.resize(text.size() - 1);
    return text;
}

RECT InParent(HWND child) {
    RECT rc;
    GetWindowRect(child, &rc);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

}  // namespace

TEST_F(Parent, TheStatusBarHasItsPartsAndTextsAndLiesAlongTheBottom) {
    Win32StatusBar bar;
    bar.m_Hwnd = MakeStatusBar(parent, GetModuleHandleW(nullptr), 202);
    ASSERT_NE(bar.m_Hwnd, nullptr);
    bar.SetParts({1500, 2400, 4200, -1});
    int edges[8] = {};
    ASSERT_EQ(SendMessageW(bar.m_Hwnd, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 4);
    EXPECT_EQ(edges[0], win::TwipsToPixels(1500, win::ScreenDpi()));
    EXPECT_EQ(edges[1], win::TwipsToPixels(2400, win::ScreenDpi()));
    EXPECT_EQ(edges[2], win::TwipsToPixels(4200, win::ScreenDpi()));
    EXPECT_EQ(edges[3], -1);
    const std::vector<std::wstring> texts = {L"Ln 12, Col 3", L"110%", L"Unix (LF)", L"UTF-8 with BOM"};
    for (int i = 0; i < 4; ++i) bar.SetText(i, reinterpret_cast<const char16_t*>(texts[i].c_str()));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(PartText(bar.m_Hwnd, i), texts[i]);
    // New edges keep the texts.
    bar.SetParts({1000, 2000, 3000, -1});
    EXPECT_EQ(PartText(bar.m_Hwnd, 3), L"UTF-8 with BOM");

    // Fitted after its window changed size: across the client area, at its bottom, its height told in twips.
    MoveWindow(parent, 10, 10, 500, 300, TRUE);
    bar.Fit();
    const RECT client = Client(), placed = InParent(bar.m_Hwnd);
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.right, client.right);
    EXPECT_EQ(placed.bottom, client.bottom);
    EXPECT_GT(placed.bottom - placed.top, 0);
    EXPECT_DOUBLE_EQ(bar.Height(), win::PixelsToTwips(placed.bottom - placed.top, win::ScreenDpi()));

    EXPECT_TRUE(bar.Visible());
    bar.SetVisible(false);
    EXPECT_FALSE(bar.Visible());
    EXPECT_FALSE(IsWindowVisible(bar.m_Hwnd));
    bar.SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(bar.m_Hwnd));
}

// The line index and the caret as the EDIT keeps them: its lines end at each CR LF, and the caret is the end
// of the selection that moved (EM_SETSEL's second value), found also when both ends share a line.
TEST_F(Parent, TheBoxTellsItsLinesAndWhereItsCaretIs) {
    Win32TextBox box;
    box.m_Hwnd = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL, 0, 0,
                                 400, 200, parent, nullptr, nullptr, nullptr);
    ASSERT_TRUE(box.SetText(u"first\r\nsecond line\r\n\r\nlast"));
    SetForegroundWindow(parent);
    SetFocus(box.m_Hwnd);
    ASSERT_EQ(GetFocus(), box.m_Hwnd);
    EXPECT_EQ(box.LineCount(), 4);
    const int32_t starts[] = {0, 7, 20, 22};
    for (int32_t line = 0; line < 4; ++line) EXPECT_EQ(box.LineStart(line), starts[line]) << line;
    EXPECT_EQ(box.LineStart(4), -1);
    EXPECT_EQ(box.LineStart(-1), -1);

    struct Sel {
        WPARAM anchor;
        LPARAM caret;
        int32_t line, column;
    };
    const Sel sels[] = {
        {0, 0, 0, 0},   {5, 5, 0, 5},   {7, 7, 1, 0}, {12, 12, 1, 5},
        {20, 20, 2, 0}, {26, 26, 3, 4}, {2, 9, 1, 2}, {9, 2, 0, 2},  // across lines, either way
        {8, 12, 1, 5},  {12, 8, 1, 1},                               // on one line, either way
        {0, 26, 3, 4},  {26, 0, 0, 0},
    };
    for (const Sel& s : sels) {
        SendMessageW(box.m_Hwnd, EM_SETSEL, s.anchor, s.caret);
        const int32_t caret = box.Caret();
        EXPECT_EQ(caret, static_cast<int32_t>(s.caret)) << s.anchor << " to " << s.caret;
        const int32_t line = box.LineOf(caret);
        EXPECT_EQ(line, s.line) << s.anchor << " to " << s.caret;
        EXPECT_EQ(caret - box.LineStart(line), s.column) << s.anchor << " to " << s.caret;
    }
    DestroyWindow(box.m_Hwnd);
}

TEST_F(Parent, AZoomGivesBothBoxesTheSameFaceAtAHeightInProportion) {
    HWND boxes[2];
    for (HWND& b : boxes) {
        b = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 400, 300, parent,
                            nullptr, nullptr, nullptr);
        SetWindowTextW(b, L"one\r\ntwo");
    }
    Win32TextFont font;
    font.Adopt(CreateEditorFont(win::ScreenDpi()));
    LOGFONTW designed{};
    ASSERT_TRUE(GetObjectW(font.Get(), sizeof designed, &designed));
    ASSERT_NE(designed.lfHeight, 0);
    for (HWND b : boxes) {
        SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
        font.AddBox(b);
    }
    const auto lineHeight = [](HWND b) {
        return static_cast<short>(HIWORD(SendMessageW(b, EM_POSFROMCHAR, 5, 0))) -
               static_cast<short>(HIWORD(SendMessageW(b, EM_POSFROMCHAR, 0, 0)));
    };
    const int designedLine = lineHeight(boxes[0]);
    ASSERT_GT(designedLine, 0);

    for (int percent : {200, 500, 10, 150, 100}) {
        font.SetZoom(percent);
        for (HWND b : boxes) {
            const auto given = reinterpret_cast<HFONT>(SendMessageW(b, WM_GETFONT, 0, 0));
            EXPECT_EQ(given, font.Get());
            LOGFONTW lf{};
            ASSERT_TRUE(GetObjectW(given, sizeof lf, &lf));
            EXPECT_EQ(lf.lfHeight, MulDiv(designed.lfHeight, percent, 100)) << percent;
            EXPECT_STREQ(lf.lfFaceName, designed.lfFaceName);
            EXPECT_EQ(lf.lfWeight, designed.lfWeight);
            EXPECT_EQ(lf.lfCharSet, designed.lfCharSet);
        }
        if (percent == 200) {
            EXPECT_GT(lineHeight(boxes[1]), designedLine * 3 / 2);
        }
        if (percent == 10) {
            EXPECT_LT(lineHeight(boxes[1]), designedLine);
        }
    }
    EXPECT_EQ(lineHeight(boxes[0]), designedLine);
}

namespace {

// The user of the Go To Line dialog, played by a thread timer inside its modal loop: each tick reads the
// dialog, types the next answer into its box and presses OK (or Cancel when none is left).
struct LineUser {
    std::vector<std::wstring> answers;
    std::wstring label, shown;  // as first seen
    std::wstring title;
    int ticks = 0;
};
LineUser* g_user = nullptr;

void CALLBACK PlayLineUser(HWND, UINT, UINT_PTR, DWORD) {
    HWND dlg = test_windows::ShownDialog();
    if (!dlg || !IsWindowEnabled(dlg)) return;
    HWND box = FindWindowExW(dlg, nullptr, L"Edit", nullptr);
    if (++g_user->ticks > 200 || !box) {
        PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (g_user->title.empty()) {
        g_user->title = TextOf(dlg);
        g_user->shown = TextOf(box);
        g_user->label = TextOf(FindWindowExW(dlg, nullptr, L"Static", nullptr));
    }
    if (g_user->answers.empty()) {
        PostMessageW(FindWindowExW(dlg, nullptr, L"Button", L"Cancel"), BM_CLICK, 0, 0);
        return;
    }
    SetWindowTextW(box, g_user->answers.front().c_str());
    g_user->answers.erase(g_user->answers.begin());
    PostMessageW(FindWindowExW(dlg, nullptr, L"Button", L"OK"), BM_CLICK, 0, 0);
}

}  // namespace

TEST(GoToLineDialog, ShowsTheLabelAndTheCurrentLineAndStaysUntilAnAnswerIsAccepted) {
    struct Case {
        std::vector<std::wstring> answers;
        bool ok;
        std::vector<Text> typed;  // what accept was handed
    };
    const Case cases[] = {
        {{L"12"}, true, {u"12"}},
        {{L"x", L"99", L" 4 "}, true, {u"x", u"99", u" 4 "}},
        {{L"99"}, false, {u"99"}},  // refused, then cancelled
        {{}, false, {}},
    };
    for (const Case& c : cases) {
        LineUser user{c.answers};
        g_user = &user;
        std::vector<Text> typed;
        Win32Prompts prompts;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, PlayLineUser);
        const bool ok = prompts.AskLine(u"Line number (1 - 57):", u"12", [&](const Text& t) {
            typed.push_back(t);
            return t == u"12" || t == u" 4 ";
        });
        KillTimer(nullptr, timer);
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(typed, c.typed);
        EXPECT_EQ(user.title, L"Go To Line");
        EXPECT_EQ(user.label, L"Line number (1 - 57):");
        EXPECT_EQ(user.shown, L"12");
        EXPECT_LT(user.ticks, 200);
    }
    g_user = nullptr;
}
