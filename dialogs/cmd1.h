// The Open / Save As dialog object and its folder picker, over the file-dialog port.
// Its properties outlive each dialog, so the starting folder and the chosen type carry over.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ports.h"

// cmd1: the file dialog object (its name from the original design).
class cmd1 {
public:
    // initDir: the first dialog's folder; title: every dialog's title.
    cmd1(FileDialogs& dialogs, const Process& process, const Text& initDir, const Text& title);

    Text FileName;
    int32_t FilterIndex = 0;
    Text Filter;
    int32_t flags = 0;
    Text InitDir;
    Text DialogTitle;
    std::intptr_t hwndOwner = 0;  // pointer-sized so a 64-bit handle survives
    // The dialog's "Encoding" list (none when empty), the chosen one (in and out) and the types for which it
    // is disabled (bit 0: type 1).
    std::vector<Text> Encodings;
    int32_t EncodingIndex = 0;
    uint32_t EncodingOffTypes = 0;

    // The chosen full path, empty on Cancel; no value (and no dialog) when FileName is too long.
    std::optional<Text> ShowOpen();
    std::optional<Text> ShowSave();
    Text BrowseForFolder(const Text& prompt);

    // The buffer, as long as the longest path Windows takes (the dialog may use one less): deep folders are
    // picked and typed like any other.
    static constexpr size_t kMaxFileName = 32768;

private:
    std::optional<Text> Show(bool save);

    FileDialogs& m_Dialogs;
    const Process& m_Process;
};

namespace dialogs {
// The text without its last separator-delimited part; unchanged when the separator does not occur.
Text CutLastPart(const Text& text, const Text& separator);
}  // namespace dialogs
