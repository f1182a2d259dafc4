// The main editor window: composition, layout, caption, document state, keys, drops, menus.
// The Win32 window procedure (win32) and the tests drive it through these handlers alone.
#pragma once
#include <optional>
#include <vector>

#include "ads/ad_strip.h"
#include "app/document.h"
#include "app/program.h"
#include "app/recovery.h"
#include "find/find_replace.h"
#include "protect/secure_document.h"

// The items of the File, Edit and Help menus by their index (index 4 of File is the separator).
enum FileMenuItem : int { kMenuNew = 0, kMenuOpen = 1, kMenuSave = 2, kMenuSaveAs = 3, kMenuExit = 5 };
enum EditMenuItem : int {
    kMenuFind = 0,
    kMenuWordWrap = 1,
    kMenuStatusBar = 2,
    kMenuUndo = 3,
    kMenuRedo = 4
};
enum HelpMenuItem : int { kMenuAbout = 0 };

// Word Wrap stays off for a document with a longer line: the wrapping box's time grows with the square of a
// line's length (under Wine 128 Ki characters take seconds, 1 Mi characters many minutes).
constexpr size_t kLongestWrappedLine = size_t{128} * 1024;
constexpr char16_t kTooLongToWrapMessage[] =
    u"This document has a line too long to wrap (more than 131072 characters). Word Wrap stays off.";
// False for a text with a line longer than kLongestWrappedLine.
bool WrapsQuickly(std::u16string_view text);
// A longer document is asked about before Word Wrap moves it (both ways): the box takes it in one call that
// holds the window for seconds (under Wine 4 Mi characters take 15 s to wrap and 6 s to unwrap, a bare EDIT's
// twice that).
constexpr size_t kLongToRewrap = size_t{1024} * 1024;
constexpr char16_t kLongToRewrapQuestion[] =
    u"This document is large: switching Word Wrap can take a minute or more, and Lockleaf does not respond "
    u"until it is done.\r\nSwitch Word Wrap now?";
// The editor's one timer's period (ms).
constexpr uint32_t kTimerInterval = 200;
// A protected or sealed document is locked after this long without the user's input.
constexpr int64_t kLockAfterIdle = int64_t{10} * 60 * 1000;
// The text's zoom: 10% to 500% of the designed size, in steps of 10%; every start at 100%.
constexpr int kZoomLeast = 10, kZoomMost = 500, kZoomStep = 10, kZoomDesigned = 100;
// The status bar's parts, left to right.
enum StatusPart : int { kStatusPosition = 0, kStatusZoom = 1, kStatusLineBreaks = 2, kStatusEncoding = 3 };
// The commands named in "Not enough memory to ...".
constexpr char16_t kFindCommand[] = u"find";
constexpr char16_t kWordWrapCommand[] = u"switch Word Wrap";
constexpr char16_t kUndoCommand[] = u"undo";
constexpr char16_t kRedoCommand[] = u"redo";

// The main editor window.
class Editor : public FindEditor, public EditorEvents {
public:
    // findHost: the Find/Replace window's toolkit; null where there is none (the keys still find).
    Editor(Platform& platform, EditorHost& host, FindReplaceHost* findHost);
    ~Editor();

    // Creation: Form_Initialize, the window, Form_Load; then the window is shown.
    void Load();

    void Form_Initialize();
    void Form_Load();
    void AfterShow();
    void Form_Resize() override;
    void Form_Unload() override;

    void UpdateCaption();
    // The two text boxes' events: index 0 is the box without word wrap, 1 the one with it.
    void OnTextChange(int index) override;
    void OnTextEdit(int index, TextEdit& edit) override;
    void OnTextFocus(int index) override;
    bool OnTextKeyDown(int index, Key key, int shift) override;
    void OnFilesDropped(int index, const std::vector<Text>& files, int effect) override;
    void OnSelectionChange(int index) override;
    void OnTextWheel(int index, int delta, int shift) override;
    void OnFileMenu(int index) override;  // the File menu (FileMenuItem)
    void OnEditMenu(int index) override;  // the Edit menu (EditMenuItem)
    void OnHelpMenu(int index) override;  // the Help menu (HelpMenuItem)
    void SwitchWordWrap();                // moves the text to the other box (asking first for a large one)
    void ShowEditor(int index);           // the box the user sees and types in: 1 with Word Wrap on, 0 off

