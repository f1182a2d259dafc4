// The Open / Save As dialog object and its folder picker, over the file-dialog port.
// Its properties outlive each dialog, so the starting folder and the chosen type carry over.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ports.h"

// The file dialog object: the state the Open and Save As dialogs share.
class FileDialogState {
public:
    // initDir: the first dialog's folder; title: every dialog's title.
    FileDialogState(FileDialogs& dialogs, const Process& process, const Text& initDir, const Text& title);

    Text FileName;
    int32_t FilterIndex = 0;
    std::vector<FileType> Filter;
    // The dialog's options, kept from one dialog to the next as the other properties are.
    bool ConfirmOverwrite = false, HideReadOnly = false;
    Text InitDir;
    Text DialogTitle;
    // The dialog's "Encoding" list (none when empty) and the chosen one, in and out.
    std::vector<Text> Encodings;
    int32_t EncodingIndex = 0;

    // The chosen full path, empty on Cancel; no value (and no dialog) when FileName is too long.
    std::optional<Text> ShowOpen();
    std::optional<Text> ShowSave();
    Text BrowseForFolder(const Text& prompt);

private:
    std::optional<Text> Show(bool save);

    FileDialogs& m_Dialogs;
    const Process& m_Process;
};

namespace dialogs {
// The text without its last separator-delimited part; unchanged when the separator does not occur.
Text CutLastPart(const Text& text, const Text& separator);
}  // namespace dialogs
