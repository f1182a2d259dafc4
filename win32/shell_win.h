// Opening documents and pages through the shell.
#pragma once
#include <windows.h>

#include "platform/ports.h"

struct Win32Shell : Shell {
    HWND owner = nullptr;
    void Execute(const Text& verb, const Text& file, const Text& params, const Text& folder,
                 int show) override;
};
