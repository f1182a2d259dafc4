// In-memory platform services for the host tests: scripted prompts, a settable clock, a disk in a map,
// a settings store in a map, a scripted HTTP site. Each can be told to fail where the real thing can.
#pragma once
#include <deque>
#include <map>
#include <ostream>
#include <set>
#include <vector>

#include "platform/jobs.h"
#include "platform/ports.h"

struct FakeProcess : Process {
    Text exeFolder = u"C:\\Apps";
    Text exeBaseName = u"lockleaf";
    Text commandLine;
    Text currentDirectory = u"C:\\Users\\me";
    Text ExeFolder() const override { return exeFolder; }
    Text ExeBaseName() const override { return exeBaseName; }
    Text CommandLine() const override { return commandLine; }
    Text CurrentDirectory() const override { return currentDirectory; }
    // Drive-absolute and UNC paths stay; anything else is taken as relative to the current directory.
    Text FullPath(const Text& path) const override {
        const bool absolute =
            (path.size() > 2 && path[1] == u':' && path[2] == u'\\') || path.rfind(u"\\\\", 0) == 0;
        return absolute ? path : currentDirectory + u"\\" + path;
    }
    Text localAppData = u"C:\\Users\\me\\AppData\\Local";
    Text LocalAppDataFolder() const override { return localAppData; }
    std::vector<Text> restartArguments;  // each RegisterRestart
    bool RegisterRestart(const Text& arguments) override {
        restartArguments.push_back(arguments);
        return true;
    }
};

struct FakeClock : Clock {
    int64_t now = 1'700'000'000;  // the wall clock, which a user or summer time may move anywhere
    int64_t elapsed = 0;          // milliseconds of the monotonic clock
    int64_t lastInput = 0;        // the monotonic clock's time of the user's last key or mouse move
    int64_t NowLocalSeconds() const override { return now; }
    int64_t MonotonicMilliseconds() const override { return elapsed; }
    int64_t MillisecondsSinceInput() const override { return elapsed - lastInput; }
    void Pass(int64_t seconds) {  // time goes by: both clocks move
        now += seconds;
        elapsed += seconds * 1000;
    }
};

struct FakeLocale : Locale {
    std::vector<Text> shortDateFormats;  // each one set, in order
    bool outOfMemory = false;   // lowering fails with std::bad_alloc (the search's table of the lower case)
    mutable int lowerings = 0;  // calls of LowerCase
    bool SetShortDateFormat(const Text& format) override {
        shortDateFormats.push_back(format);
        return true;
    }
    // A-Z as a-z, as the host has no locale.
    Text LowerCase(std::u16string_view text) const override;
};

struct FakePrompts : Prompts {
    struct Shown {
        Text text;
        MsgButtons buttons;
        MsgIcon icon;
    };
    std::vector<Shown> messages;
    std::vector<Text> inputs;       // messages of the prompts shown
    std::deque<Text> inputAnswers;  // next answers of Input (empty = Cancel)
    // Next answers of questions: by default Yes to YesNo, No (don't save) to YesNoCancel, No (with "?") to
    // Utf8QuestionMarksCancel, No (with U+FFFD) to Utf16ReplacementCancel.
    std::deque<MsgResult> msgAnswers;
    std::function<void()> whileOpen;  // runs inside every modal prompt, as the event loop would

    MsgResult Message(const Text& text, MsgButtons buttons, MsgIcon icon) override {
        messages.push_back({text, buttons, icon});
        if (whileOpen) whileOpen();
        if (buttons == MsgButtons::Ok) return MsgResult::Ok;
        if (msgAnswers.empty()) return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::No;
        const MsgResult r = msgAnswers.front();
        msgAnswers.pop_front();
        return r;
    }
    Text Input(const Text& message) override {
        inputs.push_back(message);
        if (whileOpen) whileOpen();
        if (inputAnswers.empty()) return {};
        Text r = std::move(inputAnswers.front());  // nothing of the answer is left behind
        inputAnswers.pop_front();
        return r;
    }
    // Go To Line: each shown with its label and initial text; the user types the answers in turn until one is
    // accepted, and cancels when they run out.
    struct LineAsked {
        Text label, initial;
    };
    std::vector<LineAsked> linesAsked;
    std::deque<Text> lineAnswers;
    bool AskLine(const Text& label, const Text& initial,
                 const std::function<bool(const Text&)>& accept) override {
        linesAsked.push_back({label, initial});
        if (whileOpen) whileOpen();
        while (!lineAnswers.empty()) {
            const Text typed = lineAnswers.front();
            lineAnswers.pop_front();
            if (accept(typed)) return true;
        }
        return false;
    }
};

