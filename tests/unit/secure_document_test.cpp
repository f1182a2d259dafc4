#include "protect/secure_document.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/codepage.h"
#include "base/unicode.h"
#include "base/whole_file.h"
#include "fakes/journey.h"
#include "protect/cipher.h"

namespace {

Bytes Protected(const Text& password, const Text& text) {
    Bytes file;
    protect::MaskDocument(password, text, file);
    return file;
}

struct DocumentJourney : EditorJourney {
    // A document as a completed load leaves it, then edited once.
    void Edited(const Text& name, const Text& text) {
        s.Name(name);
        s.box().SetText(text);
        s.box().SetSel(static_cast<int32_t>(text.size()), 0);
    }
    std::vector<Text> MessagesShown() const {
        std::vector<Text> t;
        for (const auto& m : prompts.messages) t.push_back(m.text);
        return t;
    }
    size_t FileCount() const { return files.files.size(); }
};

const std::vector<Text> kNotSaved = {u"Your file has NOT been saved."};
const std::vector<Text> kNotOpened = {u"Your file has NOT been opened."};

}  // namespace

// ---- opening ----

TEST_F(DocumentJourney, PlainFileLoadsAsAnUneditedDocument) {
    files.Put(u"C:\\docs\\notes.txt", "one\r\ntwo \xA1");
    s.box().Type(u"edited");
    editor.SecureOpen(u"C:\\docs\\notes.txt");
    EXPECT_EQ(s.box().text, u"one\r\ntwo \u0e01");
    EXPECT_FALSE(editor.CurrentDocument().modified);
    EXPECT_EQ(s.host.window.caption, u"notes.txt - Lockleaf 1.0");
    EXPECT_TRUE(prompts.inputs.empty());
}

TEST_F(DocumentJourney, MissingUnreadableOrTooLargeFilesLeaveTheEditorAsItWasAndAnEmptyOneOpensEmpty) {
    files.Put(u"C:\\empty.txs", "");
    files.Put(u"C:\\broken.txt", "half of this arrives");
    files.unreadable.insert(FakeFiles::Key(u"C:\\broken.txt"));
    files.Put(u"C:\\huge.txs", Protected(u"pw", u"x"));
    files.tooLarge.insert(FakeFiles::Key(u"C:\\huge.txs"));
    const struct {
        const char16_t* name;
        const char16_t* message;
    } cases[] = {{u"C:\\missing.txs", protect::kMissingMessage},
                 {u"C:\\broken.txt", protect::kNotOpenedMessage},
                 {u"C:\\huge.txs", protect::kNotOpenedMessage}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        prompts.messages.clear();
        Edited(u"C:\\before.txt", u"kept");
        s.box().Type(u"!");
        s.document().SetPassword(u"remembered");
        s.host.window.caption = u"caption";
        EXPECT_FALSE(editor.SecureOpen(c.name));
        EXPECT_EQ(s.box().text, u"kept!");
        EXPECT_TRUE(editor.CurrentDocument().modified);
        EXPECT_EQ(s.document().Password(), u"remembered");
        EXPECT_EQ(s.document().Name(), u"C:\\before.txt");
        EXPECT_EQ(s.host.window.caption, u"caption");
        EXPECT_EQ(MessagesShown(), std::vector<Text>{c.message});
    }
    EXPECT_TRUE(prompts.inputs.empty());
    EXPECT_TRUE(editor.SecureOpen(u"C:\\empty.txs"));
    EXPECT_EQ(s.box().text, u"");
    EXPECT_FALSE(editor.CurrentDocument().modified);
    EXPECT_EQ(s.host.window.caption, u"empty.txs - Lockleaf 1.0");
}

