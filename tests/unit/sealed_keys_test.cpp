// Whose password keys a sealed document: never a protected document's (its file gives the password away) nor
// another sealed file's; a weakly derived file is re-sealed at full strength; keys go with their document.
// Files are written and read with libcrypto directly (fakes/sealed_files.h).
#include <gtest/gtest.h>

#include "base/unicode.h"
#include "fakes/journey.h"
#include "fakes/sealed_files.h"
#include "protect/cipher.h"

namespace {

using sealed_files::IterationsOf;
using sealed_files::Seal;
using sealed_files::Unseal;

struct SealedKeys : EditorJourney {};

}  // namespace

TEST_F(SealedKeys, AProtectedDocumentsPasswordNeverKeysASealAndASealsPasswordNoOtherFile) {
    const Text p = u"masked-P", q = u"\u0e04\u0e35\u0e22\u0e4c-Q";
    Bytes masked;
    protect::MaskDocument(p, u"old letter", masked);
    files.Put(u"C:\\d\\x.txs", masked);
    prompts.inputAnswers = {p};
    ASSERT_TRUE(editor.SecureOpen(u"C:\\d\\x.txs"));
    ASSERT_EQ(s.document().Password(), p);

    // An empty sealed file opens as an empty document, without a question and without P.
    files.Put(u"C:\\d\\new.txse", "");
    ASSERT_TRUE(editor.SecureOpen(u"C:\\d\\new.txse"));
    EXPECT_EQ(prompts.inputs.size(), 1u);
    EXPECT_TRUE(s.document().Password().empty());
    s.box().Type(u"secret plans");

    // F2 asks for a new password; Cancel writes nothing.
    prompts.inputs.clear();
    F2();
    ASSERT_EQ(prompts.inputs.size(), 1u);
    EXPECT_EQ(prompts.inputs[0], protect::kPasswordPrompt);
    EXPECT_EQ(files.Get(u"C:\\d\\new.txse"), "");
    EXPECT_TRUE(editor.CurrentDocument().modified);
    EXPECT_EQ(crypto.derivations, 0);

    // Two different answers: still nothing written.
    prompts.inputAnswers = {q, p};
    F2();
    EXPECT_EQ(prompts.inputs.size(), 3u);
    EXPECT_EQ(prompts.messages.back().text, protect::kPasswordsDifferMessage);
    EXPECT_EQ(files.Get(u"C:\\d\\new.txse"), "");

    // The same twice: sealed under Q, which opens it; P does not.
    prompts.inputAnswers = {q, q};
    F2();
    const Bytes sealed = files.Get(u"C:\\d\\new.txse");
    EXPECT_EQ(Unseal(sealed, base::ToUtf8(q)), "secret plans");
    EXPECT_EQ(Unseal(sealed, base::ToUtf8(p)), "refused");
    EXPECT_EQ(IterationsOf(sealed), 600000u);
    EXPECT_EQ(crypto.derivations, 1);
    EXPECT_FALSE(editor.CurrentDocument().modified);
    EXPECT_TRUE(editor.KeepsSealedKey());

    // Another sealed file is not opened with Q, nor is a derivation spent on Q: the user is asked.
    files.Put(u"C:\\d\\other.txse", Seal("other", base::ToUtf8(q), 100000));
    prompts.inputs.clear();
    prompts.inputAnswers = {};
    EXPECT_FALSE(editor.SecureOpen(u"C:\\d\\other.txse"));
    EXPECT_EQ(prompts.inputs.size(), 1u);
    EXPECT_EQ(crypto.derivations, 1);
    EXPECT_EQ(s.box().text, u"secret plans");

    // A protected file whose password is Q is not tried with the sealed document's Q either.
    Bytes maskedQ;
    protect::MaskDocument(u"abc", u"abc file", maskedQ);
    files.Put(u"C:\\d\\q.txs", maskedQ);
    s.document().SetPassword(u"abc");  // as if the seal's password were abc
    prompts.inputs.clear();
    EXPECT_FALSE(editor.SecureOpen(u"C:\\d\\q.txs"));
    EXPECT_EQ(prompts.inputs.size(), 1u);
    s.document().SetPassword(q);

    // Save As to a protected name asks anew; afterwards no sealed key is kept for a document that has none.
    s.fp.dialogs.ChooseNext(u"C:\\d\\plain.txs");
    prompts.inputAnswers = {u"fresh", u"fresh"};
    editor.OnFileMenu(kMenuSaveAs);
    EXPECT_EQ(s.document().Name(), u"C:\\d\\plain.txs");
    EXPECT_EQ(s.document().Password(), u"fresh");
    EXPECT_FALSE(editor.KeepsSealedKey());
}

