// SecureOpen and SecureSave of the main window, and the start-up step that opens the command-line document.
// A read or write that fails, for any reason, leaves the editor as it was; the user is told of both.
#include "protect/secure_document.h"

#include <new>
#include <utility>

#include "app/fou.h"
#include "app/paths.h"
#include "protect/cipher.h"
#include "protect/codepage.h"
#include "protect/whole_file.h"

namespace d1 {

bool IsProtectedName(const Text& path) { return GetExtension(path) == u"txs"; }

void ShowNuls(Text& text) {
    for (size_t at = text.find(u'\0'); at != Text::npos; at = text.find(u'\0', at + 1)) text[at] = kNulSymbol;
}

void RestoreNuls(Text& text) {
    for (size_t at = text.find(kNulSymbol); at != Text::npos; at = text.find(kNulSymbol, at + 1)) text[at] = u'\0';
}

Text CommandLineDocument(const Text& commandLine) {
    const size_t n = commandLine.size();
    if (n >= 2 && commandLine.front() == u'"' && commandLine.back() == u'"' &&
        commandLine.find(u'"', 1) == n - 1)
        return commandLine.substr(1, n - 2);
    return commandLine;
}

}  // namespace d1

bool Fou::SecureOpen() {
    const Text passwordBefore = d1::g_Password;
    const Text fileNameBefore = d1::g_FileName;
    const Text markerBefore = m_LoadMarker;
    const bool modifiedBefore = m_Modified;
    const auto refuse = [&] {
        // Saving under the name of a file that is there but was never read would overwrite it with
        // another document's text, so the user learns of it and the caller keeps the old name.
        p.prompts.Message(d1::kNotOpenedMessage, MsgButtons::Ok, MsgIcon::None);
        return false;
    };
    try {
        Bytes content;
        if (!d1::ReadWholeBytes(p.files, d1::g_FileName, content))
            return p.files.EntryExists(d1::g_FileName) ? refuse() : true;
        if (content.empty()) return true;
        Text text;
        if (!d1::IsProtectedName(d1::g_FileName)) {
            text = d1::FromCodePage(content);
        } else {
            bool asked = false;
            for (;;) {
                // The content itself is never changed, so each try starts from the file's bytes.
                if (!d1::g_Password.empty() && d1::UnmaskDocument(content, d1::g_Password, text)) break;
                if (asked) {
                    text.clear();
                    d1::g_FileName.clear();
                    d1::g_Password.clear();
                    break;
                }
                d1::g_Password = p.prompts.Input(d1::kPasswordPrompt);
                asked = true;
            }
        }
        content = Bytes();  // a big document's bytes must not stay beside its text and the box's copy
        d1::ShowNuls(text);
        m_LoadMarker.clear();
        m_Modified = false;
        ActiveEditor().SetText(text);
        // The box raises no change for a text it already shows; the next edit must still count.
        m_LoadMarker.assign(1, u'1');
        UpdateCaption();
        return true;
    } catch (const std::bad_alloc&) {
        // Too large for memory: nothing of the half-done load remains.
        d1::g_Password = passwordBefore;
        d1::g_FileName = fileNameBefore;
        m_LoadMarker = markerBefore;
        m_Modified = modifiedBefore;
        return refuse();
    }
}

void Fou::SecureSave(bool ask) {
    if (d1::g_FileName.empty()) return;
    bool ok = false;
    try {
        Text text = ActiveEditor().GetText();
        d1::RestoreNuls(text);
        if (!d1::IsProtectedName(d1::g_FileName)) {
            ok = d1::WriteWholeFile(p.files, d1::g_FileName, text);
        } else {
            if (d1::g_Password.empty() || ask) d1::g_Password = p.prompts.Input(d1::kPasswordPrompt);
            if (d1::g_Password.empty()) {
                // Only the Save As that has just chosen this name goes back to the one before it; a plain
                // Save keeps the name that the caption shows.
                if (ask) d1::g_FileName = std::exchange(m_PrevFileName, Text());
                UpdateCaption();
                p.prompts.Message(d1::kNotSavedMessage, MsgButtons::Ok, MsgIcon::None);
                return;
            }
            Bytes file;
            d1::MaskDocument(d1::g_Password, text, file);
            ok = d1::WriteWholeBytes(p.files, d1::g_FileName, file);
        }
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    if (!ok) {
        // The modified mark stays, and the user learns that the file on disk is the old one.
        p.prompts.Message(d1::kNotSavedMessage, MsgButtons::Ok, MsgIcon::None);
        return;
    }
    m_Modified = false;
    UpdateCaption();
}

void Fou::OpenDocument(const Text& path) {
    const Text shown = d1::g_FileName;
    d1::g_FileName = path;
    if (!SecureOpen()) d1::g_FileName = shown;
    UpdateCaption();  // also when nothing was loaded: the caption names the file that a save writes
}

void Fou::OpenCommandLineDocument() {
    const Text document = d1::CommandLineDocument(p.process.CommandLine());
    if (!document.empty()) OpenDocument(document);
}
