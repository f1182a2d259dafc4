#include "win32/win_util.h"

#include <new>
#include <stdexcept>

#include "platform/trace.h"
#include "win32/window_class.h"

namespace win {

Key KeyOf(WPARAM virtualKey) {
    switch (virtualKey) {
        case VK_BACK:
            return kKeyBack;
        case VK_RETURN:
            return kKeyReturn;
        case VK_ESCAPE:
            return kKeyEscape;
        case '0':
            return kKey0;
        case 'F':
            return kKeyF;
        case 'G':
            return kKeyG;
        case 'Y':
            return kKeyY;
        case 'Z':
            return kKeyZ;
        case VK_NUMPAD0:
            return kKeyNumpad0;
        case VK_ADD:
            return kKeyAdd;
        case VK_SUBTRACT:
            return kKeySubtract;
        case VK_F2:
            return kKeyF2;
        case VK_F3:
            return kKeyF3;
        case VK_F4:
            return kKeyF4;
        case VK_OEM_PLUS:
            return kKeyOemPlus;
        case VK_OEM_MINUS:
            return kKeyOemMinus;
        default:
            return kKeyOther;
    }
}

int ScreenDpi() {
    static const int dpi = [] {
        const ScopedDc dc(nullptr);
        const int d = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSX) : 96;
        return d > 0 ? d : 96;
    }();
    return dpi;
}

namespace {

constexpr wchar_t kDpiProperty[] = L"Lockleaf.Dpi";

}  // namespace

int WindowDpi(HWND hwnd) {
    HWND top = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
    if (!top) return ScreenDpi();
    if (const auto taken = reinterpret_cast<INT_PTR>(GetPropW(top, kDpiProperty)); taken > 0)
        return static_cast<int>(taken);
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = getDpi ? getDpi(top) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : ScreenDpi();
}

void TakeDpi(HWND top, int dpi) {
    if (dpi > 0) SetPropW(top, kDpiProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(dpi)));
}

void ForgetDpi(HWND top) { RemovePropW(top, kDpiProperty); }

std::wstring FullPathName(const wchar_t* path) {
    const DWORD n = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (n == 0) return {};
    std::wstring full(n, L'\0');
    const DWORD got = GetFullPathNameW(path, n, full.data(), nullptr);
    if (got == 0 || got >= n) return {};
    full.resize(got);
    return full;
}

void DebugOutput(std::u16string_view line) {
    std::wstring text = std::wstring(AppTitle()) + L": ";
    text.append(reinterpret_cast<const wchar_t*>(line.data()), line.size());
    text += L"\n";
    OutputDebugStringW(text.c_str());
}

void TraceError(const wchar_t* what, DWORD error) {
    std::wstring line = what;
    if (error) line += L" (error " + std::to_wstring(error) + L")";
    DebugOutput(FromW(line.c_str(), line.size()));
}

void ReportUncaught(const wchar_t* where) noexcept {
    platform::TraceCurrentException(std::u16string_view(reinterpret_cast<const char16_t*>(where)));
    bool memory = false;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        memory = true;
    } catch (const std::length_error&) {
        memory = true;  // a text longer than a string can hold
    } catch (...) {
        // Already traced; nothing the user could act on.
    }
    if (memory)
        MessageBoxW(nullptr, L"Not enough memory to finish this action. Your document is as it was.",
                    AppTitle(), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}

void FailStart(const wchar_t* what) {
    const std::wstring text =
        std::wstring(AppTitle()) + L" cannot start: its " + what + L" could not be created.";
    MessageBoxW(nullptr, text.c_str(), AppTitle(), MB_OK | MB_ICONERROR);
    ExitProcess(1);
}

}  // namespace win
