// Loading and saving the document shown, and the question before it is replaced: the document store does the
// file work; here the editor, the caption and the document state follow it, and only what completed counts.
#include <memory>
#include <new>
#include <utility>

#include "ads/stats.h"
#include "app/editor.h"
#include "base/paths.h"
#include "base/text.h"
#include "platform/trace.h"
#include "protect/document_kind.h"

namespace {

Text SaveChangesQuestion(const Text& fileName) {
    return u"Do you want to save changes to " +
           (fileName.empty() ? Text(u"Untitled") : base::GetFileNamePart(fileName)) + u"?";
}

}  // namespace

bool Editor::SecureOpen(const Text& path, std::optional<base::Encoding> as) {
    Text password = m_Document.PasswordFor(path), text;
    base::TextFormat format;
    // A sealed document's key is derived off this thread: meanwhile the window paints and answers but takes
    // no command and no input, and the document shown stays; what changes it meanwhile (the Find window's
    // Replace All) keeps it, and the open is refused. A lock waits for the open.
    ++m_Commands;
    m_Opening = true;
    const auto opened = [this] {
        m_Opening = false;
        --m_Commands;
    };
    const auto shown = std::make_shared<bool>(false);
    const DocumentStore::Opening later{
        m_Platform.diskJobs, [this, path, opened, shown, before = m_DocumentsShown, changes = m_TextChanges](
                                 bool ok, Text& openedText, Text& typed) {
            opened();
            if (!ok) return false;
            if (before != m_DocumentsShown || changes != m_TextChanges) {
                m_Platform.prompts.Message(protect::kNotOpenedMessage, MsgButtons::Ok, MsgIcon::None);
                return false;
            }
            return *shown = ShowOpened(path, openedText, typed, base::TextFormat{});
        }};
    DocumentStore::Opened result = DocumentStore::Opened::Refused;
    try {
        result = m_Documents.Open(path, password, text, format, as, &later);
    } catch (...) {
        opened();
        throw;
    }
    if (result == DocumentStore::Opened::Opening) return *shown;  // shown already where jobs run at once
    opened();
    if (result == DocumentStore::Opened::Text) return ShowOpened(path, text, password, format);
    base::Wipe(password);
    return false;
}

bool Editor::ShowOpened(const Text& path, Text& text, Text& password, const base::TextFormat& format) {
    const bool secret = protect::IsSecret(protect::KindOf(path));
    const bool shown = ShowDocument(text, m_Document.Secret());
    // The box holds its own copy; ours of a protected or sealed text goes now.
    if (secret) base::Wipe(text);
    // A plain document has no password: the one remembered for the document it replaces goes too.
    if (!shown || !secret) base::Wipe(password);
    if (!shown) return false;
    m_Document.Adopt(path, password, format);
    UpdateCaption();
    return true;
}

bool Editor::ShowDocument(const Text& text, bool secret) {
    const bool loadSeenBefore = m_Document.loadSeen;
    const bool modifiedBefore = m_Document.modified;
    try {
        // The wrapping box would hang on a very long line: such a document opens with Word Wrap off.
        const bool unwrap = m_ActiveEditor == 1 && !WrapsQuickly(text);
        TextBox& box = *m_Controls.textBoxes[unwrap ? 0 : m_ActiveEditor];
        m_Document.loadSeen = false;
        // A text the box refused is not loaded: the document shown and its name stay.
        if (!Replace(box, text, secret)) throw std::bad_alloc();
        if (unwrap) {
            ShowEditor(0);
            Replace(*m_Controls.textBoxes[1], u"", secret);
        }
        m_Document.modified = false;
        ++m_DocumentsShown;
        m_History.Clear();     // the changes were the document's before this one
        m_Recovery.Discard();  // the work it kept is saved or was let go before this load
        // The box raises no change for a text it already shows; the next edit must still count.
        m_Document.loadSeen = true;
        if (unwrap) m_Platform.prompts.Message(kTooLongToWrapMessage, MsgButtons::Ok, MsgIcon::None);
        return true;
    } catch (const std::bad_alloc&) {
        platform::Trace(u"the text box refused the document or memory ran out");
        m_Document.loadSeen = loadSeenBefore;
        m_Document.modified = modifiedBefore;
        m_Platform.prompts.Message(protect::kNotOpenedMessage, MsgButtons::Ok, MsgIcon::None);
        return false;
    }
}

