// Unsaved work through a crash: snapshots written on the schedule, never readable on disk, offered back by
// the next start on the same disk, restored as they were, and gone once the work is saved or let go.
#include <gtest/gtest.h>

#include "base/codepage.h"
#include "base/unicode.h"
#include "fakes/fake_platform.h"
#include "fakes/sealed_files.h"
#include "protect/snapshot.h"

namespace {

const Text kFolder = u"C:\\Users\\me\\AppData\\Local\\Lockleaf\\Recovery";

Bytes Utf16(const Text& text) {
    Bytes b;
    for (char16_t c : text) b += {char(c & 0xFF), char(c >> 8)};
    return b;
}

struct Recovery : ::testing::Test {
    std::unique_ptr<Started> s = std::make_unique<Started>();

    FakeFiles& files() { return s->fp.files; }
    Editor& editor() { return s->editor(); }
    // The timer's ticks over ms milliseconds of the monotonic clock.
    void Wait(int64_t ms) {
        for (int64_t t = 0; t < ms; t += 200) {
            s->fp.clock.elapsed += 200;
            editor().OnTimer();
        }
    }
    std::vector<Text> Snapshots() const { return s->fp.files.ListFiles(kFolder, u".snap"); }
    // Whether any file on the disk holds text in UTF-16, UTF-8 or the code page, or the secret's bytes.
    bool OnDisk(const Text& text) const {
        for (const auto& [path, bytes] : s->fp.files.files)
            for (const Bytes& form : {Utf16(text), base::ToUtf8(text), base::ToCodePage(text)})
                if (bytes.find(form) != Bytes::npos) return true;
        return false;
    }
    // The process ends without a close; the next one starts on the same disk with the answers given.
    void CrashAndStart(std::deque<MsgResult> answers = {}, std::deque<Text> inputs = {},
                       const Text& commandLine = u"") {
        s->Crash();
        auto next = std::make_unique<Started>(false);
        next->fp.files.files = s->fp.files.files;
        next->fp.files.folders = s->fp.files.folders;
        next->fp.files.claimed = s->fp.files.claimed;  // other editors still run
        next->fp.prompts.msgAnswers = std::move(answers);
        next->fp.prompts.inputAnswers = std::move(inputs);
        next->fp.process.commandLine = commandLine;
        s.reset();
        s = std::move(next);
        s->Start();
    }
    std::vector<Text> Questions() const {
        std::vector<Text> q;
        for (const auto& m : s->fp.prompts.messages)
            if (m.buttons == MsgButtons::YesNoCancel) q.push_back(m.text);
        return q;
    }
};

}  // namespace

TEST_F(Recovery, TypingIsKeptOnItsScheduleAndNeverInTheClear) {
    s->box().Type(u"secret words");
    Wait(600);
    EXPECT_TRUE(Snapshots().empty());  // typing has not paused for long enough
    Wait(600);
    ASSERT_EQ(Snapshots().size(), 1u);
    const Text path = kFolder + u"\\" + Snapshots()[0];
    EXPECT_EQ(Snapshots()[0].size(), 16u + 5u);  // a random id, not the document's name
    EXPECT_FALSE(OnDisk(u"secret words"));
    EXPECT_TRUE(
        files().claimed.count(FakeFiles::Key(kFolder + u"\\" + Snapshots()[0].substr(0, 16) + u".lock")));

    // Typing that never pauses is still kept every 30 s.
    const Bytes first = files().Get(path);
    for (int k = 0; k < 150; ++k) {
        s->box().Type(u"x");
        Wait(200);
    }
    EXPECT_NE(files().Get(path), first);
    protect::Snapshot back;
    ASSERT_EQ(protect::ReadSnapshot(s->fp.dataProtection, s->fp.crypto, files().Get(path), nullptr, back),
              protect::SnapshotStatus::Ok);
    EXPECT_TRUE(back.text.starts_with(u"secret wordsxxx"));
    EXPECT_GE(back.text.size(), 12u + 140u);

    // The end of the session writes at once, before anything is asked.
    s->box().Type(u"LAST");
    s->fp.prompts.msgAnswers = {MsgResult::Cancel};
    EXPECT_FALSE(editor().Form_QueryEndSession(false));
    ASSERT_EQ(protect::ReadSnapshot(s->fp.dataProtection, s->fp.crypto, files().Get(path), nullptr, back),
              protect::SnapshotStatus::Ok);
    EXPECT_TRUE(back.text.ends_with(u"LAST"));
    EXPECT_FALSE(OnDisk(u"LAST"));
    // One made the memory for the text's copy, one wrote after the pause, one after 30 s (into the memory the
    // first gave back); the end's was not posted.
    EXPECT_EQ(s->fp.diskJobs.posted, 3);

    // One job at a time, and one whose completion never runs (its message lost) stops nothing.
    s->fp.diskJobs.hold = true;
    s->box().Type(u"1");
    Wait(1200);
    s->box().Type(u"2");
    Wait(1200);
    ASSERT_EQ(s->fp.diskJobs.Pending(), 1u);
    s->fp.diskJobs.RunNext();  // ran; its completion is dropped
    Wait(200);
    EXPECT_EQ(s->fp.diskJobs.Pending(), 1u);  // what was typed meanwhile goes now
}

