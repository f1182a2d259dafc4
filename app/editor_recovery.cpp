// Snapshots of the editor's unsaved work: taken while the user types, offered back by the next start when
// the editor ended without a close (a crash, a kill, a power cut, Windows restarting for an update).
#include <new>

#include "ads/stats.h"
#include "app/editor.h"
#include "base/paths.h"
#include "base/text.h"
#include "platform/trace.h"
#include "protect/cipher.h"
#include "protect/document_kind.h"

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

protect::Snapshot Editor::TakeSnapshot(Text room) {
    TextBox& box = ActiveEditor();
    protect::Snapshot s{.name = m_Document.Name(),
                        .format = m_Document.Format(),
                        .selStart = box.SelStart(),
                        .selLength = box.SelLength(),
                        .wordWrap = m_ActiveEditor == 1,
                        .text = std::move(room)};
    // One copy, straight from where the box keeps the text into the room made for it: the disk's thread
    // encrypts it and wipes it.
    box.ReadText([&](std::u16string_view text) { s.text.assign(text); });
    return s;
}

void Editor::SnapshotIfDue() {
    if (m_Locked || !m_Document.modified || !m_Recovery.Due()) return;
    const protect::SealedKey* key = m_Documents.KeyFor(m_Document.Name());
    // A sealed document is only ever kept under its own key.
    if (m_Document.Sealed() && !key) return platform::Trace(u"snapshot: no key for the sealed document");
    try {
        size_t length = 0;
        ActiveEditor().ReadText([&](std::u16string_view text) { length = text.size(); });
        m_Recovery.Write([this](Text room) { return TakeSnapshot(std::move(room)); }, key, length);
    } catch (const std::bad_alloc&) {
        platform::Trace(u"snapshot: no memory for a copy of the text; the last one stays");
    }
}

