#include "platform/win32/win_util.h"

namespace win {

int ScreenDpi() {
    static const int dpi = [] {
        HDC dc = GetDC(nullptr);
        const int d = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
        if (dc) ReleaseDC(nullptr, dc);
        return d > 0 ? d : 96;
    }();
    return dpi;
}

}  // namespace win
