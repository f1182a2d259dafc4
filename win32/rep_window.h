// The real Find/Replace window: a small modeless window owned by the editor, its panels and controls,
// tooltips and icon; its messages become calls of the rep handlers, and nothing more.
#pragma once
#include <windows.h>

#include "find/rep.h"
#include "win32/controls_win.h"
#include "win32/scoped.h"

constexpr wchar_t kRepClass[] = L"LockleafRep";
constexpr wchar_t kRepPanelClass[] = L"LockleafRepPanel";

// Control ids. None is IDOK or IDCANCEL, so Enter and Esc that the dialog manager turns into those do
// nothing.
constexpr int kIdTe = 101, kIdCo = 201, kIdCa = 204, kIdCh1 = 205, kIdPi = 301, kIdLa = 401;

class Win32RepHost : public RepHost {
public:
    explicit Win32RepHost(HINSTANCE instance) : instance_(instance) {}
    ~Win32RepHost() override;

    HWND owner = nullptr;  // the editor window

    void InitCommonControls() override;
    RepControls Create(rep& window) override;
    void ShowModeless() override;
    void Destroy() override;

    HWND Hwnd() const { return window_.hwnd; }

    // The window's messages, from its procedure.
    LRESULT Handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

private:
    static LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR ref) noexcept;
    static LRESULT HandleControl(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
    struct Box;
    bool RegisterClasses();
    RepControls Controls();
    HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int id,
               const Box& twips);
    void AddTooltip(HWND tip, HWND control, const wchar_t* text);
    void OnCommand(int id, int code);
    void MoveFocus(HWND from, bool backwards);

    HINSTANCE instance_;
    rep* rep_ = nullptr;
    bool registered_ = false;
    win::ScopedIcon icon_, smallIcon_;
    win::ScopedGdi<HFONT> font_;
    Win32Window window_;
    Win32Widget Pi_[2], La_[2];
    Win32TextBox Te_[2];
    Win32CheckBox Ch1_;
    Win32Button co_[3], ca_;
};
