// The narrow interfaces through which the portable core reaches the platform.
// Each mirrors the Windows calls it stands for, at their grain (HTTP at a request's: a GET, then its body's
// reads); win32 implements them, tests/fakes fakes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using Text = std::u16string;  // UTF-16 code units; offsets and lengths count code units
using Bytes = std::string;    // raw bytes (file contents, HTTP bodies, code-page text)

// A rectangle in twips (1/1440 inch).
struct Rect {
    double left = 0, top = 0, width = 0, height = 0;
};

// ---- controls ----------------------------------------------------------------------------------

struct Widget {
    virtual ~Widget() = default;
    virtual void Move(const Rect& r) = 0;  // relative to the container's client area
    virtual Rect Placement() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
};

// A change the user made in a text box: removed, at offset at, became inserted. Unknown: the box changed in a
// way it could not tell (what it held before is not known).
enum class EditKind { Typing, Deleting, Other, Unknown };
struct TextEdit {
    EditKind kind = EditKind::Other;
    int32_t at = 0;
    Text removed, inserted;
    int32_t selStart = 0, selLength = 0;  // the selection before the change
};

struct TextBox : virtual Widget {
    virtual Text GetText() const = 0;
    // Lends the box's own text to read, without a copy, for the length of the call: the view is gone when
    // read returns (also by an exception). Read only, and read must not call the box meanwhile, nor let any
    // window run (no message loop); nor may the box be asked from within its own change notification.
    virtual void ReadText(const std::function<void(std::u16string_view)>& read) const = 0;
    // Raises onChange when the text differs from the old one. False when the box refused the text (it has no
    // room for it): the box then holds what it held before.
    virtual bool SetText(const Text& text) = 0;
    // SetText for a box that holds a secret: the memory of the text it lets go, and its undo, are overwritten
    // before the box gives them back. False, the old text kept, when the box has no room for the new one.
    virtual bool ReplaceWiping(std::u16string_view text) = 0;
    virtual int32_t SelStart() const = 0;
    virtual int32_t SelLength() const = 0;
    // Clamped to the text; start then length, as the caret is placed first.
    virtual void SetSel(int32_t start, int32_t length) = 0;
    virtual Text SelText() const = 0;
    // Replaces the selection as typing does, scrolled into view; the caret ends after the inserted text.
    // Raises onChange (not onEdit: the caller keeps its own history of it).
    virtual void SetSelText(const Text& text) = 0;
    virtual void SetFocus() = 0;
    // The box's own line index, asked of the box (the text is never scanned): the caret's offset (the end of
    // the selection the user moves), the line that holds an offset, the offset a line starts at (-1 past the
    // last line) and the number of lines. Lines count from 0; a box that wraps counts its rows as shown.
    virtual int32_t Caret() const = 0;
    virtual int32_t LineOf(int32_t offset) const = 0;
    virtual int32_t LineStart(int32_t line) const = 0;
    virtual int32_t LineCount() const = 0;

    std::function<void()> onChange;  // the text changed, by typing or by the program
    // The user changed the text (typing, deleting, a paste or a cut): raised after onChange. The program's
    // own changes (SetText, SetSelText) raise none.
    std::function<void(TextEdit&)> onEdit;
};

// A status bar along the bottom of its window: parts side by side, each with a text.
struct StatusBar {
    virtual ~StatusBar() = default;
    // The parts' right edges, twips from the bar's left; a negative last one reaches the bar's right end.
    virtual void SetParts(const std::vector<double>& rightEdges) = 0;
    virtual void SetText(int part, const Text& text) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
    // Along the bottom of its window and across it, after the window changed size.
    virtual void Fit() = 0;
    virtual double Height() const = 0;  // twips
};

// The font the text boxes share, at a percentage of its designed size.
struct TextFont {
    virtual ~TextFont() = default;
    virtual void SetZoom(int percent) = 0;
};

struct MenuItem {
    virtual ~MenuItem() = default;
    virtual void SetChecked(bool checked) = 0;
    virtual bool Checked() const = 0;
};

struct Button : virtual Widget {
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
};

struct CheckBox : virtual Widget {
    virtual int Value() const = 0;  // 0 unticked, 1 ticked
    virtual void SetValue(int value) = 0;
};

