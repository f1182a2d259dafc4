// Reading and writing a whole document, plain or masked; a read or write that fails, for any reason, changes
// nothing on disk and tells the user.
#include "protect/secure_document.h"

#include <algorithm>
#include <exception>
#include <new>
#include <string>

#include "base/codepage.h"
#include "base/paths.h"
#include "base/trace.h"
#include "base/whole_file.h"
#include "protect/cipher.h"

namespace d1 {

Text TooLargeMessage(int64_t length) {
    auto mib = [](int64_t bytes) {
        const std::string n = std::to_string((bytes + (int64_t{1} << 20) - 1) >> 20);
        return Text(n.begin(), n.end()) + u" MiB";
    };
    return u"This file is " + mib(length) + u"; Lockleaf opens files up to " + mib(kLargestDocument) + u". " +
           kNotOpenedMessage;
}

bool IsProtectedName(const Text& path) { return GetExtension(path) == u"txs"; }

void ShowNuls(Text& text) { std::replace(text.begin(), text.end(), u'\0', kNulSymbol); }

void RestoreNuls(Text& text) { std::replace(text.begin(), text.end(), kNulSymbol, u'\0'); }

Text CommandLineDocument(const Text& commandLine) {
    const size_t n = commandLine.size();
    if (n >= 2 && commandLine.front() == u'"' && commandLine.back() == u'"' &&
        commandLine.find(u'"', 1) == n - 1)
        return commandLine.substr(1, n - 2);
    return commandLine;
}

}  // namespace d1

DocumentStore::DocumentStore(Files& files, Prompts& prompts) : m_Files(files), m_Prompts(prompts) {}

DocumentStore::Opened DocumentStore::Open(const Text& path, Text& password, Text& text) {
    const Text passwordBefore = password;
    if (const int64_t length = m_Files.FileLength(path); length > d1::kLargestDocument) {
        m_Prompts.Message(d1::TooLargeMessage(length), MsgButtons::Ok, MsgIcon::Exclamation);
        return Opened::Refused;
    }
    try {
        Bytes content;
        if (!d1::ReadWholeBytes(m_Files, path, content)) {
            if (!m_Files.EntryExists(path)) return Opened::Nothing;
            // A folder, or a file that is there but was never read: saving under its name would overwrite it
            // with another document's text, so the user learns of it and the caller keeps the old name.
            m_Prompts.Message(d1::kNotOpenedMessage, MsgButtons::Ok, MsgIcon::None);
            return Opened::Refused;
        }
        if (content.empty()) return Opened::Nothing;
        if (!d1::IsProtectedName(path)) {
            text = d1::FromCodePage(content);
        } else {
            // The content itself is never changed, so each try starts from the file's bytes.
            if (password.empty() || !d1::UnmaskDocument(content, password, text)) {
                password = m_Prompts.Input(d1::kPasswordPrompt);
                if (password.empty() || !d1::UnmaskDocument(content, password, text)) {
                    // The document shown, unsaved edits and all, stays: a cancelled prompt must not lose it.
                    password = passwordBefore;
                    text.clear();
                    m_Prompts.Message(d1::kNotOpenedMessage, MsgButtons::Ok, MsgIcon::None);
                    return Opened::Refused;
                }
            }
        }
        d1::ShowNuls(text);
        return Opened::Text;
    } catch (const std::exception&) {
        // Too large for memory (std::bad_alloc) or for a string (std::length_error): nothing of the half-done
        // load remains.
        d1::TraceCurrentException(u"open");
        password = passwordBefore;
        text = Text();
        m_Prompts.Message(d1::kNotOpenedMessage, MsgButtons::Ok, MsgIcon::None);
        return Opened::Refused;
    }
}

DocumentStore::Saved DocumentStore::Save(const Text& path, Text& password, bool ask, Text text) {
    bool ok = false;
    try {
        d1::RestoreNuls(text);
        if (!d1::IsProtectedName(path)) {
            ok = d1::WriteWholeFile(m_Files, path, text);
        } else {
            if (password.empty() || ask) password = m_Prompts.Input(d1::kPasswordPrompt);
            if (password.empty()) return Saved::NoPassword;
            Bytes file;
            d1::MaskDocument(password, text, file);
            ok = d1::WriteWholeBytes(m_Files, path, file);
        }
    } catch (const std::exception&) {
        d1::TraceCurrentException(u"save");
        ok = false;
    }
    if (ok) return Saved::Written;
    // The modified mark stays, and the user learns that the file on disk is the old one.
    m_Prompts.Message(d1::kNotSavedMessage, MsgButtons::Ok, MsgIcon::None);
    return Saved::Failed;
}
