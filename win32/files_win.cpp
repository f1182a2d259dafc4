#include "win32/files_win.h"
#include <windows.h>

#include <shellapi.h>

#include "win32/win_util.h"

namespace {

// A path as the file functions take it at any length: past MAX_PATH a full path gets the "\\?\" form, which
// Windows without the long-path setting needs (that form skips the normalising, so the full path is made
// first).
std::wstring LongForm(const Text& path) {
    std::wstring p(reinterpret_cast<const wchar_t*>(path.c_str()), path.size());
    if (p.size() < MAX_PATH - 12 || p.starts_with(L"\\\\?\\")) return p;
    const std::wstring full = win::FullPathName(p.c_str());
    if (full.empty()) return p;
    if (full.size() > 2 && full[1] == L':') return L"\\\\?\\" + full;
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return full;
}

// Passed straight to the call: the temporary lives until the call returns.
struct Path {
    std::wstring text;
    operator const wchar_t*() const { return text.c_str(); }  // NOLINT(google-explicit-constructor)
};
Path P(const Text& path) { return {LongForm(path)}; }

Text WithSlash(const Text& folder) {
    return !folder.empty() && folder.back() != u'\\' && folder.back() != u'/' ? folder + u"\\" : folder;
}

// What FindTempFiles lists; the core tells its own names among them.
constexpr wchar_t kTempPattern[] = L"~ll*.tmp";

// Seconds since 1601; 0 stays 0 (no time kept).
int64_t Seconds(const FILETIME& t) {
    return static_cast<int64_t>(((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 10'000'000);
}

}  // namespace

bool Win32Files::FileExists(const Text& path) const {
    const DWORD a = GetFileAttributesW(P(path));
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Files::EntryExists(const Text& path) const {
    return GetFileAttributesW(P(path)) != INVALID_FILE_ATTRIBUTES;
}

int64_t Win32Files::FileLength(const Text& path) const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(P(path), GetFileExInfoStandard, &data)) return -1;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Win32Files::ReadAll(const Text& path, Bytes& out) {
    win::ScopedHandle f(CreateFileW(P(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!f.Valid()) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(f.Get(), &size) || size.QuadPart > static_cast<LONGLONG>(out.max_size())) return false;
    out.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < out.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(out.size() - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(f.Get(), out.data() + done, chunk, &got, nullptr) || got == 0) return false;
        done += got;
    }
    return true;
}

Text Win32Files::CreateTempFile(const Text& folder, const Text& tail) {
    // Named here rather than by GetTempFileNameW, whose result must fit in MAX_PATH: a document in a deep
    // folder must still be saved beside itself.
    const Text base = WithSlash(folder);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const unsigned unique = (GetTickCount() * 2654435761u) ^ (GetCurrentProcessId() << 16) ^ ++counter;
        wchar_t digits[16];
        wsprintfW(digits, L"~ll%05X", unique & 0xFFFFF);
        const Text path = base + win::FromW(digits) + tail;
        win::ScopedHandle f(
            CreateFileW(P(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (f.Valid()) return path;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
            win::TraceError(L"no temporary file in the document's folder", GetLastError());
            return {};
        }
    }
    return {};
}

bool Win32Files::WriteFlushedFrom(const Text& path, const std::function<bool(const PutBytes&)>& produce) {
    win::ScopedHandle f(
        CreateFileW(P(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid()) return false;
    const PutBytes put = [&](std::string_view bytes) {
        while (!bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
            DWORD done = 0;
            if (!WriteFile(f.Get(), bytes.data(), chunk, &done, nullptr) || done != chunk) return false;
            bytes.remove_prefix(done);
        }
        return true;
    };
    return produce(put) && FlushFileBuffers(f.Get()) != 0;
}

Files::ReplaceResult Win32Files::Replace(const Text& target, const Text& replacement) {
    WIN32_FILE_ATTRIBUTE_DATA old;
    if (!GetFileAttributesExW(P(target), GetFileExInfoStandard, &old) ||
        (old.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return ReplaceResult::TargetMissing;
    if (old.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return ReplaceResult::Failed;
    {
        // A target that another program holds without sharing deletion cannot be replaced (Wine's rename
        // would go ahead regardless).
        win::ScopedHandle probe(CreateFileW(P(target), DELETE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!probe.Valid()) return ReplaceResult::Failed;
    }
    // The new file takes the old one's visible attributes and creation time, as ReplaceFileW would give it.
    // ReplaceFileW itself is not used: without a backup name it removes the target before it renames the
    // replacement (Wine's deletes it first), so a power cut in between leaves the temp as the only copy; one
    // rename over the target never leaves the name empty.
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (old.dwFileAttributes & kKept) SetFileAttributesW(P(replacement), old.dwFileAttributes & kKept);
    {
        win::ScopedHandle f(
            CreateFileW(P(replacement), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (f.Valid()) SetFileTime(f.Get(), &old.ftCreationTime, nullptr, nullptr);
    }
    if (MoveFileExW(P(replacement), P(target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return ReplaceResult::Ok;
    // A file system that replaces by a delete and a rename may have failed in between.
    return GetFileAttributesW(P(target)) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND
               ? ReplaceResult::ReplacementKept
               : ReplaceResult::Failed;
}

bool Win32Files::MoveReplacing(const Text& from, const Text& to) {
    return MoveFileExW(P(from), P(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32Files::Delete(const Text& path) { return DeleteFileW(P(path)) != 0; }

bool Win32Files::CreateFolder(const Text& path) { return CreateDirectoryW(P(path), nullptr) != 0; }

std::vector<Files::TempFile> Win32Files::FindTempFiles(const Text& folder) const {
    std::vector<TempFile> found;
    const Text base = WithSlash(folder);
    WIN32_FIND_DATAW data;
    const win::ScopedFind find(FindFirstFileExW(P(base + win::FromW(kTempPattern)), FindExInfoBasic, &data,
                                                FindExSearchNameMatch, nullptr, 0));
    if (!find.Valid()) return found;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        found.push_back({base + win::FromW(data.cFileName), Seconds(data.ftLastWriteTime),
                         (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0});
    } while (FindNextFileW(find.Get(), &data));
    return found;
}

int64_t Win32Files::LastWrite(const Text& path) const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(P(path), GetFileExInfoStandard, &data) ? Seconds(data.ftLastWriteTime) : 0;
}

bool Win32Files::KeepTempFile(const Text& path) {
    const DWORD a = GetFileAttributesW(P(path));
    return a != INVALID_FILE_ATTRIBUTES && SetFileAttributesW(P(path), a | FILE_ATTRIBUTE_READONLY);
}

bool Win32Files::Recycle(const Text& path) {
    // The shell deletes for good what it cannot recycle, silently where it asks nothing: only a fixed drive
    // has a Recycle Bin (not a share, nor a removable drive), and the shell's own paths end at MAX_PATH.
    const std::wstring full = win::FullPathName(win::W(path));
    wchar_t root[MAX_PATH + 1];
    if (full.empty() || full.size() >= MAX_PATH || !GetVolumePathNameW(full.c_str(), root, MAX_PATH + 1) ||
        GetDriveTypeW(root) != DRIVE_FIXED)
        return false;
    std::wstring from = full;
    from.push_back(L'\0');  // a list of one, ended by an empty name
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    // A file the bin cannot take (too large for it, or a drive set to remove files at once) is asked about
    // rather than deleted without a word; No leaves it.
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | FOF_SILENT | FOF_NOERRORUI;
    return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted &&
           GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::vector<Text> Win32Files::ListFiles(const Text& folder, const Text& suffix) const {
    std::vector<Text> found;
    const int tail = static_cast<int>(suffix.size());
    WIN32_FIND_DATAW data;
    const win::ScopedFind find(FindFirstFileExW(P(WithSlash(folder) + u"*" + suffix), FindExInfoBasic, &data,
                                                FindExSearchNameMatch, nullptr, 0));
    if (!find.Valid()) return found;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        // The pattern also matches the short 8.3 names ("*.sna" finds "x.snapx"): the long name decides.
        const int length = lstrlenW(data.cFileName);
        if (length < tail || CompareStringOrdinal(data.cFileName + length - tail, tail, win::W(suffix), tail,
                                                  TRUE) != CSTR_EQUAL)
            continue;
        found.push_back(win::FromW(data.cFileName, length));
    } while (FindNextFileW(find.Get(), &data));
    return found;
}

namespace {

// Held by its handle: shared with no one, and deleted by the system when the handle closes, also when the
// process is killed.
struct HeldFile : Files::Claim {
    explicit HeldFile(HANDLE h) : file(h) {}
    win::ScopedHandle file;
};

}  // namespace

std::unique_ptr<Files::Claim> Win32Files::ClaimFile(const Text& path) {
    // Nothing is read or written: the handle itself is the claim, and deleting on close needs DELETE.
    win::ScopedHandle file(CreateFileW(P(path), DELETE, 0, nullptr, OPEN_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!file.Valid()) {
        if (GetLastError() != ERROR_SHARING_VIOLATION) win::TraceError(L"no claim on a file", GetLastError());
        return nullptr;
    }
    return std::make_unique<HeldFile>(file.Release());
}