struct Timer {
    virtual ~Timer() = default;
    virtual void SetInterval(uint32_t milliseconds) = 0;  // 0 stops it
    virtual uint32_t Interval() const = 0;
};

// A top-level window: caption, outer placement, state.
struct Window {
    virtual ~Window() = default;
    virtual void SetCaption(const Text& caption) = 0;
    virtual Text Caption() const = 0;
    virtual Rect Placement() const = 0;  // outer rectangle, twips, screen coordinates
    // The rectangle the window returns to when restored (equals Placement() unless minimized/maximized).
    virtual Rect NormalPlacement() const = 0;
    virtual bool Move(const Rect& r) = 0;
    virtual bool Minimized() const = 0;
    virtual void Focus() = 0;
    // The work area (screen minus task bars) of every monitor, twips, screen coordinates.
    virtual std::vector<Rect> WorkAreas() const = 0;
};

// A pop-up menu shown at the mouse position.
struct PopupMenu {
    virtual ~PopupMenu() = default;
    virtual void PopUpAtCursor() = 0;
};

// ---- user interaction --------------------------------------------------------------------------

// Utf8QuestionMarksCancel: "Save as UTF-8" (Yes, the default), "Save with "?"" (No) and Cancel.
// Utf16ReplacementCancel: "Save as UTF-16" (Yes, the default), "Save with U+FFFD" (No) and Cancel.
enum class MsgButtons { Ok, YesNo, YesNoCancel, Utf8QuestionMarksCancel, Utf16ReplacementCancel };
enum class MsgIcon { None, Exclamation };
enum class MsgResult { Ok, Yes, No, Cancel };

struct Prompts {
    virtual ~Prompts() = default;
    // Modal message box titled with the application title; the first button (Yes) is the default.
    virtual MsgResult Message(const Text& text, MsgButtons buttons, MsgIcon icon) = 0;
    // Modal password prompt with OK, Cancel and a masked input field that gives nothing out; the typed text,
    // or empty on Cancel.
    virtual Text Input(const Text& message) = 0;
    // The modal "Go To Line" dialog: label above a box that holds initial, selected. OK hands what was typed
    // to accept, which answers true to end the dialog (otherwise it has told the user why, and the dialog
    // stays). False on Cancel.
    virtual bool AskLine(const Text& label, const Text& initial,
                         const std::function<bool(const Text& typed)>& accept) = 0;
};

struct EventLoop {
    virtual ~EventLoop() = default;
    virtual void EndProcess() = 0;  // ends the process at once; does not return on Windows
};

// ---- process, clock, locale --------------------------------------------------------------------

struct Process {
    virtual ~Process() = default;
    virtual Text ExeFolder() const = 0;    // folder of the running exe, no trailing "\" except at a root
    virtual Text ExeBaseName() const = 0;  // its file name without the extension
    virtual Text CommandLine() const = 0;  // the argument text after the program name, verbatim
    virtual Text CurrentDirectory() const = 0;
    // path made absolute against the current directory, "." and ".." resolved (GetFullPathNameW).
    virtual Text FullPath(const Text& path) const = 0;
    // The user's local application data folder (%LOCALAPPDATA%), no trailing "\"; empty when unknown.
    virtual Text LocalAppDataFolder() const = 0;
    // Asks Windows to start the program again with arguments after a crash, a hang or an update's restart
    // (RegisterApplicationRestart). False when it would not.
    virtual bool RegisterRestart(const Text& arguments) = 0;
};

struct Clock {
    virtual ~Clock() = default;
    // Local wall-clock time, whole seconds since 1970-01-01 00:00 local (no zone arithmetic).
    virtual int64_t NowLocalSeconds() const = 0;
    // Milliseconds since an arbitrary start, never set back or forward: the clock of deadlines.
    virtual int64_t MonotonicMilliseconds() const = 0;
    // Milliseconds since the user last pressed a key or moved the mouse anywhere in the session.
    virtual int64_t MillisecondsSinceInput() const = 0;
};

