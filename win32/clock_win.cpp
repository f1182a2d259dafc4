#include "win32/clock_win.h"
#include <windows.h>

int64_t Win32Clock::NowLocalSeconds() const {
    SYSTEMTIME st;
    GetLocalTime(&st);
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);  // the local wall clock read as if it were UTC: civil seconds
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    return static_cast<int64_t>(u.QuadPart / 10000000ULL) - 11644473600LL;
}

int64_t Win32Clock::MonotonicMilliseconds() const { return static_cast<int64_t>(GetTickCount64()); }

int64_t Win32Clock::MillisecondsSinceInput() const {
    LASTINPUTINFO info{sizeof info, 0};
    if (!GetLastInputInfo(&info)) return 0;
    // Both are the 32-bit tick count: the difference is right across its wrap every 49.7 days.
    return static_cast<int64_t>(static_cast<DWORD>(GetTickCount() - info.dwTime));
}
