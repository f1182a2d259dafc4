#include "win32/controls_win.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "win32/win_util.h"
#include "win32/window_class.h"

using win::PixelsToTwips;
using win::TwipsToPixels;

Text WindowText(HWND hwnd) {
    // Straight into the result: a document's text is too big to pass through a second buffer.
    Text text(static_cast<size_t>(GetWindowTextLengthW(hwnd)), u'\0');
    const int got =
        GetWindowTextW(hwnd, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()) + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return text;
}

namespace {

// A copy of a box's text may be a secret's: overwritten before its memory goes back.
void WipeText(Text& t) {
    SecureZeroMemory(t.data(), t.capacity() * sizeof(char16_t));
    t.clear();
}

Rect InTwips(const RECT& rc, int dpi) {
    return {PixelsToTwips(rc.left, dpi), PixelsToTwips(rc.top, dpi), PixelsToTwips(rc.right - rc.left, dpi),
            PixelsToTwips(rc.bottom - rc.top, dpi)};
}

bool MoveInTwips(HWND hwnd, const Rect& r) {
    const int dpi = win::WindowDpi(hwnd);
    return MoveWindow(hwnd, TwipsToPixels(r.left, dpi), TwipsToPixels(r.top, dpi),
                      TwipsToPixels(r.width, dpi), TwipsToPixels(r.height, dpi), TRUE) != 0;
}

}  // namespace

// ---- any child ---------------------------------------------------------------------------------

void Win32Widget::Move(const Rect& r) { MoveInTwips(m_Hwnd, r); }

Rect Win32Widget::Placement() const {
    RECT rc;
    GetWindowRect(m_Hwnd, &rc);
    MapWindowPoints(HWND_DESKTOP, GetParent(m_Hwnd), reinterpret_cast<POINT*>(&rc), 2);
    return InTwips(rc, win::WindowDpi(m_Hwnd));
}

void Win32Widget::SetVisible(bool visible) { ShowWindow(m_Hwnd, visible ? SW_SHOW : SW_HIDE); }

