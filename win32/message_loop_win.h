// The program's message loops: the main one, and the one the core runs for pending messages; both hand the
// modeless Find/Replace window's keys to IsDialogMessage.
#pragma once
#include <windows.h>

#include "platform/ports.h"

struct Win32EventLoop : EventLoop {
    void DoEvents() override;
    void EndProcess() override;
};

// Runs the message loop until WM_QUIT.
int RunMessageLoop();
// The modeless window whose keyboard messages IsDialogMessage handles (nullptr = none).
void SetModelessWindow(HWND hwnd);
