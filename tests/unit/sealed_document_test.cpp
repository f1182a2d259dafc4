// Sealed documents in the editor: Save As asks the password twice, F2 seals again under the kept key, and
// every refused file leaves the document shown as it was. Files are decrypted here with libcrypto directly,
// following docs/sealed-format.md, not through the program's reader.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "base/unicode.h"
#include "fakes/journey.h"
#include "fakes/sealed_files.h"
#include "protect/sealed.h"

namespace {

using sealed_files::Unseal;

Bytes Fixture(const char* name) {
    std::ifstream in(std::string(LOCKLEAF_FIXTURES) + "/sealed/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

struct SealedDocument : EditorJourney {};

}  // namespace

TEST_F(SealedDocument, SaveAsAsksTwiceAndF2SealsAgainUnderTheKeptKeyWithANewNonce) {
    // A password and a text that no code page holds; the NUL symbol goes to disk as NUL.
    const Text password = u"\U0001F511\u043a\u043b\u044e\u0447";
    const Text text = u"\u0e17\u0e14\u0e2a\u0e2d\u0e1a caf\u00e9 \u6f22\u5b57 \U0001F600\u2400end";
    s.box().SetText(text);
    s.fp.dialogs.ChooseNext(u"C:\\docs\\memo.txse");
    prompts.inputAnswers = {password, password};
    editor.OnFileMenu(kMenuSaveAs);
    EXPECT_EQ(prompts.inputs.size(), 2u);
    EXPECT_TRUE(prompts.messages.empty());  // no "?" question: every character is kept
    EXPECT_EQ(s.document().Name(), u"C:\\docs\\memo.txse");
    const Bytes first = files.Get(u"C:\\docs\\memo.txse");
    const Bytes utf8 =
        "\xE0\xB8\x97\xE0\xB8\x94\xE0\xB8\xAA\xE0\xB8\xAD\xE0\xB8\x9A caf\xC3\xA9 "
        "\xE6\xBC\xA2\xE5\xAD\x97 \xF0\x9F\x98\x80" +
        Bytes(1, '\0') + "end";
    EXPECT_EQ(Unseal(first, base::ToUtf8(password)), utf8);
    EXPECT_EQ(first.substr(10, 4), Bytes("\xC0\x27\x09\x00", 4));  // 600,000 iterations
    EXPECT_EQ(crypto.derivations, 1);

    s.box().SetSel(static_cast<int32_t>(text.size()), 0);
    s.box().Type(u"!");
    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(prompts.inputs.size(), 2u);
    EXPECT_EQ(crypto.derivations, 1);  // the kept key, not a new derivation
    const Bytes second = files.Get(u"C:\\docs\\memo.txse");
    EXPECT_EQ(second.substr(0, 30), first.substr(0, 30));    // same salt
    EXPECT_NE(second.substr(30, 12), first.substr(30, 12));  // fresh nonce
    EXPECT_EQ(Unseal(second, base::ToUtf8(password)), utf8 + "!");
    EXPECT_FALSE(editor.CurrentDocument().modified);

    // Reopened after New (password forgotten): asked once, the NUL shown as its symbol again.
    editor.OnFileMenu(kMenuNew);
    prompts.inputAnswers = {password};
    ASSERT_TRUE(editor.SecureOpen(u"C:\\docs\\memo.txse"));
    EXPECT_EQ(s.box().text, text + u"!");
    EXPECT_EQ(prompts.inputs.size(), 3u);
    EXPECT_EQ(s.document().Password(), password);

    // Sealed from the box's own text, no copy of it made; an unpaired surrogate is asked about first, and
    // "No" writes nothing.
    s.box().SetSel(0, static_cast<int32_t>(s.box().text.size()));
    s.box().Type(u"\u6f22 \xD800.");
    const int copies = s.box().copies;
    prompts.msgAnswers = {MsgResult::No};
    editor.OnTextKeyDown(0, kKeyF2, 0);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(Unseal(files.Get(u"C:\\docs\\memo.txse"), base::ToUtf8(password)), utf8 + "!");
    EXPECT_TRUE(editor.CurrentDocument().modified);
    prompts.msgAnswers = {MsgResult::Yes};
    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(Unseal(files.Get(u"C:\\docs\\memo.txse"), base::ToUtf8(password)),
              "\xE6\xBC\xA2 \xEF\xBF\xBD.");
    EXPECT_FALSE(editor.CurrentDocument().modified);
    EXPECT_EQ(s.box().copies, copies);
    EXPECT_EQ(prompts.inputs.size(), 3u);

    // The cryptography fails half-way: the user is told, the file on disk is the last one saved, nothing
    // else is left on the disk, and the document stays modified. Then F2 saves under the same kept key.
    const Bytes saved = files.Get(u"C:\\docs\\memo.txse");
    const size_t filesBefore = files.files.size();
    s.box().SetSel(0, static_cast<int32_t>(s.box().text.size()));
    s.box().Type(u"sealed \u0e01");
    crypto.failSeal = true;
    prompts.messages.clear();
    editor.OnTextKeyDown(0, kKeyF2, 0);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, protect::kNotSavedMessage);
    EXPECT_EQ(files.Get(u"C:\\docs\\memo.txse"), saved);
    EXPECT_EQ(files.files.size(), filesBefore);
    EXPECT_TRUE(editor.CurrentDocument().modified);
    crypto.failSeal = false;
    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(Unseal(files.Get(u"C:\\docs\\memo.txse"), base::ToUtf8(password)), "sealed \xE0\xB8\x81");
    EXPECT_FALSE(editor.CurrentDocument().modified);
    EXPECT_EQ(crypto.derivations, 2);
}

TEST_F(SealedDocument, RefusedFilesSayWhyAndLeaveTheDocumentAsItWas) {
    const Bytes letter = Fixture("letter.txse");
    ASSERT_FALSE(letter.empty());
    auto changed = [&](size_t at, char value) {
        Bytes b = letter;
        b[at] = value;
        return b;
    };
    Bytes iterations50 = letter;
    iterations50.replace(10, 4, Bytes("\x32\0\0\0", 4));
    Bytes iterations2p31 = letter;
    iterations2p31.replace(10, 4, Bytes("\0\0\0\x80", 4));
    const struct {
        Bytes file;
        Text answer;  // the password typed, when one is asked
        protect::SealedStatus why;
    } cases[] = {
        {letter, u"wrong", protect::SealedStatus::WrongPassword},
        {changed(100, static_cast<char>(letter[100] ^ 4)), u"\u0e23\u0e2b\u0e31\u0e2a-Cl\u00e9-7",
         protect::SealedStatus::WrongPassword},
        {letter.substr(0, letter.size() - 1), u"\u0e23\u0e2b\u0e31\u0e2a-Cl\u00e9-7",
         protect::SealedStatus::WrongPassword},
        {letter.substr(0, 57), u"", protect::SealedStatus::NotSealed},
        {changed(8, 2), u"", protect::SealedStatus::UnknownVersion},
        {iterations50, u"", protect::SealedStatus::BadIterations},
        {iterations2p31, u"", protect::SealedStatus::BadIterations},
        {"plain words", u"", protect::SealedStatus::NotSealed},
    };
    s.Name(u"C:\\mine.txt");
    s.box().SetText(u"my unsaved words");
    for (const auto& c : cases) {
        files.Put(u"C:\\in.txse", c.file);
        prompts.messages.clear();
        prompts.inputs.clear();
        prompts.inputAnswers = {c.answer};
        EXPECT_FALSE(editor.SecureOpen(u"C:\\in.txse"));
        EXPECT_EQ(prompts.inputs.size(), c.answer.empty() ? 0u : 1u);  // no password before the header holds
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, protect::SealedMessage(c.why));
        EXPECT_EQ(s.box().text, u"my unsaved words");
        EXPECT_EQ(s.document().Name(), u"C:\\mine.txt");
        EXPECT_TRUE(s.document().Password().empty());
        EXPECT_TRUE(editor.CurrentDocument().modified);
        EXPECT_EQ(files.Get(u"C:\\in.txse"), c.file);
    }
    // The right password opens the Python-written file, byte for byte.
    files.Put(u"C:\\in.txse", letter);
    prompts.inputAnswers = {u"\u0e23\u0e2b\u0e31\u0e2a-Cl\u00e9-7"};
    ASSERT_TRUE(editor.SecureOpen(u"C:\\in.txse"));
    Text shown = s.box().text;
    base::RestoreNuls(shown);
    EXPECT_EQ(base::ToUtf8(shown), Fixture("letter.txt"));
}

