// The File menu against fakes: the lists and preselections handed to the dialogs, what each
// command does to the document state, and what the one dialog object carries between commands.
#include <gtest/gtest.h>

#include "dialogs/file_dialog_state.h"
#include "fakes/journey.h"

namespace {

// A list written as "name|patterns|...", for legibility.
std::vector<FileType> Types(const Text& list) {
    std::vector<FileType> types;
    for (size_t at = 0; at < list.size();) {
        const size_t bar = list.find(u'|', at), end = list.find(u'|', bar + 1);
        types.push_back({list.substr(at, bar - at), list.substr(bar + 1, end - bar - 1)});
        at = end == Text::npos ? list.size() : end + 1;
    }
    return types;
}

struct Commands : EditorJourney {
    void ChooseNext(const Text& path, int32_t type = 0) { dialogs.ChooseNext(path, type); }
};

}  // namespace

TEST_F(Commands, PreselectedTypeAndProposedNameFollowTheCurrentExtension) {
    struct Row {
        Text current;
        int32_t own, open, saveAs;
        Text proposed;
    };
    const Row rows[] = {
        {u"", 0, 1, 1, u""},
        {u"C:\\docs\\memo.txs", 2, 2, 1, u"C:\\docs\\memo"},
        {u"C:\\docs\\NOTES.TXS", 2, 2, 1, u"C:\\docs\\NOTES"},
        {u"C:\\docs\\memo.txt", 4, 4, 1, u"C:\\docs\\memo"},
        {u"C:\\docs\\memo.TxSe", 3, 3, 2, u"C:\\docs\\memo"},
        {u"C:\\docs\\list.csv", 6, 6, 5, u"C:\\docs\\list.csv"},
        {u"C:\\docs\\readme", 0, 1, 1, u"C:\\docs\\readme"},
        {u"C:\\docs\\memo.", 0, 1, 1, u"C:\\docs\\memo"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.current.begin(), row.current.end()));
        int32_t own = -1;
        editor.GetFilter(row.current, own);
        EXPECT_EQ(own, row.own);
        s.Name(row.current);
        editor.OnFileMenu(kMenuOpen);
        EXPECT_EQ(dialogs.opened.back().type, row.open);
        EXPECT_EQ(dialogs.opened.back().file, row.current);
        editor.OnFileMenu(kMenuSaveAs);
        EXPECT_EQ(dialogs.saved.back().type, row.saveAs);
        EXPECT_EQ(dialogs.saved.back().file, row.proposed);
    }
}

TEST_F(Commands, ListsReachTheDialogWithTheOwnTypeLastAndTheOptionsCarryFromSaveAsToOpen) {
    int32_t index = 0;
    EXPECT_EQ(editor.GetFilter(u"C:\\report.log", index), u"|LOG File (*.LOG)|*.log");
    EXPECT_EQ(editor.GetFilter(u"C:\\memo.txt", index), u"");

    EXPECT_EQ(editor.FileDialog(), nullptr);
    s.Name(u"C:\\report.log");
    editor.OnFileMenu(kMenuOpen);
    const FileDialogState* first = editor.FileDialog();
    ASSERT_NE(first, nullptr);
    std::vector<FileType> open = Types(
        u"All Supported Files (*.TXS, *.TXSE, *.TXT)|*.txs;*.txse;*.txt|Secret Files (*.TXS)|*.txs|"
        u"Sealed Files (*.TXSE)|*.txse|Text Files (*.TXT)|*.txt|All Files (*.*)|*.*|"
        u"LOG File (*.LOG)|*.log");
    open[1].encodingOff = open[2].encodingOff = true;  // their own form: no encoding to choose
    EXPECT_EQ(dialogs.opened[0].types, open);
    EXPECT_EQ(dialogs.opened[0].title, u"Lockleaf");
    EXPECT_FALSE(dialogs.opened[0].confirmOverwrite || dialogs.opened[0].hideReadOnly);

    s.Name(u"");
    editor.OnFileMenu(kMenuSaveAs);
    EXPECT_EQ(dialogs.saved[0].types,
              Types(u"Secret Files (*.TXS)|*.txs|Sealed Files (*.TXSE)|*.txse|Text Files (*.TXT)|*.txt|"
                    u"All Files (*.*)|*.*"));
    EXPECT_TRUE(dialogs.saved[0].confirmOverwrite && dialogs.saved[0].hideReadOnly);
    // The one dialog object keeps its options, as it keeps its folder.
    editor.OnFileMenu(kMenuOpen);
    EXPECT_TRUE(dialogs.opened[1].confirmOverwrite && dialogs.opened[1].hideReadOnly);
    EXPECT_EQ(editor.FileDialog(), first);
}

