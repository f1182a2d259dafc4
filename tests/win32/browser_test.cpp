// The banner strip and the "more" picture against real windows. Without an HTML engine (Wine here) the
// control never holds a document: the strip must still be created, answer every call at once and let go.
#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "app/editor.h"
#include "win32/browser_win.h"
#include "win32/controls_win.h"
#include "win32/message_loop_win.h"
#include "win32/more_picture_win.h"
#include "win32/win_util.h"

namespace {

constexpr CLSID kNoSuchControl = {
    0x6c0c1f7e, 0x27a4, 0x4d3b, {0x9e, 0x51, 0x0d, 0x4e, 0x8a, 0x3b, 0x11, 0x7f}};

HWND NewParent() {
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 100, nullptr, nullptr, nullptr, nullptr);
}

BOOL CALLBACK CountOne(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int ChildCount(HWND parent) {
    int n = 0;
    EnumChildWindows(parent, CountOne, reinterpret_cast<LPARAM>(&n));
    return n;
}

void Pump(DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    while (GetTickCount() < until) {
        DispatchPendingMessages();
        Sleep(10);
    }
}

Text TempPage() {
    wchar_t tmp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH, tmp);
    const Text path = win::FromW(tmp) + u"lockleaf-strip.html";
    std::ofstream(reinterpret_cast<const wchar_t*>(path.c_str()))
        << "<html><body><div><a id='next' onclick='return false'>n</a></div></body></html>";
    return path;
}

// The empty panel answers like a strip that has no page: nothing to fire, no event source.
void ExpectInertPanel(Browser& strip, HWND parent) {
    EXPECT_FALSE(IsHostedBrowser(strip));
    auto* widget = dynamic_cast<Win32Widget*>(&strip);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(GetParent(widget->m_Hwnd), parent);
    EXPECT_EQ(GetDlgCtrlID(widget->m_Hwnd), 200);
    EXPECT_EQ(ChildCount(parent), 1) << "the failed control left a window behind";
    EXPECT_EQ(HostedSiteReferences(), 0);
    strip.Navigate(TempPage());
    strip.AttachDocument();
    EXPECT_FALSE(strip.FireClickById(u"next"));
    EXPECT_EQ(strip.EventSourceAttribute(u"id"), u"");
    strip.Move({0, 0, 4500, 600});
    EXPECT_NEAR(strip.Placement().width, 4500, 15);
}

struct Strip : ::testing::Test {
    HWND parent = nullptr;
    void SetUp() override {
        OleInitialize(nullptr);
        parent = NewParent();
    }
    void TearDown() override {
        if (parent) DestroyWindow(parent);
        OleUninitialize();
    }
};

}  // namespace

TEST_F(Strip, FallsBackToAnEmptyPanelWhenTheControlCannotBeCreated) {
    std::unique_ptr<Browser> strip =
        CreateBannerStrip(parent, GetModuleHandleW(nullptr), 200, 580, 50, kNoSuchControl);
    ASSERT_TRUE(strip);
    ExpectInertPanel(*strip, parent);
}

TEST(StripWithoutCom, FallsBackToAnEmptyPanel) {
    // A thread that never initialised COM: creating the control fails with CO_E_NOTINITIALIZED.
    std::thread([] {
        HWND parent = NewParent();
        {
            std::unique_ptr<Browser> strip =
                CreateBannerStrip(parent, GetModuleHandleW(nullptr), 200, 580, 50);
            ASSERT_TRUE(strip);
            ExpectInertPanel(*strip, parent);
        }
        DestroyWindow(parent);
    }).join();
}

TEST_F(Strip, IsTheEmptyPanelWhenNoEngineCanRenderThePage) {
    std::unique_ptr<Browser> strip = CreateBannerStrip(parent, GetModuleHandleW(nullptr), 200, 580, 50);
    ASSERT_TRUE(strip);
    EXPECT_EQ(IsHostedBrowser(*strip), HtmlEngineAvailable());
    if (IsHostedBrowser(*strip)) return;
    ExpectInertPanel(*strip, parent);
    const DWORD start = GetTickCount();
    strip->Navigate(TempPage());
    Pump(300);
    EXPECT_LT(GetTickCount() - start, 1000u) << "a strip that shows nothing stalled the window";
}

TEST_F(Strip, TheRealControlAnswersAtOnceAndReleasesItsSites) {
    // The control itself, even where no engine can render its pages.
    std::unique_ptr<Browser> strip =
        CreateBannerStrip(parent, GetModuleHandleW(nullptr), 200, 580, 50, CLSID_WebBrowser, false);
    ASSERT_TRUE(strip);
    const DWORD start = GetTickCount();
    const bool hosted = IsHostedBrowser(*strip);
    std::printf("    strip is %s\n", hosted ? "the hosted browser control" : "the empty panel");
    if (hosted) {
        EXPECT_GT(HostedSiteReferences(), 0) << "the control never took its client site";
    }
    int mouseUps = 0;
    strip->onDocMouseUp = [&] { ++mouseUps; };
    strip->Navigate(TempPage());
    strip->AttachDocument();
    // Wine's control spends seconds failing a navigation without an engine (3 s alone, 10 s on a freshly
    // made prefix that is still settling); a wait for the page itself would never end.
    EXPECT_LT(GetTickCount() - start, 20000u) << "navigation must not wait for the page";
    EXPECT_EQ(strip->EventSourceAttribute(u"id"), u"");  // outside a mouse-up

    const bool engine = HtmlEngineAvailable();
    bool fired = false;
    for (DWORD until = GetTickCount() + (engine ? 5000 : 500); !fired && GetTickCount() < until;) {
        Pump(50);
        fired = strip->FireClickById(u"next");
    }
    if (engine) {
        EXPECT_TRUE(hosted);
        EXPECT_TRUE(fired) << "the page's \"next\" element was never found";
    } else {
        EXPECT_FALSE(fired) << "no HTML engine, yet a document answered";
    }
    EXPECT_FALSE(strip->FireClickById(u"no-such-element"));
    EXPECT_EQ(mouseUps, 0);

    strip->Move({0, 0, 4500, 600});
    EXPECT_NEAR(strip->Placement().width, 4500, 15);
    EXPECT_NEAR(strip->Placement().height, 600, 15);
    // The main window goes before the strip object does: closing the control then must not crash.
    DestroyWindow(parent);
    parent = nullptr;
    strip.reset();
    EXPECT_EQ(HostedSiteReferences(), 0) << "the control still holds a site that is gone";
}

