// The real Find/Replace window under Wine: layout in pixels, owner and border, tooltips, the icon resource,
// the keys as the message loop routes them (Tab order, Enter, Esc, F3), the mode switch and closing.
#include "win32/find_replace_window.h"
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "find/find_replace.h"
#include "find/find_state.h"
#include "win32/locale_win.h"
#include "win32/message_loop_win.h"
#include "win32/res/resource.h"
#include "win32/win_util.h"

namespace {

struct RecordingPrompts : Prompts {
    std::vector<Text> shown;
    MsgResult Message(const Text& text, MsgButtons, MsgIcon) override {
        shown.push_back(text);
        return MsgResult::Yes;
    }
    Text Input(const Text&) override { return {}; }  // Never asked here: cancelled.
    bool AskLine(const Text&, const Text&, const std::function<bool(const Text&)>&) override { return false; }
};

// The editor as the Find window sees it: a plain window and its EDIT.
struct OwnerEditor : FindEditor {
    Win32Window window;
    Win32TextBox box;
    TextBox& ActiveEditor() override { return box; }
    Window& EditorWindow() override { return window; }
    void Did(base::EditStep) override {}  // this editor keeps no history
};

Rect Pixels(HWND h) {
    RECT rc;
    GetWindowRect(h, &rc);
    MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&rc), 2);
    return {double(rc.left), double(rc.top), double(rc.right - rc.left), double(rc.bottom - rc.top)};
}

int Px(double twips, int dpi = win::ScreenDpi()) { return win::TwipsToPixels(twips, dpi); }

BOOL CALLBACK FindTooltip(HWND h, LPARAM lp) {
    auto* found = reinterpret_cast<std::pair<HWND, HWND>*>(lp);
    wchar_t cls[64];
    GetClassNameW(h, cls, 64);
    if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0 && GetWindow(h, GW_OWNER) == found->first) found->second = h;
    return TRUE;
}

struct FindReplaceWindow : ::testing::Test {
    Win32Locale locale;
    RecordingPrompts prompts;
    OwnerEditor owner;
    Win32Window& main = owner.window;
    Win32TextBox& editor = owner.box;
    Win32FindReplaceHost findHost{GetModuleHandleW(nullptr)};
    FindReplace finder{owner, locale, prompts, &findHost};
    FindState& fs = finder.State();

    void SetUp() override {
        fs = {};
        main.m_Hwnd = CreateWindowExW(0, L"STATIC", L"Editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 60, 640,
                                      480, nullptr, nullptr, nullptr, nullptr);
        editor.m_Hwnd = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 600, 400,
                                        main.m_Hwnd, nullptr, nullptr, nullptr);
        findHost.owner = main.m_Hwnd;
    }
    void TearDown() override {
        finder.Unload();
        DestroyWindow(main.m_Hwnd);
        fs = {};
    }
    HWND W() const { return findHost.Hwnd(); }
    HWND Item(int id) const {
        for (HWND panel = GetWindow(W(), GW_CHILD); panel; panel = GetWindow(panel, GW_HWNDNEXT))
            if (HWND h = GetDlgItem(panel, id)) return h;
        return nullptr;
    }
    void Open(const Text& text, int32_t start, int32_t length) {
        editor.SetText(text);
        editor.SetSel(start, length);
        finder.OpenForFind();  // Edit > Find
        DispatchPendingMessages();
    }
    // A key as the keyboard delivers it: posted to the focused control and through the message loop.
    void Key(HWND to, WPARAM vk) {
        PostMessageW(to, WM_KEYDOWN, vk, 1);
        PostMessageW(to, WM_KEYUP, vk, 0xC0000001);
        DispatchPendingMessages();
    }
};

}  // namespace