TEST_F(DocumentJourney, AFileThatCannotBeReadIsNeverOverwrittenByTheDocumentStillShown) {
    files.Put(u"C:\\docs\\report.txt", "their report");
    files.unreadable.insert(FakeFiles::Key(u"C:\\docs\\report.txt"));
    files.Put(u"C:\\docs\\mine.txt", "mine");
    editor.SecureOpen(u"C:\\docs\\mine.txt");
    s.box().SetSel(4, 0);
    s.box().Type(u" edited");

    // Through File > Open and through a drop.
    s.fp.dialogs.ChooseNext(u"C:\\docs\\report.txt");
    editor.OnFileMenu(kMenuOpen);
    EXPECT_EQ(s.document().Name(), u"C:\\docs\\mine.txt");
    EXPECT_EQ(s.host.window.caption, u"mine.txt * - Lockleaf 1.0");
    editor.OnFilesDropped(0, {u"C:\\docs\\report.txt"}, kDropEffectAll);
    EXPECT_EQ(s.document().Name(), u"C:\\docs\\mine.txt");
    const auto shown = MessagesShown();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), kNotOpened[0]), 2);
    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(files.Get(u"C:\\docs\\report.txt"), "their report");
    EXPECT_EQ(files.Get(u"C:\\docs\\mine.txt"), "mine edited");
}

TEST_F(DocumentJourney, RememberedPasswordOpensWithoutAPrompt) {
    files.Put(u"C:\\a.txs", Protected(u"pw", u"secret text"));
    s.document().SetPassword(u"pw");
    editor.SecureOpen(u"C:\\a.txs");
    EXPECT_EQ(s.box().text, u"secret text");
    EXPECT_TRUE(prompts.inputs.empty());
    EXPECT_EQ(s.host.window.caption, u"a.txs - Lockleaf 1.0");
}

TEST_F(DocumentJourney, APlainDocumentByOpenDropOrSaveAsForgetsThePasswordOfTheProtectedOneItReplaces) {
    files.Put(u"C:\\a.txs", Protected(u"pw", u"secret text"));
    files.Put(u"C:\\b.txs", Protected(u"pw", u"more"));
    files.Put(u"C:\\p.txt", "plain");
    prompts.inputAnswers = {u"pw"};
    ASSERT_TRUE(editor.SecureOpen(u"C:\\a.txs"));
    EXPECT_EQ(s.document().Password(), u"pw");
    ASSERT_TRUE(editor.SecureOpen(u"C:\\p.txt"));
    EXPECT_EQ(s.document().Password(), u"");
    // The next protected document is asked for, not opened by the password of one that is gone.
    prompts.inputAnswers = {u"pw"};
    ASSERT_TRUE(editor.SecureOpen(u"C:\\b.txs"));
    EXPECT_EQ(prompts.inputs.size(), 2u);
    EXPECT_EQ(s.document().Password(), u"pw");
    editor.OnFilesDropped(0, {u"C:\\p.txt"}, kDropEffectAll);
    EXPECT_EQ(s.box().text, u"plain");
    EXPECT_EQ(s.document().Password(), u"");
    // Saved as a plain file, the protected document is plain from then on: its password goes too, and the
    // next protected one asks again.
    prompts.inputAnswers = {u"pw"};
    ASSERT_TRUE(editor.SecureOpen(u"C:\\b.txs"));
    s.fp.dialogs.ChooseNext(u"C:\\copy.txt", 3);
    ASSERT_TRUE(editor.SaveAs());
    EXPECT_EQ(files.Get(u"C:\\copy.txt"), "more");
    EXPECT_EQ(s.document().Name(), u"C:\\copy.txt");
    EXPECT_EQ(s.document().Password(), u"");
    prompts.inputs.clear();
    prompts.inputAnswers = {u"pw"};
    ASSERT_TRUE(editor.SecureOpen(u"C:\\a.txs"));
    EXPECT_EQ(prompts.inputs.size(), 1u);
}

TEST_F(DocumentJourney, OtherPasswordAsksOnceAndTheRightAnswerOpens) {
    files.Put(u"C:\\b.TXS", Protected(u"other", u"text"));  // the extension in capitals is protected too
    s.document().SetPassword(u"pw");
    prompts.inputAnswers = {u"other"};
    editor.SecureOpen(u"C:\\b.TXS");
    EXPECT_EQ(prompts.inputs, std::vector<Text>{u"Please enter PASSWORD !"});
    EXPECT_EQ(s.box().text, u"text");
    EXPECT_EQ(s.document().Password(), u"other");
}

