// Reading and writing a whole document, plain or masked; a read or write that fails, for any reason, changes
// nothing on disk and tells the user.
#include "protect/secure_document.h"

#include <algorithm>
#include <exception>
#include <new>
#include <string>
#include <utility>

#include "base/codepage.h"
#include "base/paths.h"
#include "base/text.h"
#include "base/unicode.h"
#include "base/whole_file.h"
#include "platform/trace.h"
#include "protect/cipher.h"
#include "protect/document_codecs.h"
#include "protect/document_kind.h"

namespace protect {

namespace {

Text Decimal(int64_t n) {
    const std::string digits = std::to_string(n);
    return Text(digits.begin(), digits.end());
}

}  // namespace

Text TooLargeMessage(int64_t length, int64_t largest) {
    auto mib = [](int64_t bytes) { return Decimal((bytes + (int64_t{1} << 20) - 1) >> 20) + u" MiB"; };
    return u"This file is " + mib(length) + u"; Lockleaf opens files up to " + mib(largest) + u". " +
           kNotOpenedMessage;
}

Text NotSavedMessage(const Text& kept, const Text& path) {
    if (kept.empty()) return kNotSavedMessage;
    return Text(kNotSavedMessage) + u"\r\nThe old file is gone; what you saved is kept in\r\n" + kept +
           u"\r\nRename that file to " + base::GetFileNamePart(path) + u" to keep it.";
}

Text UnmappableMessage(std::u16string_view text, bool offerUtf8) {
    const size_t first = base::FirstUnmappable(text);
    size_t count = 0;
    for (size_t i = first; i < text.size(); ++i) {
        if (base::ByteOfChar(text[i]) != base::kUnmappable || text[i] == u'?') continue;
        ++count;  // a character beyond the 16-bit range is two units, counted once
        if (base::IsSurrogatePair(text, i)) ++i;
    }
    const size_t line = 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + first, u'\n'));
    return Decimal(static_cast<int64_t>(count)) + (count == 1 ? u" character" : u" characters") +
           u" of this document cannot be stored in this file's code page (Thai, Windows-874) and will be "
           u"saved as \"?\". The first is \"" +
           Text(text.substr(first, base::IsSurrogatePair(text, first) ? 2 : 1)) + u"\" on line " +
           Decimal(static_cast<int64_t>(line)) +
           (offerUtf8 ? u".\r\n\r\nSave as UTF-8 to keep every character, or save with \"?\" in their place?"
                      : u".\r\n\r\nDo you want to save anyway?");
}

Text UnpairedSurrogateMessage(std::u16string_view text, bool offerUtf16) {
    const size_t first = base::FirstUnpairedSurrogate(text);
    size_t count = 0;
    for (size_t i = first; i < text.size(); ++i) {
        if (base::IsSurrogatePair(text, i)) {
            ++i;
        } else if (base::IsHighSurrogate(text[i]) || base::IsLowSurrogate(text[i])) {
            ++count;
        }
    }
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    Text code = u"U+";
    for (int shift = 12; shift >= 0; shift -= 4) code += kHex[(text[first] >> shift) & 0xF];
    const size_t line = 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + first, u'\n'));
    return Decimal(static_cast<int64_t>(count)) + (count == 1 ? u" character" : u" characters") +
           u" of this document " + (count == 1 ? u"is half" : u"are halves") +
           u" of a surrogate pair without the other half, which UTF-8 cannot store; " +
           (count == 1 ? u"it" : u"they") + u" will be saved as \"\uFFFD\". The first is " + code +
           u" on line " + Decimal(static_cast<int64_t>(line)) +
           (offerUtf16
                ? u".\r\n\r\nSave as UTF-16 to keep every character, or save with \"\uFFFD\" in their place?"
                : u".\r\n\r\nDo you want to save anyway?");
}

Text NotReadableAsMessage(base::Encoding encoding) {
    return u"This file cannot be read as " + base::EncodingName(encoding) + u".\r\n" + kNotOpenedMessage;
}

}  // namespace protect

