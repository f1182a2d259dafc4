// Process facts, the clock and the event loop of the real program.
#pragma once
#include "platform/ports.h"

struct Win32Process : Process {
    Text ExeFolder() const override;
    Text ExeBaseName() const override;
    Text CommandLine() const override;
    Text CurrentDirectory() const override;
    Text FullPath(const Text& path) const override;
};

struct Win32Clock : Clock {
    int64_t NowLocalSeconds() const override;
};

struct Win32EventLoop : EventLoop {
    void DoEvents() override;
    void EndProcess() override;
};

// The argument text of a command line: what follows the program name and the blanks after it.
Text ArgumentText(const wchar_t* commandLine);

// Runs the message loop until WM_QUIT; routes messages of modeless dialogs through IsDialogMessage.
int RunMessageLoop();
// The modeless window whose keyboard messages IsDialogMessage handles (0 = none).
void SetModelessWindow(void* hwnd);