bool Editor::Replace(TextBox& box, const Text& text, bool secret) {
    return secret ? box.ReplaceWiping(text) : box.SetText(text);
}

bool Editor::SecureSave(bool ask, bool background) {
    if (m_Document.Untitled()) return SaveAs(background);
    return SaveTo(m_Document.Name(), ask, m_Document.Format(), background);
}

bool Editor::SaveTo(const Text& path, bool ask, base::TextFormat format, bool background) {
    const bool plain = protect::KindOf(path) == protect::DocumentKind::Plain;
    Text password = m_Document.PasswordFor(path);
    // When it lands, the file is the document's if the document is still the one saved and no save has begun
    // since; it is saved if its text is also as it was then.
    const uint64_t save = ++m_SavesBegun;
    const DocumentStore::Background later{
        m_Platform.diskJobs,
        [this, path, save, shown = m_DocumentsShown, changes = m_TextChanges](bool written, Text& typed,
                                                                              const base::TextFormat& form) {
            if (!written || m_Locked || save != m_SavesBegun || shown != m_DocumentsShown) return false;
            Adopt(path, typed, form, changes == m_TextChanges);
            return true;
        },
        [this, shown = m_DocumentsShown] { return !m_Locked && shown == m_DocumentsShown; }};
    // Straight from the box's own buffer into the file: no copy of the whole text on the way.
    const DocumentStore::Saved saved = m_Documents.Save(
        path, password, ask,
        [this](const std::function<void(std::u16string_view)>& read) { ActiveEditor().ReadText(read); },
        format, background ? &later : nullptr);
    if (saved != DocumentStore::Saved::Written) {
        base::Wipe(password);
        return false;
    }
    // A plain file has no password: the one of the document it was keeps no more.
    if (plain) base::Wipe(password);
    Adopt(path, password, format, true);
    return true;
}

void Editor::Adopt(const Text& path, Text& password, const base::TextFormat& format, bool saved) {
    // Only now is this the document's name, password and form: a save that did not happen changes none.
    m_Document.Adopt(path, password, format);
    if (saved)
        MarkSaved();
    else
        UpdateCaption();
}

void Editor::MarkSaved() {
    m_Document.modified = false;
    m_Recovery.Discard();
    UpdateCaption();
}

bool Editor::SaveChangesFirst() {
    if (!m_Document.modified) return true;
    switch (m_Platform.prompts.Message(SaveChangesQuestion(m_Document.Name()), MsgButtons::YesNoCancel,
                                       MsgIcon::None)) {
        case MsgResult::Yes:
            if (SecureSave(false)) return true;
            break;
        case MsgResult::No:
            return true;
        default:
            break;
    }
    ActiveEditor().SetFocus();
    return false;
}

bool Editor::Form_QueryUnload() {
    const Command running(*this);
    if (!Unlock()) {
        // Its password typed, it is on its way back: the window stays, and the close box asks again then.
        if (m_Opening) return false;
        // The password not given: the window still closes, its work kept for the next start to offer.
        m_KeepSnapshot = m_LockedModified;
        return true;
    }
    return SaveChangesFirst();
}

void Editor::OpenCommandLineDocument() {
    const Text line = m_Platform.process.CommandLine();
    if (line == app::kRestartArgument || line.starts_with(app::kRestoreArgument)) return;
    const Text document = app::CommandLineDocument(line);
    if (document.empty()) return;
    // Absolute now: a file dialog may change the current directory before the first F2.
    const Text path = m_Platform.process.FullPath(document);
    // The restored work is not put at risk by a question: the document opens beside it.
    if (m_RestoredHere) {
        m_Platform.shell.Open(ExecutablePath(), u"\"" + path + u"\"", u"");
        return;
    }
    SecureOpen(path);
}
