// The control and process adapters against real Win32 windows.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "win32/controls_win.h"
#include "win32/process_win.h"
#include "win32/win_util.h"

namespace {

struct Edit : ::testing::Test {
    HWND parent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    Win32TextBox box;
    int changes = 0;
    void SetUp() override {
        box.m_Hwnd = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_MULTILINE, 0, 0, 200, 100, parent,
                                     nullptr, nullptr, nullptr);
        SendMessageW(box.m_Hwnd, EM_SETLIMITTEXT, 0, 0);
        box.onChange = [this] { ++changes; };
    }
    void TearDown() override { DestroyWindow(parent); }
};

// An EDIT without room: WM_SETTEXT keeps the old text and answers FALSE (refuse), or keeps only the first
// three characters of the new one (cut).
LRESULT CALLBACK NoRoom(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR mode, DWORD_PTR) {
    if (msg != WM_SETTEXT) return DefSubclassProc(hwnd, msg, wp, lp);
    if (mode == 1) return FALSE;
    std::wstring head(reinterpret_cast<const wchar_t*>(lp));
    return DefSubclassProc(hwnd, msg, wp, reinterpret_cast<LPARAM>(head.substr(0, 3).c_str()));
}

}  // namespace

TEST_F(Edit, ATextTheBoxHasNoRoomForIsReportedAndTheBoxKeepsWhatItShows) {
    ASSERT_TRUE(box.SetText(u"the document"));
    changes = 0;
    SetWindowSubclass(box.m_Hwnd, NoRoom, 1, 0);
    EXPECT_FALSE(box.SetText(u"a far bigger document"));
    EXPECT_EQ(box.GetText(), u"the document");
    EXPECT_EQ(changes, 0);
    RemoveWindowSubclass(box.m_Hwnd, NoRoom, 1);

    // Cut short: a failure too, and the box's owner hears that its text changed.
    SetWindowSubclass(box.m_Hwnd, NoRoom, 2, 0);
    EXPECT_FALSE(box.SetText(u"a far bigger document"));
    EXPECT_EQ(box.GetText(), u"a f");
    EXPECT_EQ(changes, 1);
    RemoveWindowSubclass(box.m_Hwnd, NoRoom, 2);

    EXPECT_TRUE(box.SetText(u"room again"));
    EXPECT_EQ(box.GetText(), u"room again");
    EXPECT_FALSE(box.Silent());
}

TEST_F(Edit, ProgrammaticTextChangeIsReportedOnceAndOnlyWhenTheTextDiffers) {
    box.SetText(u"abc");
    EXPECT_EQ(changes, 1);
    box.SetText(u"abc");
    EXPECT_EQ(changes, 1);
    box.SetText(u"abd");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(box.GetText(), u"abd");
    EXPECT_FALSE(box.Silent());
}

TEST_F(Edit, AWipingReplaceHandsTheBoxANewBufferThatItKeepsUsingAndLeavesNothingToUndo) {
    ASSERT_TRUE(box.SetText(u"the secret document"));
    box.SetSel(4, 7);
    box.SetSelText(u"open");  // "secret" is now in the box's undo
    changes = 0;
    const auto before = reinterpret_cast<HLOCAL>(SendMessageW(box.m_Hwnd, EM_GETHANDLE, 0, 0));
    ASSERT_TRUE(box.ReplaceWiping(u"the next one"));
    EXPECT_EQ(box.GetText(), u"the next one");
    EXPECT_EQ(changes, 1);
    EXPECT_NE(reinterpret_cast<HLOCAL>(SendMessageW(box.m_Hwnd, EM_GETHANDLE, 0, 0)), before);
    EXPECT_EQ(SendMessageW(box.m_Hwnd, EM_CANUNDO, 0, 0), 0);
    SendMessageW(box.m_Hwnd, EM_UNDO, 0, 0);
    EXPECT_EQ(box.GetText(), u"the next one");

    // The box goes on with the buffer it was handed: typing, a selection, a text that must grow it.
    box.SetSel(12, 0);
    box.SetSelText(u", typed");
    EXPECT_EQ(box.GetText(), u"the next one, typed");
    box.SetSel(4, 4);
    EXPECT_EQ(box.SelText(), u"next");
    Text big;
    for (int i = 0; i < 3000; ++i) big += Text(98, u'x') + u"\r\n";  // lines a box lays out quickly
    ASSERT_TRUE(box.SetText(big));
    EXPECT_EQ(box.GetText(), big);
    changes = 0;
    ASSERT_TRUE(box.ReplaceWiping(big + u"y"));
    EXPECT_EQ(box.GetText().size(), big.size() + 1);
    ASSERT_TRUE(box.ReplaceWiping(u""));
    EXPECT_EQ(box.GetText(), u"");
    EXPECT_EQ(changes, 2);
    ASSERT_TRUE(box.ReplaceWiping(u""));  // empty for empty is no change
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(box.Silent());
}

