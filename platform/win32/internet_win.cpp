#include "platform/win32/internet_win.h"

#include <windows.h>
#include <wininet.h>

#include "platform/win32/win_util.h"

NetHandle Win32Internet::Open(const Text& agent, uint32_t accessType, uint32_t flags) {
    return reinterpret_cast<NetHandle>(InternetOpenW(win::W(agent), accessType, nullptr, nullptr, flags));
}

NetHandle Win32Internet::OpenUrl(NetHandle root, const Text& url, uint32_t flags) {
    return reinterpret_cast<NetHandle>(
        InternetOpenUrlW(reinterpret_cast<HINTERNET>(root), win::W(url), nullptr, 0, flags, 0));
}

bool Win32Internet::Read(NetHandle h, void* buffer, uint32_t size, uint32_t& read) {
    DWORD n = 0;
    const bool ok = InternetReadFile(reinterpret_cast<HINTERNET>(h), buffer, size, &n) != 0;
    read = ok ? n : 0;
    return ok;
}

void Win32Internet::Close(NetHandle h) { InternetCloseHandle(reinterpret_cast<HINTERNET>(h)); }
