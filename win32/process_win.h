// The running process as the core sees it: the exe's folder and name, the command line, the current folder,
// the user's local application data folder, and the restart Windows gives it after a crash.
#pragma once
#include "platform/ports.h"

struct Win32Process : Process {
    Text ExeFolder() const override;
    Text ExeBaseName() const override;
    Text CommandLine() const override;
    Text CurrentDirectory() const override;
    Text FullPath(const Text& path) const override;
    Text LocalAppDataFolder() const override;
    bool RegisterRestart(const Text& arguments) override;
};

// The argument text of a command line: what follows the program name and the blanks after it.
Text ArgumentText(const wchar_t* commandLine);