TEST_F(Recovery, APlainUtf8DocumentComesBackAsItWasAndF2WritesItInKind) {
    files().Put(u"C:\\docs\\notes.txt", "caf\xC3\xA9\nline\n");
    editor().SecureOpen(u"C:\\docs\\notes.txt");
    s->box().SetSel(4, 0);
    s->box().Type(u"\u00e9\u00e9");
    editor().OnEditMenu(kMenuWordWrap);
    s->box().SetSel(2, 3);
    Wait(1200);
    CrashAndStart({MsgResult::Yes});

    EXPECT_EQ(Questions(), std::vector<Text>{
                               u"Lockleaf closed before the changes to notes.txt were saved. Restore them?"});
    EXPECT_EQ(s->box().text, u"caf\u00e9\u00e9\u00e9\r\nline\r\n");
    EXPECT_EQ(s->editor().ActiveEditorIndex(), 1);  // Word Wrap as it was
    EXPECT_EQ(s->box().selStart, 2);
    EXPECT_EQ(s->box().selLength, 3);
    EXPECT_TRUE(editor().CurrentDocument().modified);
    EXPECT_EQ(s->host.window.caption, u"notes.txt * - Lockleaf 1.0");
    EXPECT_EQ(Snapshots().size(), 1u);  // it passed to this editor: a second crash loses nothing either

    editor().OnTextKeyDown(1, kKeyF2, 0);
    EXPECT_EQ(files().Get(u"C:\\docs\\notes.txt"), "caf\xC3\xA9\xC3\xA9\xC3\xA9\nline\n");
    EXPECT_TRUE(Snapshots().empty());
    EXPECT_TRUE(files().ListFiles(kFolder, u".lock").empty());
}

