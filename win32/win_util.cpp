#include "win32/win_util.h"

#include <new>
#include <stdexcept>

#include "platform/trace.h"
#include "win32/window_class.h"

namespace win {

int ScreenDpi() {
    static const int dpi = [] {
        const ScopedDc dc(nullptr);
        const int d = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSX) : 96;
        return d > 0 ? d : 96;
    }();
    return dpi;
}

void DebugOutput(std::u16string_view line) {
    std::wstring text = L"Lockleaf: ";
    text.append(reinterpret_cast<const wchar_t*>(line.data()), line.size());
    text += L"\n";
    OutputDebugStringW(text.c_str());
}

void TraceError(const wchar_t* what, DWORD error) {
    std::wstring text = std::wstring(L"Lockleaf: ") + what;
    if (error) text += L" (error " + std::to_wstring(error) + L")";
    text += L"\n";
    OutputDebugStringW(text.c_str());
}

void ReportUncaught(const wchar_t* where) noexcept {
    std::u16string_view label(reinterpret_cast<const char16_t*>(where));
    platform::TraceCurrentException(label);
    try {
        throw;
    } catch (const std::bad_alloc&) {
        MessageBoxW(nullptr, L"Not enough memory to finish this action. Your document is as it was.",
                    AppTitle(), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    } catch (const std::length_error&) {
        MessageBoxW(nullptr, L"Not enough memory to finish this action. Your document is as it was.",
                    AppTitle(), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    } catch (...) {
    }
}

void FailStart(const wchar_t* what) {
    const std::wstring text = std::wstring(L"Lockleaf cannot start: its ") + what + L" could not be created.";
    MessageBoxW(nullptr, text.c_str(), AppTitle(), MB_OK | MB_ICONERROR);
    ExitProcess(1);
}

}  // namespace win
