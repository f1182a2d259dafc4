#include "win32/prompts_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "win32/controls_win.h"
#include "win32/dialog_template.h"
#include "win32/win_util.h"
#include "win32/window_class.h"

namespace {

constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr int kIdPromptText = 100, kIdPromptEdit = 101;

std::vector<unsigned char> PromptTemplate() {
    win::TemplateBuilder b;
    b.Dialog(kDialogStyle, 240, 78, win::AppTitle(), 9, L"Segoe UI");
    b.Item(SS_LEFT, 7, 7, 170, 40, kIdPromptText, 0x0082, L"");
    b.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 184, 7, 50, 14, IDOK, 0x0080, L"OK");
    b.Item(BS_PUSHBUTTON | WS_TABSTOP, 184, 25, 50, 14, IDCANCEL, 0x0080, L"Cancel");
    // Every answer is a password: shown masked.
    b.Item(ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 56, 226, 14, kIdPromptEdit, 0x0081, L"");
    return b.m_Bytes;
}

constexpr UINT_PTR kSubclassId = 0x5EC2;

// The masked box gives nothing out: no copy or cut to the clipboard, no context menu that offers them.
LRESULT CALLBACK SecretBoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    switch (msg) {
        case WM_COPY:
        case WM_CUT:
        case WM_CONTEXTMENU:
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(h, SecretBoxProc, kSubclassId);
            break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

// The box's buffers are grown to this many units before anything is typed, so that typing a password up to
// this long never moves them (a moved buffer would be given back holding what was typed so far).
constexpr int kReservedUnits = 256;

// The box's text and its undo (what was deleted or replaced) both become spaces in place, longest as long as
// either ever was, so that nothing typed stays in the memory the box frees. A buffer grows only when it must,
// and setting a text leaves its undo alone, so first the text, then the undo by a replacement it can undo.
void FillWithSpaces(HWND box, int longest) {
    const std::wstring spaces(
        static_cast<size_t>(std::max({longest, GetWindowTextLengthW(box), kReservedUnits})), L' ');
    SendMessageW(box, EM_EMPTYUNDOBUFFER, 0, 0);
    SetWindowTextW(box, spaces.c_str());
    SendMessageW(box, EM_SETSEL, 0, -1);
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
    SendMessageW(box, EM_EMPTYUNDOBUFFER, 0, 0);
}

// The typed text into a string whose buffer is on the heap even when short: moved on, it leaves no copy in
// a string's inline buffer.
Text TypedText(HWND box) {
    const auto n = static_cast<size_t>(GetWindowTextLengthW(box));
    Text text;
    text.reserve(std::max<size_t>(n, 16));
    text.resize(n);
    const int got = GetWindowTextW(box, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(n) + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return text;
}

// The questions with buttons a message box cannot label: the text, then the way that keeps every character
// (the default), the way that replaces some, and Cancel, which Esc also presses.
constexpr int kIdQuestionText = 100, kIdKeep = 110, kIdReplace = 111;

std::vector<unsigned char> QuestionTemplate(const wchar_t* keep, const wchar_t* replace) {
    win::TemplateBuilder b;
    b.Dialog(kDialogStyle, 260, 110, win::AppTitle(), 9, L"Segoe UI");
    b.Item(SS_LEFT, 7, 7, 246, 76, kIdQuestionText, 0x0082, L"");
    b.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 7, 89, 80, 14, kIdKeep, 0x0080, keep);
    b.Item(BS_PUSHBUTTON | WS_TABSTOP, 91, 89, 80, 14, kIdReplace, 0x0080, replace);
    b.Item(BS_PUSHBUTTON | WS_TABSTOP, 203, 89, 50, 14, IDCANCEL, 0x0080, L"Cancel");
    return b.m_Bytes;
}

struct QuestionDialog {
    const Text& message;

    INT_PTR Handle(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
        switch (msg) {
            case WM_INITDIALOG:
                SetDlgItemTextW(dlg, kIdQuestionText, win::W(message));
                SetFocus(GetDlgItem(dlg, kIdKeep));
                return FALSE;  // the focus is set
            case WM_COMMAND:
                if (LOWORD(wp) == IDOK) wp = kIdKeep;  // Enter on the default button
                if (LOWORD(wp) != kIdKeep && LOWORD(wp) != kIdReplace && LOWORD(wp) != IDCANCEL) break;
                EndDialog(dlg, LOWORD(wp));
                return TRUE;
        }
        return FALSE;
    }
};

// The password prompt's dialog: the message shown, and the answer once OK is pressed.
struct PromptDialog {
    const Text& message;
    Text answer;
    int longest = 0;  // the longest text the box has held

    INT_PTR Handle(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
        switch (msg) {
            case WM_INITDIALOG:
                SetDlgItemTextW(dlg, kIdPromptText, win::W(message));
                SendDlgItemMessageW(dlg, kIdPromptEdit, EM_SETLIMITTEXT, 0, 0);
                SetWindowSubclass(GetDlgItem(dlg, kIdPromptEdit), SecretBoxProc, kSubclassId, 0);
                FillWithSpaces(GetDlgItem(dlg, kIdPromptEdit), kReservedUnits);
                SetFocus(GetDlgItem(dlg, kIdPromptEdit));
                return FALSE;  // the focus is set
            case WM_COMMAND:
                if (LOWORD(wp) == kIdPromptEdit && HIWORD(wp) == EN_CHANGE)
                    longest = std::max(longest, GetWindowTextLengthW(GetDlgItem(dlg, kIdPromptEdit)));
                if (LOWORD(wp) != IDOK && LOWORD(wp) != IDCANCEL) break;
                if (LOWORD(wp) == IDOK) answer = TypedText(GetDlgItem(dlg, kIdPromptEdit));
                FillWithSpaces(GetDlgItem(dlg, kIdPromptEdit), longest);
                EndDialog(dlg, LOWORD(wp));
                return TRUE;
        }
        return FALSE;
    }
};

// Go To Line: a label, the box for the number, OK and Cancel. The box takes any text: what is not a line
// number is answered by a message, and the dialog stays.
constexpr int kIdLineLabel = 100, kIdLineBox = 101;

std::vector<unsigned char> LineTemplate() {
    win::TemplateBuilder b;
    b.Dialog(kDialogStyle, 180, 64, L"Go To Line", 9, L"Segoe UI");
    b.Item(SS_LEFT, 7, 7, 166, 10, kIdLineLabel, 0x0082, L"");
    b.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 20, 166, 14, kIdLineBox, 0x0081, L"");
    b.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 69, 43, 50, 14, IDOK, 0x0080, L"OK");
    b.Item(BS_PUSHBUTTON | WS_TABSTOP, 123, 43, 50, 14, IDCANCEL, 0x0080, L"Cancel");
    return b.m_Bytes;
}

