// The real main window: creates the HWNDs, menus and controls of Editor and routes their messages to it, and
// those of the advertising strip's controls to the strip's events.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <memory>

#include "app/editor.h"
#include "win32/controls_win.h"
#include "win32/font_win.h"
#include "win32/scoped.h"
#include "win32/status_bar_win.h"

constexpr wchar_t kMainClass[] = L"LockleafMain";

// Menu command ids: the menu array's base plus the item's index.
constexpr UINT kIdFileMenu = 1000, kIdEditMenu = 2000, kIdHelpMenu = 3000, kIdANext = 4000, kIdAAdinfo = 4001;
constexpr UINT kIdTextBox = 100, kIdBrowser = 200, kIdMorePicture = 201, kIdStatusBar = 202;
// Posted to the main window once a box's caret may have moved: the status bar is brought up to date once for
// many moves. It carries nothing; one from elsewhere only refreshes the bar.
constexpr UINT kStatusDue = WM_APP + 2;

class Win32EditorHost : public EditorHost {
public:
    Win32EditorHost(HINSTANCE instance, int showCmd);
    ~Win32EditorHost() override;

    void InitCommonControls() override;
    EditorControls Create(EditorEvents& fou, AdStripEvents& ads) override;
    void Show() override;

    HWND Hwnd() const { return m_Window.m_Hwnd; }

    // Services that want the main window as owner.
    std::function<void(HWND)> onCreated;

    // The window's messages, from its procedure.
    LRESULT Handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

private:
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR ref) noexcept;
    void OnCommand(WPARAM wp, LPARAM lp);
    // Moved to a monitor of another scale: fonts and sizes in twips at the new dpi.
    void OnDpiChanged(int dpi, const RECT* suggested);
    void OnDropFiles(int index, HDROP drop);
    void StatusDue();
    HMENU BuildMenuBar();

    HINSTANCE m_Instance;
    int m_ShowCmd;
    EditorEvents* m_Editor = nullptr;
    AdStripEvents* m_Ads = nullptr;
    bool m_Ready = false;
    Win32Window m_Window;
    Win32TextBox m_TextBoxes[2];
    std::unique_ptr<Browser> m_Browser;
    Win32Widget m_MorePicture;
    Win32MenuItem m_WordWrap;
    Win32MenuItem m_StatusBarItem;
    Win32StatusBar m_StatusBar;
    bool m_StatusPosted = false;
    Win32Timer m_Timer;
    Win32PopupMenu m_AAdver;
    Win32TextFont m_Font;
    win::ScopedIcon m_Icon;
};
