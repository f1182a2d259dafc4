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
    Win32Settings settings;
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

TEST_F(RealRegistry, WrittenTextReadsBackWholeAndOnlyTextThatFitsIsRead) {
    ASSERT_TRUE(settings.Write(SettingsRoot::CurrentUser, kKey, u"position", u"  1,2,3,4  "));
    EXPECT_EQ(app::ReadTrimmed(settings, SettingsRoot::CurrentUser, kKey, u"position"), u"1,2,3,4");
    const Text thai = u"\u0e15\u0e31\u0e27\u0e1e\u0e34\u0e21\u0e1e\u0e4c \u00e9";
    ASSERT_TRUE(settings.Write(SettingsRoot::CurrentUser, kKey, u"name", thai));
    EXPECT_EQ(settings.Read(SettingsRoot::CurrentUser, kKey, u"name", 399), thai);
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, win::W(kKey), L"name"), win::W(thai));

    ASSERT_TRUE(settings.Write(SettingsRoot::CurrentUser, kKey, u"fits", Text(399, u'x')));
    EXPECT_EQ(settings.Read(SettingsRoot::CurrentUser, kKey, u"fits", 399), Text(399, u'x'));
    ASSERT_TRUE(settings.Write(SettingsRoot::CurrentUser, kKey, u"long", Text(400, u'x')));
    EXPECT_EQ(settings.Read(SettingsRoot::CurrentUser, kKey, u"long", 399), std::nullopt);
    EXPECT_EQ(settings.Read(SettingsRoot::CurrentUser, kKey, u"absent", 399), std::nullopt);
    EXPECT_EQ(settings.Read(SettingsRoot::CurrentUser, kKey + u"\\none", u"x", 399), std::nullopt);
    // A key name may not hold more than 255 characters: the write fails, and the caller hears of it.
    EXPECT_FALSE(settings.Write(SettingsRoot::CurrentUser, kKey + u"\\" + Text(300, u'k'), u"v", u"x"));
}

TEST_F(RealRegistry, ValuesOtherProgramsStoredReadAsTheStringTheyHoldOrNotAtAll) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, win::W(kKey), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const auto put = [&](const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    };
    put(L"unended", REG_SZ, L"7,8", 3 * sizeof(wchar_t));   // no terminating NUL
    put(L"inner", REG_SZ, L"ab\0cd", 6 * sizeof(wchar_t));  // a NUL inside
    put(L"odd", REG_SZ, L"xy", 3);                          // half a character at the end
    const DWORD number = 1234;
    put(L"number", REG_DWORD, &number, sizeof number);
    RegCloseKey(key);
    EXPECT_EQ(settings.Read(SettingsRoot::CurrentUser, kKey, u"unended", 399), u"7,8");
    EXPECT_EQ(settings.Read(SettingsRoot::CurrentUser, kKey, u"inner", 399), u"ab");
    EXPECT_EQ(settings.Read(SettingsRoot::CurrentUser, kKey, u"odd", 399), u"x");
    EXPECT_EQ(settings.Read(SettingsRoot::CurrentUser, kKey, u"number", 399), std::nullopt);
}

TEST_F(RealRegistry, FileTypeEntriesAreWhatTheShellLooksUp) {
    // Refused below the classes root, as for a normal user: the same entries go where Windows' shell merges
    // them over the classes (Wine's registry does not merge, so they are read where they were written).
    struct PerUser : Win32Settings {
        bool Write(SettingsRoot root, const Text& key, const Text& name, const Text& value) override {
            return root != SettingsRoot::ClassesRoot && Win32Settings::Write(root, key, name, value);
        }
    } perUser;
    const Text ext = u"lockleaftest" + kKey.substr(kKey.rfind(u'\\') + 1);
    const Text type = u"Lockleaf Test File";
    app::RegisterFileType(perUser, type, u"c:\\apps\\lockleaf.exe %1", ext, u"", u"c:\\apps\\lockleaf.exe,0");
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
