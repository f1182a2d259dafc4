// The settings store and the file-type entries against the real registry, in keys of this test's own.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/filetype.h"
#include "app/registry_settings.h"
#include "win32/controls_win.h"
#include "win32/registry_win.h"
#include "win32/win_util.h"

namespace {

const Text kKey = u"Software\\Lockleaf tests\\" + win::FromW(std::to_wstring(GetCurrentProcessId()).c_str());

struct RealRegistry : ::testing::Test {
    Win32Registry reg;
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Lockleaf tests"); }
};

// Reads a value the way any other program would, to see what was really stored.
std::wstring Stored(HKEY root, const wchar_t* key, const wchar_t* name) {
    wchar_t buf[1024];
    DWORD size = sizeof buf;
    if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buf;
}

}  // namespace

TEST_F(RealRegistry, WrittenTextReadsBackTrimmedAndUnicodeWhole) {
    ASSERT_TRUE(d1::RegWriteString(reg, RegRoot::CurrentUser, kKey, u"position", u"  1,2,3,4  "));
    EXPECT_EQ(d1::RegReadString(reg, RegRoot::CurrentUser, kKey, u"position"), u"1,2,3,4");
    const Text thai = u"\u0e15\u0e31\u0e27\u0e1e\u0e34\u0e21\u0e1e\u0e4c \u00e9";
    ASSERT_TRUE(d1::RegWriteString(reg, RegRoot::CurrentUser, kKey, u"name", thai));
    EXPECT_EQ(d1::RegReadString(reg, RegRoot::CurrentUser, kKey, u"name"), thai);
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, win::W(kKey), L"name"), win::W(thai));
}

TEST_F(RealRegistry, OnlyValuesThatFitTheBufferAreRead) {
    ASSERT_TRUE(d1::RegWriteString(reg, RegRoot::CurrentUser, kKey, u"fits", Text(399, u'x')));
    EXPECT_EQ(d1::RegReadString(reg, RegRoot::CurrentUser, kKey, u"fits"), Text(399, u'x'));
    // 400 characters and the terminating NUL do not fit: the system answers "more data", which reads as
    // empty.
    ASSERT_TRUE(d1::RegWriteString(reg, RegRoot::CurrentUser, kKey, u"long", Text(400, u'x')));
    EXPECT_EQ(d1::RegReadString(reg, RegRoot::CurrentUser, kKey, u"long"), u"");
    EXPECT_EQ(d1::RegReadString(reg, RegRoot::CurrentUser, kKey, u"absent"), u"");
    EXPECT_EQ(d1::RegReadString(reg, RegRoot::CurrentUser, kKey + u"\\none", u"x"), u"");
}

TEST_F(RealRegistry, AKeyThatCannotBeOpenedForWritingIsReportedNotIgnored) {
    // A key name may not hold more than 255 characters: the create fails, and the caller hears of it.
    EXPECT_FALSE(d1::RegWriteString(reg, RegRoot::CurrentUser, kKey + u"\\" + Text(300, u'k'), u"v", u"x"));
    EXPECT_EQ(d1::RegReadString(reg, RegRoot::CurrentUser, kKey + u"\\" + Text(300, u'k'), u"v"), u"");
}

TEST_F(RealRegistry, FileTypeEntriesAreWhatTheShellLooksUp) {
    // Refused below the classes root, as for a normal user: the same entries go where Windows' shell merges
    // them over the classes (Wine's registry does not merge, so they are read where they were written).
    struct PerUser : Win32Registry {
        long CreateKey(RegRoot root, const Text& path, RegKey& key) override {
            if (root == RegRoot::ClassesRoot) return ERROR_ACCESS_DENIED;
            return Win32Registry::CreateKey(root, path, key);
        }
    } perUser;
    const Text ext = u"lockleaftest" + kKey.substr(kKey.rfind(u'\\') + 1);
    const Text type = u"Lockleaf Test File";
    d1::RegisterFileType(perUser, type, u"c:\\apps\\lockleaf.exe %1", ext, u"", u"c:\\apps\\lockleaf.exe,0");
    const std::wstring classes = L"Software\\Classes\\";
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, (classes + L"." + win::W(ext)).c_str(), nullptr), win::W(type));
    EXPECT_EQ(
        Stored(HKEY_CURRENT_USER, (classes + win::W(type) + L"\\Shell\\Open\\Command").c_str(), nullptr),
        L"c:\\apps\\lockleaf.exe %1");
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, (classes + win::W(type) + L"\\DefaultIcon").c_str(), nullptr),
              L"c:\\apps\\lockleaf.exe,0");
    RegDeleteTreeW(HKEY_CURRENT_USER, (classes + L"." + win::W(ext)).c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, (classes + win::W(type)).c_str());
}

TEST(WorkAreas, EveryMonitorIsListedAndThePrimaryOneComesFromTheSystem) {
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    HWND hwnd =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    Win32Window window;
    window.m_Hwnd = hwnd;
    const int dpi = win::WindowDpi(hwnd);
    const auto areas = window.WorkAreas();
    ASSERT_EQ(static_cast<int>(areas.size()), GetSystemMetrics(SM_CMONITORS));
    bool primary = false;
    for (const Rect& a : areas)
        primary = primary || (a.left == win::PixelsToTwips(work.left, dpi) &&
                              a.top == win::PixelsToTwips(work.top, dpi) &&
                              a.width == win::PixelsToTwips(work.right - work.left, dpi) &&
                              a.height == win::PixelsToTwips(work.bottom - work.top, dpi));
    EXPECT_TRUE(primary);
    DestroyWindow(hwnd);
}
