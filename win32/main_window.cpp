#include "win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include "win32/browser_win.h"
#include "win32/font_win.h"
#include "win32/more_picture_win.h"
#include "win32/res/resource.h"
#include "win32/system_dlls.h"
#include "win32/theme_win.h"
#include "win32/win_util.h"
#include "win32/window_class.h"

namespace {

HMENU Popup(std::initializer_list<std::pair<UINT, const wchar_t*>> items) {
    HMENU m = CreatePopupMenu();
    for (const auto& [id, caption] : items) {
        if (caption[0] == L'-' && caption[1] == 0)
            AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(m, MF_STRING, id, caption);
    }
    return m;
}

}  // namespace

Win32EditorHost::Win32EditorHost(HINSTANCE instance, int showCmd)
    : m_Instance(instance), m_ShowCmd(showCmd) {}

Win32EditorHost::~Win32EditorHost() = default;

void Win32EditorHost::InitCommonControls() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
}

HMENU Win32EditorHost::BuildMenuBar() {
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP,
                reinterpret_cast<UINT_PTR>(Popup({{kIdFileMenu + kMenuNew, L"New"},
                                                  {kIdFileMenu + kMenuOpen, L"Open..."},
                                                  {kIdFileMenu + kMenuSave, L"Save                       F2"},
                                                  {kIdFileMenu + kMenuSaveAs, L"Save As..."},
                                                  {kIdFileMenu + 4, L"-"},
                                                  {kIdFileMenu + kMenuExit, L"Exit"}})),
                L"File");
    HMENU edit = Popup({{kIdEditMenu + kMenuFind, L"Find                        F3"},
                        {kIdEditMenu + kMenuWordWrap, L"Word Wrap"},
                        {kIdEditMenu + kMenuStatusBar, L"Status Bar"},
                        {kIdEditMenu + kMenuUndo, L"Undo                   Ctrl+Z"},
                        {kIdEditMenu + kMenuRedo, L"Redo                    Ctrl+Y"}});
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"Edit");
    AppendMenuW(bar, MF_POPUP,
                reinterpret_cast<UINT_PTR>(Popup({{kIdHelpMenu + kMenuAbout, L"About Lockleaf"}})), L"Help");
    m_WordWrap.menu = edit;
    m_WordWrap.id = kIdEditMenu + kMenuWordWrap;
    m_StatusBarItem.menu = edit;
    m_StatusBarItem.id = kIdEditMenu + kMenuStatusBar;
    return bar;
}

