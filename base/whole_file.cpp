// Whole-file reads and the atomic save: temp file, checked flush, replace (or move when there is no target).
#include "base/whole_file.h"

#include <new>

#include "base/codepage.h"

namespace base {
namespace {

// The folder part of a path with its trailing "\" (so "C:\x" gives "C:\", not the drive's current folder).
Text FolderOf(const Text& path) {
    const size_t slash = path.find_last_of(u"\\/");
    return slash == Text::npos ? Text(u".\\") : path.substr(0, slash + 1);
}

}  // namespace

bool ReadWholeBytes(Files& files, const Text& path, Bytes& content) {
    content.clear();
    try {
        if (!files.FileExists(path) || !files.ReadAll(path, content)) {
            content.clear();
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        content = Bytes();
        return false;
    }
}

bool WriteWholeBytes(Files& files, const Text& path, const Bytes& content) {
    const Text temp = files.CreateTempFile(FolderOf(path));
    if (temp.empty()) return false;
    bool placed = false, tempHoldsOnlyCopy = false;
    if (files.WriteFlushed(temp, content)) {
        switch (files.Replace(path, temp)) {
            case Files::ReplaceResult::Ok:
                placed = true;
                break;
            case Files::ReplaceResult::TargetMissing:
                placed = files.MoveReplacing(temp, path);
                break;
            case Files::ReplaceResult::ReplacementKept:
                // The old file is already gone and the temp holds the new bytes: finish the move.
                placed = files.MoveReplacing(temp, path);
                tempHoldsOnlyCopy = !placed;
                break;
            case Files::ReplaceResult::Failed:
                break;
        }
    }
    // A temp that is the only copy left on disk is kept rather than losing the document altogether;
    // it holds exactly what the target would have held (masked for a protected document).
    if (!placed && !tempHoldsOnlyCopy) files.Delete(temp);
    return placed;
}

Text ReadWholeFile(Files& files, const Text& path) {
    Bytes bytes;
    if (!ReadWholeBytes(files, path, bytes)) return {};
    try {
        return FromCodePage(bytes);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

bool WriteWholeFile(Files& files, const Text& path, const Text& content) {
    try {
        return WriteWholeBytes(files, path, ToCodePage(content));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace base
