// Moving a document between a file and the editor's text: plain text, a protected (txs) document masked
// under its password, or a sealed (txse) one encrypted under it. The store owns no document state: the caller
// passes the name and password it keeps.
#pragma once
#include <map>
#include <memory>
#include <optional>

#include "base/encoding.h"
#include "platform/crypto.h"
#include "platform/jobs.h"
#include "platform/ports.h"
#include "protect/sealed.h"

namespace protect {

constexpr char16_t kPasswordPrompt[] = u"Please enter PASSWORD !";
constexpr char16_t kPasswordAgainPrompt[] = u"Please enter the same PASSWORD again !";
constexpr char16_t kPasswordsDifferMessage[] =
    u"The two passwords are not the same.\r\nYour file has NOT been saved.";
constexpr char16_t kPasswordCodePageMessage[] =
    u"This password has a character that a protected file cannot hold (only English and Thai letters, "
    u"digits and signs).\r\nPlease choose another password.";
constexpr char16_t kNotSavedMessage[] = u"Your file has NOT been saved.";
// The same when the file system lost the old file half-way and the new one is kept under a temporary name.
Text NotSavedMessage(const Text& kept, const Text& path);
constexpr char16_t kNotOpenedMessage[] = u"Your file has NOT been opened.";
constexpr char16_t kMissingMessage[] = u"This file does not exist.\r\nYour file has NOT been opened.";

// The question before a save that would store some characters as "?": how many, the first and its line.
// offerUtf8: a plain document, which may be saved as UTF-8 instead (a protected one may not).
Text UnmappableMessage(std::u16string_view text, bool offerUtf8 = false);

// The question before a save in UTF-8 (or a sealed document's, which is UTF-8 inside) that would store
// unpaired surrogates as U+FFFD: how many, the first (as U+XXXX, since it shows as nothing) and its line.
// offerUtf16: a plain document, which may be saved as UTF-16 instead.
Text UnpairedSurrogateMessage(std::u16string_view text, bool offerUtf16 = false);
// "This file cannot be read as <encoding>. Your file has NOT been opened."
Text NotReadableAsMessage(base::Encoding encoding);

// "This file is <size> MiB; Lockleaf opens files up to <largest> MiB. Your file has NOT been opened."
Text TooLargeMessage(int64_t length, int64_t largest);

}  // namespace protect

class DocumentStore {
public:
    // largest: the longest file opened; a longer one is refused before a byte of it is read.
    DocumentStore(Files& files, Prompts& prompts, Crypto& crypto, int64_t largest);

    enum class Opened {
        Text,  // text holds the document (empty for an empty file); password is the one that opened it
        // Missing, unreadable, too large, or the password was wrong, empty or cancelled: text and password
        // are as they were, and the user has been told.
        Refused,
        Opening,  // handed to the background: its done follows
    };
    // Where an open may end off the window's thread: a sealed document whose key must be derived is derived
    // and decrypted on the jobs' thread once its password is typed. done follows on the window's thread:
    // whether it opened (if not, the user has been told), its text and password, as Open gives them; it
    // answers whether the document took them (then the store keeps the key for the file; done may move the
    // text and password out, and the store wipes what is left).
    struct Opening {
        Jobs& jobs;
        std::function<bool(bool opened, Text& text, Text& password)> done;
    };
    // Reads path. A remembered password is tried first for a protected document, and for a sealed one only
    // when it derived the key kept for that very file (same path and salt); the user is asked at most once.
    // format: the encoding and line breaks a plain document was read in (the code page and CR LF for the
    // others). as: the encoding the user chose for a plain document instead of detecting one; a file not
    // valid in it is refused.
    Opened Open(const Text& path, Text& password, Text& text, base::TextFormat& format,
                std::optional<base::Encoding> as = std::nullopt, const Opening* opening = nullptr);

