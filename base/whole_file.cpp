// Whole-file reads and the atomic save: temp file, checked flush, replace (or move when there is no target).
#include "base/whole_file.h"

#include <new>

#include "base/codepage.h"
#include "base/paths.h"

namespace base {
namespace {

// The folder part of a path with its trailing "\" (so "C:\x" gives "C:\", not the drive's current folder).
Text FolderOf(const Text& path) {
    const size_t slash = path.find_last_of(u"\\/");
    return slash == Text::npos ? Text(u".\\") : path.substr(0, slash + 1);
}

// The temp repeats the target's name, so that a sweep can tell whether the document it belongs to is still
// there; a name too long to repeat within a file name's 255 characters gets an anonymous temp.
constexpr size_t kLongestName = 255;
Text TempTail(const Text& name) {
    return name.size() + 13 <= kLongestName ? u"." + name + u".tmp" : Text(u".tmp");
}

// Another save in progress holds its temp open or has just written it; one untouched this long before the
// file just saved is a leftover (a save cut off by a crash or a power cut). Both stamps come from the same
// file system's clock, so a server's clock or a FAT drive's local time does not make a file look old.
constexpr int64_t kLeftoverAge = 3600;  // an hour
// Seconds since 1601 of 1 January 1980, the earliest time FAT keeps: a stamp before it is no time at all.
constexpr int64_t kEarliestStamp = 11'960'006'400;

// The name of the document a temporary file of ours was written for; empty when the file is not ours or its
// name does not say (an earlier editor's temp, or one whose document's name was too long to repeat).
Text TempFileTarget(std::u16string_view fileName) {
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
    const auto is = [&](size_t at, std::u16string_view word) {
        if (at + word.size() > fileName.size()) return false;
        for (size_t i = 0; i < word.size(); ++i)
            if (lower(fileName[at + i]) != word[i]) return false;
        return true;
    };
    if (fileName.size() < 14 || !is(0, u"~ll") || fileName[8] != u'.' || !is(fileName.size() - 4, u".tmp"))
        return {};
    for (size_t i = 3; i < 8; ++i) {
        const char16_t c = lower(fileName[i]);
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return {};
    }
    return Text(fileName.substr(9, fileName.size() - 13));
}

// Leftovers of earlier saves go to the Recycle Bin after a save in their folder completed, or stay where the
// drive has none. A temp whose document is missing, or whose document the name does not tell, may be that
// document's only copy and is never touched, nor is one marked read-only. A failed sweep leaves the save as
// done.
void SweepLeftovers(Files& files, const Text& folder, const Text& saved) {
    try {
        const int64_t now = files.LastWrite(saved);
        if (now < kEarliestStamp) return;
        for (const Files::TempFile& t : files.FindTempFiles(folder)) {
            const Text target = TempFileTarget(GetFileNamePart(t.path));
            if (target.empty() || t.kept || t.lastWrite < kEarliestStamp || now - t.lastWrite < kLeftoverAge)
                continue;
            if (files.FileExists(folder + target)) files.Recycle(t.path);
        }
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

bool WriteWholeBytes(Files& files, const Text& path, const Bytes& content, Text* kept) {
    return WriteWholeBytesFrom(
        files, path, [&](const Files::PutBytes& put) { return put(content); }, kept);
}

bool WriteWholeBytesFrom(Files& files, const Text& path,
                         const std::function<bool(const Files::PutBytes&)>& produce, Text* kept) {
    const Text temp = WriteTempFor(files, path, produce);
    return !temp.empty() && PlaceTemp(files, path, temp, kept);
}

Text WriteTempFor(Files& files, const Text& path,
                  const std::function<bool(const Files::PutBytes&)>& produce) {
    Text temp = files.CreateTempFile(FolderOf(path), TempTail(GetFileNamePart(path)));
    if (temp.empty() || files.WriteFlushedFrom(temp, produce)) return temp;
    files.Delete(temp);
    return {};
}

bool PlaceTemp(Files& files, const Text& path, const Text& temp, Text* kept) {
    const Files::ReplaceResult replaced = files.Replace(path, temp);
    bool placed = replaced == Files::ReplaceResult::Ok;
    const bool replacing = replaced != Files::ReplaceResult::TargetMissing;
    // A new file's temp moves in. So does one whose target was there and is gone now (a file system that did
    // not rename in one step): finishing the move is the way back to a document under its name.
    if (!placed && (!replacing || !files.FileExists(path))) placed = files.MoveReplacing(temp, path);
    // A temp that is the only copy left on disk is kept rather than losing the document altogether; it holds
    // exactly what the target would have held (masked for a protected document). Its missing target keeps it
    // from every sweep; the mark keeps it from an earlier editor's too.
    const bool onlyCopy = !placed && replacing && !files.FileExists(path) && files.FileExists(temp);
    if (onlyCopy) {
        files.KeepTempFile(temp);
        if (kept) *kept = temp;
    }
    if (!placed && !onlyCopy) files.Delete(temp);
    if (placed) SweepLeftovers(files, FolderOf(path), path);
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
