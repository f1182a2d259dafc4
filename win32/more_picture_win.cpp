// The "more" picture on Windows: a subclassed STATIC that paints the decoded GIF resource and turns
// button releases into mouse-ups with the button, shift state and position in twips.
#include "win32/more_picture_win.h"

#include <commctrl.h>
#include <ole2.h>
#include <olectl.h>

#include "platform/hosts.h"
#include "win32/win_util.h"
#include "win32/window_class.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x1A0E;

struct MorePictureState {
    win::ScopedGdi<HBITMAP> bitmap;
    MorePictureMouseUp onMouseUp;
};

int ShiftOf(WPARAM keys) {
    return ((keys & MK_SHIFT) ? kShiftMask : 0) | ((keys & MK_CONTROL) ? kCtrlMask : 0) |
           (GetKeyState(VK_MENU) < 0 ? kAltMask : 0);
}

void Paint(HWND h, HBITMAP bitmap) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT rc;
    GetClientRect(h, &rc);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    if (bitmap) {
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        const win::ScopedMemoryDc memory(CreateCompatibleDC(dc));
        const win::ScopedSelect selected(memory.Get(), bitmap);
        // The box is sized in twips, so above 96 dpi the picture grows with it.
        SetStretchBltMode(dc, HALFTONE);
        const int dpi = win::WindowDpi(h);
        StretchBlt(dc, 0, 0, win::TwipsToPixels(info.bmWidth * 15, dpi),
                   win::TwipsToPixels(info.bmHeight * 15, dpi), memory.Get(), 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
    }
    EndPaint(h, &ps);
}

LRESULT HandleMorePicture(HWND h, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR ref);

LRESULT CALLBACK MorePictureProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) noexcept {
    return win::Guarded(L"picture", LRESULT{0}, [&] { return HandleMorePicture(h, msg, wp, lp, ref); });
}

LRESULT HandleMorePicture(HWND h, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR ref) {
    auto* state = reinterpret_cast<MorePictureState*>(ref);
    int button = 0;
    switch (msg) {
        case WM_PAINT:
            Paint(h, state->bitmap.Get());
            return 0;
        case WM_LBUTTONUP:
            button = 1;
            break;
        case WM_RBUTTONUP:
            button = 2;
            break;
        case WM_MBUTTONUP:
            button = 4;
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(h, MorePictureProc, kSubclassId);
            delete state;
            return DefSubclassProc(h, msg, wp, lp);
    }
    if (button && state->onMouseUp) {
        const POINTS at = MAKEPOINTS(lp);
        const int dpi = win::WindowDpi(h);
        state->onMouseUp(button, ShiftOf(wp), win::PixelsToTwips(at.x, dpi), win::PixelsToTwips(at.y, dpi));
        return 0;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

}  // namespace

HBITMAP DecodePicture(const void* data, size_t size) {
    if (!data || !size) return nullptr;
    win::ScopedGlobal copy(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!copy.Valid()) return nullptr;
    memcpy(GlobalLock(copy.Get()), data, size);
    GlobalUnlock(copy.Get());
    win::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(copy.Get(), TRUE, stream.Put()))) return nullptr;
    copy.Release();  // the stream frees it now
    win::ComPtr<IPicture> picture;
    if (FAILED(
            OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture, picture.PutVoid())) ||
        !picture)
        return nullptr;
    OLE_HANDLE handle = 0;
    // The picture owns its bitmap; keep a copy that outlives it.
    if (FAILED(picture->get_Handle(&handle)) || !handle) return nullptr;
    return static_cast<HBITMAP>(
        CopyImage(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0, 0, 0));
}

HBITMAP LoadMoreBitmap(HINSTANCE instance) {
    HRSRC found = FindResourceW(instance, L"MORE_PICTURE", MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!found) return nullptr;
    return DecodePicture(LockResource(LoadResource(instance, found)), SizeofResource(instance, found));
}

void SetUpMorePicture(HWND picture, HINSTANCE instance, MorePictureMouseUp onMouseUp) {
    if (!picture) return;
    auto* state =
        new MorePictureState{win::ScopedGdi<HBITMAP>(LoadMoreBitmap(instance)), std::move(onMouseUp)};
    SetWindowSubclass(picture, MorePictureProc, kSubclassId, reinterpret_cast<DWORD_PTR>(state));
    InvalidateRect(picture, nullptr, TRUE);
}