TEST_F(Recovery, ASealedDocumentIsKeptUnderItsOwnKeyAndComesBackOnlyWithItsPassword) {
    files().Put(u"C:\\docs\\diary.txse", sealed_files::Seal("dear diary", "pw\xF0\x9F\x94\x91", 100000));
    s->fp.prompts.inputAnswers = {u"pw\U0001F511"};
    ASSERT_TRUE(editor().SecureOpen(u"C:\\docs\\diary.txse"));
    const int derivations = s->fp.crypto.derivations;
    s->box().SetSel(10, 0);
    s->box().Type(u", my secret");
    Wait(1200);
    ASSERT_EQ(Snapshots().size(), 1u);
    EXPECT_EQ(s->fp.crypto.derivations, derivations);  // it has its key: none derived for the snapshot
    EXPECT_FALSE(OnDisk(u"my secret"));
    EXPECT_FALSE(OnDisk(u"pw\U0001F511"));
    const Bytes snapshot = files().Get(kFolder + u"\\" + Snapshots()[0]);
    // Without the document's key even the user's own protection does not open the text.
    protect::Snapshot back;
    EXPECT_EQ(protect::ReadSnapshot(s->fp.dataProtection, s->fp.crypto, snapshot, nullptr, back),
              protect::SnapshotStatus::WrongPassword);

    // A wrong password is told and asked again; Cancel keeps it for the next start.
    CrashAndStart({MsgResult::Yes}, {u"wrong"});
    EXPECT_EQ(s->fp.prompts.inputs.size(), 2u);
    EXPECT_EQ(s->fp.prompts.messages[1].text, u"The password is wrong.");
    EXPECT_EQ(s->box().text, u"");
    EXPECT_EQ(Snapshots().size(), 1u);

    CrashAndStart({MsgResult::Yes}, {u"pw\U0001F511"});
    EXPECT_EQ(s->box().text, u"dear diary, my secret");
    EXPECT_EQ(s->document().Name(), u"C:\\docs\\diary.txse");
    EXPECT_TRUE(editor().KeepsSealedKey());
    editor().OnTextKeyDown(0, kKeyF2, 0);  // its own password, asked for nothing more
    EXPECT_EQ(s->fp.prompts.inputs.size(), 1u);
    EXPECT_EQ(sealed_files::Unseal(files().Get(u"C:\\docs\\diary.txse"), "pw\xF0\x9F\x94\x91"),
              "dear diary, my secret");
    EXPECT_TRUE(Snapshots().empty());
}

TEST_F(Recovery, EachLeftBehindIsOfferedAndTheSecondComesBackInAnEditorOfItsOwn) {
    s->box().Type(u"untitled work");
    Wait(1200);
    CrashAndStart({MsgResult::Cancel});  // kept for a later start
    s->fp.prompts.inputAnswers = {u"pw", u"pw"};
    s->box().Type(u"first");
    s->fp.dialogs.ChooseNext(u"C:\\docs\\a.txs");
    editor().OnFileMenu(kMenuSaveAs);
    s->box().Type(u" kept");
    Wait(1200);
    ASSERT_EQ(Snapshots().size(), 2u);
    EXPECT_FALSE(OnDisk(u"first kept"));
    EXPECT_FALSE(OnDisk(u"untitled work"));
    // Another editor, still running, holds its own: it is never offered.
    files().Put(kFolder + u"\\RUNNING000000000.snap", "whatever");
    files().claimed.insert(FakeFiles::Key(kFolder + u"\\RUNNING000000000.lock"));
    CrashAndStart({MsgResult::Yes, MsgResult::Yes});

    const std::vector<Text> questions = Questions();
    ASSERT_EQ(questions.size(), 2u);
    const bool untitledFirst = questions[0].find(u"an untitled document") != Text::npos;
    EXPECT_NE(questions[untitledFirst ? 1 : 0].find(u"changes to a.txs were"), Text::npos);
    // The first is restored here, the second in an editor of its own, started to claim it.
    ASSERT_EQ(s->fp.shell.calls.size(), 1u);
    const Text argument = s->fp.shell.calls[0].arguments;
    EXPECT_EQ(s->fp.shell.calls[0].file, u"C:\\Apps\\lockleaf.exe");
    EXPECT_TRUE(argument.starts_with(u"/restore:"));
    // A protected document's password is not kept with it: F2 asks for one, twice, as a first save does.
    const auto savesProtected = [&] {
        EXPECT_EQ(s->box().text, u"first kept");
        s->fp.prompts.inputAnswers = {u"pw2", u"pw2"};
        editor().OnTextKeyDown(0, kKeyF2, 0);
        EXPECT_EQ(s->fp.prompts.inputs.size(), 2u);
        EXPECT_EQ(s->document().Name(), u"C:\\docs\\a.txs");
        EXPECT_FALSE(OnDisk(u"first kept"));  // masked in its file, and its snapshot gone
    };
    if (untitledFirst)
        EXPECT_EQ(s->box().text, u"untitled work");
    else
        savesProtected();

    // That editor restores it without asking again.
    CrashAndStart({}, {}, argument);
    EXPECT_TRUE(Questions().empty());
    if (untitledFirst)
        savesProtected();
    else
        EXPECT_EQ(s->box().text, u"untitled work");
    EXPECT_EQ(Snapshots().size(), 2u);  // the running editor's, and the untitled work, still unsaved
}

