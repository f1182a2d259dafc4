// Opening documents and pages through the shell.
#pragma once
#include <windows.h>

#include "platform/ports.h"

struct Win32Shell : Shell {
    HWND owner = nullptr;
    void Open(const Text& file, const Text& arguments, const Text& folder) override;
};