DocumentStore::DocumentStore(Files& files, Prompts& prompts, Crypto& crypto, int64_t largest)
    : m_Files(files), m_Prompts(prompts), m_Crypto(crypto), m_Largest(largest), m_Sealed(crypto) {}

DocumentStore::Opened DocumentStore::Open(const Text& path, Text& password, Text& text,
                                          base::TextFormat& format, std::optional<base::Encoding> as,
                                          const Opening* opening) {
    if (const int64_t length = m_Files.FileLength(path); length > m_Largest) {
        m_Prompts.Message(protect::TooLargeMessage(length, m_Largest), MsgButtons::Ok, MsgIcon::Exclamation);
        return Opened::Refused;
    }
    Text typed;
    try {
        Bytes content;
        if (!base::ReadWholeBytes(m_Files, path, content)) {
            const bool missing = !m_Files.EntryExists(path);
            // A folder, or a file that is there but was never read: saving under its name would overwrite it
            // with another document's text, so the caller keeps the document it shows.
            m_Prompts.Message(missing ? protect::kMissingMessage : protect::kNotOpenedMessage, MsgButtons::Ok,
                              MsgIcon::None);
            return Opened::Refused;
        }
        Text loaded;
        base::TextFormat read;
        const protect::DocumentKind kind = protect::KindOf(path);
        const bool sealed = kind == protect::DocumentKind::Sealed && !content.empty();
        if (kind == protect::DocumentKind::Plain) {
            base::PlainCodec plain({}, as);  // NULs already shown
            if (!plain.Read(content, loaded)) {
                m_Prompts.Message(protect::NotReadableAsMessage(*as), MsgButtons::Ok, MsgIcon::Exclamation);
                return Opened::Refused;
            }
            read = plain.format;
        } else if (sealed) {
            if (const Opened opened = OpenSealedContent(path, content, password, loaded, opening);
                opened != Opened::Text)
                return opened;
        } else if (content.empty()) {
            // An empty file of either secret kind is an empty document, with no password yet.
        } else if (password.empty() || !protect::MaskedCodec(password).Read(content, loaded)) {
            // The content itself is never changed, so each try starts from the file's bytes.
            typed = m_Prompts.Input(protect::kPasswordPrompt);
            if (typed.empty() || !protect::MaskedCodec(typed).Read(content, loaded)) {
                base::Wipe(typed);
                m_Prompts.Message(protect::kNotOpenedMessage, MsgButtons::Ok, MsgIcon::None);
                return Opened::Refused;
            }
            // Kept in the form the file holds, so that F2 writes what the next Open accepts.
            base::Wipe(password);
            Bytes stored = base::ToCodePage(typed);
            password = base::FromCodePage(stored);
            base::Wipe(stored);
            base::Wipe(typed);
        }
        if (protect::IsSecret(kind)) base::ShowNuls(loaded);
        // The kept key belonged to the document this one replaces.
        if (!sealed) Forget();
        text = std::move(loaded);
        format = read;
        return Opened::Text;
    } catch (const std::exception&) {
        // Too large for memory (std::bad_alloc) or for a string (std::length_error): nothing of the half-done
        // load remains.
        platform::TraceCurrentException(u"open");
        base::Wipe(typed);
        m_Prompts.Message(protect::kNotOpenedMessage, MsgButtons::Ok, MsgIcon::None);
        return Opened::Refused;
    }
}

bool DocumentStore::AskNewPassword(Text& password, bool anyCharacter) {
    for (;;) {
        Text first = m_Prompts.Input(protect::kPasswordPrompt);
        if (first.empty()) {
            m_Prompts.Message(protect::kNotSavedMessage, MsgButtons::Ok, MsgIcon::None);
            return false;
        }
        if (!anyCharacter && base::FirstUnmappable(first) != std::u16string_view::npos) {
            base::Wipe(first);
            m_Prompts.Message(protect::kPasswordCodePageMessage, MsgButtons::Ok, MsgIcon::Exclamation);
            continue;
        }
        Text again = m_Prompts.Input(protect::kPasswordAgainPrompt);
        const bool same = !again.empty() && again == first;
        base::Wipe(again);
        if (!same) {
            base::Wipe(first);
            m_Prompts.Message(protect::kPasswordsDifferMessage, MsgButtons::Ok, MsgIcon::Exclamation);
            return false;
        }
        password = std::move(first);
        return true;
    }
}