TEST_F(Recovery, NoDeletesCancelKeepsADamagedOneIsToldAndKept) {
    s->box().Type(u"draft one");
    Wait(1200);
    CrashAndStart({MsgResult::Cancel});
    EXPECT_EQ(Questions().size(), 1u);
    EXPECT_EQ(s->box().text, u"");
    EXPECT_EQ(Snapshots().size(), 1u);

    CrashAndStart({MsgResult::No});
    EXPECT_EQ(Questions().size(), 1u);
    EXPECT_TRUE(Snapshots().empty());

    files().Put(kFolder + u"\\0123456789abcdef.snap", Bytes("LLSNAP\x01\x00garbage", 15));
    CrashAndStart();
    ASSERT_EQ(s->fp.prompts.messages.size(), 1u);
    EXPECT_EQ(
        s->fp.prompts.messages[0].text,
        u"The unsaved changes kept in " + kFolder +
            u"\\0123456789abcdef.snap cannot be read, so they were not restored. The file is kept where it "
            u"is.");
    EXPECT_EQ(s->box().text, u"");
    EXPECT_EQ(Snapshots().size(), 1u);
}

TEST_F(Recovery, WorkSavedOrLetGoTakesItsSnapshotWithIt) {
    const auto kept = [&] {
        s->box().Type(u"w");
        Wait(1200);
        return Snapshots().size() == 1;
    };
    // New after Don't Save.
    ASSERT_TRUE(kept());
    s->fp.prompts.msgAnswers = {MsgResult::No};
    editor().OnFileMenu(kMenuNew);
    EXPECT_TRUE(Snapshots().empty());
    // An Open that fails keeps the work, and its snapshot.
    ASSERT_TRUE(kept());
    s->fp.dialogs.ChooseNext(u"C:\\missing.txt");
    s->fp.prompts.msgAnswers = {MsgResult::No};
    editor().OnFileMenu(kMenuOpen);
    EXPECT_EQ(Snapshots().size(), 1u);
    // Exit after Don't Save.
    s->fp.prompts.msgAnswers = {MsgResult::No};
    editor().OnFileMenu(kMenuExit);
    EXPECT_TRUE(s->fp.loop.ended);
    EXPECT_TRUE(Snapshots().empty());
    EXPECT_TRUE(files().ListFiles(kFolder, u".lock").empty());
    EXPECT_TRUE(files().ListFiles(kFolder, u".tmp").empty());

    // Closed for an update: kept without a question, and Windows is asked to start us again.
    CrashAndStart();
    EXPECT_EQ(s->fp.process.restartArguments, std::vector<Text>{u"/restarted"});
    ASSERT_TRUE(kept());
    EXPECT_TRUE(editor().Form_QueryEndSession(true));
    editor().Form_Unload();
    EXPECT_TRUE(s->fp.prompts.messages.empty());
    CrashAndStart({MsgResult::Yes}, {}, u"/restarted");
    EXPECT_EQ(s->box().text, u"w");
    EXPECT_TRUE(s->fp.shell.calls.empty());
}