    TextBox& ActiveEditor() override { return *m_Controls.textBoxes[m_ActiveEditor]; }
    int ActiveEditorIndex() const override { return m_ActiveEditor; }
    Window& EditorWindow() override { return *m_Controls.window; }
    bool Secret() const override { return m_Document.Secret(); }  // the document shown is protected or sealed
    Text AboutText() const;
    Text ExecutablePath() const;
    const Document& CurrentDocument() const { return m_Document; }
    Document& CurrentDocument() { return m_Document; }
    bool KeepsSealedKey() const { return m_Documents.HoldsKey(); }  // a derived key is still in memory

    // ---- documents ----
    // Loads path, plain or protected, into the active editor. Only a load that completes changes the text,
    // the document's name and password; otherwise the user has been told and the document shown stays as it
    // was. as: the encoding chosen in the Open dialog for a plain document, instead of detecting one.
    // True when shown by the time it returns; a sealed document whose key is derived off this thread shows
    // when that is done.
    bool SecureOpen(const Text& path, std::optional<base::Encoding> as = std::nullopt);
    // Writes the document under its name (Save As for an untitled one). ask: a new password even when one
    // is remembered. True when written. background: the save may end on the disk's thread (a sealed
    // document's, with its key's derivation): false then, and when it lands the file becomes the document's
    // if no other document or save has come since, and saved unless its text changed meanwhile.
    bool SecureSave(bool ask, bool background = false);
    // The Save As dialog, then the save; the name and password change only when written. background: as
    // SecureSave's.
    bool SaveAs(bool background = false);
    // Before the document is replaced or the window closes: Save, Don't Save or Cancel when it is modified.
    // True when the command may go on.
    bool SaveChangesFirst();
    bool Form_QueryUnload() override;  // the close box, Exit and the end of the Windows session
    bool Form_QueryEndSession(bool closeApp) override;
    void OpenCommandLineDocument();
    // ---- snapshots of unsaved work (app/fou_recovery.cpp) ----
    // At start: each snapshot that an editor which did not close left behind is offered back.
    void OfferSnapshots();
    bool KeepsSnapshot() const { return m_Recovery.HasSnapshot(); }
    // ---- a secret document locked while the user is away (app/fou_recovery.cpp) ----
    // Its work goes to the snapshot, then its text, password and key leave memory; a plain one stays.
    void Lock();
    // The password brings the document back as it was; false while it stays locked (cancelled, or the
    // snapshot could not be read). True at once for a document that is not locked. A sealed one's key is
    // derived off the window's thread, as its open's is: false then too, and the command that asked is not
    // run; the document comes back when the key is, and a wrong password is told and asked again.
    bool Unlock();
    // Every command's first step: no open or unlock on its way, and Unlock.
    bool Ready() { return !m_Opening && Unlock(); }
    bool Locked() const { return m_Locked; }
    void Form_SessionLock() override;
    bool OnTextInput(bool keyOrClick) override;
    // ---- status bar, zoom, Go To (app/fou_view.cpp) ----
    // The status bar's texts from the caret, the zoom and the document's form, each set only when it changed.
    void UpdateStatus();
    void ShowStatusBar(bool shown);  // the bar, its menu item's check and the layout
    bool StatusBarShown() const { return m_StatusBarOn; }
    // The text's zoom in percent, clamped to kZoomLeast..kZoomMost.
    void SetZoom(int percent);
    int Zoom() const { return m_Zoom; }
    // Ctrl+G: the line number asked for, then the caret at that line's start, scrolled into view.
    void GoToLine();
    // ---- undo and redo (app/fou_history.cpp) ----
    // The last change taken back, or the last one taken back done again: the text, then the selection as
    // it stood before (after) it. Nothing when there is none.
    void Undo();
    void Redo();
    void Did(base::EditStep step) override;
    const base::EditHistory& History() const { return m_History; }
    // ---- file commands ----
    Text GetFilter(const Text& fileName, int32_t& index);  // own-type filter piece; index: 0, 2, 3 or 5
    const class FileDialogState* FileDialog() const { return m_Dialog.get(); }  // null until the first dialog
    // ---- find and replace ----
    FindReplace&
    Finder();  // the find operations; made on first use, they work whether or not the window is open
    // ---- settings ----
    void SaveAll();           // stores the window's restored rectangle as "position"
    void RestorePlacement();  // moves the window to the stored "position", when it is four numbers
    // ---- the timer ----
    // The timer (kTimerInterval): the advertising strip's refresh schedule, the idle lock, snapshots.
    void OnTimer() override;

private:
    // A completed load's text into the editor, marks cleared; secret: the box wipes the text it lets go.
    bool ShowDocument(const Text& text, bool secret);
    void LayOutStatusBar(double width);  // the bar's parts across a client area this wide (twips)
    // Into box, as SetText, but wiping what a secret document leaves behind in it.
    bool Replace(TextBox& box, const Text& text, bool secret);
    bool SaveTo(const Text& path, bool ask, base::TextFormat format, bool background = false);
    // An opened text and the password that opened it become the document shown; both are wiped.
    bool ShowOpened(const Text& path, Text& text, Text& password, const base::TextFormat& format);
    void MarkSaved();  // the document's text is the one its file holds
    // A save landed: path, password and format are the document's; saved: its text is the one written.
    void Adopt(const Text& path, Text& password, const base::TextFormat& format, bool saved);
    protect::Snapshot TakeSnapshot(Text room);             // the text copied into room
    void Apply(const base::EditStep& step, bool forward);  // a step of the history done or taken back
    void SnapshotIfDue();
    // found's document in this window as it was, still unsaved; false when the user cancelled its password.
    bool Restore(app::Recovery::Found& found, const protect::SnapshotCover& cover);
    // file (the snapshot at path) into s. A sealed one asks for its password until its key opens it (key and
    // password then hold them); any other asks first only when accepts is given, until accepts the password.
    // False when the user cancelled (the snapshot stays) or it cannot be read (the user told).
    bool OpenSnapshot(const Bytes& file, const Text& path, const protect::SnapshotCover& cover,
                      protect::Snapshot& s, protect::SealedKey& key, Text& password,
                      const std::function<bool(const Text&)>& accepts);
    bool LockedPasswordAccepts(const Text& password);
    void UnlockSealed(Bytes& file, const Text& path, const protect::SealedHeader& header);
    // The unlocked snapshot's text in the box; password and key (a sealed one's, taken) the document's again.
    bool ShowUnlocked(const protect::Snapshot& s, Text& password, protect::SealedKey* key);
    // A command of the user's runs: no lock while its dialogs are open, and the document unlocked first.
    struct Command {
        explicit Command(Editor& f) : fou(f) { ++fou.m_Commands; }
        ~Command() { --fou.m_Commands; }
        Editor& fou;
    };
    class FileDialogState& Dialog();  // made on first use, kept for the window's life
    Text ShowFileDialog(bool save);   // chosen path, empty on Cancel

