// The control and process adapters against real Win32 windows.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
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

namespace {

LRESULT CALLBACK Watching(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR box) {
    return reinterpret_cast<Win32TextBox*>(box)->Watched(msg, wp,
                                                         [&] { return DefSubclassProc(hwnd, msg, wp, lp); });
}

void PutOnClipboard(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

}  // namespace

TEST_F(Edit, EachChangeTheUserMakesIsToldExactlyOnceAndNothingElseIs) {
    std::vector<TextEdit> edits;
    box.onEdit = [&](TextEdit& e) { edits.push_back(e); };
    SetWindowSubclass(box.m_Hwnd, Watching, 1, reinterpret_cast<DWORD_PTR>(&box));
    PutOnClipboard(L"clip");
    const auto send = [&](UINT msg, WPARAM wp) { SendMessageW(box.m_Hwnd, msg, wp, 0); };
    const auto withCtrl = [&](const std::function<void()>& act) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        act();
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    };
    const struct {
        const char* what;
        int32_t selStart, selLength;  // the selection the user made first; -1: where the last left it
        std::function<void()> act;
        EditKind kind;
        int32_t at;
        Text removed, inserted;
    } cases[] = {
        {"a letter", -1, 0, [&] { send(WM_CHAR, 'a'); }, EditKind::Typing, 0, u"", u"a"},
        {"Enter", -1, 0, [&] { send(WM_CHAR, '\r'); }, EditKind::Typing, 1, u"", u"\r\n"},
        {"Backspace at a line's start", -1, 0, [&] { send(WM_CHAR, VK_BACK); }, EditKind::Deleting, 1,
         u"\r\n", u""},
        {"a letter over a selection", 0, 1, [&] { send(WM_CHAR, 'X'); }, EditKind::Typing, 0, u"a", u"X"},
        {"Delete", 0, 0, [&] { send(WM_KEYDOWN, VK_DELETE); }, EditKind::Deleting, 0, u"X", u""},
        {"a paste", -1, 0, [&] { send(WM_PASTE, 0); }, EditKind::Other, 0, u"", u"clip"},
        {"Ctrl+V", -1, 0, [&] { send(WM_CHAR, 0x16); }, EditKind::Other, 4, u"", u"clip"},
        {"a cut", 2, 3, [&] { send(WM_CUT, 0); }, EditKind::Other, 2, u"ipc", u""},
        {"Ctrl+Delete", 1, 0, [&] { withCtrl([&] { send(WM_KEYDOWN, VK_DELETE); }); }, EditKind::Deleting, 1,
         u"llip", u""},
    };
    for (const auto& c : cases) {
        if (c.selStart >= 0) box.SetSel(c.selStart, c.selLength);
        const Text before = box.GetText();
        const int32_t selStart = box.SelStart(), selLength = box.SelLength();
        edits.clear();
        c.act();
        ASSERT_EQ(edits.size(), 1u) << c.what;
        const TextEdit& e = edits[0];
        EXPECT_EQ(e.kind, c.kind) << c.what;
        EXPECT_EQ(e.at, c.at) << c.what;
        EXPECT_EQ(e.removed, c.removed) << c.what;
        EXPECT_EQ(e.inserted, c.inserted) << c.what;
        EXPECT_EQ(e.selStart, selStart) << c.what;
        EXPECT_EQ(e.selLength, selLength) << c.what;
        EXPECT_EQ(Text(before).replace(e.at, e.removed.size(), e.inserted), box.GetText()) << c.what;
    }