TEST_F(Commands, OpenLoadsTheChosenFileAndCancelLeavesEverything) {
    files.Put(u"C:\\docs\\a.txt", "hello");
    s.Name(u"C:\\docs\\old.txt");
    s.fp.process.currentDirectory = u"C:\\after";
    editor.OnFileMenu(kMenuOpen);  // Cancel
    EXPECT_EQ(s.document().Name(), u"C:\\docs\\old.txt");
    EXPECT_EQ(editor.FileDialog()->InitDir, u"C:\\after");

    ChooseNext(u"C:\\docs\\a.txt");
    editor.OnFileMenu(kMenuOpen);
    EXPECT_EQ(s.document().Name(), u"C:\\docs\\a.txt");
    EXPECT_EQ(s.box().text, u"hello");
    EXPECT_EQ(s.host.window.caption, u"a.txt - Lockleaf 1.0");
}

TEST_F(Commands, SaveAsWritesTheChosenFileAndKeepsTheChosenType) {
    s.box().SetText(u"secret text");
    s.Name(u"C:\\docs\\memo.txt");
    prompts.inputAnswers = {u"pw", u"pw"};
    ChooseNext(u"C:\\docs\\memo.txs", 1);
    editor.OnFileMenu(kMenuSaveAs);
    EXPECT_EQ(prompts.inputs.size(), 2u);  // a new password is typed twice
    EXPECT_EQ(s.document().Name(), u"C:\\docs\\memo.txs");
    EXPECT_EQ(s.document().Password(), u"pw");
    EXPECT_EQ(editor.FileDialog()->FilterIndex, 1);
    ASSERT_TRUE(files.FileExists(u"C:\\docs\\memo.txs"));
    EXPECT_NE(files.Get(u"C:\\docs\\memo.txs"), "secret text");  // protected, not plain
    EXPECT_EQ(s.host.window.caption, u"memo.txs - Lockleaf 1.0");

    editor.OnFileMenu(kMenuNew);
    ChooseNext(u"C:\\docs\\memo.txs");
    prompts.inputAnswers = {u"pw"};
    editor.OnFileMenu(kMenuOpen);
    EXPECT_EQ(s.box().text, u"secret text");
}

TEST_F(Commands, CancelInSaveAsKeepsTheNameAndPassword) {
    s.Name(u"C:\\docs\\memo.txs");
    s.document().SetPassword(u"pw");
    dialogs.answer = [](FileDialogRequest& r) {
        r.type = 2;
        return false;
    };
    editor.OnFileMenu(kMenuSaveAs);
    EXPECT_EQ(s.document().Name(), u"C:\\docs\\memo.txs");
    EXPECT_EQ(s.document().Password(), u"pw");
    EXPECT_EQ(editor.FileDialog()->FilterIndex, 2);
    EXPECT_EQ(editor.FileDialog()->InitDir, s.fp.process.currentDirectory);
    EXPECT_TRUE(prompts.inputs.empty());
}

TEST_F(Commands, NameTooLongForTheDialogIsReplacedByAnEmptyOne) {
    s.Name(u"C:\\deep\\" + Text(FileDialogRequest::kLongestFile, u'n') + u".txt");
    editor.OnFileMenu(kMenuOpen);
    ASSERT_EQ(dialogs.opened.size(), 1u);
    EXPECT_EQ(dialogs.opened[0].file, Text());
    EXPECT_EQ(dialogs.opened[0].folder, u"C:\\deep");
    editor.OnFileMenu(kMenuSaveAs);
    ASSERT_EQ(dialogs.saved.size(), 1u);
    EXPECT_EQ(dialogs.saved[0].file, Text());
}

TEST_F(Commands, NewAsksAboutAnEditedDocumentThenClearsTextNameAndPassword) {
    files.Put(u"C:\\docs\\memo.txs", "");
    editor.SecureOpen(u"C:\\docs\\memo.txs");
    s.document().SetPassword(u"pw");
    s.box().Type(u"text");
    prompts.msgAnswers = {MsgResult::No};
    editor.OnFileMenu(kMenuNew);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, u"Do you want to save changes to memo.txs?");
    EXPECT_EQ(prompts.messages[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(s.box().text, u"");
    EXPECT_EQ(s.document().Name(), u"");
    EXPECT_EQ(s.document().Password(), u"");
    EXPECT_EQ(s.host.window.caption, u"Lockleaf 1.0");
    editor.OnFileMenu(kMenuNew);  // nothing edited since: no question
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.inputs.empty());
}

TEST_F(Commands, EveryCommandButExitRefreshesTheCaption) {
    for (int index : {kMenuNew, kMenuOpen, kMenuSave, kMenuSaveAs}) {
        s.host.window.caption = u"stale";
        editor.OnFileMenu(index);
        EXPECT_EQ(s.host.window.caption, u"Lockleaf 1.0") << index;
    }
    EXPECT_TRUE(files.files.empty());  // Save of an untitled document is a Save As, here cancelled
    s.host.window.caption = u"stale";
    editor.OnFileMenu(kMenuExit);
    EXPECT_TRUE(s.fp.loop.ended);
    EXPECT_EQ(s.host.window.caption, u"stale");
}
