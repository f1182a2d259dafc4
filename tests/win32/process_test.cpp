// The process adapter's folders and restart registration against the real (Wine) shell and kernel.
#include <windows.h>

#include <gtest/gtest.h>

#include "win32/process_win.h"
#include "win32/win_util.h"

TEST(Process, TheLocalAppDataFolderIsAFullPathThatExistsWithoutATrailingBackslash) {
    Win32Process process;
    const Text folder = process.LocalAppDataFolder();
    ASSERT_GT(folder.size(), 3u);
    EXPECT_NE(folder.back(), u'\\');
    EXPECT_TRUE((folder[1] == u':' && folder[2] == u'\\') || folder.starts_with(u"\\\\"));
    const DWORD attributes = GetFileAttributesW(win::W(folder));
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    // The folder the environment names for the same user, where it names one.
    wchar_t expanded[MAX_PATH + 1];
    const DWORD n = ExpandEnvironmentStringsW(L"%LOCALAPPDATA%", expanded, MAX_PATH + 1);
    if (n > 0 && n <= MAX_PATH && expanded[0] != L'%') {
        EXPECT_EQ(CompareStringOrdinal(win::W(folder), -1, expanded, -1, TRUE), CSTR_EQUAL);
    }
    // Something can be made there.
    const Text probe = folder + u"\\lockleaf-probe-" + Text(1, u'a' + GetTickCount() % 26);
    EXPECT_TRUE(CreateDirectoryW(win::W(probe), nullptr));
    EXPECT_TRUE(RemoveDirectoryW(win::W(probe)));
}

TEST(Process, ARestartIsRegisteredWithArgumentsOrWithout) {
    Win32Process process;
    EXPECT_TRUE(process.RegisterRestart(u"/restore \"C:\\a b\\c.txt\""));
    EXPECT_TRUE(process.RegisterRestart(u""));
}