TEST_F(SealedKeys, AWeakFileIsResealedAtFullStrengthAndKeysGoWithTheirDocument) {
    const Text pw = u"w\u00eak";
    const Bytes weak = Seal("weak text", base::ToUtf8(pw), 100000);
    files.Put(u"C:\\w.txse", weak);
    prompts.inputAnswers = {pw};
    ASSERT_TRUE(editor.SecureOpen(u"C:\\w.txse"));
    EXPECT_EQ(s.box().text, u"weak text");
    EXPECT_EQ(crypto.derivations, 1);

    // F2 without a question: one derivation, 600,000 iterations, a new salt; still opens under the password.
    s.box().Type(u"!");
    F2();
    EXPECT_EQ(prompts.inputs.size(), 1u);
    EXPECT_EQ(crypto.derivations, 2);
    const Bytes strong = files.Get(u"C:\\w.txse");
    EXPECT_EQ(IterationsOf(strong), 600000u);
    EXPECT_NE(strong.substr(14, 16), weak.substr(14, 16));
    EXPECT_EQ(Unseal(strong, base::ToUtf8(pw)), "!weak text");
    // A second F2 reuses the new key.
    F2();
    EXPECT_EQ(crypto.derivations, 2);
    // Reopening the same file, unchanged since: its kept key opens it, nothing asked, nothing derived.
    ASSERT_TRUE(editor.SecureOpen(u"C:\\w.txse"));
    EXPECT_EQ(prompts.inputs.size(), 1u);
    EXPECT_EQ(crypto.derivations, 2);

    // New drops the key and the password.
    EXPECT_TRUE(editor.KeepsSealedKey());
    editor.OnFileMenu(kMenuNew);
    EXPECT_FALSE(editor.KeepsSealedKey());
    EXPECT_TRUE(s.document().Password().empty());

    // So does opening another document over it, and so does Exit.
    prompts.inputAnswers = {pw};
    ASSERT_TRUE(editor.SecureOpen(u"C:\\w.txse"));
    EXPECT_TRUE(editor.KeepsSealedKey());
    files.Put(u"C:\\notes.txt", "plain");
    ASSERT_TRUE(editor.SecureOpen(u"C:\\notes.txt"));
    EXPECT_FALSE(editor.KeepsSealedKey());
    EXPECT_TRUE(s.document().Password().empty());  // the seal's password does not outlive its document
    prompts.inputAnswers = {pw};
    ASSERT_TRUE(editor.SecureOpen(u"C:\\w.txse"));
    editor.OnFileMenu(kMenuExit);
    EXPECT_TRUE(s.fp.loop.ended);
    EXPECT_FALSE(editor.KeepsSealedKey());
    EXPECT_TRUE(s.document().Password().empty());
}

TEST(Utf8, ReservesExactlyWhatTheTextNeeds) {
    // Thai is three bytes a character: a guess of 1.5 bytes would grow the buffer and free a copy.
    const Text thai(1000, u'\u0e01');
    const Bytes utf8 = base::ToUtf8(thai + u"a\u00e9\U0001F600" + Text(1, u'\xD800'));
    EXPECT_EQ(utf8.size(), 3000u + 1 + 2 + 4 + 3);
    EXPECT_EQ(utf8.capacity(), utf8.size());
}
