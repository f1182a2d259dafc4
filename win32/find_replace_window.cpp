// The real Find/Replace window: panels, controls, tooltips, icon, keys; every event goes to a FindReplace
// handler.
#include "win32/find_replace_window.h"

#include <commctrl.h>

#include <vector>

#include "win32/font_win.h"
#include "win32/message_loop_win.h"
#include "win32/res/resource.h"
#include "win32/theme_win.h"
#include "win32/win_util.h"
#include "win32/window_class.h"

namespace {

constexpr int kVkF3 = VK_F3;

}  // namespace

// A control's designed place in twips, relative to its container.
struct Win32FindReplaceHost::Box {
    int left, top, width, height;
};

Win32FindReplaceHost::~Win32FindReplaceHost() = default;

void Win32FindReplaceHost::InitCommonControls() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
}

bool Win32FindReplaceHost::RegisterClasses() {
    if (m_Registered) return true;
    m_Icon.Reset(static_cast<HICON>(
        LoadImageW(m_Instance, MAKEINTRESOURCEW(IDI_FIND_REPLACE), IMAGE_ICON, 32, 32, 0)));
    m_SmallIcon.Reset(
        static_cast<HICON>(LoadImageW(m_Instance, MAKEINTRESOURCEW(IDI_FIND_REPLACE), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    m_Registered = win::RegisterWindowClass(m_Instance, {kRepClass, win::WindowProc<Win32FindReplaceHost>,
                                                         m_Icon.Get(), m_SmallIcon.Get()}) &&
                   win::RegisterWindowClass(m_Instance, {kRepPanelClass, PanelProc});
    return m_Registered;
}

// The dialog font at dpi, with a Thai face where it has none: the search and replacement hold Thai text.
HFONT Win32FindReplaceHost::MakeFont(int dpi) {
    LOGFONTW lf{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfHeight = MulDiv(lf.lfHeight, dpi, win::ScreenDpi());  // the stock font is the system's size
    return CreateThaiFont(lf);
}

HWND Win32FindReplaceHost::Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style,
                                 DWORD exStyle, int id, const Box& t) {
    const int dpi = win::WindowDpi(parent);
    HWND h = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style,
                             win::TwipsToPixels(t.left, dpi), win::TwipsToPixels(t.top, dpi),
                             win::TwipsToPixels(t.width, dpi), win::TwipsToPixels(t.height, dpi), parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_Instance, nullptr);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(m_Font.Get()), FALSE);
    return h;
}

namespace {

BOOL CALLBACK CollectChild(HWND h, LPARAM children) noexcept {
    reinterpret_cast<std::vector<HWND>*>(children)->push_back(h);
    return TRUE;
}

}  // namespace

void Win32FindReplaceHost::OnDpiChanged(int dpi, const RECT* suggested) {
    // Every control keeps its place in twips, wherever the mode has moved it: read at the old dpi first.
    const int old = win::WindowDpi(m_Window.m_Hwnd);
    std::vector<HWND> children;
    EnumChildWindows(m_Window.m_Hwnd, CollectChild, reinterpret_cast<LPARAM>(&children));
    std::vector<RECT> places;
    for (HWND h : children) {
        RECT rc;
        GetWindowRect(h, &rc);
        MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&rc), 2);
        places.push_back(rc);
    }
    win::TakeDpi(m_Window.m_Hwnd, dpi);
    const auto scaled = [&](int pixels) { return win::TwipsToPixels(win::PixelsToTwips(pixels, old), dpi); };
    win::ScopedGdi<HFONT> font(MakeFont(dpi));
    for (size_t k = 0; k < children.size(); ++k) {
        const RECT& rc = places[k];
        MoveWindow(children[k], scaled(rc.left), scaled(rc.top), scaled(rc.right - rc.left),
                   scaled(rc.bottom - rc.top), TRUE);
        SendMessageW(children[k], WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }
    m_Font = std::move(font);
    if (suggested)
        SetWindowPos(m_Window.m_Hwnd, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FindReplaceHost::AddTooltip(HWND tip, HWND control, const wchar_t* text) {
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = m_Window.m_Hwnd;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

FindReplaceControls Win32FindReplaceHost::Create(FindReplaceEvents& window) {
    m_FindReplace = &window;
    // Fixed single border with a close box only; the caption before anything sets it is "Replace".
    HWND hwnd = !RegisterClasses() ? nullptr
                                   : CreateWindowExW(WS_EX_CONTROLPARENT, kRepClass, L"Replace",
                                                     WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 0,
                                                     0, win::TwipsToPixels(4060, win::WindowDpi(owner)),
                                                     win::TwipsToPixels(2500, win::WindowDpi(owner)), owner,
                                                     nullptr, m_Instance, this);
    m_Window.m_Hwnd = hwnd;
    // Without a window the controls stay empty and every call on them does nothing: Find is just not shown.
    if (!hwnd) return Controls();
    m_Font.Reset(MakeFont(win::WindowDpi(hwnd)));

    const DWORD panel = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    m_Panels[1].m_Hwnd =
        Child(hwnd, kRepPanelClass, L"", panel, WS_EX_CONTROLPARENT, kIdPanel + 1, Box{120, 820, 3855, 1095});
    m_Panels[0].m_Hwnd =
        Child(hwnd, kRepPanelClass, L"", panel, WS_EX_CONTROLPARENT, kIdPanel, Box{120, 120, 3855, 615});
    // The upper panel lies in front: in Find mode it covers the lower panel's replacement row.
    SetWindowPos(m_Panels[0].m_Hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    m_Labels[0].m_Hwnd = Child(m_Panels[0].m_Hwnd, L"STATIC", L"Find", 0, 0, kIdLabel, Box{0, 0, 615, 255});
    m_MatchCase.m_Hwnd = Child(m_Panels[0].m_Hwnd, L"BUTTON", L"", BS_AUTOCHECKBOX | WS_TABSTOP, 0,
                               kIdMatchCase, Box{360, 360, 230, 210});
    m_Fields[0].m_Hwnd = Child(m_Panels[0].m_Hwnd, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP,
                               WS_EX_CLIENTEDGE, kIdField, Box{600, 0, 3135, 615});
    m_Labels[1].m_Hwnd = Child(m_Panels[1].m_Hwnd, L"STATIC", L"To", 0, 0, kIdLabel + 1, Box{0, 0, 615, 255});
    m_Fields[1].m_Hwnd = Child(m_Panels[1].m_Hwnd, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP,
                               WS_EX_CLIENTEDGE, kIdField + 1, Box{600, 0, 3135, 615});
    const wchar_t* captions[3] = {L"Find", L"Replace", L"Replace All"};
    const int lefts[3] = {0, 840, 1680}, widths[3] = {855, 855, 1215};
    for (int i = 0; i < 3; ++i)
        m_Buttons[i].m_Hwnd = Child(m_Panels[1].m_Hwnd, L"BUTTON", captions[i],
                                    (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP, 0,
                                    kIdButton + i, Box{lefts[i], 720, widths[i], 375});
    m_Cancel.m_Hwnd = Child(m_Panels[1].m_Hwnd, L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0,
                            kIdCancel, Box{2880, 720, 855, 375});
    for (HWND h : {m_Fields[0].m_Hwnd, m_Fields[1].m_Hwnd, m_Buttons[0].m_Hwnd, m_Buttons[1].m_Hwnd,
                   m_Buttons[2].m_Hwnd, m_Cancel.m_Hwnd, m_MatchCase.m_Hwnd})
        SetWindowSubclass(h, ControlProc, static_cast<UINT_PTR>(GetDlgCtrlID(h)),
                          reinterpret_cast<DWORD_PTR>(this));

    HWND tip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, m_Instance, nullptr);
    AddTooltip(tip, m_MatchCase.m_Hwnd,
               L"\u0e15\u0e31\u0e27\u0e1e\u0e34\u0e21\u0e1e\u0e4c\u0e15\u0e23\u0e07\u0e01\u0e31\u0e19");
    AddTooltip(tip, m_Buttons[0].m_Hwnd, L"F3");
    AddTooltip(tip, m_Buttons[1].m_Hwnd, L"F4");

    ApplyColors();
    SetModelessWindow(hwnd);  // the message loop hands its keys to IsDialogMessage
    return Controls();
}

FindReplaceControls Win32FindReplaceHost::Controls() {
    FindReplaceControls c;
    c.window = &m_Window;
    for (int i = 0; i < 2; ++i) {
        c.panels[i] = &m_Panels[i];
        c.fields[i] = &m_Fields[i];
    }
    c.matchCase = &m_MatchCase;
    for (int i = 0; i < 3; ++i) c.buttons[i] = &m_Buttons[i];
    c.cancel = &m_Cancel;
    return c;
}

void Win32FindReplaceHost::ShowModeless() { ShowWindow(m_Window.m_Hwnd, SW_SHOW); }

void Win32FindReplaceHost::Destroy() {
    SetModelessWindow(nullptr);
    HWND hwnd = m_Window.m_Hwnd;
    m_Window.m_Hwnd = nullptr;
    for (Win32Widget* w : std::initializer_list<Win32Widget*>{
             &m_Panels[0], &m_Panels[1], &m_Labels[0], &m_Labels[1], &m_Fields[0], &m_Fields[1], &m_MatchCase,
             &m_Buttons[0], &m_Buttons[1], &m_Buttons[2], &m_Cancel})
        w->m_Hwnd = nullptr;
    if (!hwnd) return;
    win::ForgetDpi(hwnd);
    DestroyWindow(hwnd);
}

// Tab order: the buttons, the check box, then the search and the replacement box; hidden or disabled
// controls are passed over. The panels make this impossible to express with the window order alone.
void Win32FindReplaceHost::MoveFocus(HWND from, bool backwards) {
    const HWND order[] = {m_Buttons[0].m_Hwnd, m_Buttons[1].m_Hwnd, m_Buttons[2].m_Hwnd, m_Cancel.m_Hwnd,
                          m_MatchCase.m_Hwnd,  m_Fields[0].m_Hwnd,  m_Fields[1].m_Hwnd};
    constexpr int n = static_cast<int>(sizeof order / sizeof order[0]);
    int at = 0;
    while (at < n && order[at] != from) ++at;
    for (int step = 1; step <= n; ++step) {
        HWND next = order[((backwards ? at - step : at + step) % n + n) % n];
        if (IsWindowVisible(next) && IsWindowEnabled(next)) {
            SetFocus(next);
            if (next == m_Fields[0].m_Hwnd || next == m_Fields[1].m_Hwnd)
                SendMessageW(next, EM_SETSEL, 0, -1);
            return;
        }
    }
}

void Win32FindReplaceHost::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id >= kIdButton && id < kIdButton + 3) m_FindReplace->OnButton(static_cast<int16_t>(id - kIdButton));
    if (id == kIdCancel) m_FindReplace->OnCancel();
    if (id == kIdMatchCase) m_FindReplace->OnMatchCase();
}

LRESULT Win32FindReplaceHost::Handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // Messages of a window being created or already let go of are not the FindReplace's.
    if (m_Window.m_Hwnd != hwnd) return DefWindowProcW(hwnd, msg, wp, lp);
    if (LRESULT coloured = 0; msg == WM_ERASEBKGND && win::Colors().Answer(hwnd, msg, wp, coloured))
        return coloured;
    switch (msg) {
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_CLOSE:
            m_FindReplace->Unload();
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(wp), reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_SETTINGCHANGE:
            // As the editor's window does: the scheme is shared, this window drawn again either way.
            if (win::ColorsMayHaveChanged(wp, lp)) {
                win::Colors().Refresh();
                ApplyColors();
            }
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void Win32FindReplaceHost::ApplyColors() {
    win::Colors().ApplyTo(m_Window.m_Hwnd,
                          {m_Fields[0].m_Hwnd, m_Fields[1].m_Hwnd, m_Buttons[0].m_Hwnd, m_Buttons[1].m_Hwnd,
                           m_Buttons[2].m_Hwnd, m_Cancel.m_Hwnd, m_MatchCase.m_Hwnd});
}

// Panels carry their controls; the controls' notifications go on to the window.
LRESULT CALLBACK Win32FindReplaceHost::PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_COMMAND) return SendMessageW(GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
    // The panels are the controls' parents: they colour them, and themselves.
    if (LRESULT coloured = 0; win::Colors().Answer(hwnd, msg, wp, coloured)) return coloured;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Win32FindReplaceHost::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                                   DWORD_PTR ref) noexcept {
    return win::Guarded(L"Find window control", LRESULT{0},
                        [&] { return HandleControl(hwnd, msg, wp, lp, id, ref); });
}

LRESULT Win32FindReplaceHost::HandleControl(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                            DWORD_PTR ref) {
    auto* self = reinterpret_cast<Win32FindReplaceHost*>(ref);
    const bool box = id == kIdField || id == kIdField + 1;
    switch (msg) {
        case WM_GETDLGCODE: {
            // Tab is ours everywhere (for the order above); Esc is the boxes' own, not the dialog manager's.
            LRESULT code = DefSubclassProc(hwnd, msg, wp, lp);
            const auto* m = reinterpret_cast<const MSG*>(lp);
            if (m && m->message == WM_KEYDOWN &&
                (m->wParam == VK_TAB || (box && (m->wParam == VK_ESCAPE || m->wParam == VK_RETURN))))
                code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_KEYDOWN:
            if (wp == VK_TAB) {
                self->MoveFocus(hwnd, GetKeyState(VK_SHIFT) < 0);
                return 0;
            }
            if (box) {
                self->m_FindReplace->OnFieldKeyDown(static_cast<int>(id - kIdField), win::KeyOf(wp),
                                                    win::KeyMask());
                if (!IsWindow(hwnd)) return 0;  // Esc closed the window
                if (wp == VK_ESCAPE || wp == VK_F3 || wp == VK_RETURN) return 0;
            }
            break;
        case WM_CHAR:
            if (wp == L'\t' || (box && (wp == 27 || wp == L'\r'))) return 0;  // no beep, no character
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, ControlProc, id);
            break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}