EditorControls Win32EditorHost::Create(EditorEvents& fou, AdStripEvents& ads) {
    m_Editor = &fou;
    m_Ads = &ads;
    m_Icon.Reset(static_cast<HICON>(
        LoadImageW(m_Instance, MAKEINTRESOURCEW(IDI_LOCKLEAF), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    if (!win::RegisterWindowClass(m_Instance, {kMainClass, win::WindowProc<Win32EditorHost>, m_Icon.Get()}))
        win::FailStart(L"window class");

    // The designed client area is 8895 x 4545 twips.
    const int startDpi = win::ScreenDpi();
    RECT rc{0, 0, win::TwipsToPixels(8895, startDpi), win::TwipsToPixels(4545, startDpi)};
    AdjustWindowRectEx(&rc, WS_OVERLAPPEDWINDOW, TRUE, 0);
    HWND hwnd = CreateWindowExW(0, kMainClass, win::AppTitle(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                CW_USEDEFAULT, CW_USEDEFAULT, rc.right - rc.left, rc.bottom - rc.top, nullptr,
                                BuildMenuBar(), m_Instance, this);
    if (!hwnd) win::FailStart(L"main window");
    m_Window.m_Hwnd = hwnd;

    const int dpi = win::WindowDpi(hwnd);
    m_Font.Adopt(CreateEditorFont(dpi));
    // A locked session locks a secret document; without the notification only the idle time does.
    if (win::WtsApi32().loaded) win::WtsApi32().WTSRegisterSessionNotification(hwnd, NOTIFY_FOR_THIS_SESSION);

    const DWORD editStyle =
        WS_CHILD | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN;
    const DWORD styles[2] = {editStyle | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL,
                             editStyle | WS_VSCROLL};
    for (int i = 0; i < 2; ++i) {
        HWND edit = CreateWindowExW(
            WS_EX_CLIENTEDGE, L"EDIT", L"", styles[i], 0, win::TwipsToPixels(840, dpi),
            win::TwipsToPixels(3255, dpi), win::TwipsToPixels(1695, dpi), hwnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdTextBox + i)), m_Instance, nullptr);
        m_TextBoxes[i].m_Hwnd = edit;
        SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(m_Font.Get()), FALSE);
        m_Font.AddBox(edit);
        SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // the largest the control allows
        SetWindowSubclass(edit, EditProc, i, reinterpret_cast<DWORD_PTR>(this));
        DragAcceptFiles(edit, TRUE);
        m_TextBoxes[i].onChange = [this, i] { m_Editor->OnTextChange(i); };
        m_TextBoxes[i].onEdit = [this, i](TextEdit& edit) { m_Editor->OnTextEdit(i, edit); };
    }

    // Banner strip: BROWSER-CONTROL
    m_Browser = CreateBannerStrip(hwnd, m_Instance, kIdBrowser, win::TwipsToPixels(8755, dpi),
                                  win::TwipsToPixels(750, dpi));

    // The picture overlaps the strip: above it, and both clip siblings, so neither paints over the other.
    m_MorePicture.m_Hwnd = CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_NOTIFY, win::TwipsToPixels(8280, dpi),
        0, win::TwipsToPixels(285, dpi), win::TwipsToPixels(270, dpi), hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdMorePicture)), m_Instance, nullptr);
    SetUpMorePicture(m_MorePicture.m_Hwnd, m_Instance,
                     [this](int b, int s, double x, double y) { m_Ads->OnMoreMouseUp(b, s, x, y); });
    SetWindowPos(m_MorePicture.m_Hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    m_StatusBar.m_Hwnd = MakeStatusBar(hwnd, m_Instance, kIdStatusBar);
    if (!m_StatusBar.m_Hwnd) win::FailStart(L"status bar");

    m_Timer.m_Hwnd = hwnd;
    m_AAdver.owner = hwnd;
    m_AAdver.menu = Popup({{kIdANext, L"Next"}, {kIdAAdinfo, L"Ad Info"}});

    win::Colors().ApplyTo(hwnd, {m_TextBoxes[0].m_Hwnd, m_TextBoxes[1].m_Hwnd});
    if (onCreated) onCreated(hwnd);
    m_Ready = true;

    EditorControls c;
    c.window = &m_Window;
    c.textBoxes[0] = &m_TextBoxes[0];
    c.textBoxes[1] = &m_TextBoxes[1];
    c.ads.browser = m_Browser.get();
    c.ads.morePicture = &m_MorePicture;
    c.ads.adMenu = &m_AAdver;
    c.wordWrap = &m_WordWrap;
    c.timer = &m_Timer;
    c.statusBar = &m_StatusBar;
    c.statusBarItem = &m_StatusBarItem;
    c.textFont = &m_Font;
    return c;
}

void Win32EditorHost::Show() {
    // How the program was started (a shortcut set to run maximized, say) decides the first show.
    ShowWindow(m_Window.m_Hwnd, m_ShowCmd);
    UpdateWindow(m_Window.m_Hwnd);
    m_Editor->Form_Resize();
    SetFocus(m_TextBoxes[m_Editor->ActiveEditorIndex()].m_Hwnd);
}