DocumentStore::PlainQuestions::PlainQuestions(std::u16string_view text, const base::TextFormat& format) {
    constexpr auto npos = std::u16string_view::npos;
    if (format.encoding == base::Encoding::Ansi && base::FirstUnmappable(text) != npos)
        unmappable = protect::UnmappableMessage(text, true);
    // Asked of UTF-8, which the first question may choose.
    if (base::FirstUnpairedSurrogate(text) != npos) unpaired = protect::UnpairedSurrogateMessage(text, true);
}

bool DocumentStore::ConfirmPlainUnmappable(const PlainQuestions& questions, base::TextFormat& format) {
    if (!questions.unmappable.empty()) {
        switch (m_Prompts.Message(questions.unmappable, MsgButtons::Utf8QuestionMarksCancel,
                                  MsgIcon::Exclamation)) {
            case MsgResult::Yes:
                format.encoding = base::Encoding::Utf8;
                break;  // which may still lack an unpaired surrogate
            case MsgResult::No:
                return true;  // "?" stands for those too
            default:
                return false;
        }
    }
    const bool utf8 = format.encoding == base::Encoding::Utf8 || format.encoding == base::Encoding::Utf8Bom;
    if (!utf8 || questions.unpaired.empty()) return true;
    switch (m_Prompts.Message(questions.unpaired, MsgButtons::Utf16ReplacementCancel, MsgIcon::Exclamation)) {
        case MsgResult::Yes:
            format.encoding = base::Encoding::Utf16Le;
            format.noBom = false;
            return true;
        case MsgResult::No:
            return true;
        default:
            return false;
    }
}

namespace {

// The text lend shows, of the length first seen, through codec into path, with no copy of it on the way.
bool WriteThrough(Files& files, const Text& path, base::DocumentCodec& codec, const DocumentStore::Lend& lend,
                  size_t length, Text& keptCopy) {
    return base::WriteWholeBytesFrom(
        files, path,
        [&](const Files::PutBytes& put) {
            bool written = false;
            lend(
                [&](std::u16string_view text) { written = text.size() == length && codec.Write(text, put); });
            return written;
        },
        &keptCopy);
}

// A save's first look at the text: its length, and a copy of it when it shows NULs by their symbol (the save
// is made from that copy); otherwise word words the questions from the text where it lies.
std::optional<Text> FirstLook(const DocumentStore::Lend& lend, size_t& length,
                              const std::function<void(std::u16string_view)>& word) {
    std::optional<Text> withNuls;
    lend([&](std::u16string_view text) {
        length = text.size();
        if (text.find(base::kNulSymbol) != std::u16string_view::npos)
            withNuls.emplace(text);
        else
            word(text);
    });
    return withNuls;
}

}  // namespace

DocumentStore::Saved DocumentStore::Save(const Text& path, Text& password, bool ask, const Lend& lend,
                                         base::TextFormat& format, const Background* background) {
    return protect::IsSecret(protect::KindOf(path))
               ? SaveSecret(path, password, ask, lend, format, background)
               : SavePlain(path, lend, format);
}

DocumentStore::Saved DocumentStore::SaveWithNuls(const Text& path, Text& password, bool ask, Text text,
                                                 base::TextFormat& format) {
    base::RestoreNuls(text);
    const Saved saved = Save(
        path, password, ask, [&](const auto& read) { read(text); }, format);
    base::Wipe(text);
    return saved;
}