TEST_F(SealedDocument, SavesAreSealedOnTheDiskThreadAndLandOnlyWhereNoLaterSaveOrDocumentHas) {
    const Text path = u"C:\\docs\\memo.txse", password = u"pw \u0e01";
    const auto onDisk = [&] { return Unseal(files.Get(path), base::ToUtf8(password)); };
    const size_t filesBefore = files.files.size();
    FakeJobs& disk = s.fp.diskJobs;
    disk.hold = true;

    // Save As: the window asks the new password twice and goes on; the key is derived, the text sealed and
    // written on the disk's thread; the document takes the name once the file is in place.
    s.box().SetText(u"one");
    dialogs.ChooseNext(path);
    prompts.inputAnswers = {password, password};
    editor.OnFileMenu(kMenuSaveAs);
    ASSERT_EQ(disk.Pending(), 1u);
    EXPECT_EQ(crypto.derivations, 0);
    EXPECT_EQ(files.files.size(), filesBefore);
    EXPECT_TRUE(s.document().Untitled());
    disk.CompleteAll();
    EXPECT_EQ(crypto.derivations, 1);
    ASSERT_EQ(onDisk(), "one");
    EXPECT_EQ(caption, u"memo.txse - Lockleaf 1.0");
    const size_t filesSaved = files.files.size();

    // The window goes on at once; the file's memory is made on the disk's thread, the text read into it on
    // the window's, sealed and written beside the document on the disk's, and put in its place back on the
    // window's, which then marks it saved.
    s.box().SetSel(3, 3);
    s.box().Type(u" two");
    F2();
    ASSERT_EQ(disk.Pending(), 1u);
    EXPECT_EQ(caption, u"memo.txse * - Lockleaf 1.0");
    disk.CompleteNext();
    const auto place = disk.RunNext();
    EXPECT_EQ(onDisk(), "one");
    EXPECT_EQ(files.files.size(), filesSaved + 1);
    place();
    EXPECT_EQ(onDisk(), "one two");
    EXPECT_EQ(files.files.size(), filesSaved);
    EXPECT_EQ(caption, u"memo.txse - Lockleaf 1.0");
    EXPECT_EQ(crypto.derivations, 1);

    // Typed while it was on its way: the file holds the text as it was read, and the document stays modified.
    s.box().Type(u" three");
    F2();
    disk.CompleteNext();
    s.box().Type(u" four");
    disk.CompleteAll();
    EXPECT_EQ(onDisk(), "one two three");
    EXPECT_TRUE(editor.CurrentDocument().modified);

    // The encryption fails on the disk's thread: the user is told, the file and the mark stay, nothing is
    // left beside it.
    crypto.failSeal = true;
    F2();
    disk.CompleteAll();
    crypto.failSeal = false;
    EXPECT_EQ(LastMessage(), protect::kNotSavedMessage);
    EXPECT_EQ(onDisk(), "one two three");
    EXPECT_EQ(files.files.size(), filesSaved);
    EXPECT_EQ(caption, u"memo.txse * - Lockleaf 1.0");

    // Locked before the file's memory was ready: the box now empty is not read, the file stays, and the
    // lock's snapshot keeps the work; the password brings it back.
    F2();
    editor.Form_SessionLock();
    ASSERT_TRUE(editor.Locked());
    disk.CompleteAll();
    EXPECT_EQ(onDisk(), "one two three");
    prompts.inputAnswers = {password};
    editor.OnTextInput(true);
    disk.CompleteAll();
    EXPECT_EQ(s.box().text, u"one two three four");
    EXPECT_EQ(caption, u"memo.txse * - Lockleaf 1.0");

    // An F2 overtaken by a save that lands first (New, and Yes to saving the changes, saves at once): it
    // does not put the older text back, and leaves nothing beside the file.
    F2();
    s.box().Type(u" five");
    prompts.messages.clear();
    prompts.msgAnswers = {MsgResult::Yes};
    editor.OnFileMenu(kMenuNew);
    EXPECT_EQ(onDisk(), "one two three four five");
    disk.CompleteAll();
    EXPECT_EQ(onDisk(), "one two three four five");
    EXPECT_EQ(files.files.size(), filesSaved);
    EXPECT_EQ(prompts.messages.size(), 1u);  // the question, and no failure
    EXPECT_TRUE(s.document().Untitled());
    EXPECT_FALSE(editor.CurrentDocument().modified);

    // Typed while a Save As was on its way: the document takes the file's name and key (F2 derives no other),
    // and stays modified.
    const Text other = u"C:\\docs\\other.txse";
    dialogs.ChooseNext(other);
    prompts.inputAnswers = {u"pw 2", u"pw 2"};
    editor.OnFileMenu(kMenuSaveAs);
    disk.CompleteNext();
    s.box().Type(u"six");
    disk.CompleteAll();
    EXPECT_EQ(Unseal(files.Get(other), "pw 2"), "");
    EXPECT_EQ(caption, u"other.txse * - Lockleaf 1.0");
    const int derived = crypto.derivations;
    F2();
    disk.CompleteAll();
    EXPECT_EQ(Unseal(files.Get(other), "pw 2"), "six");
    EXPECT_EQ(crypto.derivations, derived);

    // A document let go before its Save As lands (New, not saving it): the file is written as asked, but the
    // new document takes neither its name nor its key.
    s.box().Type(u" seven");
    dialogs.ChooseNext(u"C:\\docs\\third.txse");
    prompts.inputAnswers = {u"pw 3", u"pw 3"};
    editor.OnFileMenu(kMenuSaveAs);
    disk.CompleteNext();
    prompts.msgAnswers = {MsgResult::No};
    editor.OnFileMenu(kMenuNew);
    disk.CompleteAll();
    EXPECT_EQ(Unseal(files.Get(u"C:\\docs\\third.txse"), "pw 3"), "six seven");
    EXPECT_TRUE(s.document().Untitled());
    EXPECT_EQ(caption, u"Lockleaf 1.0");
    EXPECT_FALSE(editor.KeepsSealedKey());

    // An F2 overtaken by a save that lands first once its text was read (New, and Yes): the older file,
    // sealed and written after, is not put over the newer, and nothing is left beside it.
    const Text third = u"C:\\docs\\third.txse";
    prompts.inputAnswers = {u"pw 3"};
    Open(third);
    disk.CompleteAll();
    ASSERT_EQ(s.box().text, u"six seven");
    const size_t filesOpen = files.files.size();
    s.box().SetSel(9, 0);
    s.box().Type(u" eight");
    F2();
    disk.CompleteNext();  // its memory made and the text read into it: sealed and written next
    s.box().Type(u" nine");
    prompts.messages.clear();
    prompts.msgAnswers = {MsgResult::Yes};
    editor.OnFileMenu(kMenuNew);
    EXPECT_EQ(Unseal(files.Get(third), "pw 3"), "six seven eight nine");
    disk.CompleteAll();
    EXPECT_EQ(Unseal(files.Get(third), "pw 3"), "six seven eight nine");
    EXPECT_EQ(files.files.size(), filesOpen);
    EXPECT_EQ(prompts.messages.size(), 1u);  // the question, and no failure
}