struct Locale {
    virtual ~Locale() = default;
    // Sets the short date format of the system's default locale ("dd/MM/yy") and tells every window of the
    // session that the regional settings changed. False when the system refused it.
    virtual bool SetShortDateFormat(const Text& format) = 0;
    // The text in the user's locale's lower case (LCMapStringEx, LCMAP_LOWERCASE); empty when that fails.
    virtual Text LowerCase(std::u16string_view text) const = 0;
};

// ---- files -------------------------------------------------------------------------------------

struct Files {
    virtual ~Files() = default;
    virtual bool FileExists(const Text& path) const = 0;     // files of any attribute; folders do not count
    virtual bool EntryExists(const Text& path) const = 0;    // file or folder
    virtual int64_t FileLength(const Text& path) const = 0;  // -1 when it cannot be read
    virtual bool ReadAll(const Text& path, Bytes& out) = 0;
    // Creates a new, unique file in folder, named "~ll", five hex digits and tail; returns its path (empty on
    // failure).
    virtual Text CreateTempFile(const Text& folder, const Text& tail) = 0;
    // Writes to an existing or new file from its first byte what produce hands put, piece by piece, then
    // flushes to disk and closes; true only if produce and every piece held. A big file is written from a
    // small buffer reused for each piece, never from one the size of the file.
    using PutBytes = std::function<bool(std::string_view)>;
    virtual bool WriteFlushedFrom(const Text& path,
                                  const std::function<bool(const PutBytes& put)>& produce) = 0;
    bool WriteFlushed(const Text& path, std::string_view bytes) {
        return WriteFlushedFrom(path, [&](const PutBytes& put) { return put(bytes); });
    }
    enum class ReplaceResult { Ok, TargetMissing, Failed, ReplacementKept };
    // Puts replacement in place of an existing target in one write-through rename, so that the target's name
    // always holds the old file or the new one. ReplacementKept: the target is gone and the replacement still
    // has its own name.
    virtual ReplaceResult Replace(const Text& target, const Text& replacement) = 0;
    virtual bool MoveReplacing(const Text& from, const Text& to) = 0;  // write-through move
    virtual bool Delete(const Text& path) = 0;
    virtual bool CreateFolder(const Text& path) = 0;
    // The files in folder whose names start "~ll" and end ".tmp" (of any process), with their last write and
    // whether they are read-only (KeepTempFile's mark).
    struct TempFile {
        Text path;
        int64_t lastWrite = 0;  // as LastWrite gives it
        bool kept = false;
    };
    virtual std::vector<TempFile> FindTempFiles(const Text& folder) const = 0;
    // Seconds since 1601 by the clock of the file system that holds path (a share's is the server's); 0 when
    // it keeps none or the file is missing.
    virtual int64_t LastWrite(const Text& path) const = 0;
    // Marks a temporary file that is a document's only copy read-only (no delete takes it).
    virtual bool KeepTempFile(const Text& path) = 0;
    // Sends a file to the Recycle Bin, from where the user can restore it. False, and the file stays, where
    // its drive has none (a share, a removable drive) or the user declines its removal for good.
    virtual bool Recycle(const Text& path) = 0;
    // The names (not paths) of the files in folder whose names end with suffix (any case).
    virtual std::vector<Text> ListFiles(const Text& folder, const Text& suffix) const = 0;
    // A file held by one process at a time: created when missing and opened so that no other process can open
    // it, it disappears when its holder lets go or ends, however it ends. Null while another holds it (or
    // when it cannot be made).
    struct Claim {
        virtual ~Claim() = default;
    };
    virtual std::unique_ptr<Claim> ClaimFile(const Text& path) = 0;
};

// ---- settings ----------------------------------------------------------------------------------

// Where a setting is kept (the registry's roots on Windows): the shell's file types, the user's own settings,
// the machine's.
enum class SettingsRoot { ClassesRoot, CurrentUser, LocalMachine };

// Named strings under keys of the system's settings store.
struct Settings {
    virtual ~Settings() = default;
    // The string named name under key (an empty name: the key's own value), up to its first NUL. Nothing when
    // the key or the value is missing, is not a string, or holds more than maxChars characters.
    virtual std::optional<Text> Read(SettingsRoot root, const Text& key, const Text& name,
                                     size_t maxChars) const = 0;
    // Creates the missing keys on the way; false when the value could not be written.
    virtual bool Write(SettingsRoot root, const Text& key, const Text& name, const Text& value) = 0;
};

