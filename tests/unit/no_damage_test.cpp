// Journeys in which the program used to lose, leak or silently change what the user wrote, or hide which
// file F2 writes.
#include <gtest/gtest.h>

#include "app/registry_settings.h"
#include "fakes/journey.h"
#include "protect/cipher.h"
#include "protect/secure_document.h"

namespace {

struct Journey : EditorJourney {
    Bytes Masked(const Text& password, const Text& text) {
        Bytes file;
        protect::MaskDocument(password, text, file);
        return file;
    }
};

}  // namespace

TEST_F(Journey, NameAndPasswordChangeOnlyWhenALoadOrASaveCompletes) {
    files.Put(u"C:\\secret.txs", Masked(u"pw", u"secret"));
    files.Put(u"C:\\e.txt", "");
    files.folders.insert(FakeFiles::Key(u"C:\\folder"));
    prompts.inputAnswers = {u"pw"};
    Open(u"C:\\secret.txs");
    EXPECT_EQ(s.box().text, u"secret");

    // A missing name (typed into Open, dropped, or on the command line) and a folder: refused, said why.
    Open(u"C:\\gone.txt");
    EXPECT_EQ(LastMessage(), protect::kMissingMessage);
    editor.OnFilesDropped(0, {u"C:\\folder"}, kDropEffectAll);
    EXPECT_EQ(LastMessage(), protect::kNotOpenedMessage);
    EXPECT_EQ(s.document().Name(), u"C:\\secret.txs");
    EXPECT_EQ(caption, u"secret.txs - Lockleaf 1.0");
    EXPECT_EQ(s.box().text, u"secret");

    // An empty file is an empty document under its own name: F2 never writes the secret into it.
    Open(u"C:\\e.txt");
    EXPECT_EQ(s.box().text, u"");
    EXPECT_EQ(caption, u"e.txt - Lockleaf 1.0");
    EXPECT_EQ(s.document().Password(), u"");  // a plain document has none: the protected one's is forgotten
    F2();
    EXPECT_EQ(files.Get(u"C:\\e.txt"), "");

    // Save As that cannot write, is cancelled at the password, or gets two different passwords: the name,
    // the password and the mark stay, and the user is told.
    s.box().Type(u"draft");
    files.failMove = true;
    dialogs.ChooseNext(u"C:\\new.txt");
    editor.OnFileMenu(kMenuSaveAs);
    EXPECT_EQ(LastMessage(), protect::kNotSavedMessage);
    files.failMove = false;
    dialogs.ChooseNext(u"C:\\new.txs");
    prompts.inputAnswers = {u""};
    editor.OnFileMenu(kMenuSaveAs);
    EXPECT_EQ(LastMessage(), protect::kNotSavedMessage);
    prompts.inputAnswers = {u"one", u"onf"};
    editor.OnFileMenu(kMenuSaveAs);
    EXPECT_EQ(LastMessage(), protect::kPasswordsDifferMessage);
    EXPECT_FALSE(files.FileExists(u"C:\\new.txt"));
    EXPECT_FALSE(files.FileExists(u"C:\\new.txs"));
    EXPECT_EQ(s.document().Name(), u"C:\\e.txt");
    EXPECT_EQ(s.document().Password(), u"");
    EXPECT_EQ(caption, u"e.txt * - Lockleaf 1.0");
}

TEST_F(Journey, PasswordsTheCodePageCannotHoldAreRefusedAtSaveAndOpenOldFiles) {
    s.box().Type(u"text");
    dialogs.ChooseNext(u"C:\\m.txs");
    prompts.inputAnswers = {u"M\u00fcller1", u"pw1", u"pw1"};
    editor.OnFileMenu(kMenuSaveAs);
    EXPECT_EQ(prompts.messages.front().text, protect::kPasswordCodePageMessage);
    ASSERT_EQ(prompts.inputs.size(), 3u);  // the prompt came back, then the password was typed twice
    Text saved;
    ASSERT_TRUE(protect::UnmaskDocument(files.Get(u"C:\\m.txs"), u"pw1", saved));
    EXPECT_EQ(saved, u"text");

    // Earlier copies stored such a password with "?": the password the user remembers opens it, and F2
    // writes the same file back without asking.
    const Bytes legacy = Masked(u"M?ller1", u"old text");
    files.Put(u"C:\\legacy.txs", legacy);
    prompts.inputs.clear();
    prompts.inputAnswers = {u"M\u00fcller1"};
    Open(u"C:\\legacy.txs");
    EXPECT_EQ(s.box().text, u"old text");
    F2();
    EXPECT_EQ(prompts.inputs.size(), 1u);
    EXPECT_EQ(files.Get(u"C:\\legacy.txs"), legacy);
}