struct LineDialog {
    const Text& label;
    const Text& initial;
    const std::function<bool(const Text&)>& accept;

    INT_PTR Handle(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
        HWND box = GetDlgItem(dlg, kIdLineBox);
        switch (msg) {
            case WM_INITDIALOG:
                SetDlgItemTextW(dlg, kIdLineLabel, win::W(label));
                SetWindowTextW(box, win::W(initial));
                SendMessageW(box, EM_SETSEL, 0, -1);
                SetFocus(box);
                return FALSE;  // the focus is set
            case WM_COMMAND:
                if (LOWORD(wp) == IDCANCEL) {
                    EndDialog(dlg, IDCANCEL);
                    return TRUE;
                }
                if (LOWORD(wp) != IDOK) break;
                if (accept(WindowText(box))) {
                    EndDialog(dlg, IDOK);
                } else {
                    // Told why; the number is there to be typed again.
                    SetFocus(box);
                    SendMessageW(box, EM_SETSEL, 0, -1);
                }
                return TRUE;
        }
        return FALSE;
    }
};

// A prompt with an owner disables only the owner; the Find/Replace window, also owned by it, would stay
// usable (a second Replace All under an open question). While a prompt is up every other window of the thread
// is disabled too, and afterwards the focus goes back where it was.
class ThreadModal {
public:
    explicit ThreadModal(HWND owner) : m_Owner(owner), m_Focus(GetFocus()) {
        EnumThreadWindows(GetCurrentThreadId(), Disable, reinterpret_cast<LPARAM>(this));
    }
    ~ThreadModal() {
        for (HWND w : m_Disabled) EnableWindow(w, TRUE);
        if (m_Focus && IsWindow(m_Focus)) SetFocus(m_Focus);
    }
    ThreadModal(const ThreadModal&) = delete;
    ThreadModal& operator=(const ThreadModal&) = delete;

private:
    static BOOL CALLBACK Disable(HWND w, LPARAM self) {
        auto* me = reinterpret_cast<ThreadModal*>(self);
        if (w != me->m_Owner && IsWindowVisible(w) && IsWindowEnabled(w)) {
            EnableWindow(w, FALSE);
            me->m_Disabled.push_back(w);
        }
        return TRUE;
    }
    HWND m_Owner;
    HWND m_Focus;
    std::vector<HWND> m_Disabled;
};

}  // namespace