    Platform& m_Platform;
    EditorHost& m_Host;
    FindReplaceHost* m_FindHost;
    const Text m_Folder;  // the program's, with its trailing backslash
    Text m_MachineKey;    // this machine's, as the statistics name it
    EditorControls m_Controls;
    Document m_Document;
    int m_ActiveEditor = 0;  // the box shown: 1 with Word Wrap on, 0 off
    // The text moves between the boxes (Word Wrap): no edit, nothing asked of the box that lends it.
    bool m_Moving = false;
    uint64_t m_TextChanges = 0;     // every change of the box's text, the user's or not
    uint64_t m_DocumentsShown = 0;  // loads, restores and News: each shows another document
    uint64_t m_SavesBegun = 0;
    bool m_StatusBarOn = true;
    bool m_StatusLaidOut = false;  // the bar has its parts
    Text m_StatusTexts[4];         // what each part of the bar shows
    int m_Zoom = kZoomDesigned;
    int m_WheelDelta = 0;  // a wheel's turn short of a notch, kept for the next
    DocumentStore m_Documents;
    base::EditHistory m_History;  // the document's: a load empties it
    std::unique_ptr<class FileDialogState> m_Dialog;
    std::unique_ptr<FindReplace> m_FindReplace;
    std::unique_ptr<AdStrip> m_Ads;  // made with the window, whose strip it fills and whose events it takes
    app::Recovery m_Recovery;
    bool m_RestoredHere = false;  // a snapshot became this window's document at start
    bool m_KeepSnapshot = false;  // the process ends to be started again: its snapshot is offered then
    int m_Commands = 0;           // commands running, each perhaps in a dialog of its own
    bool m_Opening = false;       // a sealed document's key is derived off the window's thread (open, unlock)
    bool m_Locked = false;
    bool m_LockPending = false;  // the session locked while a command ran: the document locks after it
    // A lock that could not keep the work is not tried on every tick: each try copies and encrypts the whole
    // text on this thread. The idle lock waits until then (monotonic ms).
    int64_t m_LockRetryAt = 0;
    bool m_LockedModified = false;
    // A protected document's password while it is locked; unmade when there was none to check (restored
    // from a snapshot), and the file on disk tells it instead.
    protect::PasswordCheck m_LockedPassword;
};