TEST_F(Journey, CharactersTheCodePageCannotHoldAreNeverSavedAsQuestionMarksSilently) {
    files.Put(u"C:\\all.txt", [] {
        Bytes every(256, '\0');
        for (int b = 0; b < 256; ++b) every[static_cast<size_t>(b)] = static_cast<char>(b);
        return every;
    }());
    Open(u"C:\\all.txt");
    F2();  // text that came from a file never asks
    EXPECT_TRUE(prompts.messages.empty());

    files.Put(u"C:\\note.txt", "a?");
    Open(u"C:\\note.txt");
    s.box().SetSel(2, 0);
    s.box().Type(u"\r\ncaf\u00e9 \U0001F600 \u00df");
    prompts.msgAnswers = {MsgResult::Cancel};
    F2();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text.substr(0, 91),
              u"3 characters of this document cannot be stored in this file's code page (Thai, Windows-874)");
    EXPECT_NE(prompts.messages[0].text.find(u"The first is \"\u00e9\" on line 2."), Text::npos);
    EXPECT_EQ(files.Get(u"C:\\note.txt"), "a?");
    EXPECT_EQ(caption, u"note.txt * - Lockleaf 1.0");
    prompts.msgAnswers = {MsgResult::No};  // "Save with "?""
    F2();
    EXPECT_EQ(files.Get(u"C:\\note.txt"), "a?\r\ncaf? ?? ?");  // as the code page has it: "?" a unit
    EXPECT_EQ(caption, u"note.txt - Lockleaf 1.0");
}

TEST_F(Journey, AModifiedDocumentIsNeverThrownAwayWithoutAQuestion) {
    files.Put(u"C:\\other.txt", "other");
    s.box().Type(u"my page");
    const Text question = u"Do you want to save changes to Untitled?";
    for (int command : {kMenuNew, kMenuOpen, kMenuExit}) {
        prompts.msgAnswers = {MsgResult::Cancel};
        dialogs.ChooseNext(u"C:\\other.txt");
        editor.OnFileMenu(command);
        EXPECT_EQ(LastMessage(), question) << command;
    }
    prompts.msgAnswers = {MsgResult::Cancel, MsgResult::Cancel};
    editor.OnFilesDropped(0, {u"C:\\other.txt"}, kDropEffectAll);
    EXPECT_FALSE(editor.Form_QueryUnload());  // the close box and the end of the session
    EXPECT_TRUE(dialogs.opened.empty());
    EXPECT_FALSE(s.fp.loop.ended);
    EXPECT_EQ(s.box().text, u"my page");
    EXPECT_GE(s.box().focusCount, 5);  // back in the text each time

    // Save on an untitled document is Save As; a cancelled Save As cancels the command too.
    prompts.msgAnswers = {MsgResult::Yes};
    dialogs.answer = nullptr;
    editor.OnFileMenu(kMenuExit);
    EXPECT_EQ(dialogs.saved.size(), 1u);
    EXPECT_FALSE(s.fp.loop.ended);
    prompts.msgAnswers = {MsgResult::Yes};
    dialogs.ChooseNext(u"C:\\page.txt");
    editor.OnFileMenu(kMenuExit);
    EXPECT_EQ(files.Get(u"C:\\page.txt"), "my page");
    EXPECT_TRUE(s.fp.loop.ended);
}

TEST_F(Journey, DontSaveGoesOnAndAnUneditedDocumentNeverAsks) {
    s.box().Type(u"x");
    F2();  // an untitled document: Save As
    EXPECT_EQ(dialogs.saved.size(), 1u);
    prompts.msgAnswers = {MsgResult::No};
    files.Put(u"C:\\a.txt", "a");
    Open(u"C:\\a.txt");
    editor.OnEditMenu(kMenuWordWrap);  // the copy between the boxes is not an edit
    editor.OnEditMenu(kMenuWordWrap);
    EXPECT_EQ(caption, u"a.txt - Lockleaf 1.0");
    EXPECT_TRUE(editor.Form_QueryUnload());
    s.box().Type(u"b");
    prompts.msgAnswers = {MsgResult::No};
    editor.OnFileMenu(kMenuNew);
    EXPECT_EQ(LastMessage(), u"Do you want to save changes to a.txt?");
    EXPECT_EQ(s.box().text, u"");
    EXPECT_EQ(files.Get(u"C:\\a.txt"), "a");
    const size_t asked = prompts.messages.size();
    editor.OnFileMenu(kMenuExit);
    EXPECT_EQ(prompts.messages.size(), asked);
    EXPECT_TRUE(s.fp.loop.ended);
}