TEST_F(DocumentJourney, WrongAnswerCancelOrACaseDifferenceKeepTheDocumentShownUnsavedEditsAndAll) {
    files.Put(u"C:\\c.txs", Protected(u"Other", u"text"));
    for (const Text answer : {u"other", u"wrong", u""}) {
        Edited(u"C:\\prev.txs", u"before");
        s.document().SetPassword(u"prevpw");
        prompts.inputs.clear();
        prompts.messages.clear();
        prompts.inputAnswers = {answer};
        editor.SecureOpen(u"C:\\c.txs");
        EXPECT_EQ(prompts.inputs.size(), 1u);
        EXPECT_EQ(MessagesShown(), kNotOpened);
        EXPECT_EQ(s.box().text, u"before");
        EXPECT_EQ(s.document().Name(), u"C:\\prev.txs");
        EXPECT_EQ(s.document().Password(), u"prevpw");
        EXPECT_TRUE(editor.CurrentDocument().modified);
        EXPECT_EQ(s.host.window.caption, u"prev.txs * - Lockleaf 1.0");
    }
    EXPECT_EQ(files.Get(u"C:\\c.txs"), Protected(u"Other", u"text"));  // the file is not touched
}

TEST_F(DocumentJourney, NameWithoutAPointIsPlainEvenWhenItsBytesLookMasked) {
    const Bytes masked = Protected(u"pw", u"x");
    files.Put(u"C:\\docs.txs\\README", masked);
    editor.SecureOpen(u"C:\\docs.txs\\README");
    EXPECT_EQ(s.box().text, base::FromCodePage(masked));
    EXPECT_TRUE(prompts.inputs.empty());
}

// ---- saving ----

TEST_F(DocumentJourney, FiveCharactersUnderAThreeCharacterPasswordGiveEightBytesAndReopen) {
    Edited(u"C:\\n.txs", u"hello");
    s.document().SetPassword(u"abc");
    editor.SecureSave(false);
    EXPECT_TRUE(prompts.inputs.empty());
    EXPECT_EQ(files.Get(u"C:\\n.txs").size(), 8u);
    EXPECT_FALSE(editor.CurrentDocument().modified);
    EXPECT_EQ(s.host.window.caption, u"n.txs - Lockleaf 1.0");

    s.box().SetText(u"something else");
    editor.SecureOpen(u"C:\\n.txs");
    EXPECT_EQ(s.box().text, u"hello");
    EXPECT_EQ(s.host.window.caption, u"n.txs - Lockleaf 1.0");
}

TEST_F(DocumentJourney, EmptyDocumentIsTheMaskedPasswordAloneAndSavesAreRepeatable) {
    Edited(u"C:\\e.txs", u"");
    prompts.inputAnswers = {u"pass", u"pass"};
    editor.SecureSave(false);  // no password yet: a new one, typed twice
    EXPECT_EQ(prompts.inputs.size(), 2u);
    EXPECT_EQ(files.Get(u"C:\\e.txs"), Protected(u"pass", u""));
    EXPECT_EQ(files.Get(u"C:\\e.txs").size(), 4u);

    s.box().SetText(u"same text");
    editor.SecureSave(false);
    const Bytes first = files.Get(u"C:\\e.txs");
    editor.SecureSave(false);
    EXPECT_EQ(files.Get(u"C:\\e.txs"), first);
    EXPECT_EQ(prompts.inputs.size(), 2u);  // the remembered password is used
    EXPECT_EQ(FileCount(), 1u);            // no temporary file is left behind
}

TEST_F(DocumentJourney, SaveAsAsksEvenWithARememberedPassword) {
    Edited(u"C:\\f.txs", u"text");
    s.document().SetPassword(u"old");
    prompts.inputAnswers = {u"new", u"new"};
    editor.SecureSave(true);
    EXPECT_EQ(s.document().Password(), u"new");
    EXPECT_EQ(files.Get(u"C:\\f.txs"), Protected(u"new", u"text"));
}

TEST_F(DocumentJourney, CancelledPasswordWritesNothingAndKeepsNameAndPassword) {
    files.Put(u"C:\\g.txs", "old bytes");
    Edited(u"C:\\g.txs", u"text");
    s.box().Type(u"!");
    s.document().SetPassword(u"pw");
    editor.SecureSave(true);  // a new password asked for, and cancelled
    EXPECT_EQ(MessagesShown(), kNotSaved);
    EXPECT_EQ(s.document().Name(), u"C:\\g.txs");
    EXPECT_EQ(s.document().Password(), u"pw");
    EXPECT_EQ(files.Get(u"C:\\g.txs"), "old bytes");
    EXPECT_TRUE(editor.CurrentDocument().modified);
    EXPECT_EQ(s.box().text, u"text!");
}

