// The "?" question as the real dialog shows it: a thread timer plays the user inside its modal loop, reads
// the text and the buttons, and answers with a button, Enter or Esc.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "win32/prompts_win.h"
#include "win32/win_util.h"
#include "win32/window_text.h"

namespace {

using test_windows::TextOf;

struct Shown {
    std::wstring text;
    std::vector<std::wstring> buttons;
    std::wstring defaultButton;
};

Shown g_shown;
std::function<void(HWND)> g_answer;
bool g_answered = false;
int g_ticks = 0;

BOOL CALLBACK ReadChild(HWND h, LPARAM) {
    wchar_t cls[32] = {};
    GetClassNameW(h, cls, 32);
    if (std::wstring(cls) == L"Button") {
        g_shown.buttons.push_back(TextOf(h));
        if (GetWindowLongW(h, GWL_STYLE) & BS_DEFPUSHBUTTON) g_shown.defaultButton = TextOf(h);
    } else if (std::wstring(cls) == L"Static" && g_shown.text.empty()) {
        g_shown.text = TextOf(h);
    }
    return TRUE;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dlg = test_windows::ShownDialog();
    if (!dlg) return;
    if (++g_ticks > 200) {
        PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (g_answered) return;
    g_answered = true;
    EnumChildWindows(dlg, ReadChild, 0);
    g_answer(dlg);
}

// Presses the button with this label as a click does.
std::function<void(HWND)> Click(std::wstring label) {
    return [label](HWND dlg) {
        HWND b = FindWindowExW(dlg, nullptr, L"Button", label.c_str());
        if (b) PostMessageW(b, BM_CLICK, 0, 0);
    };
}

// A key to the dialog as the keyboard gives it (to the control with the focus).
std::function<void(HWND)> Press(WPARAM vk) {
    return [vk](HWND) {
        HWND focus = GetFocus();
        PostMessageW(focus, WM_KEYDOWN, vk, 0);
        PostMessageW(focus, WM_KEYUP, vk, 0xC0000000);
    };
}

MsgResult Ask(std::function<void(HWND)> answer, MsgButtons buttons = MsgButtons::Utf8QuestionMarksCancel) {
    g_shown = Shown{};
    g_answer = std::move(answer);
    g_answered = false;
    g_ticks = 0;
    Win32Prompts prompts;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, Tick);
    const MsgResult r =
        prompts.Message(u"2 characters of this document cannot be stored.", buttons, MsgIcon::Exclamation);
    KillTimer(nullptr, timer);
    // The answer, not the give-up cancel, ended it.
    EXPECT_LT(g_ticks, 200);
    return r;
}

}  // namespace

TEST(QuestionDialog, OffersUtf8FirstAndEachAnswerComesBackAsItsResult) {
    EXPECT_EQ(Ask(Click(L"Save with \"&?\"")), MsgResult::No);
    EXPECT_EQ(g_shown.text, L"2 characters of this document cannot be stored.");
    EXPECT_EQ(g_shown.buttons,
              (std::vector<std::wstring>{L"Save as &UTF-8", L"Save with \"&?\"", L"Cancel"}));
    EXPECT_EQ(g_shown.defaultButton, L"Save as &UTF-8");
    EXPECT_EQ(Ask(Click(L"Save as &UTF-8")), MsgResult::Yes);
    EXPECT_EQ(Ask(Press(VK_RETURN)), MsgResult::Yes);  // Enter: the default, which loses nothing
    EXPECT_EQ(Ask(Press(VK_ESCAPE)), MsgResult::Cancel);
    EXPECT_EQ(Ask(Click(L"Cancel")), MsgResult::Cancel);
}

TEST(QuestionDialog, OffersUtf16FirstForUnpairedSurrogatesAndEachAnswerComesBackAsItsResult) {
    constexpr auto kUtf16 = MsgButtons::Utf16ReplacementCancel;
    EXPECT_EQ(Ask(Click(L"Save &with \"\uFFFD\""), kUtf16), MsgResult::No);
    EXPECT_EQ(g_shown.buttons,
              (std::vector<std::wstring>{L"Save as UTF-&16", L"Save &with \"\uFFFD\"", L"Cancel"}));
    EXPECT_EQ(g_shown.defaultButton, L"Save as UTF-&16");
    EXPECT_EQ(Ask(Press(VK_RETURN), kUtf16), MsgResult::Yes);
    EXPECT_EQ(Ask(Press(VK_ESCAPE), kUtf16), MsgResult::Cancel);
}