TEST_F(FindReplaceWindow, OpensOwnedCentredAndLaidOutInFindMode) {
    Open(u"say foo now", 4, 3);
    ASSERT_TRUE(IsWindow(W()));
    EXPECT_TRUE(IsWindowVisible(W()));
    EXPECT_EQ(GetWindow(W(), GW_OWNER), main.m_Hwnd);
    const LONG_PTR style = GetWindowLongPtrW(W(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_EQ(WindowText(W()), u"Find");

    RECT rc, owner;
    GetWindowRect(W(), &rc);
    GetWindowRect(main.m_Hwnd, &owner);
    EXPECT_NEAR(rc.right - rc.left, Px(4060), 1);
    EXPECT_NEAR(rc.bottom - rc.top, Px(1800), 1);
    EXPECT_NEAR((rc.left + rc.right) / 2.0, (owner.left + owner.right) / 2.0, 1.5);
    EXPECT_NEAR((rc.top + rc.bottom) / 2.0, (owner.top + owner.bottom) / 2.0, 1.5);

    struct Expected {
        int id;
        const char16_t* text;
        int left, top, width, height;
    } controls[] = {
        {kIdLabel, u"Find", 0, 0, 615, 255},
        {kIdMatchCase, u"", 360, 360, 230, 210},
        {kIdField, u"foo", 600, 0, 3135, 615},
        {kIdLabel + 1, u"To", 0, 0, 615, 255},
        {kIdField + 1, u"", 600, 0, 3135, 615},
        {kIdButton, u"Find", 0, 720, 855, 375},
        {kIdButton + 1, u"Replace", 840, 720, 855, 375},
        {kIdButton + 2, u"Replace All", 1680, 720, 1215, 375},
        {kIdCancel, u"Cancel", 2880, 720, 855, 375},
    };
    for (const Expected& e : controls) {
        HWND h = Item(e.id);
        ASSERT_NE(h, nullptr) << e.id;
        EXPECT_EQ(WindowText(h), e.text) << e.id;
        const Rect r = Pixels(h);
        EXPECT_EQ(r.left, Px(e.left)) << e.id;
        EXPECT_EQ(r.top, Px(e.top)) << e.id;
        EXPECT_EQ(r.width, Px(e.width)) << e.id;
        EXPECT_EQ(r.height, Px(e.height)) << e.id;
    }
    const Rect lower = Pixels(GetDlgItem(W(), kIdPanel + 1));
    EXPECT_EQ(lower.top, Px(120));  // moved up under the search row
    EXPECT_FALSE(IsWindowEnabled(Item(kIdButton + 2)));
    EXPECT_TRUE(IsWindowEnabled(Item(kIdButton + 1)));
    // The search box has the focus and all of its text selected.
    EXPECT_EQ(GetFocus(), Item(kIdField));
    DWORD s = 0, e = 0;
    SendMessageW(Item(kIdField), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    EXPECT_EQ(s, 0u);
    EXPECT_EQ(e, 3u);
}

TEST_F(FindReplaceWindow, MovedToAMonitorOfAnotherScaleItKeepsItsTwipsAndItsFontGrows) {
    Open(u"say foo now", 4, 3);  // Find mode: the lower panel moved up under the search row
    LOGFONTW before{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Item(kIdField), WM_GETFONT, 0, 0)), sizeof before,
               &before);
    const int dpi = win::ScreenDpi() * 3 / 2;
    RECT rc;
    GetWindowRect(W(), &rc);
    RECT suggested{rc.left, rc.top, rc.left + Px(4060, dpi), rc.top + Px(1800, dpi)};
    SendMessageW(W(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));

    GetWindowRect(W(), &rc);
    EXPECT_EQ(rc.right - rc.left, Px(4060, dpi));
    EXPECT_EQ(rc.bottom - rc.top, Px(1800, dpi));
    struct Expected {
        int id, left, top, width, height;
    } controls[] = {{kIdField, 600, 0, 3135, 615},
                    {kIdMatchCase, 360, 360, 230, 210},
                    {kIdButton + 2, 1680, 720, 1215, 375},
                    {kIdPanel + 1, 120, 120, 3855, 1095}};
    for (const Expected& e : controls) {
        HWND h = e.id == kIdPanel + 1 ? GetDlgItem(W(), kIdPanel + 1) : Item(e.id);
        const Rect r = Pixels(h);
        EXPECT_NEAR(r.left, Px(e.left, dpi), 1) << e.id;
        EXPECT_NEAR(r.top, Px(e.top, dpi), 1) << e.id;
        EXPECT_NEAR(r.width, Px(e.width, dpi), 1) << e.id;
        EXPECT_NEAR(r.height, Px(e.height, dpi), 1) << e.id;
    }
    LOGFONTW after{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Item(kIdField), WM_GETFONT, 0, 0)), sizeof after, &after);
    EXPECT_EQ(after.lfHeight, MulDiv(before.lfHeight, dpi, win::ScreenDpi()));
    EXPECT_EQ(WindowText(Item(kIdField)), u"foo");  // nothing else changed

    // A sender that gives no rectangle moves nothing, and ends nothing.
    SendMessageW(W(), WM_DPICHANGED, MAKEWPARAM(win::ScreenDpi(), win::ScreenDpi()), 0);
    EXPECT_NEAR(Pixels(Item(kIdField)).width, Px(3135), 1);
    EXPECT_TRUE(IsWindow(W()));
}