LRESULT Win32EditorHost::Handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // Until the controls exist, nothing can be routed to the editor.
    if (!m_Ready) return DefWindowProcW(hwnd, msg, wp, lp);
    if (LRESULT coloured = 0; win::Colors().Answer(hwnd, msg, wp, coloured)) return coloured;
    switch (msg) {
        case WM_SIZE:
            m_Editor->Form_Resize();
            return 0;
        case WM_COMMAND:
            OnCommand(wp, lp);
            return 0;
        case kStatusDue:
            m_StatusPosted = false;
            m_Editor->OnSelectionChange(m_Editor->ActiveEditorIndex());
            return 0;
        case WM_TIMER:
            if (wp == m_Timer.id) m_Editor->OnTimer();
            return 0;
        case WM_SETFOCUS:
            // Activation, a closed dialog or message box, a hidden box: the keys belong to the text.
            SetFocus(m_TextBoxes[m_Editor->ActiveEditorIndex()].m_Hwnd);
            return 0;
        case WM_CLOSE:
            if (m_Editor->Form_QueryUnload()) m_Editor->Form_Unload();
            return 0;
        case WM_QUERYENDSESSION:
            // The unsaved work goes to a snapshot first; Cancel refuses the end of the session; the placement
            // is stored at WM_ENDSESSION.
            return m_Editor->Form_QueryEndSession((lp & ENDSESSION_CLOSEAPP) != 0) ? TRUE : FALSE;
        case WM_ENDSESSION:
            // Logoff or shutdown ends the process without a close: keep the placement as a close does.
            if (wp) m_Editor->Form_Unload();
            return 0;
        case WM_SETTINGCHANGE:
            // Each top-level window is told, the Find window too, and whichever hears it first refreshes the
            // scheme they share: each draws itself again either way.
            if (win::ColorsMayHaveChanged(wp, lp)) {
                win::Colors().Refresh();
                win::Colors().ApplyTo(hwnd, {m_TextBoxes[0].m_Hwnd, m_TextBoxes[1].m_Hwnd});
            }
            break;
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(wp), reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_WTSSESSION_CHANGE:
            if (wp == WTS_SESSION_LOCK) m_Editor->Form_SessionLock();
            return 0;
        case WM_DESTROY:
            if (win::WtsApi32().loaded) win::WtsApi32().WTSUnRegisterSessionNotification(hwnd);
            win::ForgetDpi(hwnd);
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(m_Window.m_Hwnd, msg, wp, lp);
}

void Win32EditorHost::OnDpiChanged(int dpi, const RECT* suggested) {
    // The picture keeps its size in twips, which Form_Resize reads back from it: taken before the change.
    const Rect more = m_MorePicture.Placement();
    win::TakeDpi(m_Window.m_Hwnd, dpi);
    m_MorePicture.Move(more);
    m_Font.Redesign(CreateEditorFont(dpi));
    // Where Windows suggests, so the window keeps its place under the mouse; a sender that gave no
    // rectangle keeps it where it is. The boxes follow in twips.
    if (suggested)
        SetWindowPos(m_Window.m_Hwnd, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    m_Editor->Form_Resize();
}

void Win32EditorHost::OnCommand(WPARAM wp, LPARAM lp) {
    const UINT id = LOWORD(wp), code = HIWORD(wp);
    if (lp) {  // from a control
        for (int i = 0; i < 2; ++i) {
            if (reinterpret_cast<HWND>(lp) != m_TextBoxes[i].m_Hwnd) continue;
            if (code == EN_CHANGE && !m_TextBoxes[i].Silent()) m_Editor->OnTextChange(i);
            if (code == EN_ERRSPACE || code == EN_MAXTEXT) m_TextBoxes[i].Refused();
            if (code == EN_SETFOCUS) m_Editor->OnTextFocus(i);
        }
        return;
    }
    if (id >= kIdFileMenu && id <= kIdFileMenu + kMenuExit)
        m_Editor->OnFileMenu(static_cast<int>(id - kIdFileMenu));
    if (id >= kIdEditMenu && id <= kIdEditMenu + kMenuRedo)
        m_Editor->OnEditMenu(static_cast<int>(id - kIdEditMenu));
    if (id == kIdHelpMenu + kMenuAbout) m_Editor->OnHelpMenu(kMenuAbout);
    if (id == kIdANext) m_Ads->OnNextAd();
    if (id == kIdAAdinfo) m_Ads->OnAdInfo();
}

void Win32EditorHost::OnDropFiles(int index, HDROP drop) {
    std::vector<Text> files;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT k = 0; k < count; ++k) {
        std::wstring name(DragQueryFileW(drop, k, nullptr, 0) + 1, L'\0');
        const UINT n = DragQueryFileW(drop, k, name.data(), static_cast<UINT>(name.size()));
        files.push_back(win::FromW(name.c_str(), n));
    }
    DragFinish(drop);
    // The shell offers copy, move and link for files.
    m_Editor->OnFilesDropped(index, files, kDropEffectAll);
}