bool Win32Widget::Visible() const { return (GetWindowLongPtrW(m_Hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

// ---- EDIT --------------------------------------------------------------------------------------

void Win32TextBox::Idle() const {
    if (m_Lent) throw std::logic_error("the text box was called while it lent its text");
}

Text Win32TextBox::GetText() const {
    Idle();
    return WindowText(m_Hwnd);
}

namespace {

// Marks a box as lending its text, and gives the buffer back, when a read ends however it ends.
struct Lending {
    bool& lent;
    HLOCAL buffer;
    Lending(bool& l, HLOCAL b) : lent(l), buffer(b) { lent = true; }
    ~Lending() {
        lent = false;
        if (buffer) LocalUnlock(buffer);
    }
    Lending(const Lending&) = delete;
    Lending& operator=(const Lending&) = delete;
};

}  // namespace

void Win32TextBox::ReadText(const std::function<void(std::u16string_view)>& read) const {
    Idle();
    const auto length = static_cast<size_t>(GetWindowTextLengthW(m_Hwnd));
    // A multiline box keeps its text in a local memory block that it locks only while it handles a message;
    // locked here, it stays where it is until LocalUnlock, and the box handles no message before that. It is
    // read only when it holds the text the box reports: as many units, then a NUL.
    if (const auto buffer = reinterpret_cast<HLOCAL>(SendMessageW(m_Hwnd, EM_GETHANDLE, 0, 0))) {
        if (const auto* units = static_cast<const char16_t*>(LocalLock(buffer))) {
            const Lending lending(m_Lent, buffer);
            if (LocalSize(buffer) >= (length + 1) * sizeof(char16_t) && units[length] == u'\0') {
                read(std::u16string_view(units, length));
                return;
            }
        }
    }
    // A box that lends nothing: a copy, which may be a protected document's and is not given back as it is.
    Text copy = WindowText(m_Hwnd);
    struct Wiped {
        Text& t;
        ~Wiped() { WipeText(t); }
    } wiped{copy};
    const Lending lending(m_Lent, nullptr);
    read(copy);
}

bool Win32TextBox::SetText(const Text& text) {
    Idle();
    // Compared where the box holds it, and set only when it differs.
    const auto length = static_cast<size_t>(GetWindowTextLengthW(m_Hwnd));
    if (length == text.size()) {
        bool same = false;
        ReadText([&](std::u16string_view shown) { same = shown == text; });
        if (same) return true;
    }
    ++m_Silent;
    m_Refused = false;
    SetLastError(0);
    const bool set = SetWindowTextW(m_Hwnd, win::W(text)) != 0;
    const DWORD error = GetLastError();
    --m_Silent;
    // An EDIT without room keeps its old text and answers FALSE, or says so by EN_ERRSPACE / EN_MAXTEXT; the
    // length tells a text cut short.
    const bool whole = set && !m_Refused && static_cast<size_t>(GetWindowTextLengthW(m_Hwnd)) == text.size();
    if (!whole) win::TraceError(L"the text box refused a text", error);
    // Whatever the box holds now, its owner hears of a change that happened.
    if (GetWindowTextLengthW(m_Hwnd) != static_cast<int>(length) || whole)
        if (onChange) onChange();
    return whole;
}

bool Win32TextBox::ReplaceWiping(std::u16string_view text) {
    Idle();
    // A multiline box takes a buffer of ours in place of its own (EM_SETHANDLE), which is then ours to
    // overwrite and free: the new one is allocated first, so a box without room keeps the old text.
    const auto old = reinterpret_cast<HLOCAL>(SendMessageW(m_Hwnd, EM_GETHANDLE, 0, 0));
    if (!old) return SetText(Text(text));
    const size_t length = static_cast<size_t>(GetWindowTextLengthW(m_Hwnd));
    const HLOCAL fresh = LocalAlloc(LMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    auto* to = fresh ? static_cast<wchar_t*>(LocalLock(fresh)) : nullptr;
    if (!to) {
        if (fresh) LocalFree(fresh);
        win::TraceError(L"the text box refused a text", GetLastError());
        return false;
    }
    std::copy(text.begin(), text.end(), to);
    to[text.size()] = L'\0';
    LocalUnlock(fresh);
    const bool differs = length != 0 || !text.empty();
    ++m_Silent;
    SendMessageW(m_Hwnd, EM_SETHANDLE, reinterpret_cast<WPARAM>(fresh), 0);
    --m_Silent;
    if (auto* p = LocalLock(old)) {
        SecureZeroMemory(p, LocalSize(old));
        LocalUnlock(old);
    }
    LocalFree(old);
    // Its undo holds text deleted or replaced: it goes with the document.
    SendMessageW(m_Hwnd, EM_EMPTYUNDOBUFFER, 0, 0);
    if (differs && onChange) onChange();
    return true;
}

int32_t Win32TextBox::SelStart() const {
    Idle();
    DWORD start = 0, end = 0;
    SendMessageW(m_Hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int32_t>(start);
}

int32_t Win32TextBox::SelLength() const {
    Idle();
    DWORD start = 0, end = 0;
    SendMessageW(m_Hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int32_t>(end - start);
}

void Win32TextBox::SetSel(int32_t start, int32_t length) {
    Idle();
    const int32_t size = GetWindowTextLengthW(m_Hwnd);
    start = std::clamp(start, 0, size);
    length = std::clamp(length, 0, size - start);
    SendMessageW(m_Hwnd, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
    SendMessageW(m_Hwnd, EM_SCROLLCARET, 0, 0);
}

Text Win32TextBox::SelText() const {
    Idle();
    DWORD start = 0, end = 0;
    SendMessageW(m_Hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (end <= start) return {};
    // The selection alone is copied, from where the box holds the text.
    Text selected;
    ReadText([&](std::u16string_view text) {
        if (start < text.size()) selected.assign(text.substr(start, end - start));
    });
    return selected;
}

void Win32TextBox::SetSelText(const Text& text) {
    Idle();
    if (text.empty() && SelLength() == 0) return;
    // The document's history takes it back, not the box: the box keeps no copy of what it replaced.
    SendMessageW(m_Hwnd, EM_EMPTYUNDOBUFFER, 0, 0);
    ++m_Silent;
    SendMessageW(m_Hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(win::W(text)));
    --m_Silent;
    if (onChange) onChange();
}

namespace {

// The messages by which the user changes a box's text, and what kind of change each is; none for the rest.
std::optional<EditKind> UserEdit(UINT msg, WPARAM wp) {
    switch (msg) {
        case WM_CHAR:
            if (wp == VK_BACK) return EditKind::Deleting;
            // The control characters are commands of the box's own (Ctrl+V pastes, Ctrl+X cuts).
            if ((wp >= 0x20 && wp != 0x7F) || wp == '\r' || wp == '\t') return EditKind::Typing;
            return EditKind::Other;
        case WM_IME_CHAR:
            return EditKind::Typing;
        case WM_KEYDOWN:
            if (wp == VK_DELETE) return GetKeyState(VK_SHIFT) < 0 ? EditKind::Other : EditKind::Deleting;
            if (wp == VK_INSERT) return EditKind::Other;  // Shift+Insert pastes
            return std::nullopt;
        case WM_PASTE:
        case WM_CUT:
        case WM_CLEAR:
            return EditKind::Other;
        default:
            return std::nullopt;
    }
}

// A key deletes at most a line break (CR LF, or CR CR LF where the box broke a line) beside the selection.
constexpr DWORD kEditReach = 4;

}  // namespace

Win32TextBox::EditWatch Win32TextBox::BeforeEdit(EditKind kind, bool toLineEnd, Text typed) const {
    EditWatch w{kind, 0, 0, 0, 0, {}, {}};
    SendMessageW(m_Hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&w.selStart),
                 reinterpret_cast<LPARAM>(&w.selEnd));
    // A character typed where nothing is selected needs nothing of the text. Under Wine every lend of the
    // buffer costs the box a pass over the whole text, which at 64 MiB is longer than the key itself.
    if (!typed.empty() && w.selStart == w.selEnd) {
        w.length = static_cast<size_t>(GetWindowTextLengthW(m_Hwnd));
        w.from = w.selStart;
        w.typed = std::move(typed);
        return w;
    }
    size_t to = w.selEnd + kEditReach;
    if (toLineEnd) {
        const LRESULT start =
            SendMessageW(m_Hwnd, EM_LINEINDEX, SendMessageW(m_Hwnd, EM_LINEFROMCHAR, w.selEnd, 0), 0);
        to = static_cast<size_t>(start + SendMessageW(m_Hwnd, EM_LINELENGTH, start, 0)) + kEditReach;
    }
    w.from = w.selStart > kEditReach ? w.selStart - kEditReach : 0;
    ReadText([&](std::u16string_view text) {
        w.length = text.size();
        if (w.from < text.size()) w.around.assign(text.substr(w.from, std::min(to, text.size()) - w.from));
    });
    return w;
}

LRESULT Win32TextBox::Watched(UINT msg, WPARAM wp, const std::function<LRESULT()>& handle) {
    const auto kind = UserEdit(msg, wp);
    // A command the box sends itself (Ctrl+V sends WM_PASTE) is part of the change already watched.
    if (!kind || m_Watching) return handle();
    ++m_Watching;
    struct Done {
        int& depth;
        ~Done() { --depth; }
    } done{m_Watching};
    // Ctrl+Delete deletes to the end of the line. Enter puts a line break.
    Text typed;
    if (msg == WM_CHAR && *kind == EditKind::Typing)
        typed = wp == '\r' ? Text(u"\r\n") : Text(1, static_cast<char16_t>(wp));
    EditWatch before = BeforeEdit(*kind, msg == WM_KEYDOWN && wp == VK_DELETE && GetKeyState(VK_CONTROL) < 0,
                                  std::move(typed));
    const LRESULT result = handle();
    AfterEdit(before);
    return result;
}

void Win32TextBox::AfterEdit(EditWatch& w) {
    // What the user typed may be a secret; no copy of it stays behind.
    struct Wiped {
        EditWatch& w;
        TextEdit& e;
        ~Wiped() {
            WipeText(w.around);
            WipeText(w.typed);
            WipeText(e.removed);
            WipeText(e.inserted);
        }
    };
    DWORD start = 0, end = 0;
    SendMessageW(m_Hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto length = static_cast<int64_t>(GetWindowTextLengthW(m_Hwnd));
    const auto before = static_cast<int64_t>(w.length);
    // Every change a key, a paste or a cut makes replaces one stretch and leaves the caret after what it put
    // there; one that leaves a selection changed nothing (Ctrl+A, a copy) or is not one of those.
    TextEdit edit;
    const Wiped wiped{w, edit};
    edit.kind = w.kind;
    edit.selStart = static_cast<int32_t>(w.selStart);
    edit.selLength = static_cast<int32_t>(w.selEnd - w.selStart);
    const int64_t caret = start, at = std::min<int64_t>(w.selStart, caret),
                  removedEnd = caret + before - length;
    const int64_t from = static_cast<int64_t>(w.from), to = from + static_cast<int64_t>(w.around.size());
    if (start != end) {
        if (length == before) return;
        edit.kind = EditKind::Unknown;
    } else if (at < from || removedEnd < at || removedEnd > to) {
        edit.kind = EditKind::Unknown;
    } else {
        edit.at = static_cast<int32_t>(at);
        edit.removed.assign(w.around, static_cast<size_t>(at - from), static_cast<size_t>(removedEnd - at));
        if (!w.typed.empty() && edit.removed.empty() && caret - at == static_cast<int64_t>(w.typed.size()))
            edit.inserted.swap(w.typed);
        else
            ReadText([&](std::u16string_view text) {
                edit.inserted.assign(text.substr(static_cast<size_t>(at), static_cast<size_t>(caret - at)));
            });
        if (edit.removed == edit.inserted) return;
    }
    if (onEdit) onEdit(edit);
}

void Win32TextBox::SetFocus() {
    Idle();
    ::SetFocus(m_Hwnd);
}

int32_t Win32TextBox::Caret() const {
    DWORD start = 0, end = 0;
    SendMessageW(m_Hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start == end) return static_cast<int32_t>(start);
    // The box gives its selection in order; the caret's own line (EM_LINEINDEX of -1) tells the end that
    // moves when the two ends lie on different lines, and the caret's place on screen when they share one.
    const int32_t startLine = LineStart(LineOf(static_cast<int32_t>(start)));
    if (startLine != LineStart(LineOf(static_cast<int32_t>(end))))
        return static_cast<int32_t>(SendMessageW(m_Hwnd, EM_LINEINDEX, static_cast<WPARAM>(-1), 0)) ==
                       startLine
                   ? static_cast<int32_t>(start)
                   : static_cast<int32_t>(end);
    POINT caret;
    if (GetFocus() == m_Hwnd && GetCaretPos(&caret)) {
        const LRESULT at = SendMessageW(m_Hwnd, EM_POSFROMCHAR, start, 0);
        if (at != -1 && static_cast<short>(LOWORD(at)) == caret.x &&
            static_cast<short>(HIWORD(at)) == caret.y)
            return static_cast<int32_t>(start);
    }
    return static_cast<int32_t>(end);
}

int32_t Win32TextBox::LineOf(int32_t offset) const {
    return static_cast<int32_t>(SendMessageW(m_Hwnd, EM_LINEFROMCHAR, static_cast<WPARAM>(offset), 0));
}

int32_t Win32TextBox::LineStart(int32_t line) const {
    if (line < 0) return -1;  // -1 would ask for the caret's line
    return static_cast<int32_t>(SendMessageW(m_Hwnd, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
}

int32_t Win32TextBox::LineCount() const {
    return static_cast<int32_t>(SendMessageW(m_Hwnd, EM_GETLINECOUNT, 0, 0));
}

// ---- menu, timer, window -----------------------------------------------------------------------

void Win32MenuItem::SetChecked(bool checked) {
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool Win32MenuItem::Checked() const { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

void Win32Timer::SetInterval(uint32_t milliseconds) {
    m_Interval = milliseconds;
    if (milliseconds)
        SetTimer(m_Hwnd, id, milliseconds, nullptr);
    else
        KillTimer(m_Hwnd, id);
}

void Win32Window::SetCaption(const Text& caption) { SetWindowTextW(m_Hwnd, win::W(caption)); }

Text Win32Window::Caption() const { return WindowText(m_Hwnd); }

Rect Win32Window::Placement() const {
    RECT rc;
    GetWindowRect(m_Hwnd, &rc);
    return InTwips(rc, win::WindowDpi(m_Hwnd));
}

Rect Win32Window::NormalPlacement() const {
    WINDOWPLACEMENT wp{sizeof wp};
    if (!GetWindowPlacement(m_Hwnd, &wp)) return Placement();
    RECT rc = wp.rcNormalPosition;
    // rcNormalPosition is in workspace coordinates; shift by the work area's offset to get screen ones.
    MONITORINFO mi{sizeof mi};
    if (GetMonitorInfoW(MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST), &mi))
        OffsetRect(&rc, mi.rcWork.left - mi.rcMonitor.left, mi.rcWork.top - mi.rcMonitor.top);
    return InTwips(rc, win::WindowDpi(m_Hwnd));
}

bool Win32Window::Move(const Rect& r) { return MoveInTwips(m_Hwnd, r); }

namespace {

struct WorkAreaList {
    std::vector<Rect> areas;
    int dpi;  // the window's: its placement and the areas it is checked against are in the same twips
};

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM list) noexcept {
    return win::Guarded(L"monitor list", FALSE, [&] {
        auto* l = reinterpret_cast<WorkAreaList*>(list);
        MONITORINFO mi{sizeof mi};
        if (GetMonitorInfoW(monitor, &mi)) l->areas.push_back(InTwips(mi.rcWork, l->dpi));
        return TRUE;
    });
}

}  // namespace

std::vector<Rect> Win32Window::WorkAreas() const {
    WorkAreaList list{{}, win::WindowDpi(m_Hwnd)};
    EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&list));
    return list.areas;
}

void Win32Window::Focus() {
    SetForegroundWindow(m_Hwnd);
    SetActiveWindow(m_Hwnd);
}

void Win32PopupMenu::PopUpAtCursor() {
    POINT pt;
    GetCursorPos(&pt);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, owner, nullptr);
}
