// The dialog object: the request it hands to the platform, what it keeps afterwards, its limits.
#include <gtest/gtest.h>

#include "app/program.h"
#include "dialogs/file_dialog_state.h"
#include "fakes/fake_services.h"

namespace {

Text N(const char16_t* s, size_t n) { return Text(s, n); }  // a literal with embedded NULs

struct Dialog : ::testing::Test {
    FakeFileDialogs dialogs;
    FakeProcess process;
    const Text appFolder = u"C:\\Apps\\";
    std::unique_ptr<FileDialogState> d =
        std::make_unique<FileDialogState>(dialogs, process, appFolder, kProductName);
};

}  // namespace

TEST_F(Dialog, NewInstanceShowsAllFilesFromTheProgramFolderUnderTheProductTitle) {
    EXPECT_EQ(d->ShowOpen(), Text());
    ASSERT_EQ(dialogs.opened.size(), 1u);
    const FileDialogRequest& r = dialogs.opened[0];
    EXPECT_EQ(r.types, (std::vector<FileType>{{u"All Files (*.*) ", u"*.*"}}));
    EXPECT_EQ(r.type, 0);
    EXPECT_EQ(r.folder, u"C:\\Apps\\");
    EXPECT_EQ(r.title, u"Lockleaf");
    EXPECT_FALSE(r.confirmOverwrite);
    EXPECT_FALSE(r.hideReadOnly);
    EXPECT_EQ(r.file, u"");
    EXPECT_TRUE(r.encodings.empty());
}

TEST_F(Dialog, FullPathStartsInItsFolderWithTheOptionsAndTheChosenPathComesBack) {
    d->FileName = u"C:\\docs\\memo.txt";
    d->ConfirmOverwrite = d->HideReadOnly = true;
    dialogs.answer = [](FileDialogRequest& r) { return FakeFileDialogs::Confirm(r, u"D:\\x.txt"); };
    EXPECT_EQ(d->ShowOpen(), u"D:\\x.txt");
    const FileDialogRequest& r = dialogs.opened[0];
    EXPECT_EQ(r.folder, u"C:\\docs");
    EXPECT_EQ(r.file, u"C:\\docs\\memo.txt");
    EXPECT_TRUE(r.confirmOverwrite);
    EXPECT_TRUE(r.hideReadOnly);
    EXPECT_EQ(d->FileName, u"C:\\docs\\memo.txt");
    EXPECT_EQ(d->InitDir, u"C:\\Users\\me");
}

TEST_F(Dialog, NameWithoutABackslashBecomesTheStartingFolderWhole) {
    d->FileName = u"memo.txt";
    d->ShowSave();
    EXPECT_EQ(dialogs.saved[0].folder, u"memo.txt");
}

TEST_F(Dialog, CancelGivesAnEmptyTextAndStillTakesTheCurrentDirectory) {
    d->FileName = u"C:\\docs\\memo.txt";
    process.currentDirectory = u"E:\\elsewhere";
    EXPECT_EQ(d->ShowOpen(), Text());
    EXPECT_EQ(d->InitDir, u"E:\\elsewhere");
    d->FileName.clear();
    EXPECT_EQ(d->ShowSave(), Text());
    EXPECT_EQ(dialogs.saved[0].folder, u"E:\\elsewhere");  // an empty name keeps the last folder
}

TEST_F(Dialog, SaveKeepsTheChosenTypeEvenOnCancelAndOpenLeavesItAlone) {
    d->FilterIndex = 1;
    dialogs.answer = [](FileDialogRequest& r) {
        r.type = 2;
        return false;
    };
    EXPECT_EQ(d->ShowSave(), Text());
    EXPECT_EQ(dialogs.saved[0].type, 1);
    EXPECT_EQ(d->FilterIndex, 2);

    dialogs.answer = [](FileDialogRequest& r) {
        r.type = 3;
        return FakeFileDialogs::Confirm(r, u"C:\\a.txt");
    };
    EXPECT_EQ(d->ShowSave(), u"C:\\a.txt");
    EXPECT_EQ(d->FilterIndex, 3);
    dialogs.answer = [](FileDialogRequest& r) {
        r.type = 1;
        return FakeFileDialogs::Confirm(r, u"C:\\b.txt");
    };
    EXPECT_EQ(d->ShowOpen(), u"C:\\b.txt");
    EXPECT_EQ(d->FilterIndex, 3);
}

TEST_F(Dialog, TheLongestNameWindowsTakesIsProposedAndOneMoreIsRefusedWithoutADialog) {
    const Text exact = u"C:\\d\\" + Text(FileDialogRequest::kLongestFile - 5, u'n');
    d->FileName = exact;
    ASSERT_TRUE(d->ShowOpen().has_value());
    EXPECT_EQ(dialogs.opened[0].file, exact);
    d->FileName = u"C:\\" + Text(300, u'n') + u"\\a.txt";  // deeper than MAX_PATH: an ordinary name here
    ASSERT_TRUE(d->ShowOpen().has_value());

    d->FileName = u"F:\\long\\" + Text(FileDialogRequest::kLongestFile - 7, u'n');
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

TEST_F(Dialog, FolderPickerTrimsTheAnswerAndCancelGivesNothing) {
    dialogs.folderAnswer = u"  C:\\Some Folder  ";
    EXPECT_EQ(d->BrowseForFolder(u"Pick one"), u"C:\\Some Folder");
    EXPECT_EQ(dialogs.folderPrompts, (std::vector<Text>{u"Pick one"}));
    dialogs.folderAnswer = N(u"C:\\x\0  junk", 11);
    EXPECT_EQ(d->BrowseForFolder(u""), u"C:\\x");
    dialogs.folderAnswer.reset();
    EXPECT_EQ(d->BrowseForFolder(u""), u"");
}