TEST(StripNewWindow, IsCancelledAndItsUrlHandedOnAsTheControlPassesIt) {
    // NewWindow3(ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl), the last argument first.
    IDispatch* newWindow = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    BSTR context = SysAllocString(L"file:///C:/Lockleaf/php/banner.html");
    BSTR url = SysAllocString(L"https://ads.example/1?a=b");
    VARIANT args[5];
    for (VARIANT& v : args) VariantInit(&v);
    args[4].vt = VT_BYREF | VT_DISPATCH;
    args[4].ppdispVal = &newWindow;
    args[3].vt = VT_BYREF | VT_BOOL;
    args[3].pboolVal = &cancel;
    args[2].vt = VT_I4;
    args[2].lVal = 0x6;  // NWMF_USERINITED | NWMF_FIRST
    args[1].vt = VT_BSTR;
    args[1].bstrVal = context;
    args[0].vt = VT_BSTR;
    args[0].bstrVal = url;
    DISPPARAMS params{args, nullptr, 5, 0};

    std::vector<Text> opened;
    OnNewWindow3(&params, [&](const Text& u) { opened.push_back(u); });
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_EQ(opened, std::vector<Text>{u"https://ads.example/1?a=b"});
    EXPECT_EQ(newWindow, nullptr);

    // Without a handler, or with one that fails, the control's window is still cancelled and nothing unwinds.
    cancel = VARIANT_FALSE;
    OnNewWindow3(&params, nullptr);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    cancel = VARIANT_FALSE;
    OnNewWindow3(&params, [](const Text&) { throw std::runtime_error("no shell"); });
    EXPECT_EQ(cancel, VARIANT_TRUE);
    // Arguments that are not NewWindow3's are left alone.
    cancel = VARIANT_FALSE;
    params.cArgs = 2;
    OnNewWindow3(&params, [&](const Text& u) { opened.push_back(u); });
    OnNewWindow3(nullptr, [&](const Text& u) { opened.push_back(u); });
    EXPECT_EQ(cancel, VARIANT_FALSE);
    EXPECT_EQ(opened.size(), 1u);
    SysFreeString(context);
    SysFreeString(url);
}

TEST(MorePicture, IsTheNineteenByEighteenGifInTheProgramsResources) {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring product(exe);
    product = product.substr(0, product.find_last_of(L'\\') + 1) + L"lockleaf.exe";
    HMODULE module = LoadLibraryExW(product.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << "lockleaf.exe is built beside the tests";
    HBITMAP bitmap = LoadMoreBitmap(module);
    FreeLibrary(module);
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 19);
    EXPECT_EQ(info.bmHeight, 18);
    DeleteObject(bitmap);

    EXPECT_EQ(LoadMoreBitmap(GetModuleHandleW(nullptr)), nullptr) << "the tests have no such resource";
    EXPECT_EQ(DecodePicture("not a picture", 13), nullptr);
    EXPECT_EQ(DecodePicture(nullptr, 0), nullptr);
}

TEST(MorePicture, ReportsMouseUpsOfEveryButtonAndNothingElse) {
    HWND parent = NewParent();
    HWND picture = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0, 0, 19, 18, parent,
                                   nullptr, nullptr, nullptr);
    std::vector<std::vector<int>> ups;
    SetUpMorePicture(picture, GetModuleHandleW(nullptr), [&](int button, int shift, double x, double y) {
        ups.push_back({button, shift, static_cast<int>(x), static_cast<int>(y)});
    });
    SendMessageW(picture, WM_LBUTTONUP, 0, MAKELPARAM(2, 3));
    SendMessageW(picture, WM_RBUTTONUP, MK_SHIFT, MAKELPARAM(0, 0));
    SendMessageW(picture, WM_MBUTTONUP, MK_CONTROL, MAKELPARAM(0, 0));
    SendMessageW(picture, WM_LBUTTONDOWN, 0, 0);
    SendMessageW(picture, WM_MOUSEMOVE, 0, 0);
    const int dpi = win::WindowDpi(picture);
    const int px = static_cast<int>(win::PixelsToTwips(2, dpi)),
              py = static_cast<int>(win::PixelsToTwips(3, dpi));
    EXPECT_EQ(ups,
              (std::vector<std::vector<int>>{{1, 0, px, py}, {2, kShiftMask, 0, 0}, {4, kCtrlMask, 0, 0}}));
    // The picture's state goes with its window; a later message finds the plain control again.
    DestroyWindow(parent);
    EXPECT_EQ(ups.size(), 3u);
}
