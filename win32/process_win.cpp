#include "win32/process_win.h"
#include <windows.h>

#include <shlobj.h>

#include "win32/scoped.h"
#include "win32/win_util.h"

namespace {

Text ModulePath() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) return win::FromW(buf.c_str(), n);
        buf.resize(buf.size() * 2);
    }
}

}  // namespace

Text Win32Process::ExeFolder() const {
    const Text path = ModulePath();
    const auto slash = path.rfind(u'\\');
    if (slash == Text::npos) return path;
    // A drive root keeps its backslash, as the platform reports it.
    return slash == 2 && path[1] == u':' ? path.substr(0, 3) : path.substr(0, slash);
}

Text Win32Process::ExeBaseName() const {
    const Text path = ModulePath();
    const Text name = path.substr(path.rfind(u'\\') + 1);
    const auto dot = name.rfind(u'.');
    return dot == Text::npos ? name : name.substr(0, dot);
}

Text Win32Process::CommandLine() const { return ArgumentText(GetCommandLineW()); }

Text ArgumentText(const wchar_t* p) {
    // The program name ends as the C runtime sees it: at its closing quote, or at the first blank.
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p == L'"') ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return win::FromW(p);
}

Text Win32Process::CurrentDirectory() const {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring buf(n, L'\0');
    const DWORD got = GetCurrentDirectoryW(n, buf.data());
    return win::FromW(buf.c_str(), got);
}

Text Win32Process::FullPath(const Text& path) const {
    const std::wstring full = win::FullPathName(win::W(path));
    return full.empty() ? path : win::FromW(full.c_str(), full.size());
}

Text Win32Process::LocalAppDataFolder() const {
    win::ScopedCoMemory path;
    // The caller frees the result whether the call succeeds or not; a folder that is missing fails it.
    if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, reinterpret_cast<PWSTR*>(path.Put()))))
        return {};
    Text folder = win::FromW(static_cast<const wchar_t*>(path.Get()));
    if (folder.size() > 3 && folder.back() == u'\\') folder.pop_back();
    return folder;
}

bool Win32Process::RegisterRestart(const Text& arguments) {
    return RegisterApplicationRestart(win::W(arguments), 0) == S_OK;
}
