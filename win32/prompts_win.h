// Modal message boxes and the text prompt, titled with the application title and owned by the main window.
#pragma once
#include <windows.h>

#include "platform/ports.h"

struct Win32Prompts : Prompts {
    HWND owner = nullptr;
    MsgResult Message(const Text& text, MsgButtons buttons, MsgIcon icon) override;
    Text Input(const Text& message) override;
    bool AskLine(const Text& label, const Text& initial,
                 const std::function<bool(const Text& typed)>& accept) override;
};
