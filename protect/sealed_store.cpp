// The document store's sealed documents: the header is checked before any password is asked, and a derived
// key is kept for its file so that opening or saving that file again derives none.
#include <memory>
#include <utility>

#include "base/nuls.h"
#include "base/text.h"
#include "protect/document_codecs.h"
#include "protect/secure_document.h"

DocumentStore::Opened DocumentStore::OpenSealedContent(const Text& path, Bytes& content, Text& password,
                                                       Text& text, const Opening* opening) {
    protect::SealedHeader header;
    protect::SealedStatus status = protect::ReadSealedHeader(content, header);
    if (status != protect::SealedStatus::Ok) {
        m_Prompts.Message(protect::SealedMessage(status), MsgButtons::Ok, MsgIcon::None);
        return Opened::Refused;
    }
    protect::SealedKey candidate(m_Crypto);
    const bool keptKey = m_SealedPath == path && m_Sealed.Holds(password, header);
    const auto attempt = [&](const Text& pw) {
        const bool kept = m_SealedPath == path && m_Sealed.Holds(pw, header);
        if (!kept && !candidate.Derive(pw, header)) return protect::SealedStatus::Failed;
        protect::SealedCodec codec(m_Crypto, kept ? m_Sealed : candidate);
        codec.Read(content, text);
        return codec.status;
    };
    // The remembered password is tried only through the key it derived for this very file: no derivation is
    // spent on it, and another file's password (a protected one's, or another seal's) never opens this one.
    status = keptKey ? attempt(password) : protect::SealedStatus::WrongPassword;
    Text typed;
    try {
        if (status == protect::SealedStatus::WrongPassword) {
            typed = m_Prompts.Input(protect::kPasswordPrompt);
            if (typed.empty()) {
                m_Prompts.Message(protect::kNotOpenedMessage, MsgButtons::Ok, MsgIcon::None);
                return Opened::Refused;
            }
            if (opening && !(m_SealedPath == path && m_Sealed.Holds(typed, header))) {
                OpenInBackground(path, header, content, typed, *opening);
                base::Wipe(typed);
                return Opened::Opening;
            }
            status = attempt(typed);
        }
    } catch (...) {
        base::Wipe(typed);
        throw;
    }
    if (status != protect::SealedStatus::Ok) {
        base::Wipe(typed);
        m_Prompts.Message(protect::SealedMessage(status), MsgButtons::Ok, MsgIcon::None);
        return Opened::Refused;
    }
    if (!typed.empty()) {
        base::Wipe(password);
        password = std::move(typed);
    }
    if (candidate.Ready()) {
        m_Sealed.Take(candidate);
        m_SealedPath = path;
    }
    return Opened::Text;
}

void DocumentStore::OpenInBackground(const Text& path, const protect::SealedHeader& header, Bytes& content,
                                     const Text& typed, const Opening& opening) {
    // What the jobs' thread holds: the password, the key and the plaintext, wiped however the job ends.
    struct Work {
        Work(Crypto& c, const Text& p, const Text& pw) : path(p), password(pw), key(c) {}
        ~Work() {
            base::Wipe(password);
            base::Wipe(text);
        }
        const Text path;
        Text password;
        protect::SealedKey key;
        Bytes content;
        Text text;
        protect::SealedStatus status = protect::SealedStatus::Failed;
    };
    auto work = std::make_shared<Work>(m_Crypto, path, typed);
    work->content.swap(content);
    opening.jobs.Post(
        [work, header, &crypto = m_Crypto](Http&) {
            if (work->key.Derive(work->password, header)) {
                protect::SealedCodec codec(crypto, work->key);
                codec.Read(work->content, work->text);
                work->status = codec.status;
            }
            Bytes().swap(work->content);
            if (work->status == protect::SealedStatus::Ok) base::ShowNuls(work->text);
        },
        [this, work, done = opening.done] {
            const bool opened = work->status == protect::SealedStatus::Ok;
            if (!opened) {
                base::Wipe(work->text);
                m_Prompts.Message(protect::SealedMessage(work->status), MsgButtons::Ok, MsgIcon::None);
            }
            if (done(opened, work->text, work->password) && opened) {
                m_Sealed.Take(work->key);
                m_SealedPath = work->path;
            }
        });
}
