// The program's message loop, which hands the modeless Find/Replace window's keys to IsDialogMessage.
#pragma once
#include <windows.h>

#include "platform/ports.h"

struct Win32EventLoop : EventLoop {
    void EndProcess() override;
};

// Runs the message loop until WM_QUIT.
int RunMessageLoop();
// Dispatches every message waiting, then returns (a WM_QUIT is put back). For the adapter tests: the program
// itself never runs a loop inside a handler.
void DispatchPendingMessages();
// The modeless window whose keyboard messages IsDialogMessage handles (nullptr = none).
void SetModelessWindow(HWND hwnd);