TEST_F(FindReplaceWindow, TooltipsNameTheKeysAndTheMatchCaseBox) {
    Open(u"x", 0, 0);
    std::pair<HWND, HWND> found{W(), nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&found));
    ASSERT_NE(found.second, nullptr);
    EXPECT_EQ(SendMessageW(found.second, TTM_GETTOOLCOUNT, 0, 0), 3);
    auto tip = [&](int id) {
        wchar_t buf[80] = {};
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = W();
        ti.uId = reinterpret_cast<UINT_PTR>(Item(id));
        ti.lpszText = buf;
        SendMessageW(found.second, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
        return win::FromW(buf);
    };
    EXPECT_EQ(tip(kIdMatchCase),
              u"\u0e15\u0e31\u0e27\u0e1e\u0e34\u0e21\u0e1e\u0e4c\u0e15\u0e23\u0e07\u0e01\u0e31\u0e19");
    EXPECT_EQ(tip(kIdButton), u"F3");
    EXPECT_EQ(tip(kIdButton + 1), u"F4");
}

TEST_F(FindReplaceWindow, TabFollowsTheDesignedOrderAndPassesOverTheDisabledButton) {
    Open(u"x", 0, 0);
    SetFocus(Item(kIdButton));
    const int order[] = {kIdButton + 1, kIdCancel, kIdMatchCase, kIdField, kIdField + 1, kIdButton};
    for (int id : order) {
        Key(GetFocus(), VK_TAB);
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), id);
    }
    EXPECT_EQ(GetWindowTextLengthW(Item(kIdField)), 1);  // no tab character went into a box
}

TEST_F(FindReplaceWindow, EnterAndEscOnButtonsDoNothingWhileEscInABoxCloses) {
    Open(u"one two", 0, 0);
    Key(Item(kIdField), VK_RETURN);
    SetFocus(Item(kIdButton));
    Key(Item(kIdButton), VK_ESCAPE);
    Key(Item(kIdButton), VK_RETURN);
    Key(Item(kIdButton), VK_F3);
    ASSERT_TRUE(IsWindow(W()));
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(editor.SelStart(), 0);
    EXPECT_EQ(editor.SelLength(), 0);
    EXPECT_EQ(WindowText(Item(kIdField)), u"one");

    Key(Item(kIdField + 1), VK_ESCAPE);
    EXPECT_FALSE(IsWindow(W()));
    EXPECT_FALSE(finder.Loaded());
}