void Win32EditorHost::StatusDue() {
    if (!m_StatusPosted) m_StatusPosted = PostMessageW(m_Window.m_Hwnd, kStatusDue, 0, 0) != 0;
}

namespace {

// Messages after which the caret or the selection of a box may stand elsewhere: the user's keys, clicks and
// drags, and the program's own changes of the text and the selection.
bool MovesCaret(UINT msg, WPARAM wp) {
    switch (msg) {
        case WM_KEYDOWN:
        case WM_CHAR:
        case WM_IME_CHAR:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_PASTE:
        case WM_CUT:
        case WM_CLEAR:
        case WM_UNDO:
        case EM_UNDO:
        case EM_SETSEL:
        case EM_REPLACESEL:
        case EM_SETHANDLE:
        case WM_SETTEXT:
        case WM_SETFONT:
            return true;
        case WM_MOUSEMOVE:
            return (wp & MK_LBUTTON) != 0;
        default:
            return false;
    }
}

}  // namespace

LRESULT CALLBACK Win32EditorHost::EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                           DWORD_PTR ref) noexcept {
    return win::Guarded(L"text box", LRESULT{0}, [&]() -> LRESULT {
        auto* self = reinterpret_cast<Win32EditorHost*>(ref);
        const int index = static_cast<int>(id);
        switch (msg) {
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                if (!self->m_Editor->OnTextInput(true)) return 0;
                // Not consumed: the box still gets the key afterwards, but not the character the keyboard
                // made of a command's key (Ctrl with the keypad's + types "+").
                if (self->m_Editor->OnTextKeyDown(index, win::KeyOf(wp), win::KeyMask())) {
                    MSG typed;
                    PeekMessageW(&typed, hwnd, WM_CHAR, WM_CHAR, PM_REMOVE);
                    // Alt with a key the box knows (Backspace undoes) is ours alone.
                    if (msg == WM_SYSKEYDOWN) return 0;
                }
                break;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
            case WM_MBUTTONDOWN:
            case WM_RBUTTONDOWN:
                if (!self->m_Editor->OnTextInput(true)) return 0;
                break;
            // A locked document's box takes nothing in, however it comes.
            case WM_CHAR:
            case WM_IME_CHAR:
            case WM_PASTE:
            case WM_CUT:
            case WM_CLEAR:
            case WM_CONTEXTMENU:
                if (!self->m_Editor->OnTextInput(false)) return 0;
                break;
            // The box's own undo (its menu's Undo) knows one change; the document's history answers.
            case WM_UNDO:
            case EM_UNDO:
                if (self->m_Editor->OnTextInput(false)) self->m_Editor->OnEditMenu(kMenuUndo);
                return TRUE;
            case WM_DROPFILES:
                self->OnDropFiles(index, reinterpret_cast<HDROP>(wp));
                return 0;
            case WM_MOUSEWHEEL:
                // Ctrl and the wheel zoom; the box would not scroll for it anyway.
                if (GET_KEYSTATE_WPARAM(wp) & MK_CONTROL) {
                    const int keys = GET_KEYSTATE_WPARAM(wp);
                    self->m_Editor->OnTextWheel(index, win::WheelParts(GET_WHEEL_DELTA_WPARAM(wp)),
                                                kCtrlMask | ((keys & MK_SHIFT) ? kShiftMask : 0) |
                                                    (GetKeyState(VK_MENU) < 0 ? kAltMask : 0));
                    return 0;
                }
                break;
        }
        const LRESULT result =
            self->m_TextBoxes[index].Watched(msg, wp, [&] { return DefSubclassProc(hwnd, msg, wp, lp); });
        if (MovesCaret(msg, wp)) self->StatusDue();
        return result;
    });
}
