// The common Open and Save As dialogs and the folder picker.
#pragma once
#include "platform/ports.h"

struct Win32FileDialogs : FileDialogs {
    bool ShowOpenDialog(FileDialogRequest& request) override;
    bool ShowSaveDialog(FileDialogRequest& request) override;
    std::optional<Text> PickFolder(const Text& prompt) override;
};
