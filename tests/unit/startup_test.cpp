#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

TEST(Startup, CaptionsAnUntitledWindowAndKnowsItsOwnPath) {
    Started s;
    EXPECT_EQ(s.host.window.caption, u"Lockleaf 1.0");
    EXPECT_EQ(s.editor().ExecutablePath(), u"C:\\Apps\\lockleaf.exe");
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
    EXPECT_EQ(app::ProgramFolder(s.fp.process), u"C:\\");
    s.fp.process.exeFolder = u"D:\\Program Files\\Lockleaf";
    EXPECT_EQ(app::ProgramFolder(s.fp.process), u"D:\\Program Files\\Lockleaf\\");
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
    EXPECT_EQ(s.editor().ExecutablePath(), u"C:\\Apps\\LockLeaf.exe");
}