TEST_F(Recovery, ASealedDocumentLockedWhileAwayComesBackOnlyWithItsPassword) {
    const Text path = u"C:\\docs\\diary.txse";
    files().Put(path, sealed_files::Seal("dear diary", "diary key 7", 100000));
    s->fp.prompts.inputAnswers = {u"diary key 7"};
    ASSERT_TRUE(editor().SecureOpen(path));
    s->fp.prompts.inputs.clear();
    const Bytes saved = files().Get(path);
    s->box().SetSel(10, 0);
    s->box().Type(u", my secret");
    s->box().SetSel(2, 3);

    // The session locks while a dialog of a command is open: the document locks once the command is done.
    s->fp.prompts.whileOpen = [&] { editor().Form_SessionLock(); };
    editor().OnHelpMenu(kMenuAbout);
    s->fp.prompts.whileOpen = nullptr;
    EXPECT_FALSE(editor().Locked());
    Wait(200);
    ASSERT_TRUE(editor().Locked());
    EXPECT_EQ(s->host.window.caption, u"diary.txse * (locked) - Lockleaf 1.0");
    EXPECT_EQ(s->host.textBoxes[0].text, u"");
    EXPECT_EQ(s->host.textBoxes[1].text, u"");
    EXPECT_GT(s->box().wipingReplaces, 0);
    EXPECT_TRUE(s->document().Password().empty());
    EXPECT_FALSE(editor().KeepsSealedKey());
    ASSERT_EQ(Snapshots().size(), 1u);
    EXPECT_FALSE(OnDisk(u"my secret"));
    EXPECT_FALSE(OnDisk(u"diary key 7"));  // long enough not to turn up by chance in the random bytes

    // Typing reaches nothing; F2 asks for the password first, and Cancel writes nothing.
    EXPECT_FALSE(editor().OnTextInput(false));
    EXPECT_TRUE(s->fp.prompts.inputs.empty());
    const int derivations = s->fp.crypto.derivations;
    editor().OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_EQ(s->fp.prompts.inputs.size(), 1u);
    EXPECT_EQ(files().Get(path), saved);
    EXPECT_TRUE(editor().Locked());
    Wait(1200);  // no snapshot of the empty box over the kept one
    s->fp.prompts.messages.clear();

    // A click asks; a wrong password is told and asked again.
    s->fp.prompts.inputAnswers = {u"wrong", u"diary key 7"};
    EXPECT_FALSE(editor().OnTextInput(true));  // the click itself goes nowhere
    EXPECT_FALSE(editor().Locked());
    ASSERT_EQ(s->fp.prompts.messages.size(), 1u);
    EXPECT_EQ(s->fp.prompts.messages[0].text, u"The password is wrong.");
    EXPECT_EQ(s->fp.crypto.derivations, derivations + 2);  // F2's cancelled prompt derived nothing
    EXPECT_EQ(s->box().text, u"dear diary, my secret");
    EXPECT_EQ(s->box().selStart, 2);
    EXPECT_EQ(s->box().selLength, 3);
    EXPECT_EQ(s->host.window.caption, u"diary.txse * - Lockleaf 1.0");
    EXPECT_TRUE(editor().KeepsSealedKey());

    // Its own key is back: F2 asks nothing, and derives only the stronger key of its re-seal at 600,000.
    s->fp.prompts.inputs.clear();
    editor().OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_TRUE(s->fp.prompts.inputs.empty());
    EXPECT_EQ(s->fp.crypto.derivations, derivations + 3);
    EXPECT_EQ(sealed_files::Unseal(files().Get(path), "diary key 7"), "dear diary, my secret");
    EXPECT_TRUE(Snapshots().empty());

    // Its key is derived on the disk's thread: meanwhile a click asks nothing more, a command does nothing
    // and the close box does not close; a wrong password is told once its derivation is done, and asked
    // again.
    s->box().SetSel(21, 0);
    s->box().Type(u"!");
    editor().Form_SessionLock();
    ASSERT_TRUE(editor().Locked());
    FakeJobs& disk = s->fp.diskJobs;
    disk.hold = true;
    s->fp.prompts.inputs.clear();
    s->fp.prompts.inputAnswers = {u"wrong", u"diary key 7"};
    const int before = s->fp.crypto.derivations;
    EXPECT_FALSE(editor().OnTextInput(true));
    ASSERT_EQ(disk.Pending(), 1u);
    EXPECT_EQ(s->fp.crypto.derivations, before);
    EXPECT_FALSE(editor().OnTextInput(true));
    editor().OnTextKeyDown(0, kKeyF2, 0);
    EXPECT_FALSE(editor().Form_QueryUnload());  // the window stays for the document on its way back
    EXPECT_EQ(s->fp.prompts.inputs.size(), 1u);
    EXPECT_EQ(disk.Pending(), 1u);
    disk.CompleteNext();
    EXPECT_EQ(s->fp.prompts.messages.back().text, u"The password is wrong.");
    EXPECT_EQ(s->fp.prompts.inputs.size(), 2u);
    EXPECT_TRUE(editor().Locked());
    disk.CompleteAll();
    EXPECT_FALSE(editor().Locked());
    EXPECT_EQ(s->fp.crypto.derivations, before + 2);
    EXPECT_EQ(s->box().text, u"dear diary, my secret!");
    EXPECT_EQ(s->host.window.caption, u"diary.txse * - Lockleaf 1.0");
    EXPECT_TRUE(editor().KeepsSealedKey());
    EXPECT_TRUE(editor().OnTextInput(true));
}