bool Editor::Form_QueryEndSession(bool closeApp) {
    if (m_Locked) {
        // Its work is in the snapshot already, and nothing can be asked of it without the password.
        m_KeepSnapshot = m_LockedModified;
        return true;
    }
    // The process may be ended at any moment from here on: what is unsaved goes to disk first.
    if (m_Document.modified) {
        const protect::SealedKey* key = m_Documents.KeyFor(m_Document.Name());
        try {
            if (!m_Document.Sealed() || key)
                m_Recovery.WriteNow([this](Text room) { return TakeSnapshot(std::move(room)); }, key);
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

void Editor::OfferSnapshots() {
    const Command running(*this);
    const Text line = m_Platform.process.CommandLine();
    if (line.starts_with(app::kRestoreArgument)) {
        // The user already chose to restore it, in the editor that started this one.
        auto found = m_Recovery.Claim(line.substr(std::size(app::kRestoreArgument) - 1));
        protect::SnapshotCover cover;
        if (found && protect::ReadSnapshotCover(m_Platform.dataProtection, found->file, cover) ==
                         protect::SnapshotStatus::Ok)
            m_RestoredHere = Restore(*found, cover);
        return;
    }
    for (app::Recovery::Found& found : m_Recovery.FindLeftBehind()) {
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
                    m_Platform.shell.Open(ExecutablePath(), app::kRestoreArgument + id, u"");
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

bool Editor::OpenSnapshot(const Bytes& file, const Text& path, const protect::SnapshotCover& cover,
                          protect::Snapshot& s, protect::SealedKey& key, Text& password,
                          const std::function<bool(const Text&)>& accepts) {
    for (;;) {
        if (cover.sealed || accepts) {
            base::Wipe(password);
            password = m_Platform.prompts.Input(protect::kPasswordPrompt);
            if (password.empty()) return false;  // kept for later
            if (cover.sealed && !key.Derive(password, cover.header)) return false;
            if (!cover.sealed && !accepts(password)) {
                m_Platform.prompts.Message(kWrongPasswordMessage, MsgButtons::Ok, MsgIcon::None);
                continue;
            }
        }
        const protect::SnapshotStatus status =
            protect::ReadSnapshot(m_Platform.dataProtection, m_Platform.crypto, file, &key, s);
        if (status == protect::SnapshotStatus::Ok) return true;
        if (status == protect::SnapshotStatus::WrongPassword) {
            m_Platform.prompts.Message(kWrongPasswordMessage, MsgButtons::Ok, MsgIcon::None);
            continue;
        }
        m_Platform.prompts.Message(DamagedMessage(path), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
}

bool Editor::Restore(app::Recovery::Found& found, const protect::SnapshotCover& cover) {
    const Command running(*this);
    protect::Snapshot s;
    protect::SealedKey key(m_Platform.crypto);
    Text password;
    const base::WipedIf wipedText(s.text, true);
    const base::WipedIf wipedPassword(password, true);
    if (!OpenSnapshot(found.file, m_Recovery.SnapshotPath(found.id), cover, s, key, password, nullptr))
        return false;
    if (!ShowDocument(s.text, m_Document.Secret() || protect::IsSecret(protect::KindOf(s.name))))
        return false;
    // Only a sealed snapshot was opened with its document's password.
    if (!cover.sealed) base::Wipe(password);
    m_Document.Adopt(s.name, password, s.format);
    m_Documents.Forget();
    if (cover.sealed) m_Documents.Keep(s.name, key);
    m_Document.modified = true;
    if (s.wordWrap && m_ActiveEditor == 0) OnEditMenu(kMenuWordWrap);
    ActiveEditor().SetSel(s.selStart, s.selLength);
    m_Recovery.Adopt(found);
    UpdateCaption();
    return true;
}

void Editor::Form_SessionLock() { Lock(); }

bool Editor::OnTextInput(bool keyOrClick) {
    if (m_Opening) return false;
    if (!m_Locked) return true;
    if (keyOrClick && m_Commands == 0) Unlock();
    return false;  // the key that unlocks is not typed into the document
}

void Editor::Lock() {
    if (m_Locked || !Secret()) return;
    if (m_Commands > 0) {
        m_LockPending = true;  // a dialog of the command is open; its text would go from under it
        return;
    }
    m_LockPending = false;
    const bool sealed = m_Document.Sealed();
    const protect::SealedKey* key = m_Documents.KeyFor(m_Document.Name());
    if (sealed && !key) return platform::Trace(u"lock: no key for the sealed document; it stays open");
    if (!sealed && !m_Document.Password().empty() && !m_LockedPassword.Make(m_Document.Password()))
        return platform::Trace(u"lock: no check of the password could be made; the document stays open");
    // The text leaves memory only once the snapshot that brings it back is on disk.
    bool kept = false;
    try {
        kept = m_Recovery.WriteNow([this](Text room) { return TakeSnapshot(std::move(room)); }, key);
    } catch (...) {
        platform::TraceCurrentException(u"snapshot for a lock");
    }
    if (!kept) {
        m_LockedPassword.Clear();
        m_LockRetryAt = m_Platform.clock.MonotonicMilliseconds() + kLockAfterIdle;
        return platform::Trace(u"lock: the snapshot was not written; the document stays open");
    }
    m_LockedModified = m_Document.modified;
    for (TextBox* box : m_Controls.textBoxes) box->ReplaceWiping(u"");
    m_History.Clear();  // what it holds is the document's text too
    m_Document.modified = m_LockedModified;
    m_Document.WipePassword();
    m_Documents.Forget();
    m_Locked = true;
    UpdateCaption();
}

bool Editor::LockedPasswordAccepts(const Text& password) {
    if (m_LockedPassword.Made()) return m_LockedPassword.Matches(password);
    // A document restored from a snapshot was locked before its password was typed: its file tells it.
    Bytes file;
    Text text;
    const base::WipedIf wiped(text, true);
    return m_Platform.files.ReadAll(m_Document.Name(), file) && protect::UnmaskDocument(file, password, text);
}

bool Editor::Unlock() {
    if (!m_Locked) return true;
    if (m_Opening) return false;  // its password was typed; the document is on its way back
    const Command running(*this);
    const Text path = m_Recovery.OwnPath();
    Bytes file;
    protect::SnapshotCover cover;
    if (!m_Recovery.ReadOwn(file) ||
        protect::ReadSnapshotCover(m_Platform.dataProtection, file, cover) != protect::SnapshotStatus::Ok) {
        m_Platform.prompts.Message(DamagedMessage(path), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    if (cover.sealed) {
        UnlockSealed(file, path, cover.header);
        return false;
    }
    protect::Snapshot s;
    protect::SealedKey key(m_Platform.crypto);
    Text password;
    const base::WipedIf wipedText(s.text, true);
    const base::WipedIf wipedPassword(password, true);
    const auto accepts = [this](const Text& typed) { return LockedPasswordAccepts(typed); };
    if (!OpenSnapshot(file, path, cover, s, key, password, accepts)) return false;
    return ShowUnlocked(s, password, nullptr);
}

void Editor::UnlockSealed(Bytes& file, const Text& path, const protect::SealedHeader& header) {
    // What the disk's thread holds: the password, the key and the text, wiped however it ends.
    struct Work {
        explicit Work(Crypto& crypto) : key(crypto) {}
        ~Work() {
            base::Wipe(password);
            base::Wipe(s.text);
        }
        Text password;
        protect::SealedKey key;
        Bytes file;
        protect::Snapshot s;
        bool derived = false;
        protect::SnapshotStatus status = protect::SnapshotStatus::Damaged;
    };
    auto work = std::make_shared<Work>(m_Platform.crypto);
    work->password = m_Platform.prompts.Input(protect::kPasswordPrompt);
    if (work->password.empty()) return;  // still locked: the next key asks again
    work->file.swap(file);
    m_Opening = true;
    m_Platform.diskJobs.Post(
        [work, header, &protection = m_Platform.dataProtection, &crypto = m_Platform.crypto](Http&) {
            work->derived = work->key.Derive(work->password, header);
            if (work->derived)
                work->status = protect::ReadSnapshot(protection, crypto, work->file, &work->key, work->s);
            Bytes().swap(work->file);
        },
        [this, work, path] {
            m_Opening = false;
            if (work->status == protect::SnapshotStatus::Ok) {
                ShowUnlocked(work->s, work->password, &work->key);
            } else if (work->derived && work->status == protect::SnapshotStatus::WrongPassword) {
                m_Platform.prompts.Message(kWrongPasswordMessage, MsgButtons::Ok, MsgIcon::None);
                Unlock();  // asked again, as a protected document's is
            } else {
                m_Platform.prompts.Message(DamagedMessage(path), MsgButtons::Ok, MsgIcon::Exclamation);
            }
        });
}

bool Editor::ShowUnlocked(const protect::Snapshot& s, Text& password, protect::SealedKey* key) {
    if (!Replace(ActiveEditor(), s.text, true)) {
        m_Platform.prompts.Message(protect::kNotOpenedMessage, MsgButtons::Ok, MsgIcon::None);
        return false;
    }
    m_Locked = false;
    m_LockedPassword.Clear();
    m_Document.modified = m_LockedModified;
    m_Document.SetPassword(password);
    if (key) m_Documents.Keep(m_Document.Name(), *key);
    ActiveEditor().SetSel(s.selStart, s.selLength);
    // A lock of saved work kept a snapshot only for the lock.
    if (!m_Document.modified) m_Recovery.Discard();
    UpdateCaption();
    return true;
}
