// The file system: existence, length, whole reads, the pieces of an atomic save, the Recycle Bin, folder
// listings and files claimed by one process.
#pragma once
#include "platform/ports.h"

struct Win32Files : Files {
    bool FileExists(const Text& path) const override;
    bool EntryExists(const Text& path) const override;
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
    std::unique_ptr<Claim> ClaimFile(const Text& path) override;
};