TEST_F(DocumentJourney, PlainSaveWritesTheCodePageBytesAndOnlyWhenTheUserAgreesCharactersAsQuestionMarks) {
    Edited(u"C:\\p.txt", u"a\u0e01\u00e9\r\n");
    editor.SecureSave(false);
    EXPECT_EQ(files.Get(u"C:\\p.txt"), "a\xA1?\r\n");
    EXPECT_FALSE(editor.CurrentDocument().modified);
    EXPECT_TRUE(prompts.inputs.empty());
    ASSERT_EQ(prompts.messages.size(), 1u);
    // The way out that keeps every character is offered too (the fake answers "Save with "?"").
    EXPECT_EQ(prompts.messages[0].buttons, MsgButtons::Utf8QuestionMarksCancel);
}

TEST_F(DocumentJourney, UntitledDocumentIsSavedThroughSaveAs) {
    Edited(u"", u"text");
    s.document().SetPassword(u"pw");
    editor.OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(s.fp.dialogs.saved.size(), 1u);
    EXPECT_TRUE(files.files.empty());  // the dialog was cancelled
    EXPECT_TRUE(prompts.inputs.empty());
    EXPECT_TRUE(prompts.messages.empty());
}

// ---- saving when the disk does not cooperate: the old file always survives ----

struct FailedSave : DocumentJourney {
    void SetUp() override {
        files.Put(u"C:\\docs\\h.txs", "previous");
        Edited(u"C:\\docs\\h.txs", u"new text");
        s.box().Type(u"!");
        s.document().SetPassword(u"pw");
    }
    void ExpectNothingChanged() {
        EXPECT_EQ(files.Get(u"C:\\docs\\h.txs"), "previous");
        EXPECT_EQ(FileCount(), 1u);  // the temporary file is gone
        EXPECT_TRUE(editor.CurrentDocument().modified);
        EXPECT_EQ(s.host.window.caption, u"h.txs * - Lockleaf 1.0");
        EXPECT_EQ(MessagesShown(), kNotSaved);
        EXPECT_EQ(s.document().Name(), u"C:\\docs\\h.txs");
    }
};

TEST_F(FailedSave, DiskFullDuringTheWrite) {
    files.diskSpace = 3;
    editor.SecureSave(false);
    ExpectNothingChanged();
}

TEST_F(FailedSave, NoTemporaryFileCanBeMade) {
    files.failCreateTemp = true;
    editor.SecureSave(false);
    ExpectNothingChanged();
}

TEST_F(FailedSave, ReplaceRefused) {
    files.failReplace = true;
    editor.SecureSave(false);
    ExpectNothingChanged();
}

TEST_F(FailedSave, ReadOnlyTarget) {
    files.readOnly.insert(FakeFiles::Key(u"C:\\docs\\h.txs"));
    editor.SecureSave(false);
    ExpectNothingChanged();
}

TEST_F(FailedSave, OldFileLostHalfWayKeepsTheNewOneAndSaysWhere) {
    // The file system removed the old file but could not give the new one its name, nor could the move after.
    files.replaceKeepsReplacement = files.failMove = true;
    editor.SecureSave(false);
    EXPECT_FALSE(files.FileExists(u"C:\\docs\\h.txs"));
    ASSERT_EQ(FileCount(), 1u);
    const Text kept = files.files.begin()->first;
    EXPECT_EQ(files.Get(kept), Protected(u"pw", u"new text!"));  // masked, as the document would have been
    EXPECT_TRUE(files.readOnly.count(kept));
    ASSERT_EQ(prompts.messages.size(), 1u);
    const Text& said = prompts.messages[0].text;
    EXPECT_TRUE(said.starts_with(protect::kNotSavedMessage)) << base::ToCodePage(said);
    EXPECT_NE(FakeFiles::Key(said).find(u"\r\n" + kept + u"\r\n"), Text::npos) << base::ToCodePage(said);
    EXPECT_NE(said.find(u"h.txs"), Text::npos);
    EXPECT_TRUE(editor.CurrentDocument().modified);
    EXPECT_EQ(s.document().Name(), u"C:\\docs\\h.txs");
}

