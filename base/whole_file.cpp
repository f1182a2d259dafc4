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

// Another save in progress holds its temp open or has just written it; one untouched this long is a leftover
// (a save cut off by a crash or a power cut), and the target beside it was never replaced.
constexpr int64_t kLeftoverAge = 3600;  // an hour

// What is left over from earlier saves in a folder goes after a save there completed; a failed sweep leaves
// the save as done.
void SweepLeftovers(Files& files, const Text& folder) {
    try {
        for (const Files::TempFile& t : files.FindTempFiles(folder))
            if (!t.kept && t.secondsSinceWrite >= kLeftoverAge) files.Delete(t.path);
    } catch (const std::bad_alloc&) {
    }
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
    const Text folder = FolderOf(path);
    const Text temp = files.CreateTempFile(folder);
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
    // A temp that is the only copy left on disk is kept, and marked so that no sweep takes it, rather than
    // losing the document altogether; it holds exactly what the target would have held (masked for a
    // protected document).
    if (tempHoldsOnlyCopy) files.KeepTempFile(temp);
    if (!placed && !tempHoldsOnlyCopy) files.Delete(temp);
    if (placed) SweepLeftovers(files, folder);
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
