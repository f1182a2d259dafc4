#include "win32/shell_win.h"

#include <shellapi.h>

#include "win32/win_util.h"

void Win32Shell::Execute(const Text& verb, const Text& file, const Text& params, const Text& folder,
                         int show) {
    ShellExecuteW(owner, win::W(verb), win::W(file), win::W(params), win::W(folder), show);
}