DocumentStore::Saved DocumentStore::SavePlain(const Text& path, const Lend& lend, base::TextFormat& format) {
    base::TextFormat written = format;
    Text keptCopy;
    bool ok = false;
    try {
        std::optional<PlainQuestions> questions;
        size_t length = 0;
        std::optional<Text> withNuls =
            FirstLook(lend, length, [&](std::u16string_view text) { questions.emplace(text, written); });
        if (withNuls) {
            Text none;
            return SaveWithNuls(path, none, false, std::move(*withNuls), format);
        }
        // The box's text is given back while the user answers; the dialog is modal, so it stays as it was.
        if (!ConfirmPlainUnmappable(*questions, written)) return Saved::Cancelled;
        // Encoded piece by piece as it is written: nor a buffer of the whole file either.
        base::PlainCodec plain(written);
        ok = WriteThrough(m_Files, path, plain, lend, length, keptCopy);
    } catch (const std::exception&) {
        platform::TraceCurrentException(u"save");
        ok = false;
    }
    if (ok) {
        format = written;
        Landed(path);
        Forget();  // the document is now another file
        return Saved::Written;
    }
    m_Prompts.Message(protect::NotSavedMessage(keptCopy, path), MsgButtons::Ok, MsgIcon::None);
    return Saved::Failed;
}

DocumentStore::Saved DocumentStore::SaveSecret(const Text& path, Text& password, bool ask, const Lend& lend,
                                               base::TextFormat& format, const Background* background) {
    bool ok = false;
    Text key, keptCopy;
    protect::SealedKey fresh(m_Crypto);
    const bool sealed = protect::KindOf(path) == protect::DocumentKind::Sealed;
    try {
        Text question;
        size_t length = 0;
        std::optional<Text> withNuls = FirstLook(lend, length, [&](std::u16string_view text) {
            if (sealed && base::FirstUnpairedSurrogate(text) != std::u16string_view::npos)
                question = protect::UnpairedSurrogateMessage(text);
            else if (!sealed && base::FirstUnmappable(text) != std::u16string_view::npos)
                question = protect::UnmappableMessage(text);
        });
        if (withNuls) return SaveWithNuls(path, password, ask, std::move(*withNuls), format);
        if (!question.empty() &&
            m_Prompts.Message(question, MsgButtons::YesNo, MsgIcon::Exclamation) != MsgResult::Yes)
            return Saved::Cancelled;
        // A sealed document is never keyed by a password that did not derive this file's kept key: not a
        // protected document's, which its file gives away, nor another sealed file's.
        const bool kept =
            sealed && !ask && !password.empty() && m_SealedPath == path && m_Sealed.Holds(password);
        if ((sealed && !kept) || password.empty() || ask) {
            if (!AskNewPassword(key, sealed)) return Saved::Cancelled;
        } else {
            key = password;
        }
        if (sealed) {
            // F2 under the kept key, and a new key's derivation too, go to the background when there is one:
            // the window waits only for the text's UTF-8. A new password (Save As) gets a new salt; F2 seals
            // with the kept key, unless it was derived with fewer iterations than a new one gets: then one
            // derivation under a new salt.
            const bool reuse = kept && m_Sealed.Iterations() >= protect::kSealedIterations;
            if (background) {
                if (SealInBackground(path, key, reuse, lend, length, *background)) {
                    base::Wipe(key);
                    return Saved::Writing;
                }
            } else if (const protect::SealedKey* sealing =
                           reuse ? &m_Sealed : (fresh.DeriveNew(key) ? &fresh : nullptr)) {
                // Derived before the text is lent: the box lends it only for work that cannot wait on
                // anything.
                protect::SealedCodec codec(m_Crypto, *sealing);
                ok = WriteThrough(m_Files, path, codec, lend, length, keptCopy);
            }
        } else {
            protect::MaskedCodec codec(key);
            ok = WriteThrough(m_Files, path, codec, lend, length, keptCopy);
        }
    } catch (const std::exception&) {
        platform::TraceCurrentException(u"save");
        ok = false;
    }
    if (ok) {
        format = {};  // masked and sealed documents are held in a form of their own
        Landed(path);
        if (fresh.Ready()) {
            m_Sealed.Take(fresh);
            m_SealedPath = path;
        } else if (!sealed) {
            Forget();  // the document is now another file
        }
        if (!key.empty() && key != password) {
            base::Wipe(password);
            password = std::move(key);
        }
        base::Wipe(key);
        return Saved::Written;
    }
    base::Wipe(key);
    // The modified mark stays, and the user learns that the file on disk is the old one, or where the new one
    // is when the old is gone.
    m_Prompts.Message(protect::NotSavedMessage(keptCopy, path), MsgButtons::Ok, MsgIcon::None);
    return Saved::Failed;
}

