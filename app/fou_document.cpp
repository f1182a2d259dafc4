// SecureOpen and SecureSave of the main window, and the start-up step that opens the command-line document:
// the document store does the file work; here the editor, the caption and the document state follow it.
#include <new>
#include <utility>

#include "app/fou.h"
#include "base/trace.h"

bool Fou::SecureOpen() {
    const Text markerBefore = m_LoadMarker;
    const bool modifiedBefore = m_Modified;
    Text text;
    switch (m_Documents.Open(d1::g_FileName, d1::g_Password, text)) {
        case DocumentStore::Opened::Refused:
            return false;
        case DocumentStore::Opened::Nothing:
            return true;
        case DocumentStore::Opened::Text:
            break;
    }
    try {
        // The wrapping box would hang on a very long line: such a document opens with Word Wrap off.
        const bool unwrap = d1::g_ActiveEditor == 1 && !WrapsQuickly(text);
        TextBox& box = *c.txtData[unwrap ? 0 : d1::g_ActiveEditor];
        m_LoadMarker.clear();
        m_Modified = false;
        // A text the box refused is not loaded: the document shown and its name stay.
        if (!box.SetText(text)) throw std::bad_alloc();
        if (unwrap) {
            ShowEditor(0);
            c.txtData[1]->SetText(u"");
        }
        m_Modified = false;
        // The box raises no change for a text it already shows; the next edit must still count.
        m_LoadMarker.assign(1, u'1');
        if (unwrap) p.prompts.Message(kTooLongToWrapMessage, MsgButtons::Ok, MsgIcon::None);
        UpdateCaption();
        return true;
    } catch (const std::bad_alloc&) {
        d1::Trace(u"the text box refused the document or memory ran out");
        m_LoadMarker = markerBefore;
        m_Modified = modifiedBefore;
        p.prompts.Message(d1::kNotOpenedMessage, MsgButtons::Ok, MsgIcon::None);
        return false;
    }
}

void Fou::SecureSave(bool ask) {
    if (d1::g_FileName.empty()) return;
    Text text;
    try {
        text = ActiveEditor().GetText();
    } catch (const std::bad_alloc&) {
        p.prompts.Message(d1::kNotSavedMessage, MsgButtons::Ok, MsgIcon::None);
        return;
    }
    switch (m_Documents.Save(d1::g_FileName, d1::g_Password, ask, std::move(text))) {
        case DocumentStore::Saved::Written:
            m_Modified = false;
            UpdateCaption();
            break;
        case DocumentStore::Saved::NoPassword:
            // Only the Save As that has just chosen this name goes back to the one before it; a plain Save
            // keeps the name that the caption shows.
            if (ask) d1::g_FileName = std::exchange(m_PrevFileName, Text());
            UpdateCaption();
            p.prompts.Message(d1::kNotSavedMessage, MsgButtons::Ok, MsgIcon::None);
            break;
        case DocumentStore::Saved::Failed:
            break;
    }
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