    // What leaves the text as it was tells nothing: a copy, Ctrl+A, a key that moves, Delete at the end; nor
    // do the program's own changes.
    box.SetSel(0, 2);
    edits.clear();
    send(WM_CHAR, 0x03);
    send(WM_CHAR, 0x01);
    send(WM_KEYDOWN, VK_LEFT);
    box.SetSel(100, 0);
    send(WM_KEYDOWN, VK_DELETE);
    box.SetSelText(u"more");
    box.SetText(u"another");
    EXPECT_TRUE(edits.empty());
    RemoveWindowSubclass(box.m_Hwnd, Watching, 1);
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

namespace {

// The common controls 6 the editor's manifest asks for, as an activation context of the test's own.
HANDLE CommonControls6() {
    static HANDLE context = [] {
        const char manifest[] =
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
            "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"><dependency>"
            "<dependentAssembly><assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
            "version=\"6.0.0.0\" processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" "
            "language=\"*\"/>"
            "</dependentAssembly></dependency></assembly>";
        wchar_t folder[MAX_PATH], path[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        GetTempFileNameW(folder, L"ll6", 0, path);
        HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(f, manifest, sizeof manifest - 1, &written, nullptr);
        CloseHandle(f);
        ACTCTXW request{sizeof request};
        request.lpSource = path;
        HANDLE made = CreateActCtxW(&request);
        DeleteFileW(path);
        return made;
    }();
    return context;
}

std::wstring ModuleOfClass(HWND hwnd) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(GetClassLongPtrW(hwnd, GCLP_WNDPROC)), &module);
    wchar_t name[MAX_PATH] = L"";
    GetModuleFileNameW(module, name, MAX_PATH);
    std::wstring lower(name);
    for (auto& c : lower) c = static_cast<wchar_t>(towlower(c));
    return lower.substr(lower.find_last_of(L'\\') + 1);
}

// The editor's box (styles as the main window makes it), from the system's EDIT (false) or from common
// controls 6, as the editor's manifest gets it (true).
struct Lent : ::testing::TestWithParam<bool> {
    HWND parent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    Win32TextBox box;
    void SetUp() override {
        ULONG_PTR cookie = 0;
        if (GetParam()) {
            ASSERT_TRUE(ActivateActCtx(CommonControls6(), &cookie));
        }
        box.m_Hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                     WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                                         ES_NOHIDESEL | ES_WANTRETURN,
                                     0, 0, 200, 100, parent, nullptr, nullptr, nullptr);
        if (GetParam()) DeactivateActCtx(0, cookie);
        ASSERT_NE(box.m_Hwnd, nullptr);
        ASSERT_EQ(ModuleOfClass(box.m_Hwnd), GetParam() ? L"comctl32.dll" : L"user32.dll");
        SendMessageW(box.m_Hwnd, EM_SETLIMITTEXT, 0, 0);
    }
    void TearDown() override { DestroyWindow(parent); }

    HLOCAL Buffer() const { return reinterpret_cast<HLOCAL>(SendMessageW(box.m_Hwnd, EM_GETHANDLE, 0, 0)); }
    // What the box lends, where it lies and whether it stays locked while lent; then what WM_GETTEXT says.
    struct Seen {
        Text text;
        const char16_t* at = nullptr;
        UINT locks = 0;
    };
    Seen Read() const {
        const HLOCAL buffer = Buffer();
        Seen seen;
        box.ReadText([&](std::u16string_view text) {
            seen = {Text(text), text.data(), LocalFlags(buffer) & LMEM_LOCKCOUNT};
        });
        return seen;
    }
    void Type(const wchar_t* keys) {
        for (const wchar_t* k = keys; *k; ++k) SendMessageW(box.m_Hwnd, WM_CHAR, *k, 0);
    }
};

}  // namespace