TEST(WholeFile, ATargetLostHalfWayIsFinishedByMovingTheTempIntoPlace) {
    // Whether the replace says the target is gone or only fails: what counts is that the name is empty.
    struct LosesTarget : FakeFiles {
        ReplaceResult Replace(const Text& target, const Text&) override {
            files.erase(Key(target));
            return ReplaceResult::Failed;
        }
    };
    FakeFiles kept;
    LosesTarget failed;
    for (FakeFiles* files : {&kept, static_cast<FakeFiles*>(&failed)}) {
        files->Put(u"C:\\d\\x.txt", "old");
        files->replaceKeepsReplacement = true;
        Text where = u"untouched";
        EXPECT_TRUE(base::WriteWholeBytes(*files, u"C:\\d\\x.txt", "new", &where));
        EXPECT_EQ(files->Get(u"C:\\d\\x.txt"), "new");
        EXPECT_EQ(files->files.size(), 1u);
        EXPECT_EQ(where, u"untouched");
    }
}

TEST(WholeFile, LeftoversOfCutOffSavesGoToTheRecycleBinAndAnOnlyCopyNeverMoves) {
    FakeFiles files;
    files.Put(u"C:\\d\\x.txt", "old");
    files.Put(u"C:\\d\\y.txt", "old why");
    const int64_t twoHoursAgo = files.clock - 2 * 3600;
    // Each temp is named after its document; the five digits are any.
    const Text cutOff = u"C:\\d\\~ll0A1B2.y.txt.tmp",  // y.txt is there: a cut-off save's leftover
        inProgress = u"C:\\d\\~ll0A1B3.y.txt.tmp",     // another instance's save, a minute old
        orphan = u"C:\\d\\~ll0A1B4.gone.txt.tmp",      // its document is gone: maybe the only copy
        anonymous = u"C:\\d\\~ll0A1B5.tmp",            // an earlier editor's: whose, nobody knows
        noStamp = u"C:\\d\\~ll0A1B6.y.txt.tmp",        // a file system that keeps no time
        unixEpoch = u"C:\\d\\~ll0A1B7.y.txt.tmp",      // a stamp of 1970
        future = u"C:\\d\\~ll0A1B8.y.txt.tmp",         // written "later" by a clock ahead of the disk's
        marked = u"C:\\d\\~ll0A1B9.y.txt.tmp",         // kept by an earlier editor as an only copy
        notHex = u"C:\\d\\~llZZZZZ.y.txt.tmp", notTemp = u"C:\\d\\~ll0A1BA.y.txt",
               sub = u"C:\\d\\s\\~ll0A1BB.y.txt.tmp", elsewhere = u"C:\\e\\~ll0A1BC.y.txt.tmp";
    const std::vector<Text> leftovers = {cutOff, inProgress, orphan, anonymous, noStamp, unixEpoch,
                                         future, marked,     notHex, notTemp,   sub,     elsewhere};
    for (const Text& leftover : leftovers) {
        files.Put(leftover, "half a save");
        files.written[FakeFiles::Key(leftover)] = twoHoursAgo;
    }
    files.written[FakeFiles::Key(inProgress)] = files.clock - 60;
    files.written[FakeFiles::Key(noStamp)] = 0;
    files.written[FakeFiles::Key(unixEpoch)] = 11'644'473'600;
    files.written[FakeFiles::Key(future)] = files.clock + 3 * 3600;
    files.readOnly.insert(FakeFiles::Key(marked));
    const auto stillThere = [&](const std::vector<Text>& expected) {
        for (const Text& f : expected) EXPECT_EQ(files.Get(f), "half a save") << base::ToCodePage(f);
    };

    // A failed save sweeps nothing.
    files.failReplace = true;
    EXPECT_FALSE(base::WriteWholeFile(files, u"C:\\d\\x.txt", u"new"));
    EXPECT_EQ(files.files.size(), 2 + leftovers.size());

    // The old file gone and the new one left under its temporary name: kept, named, and an hour later still
    // where it was, since it is all that is left of x.txt.
    files.failReplace = false;
    files.replaceKeepsReplacement = files.failMove = true;
    Text onlyCopy;
    EXPECT_FALSE(base::WriteWholeBytes(files, u"C:\\d\\x.txt", "new", &onlyCopy));
    EXPECT_FALSE(files.FileExists(u"C:\\d\\x.txt"));
    EXPECT_EQ(files.Get(onlyCopy), "new");
    EXPECT_TRUE(onlyCopy.starts_with(u"C:\\d\\~ll")) << base::ToCodePage(onlyCopy);
    EXPECT_TRUE(onlyCopy.ends_with(u".x.txt.tmp")) << base::ToCodePage(onlyCopy);
    ASSERT_EQ(files.files.size(), 2 + leftovers.size());
    files.written[FakeFiles::Key(onlyCopy)] = twoHoursAgo;
    files.readOnly.erase(FakeFiles::Key(onlyCopy));  // a file system that does not keep the mark

    // The next completed save in that folder sends only the cut-off save's temp to the Recycle Bin, where the
    // user can still get it back; nothing is deleted.
    files.replaceKeepsReplacement = files.failMove = false;
    files.clock += 60;
    EXPECT_TRUE(base::WriteWholeFile(files, u"C:\\d\\z.txt", u"zed"));
    EXPECT_EQ(files.Get(u"C:\\d\\z.txt"), "zed");
    EXPECT_FALSE(files.FileExists(cutOff));
    EXPECT_EQ(files.recycleBin, (std::map<Text, Bytes>{{FakeFiles::Key(cutOff), "half a save"}}));
    stillThere(
        {inProgress, orphan, anonymous, noStamp, unixEpoch, future, marked, notHex, notTemp, sub, elsewhere});
    EXPECT_EQ(files.Get(onlyCopy), "new");
    EXPECT_EQ(files.files.size(), 2 + leftovers.size());  // z.txt came, the cut-off temp went to the bin

    // A drive without a Recycle Bin (a share, a removable drive) keeps its leftovers, even old ones.
    files.noRecycleBin = true;
    files.clock += 2 * 3600;
    EXPECT_TRUE(base::WriteWholeFile(files, u"C:\\d\\z.txt", u"zed 2"));
    EXPECT_EQ(files.recycleBin.size(), 1u);
    stillThere(
        {inProgress, orphan, anonymous, noStamp, unixEpoch, future, marked, notHex, notTemp, sub, elsewhere});
    EXPECT_EQ(files.Get(onlyCopy), "new");

    // Once x.txt is back, its old temp is a leftover like any other.
    files.noRecycleBin = false;
    files.Put(u"C:\\d\\x.txt", "restored");
    EXPECT_TRUE(base::WriteWholeFile(files, u"C:\\d\\z.txt", u"zed 3"));
    EXPECT_EQ(files.recycleBin.count(FakeFiles::Key(onlyCopy)), 1u);
    EXPECT_EQ(files.recycleBin.count(FakeFiles::Key(inProgress)), 1u);  // two hours on, it is old too
    stillThere({orphan, anonymous, noStamp, unixEpoch, future, marked, notHex, notTemp, sub, elsewhere});
}

