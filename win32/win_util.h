// Small helpers shared by the Win32 adapters: UTF-16 views, key masks, twips <-> pixels.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "platform/hosts.h"
#include "platform/product.h"
#include "win32/scoped.h"

namespace win {

inline const wchar_t* W(const Text& t) { return reinterpret_cast<const wchar_t*>(t.c_str()); }
inline Text FromW(const wchar_t* s) { return s ? Text(reinterpret_cast<const char16_t*>(s)) : Text(); }
inline const wchar_t* AppTitle() { return reinterpret_cast<const wchar_t*>(kProductName); }
inline Text FromW(const wchar_t* s, size_t n) { return Text(reinterpret_cast<const char16_t*>(s), n); }

// The modifier mask of the key being handled (Shift, Ctrl, Alt).
inline int KeyMask() {
    return (GetKeyState(VK_SHIFT) < 0 ? kShiftMask : 0) | (GetKeyState(VK_CONTROL) < 0 ? kCtrlMask : 0) |
           (GetKeyState(VK_MENU) < 0 ? kAltMask : 0);
}

// The key of a virtual-key code, kKeyOther for the keys the program does not handle.
Key KeyOf(WPARAM virtualKey);
// A wheel's turn (WM_MOUSEWHEEL's delta) in the parts of a notch the handlers count.
inline int WheelParts(int delta) { return delta * kWheelDelta / WHEEL_DELTA; }

// GetFullPathNameW at any length: path made absolute, "." and ".." resolved; empty when that fails.
std::wstring FullPathName(const wchar_t* path);

// The debugger output (OutputDebugStringW), one line: the sink of platform::Trace in the program.
void DebugOutput(std::u16string_view line);
// "what (error N)" to the debugger output; error is a GetLastError code, 0 for none.
void TraceError(const wchar_t* what, DWORD error);

// A window the program cannot run without could not be made: the user is told, and the process ends.
[[noreturn]] void FailStart(const wchar_t* what);

// Pixels per inch of the system (the primary screen's at logon); where no window says otherwise.
int ScreenDpi();
// The pixels per inch a window is drawn at. The manifest makes the process aware of each monitor's: a
// window's is what its top-level window last took (TakeDpi), else what Windows gives it (GetDpiForWindow,
// Windows 10 1607 and later), else the system's.
int WindowDpi(HWND hwnd);
// A top-level window moved to a monitor of another scale (WM_DPICHANGED): it and its children use dpi from
// now on. ForgetDpi when it is destroyed.
void TakeDpi(HWND top, int dpi);
void ForgetDpi(HWND top);
// Clamped first: a value beyond int (a stored placement, say) must not reach the conversion.
inline int TwipsToPixels(double twips, int dpi) {
    const double t = std::isnan(twips) ? 0.0 : std::clamp(twips, -1e9, 1e9);
    return MulDiv(static_cast<int>(t + (t < 0 ? -0.5 : 0.5)), dpi, 1440);
}
inline double PixelsToTwips(int pixels, int dpi) { return pixels * 1440.0 / dpi; }

}  // namespace win