TEST_F(Edit, SelectionReplaceLeavesTheCaretAfterTheInsertedText) {
    box.SetText(u"hello world");
    box.SetSel(6, 5);
    EXPECT_EQ(box.SelStart(), 6);
    EXPECT_EQ(box.SelLength(), 5);
    EXPECT_EQ(box.SelText(), u"world");
    box.SetSelText(u"there!");
    EXPECT_EQ(box.GetText(), u"hello there!");
    EXPECT_EQ(box.SelStart(), 12);
    EXPECT_EQ(box.SelLength(), 0);
    box.SetSel(40, 3);  // clamped to the text
    EXPECT_EQ(box.SelStart(), 12);
    EXPECT_EQ(box.SelLength(), 0);
}

TEST_F(Edit, HoldsTextsFarBeyondTheDefaultLimitAndOffsetsPast65535) {
    Text line(98, u'x');
    line += u"\r\n";
    Text big;
    for (int i = 0; i < 3000; ++i) big += line;  // 300000 characters, past the default limit of 30000
    big += u"tail";
    box.SetText(big);
    EXPECT_EQ(box.GetText().size(), big.size());
    box.SetSel(300000, 4);
    EXPECT_EQ(box.SelStart(), 300000);
    EXPECT_EQ(box.SelText(), u"tail");
}

TEST(WindowAdapter, PlacementRoundTripsThroughTwips) {
    HWND h = CreateWindowExW(0, L"STATIC", L"t", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                             nullptr);
    Win32Window w;
    w.m_Hwnd = h;
    ASSERT_TRUE(w.Move({1200, 900, 9000, 6000}));
    const Rect r = w.Placement();
    const double onePixel = 1440.0 / win::ScreenDpi();
    EXPECT_NEAR(r.left, 1200, onePixel);
    EXPECT_NEAR(r.top, 900, onePixel);
    EXPECT_NEAR(r.width, 9000, onePixel);
    EXPECT_NEAR(r.height, 6000, onePixel);
    w.SetCaption(u"caption \u0E01");
    EXPECT_EQ(w.Caption(), u"caption \u0E01");
    DestroyWindow(h);
}

TEST(ProcessAdapter, ArgumentTextFollowsTheProgramNameVerbatim) {
    EXPECT_EQ(ArgumentText(L"lockleaf.exe C:\\a b.txs"), u"C:\\a b.txs");
    EXPECT_EQ(ArgumentText(L"\"C:\\Program Files\\lockleaf.exe\"   \"C:\\x y.txs\""), u"\"C:\\x y.txs\"");
    EXPECT_EQ(ArgumentText(L"\"C:\\p q\\lockleaf.exe\""), u"");
    EXPECT_EQ(ArgumentText(L"lockleaf.exe"), u"");
    EXPECT_EQ(ArgumentText(L"lockleaf.exe  two  blanks "), u"two  blanks ");
}

TEST(ProcessAdapter, ExeFolderAndBaseNameDescribeTheRunningExe) {
    Win32Process p;
    const Text folder = p.ExeFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(folder.size() == 3 || folder.back() != u'\\');
    EXPECT_EQ(p.ExeBaseName(), u"lockleaf_win32_tests");
}