TEST(WholeFile, NewFileIsMovedIntoPlaceAndTheTempIsMadeInTheSameFolder) {
    FakeFiles files;
    EXPECT_TRUE(base::WriteWholeFile(files, u"C:\\d\\new.txt", u"abc"));
    EXPECT_EQ(files.Get(u"C:\\d\\new.txt"), "abc");
    EXPECT_EQ(files.files.size(), 1u);
    files.failMove = true;
    EXPECT_FALSE(base::WriteWholeFile(files, u"C:\\d\\other.txt", u"abc"));
    EXPECT_EQ(files.files.size(), 1u);
    files.failMove = false;
    EXPECT_TRUE(base::WriteWholeFile(files, u"C:\\root.txt", u"r"));
    EXPECT_EQ(files.Get(u"C:\\root.txt"), "r");
}

TEST(WholeFile, TempFolderIsTheTargetsFolder) {
    struct Recording : FakeFiles {
        std::vector<Text> folders, tails;
        Text CreateTempFile(const Text& folder, const Text& tail) override {
            folders.push_back(folder);
            tails.push_back(tail);
            return FakeFiles::CreateTempFile(folder, tail);
        }
    } files;
    base::WriteWholeFile(files, u"C:\\d\\x.txt", u"a");
    base::WriteWholeFile(files, u"C:\\x.txt", u"a");
    base::WriteWholeFile(files, u"x.txt", u"a");
    const Text longest(242, u'n'), tooLong(243, u'n');  // the temp's name may have 255 characters
    base::WriteWholeFile(files, u"C:\\" + longest, u"a");
    base::WriteWholeFile(files, u"C:\\" + tooLong, u"a");
    EXPECT_EQ(files.folders, (std::vector<Text>{u"C:\\d\\", u"C:\\", u".\\", u"C:\\", u"C:\\"}));
    EXPECT_EQ(files.tails, (std::vector<Text>{u".x.txt.tmp", u".x.txt.tmp", u".x.txt.tmp",
                                              u"." + longest + u".tmp", u".tmp"}));
}