TEST_F(Recovery, ADocumentNamedAtAStartThatRestoresWorkOpensInAnEditorOfItsOwn) {
    files().Put(u"C:\\docs\\b.txt", "another file");
    s->box().Type(u"unsaved work");
    Wait(1200);
    CrashAndStart({MsgResult::Yes}, {}, u"\"C:\\docs\\b.txt\"");
    EXPECT_EQ(s->box().text, u"unsaved work");
    EXPECT_EQ(s->host.window.caption, u"Lockleaf 1.0");
    ASSERT_EQ(s->fp.shell.calls.size(), 1u);
    EXPECT_EQ(s->fp.shell.calls[0].file, u"C:\\Apps\\lockleaf.exe");
    EXPECT_EQ(s->fp.shell.calls[0].arguments, u"\"C:\\docs\\b.txt\"");

    // Started so once the first has ended without a close, it offers the work, and kept for later (Cancel),
    // the file opens there.
    CrashAndStart({MsgResult::Cancel}, {}, s->fp.shell.calls[0].arguments);
    EXPECT_EQ(Questions().size(), 1u);
    EXPECT_EQ(s->box().text, u"another file");
    EXPECT_EQ(s->host.window.caption, u"b.txt - Lockleaf 1.0");
    EXPECT_EQ(Snapshots().size(), 1u);
}

TEST_F(Recovery, ALockThatCannotKeepTheWorkLeavesItShownTriesLaterAndWorkLostWhileLockedIsSaidAndKept) {
    s->fp.prompts.inputAnswers = {u"pw", u"pw"};
    s->fp.dialogs.ChooseNext(u"C:\\docs\\a.txs");
    editor().OnFileMenu(kMenuSaveAs);
    s->box().Type(u"kept words");
    files().diskSpace = 0;  // full
    s->fp.clock.lastInput = s->fp.clock.elapsed;
    Wait(kLockAfterIdle + 200);
    EXPECT_FALSE(editor().Locked());
    EXPECT_EQ(s->box().text, u"kept words");
    EXPECT_EQ(s->host.window.caption, u"a.txs * - Lockleaf 1.0");
    EXPECT_TRUE(Snapshots().empty());
    EXPECT_FALSE(OnDisk(u"kept words"));

    // The next try comes an idle period later, not at every tick: each one reads the whole text.
    const int reads = s->box().reads;
    Wait(kLockAfterIdle - 600);
    EXPECT_EQ(s->box().reads, reads);
    EXPECT_FALSE(editor().Locked());
    files().diskSpace = -1;
    Wait(800);
    ASSERT_TRUE(editor().Locked());
    ASSERT_EQ(Snapshots().size(), 1u);
    EXPECT_EQ(s->box().text, u"");

    // Its snapshot damaged while locked: each try says so, and nothing is shown or thrown away; the window
    // still closes, and the next start says it again and keeps the file.
    Text id = Snapshots()[0].substr(0, 16);  // listed in lower case, named in upper
    for (char16_t& c : id) c = c >= u'a' && c <= u'f' ? static_cast<char16_t>(c - u'a' + u'A') : c;
    const Text snapshot = kFolder + u"\\" + id + u".snap";
    files().files[FakeFiles::Key(snapshot)].back() ^= 1;
    const auto damaged = [](const Text& path) {
        return u"The unsaved changes kept in " + path +
               u" cannot be read, so they were not restored. The file is kept where it is.";
    };
    for (int tries = 0; tries < 2; ++tries) {
        EXPECT_FALSE(editor().OnTextInput(true));
        EXPECT_TRUE(editor().Locked());
        EXPECT_EQ(s->fp.prompts.messages.back().text, damaged(snapshot));
        EXPECT_EQ(s->box().text, u"");
    }
    EXPECT_TRUE(editor().Form_QueryUnload());
    editor().Form_Unload();
    CrashAndStart();
    ASSERT_FALSE(s->fp.prompts.messages.empty());
    ASSERT_EQ(Snapshots().size(), 1u);
    EXPECT_EQ(s->fp.prompts.messages.back().text, damaged(kFolder + u"\\" + Snapshots()[0]));  // as listed
    EXPECT_TRUE(Questions().empty());
    EXPECT_EQ(s->host.window.caption, u"Lockleaf 1.0");
}

