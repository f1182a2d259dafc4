// The real main window: creates the HWNDs, menus and controls of Fou and routes their messages to it.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <memory>

#include "app/fou.h"
#include "win32/controls_win.h"
#include "win32/scoped.h"

constexpr wchar_t kMainClass[] = L"LockleafMain";

// Menu command ids: the menu array's base plus the item's index.
constexpr UINT kIdMnu1 = 1000, kIdMnu2 = 2000, kIdMnu3 = 3000, kIdANext = 4000, kIdAAdinfo = 4001;
constexpr UINT kIdTxtData = 100, kIdBrowser = 200, kIdImMore = 201;

class Win32FouHost : public FouHost {
public:
    Win32FouHost(HINSTANCE instance, int showCmd);
    ~Win32FouHost() override;

    void InitCommonControls() override;
    FouControls Create(Fou& fou) override;
    void Show() override;

    HWND Hwnd() const { return window_.hwnd; }

    // Services that want the main window as owner.
    std::function<void(HWND)> onCreated;

    // The window's messages, from its procedure.
    LRESULT Handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

private:
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR ref) noexcept;
    void OnCommand(WPARAM wp, LPARAM lp);
    void OnDropFiles(int index, HDROP drop);
    HMENU BuildMenuBar();

    HINSTANCE instance_;
    int showCmd_;
    Fou* fou_ = nullptr;
    bool ready_ = false;
    Win32Window window_;
    Win32TextBox txtData_[2];
    std::unique_ptr<Browser> browser_;
    Win32Widget imMore_;
    Win32MenuItem wordWrap_;
    Win32Timer timer_;
    Win32PopupMenu aAdver_;
    win::ScopedGdi<HFONT> font_;
    win::ScopedIcon icon_;
};
