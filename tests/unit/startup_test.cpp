#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

TEST(Startup, FillsTheGlobalsAndCaptionsAnUntitledWindow) {
    Started s;
    EXPECT_EQ(app::g_AppName, u"Lockleaf");
    EXPECT_EQ(app::g_AppVersion, u"1.0");
    EXPECT_EQ(app::g_AppDate, u"1 Sep 2013");
    EXPECT_EQ(app::g_SiteUrl.back(), u'/');
    EXPECT_EQ(app::g_AppFolder, u"C:\\Apps\\");
    EXPECT_EQ(s.host.window.caption, u"Lockleaf 1.0");
    EXPECT_EQ(s.fou().ExecutablePath(), u"C:\\Apps\\lockleaf.exe");
}

TEST(Startup, InitialisesControlsThenCreatesThenShowsAfterLoadAndOnlyThenSendsTheStartStatistic) {
    Started s(false);
    size_t requestsAtShow = 99;
    Text captionAtShow;
    s.host.onShow = [&] {
        requestsAtShow = s.fp.http.requested.size();
        captionAtShow = s.host.window.caption;
    };
    s.Start();
    const std::vector<std::string> expected{"InitCommonControls", "Create", "Show"};
    EXPECT_EQ(s.host.order, expected);
    EXPECT_EQ(captionAtShow, u"Lockleaf 1.0");  // Form_Load ran before Show
    // A site that never answers must not keep the window from appearing.
    EXPECT_EQ(requestsAtShow, 0u);
    ASSERT_EQ(s.fp.http.requested.size(), 1u);
    EXPECT_NE(s.fp.http.requested[0].find(u"do=start"), Text::npos);
}

TEST(Startup, SetsTheShortDateFormatOfTheSystemLocaleOnce) {
    Started s;
    EXPECT_EQ(s.fp.locale.shortDateFormats, std::vector<Text>{u"dd/MM/yy"});
}

TEST(Startup, ProgramFolderEndsWithExactlyOneBackslash) {
    Started s(false);
    s.fp.process.exeFolder = u"C:\\";
    app::InitFolders(s.fp.process);
    EXPECT_EQ(app::g_AppFolder, u"C:\\");
    s.fp.process.exeFolder = u"D:\\Program Files\\Lockleaf";
    app::InitFolders(s.fp.process);
    EXPECT_EQ(app::g_AppFolder, u"D:\\Program Files\\Lockleaf\\");
}

TEST(Startup, EnsureTrailingChangesTheCallersTextAndComparesOneCharacter) {
    Text empty;
    EXPECT_EQ(app::EnsureTrailing(empty, u"\\"), u"\\");
    EXPECT_EQ(empty, u"\\");
    Text folder = u"C:\\x";
    EXPECT_EQ(app::EnsureTrailing(folder, u"\\"), u"C:\\x\\");
    EXPECT_EQ(app::EnsureTrailing(folder, u"\\"), u"C:\\x\\");
}

TEST(Startup, ExecutablePathAlwaysEndsInLowerCaseExe) {
    Started s(false);
    s.fp.process.exeBaseName = u"LockLeaf";
    s.Start();
    EXPECT_EQ(s.fou().ExecutablePath(), u"C:\\Apps\\LockLeaf.exe");
}