TEST_F(Recovery, AProtectedDocumentLocksAfterTenIdleMinutesAndAPlainOneNever) {
    const auto idle = [&](int64_t ms) {
        s->fp.clock.lastInput = s->fp.clock.elapsed;
        Wait(ms);
    };
    s->box().Type(u"plain words");
    idle(kLockAfterIdle + 1000);
    EXPECT_FALSE(editor().Locked());
    EXPECT_EQ(s->box().text, u"plain words");

    s->fp.prompts.inputAnswers = {u"pw", u"pw"};
    s->fp.dialogs.ChooseNext(u"C:\\docs\\a.txs");
    editor().OnFileMenu(kMenuSaveAs);
    ASSERT_FALSE(editor().CurrentDocument().modified);
    idle(kLockAfterIdle - 400);
    EXPECT_FALSE(editor().Locked());
    Wait(400);
    ASSERT_TRUE(editor().Locked());
    EXPECT_EQ(s->host.window.caption, u"a.txs (locked) - Lockleaf 1.0");
    EXPECT_EQ(s->box().text, u"");
    EXPECT_FALSE(OnDisk(u"plain words"));

    // Wrong, then Cancel: still locked. The right one: back as saved, and the lock's snapshot gone.
    s->fp.prompts.inputAnswers = {u"nope"};
    EXPECT_FALSE(editor().OnTextInput(true));
    EXPECT_TRUE(editor().Locked());
    EXPECT_EQ(s->fp.prompts.messages.back().text, u"The password is wrong.");
    s->fp.prompts.inputAnswers = {u"pw"};
    editor().OnTextInput(true);
    EXPECT_EQ(s->box().text, u"plain words");
    EXPECT_FALSE(editor().CurrentDocument().modified);
    EXPECT_TRUE(Snapshots().empty());

    // Changed, then locked by the session and closed by Windows: kept without a question for the next start,
    // which needs no password for it (its password is not kept), and a lock there asks the file's.
    s->box().Type(u" more");
    editor().Form_SessionLock();
    s->fp.prompts.messages.clear();
    EXPECT_TRUE(editor().Form_QueryEndSession(false));
    editor().Form_Unload();
    EXPECT_TRUE(s->fp.prompts.messages.empty());
    EXPECT_EQ(Snapshots().size(), 1u);
    CrashAndStart({MsgResult::Yes});
    EXPECT_EQ(s->box().text, u"plain words more");
    editor().Form_SessionLock();
    ASSERT_TRUE(editor().Locked());
    s->fp.prompts.inputAnswers = {u"guess", u"pw"};
    editor().OnEditMenu(kMenuWordWrap);  // a command asks first, and runs once the document is back
    EXPECT_FALSE(editor().Locked());
    EXPECT_EQ(s->fp.prompts.messages.back().text, u"The password is wrong.");
    EXPECT_EQ(s->editor().ActiveEditorIndex(), 1);
    EXPECT_EQ(s->box().text, u"plain words more");
    EXPECT_TRUE(editor().CurrentDocument().modified);

    // The close box on a locked window whose password is not given: it closes, the work kept.
    editor().Form_SessionLock();
    s->fp.prompts.inputAnswers = {};
    EXPECT_TRUE(editor().Form_QueryUnload());
    editor().Form_Unload();
    CrashAndStart({MsgResult::Yes});
    EXPECT_EQ(s->box().text, u"plain words more");
}
