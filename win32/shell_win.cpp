#include "win32/shell_win.h"

#include <shellapi.h>

#include "win32/win_util.h"

void Win32Shell::Open(const Text& file, const Text& arguments, const Text& folder) {
    ShellExecuteW(owner, L"open", win::W(file), win::W(arguments), win::W(folder), SW_SHOWNORMAL);
}