struct FakeEventLoop : EventLoop {
    bool ended = false;
    void EndProcess() override { ended = true; }
};

// A disk in memory. Paths compare case-insensitively (ASCII), as on Windows.
struct FakeFiles : Files {
    std::map<Text, Bytes> files;
    std::set<Text> folders;
    std::set<Text> readOnly;
    // Faults to inject.
    bool failCreateTemp = false;
    int64_t diskSpace = -1;  // bytes a write may put on disk; -1 = unlimited
    bool failReplace = false;
    bool replaceKeepsReplacement = false;  // ERROR_UNABLE_TO_MOVE_REPLACEMENT: target gone, temp holds data
    bool failMove = false;
    bool noRecycleBin = false;       // a share or a removable drive: Recycle refuses
    std::set<Text> unreadable;       // the read breaks off half-way, after filling half the buffer
    std::set<Text> tooLarge;         // reading these runs out of memory (std::bad_alloc)
    std::map<Text, int64_t> sparse;  // files of this length that hold nothing in memory (see PutSparse)
    int reads = 0;
    size_t largestPiece = 0;  // the largest piece a write was handed
    int tempCounter = 0;

    static Text Key(const Text& path);
    bool FileExists(const Text& path) const override { return files.count(Key(path)) != 0; }
    bool EntryExists(const Text& path) const override {
        return FileExists(path) || folders.count(Key(path)) != 0;
    }
    int64_t FileLength(const Text& path) const override;
    bool ReadAll(const Text& path, Bytes& out) override;
    Text CreateTempFile(const Text& folder, const Text& tail) override;
    bool WriteFlushedFrom(const Text& path, const std::function<bool(const PutBytes&)>& produce) override;
    ReplaceResult Replace(const Text& target, const Text& replacement) override;
    bool MoveReplacing(const Text& from, const Text& to) override;
    bool Delete(const Text& path) override;
    bool CreateFolder(const Text& path) override;
    std::vector<TempFile> FindTempFiles(const Text& folder) const override;
    int64_t LastWrite(const Text& path) const override;
    bool KeepTempFile(const Text& path) override;
    bool Recycle(const Text& path) override;
    std::vector<Text> ListFiles(const Text& folder, const Text& suffix) const override;
    // Held claims, by path: a test adds one to stand for another running editor. A claim let go, or its
    // holder's end, removes its file.
    std::set<Text> claimed;
    std::unique_ptr<Claim> ClaimFile(const Text& path) override;

    // Test helpers.
    int64_t clock = 13'400'000'000;    // the disk's clock, seconds since 1601: what a write stamps
    std::map<Text, int64_t> written;   // last writes that differ from the clock's time of the write
    std::map<Text, Bytes> recycleBin;  // by the path each file had
    void Put(const Text& path, const Bytes& bytes) { files[Key(path)] = bytes; }
    // A file of this length on disk; reading it runs out of memory, as reading such a file whole would.
    void PutSparse(const Text& path, int64_t length) {
        Put(path, {});
        sparse[Key(path)] = length;
        tooLarge.insert(Key(path));
    }
    Bytes Get(const Text& path) const;
};

// A settings store in memory: keys are "ROOT\path" (case-insensitive), each value the text as stored (NULs
// and all), read as the registry reads it.
struct FakeSettings : Settings {
    std::map<Text, std::map<Text, Text>> keys;
    std::set<SettingsRoot> refuseWrites;
    bool refuseEverything = false;

    static Text Key(SettingsRoot root, const Text& path);
    std::optional<Text> Read(SettingsRoot root, const Text& key, const Text& name,
                             size_t maxChars) const override;
    bool Write(SettingsRoot root, const Text& key, const Text& name, const Text& value) override;

    // Test helpers: the value as stored, or empty; a value stored as another program might have.
    bool Has(SettingsRoot root, const Text& path, const Text& name) const;
    Text Get(SettingsRoot root, const Text& path, const Text& name) const;
    void Put(SettingsRoot root, const Text& path, const Text& name, const Text& value);
};

