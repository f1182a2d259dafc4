// The common Open and Save As dialogs and the shell folder picker, called with the request the dialog
// object built; the buffers and the chosen type go back to it.
#include "win32/file_dialogs_win.h"
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>
// after windows.h, which they need
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include "win32/dialog_template.h"
#include "win32/win_util.h"
#include "win32/window_class.h"

namespace {

// The record without its later fields (76 bytes in a 32-bit build): the dialog then keeps its older form,
// without the places bar, as the program always showed it.
constexpr DWORD kOldFormSize =
    offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(OPENFILENAMEW::lpTemplateName);
#ifndef _WIN64
static_assert(kOldFormSize == 76);
#endif

// The types as the dialog reads them: name and patterns, each ended by a NUL, and one more NUL at the end.
std::wstring FilterOf(const std::vector<FileType>& types) {
    std::wstring filter;
    for (const FileType& t : types) {
        for (const Text* part : {&t.name, &t.patterns}) {
            filter.append(win::W(*part), part->size());
            filter.push_back(L'\0');
        }
    }
    filter.push_back(L'\0');
    return filter;
}

constexpr int kIdEncodingLabel = 1100, kIdEncoding = 1101;

// The "Encoding" list below the Open or Save dialog's own controls: a child template and its hook.
std::vector<unsigned char> EncodingTemplate() {
    win::TemplateBuilder b;
    b.Dialog(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL, 240, 20, L"", 8,
             L"MS Shell Dlg");
    b.Item(SS_LEFT, 7, 5, 50, 10, kIdEncodingLabel, 0x0082, L"&Encoding:");
    b.Item(CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 60, 3, 120, 90, kIdEncoding, 0x0085, L"");
    return b.m_Bytes;
}

struct EncodingChoice {
    FileDialogRequest& request;

    void EnableFor(HWND child, DWORD type) const {
        const bool off = type >= 1 && type <= request.types.size() && request.types[type - 1].encodingOff;
        EnableWindow(GetDlgItem(child, kIdEncoding), !off);
        EnableWindow(GetDlgItem(child, kIdEncodingLabel), !off);
    }
    INT_PTR Handle(HWND child, UINT msg, WPARAM, LPARAM lp) {
        if (msg == WM_INITDIALOG) {
            const HWND list = GetDlgItem(child, kIdEncoding);
            for (const Text& name : request.encodings)
                SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::W(name)));
            SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(request.encoding), 0);
            EnableFor(child, static_cast<DWORD>(request.type));
            return FALSE;
        }
        if (msg != WM_NOTIFY) return FALSE;
        const auto* note = reinterpret_cast<const OFNOTIFYW*>(lp);
        if (note->hdr.code == CDN_INITDONE) {
            // The dialog with a hook no longer selects the proposed name: a typed name replaces it, as
            // without.
            const HWND dialog = GetParent(child);
            HWND name = GetDlgItem(dialog, cmb13);
            if (!name) name = GetDlgItem(dialog, edt1);
            if (name) SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(name), TRUE);
        }
        if (note->hdr.code == CDN_TYPECHANGE) EnableFor(child, note->lpOFN->nFilterIndex);
        if (note->hdr.code == CDN_FILEOK) {
            const LRESULT chosen = SendDlgItemMessageW(child, kIdEncoding, CB_GETCURSEL, 0, 0);
            if (chosen != CB_ERR) request.encoding = static_cast<int32_t>(chosen);
        }
        return FALSE;
    }
};

// The hook's first message carries the dialog's record, whose custom data is the choice; a later one is
// another program's and is not read.
UINT_PTR CALLBACK EncodingHook(HWND child, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        if (GetWindowLongPtrW(child, DWLP_USER)) return FALSE;
        lp = static_cast<LPARAM>(reinterpret_cast<const OPENFILENAMEW*>(lp)->lCustData);
    }
    return static_cast<UINT_PTR>(win::DialogProc<EncodingChoice>(child, msg, wp, lp));
}

template <class Show>
bool ShowDialog(FileDialogRequest& r, bool save, Show show) {
    // Room for the longest name and its NUL; the dialog is told one less, as it may use one less.
    std::wstring file(FileDialogRequest::kLongestFile + 1, L'\0');
    std::copy(r.file.begin(), r.file.begin() + std::min(r.file.size(), FileDialogRequest::kLongestFile),
              file.begin());
    const std::wstring filter = FilterOf(r.types);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = kOldFormSize;
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = r.types.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(r.type);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(FileDialogRequest::kLongestFile);
    ofn.lpstrInitialDir = win::W(r.folder);
    ofn.lpstrTitle = win::W(r.title);
    ofn.Flags = (r.confirmOverwrite ? OFN_OVERWRITEPROMPT : 0) | (r.hideReadOnly ? OFN_HIDEREADONLY : 0);
    // An empty default extension makes Save append the chosen type's extension to a name typed without one.
    ofn.lpstrDefExt = save ? L"" : nullptr;
    EncodingChoice choice{r};
    const std::vector<unsigned char> child =
        r.encodings.empty() ? std::vector<unsigned char>() : EncodingTemplate();
    HGLOBAL memory = nullptr;
    if (!child.empty()) {
        // A fixed block: its handle is its address, which is what the dialog reads the template from.
        memory = GlobalAlloc(GMEM_FIXED, child.size());
        if (memory) {
            std::memcpy(memory, child.data(), child.size());
            ofn.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE;
            ofn.hInstance = static_cast<HINSTANCE>(memory);
            ofn.lpfnHook = EncodingHook;
            ofn.lCustData = reinterpret_cast<LPARAM>(&choice);
        }
    }
    const bool ok = show(&ofn) != 0;
    if (memory) GlobalFree(memory);
    r.type = static_cast<int32_t>(ofn.nFilterIndex);
    if (ok) r.file = win::FromW(file.c_str());
    return ok;
}

}  // namespace

bool Win32FileDialogs::ShowOpenDialog(FileDialogRequest& request) {
    return ShowDialog(request, false, GetOpenFileNameW);
}

bool Win32FileDialogs::ShowSaveDialog(FileDialogRequest& request) {
    return ShowDialog(request, true, GetSaveFileNameW);
}

std::optional<Text> Win32FileDialogs::PickFolder(const Text& prompt) {
    // The prompt goes where the picker writes the chosen folder's display name, as the program always did.
    std::wstring name(win::W(prompt), prompt.size());
    name.resize(std::max<size_t>(name.size(), MAX_PATH) + 1, L'\0');
    BROWSEINFOW bi{};
    bi.pszDisplayName = name.data();
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    const win::ScopedCoMemory item(SHBrowseForFolderW(&bi));
    if (!item.Valid()) return std::nullopt;
    wchar_t buf[MAX_PATH + 1] = {};
    if (!SHGetPathFromIDListW(static_cast<PCIDLIST_ABSOLUTE>(item.Get()), buf)) return std::nullopt;
    return win::FromW(buf);
}