// After typing, a program's text, a text that grows the buffer, a wiping replace (the box then works in a
// buffer of ours) and an empty text, the box lends its own buffer holding just what it shows, locked while
// lent and unlocked after; and it goes on working.
TEST_P(Lent, TheBoxLendsItsOwnBufferWithItsTextAfterEveryKindOfChange) {
    Text big;
    for (int i = 0; i < 3000; ++i) big += Text(98, u'x') + u"\r\n";
    const struct {
        const char* what;
        std::function<void()> change;
        Text want;
    } steps[] = {
        {"a new box", [] {}, u""},
        {"typed", [&] { Type(L"ab\rc"); }, u"ab\r\nc"},
        {"set by the program", [&] { ASSERT_TRUE(box.SetText(u"one\r\ntwo\r\n\u0e44\u0e17\u0e22")); },
         u"one\r\ntwo\r\n\u0e44\u0e17\u0e22"},
        {"a selection replaced",
         [&] {
             box.SetSel(5, 3);
             box.SetSelText(u"2");
         },
         u"one\r\n2\r\n\u0e44\u0e17\u0e22"},
        {"typed after a read", [&] { Type(L"!"); }, u"one\r\n2!\r\n\u0e44\u0e17\u0e22"},
        {"grown far past its buffer", [&] { ASSERT_TRUE(box.SetText(big)); }, big},
        {"typed at the end of that",
         [&] {
             box.SetSel(static_cast<int32_t>(big.size()), 0);
             Type(L"end");
         },
         big + u"end"},
        {"replaced wiping", [&] { ASSERT_TRUE(box.ReplaceWiping(u"secret\r\nnext")); }, u"secret\r\nnext"},
        {"typed in the buffer it was handed",
         [&] {
             box.SetSel(6, 0);
             Type(L" plan");
         },
         u"secret plan\r\nnext"},
        {"grown from the buffer it was handed", [&] { ASSERT_TRUE(box.SetText(big)); }, big},
        {"emptied wiping", [&] { ASSERT_TRUE(box.ReplaceWiping(u"")); }, u""},
        {"typed into the empty one", [&] { Type(L"z"); }, u"z"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        const Seen seen = Read();
        EXPECT_EQ(seen.text, step.want);
        EXPECT_EQ(seen.locks, 1u);
        EXPECT_EQ(box.GetText(), step.want);  // as WM_GETTEXT has it, read after the loan
        // Where the box keeps it: the same buffer, released.
        const HLOCAL buffer = Buffer();
        EXPECT_EQ(LocalFlags(buffer) & LMEM_LOCKCOUNT, 0u);
        EXPECT_EQ(static_cast<const void*>(seen.at), LocalLock(buffer));
        LocalUnlock(buffer);
    }
    EXPECT_FALSE(box.Silent());
}

TEST_P(Lent, ABoxAskedWhileItLendsItsTextRefusesAndIsReleasedAsTheReadEnds) {
    ASSERT_TRUE(box.SetText(u"hello world"));
    box.SetSel(6, 5);
    bool refused = false;
    try {
        box.ReadText([&](std::u16string_view) { box.SetSel(0, 0); });
    } catch (const std::logic_error&) {
        refused = true;
    }
    EXPECT_TRUE(refused);
    EXPECT_EQ(LocalFlags(Buffer()) & LMEM_LOCKCOUNT, 0u);
    // Nothing moved, and the box answers again; its selection comes from where it lies.
    EXPECT_EQ(box.SelStart(), 6);
    EXPECT_EQ(box.SelText(), u"world");
    Type(L"!");
    EXPECT_EQ(Read().text, u"hello !");
}

INSTANTIATE_TEST_SUITE_P(EditorBoxes, Lent, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "CommonControls6" : "System"; });

TEST(LentText, ASingleLineBoxLendsACopyOfItsText) {
    HWND parent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    Win32TextBox box;
    box.m_Hwnd = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 200, 20, parent, nullptr,
                                 nullptr, nullptr);
    ASSERT_EQ(SendMessageW(box.m_Hwnd, EM_GETHANDLE, 0, 0), 0);  // it has none to lend
    ASSERT_TRUE(box.SetText(u"search word"));
    Text seen;
    box.ReadText([&](std::u16string_view text) { seen = Text(text); });
    EXPECT_EQ(seen, u"search word");
    box.SetSel(7, 4);
    EXPECT_EQ(box.SelText(), u"word");
    DestroyWindow(parent);
}

TEST(WindowAdapter, PlacementRoundTripsThroughTwips) {
    // A pop-up: a window with a frame is the X window manager's to place under Wine, which may still be
    // answering a move of an earlier test's window when this one is read.
    HWND h =
        CreateWindowExW(0, L"STATIC", L"t", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
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