struct FakeShell : Shell {
    struct Call {
        Text file, arguments, folder;
    };
    std::vector<Call> calls;
    void Open(const Text& file, const Text& arguments, const Text& folder) override {
        calls.push_back({file, arguments, folder});
    }
};

// Readable in a failed check.
inline void PrintTo(const FileType& t, std::ostream* os) {
    *os << std::string(t.name.begin(), t.name.end()) << "|"
        << std::string(t.patterns.begin(), t.patterns.end()) << (t.encodingOff ? " (encoding off)" : "");
}

struct FakeFileDialogs : FileDialogs {
    std::vector<FileDialogRequest> opened, saved;
    std::function<bool(FileDialogRequest&)> answer;  // fills request.file and returns true, or false = Cancel
    // What a confirmed dialog does: the chosen path in place of the proposed name.
    static bool Confirm(FileDialogRequest& r, const Text& path) {
        r.file = path;
        return true;
    }
    // Every later dialog is confirmed with path (and the type, when not 0; the encoding, when not -1).
    void ChooseNext(const Text& path, int32_t type = 0, int32_t encoding = -1) {
        answer = [path, type, encoding](FileDialogRequest& r) {
            if (type) r.type = type;
            if (encoding >= 0) r.encoding = encoding;
            return Confirm(r, path);
        };
    }
    std::optional<Text> folderAnswer;
    std::vector<Text> folderPrompts;  // the prompt of each folder picker
    bool ShowOpenDialog(FileDialogRequest& r) override {
        opened.push_back(r);
        return answer ? answer(r) : false;
    }
    bool ShowSaveDialog(FileDialogRequest& r) override {
        saved.push_back(r);
        return answer ? answer(r) : false;
    }
    std::optional<Text> PickFolder(const Text& prompt) override {
        folderPrompts.push_back(prompt);
        return folderAnswer;
    }
};

// Serves bodies by URL; a URL not in the map cannot be opened (as a 404 or a refused connection).
struct FakeHttp : Http {
    std::map<Text, Bytes> bodies;
    std::vector<Text> requested;
    std::vector<Text> agents;          // one per request
    std::vector<size_t> readSizes;     // sizes delivered, one per read
    std::map<Text, size_t> failAfter;  // reads of this URL fail after so many bytes
    std::function<void()> onRead;      // before every read: a slow site moves the clock here
    int openBodies = 0;                // bodies handed out and not yet closed

    std::unique_ptr<HttpBody> Get(const Text& url, const Text& agent) override;
};

// Jobs run on the test's thread against a fake HTTP client. At once by default; held, they wait until the
// test runs them (the oldest first) or drops them, as a window that closed never sees their completions.
struct FakeJobs : Jobs {
    explicit FakeJobs(Http& client) : http(client) {}
    Http& http;
    bool hold = false;
    int posted = 0;
    void Post(std::function<void(Http&)> job, std::function<void()> completion) override {
        ++posted;
        if (!hold) {
            job(http);
            completion();
            return;
        }
        pending.push_back({std::move(job), std::move(completion)});
    }
    size_t Pending() const { return pending.size(); }
    // The oldest job runs now; its completion now too, or is handed back to be run later.
    std::function<void()> RunNext() {
        auto [job, completion] = std::move(pending.front());
        pending.pop_front();
        job(http);
        return completion;
    }
    void CompleteNext() { RunNext()(); }
    // Every job completes, also those their completions post.
    void CompleteAll() {
        while (!pending.empty()) CompleteNext();
    }

private:
    std::deque<std::pair<std::function<void(Http&)>, std::function<void()>>> pending;
};

struct FakeVolumes : Volumes {
    bool hasVolume = true;
    uint32_t serial = 0x1A2B0C3D;
    bool hasDiskEx = true;
    uint64_t total = 80023715840ULL;
    bool hasClusters = true;
    uint32_t sectorsPerCluster = 8, bytesPerSector = 512, totalClusters = 0;

    std::optional<uint32_t> Serial(const Text&) override {
        return hasVolume ? std::optional<uint32_t>(serial) : std::nullopt;
    }
    std::optional<uint64_t> TotalBytes(const Text&) override {
        return hasVolume && hasDiskEx ? std::optional<uint64_t>(total) : std::nullopt;
    }
    std::optional<Geometry> ClusterGeometry(const Text&) override {
        if (!hasVolume || !hasClusters) return std::nullopt;
        return Geometry{bytesPerSector, sectorsPerCluster, totalClusters};
    }
};