// A save looks at the box's text twice, asking its questions in between: a text that is not the same at the
// second look (the modal dialogs keep the user from it, but a box could lend another) is written by no kind,
// and the user is told.
TEST_F(DocumentJourney, ASaveWhoseTextChangedBetweenItsLooksWritesNothing) {
    DocumentStore store(files, prompts, s.fp.crypto, app::kLargestDocument);
    for (const Text& path : {Text(u"C:\\p.txt"), Text(u"C:\\m.txs"), Text(u"C:\\s.txse")}) {
        SCOPED_TRACE(base::ToUtf8(path));
        files.Put(path, "old");
        int looks = 0;
        Text password = u"pw";
        prompts.inputAnswers = {u"pw", u"pw"};  // a sealed document's new password, twice
        base::TextFormat format;
        const DocumentStore::Lend lend = [&](const auto& read) { read(++looks == 1 ? u"abc" : u"abcd"); };
        EXPECT_EQ(store.Save(path, password, false, lend, format), DocumentStore::Saved::Failed);
        EXPECT_EQ(looks, 2);
        EXPECT_EQ(files.Get(path), "old");
        EXPECT_EQ(LastMessage(), protect::kNotSavedMessage);
        EXPECT_EQ(password, u"pw");
        EXPECT_EQ(files.files.size(), 1u);  // no temporary file left
        files.files.clear();
    }
}

TEST_F(FailedSave, NothingPlainIsWrittenForAProtectedDocument) {
    // Whatever reaches the disk (here a temp cut short by a full disk) is masked.
    struct Spy : FakeFiles {
        std::vector<Bytes> written;
        bool WriteFlushedFrom(const Text& path,
                              const std::function<bool(const PutBytes&)>& produce) override {
            written.emplace_back();
            return FakeFiles::WriteFlushedFrom(path, [&](const PutBytes& put) {
                return produce([&](std::string_view piece) {
                    written.back().append(piece);
                    return put(piece);
                });
            });
        }
    };
    Spy spy;
    spy.Put(u"C:\\docs\\h.txs", "previous");
    Platform platform{s.fp.process, s.fp.clock,    s.fp.locale,   s.fp.prompts,       s.fp.loop,
                      spy,          s.fp.settings, s.fp.shell,    s.fp.dialogs,       s.fp.volumes,
                      s.fp.crypto,  s.fp.jobs,     s.fp.diskJobs, s.fp.dataProtection};
    Editor other(platform, s.host, nullptr);
    other.Load();
    Text password = u"pw";
    other.CurrentDocument().Adopt(u"C:\\docs\\h.txs", password, {});
    other.SecureSave(false);
    ASSERT_EQ(spy.written.size(), 1u);
    EXPECT_EQ(spy.written[0], Protected(u"pw", u"new text!"));
    EXPECT_EQ(spy.written[0].find("new text"), Bytes::npos);
}

// ---- keys, drops, command line ----

TEST_F(DocumentJourney, F2SavesWithAnyModifiers) {
    Edited(u"C:\\k.txt", u"v1");
    for (int shift : {0, kShiftMask, kCtrlMask, kAltMask, kShiftMask | kCtrlMask | kAltMask}) {
        s.box().SetText(u"v" + Text(1, static_cast<char16_t>(u'0' + shift)));
        editor.OnTextKeyDown(0, kKeyF2, shift);
        EXPECT_EQ(base::FromCodePage(files.Get(u"C:\\k.txt")), s.box().text) << shift;
    }
}