MsgResult Win32Prompts::Message(const Text& text, MsgButtons buttons, MsgIcon icon) {
    if (buttons == MsgButtons::Utf8QuestionMarksCancel || buttons == MsgButtons::Utf16ReplacementCancel) {
        const auto tmpl = buttons == MsgButtons::Utf8QuestionMarksCancel
                              ? QuestionTemplate(L"Save as &UTF-8", L"Save with \"&?\"")
                              : QuestionTemplate(L"Save as UTF-&16", L"Save &with \"\uFFFD\"");
        QuestionDialog dialog{text};
        const ThreadModal modal(owner);
        if (icon == MsgIcon::Exclamation) MessageBeep(MB_ICONEXCLAMATION);
        const INT_PTR r = DialogBoxIndirectParamW(
            GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(tmpl.data()), owner,
            win::DialogProc<QuestionDialog>, reinterpret_cast<LPARAM>(&dialog));
        return r == kIdKeep ? MsgResult::Yes : r == kIdReplace ? MsgResult::No : MsgResult::Cancel;
    }
    UINT type = buttons == MsgButtons::YesNo         ? MB_YESNO | MB_DEFBUTTON1
                : buttons == MsgButtons::YesNoCancel ? MB_YESNOCANCEL | MB_DEFBUTTON1
                                                     : MB_OK;
    if (icon == MsgIcon::Exclamation) type |= MB_ICONEXCLAMATION;
    const ThreadModal modal(owner);
    switch (MessageBoxW(owner, win::W(text), win::AppTitle(), type | MB_TASKMODAL)) {
        case IDYES:
            return MsgResult::Yes;
        case IDNO:
            return MsgResult::No;
        case IDCANCEL:
            return MsgResult::Cancel;
        default:
            return MsgResult::Ok;
    }
}

Text Win32Prompts::Input(const Text& message) {
    const auto tmpl = PromptTemplate();
    PromptDialog dialog{message, {}};
    const ThreadModal modal(owner);
    const INT_PTR r =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(tmpl.data()),
                                owner, win::DialogProc<PromptDialog>, reinterpret_cast<LPARAM>(&dialog));
    // Moved out, not copied: the caller wipes the one buffer that holds the answer.
    return r == IDOK ? std::move(dialog.answer) : Text();
}

bool Win32Prompts::AskLine(const Text& label, const Text& initial,
                           const std::function<bool(const Text& typed)>& accept) {
    const auto tmpl = LineTemplate();
    LineDialog dialog{label, initial, accept};
    const ThreadModal modal(owner);
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                   reinterpret_cast<const DLGTEMPLATE*>(tmpl.data()), owner,
                                   win::DialogProc<LineDialog>, reinterpret_cast<LPARAM>(&dialog)) == IDOK;
}
