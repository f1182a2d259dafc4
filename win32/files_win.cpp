#include "win32/files_win.h"
#include <windows.h>

#include "win32/win_util.h"

using win::W;

bool Win32Files::FileExists(const Text& path) const {
    const DWORD a = GetFileAttributesW(W(path));
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Files::EntryExists(const Text& path) const {
    return GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES;
}

int64_t Win32Files::FileLength(const Text& path) const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(W(path), GetFileExInfoStandard, &data)) return -1;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Win32Files::ReadAll(const Text& path, Bytes& out) {
    win::ScopedHandle f(CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
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

Text Win32Files::CreateTempFile(const Text& folder) {
    wchar_t name[MAX_PATH + 1];
    if (!GetTempFileNameW(W(folder), L"~ll", 0, name)) return {};
    return win::FromW(name);
}

bool Win32Files::WriteFlushed(const Text& path, const Bytes& bytes) {
    win::ScopedHandle f(
        CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid()) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD put = 0;
        if (!WriteFile(f.Get(), bytes.data() + done, chunk, &put, nullptr) || put != chunk) return false;
        done += put;
    }
    return FlushFileBuffers(f.Get()) != 0;
}

Files::ReplaceResult Win32Files::Replace(const Text& target, const Text& replacement) {
    const DWORD attributes = GetFileAttributesW(W(target));
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return ReplaceResult::TargetMissing;
    {
        // A target that another program holds without sharing deletion cannot be replaced; finding out
        // first keeps ReplaceFileW from starting (Wine's leaves a stray file of its own behind then).
        win::ScopedHandle probe(CreateFileW(W(target), DELETE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!probe.Valid()) return ReplaceResult::Failed;
    }
    // The new file takes the old one's visible attributes (ReplaceFileW does so on Windows, not on Wine).
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (attributes & kKept) SetFileAttributesW(W(replacement), attributes & kKept);
    if (ReplaceFileW(W(target), W(replacement), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return ReplaceResult::Ok;
    // 1176: the old file is gone and the replacement still has its own name.
    return GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT ? ReplaceResult::ReplacementKept
                                                              : ReplaceResult::Failed;
}

bool Win32Files::MoveReplacing(const Text& from, const Text& to) {
    return MoveFileExW(W(from), W(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32Files::Delete(const Text& path) { return DeleteFileW(W(path)) != 0; }

bool Win32Files::CreateFolder(const Text& path) { return CreateDirectoryW(W(path), nullptr) != 0; }
