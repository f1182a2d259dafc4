// The real Find/Replace window: a small modeless window owned by the editor, its panels and controls,
// tooltips and icon; its messages become calls of the FindReplace handlers, and nothing more.
#pragma once
#include <windows.h>

#include "find/find_replace.h"
#include "win32/controls_win.h"
#include "win32/scoped.h"

constexpr wchar_t kRepClass[] = L"LockleafRep";
constexpr wchar_t kRepPanelClass[] = L"LockleafRepPanel";

// Control ids. None is IDOK or IDCANCEL, so Enter and Esc that the dialog manager turns into those do
// nothing.
constexpr int kIdField = 101, kIdButton = 201, kIdCancel = 204, kIdMatchCase = 205, kIdPanel = 301,
              kIdLabel = 401;

class Win32FindReplaceHost : public FindReplaceHost {
public:
    explicit Win32FindReplaceHost(HINSTANCE instance) : m_Instance(instance) {}
    ~Win32FindReplaceHost() override;

    HWND owner = nullptr;  // the editor window

    void InitCommonControls() override;
    FindReplaceControls Create(FindReplaceEvents& window) override;
    void ShowModeless() override;
    void Destroy() override;

    HWND Hwnd() const { return m_Window.m_Hwnd; }

    // The window's messages, from its procedure.
    LRESULT Handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

private:
    static LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR ref) noexcept;
    static LRESULT HandleControl(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
    struct Box;
    bool RegisterClasses();
    FindReplaceControls Controls();
    HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int id,
               const Box& twips);
    void AddTooltip(HWND tip, HWND control, const wchar_t* text);
    void OnCommand(int id, int code);
    void MoveFocus(HWND from, bool backwards);
    void ApplyColors();
    HFONT MakeFont(int dpi);
    void OnDpiChanged(int dpi, const RECT* suggested);  // the scheme's colours on the window and its controls

    HINSTANCE m_Instance;
    FindReplaceEvents* m_FindReplace = nullptr;
    bool m_Registered = false;
    win::ScopedIcon m_Icon, m_SmallIcon;
    win::ScopedGdi<HFONT> m_Font;
    Win32Window m_Window;
    Win32Widget m_Panels[2], m_Labels[2];
    Win32TextBox m_Fields[2];
    Win32CheckBox m_MatchCase;
    Win32Button m_Buttons[3], m_Cancel;
};
