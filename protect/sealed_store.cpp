// The document store's sealed documents: the header is checked before any password is asked, a remembered
// password is tried first, and a derived key is kept so that saving again derives none.
#include <utility>

#include "base/text.h"
#include "protect/secure_document.h"

bool DocumentStore::OpenSealedContent(const Bytes& content, Text& password, Text& text) {
    d1::SealedHeader header;
    d1::SealedStatus status = d1::ReadSealedHeader(content, header);
    if (status != d1::SealedStatus::Ok) {
        m_Prompts.Message(d1::SealedMessage(status), MsgButtons::Ok, MsgIcon::None);
        return false;
    }
    d1::SealedKey candidate(m_Crypto);
    const auto attempt = [&](const Text& pw) {
        if (m_Sealed.Holds(pw, header)) return d1::OpenSealed(m_Crypto, content, m_Sealed, text);
        if (!candidate.Derive(pw, header)) return d1::SealedStatus::Failed;
        return d1::OpenSealed(m_Crypto, content, candidate, text);
    };
    status = password.empty() ? d1::SealedStatus::WrongPassword : attempt(password);
    Text typed;
    try {
        if (status == d1::SealedStatus::WrongPassword) {
            typed = m_Prompts.Input(d1::kPasswordPrompt);
            if (typed.empty()) {
                m_Prompts.Message(d1::kNotOpenedMessage, MsgButtons::Ok, MsgIcon::None);
                return false;
            }
            status = attempt(typed);
        }
    } catch (...) {
        d1::Wipe(typed);
        throw;
    }
    if (status != d1::SealedStatus::Ok) {
        d1::Wipe(typed);
        m_Prompts.Message(d1::SealedMessage(status), MsgButtons::Ok, MsgIcon::None);
        return false;
    }
    if (!typed.empty()) {
        d1::Wipe(password);
        password = std::move(typed);
    }
    if (candidate.Ready()) m_Sealed.Take(candidate);
    return true;
}

bool DocumentStore::SealContent(const Text& password, bool newKey, std::u16string_view text,
                                d1::SealedKey& fresh, Bytes& file) {
    // A new password (Save As) gets a new salt; F2 under the document's password seals with its kept key.
    if (!newKey && m_Sealed.Holds(password)) return d1::SealText(m_Crypto, m_Sealed, text, file);
    return fresh.DeriveNew(password) && d1::SealText(m_Crypto, fresh, text, file);
}
