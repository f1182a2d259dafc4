// The text boxes' Thai font against the real font system and EDIT control.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win32/font_win.h"
#include "win32/window_text.h"

namespace {

using test_windows::TextOf;

}  // namespace

// Thai marks that open a run (after a Latin letter, a digit, a symbol, a line break or at the start) are laid
// out, drawn and measured with the font the editor asks for; a fault there would end this process. The font
// has the Thai letters, and the box hands back exactly what it was given.
TEST(ThaiFont, RunsThatOpenWithAMarkAreLaidOutDrawnAndKept) {
    LOGFONTW wanted{};
    wanted.lfHeight = -13;
    wanted.lfWeight = FW_BOLD;
    wanted.lfCharSet = THAI_CHARSET;
    lstrcpynW(wanted.lfFaceName, L"System", LF_FACESIZE);
    HFONT font = CreateThaiFont(wanted);
    ASSERT_NE(font, nullptr);
    HDC screen = GetDC(nullptr);
    EXPECT_TRUE(CoversThai(screen, font));
    ReleaseDC(nullptr, screen);

    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL, 0, 0,
                                400, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    const std::wstring texts[] = {
        L"a\u0E38", L"\u0E38", L"1\u0E39\u0E48 x\u0E34\u0E49 .\u0E31\u0E4C",
        L"\u0E01\u0E38\r\na\u0E38\r\n\u0E38\u0E38\u0E38",
        L"\u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35 a\u0E38 \u0E20\u0E32\u0E29\u0E32\u0E44\u0E17\u0E22"};
    for (const std::wstring& text : texts) {
        ASSERT_TRUE(SetWindowTextW(edit, text.c_str()));
        RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
        EXPECT_EQ(TextOf(edit), text);
        EXPECT_NE(SendMessageW(edit, EM_POSFROMCHAR, text.size() - 1, 0), -1);
    }
    // Typed one character at a time, as the keyboard and a paste put text in.
    SetWindowTextW(edit, L"");
    for (wchar_t c : std::wstring(L"a\u0E38b\u0E39")) {
        SendMessageW(edit, WM_CHAR, c, 0);
        RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    SendMessageW(edit, EM_SETSEL, 4, 4);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"a\u0E38"));
    EXPECT_EQ(TextOf(edit), L"a\u0E38b\u0E39a\u0E38");
    DestroyWindow(edit);
    DeleteObject(font);
}
