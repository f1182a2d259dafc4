#include "platform/win32/win_util.h"

namespace win {

int ScreenDpi() {
    static const int dpi = [] {
        const ScopedDc dc(nullptr);
        const int d = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSX) : 96;
        return d > 0 ? d : 96;
    }();
    return dpi;
}

}  // namespace win