    enum class Saved {
        Written,    // password is the one the file was written with
        Cancelled,  // the user chose not to save (a password or a "?" question): nothing written
        Failed,     // the file on disk is the old one: the user has been told
        Writing,    // handed to the background: its done tells how it ended
    };
    // Where a save may end off the window's thread: a sealed document's (F2 under its kept key, or a new key
    // under a new password, derived there too) is encrypted and written on the jobs' thread, and put in the
    // file's place back on the window's; done follows there, the user told of a failure: whether the file
    // was written, under which password and in which form; it answers whether the document takes them (then
    // the store keeps a new key for the file; done may move the password out). A later save of the same file
    // that lands first is not put back by an earlier one.
    // The file's memory is made on the jobs' thread first (the first touch of fresh memory is most of what
    // filling it costs) and the text read into it back on the window's, if current() says the document is
    // still the one saved (shown, not locked); otherwise the save is dropped and done told it was not
    // written.
    struct Background {
        Jobs& jobs;
        std::function<bool(bool written, Text& password, const base::TextFormat& format)> done;
        std::function<bool()> current;
    };
    // Writes the text lend shows (TextBox::ReadText: a view, for the length of one call) to path, in one pass
    // from there into the file's form: no copy of the text is made (but of one that shows NULs by their
    // symbol, which are written as NULs). The questions are worded from a first look and asked, the password
    // asked and its key derived, between lends.
    // ask: a new password, even when one is remembered (Save As). A sealed document is written under a
    // remembered password only when it is the one whose key is kept for that file; any other sealed save asks
    // for a new password twice. Nothing changes password unless the file is written.
    // format: the form of a plain document, and on Written the one it was written in (UTF-8 when the user
    // chose it over "?", UTF-16 LE over U+FFFD). Nothing changes format unless the file is written.
    using Lend = std::function<void(const std::function<void(std::u16string_view)>&)>;
    Saved Save(const Text& path, Text& password, bool ask, const Lend& lend, base::TextFormat& format,
               const Background* background = nullptr);

    // The document is replaced or the program ends: the kept key, its salt and password are wiped.
    void Forget();
    // Whether a key is kept (for tests: Forget leaves none).
    bool HoldsKey() const { return m_Sealed.Ready(); }
    // The key kept for path, a sealed document; null when none is.
    const protect::SealedKey* KeyFor(const Text& path) const {
        return m_Sealed.Ready() && m_SealedPath == path ? &m_Sealed : nullptr;
    }
    // key, which opened a snapshot of path, becomes the one kept for path; key is wiped.
    void Keep(const Text& path, protect::SealedKey& key) {
        m_Sealed.Take(key);
        m_SealedPath = path;
    }

private:
    // A new password, typed twice; false (and the user told) when cancelled or the two differ. anyCharacter:
    // for a sealed document, which holds every character, else the code page's only.
    bool AskNewPassword(Text& password, bool anyCharacter = false);
    // What a plain save of a text must ask, worded from it: its characters the code page lacks (when the
    // format is the code page's) and its unpaired surrogates. Empty: nothing to ask.
    struct PlainQuestions {
        Text unmappable, unpaired;
        PlainQuestions(std::u16string_view text, const base::TextFormat& format);
    };
    // The same for a plain document, whatever its encoding: false on Cancel; format becomes the one chosen
    // to keep every character (UTF-8 for the code page, UTF-16 LE for UTF-8).
    bool ConfirmPlainUnmappable(const PlainQuestions& questions, base::TextFormat& format);
    Saved SavePlain(const Text& path, const Lend& lend, base::TextFormat& format);
    Saved SaveSecret(const Text& path, Text& password, bool ask, const Lend& lend, base::TextFormat& format,
                     const Background* background);
    // The sealed file of the text lend shows (of length units), under the kept key (reuse) or a new one of
    // password derived there, encrypted and written on background's thread and placed on this one; false
    // when it could not be made ready (nothing posted).
    bool SealInBackground(const Text& path, const Text& password, bool reuse, const Lend& lend, size_t length,
                          const Background& background);
    struct SealWork;
    // Its second half, once the file is made ready: sealed and written there, placed here.
    void SealAndWrite(const std::shared_ptr<SealWork>& work, bool reuse, uint64_t number,
                      const Background& background);
    // A save of path landed: an earlier one still on its way does not put its file back over it.
    void Landed(const Text& path) { m_Landed[path] = ++m_Saves; }
    // A text that shows NULs by their symbol: saved from this copy, which holds them as NULs (so that a
    // question counts no symbol), then wiped.
    Saved SaveWithNuls(const Text& path, Text& password, bool ask, Text text, base::TextFormat& format);
    // Sealed documents (protect/sealed_store.cpp): false when refused, the user told.
    // Text, Refused or (with opening, a key to derive) Opening; content is taken by the background's job.
    Opened OpenSealedContent(const Text& path, Bytes& content, Text& password, Text& text,
                             const Opening* opening);
    // The key derived from typed for header and content decrypted with it, on opening's thread.
    void OpenInBackground(const Text& path, const protect::SealedHeader& header, Bytes& content,
                          const Text& typed, const Opening& opening);
    Files& m_Files;
    Prompts& m_Prompts;
    Crypto& m_Crypto;
    int64_t m_Largest;
    // The key of the last sealed document opened or saved, and that file: F2 seals under it again without a
    // new derivation. Kept for no other file.
    protect::SealedKey m_Sealed;
    Text m_SealedPath;
    uint64_t m_Saves = 0;               // saves begun, each numbered
    std::map<Text, uint64_t> m_Landed;  // the number of the last save that landed, by file
};
