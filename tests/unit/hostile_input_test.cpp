// Big documents and a box without room: every command that fails says so and leaves the document as it was.
#include <gtest/gtest.h>

#include "fakes/fake_find_replace_host.h"
#include "fakes/journey.h"
#include "platform/trace.h"

namespace {

constexpr int kNew = 0, kOpen = 1, kFind = 0, kWordWrap = 1;

std::vector<Text> g_traced;
void Record(std::u16string_view line) { g_traced.emplace_back(line); }

struct Hostile : EditorJourney {
    FakeTextBox* box = s.host.textBoxes;
    platform::TraceSink before = platform::SetTraceSink(Record);

    Hostile() {
        g_traced.clear();
        files.Put(u"C:\\doc.txt", "one two one");
        s.fp.dialogs.ChooseNext(u"C:\\doc.txt");
        editor.OnFileMenu(kOpen);
        box[0].selStart = 4;
        box[0].Type(u"new ");  // "one new two one", modified, caret after "new "
    }
    ~Hostile() override { platform::SetTraceSink(before); }

    // The document, its name, its mark and the box the user sees, as they were after the edit.
    void ExpectUnchanged() {
        EXPECT_EQ(box[0].text, u"one new two one");
        EXPECT_EQ(box[0].selStart, 8);
        EXPECT_EQ(s.document().Name(), u"C:\\doc.txt");
        EXPECT_TRUE(editor.CurrentDocument().modified);
        EXPECT_EQ(caption, u"doc.txt * - Lockleaf 1.0");
        EXPECT_EQ(s.editor().ActiveEditorIndex(), 0);
        EXPECT_TRUE(box[0].visible);
        EXPECT_FALSE(box[1].visible);
        EXPECT_FALSE(s.host.wordWrap.checked);
    }
    // Opens path as the Open dialog's choice, or as a drop; the question about the unsaved edit is answered
    // "Don't Save".
    void OpenUnsaved(const Text& path, bool drop = false) {
        prompts.msgAnswers = {MsgResult::No};
        if (drop) {
            editor.OnFilesDropped(s.editor().ActiveEditorIndex(), {path}, kDropEffectAll);
        } else {
            s.fp.dialogs.ChooseNext(path);
            editor.OnFileMenu(kOpen);
        }
        std::erase_if(prompts.messages, [](const auto& m) { return m.buttons == MsgButtons::YesNoCancel; });
    }
    // Exactly one message, this one; for a failure that was caught, a line for a developer too.
    void ExpectTold(const Text& message, bool caught = true) {
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, message);
        EXPECT_EQ(g_traced.empty(), !caught);
        prompts.messages.clear();
        g_traced.clear();
    }
};

}  // namespace

