// Snapshots of the editor's unsaved work: taken while the user types, offered back by the next start when
// the editor ended without a close (a crash, a kill, a power cut, Windows restarting for an update).
#include <new>

#include "ads/stats.h"
#include "app/fou.h"
#include "base/paths.h"
#include "base/text.h"
#include "platform/trace.h"

namespace {

Text RestoreQuestion(const Text& name) {
    return u"Lockleaf closed before the changes to " +
           (name.empty() ? Text(u"an untitled document") : base::GetFileNamePart(name)) +
           u" were saved. Restore them?";
}

Text DamagedMessage(const Text& path) {
    return u"The unsaved changes kept in " + path +
           u" cannot be read, so they were not restored. The file is kept where it is.";
}

constexpr char16_t kWrongPasswordMessage[] = u"The password is wrong.";

}  // namespace

protect::Snapshot Fou::TakeSnapshot() {
    TextBox& box = ActiveEditor();
    protect::Snapshot s{d1::g_FileName,          d1::g_Format, box.SelStart(), box.SelLength(),
                        d1::g_ActiveEditor == 1, box.GetText()};
    return s;
}

void Fou::SnapshotIfDue() {
    if (!m_Modified || !m_Recovery.Due()) return;
    const protect::SealedKey* key = m_Documents.KeyFor(d1::g_FileName);
    // A sealed document is only ever kept under its own key.
    if (protect::IsSealedName(d1::g_FileName) && !key)
        return platform::Trace(u"snapshot: no key for the sealed document");
    try {
        m_Recovery.Write([this] { return TakeSnapshot(); }, key);
    } catch (const std::bad_alloc&) {
        platform::Trace(u"snapshot: no memory for a copy of the text; the last one stays");
    }
}

bool Fou::Form_QueryEndSession(bool closeApp) {
    // The process may be ended at any moment from here on: what is unsaved goes to disk first.
    if (m_Modified) {
        const protect::SealedKey* key = m_Documents.KeyFor(d1::g_FileName);
        try {
            if (!protect::IsSealedName(d1::g_FileName) || key)
                m_Recovery.WriteNow([this] { return TakeSnapshot(); }, key);
        } catch (...) {
            platform::TraceCurrentException(u"snapshot at the end of the session");
        }
    }
    if (closeApp && m_Recovery.HasSnapshot()) {
        // Closed for an update, and started again after it: the snapshot is offered then, nothing is asked.
        m_KeepSnapshot = true;
        return true;
    }
    return Form_QueryUnload();
}

void Fou::OfferSnapshots() {
    const Text line = m_Platform.process.CommandLine();
    if (line.starts_with(d1::kRestoreArgument)) {
        // The user already chose to restore it, in the editor that started this one.
        auto found = m_Recovery.Claim(line.substr(std::size(d1::kRestoreArgument) - 1));
        protect::SnapshotCover cover;
        if (found && protect::ReadSnapshotCover(m_Platform.dataProtection, found->file, cover) ==
                         protect::SnapshotStatus::Ok)
            m_RestoredHere = Restore(*found, cover);
        return;
    }
    for (d1::Recovery::Found& found : m_Recovery.FindLeftBehind()) {
        protect::SnapshotCover cover;
        if (protect::ReadSnapshotCover(m_Platform.dataProtection, found.file, cover) !=
            protect::SnapshotStatus::Ok) {
            m_Platform.prompts.Message(DamagedMessage(m_Recovery.SnapshotPath(found.id)), MsgButtons::Ok,
                                       MsgIcon::Exclamation);
            continue;
        }
        switch (
            m_Platform.prompts.Message(RestoreQuestion(cover.name), MsgButtons::YesNoCancel, MsgIcon::None)) {
            case MsgResult::Yes:
                if (!m_RestoredHere) {
                    m_RestoredHere = Restore(found, cover);
                } else {
                    // One document a window: the next opens in an editor of its own, which claims it.
                    const Text id = found.id;
                    found.claim.reset();
                    m_Platform.shell.Execute(u"open", ExecutablePath(), d1::kRestoreArgument + id, u"",
                                             ads::kSwShowNormal);
                }
                break;
            case MsgResult::No:
                m_Recovery.Delete(found);
                break;
            default:
                break;  // kept for the next start
        }
    }
}

bool Fou::Restore(d1::Recovery::Found& found, const protect::SnapshotCover& cover) {
    protect::Snapshot s;
    protect::SealedKey key(m_Platform.crypto);
    Text password;
    const base::WipedIf wipedText(s.text, true);
    const base::WipedIf wipedPassword(password, true);
    for (;;) {
        if (cover.sealed) {
            base::Wipe(password);
            password = m_Platform.prompts.Input(protect::kPasswordPrompt);
            if (password.empty()) return false;  // kept for the next start
            if (!key.Derive(password, cover.header)) return false;
        }
        const protect::SnapshotStatus status =
            protect::ReadSnapshot(m_Platform.dataProtection, m_Platform.crypto, found.file, &key, s);
        if (status == protect::SnapshotStatus::Ok) break;
        if (status == protect::SnapshotStatus::WrongPassword) {
            m_Platform.prompts.Message(kWrongPasswordMessage, MsgButtons::Ok, MsgIcon::None);
            continue;
        }
        m_Platform.prompts.Message(DamagedMessage(m_Recovery.SnapshotPath(found.id)), MsgButtons::Ok,
                                   MsgIcon::Exclamation);
        return false;
    }
    const Text nameBefore = d1::g_FileName;
    d1::g_FileName = s.name;  // the box wipes what it lets go of a secret document's text
    if (!ShowDocument(s.text)) {
        d1::g_FileName = nameBefore;
        return false;
    }
    d1::g_Format = s.format;
    base::Wipe(d1::g_Password);
    m_Documents.Forget();
    if (cover.sealed) {
        m_Documents.Keep(s.name, key);
        d1::g_Password = password;
    }
    m_Modified = true;
    if (s.wordWrap && d1::g_ActiveEditor == 0) mnu2_Click(kMnuWordWrap);
    ActiveEditor().SetSel(s.selStart, s.selLength);
    m_Recovery.Adopt(found);
    UpdateCaption();
    return true;
}
