// The dialog object: the request it hands to the platform, what it keeps afterwards, its limits.
#include <gtest/gtest.h>

#include "app/d1.h"
#include "dialogs/cmd1.h"
#include "fakes/fake_services.h"

namespace {

Text N(const char16_t* s, size_t n) { return Text(s, n); }  // a literal with embedded NULs

struct Dialog : ::testing::Test {
    FakeFileDialogs dialogs;
    FakeProcess process;
    std::unique_ptr<cmd1> d;
    void SetUp() override {
        d1::g_AppFolder = u"C:\\Apps\\";
        d = std::make_unique<cmd1>(dialogs, process, d1::g_AppFolder, kProductName);
    }
    void TearDown() override { d1::ResetGlobals(); }
};

}  // namespace

TEST_F(Dialog, NewInstanceShowsAllFilesFromTheProgramFolderUnderTheProductTitle) {
    EXPECT_EQ(d->ShowOpen(), Text());
    ASSERT_EQ(dialogs.opened.size(), 1u);
    const FileDialogRequest& r = dialogs.opened[0];
    EXPECT_EQ(r.structSize, 76u);
    EXPECT_EQ(r.owner, 0u);
    EXPECT_EQ(r.filter, N(u"All Files (*.*) \0*.*\0\0", 22));
    EXPECT_EQ(r.filterIndex, 0);
    EXPECT_EQ(r.initialDir, u"C:\\Apps\\");
    EXPECT_EQ(r.title, u"Lockleaf");
    EXPECT_EQ(r.flags, 0u);
    EXPECT_FALSE(r.hasDefExt);
    EXPECT_EQ(r.file, Text(cmd1::kMaxFileName, u'\0'));
    EXPECT_EQ(r.maxFile, cmd1::kMaxFileName - 1);
    EXPECT_EQ(r.fileTitle, r.file);
    EXPECT_EQ(r.maxFileTitle, cmd1::kMaxFileName - 1);
    EXPECT_EQ(d->Filter, N(u"All Files (*.*) \0*.*\0", 21));  // the property itself keeps one NUL
}

TEST_F(Dialog, FullPathStartsInItsFolderAndTheChosenPathComesBackUpToTheNul) {
    d->FileName = u"C:\\docs\\memo.txt";
    d->hwndOwner = 0x1234;
    d->flags = 6;
    dialogs.answer = [](FileDialogRequest& r) { return FakeFileDialogs::Confirm(r, u"D:\\x.txt"); };
    EXPECT_EQ(d->ShowOpen(), u"D:\\x.txt");
    const FileDialogRequest& r = dialogs.opened[0];
    EXPECT_EQ(r.initialDir, u"C:\\docs");
    EXPECT_EQ(r.file, u"C:\\docs\\memo.txt" + Text(cmd1::kMaxFileName - 16, u'\0'));
    EXPECT_EQ(r.owner, 0x1234u);
    EXPECT_EQ(r.flags, 6u);
    EXPECT_EQ(d->FileName, u"C:\\docs\\memo.txt");
    EXPECT_EQ(d->InitDir, u"C:\\Users\\me");
}

TEST_F(Dialog, NameWithoutABackslashBecomesTheStartingFolderWhole) {
    d->FileName = u"memo.txt";
    d->ShowSave();
    EXPECT_EQ(dialogs.saved[0].initialDir, u"memo.txt");
}

TEST_F(Dialog, CancelGivesAnEmptyTextAndStillTakesTheCurrentDirectory) {
    d->FileName = u"C:\\docs\\memo.txt";
    process.currentDirectory = u"E:\\elsewhere";
    EXPECT_EQ(d->ShowOpen(), Text());
    EXPECT_EQ(d->InitDir, u"E:\\elsewhere");
    d->FileName.clear();
    EXPECT_EQ(d->ShowSave(), Text());
    EXPECT_EQ(dialogs.saved[0].initialDir, u"E:\\elsewhere");  // an empty name keeps the last folder
}