TEST_F(Hostile, FindReplaceAllAndWordWrapWithoutMemorySayWhichCommandFailedAndChangeNothing) {
    FakeFindReplaceHost& findHost = s.findHost;
    editor.OnEditMenu(kFind);
    ASSERT_TRUE(editor.Finder().Loaded());
    findHost.w->fields[0].text = u"one";
    findHost.w->fields[1].text = u"1";

    // The case-insensitive search has no room for its table of the locale's lower case.
    s.fp.locale.outOfMemory = true;
    editor.Finder().OnButton(0);
    ExpectTold(u"Not enough memory to find.");
    ExpectUnchanged();
    editor.OnTextKeyDown(0, kKeyF3, 0);
    ExpectTold(u"Not enough memory to find.");
    s.fp.locale.outOfMemory = false;

    // Every copy of the document, or of a part of it, fails; so does the box's taking a new text.
    box[0].outOfMemory = true;
    editor.OnTextKeyDown(0, kKeyF3, kCtrlMask);
    ExpectTold(u"Not enough memory to find.");
    editor.OnEditMenu(kFind);
    ExpectTold(u"Not enough memory to find.");
    editor.Finder().OnButton(2);
    ExpectTold(u"Not enough memory to replace all.");
    box[1].outOfMemory = true;  // Word Wrap copies nothing itself: the other box cannot take the text
    editor.OnEditMenu(kWordWrap);
    ExpectTold(u"Not enough memory to switch Word Wrap.");
    box[0].outOfMemory = box[1].outOfMemory = false;
    ExpectUnchanged();

    // The copy succeeds but the box has no room for the result.
    box[0].refuses = true;
    editor.Finder().OnButton(2);
    ExpectTold(u"Not enough memory to replace all.");
    box[1].refuses = true;
    editor.OnEditMenu(kWordWrap);
    ExpectTold(u"Not enough memory to switch Word Wrap.");
    ExpectUnchanged();

    // With room again, both work.
    box[0].refuses = box[1].refuses = false;
    editor.Finder().OnButton(2);
    EXPECT_EQ(box[0].text, u"1 new two 1");
    const int copies = box[0].copies;
    editor.OnEditMenu(kWordWrap);
    EXPECT_EQ(s.editor().ActiveEditorIndex(), 1);
    EXPECT_EQ(box[1].text, u"1 new two 1");
    EXPECT_EQ(box[0].copies, copies);  // taken from the box's own text
    EXPECT_EQ(box[0].text, u"");       // which it then lets go: the text is held once
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(Hostile, UndoAndRedoWithoutRoomSaySoAndKeepTheirStepForTheNextTry) {
    box[0].Type(u"one one one ");  // five matches: Replace All's step is put back whole, not piece by piece
    const Text before = box[0].text;
    FakeFindReplaceHost& findHost = s.findHost;
    editor.OnEditMenu(kFind);
    findHost.w->fields[0].text = u"one";
    findHost.w->fields[1].text = u"1";
    editor.Finder().OnButton(2);
    const Text replaced = box[0].text;
    ASSERT_EQ(replaced, u"1 new 1 1 1 two 1");
    prompts.messages.clear();

    for (const bool forward : {false, true}) {
        box[0].refuses = true;
        editor.OnEditMenu(forward ? kMenuRedo : kMenuUndo);
        ExpectTold(forward ? u"Not enough memory to redo." : u"Not enough memory to undo.");
        EXPECT_EQ(box[0].text, forward ? before : replaced);
        box[0].refuses = false;
        editor.OnEditMenu(forward ? kMenuRedo : kMenuUndo);
        EXPECT_EQ(box[0].text, forward ? replaced : before);
        EXPECT_TRUE(prompts.messages.empty());
    }
    editor.OnEditMenu(kMenuUndo);
    EXPECT_EQ(box[0].text, before);
}

TEST_F(Hostile, AFileTheBoxRefusesIsNotOpenedAndF2StillWritesTheDocumentShown) {
    files.Put(u"C:\\big.txt", "a big document");
    box[0].refuses = true;
    OpenUnsaved(u"C:\\big.txt");
    ExpectTold(protect::kNotOpenedMessage);
    ExpectUnchanged();

    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(files.Get(u"C:\\doc.txt"), "one new two one");
    EXPECT_EQ(files.Get(u"C:\\big.txt"), "a big document");
    EXPECT_FALSE(editor.CurrentDocument().modified);
    EXPECT_EQ(caption, u"doc.txt - Lockleaf 1.0");
}

TEST_F(Hostile, FilesAboveTheLimitAreRefusedByTheirSizeBeforeAByteIsRead) {
    const int64_t mib = int64_t{1} << 20;
    const int64_t sizes[] = {app::kLargestDocument + 1, 1024 * mib, 1536 * mib, 2048 * mib, 5000 * mib};
    const char16_t* shown[] = {u"257 MiB", u"1024 MiB", u"1536 MiB", u"2048 MiB", u"5000 MiB"};
    for (size_t i = 0; i < std::size(sizes); ++i) {
        SCOPED_TRACE(i);
        files.PutSparse(u"C:\\huge.txt", sizes[i]);
        const int readsBefore = files.reads;
        // By the Open dialog, and by a drop on the box.
        OpenUnsaved(u"C:\\huge.txt");
        const Text message = u"This file is " + Text(shown[i]) + u"; Lockleaf opens files up to 256 MiB. " +
                             protect::kNotOpenedMessage;
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, message);
        OpenUnsaved(u"C:\\huge.txt", true);
        ASSERT_EQ(prompts.messages.size(), 2u);
        EXPECT_EQ(prompts.messages[1].text, message);
        prompts.messages.clear();
        EXPECT_EQ(files.reads, readsBefore);
        ExpectUnchanged();
    }
    // At the limit a file is read (here it runs out of memory, and says so).
    files.PutSparse(u"C:\\huge.txt", app::kLargestDocument);
    OpenUnsaved(u"C:\\huge.txt", true);
    ExpectTold(protect::kNotOpenedMessage, false);
    ExpectUnchanged();
}

TEST_F(Hostile, ADocumentWithALineTooLongToWrapOpensWithWordWrapOff) {
    editor.OnEditMenu(kWordWrap);
    ASSERT_EQ(s.editor().ActiveEditorIndex(), 1);
    const Text line(size_t{1} << 20, u'x');
    files.Put(u"C:\\line.txt", Bytes(line.size(), 'x'));
    OpenUnsaved(u"C:\\line.txt", true);
    ExpectTold(kTooLongToWrapMessage, false);
    EXPECT_EQ(s.editor().ActiveEditorIndex(), 0);
    EXPECT_FALSE(s.host.wordWrap.checked);
    EXPECT_TRUE(box[0].visible);
    EXPECT_FALSE(box[1].visible);
    EXPECT_TRUE(box[0].text == line);
    EXPECT_EQ(box[1].text, u"");
    EXPECT_EQ(s.document().Name(), u"C:\\line.txt");
    EXPECT_FALSE(editor.CurrentDocument().modified);
    EXPECT_EQ(caption, u"line.txt - Lockleaf 1.0");

    // A short document goes on into the wrapping box as before.
    editor.OnFileMenu(kNew);
    editor.OnEditMenu(kWordWrap);
    s.fp.dialogs.ChooseNext(u"C:\\doc.txt");
    editor.OnFileMenu(kOpen);
    EXPECT_EQ(s.editor().ActiveEditorIndex(), 1);
    EXPECT_EQ(box[1].text, u"one two one");
    EXPECT_TRUE(prompts.messages.empty());
}