TEST_F(SealedDocument, OpeningDerivesTheKeyOnTheDiskThreadWhileTheWindowTakesNoInput) {
    const Text path = u"C:\\docs\\memo.txse", password = u"pw \u0e01";
    s.box().SetText(u"sealed\u2400text");
    dialogs.ChooseNext(path);
    prompts.inputAnswers = {password, password};
    editor.OnFileMenu(kMenuSaveAs);
    editor.OnFileMenu(kMenuNew);
    FakeJobs& disk = s.fp.diskJobs;
    disk.hold = true;

    // The password is asked on the window's thread, the key derived and the file decrypted on the disk's;
    // meanwhile a key, a command or a drop does nothing, and the document shown stays.
    prompts.inputAnswers = {password};
    Open(path);
    ASSERT_EQ(disk.Pending(), 1u);
    EXPECT_EQ(crypto.derivations, 1);
    EXPECT_FALSE(editor.OnTextInput(true));
    prompts.inputAnswers = {u"x", u"x"};
    F2();
    editor.OnFileMenu(kMenuSaveAs);
    editor.OnFilesDropped(0, {u"C:\\docs\\other.txt"}, kDropEffectAll);
    EXPECT_EQ(disk.Pending(), 1u);
    EXPECT_EQ(prompts.inputs.size(), 3u);
    EXPECT_EQ(caption, u"Lockleaf 1.0");
    disk.CompleteAll();
    EXPECT_EQ(crypto.derivations, 2);
    EXPECT_EQ(s.box().text, u"sealed\u2400text");
    EXPECT_EQ(caption, u"memo.txse - Lockleaf 1.0");
    EXPECT_TRUE(editor.OnTextInput(true));
    F2();  // under the key the open derived
    disk.CompleteAll();
    EXPECT_EQ(crypto.derivations, 2);
    EXPECT_FALSE(editor.CurrentDocument().modified);

    // A wrong password is told when the derivation is done; the document shown stays, and takes input again.
    editor.OnFileMenu(kMenuNew);
    prompts.inputAnswers = {u"wrong"};
    Open(path);
    disk.CompleteAll();
    EXPECT_EQ(LastMessage(), protect::SealedMessage(protect::SealedStatus::WrongPassword));
    EXPECT_EQ(caption, u"Lockleaf 1.0");
    EXPECT_TRUE(editor.OnTextInput(true));

    // The text shown changed meanwhile (the Find window's Replace All, another program): it stays, and the
    // open is refused rather than put over it.
    prompts.inputAnswers = {password};
    Open(path);
    s.box().SetText(u"changed meanwhile");
    disk.CompleteAll();
    EXPECT_EQ(LastMessage(), protect::kNotOpenedMessage);
    EXPECT_EQ(s.box().text, u"changed meanwhile");
    EXPECT_TRUE(editor.CurrentDocument().modified);
}