TEST_F(Dialog, SaveAsksForAnEmptyDefaultExtensionAndStoresTheChosenTypeEvenOnCancel) {
    d->FilterIndex = 1;
    dialogs.answer = [](FileDialogRequest& r) {
        r.filterIndex = 2;
        return false;
    };
    EXPECT_EQ(d->ShowSave(), Text());
    EXPECT_TRUE(dialogs.saved[0].hasDefExt);
    EXPECT_EQ(dialogs.saved[0].defExt, Text());
    EXPECT_EQ(dialogs.saved[0].filterIndex, 1);
    EXPECT_EQ(d->FilterIndex, 2);

    dialogs.answer = [](FileDialogRequest& r) {
        r.filterIndex = 3;
        return FakeFileDialogs::Confirm(r, u"C:\\a.txt");
    };
    EXPECT_EQ(d->ShowSave(), u"C:\\a.txt");
    EXPECT_EQ(d->FilterIndex, 3);
}

TEST_F(Dialog, OpenLeavesTheFilterIndexAlone) {
    d->FilterIndex = 1;
    dialogs.answer = [](FileDialogRequest& r) {
        r.filterIndex = 3;
        return FakeFileDialogs::Confirm(r, u"C:\\a.txt");
    };
    d->ShowOpen();
    EXPECT_EQ(d->FilterIndex, 1);
}

TEST_F(Dialog, FilterHandedOverEndsWithExactlyTwoNuls) {
    for (const Text& filter : {N(u"A\0*.a", 5), N(u"A\0*.a\0", 6), N(u"A\0*.a\0\0", 7)}) {
        d->Filter = filter;
        d->ShowOpen();
        EXPECT_EQ(dialogs.opened.back().filter, N(u"A\0*.a\0\0", 7));
    }
}

TEST_F(Dialog, ADeepNameFillsTheBufferAndOneMoreIsRefusedWithoutADialog) {
    const Text exact = u"C:\\d\\" + Text(cmd1::kMaxFileName - 5, u'n');
    d->FileName = exact;
    ASSERT_TRUE(d->ShowOpen().has_value());
    EXPECT_EQ(dialogs.opened[0].file, exact);
    EXPECT_EQ(dialogs.opened[0].maxFile, cmd1::kMaxFileName - 1);
    d->FileName = u"C:\\" + Text(300, u'n') + u"\\a.txt";  // deeper than MAX_PATH: an ordinary name here
    ASSERT_TRUE(d->ShowOpen().has_value());

    d->FileName = u"F:\\long\\" + Text(cmd1::kMaxFileName, u'n');
    EXPECT_FALSE(d->ShowSave().has_value());
    EXPECT_FALSE(d->ShowOpen().has_value());
    EXPECT_TRUE(dialogs.saved.empty());
    EXPECT_EQ(dialogs.opened.size(), 2u);
    EXPECT_EQ(d->InitDir, u"F:\\long");  // the folder part was taken before the refusal
}

TEST(CutLastPart, DropsTheLastSeparatedPartOnly) {
    EXPECT_EQ(dialogs::CutLastPart(u"C:\\docs\\a.txt", u"\\"), u"C:\\docs");
    EXPECT_EQ(dialogs::CutLastPart(u"C:\\a.txt", u"\\"), u"C:");
    EXPECT_EQ(dialogs::CutLastPart(u"C:\\docs\\", u"\\"), u"C:\\docs");
    EXPECT_EQ(dialogs::CutLastPart(u"a.txt", u"\\"), u"a.txt");
    EXPECT_EQ(dialogs::CutLastPart(u"", u"\\"), u"");
    EXPECT_EQ(dialogs::CutLastPart(u"a--b--c", u"--"), u"a--b");
    EXPECT_EQ(dialogs::CutLastPart(u"aaa", u"aa"), u"");  // a split gives "" and "a"
}

TEST_F(Dialog, FolderPickerAsksForFileSystemFoldersAndTrimsTheAnswer) {
    dialogs.browseAnswer = u"  C:\\Some Folder  ";
    EXPECT_EQ(d->BrowseForFolder(u"Pick one"), u"C:\\Some Folder");
    ASSERT_EQ(dialogs.browsed.size(), 1u);
    EXPECT_EQ(dialogs.browsed[0].first, u"Pick one");
    EXPECT_EQ(dialogs.browsed[0].second, 1u);
    dialogs.browseAnswer = N(u"C:\\x\0  junk", 11);
    EXPECT_EQ(d->BrowseForFolder(u""), u"C:\\x");
    dialogs.browseAnswer.clear();
    EXPECT_EQ(d->BrowseForFolder(u""), u"");
}