TEST_F(DocumentJourney, DropOpensOnlyTheFirstFileAndOnlyForTheShellsEffect) {
    files.Put(u"C:\\one.txt", "first");
    files.Put(u"C:\\two.txt", "second");
    editor.OnFilesDropped(0, {u"C:\\two.txt"}, kDropEffectCopy);  // copy only: not a file drop
    EXPECT_EQ(s.box().text, u"");
    EXPECT_EQ(s.document().Name(), u"");
    editor.OnFilesDropped(0, {}, kDropEffectAll);
    EXPECT_EQ(s.document().Name(), u"");
    editor.OnFilesDropped(0, {u"C:\\one.txt", u"C:\\two.txt", u"C:\\three.txt"}, kDropEffectAll);
    EXPECT_EQ(s.box().text, u"first");
    EXPECT_EQ(s.document().Name(), u"C:\\one.txt");
    EXPECT_EQ(s.host.window.caption, u"one.txt - Lockleaf 1.0");
}

TEST(CommandLine, OnePathInQuotesLosesThemAndAnythingElseIsVerbatim) {
    EXPECT_EQ(app::CommandLineDocument(u"\"C:\\my docs\\a.txs\""), u"C:\\my docs\\a.txs");
    EXPECT_EQ(app::CommandLineDocument(u"C:\\a.txs"), u"C:\\a.txs");
    EXPECT_EQ(app::CommandLineDocument(u" \"C:\\a.txs\""), u" \"C:\\a.txs\"");
    EXPECT_EQ(app::CommandLineDocument(u"\"a\" \"b\""), u"\"a\" \"b\"");
    EXPECT_EQ(app::CommandLineDocument(u"\"a"), u"\"a");
    EXPECT_EQ(app::CommandLineDocument(u"\""), u"\"");
    EXPECT_EQ(app::CommandLineDocument(u"\"\""), u"");
}

TEST(CommandLine, StartUpOpensTheNamedProtectedDocumentAfterAskingForItsPassword) {
    Started s(false);
    s.fp.process.commandLine = u"\"C:\\my docs\\n.txs\"";
    s.fp.files.Put(u"C:\\my docs\\n.txs", Protected(u"pw", u"from disk"));
    s.fp.prompts.inputAnswers = {u"pw"};
    bool shownWhenAsked = true;
    s.fp.prompts.whileOpen = [&] { shownWhenAsked = s.host.shown; };
    s.Start();
    EXPECT_EQ(s.fp.prompts.inputs, std::vector<Text>{u"Please enter PASSWORD !"});
    EXPECT_FALSE(shownWhenAsked);  // the prompt comes before the window is visible
    EXPECT_EQ(s.box().text, u"from disk");
    EXPECT_EQ(s.host.window.caption, u"n.txs - Lockleaf 1.0");
    // The first typed change after the load is an edit.
    s.box().Type(u"x");
    EXPECT_EQ(s.host.window.caption, u"n.txs * - Lockleaf 1.0");
}

TEST(CommandLine, AnExistingFileThatCannotBeReadStartsUntitledAndSaysSo) {
    Started s(false);
    s.fp.process.commandLine = u"C:\\docs\\report.txt";
    s.fp.files.Put(u"C:\\docs\\report.txt", "their report");
    s.fp.files.unreadable.insert(FakeFiles::Key(u"C:\\docs\\report.txt"));
    s.Start();
    EXPECT_EQ(s.document().Name(), u"");
    EXPECT_EQ(s.host.window.caption, u"Lockleaf 1.0");
    ASSERT_EQ(s.fp.prompts.messages.size(), 1u);
    EXPECT_EQ(s.fp.prompts.messages[0].text, u"Your file has NOT been opened.");
}

TEST(CommandLine, ANameOfNoFileStartsUntitledAndSaysSo) {
    Started s(false);
    s.fp.process.commandLine = u"\"a\" \"b\"";
    s.Start();
    EXPECT_EQ(s.document().Name(), u"");
    EXPECT_EQ(s.box().text, u"");
    EXPECT_EQ(s.host.window.caption, u"Lockleaf 1.0");
    ASSERT_EQ(s.fp.prompts.messages.size(), 1u);
    EXPECT_EQ(s.fp.prompts.messages[0].text, protect::kMissingMessage);
}