// ---- shell, dialogs ----------------------------------------------------------------------------

struct Shell {
    virtual ~Shell() = default;
    // Opens file (a program, a document or a web address) as Explorer would, in a normal window, with the
    // arguments, started in folder (empty: the current one).
    virtual void Open(const Text& file, const Text& arguments, const Text& folder) = 0;
};

// One entry of a file dialog's list of types: the name the user reads and the patterns it shows
// (";"-separated: "*.txs;*.txt").
struct FileType {
    Text name, patterns;
    bool encodingOff = false;  // the "Encoding" list is disabled while this type is chosen
    bool operator==(const FileType&) const = default;
};

// What the Open or Save As dialog shows, and what the user chose in it.
struct FileDialogRequest {
    // The longest name the dialog takes, in characters: the longest path Windows takes.
    static constexpr size_t kLongestFile = 32767;

    Text title;
    Text folder;  // where the dialog starts
    Text file;    // the name proposed; once confirmed, the full path chosen
    std::vector<FileType> types;
    int32_t type = 0;               // the chosen type, counted from 1, in and out (0: the first)
    bool confirmOverwrite = false;  // Save As asks before it names an existing file
    bool hideReadOnly = false;      // Open shows no "Open as read-only" box
    // The dialog's "Encoding" list (none when empty) and its selection, in and out.
    std::vector<Text> encodings;
    int32_t encoding = 0;
};

struct FileDialogs {
    virtual ~FileDialogs() = default;
    virtual bool ShowOpenDialog(FileDialogRequest& request) = 0;
    // A name typed without an extension gets the chosen type's.
    virtual bool ShowSaveDialog(FileDialogRequest& request) = 0;
    // The shell's folder picker, for folders of the file system only; nothing on Cancel.
    virtual std::optional<Text> PickFolder(const Text& prompt) = 0;
};

// ---- HTTP, volumes -----------------------------------------------------------------------------

// The body of an answer, read as it arrives; the request is closed when this goes.
struct HttpBody {
    virtual ~HttpBody() = default;
    // At most size bytes, only what has already arrived: read = 0 at the end of the body. False when the
    // connection failed, also when it closed before the length the answer announced.
    virtual bool Read(char* buffer, size_t size, size_t& read) = 0;
};

// HTTP GET, straight to the site (no proxy), with nothing of the answer written to a cache. Connecting and
// each wait for data are bounded by time-outs of the platform's own, so a silent server ends a call.
struct Http {
    virtual ~Http() = default;
    // The answer's body; null when the URL cannot be opened or the status is other than 2xx. agent is the
    // User-Agent the site sees.
    virtual std::unique_ptr<HttpBody> Get(const Text& url, const Text& agent) = 0;
};

struct Volumes {
    virtual ~Volumes() = default;
    // The serial number of the volume whose root is root ("C:\\"); nothing when it cannot be read.
    virtual std::optional<uint32_t> Serial(const Text& root) = 0;
    // Its size in bytes; nothing when unknown.
    virtual std::optional<uint64_t> TotalBytes(const Text& root) = 0;
    // Its size as the older count gives it, each a 32-bit number: bytes a sector, sectors a cluster,
    // clusters.
    struct Geometry {
        uint32_t bytesPerSector = 0, sectorsPerCluster = 0, clusters = 0;
    };
    virtual std::optional<Geometry> ClusterGeometry(const Text& root) = 0;
};

// ---- embedded browser --------------------------------------------------------------------------

struct Browser : virtual Widget {
    virtual void Navigate(const Text& path) = 0;
    // Attaches `doc` to the current document (or, once it completes, to the page last navigated to).
    virtual void AttachDocument() = 0;
    // During onDocMouseUp: an attribute of the event's source element; empty when there is none.
    virtual Text EventSourceAttribute(const Text& name) = 0;
    virtual bool FireClickById(const Text& id) = 0;

    std::function<void()> onDocMouseUp;
    // A page asks for a new window (a link with a target, window.open). The control never opens one itself.
    std::function<void(const Text& url)> onNewWindow;
};