// What the jobs' thread holds: the plaintext until it is sealed, the password and a key (the kept one's copy,
// or a new salt whose key it derives); all wiped however the job ends, also when it never runs.
struct DocumentStore::SealWork {
    SealWork(Crypto& c, Files& f, const Text& p, const Text& pw)
        : crypto(c), files(f), path(p), password(pw), key(c) {}
    ~SealWork() {
        base::Wipe(password);
        crypto.Wipe(file.data(), file.size());
    }
    Crypto& crypto;
    Files& files;
    const Text path;
    Text password;
    protect::SealedKey key;
    Text temp;  // the sealed file, written and flushed beside path; empty when it could not be
    Bytes file;
};

bool DocumentStore::SealInBackground(const Text& path, const Text& password, bool reuse, const Lend& lend,
                                     size_t length, const Background& background) {
    auto work = std::make_shared<SealWork>(m_Crypto, m_Files, path, password);
    if (reuse)
        work->key.CopyFrom(m_Sealed);
    else if (!work->key.NewSalt())
        return false;
    size_t bytes = 0;
    bool measured = false;
    lend([&](std::u16string_view text) {
        measured = text.size() == length;
        bytes = base::Utf8Length(text);
    });
    if (!measured) return false;
    const uint64_t number = ++m_Saves;
    background.jobs.Post([work, bytes](Http&) { work->file.assign(protect::kSealedMinSize + bytes, '\0'); },
                         [this, work, reuse, number, lend, background] {
                             bool prepared = false;
                             if (background.current())
                                 lend([&](std::u16string_view text) {
                                     prepared = protect::PrepareSealed(m_Crypto, work->key, text, work->file);
                                 });
                             if (prepared) return SealAndWrite(work, reuse, number, background);
                             Text none;
                             background.done(false, none, base::TextFormat{});
                         });
    return true;
}

void DocumentStore::SealAndWrite(const std::shared_ptr<SealWork>& work, bool reuse, uint64_t number,
                                 const Background& background) {
    background.jobs.Post(
        [work, reuse](Http&) {
            const bool keyed = reuse || work->key.DeriveFrom(work->password);
            const bool sealed = keyed && protect::SealPrepared(work->crypto, work->key.Key(), work->file);
            if (!sealed) work->crypto.Wipe(work->file.data(), work->file.size());
            if (reuse) work->key.Clear();  // the store keeps its own
            if (sealed)
                work->temp = base::WriteTempFor(work->files, work->path,
                                                [&](const Files::PutBytes& put) { return put(work->file); });
            Bytes().swap(work->file);  // ciphertext, or wiped: its memory goes now
        },
        [this, work, number, done = background.done] {
            bool written = false;
            Text keptCopy;
            if (!work->temp.empty()) {
                if (m_Landed[work->path] > number) {
                    m_Files.Delete(work->temp);  // a later save of the file landed first, and stays
                    written = true;
                } else if (base::PlaceTemp(m_Files, work->path, work->temp, &keptCopy)) {
                    m_Landed[work->path] = number;
                    written = true;
                }
            }
            if (!written)
                m_Prompts.Message(protect::NotSavedMessage(keptCopy, work->path), MsgButtons::Ok,
                                  MsgIcon::None);
            // A new key is kept only when the document took the file it sealed: not one it has let go
            // meanwhile.
            const bool taken = done(written, work->password, base::TextFormat{});
            if (taken && work->key.Ready()) {
                m_Sealed.Take(work->key);
                m_SealedPath = work->path;
            }
        });
}

void DocumentStore::Forget() {
    m_Sealed.Clear();
    base::Wipe(m_SealedPath);
}
