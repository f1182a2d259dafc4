#include "win32/win_util.h"

namespace win {

int ScreenDpi() {
    static const int dpi = [] {
        const ScopedDc dc(nullptr);
        const int d = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSX) : 96;
        return d > 0 ? d : 96;
    }();
    return dpi;
}

void FailStart(const wchar_t* what) {
    const std::wstring text = std::wstring(L"Lockleaf cannot start: its ") + what + L" could not be created.";
    MessageBoxW(nullptr, text.c_str(), AppTitle(), MB_OK | MB_ICONERROR);
    ExitProcess(1);
}

}  // namespace win