TEST(CommandLine, ARelativeNameStaysTheFileF2WritesAfterTheCurrentDirectoryMoves) {
    Started s(false);
    s.fp.files.Put(u"C:\\first\\notes.txt", "notes");
    s.fp.process.commandLine = u"notes.txt";
    s.fp.process.currentDirectory = u"C:\\first";
    s.Start();
    s.fp.process.currentDirectory = u"C:\\elsewhere";  // a file dialog moved it
    s.box().Type(u"!");
    s.editor().OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(s.document().Name(), u"C:\\first\\notes.txt");
    EXPECT_EQ(s.fp.files.Get(u"C:\\first\\notes.txt"), "!notes");
}

TEST_F(Journey, NulBytesShowAsTheirSymbolAndAreWrittenBackUnchanged) {
    const Bytes plain("abc\0def\0", 8);
    files.Put(u"C:\\nul.txt", plain);
    files.Put(u"C:\\nul.txs", Masked(u"pw", Text(u"x\0y", 3)));
    prompts.inputAnswers = {u"pw"};
    for (const char16_t* name : {u"C:\\nul.txt", u"C:\\nul.txs"}) {
        SCOPED_TRACE(std::string(name, name + 10));
        const Bytes before = files.Get(name);
        Open(name);
        EXPECT_EQ(s.box().text.find(u'\0'), Text::npos);
        F2();
        EXPECT_EQ(files.Get(name), before);
    }
    EXPECT_EQ(s.box().text, u"x\u2400y");
}

TEST_F(Journey, EveryDropLeavesTheCaptionNamingTheFileF2Writes) {
    files.Put(u"C:\\same.txt", "same");
    files.Put(u"C:\\empty.txt", "");
    editor.OnFilesDropped(0, {u"C:\\same.txt", u"C:\\empty.txt"}, kDropEffectAll);
    EXPECT_EQ(caption, u"same.txt - Lockleaf 1.0");
    editor.OnFilesDropped(0, {u"C:\\empty.txt"}, kDropEffectAll);
    EXPECT_EQ(caption, u"empty.txt - Lockleaf 1.0");
    editor.OnFilesDropped(0, {u"C:\\missing.txt"}, kDropEffectAll);
    EXPECT_EQ(caption, u"empty.txt - Lockleaf 1.0");
    // Reloading the text the box already shows still lets the next edit mark the document.
    editor.OnFilesDropped(0, {u"C:\\same.txt"}, kDropEffectAll);
    editor.OnFilesDropped(0, {u"C:\\same.txt"}, kDropEffectAll);
    s.box().Type(u"!");
    EXPECT_EQ(caption, u"same.txt * - Lockleaf 1.0");
}

TEST_F(Journey, WordWrapLeavesFocusAndSelectionInTheBoxThatBecomesVisible) {
    FakeTextBox* box = s.host.textBoxes;
    box[0].SetText(u"one two");
    box[0].SetSel(4, 3);
    editor.OnEditMenu(kMenuWordWrap);
    EXPECT_EQ(box[1].focusCount, 1);
    EXPECT_EQ(box[1].SelText(), u"two");
    editor.OnEditMenu(kMenuWordWrap);
    EXPECT_EQ(box[0].focusCount, 1);
}

TEST(Placement, ValuesNoScreenCanHoldKeepTheInitialPlacement) {
    Started s;
    for (const char16_t* stored : {u"0,0,3E+38,3E+38", u"-3E+38,0,9000,6000", u"0,0,491506,6000"}) {
        app::WriteSetting(s.fp.settings, u"position", stored);
        s.editor().RestorePlacement();
        EXPECT_DOUBLE_EQ(s.host.window.rect.width, 9000) << std::u16string_view(stored).size();
        EXPECT_DOUBLE_EQ(s.host.window.rect.left, 0);
    }
}