TEST_F(FindReplaceWindow, F3InABoxFindsAndHandsTheFocusToTheEditor) {
    Open(u"one two one", 1, 0);
    SetWindowTextW(Item(kIdField), L"ONE");
    Key(Item(kIdField), VK_F3);
    EXPECT_EQ(editor.SelStart(), 8);
    EXPECT_EQ(editor.SelLength(), 3);
    EXPECT_EQ(GetFocus(), editor.m_Hwnd);
    EXPECT_TRUE(IsWindow(W()));
}

TEST_F(FindReplaceWindow, ReplaceSwitchesTheLayoutAndTheButtonsThenReplaces) {
    Open(u"cat dog cat", 0, 3);
    SetWindowTextW(Item(kIdField + 1), L"cow");
    SendMessageW(Item(kIdButton + 1), BM_CLICK, 0, 0);
    EXPECT_TRUE(fs.ReplaceMode);
    EXPECT_EQ(WindowText(W()), u"Replace");
    RECT rc;
    GetWindowRect(W(), &rc);
    EXPECT_NEAR(rc.bottom - rc.top, Px(2500), 1);
    EXPECT_EQ(Pixels(GetDlgItem(W(), kIdPanel + 1)).top, Px(820));
    EXPECT_TRUE(IsWindowEnabled(Item(kIdButton + 2)));
    EXPECT_EQ(editor.GetText(), u"cat dog cat");

    SendMessageW(Item(kIdButton + 1), BM_CLICK, 0, 0);
    EXPECT_EQ(editor.GetText(), u"cow dog cat");
    EXPECT_EQ(editor.SelStart(), 8);
    SendMessageW(Item(kIdButton + 2), BM_CLICK, 0, 0);
    EXPECT_EQ(editor.GetText(), u"cow dog cow");
}

TEST_F(FindReplaceWindow, EmptySearchBoxIsRefusedAndTheCheckBoxSetsMatchCase) {
    Open(u"  ", 1, 0);
    SendMessageW(Item(kIdButton), BM_CLICK, 0, 0);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0], u"Please enter search word.");
    EXPECT_EQ(GetFocus(), Item(kIdField));
    SendMessageW(Item(kIdMatchCase), BM_CLICK, 0, 0);
    EXPECT_TRUE(fs.MatchCase);
    SendMessageW(Item(kIdMatchCase), BM_CLICK, 0, 0);
    EXPECT_FALSE(fs.MatchCase);
}

TEST_F(FindReplaceWindow, CloseBoxAndCancelUnloadAndTheReopenedBoxShowsTheCaseSetting) {
    Open(u"abc", 0, 3);
    SendMessageW(Item(kIdMatchCase), BM_CLICK, 0, 0);
    SendMessageW(W(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(finder.Loaded());
    Open(u"abc", 0, 0);
    ASSERT_TRUE(IsWindow(W()));
    EXPECT_EQ(SendMessageW(Item(kIdMatchCase), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(fs.MatchCase);
    SendMessageW(Item(kIdCancel), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(W()));
    EXPECT_FALSE(finder.Loaded());
}

TEST(RepIcon, TheExecutableCarriesAThirtyTwoPixelSixteenColourIcon) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring exe(path);
    exe = exe.substr(0, exe.rfind(L'\\') + 1) + L"lockleaf.exe";
    HMODULE m = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m, nullptr);
    HRSRC group = FindResourceW(m, MAKEINTRESOURCEW(IDI_FIND_REPLACE), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(m, group)));
    ASSERT_EQ(reinterpret_cast<const WORD*>(dir)[2], 1);  // one image
    const BYTE* entry = dir + 6;  // width, height, colours, reserved, planes, bits, size, id
    EXPECT_EQ(entry[0], 32);
    EXPECT_EQ(entry[1], 32);
    const WORD id = *reinterpret_cast<const WORD*>(entry + 12);
    HRSRC image = FindResourceW(m, MAKEINTRESOURCEW(id), RT_ICON);
    ASSERT_NE(image, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(m, image)));
    EXPECT_EQ(header->biWidth, 32);
    EXPECT_EQ(header->biBitCount, 4);
    FreeLibrary(m);
}
