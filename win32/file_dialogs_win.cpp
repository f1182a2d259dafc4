// The common Open and Save As dialogs and the shell folder picker, called with the request the dialog
// object built; the buffers and the chosen type go back to it.
#include "win32/file_dialogs_win.h"
#include <windows.h>

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

// The core asks for the record without the later fields, which is 76 bytes as a 32-bit build lays it out.
// The same form is larger in a 64-bit build, and the dialog refuses any size but its own two.
constexpr uint32_t kOldFormSize32 = 76;
constexpr DWORD kOldFormSize =
    offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(OPENFILENAMEW::lpTemplateName);
#ifndef _WIN64
static_assert(kOldFormSize == kOldFormSize32);
#endif

DWORD StructSize(uint32_t requested) {
    if (requested == kOldFormSize32) return kOldFormSize;
    return requested < sizeof(OPENFILENAMEW) ? requested : sizeof(OPENFILENAMEW);
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
        const bool off = type >= 1 && type <= 32 && (request.encodingOffTypes >> (type - 1)) & 1;
        EnableWindow(GetDlgItem(child, kIdEncoding), !off);
        EnableWindow(GetDlgItem(child, kIdEncodingLabel), !off);
    }
    INT_PTR Handle(HWND child, UINT msg, WPARAM, LPARAM lp) {
        if (msg == WM_INITDIALOG) {
            const HWND list = GetDlgItem(child, kIdEncoding);
            for (const Text& name : request.encodings)
                SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::W(name)));
            SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(request.encoding), 0);
            EnableFor(child, static_cast<DWORD>(request.filterIndex));
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
bool ShowDialog(FileDialogRequest& r, Show show) {
    std::wstring file(reinterpret_cast<const wchar_t*>(r.file.c_str()), r.file.size());
    std::wstring title(reinterpret_cast<const wchar_t*>(r.fileTitle.c_str()), r.fileTitle.size());
    if (file.size() <= r.maxFile) file.resize(r.maxFile + 1, L'\0');
    if (title.size() <= r.maxFileTitle) title.resize(r.maxFileTitle + 1, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = StructSize(r.structSize);
    ofn.hwndOwner = reinterpret_cast<HWND>(r.owner);
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = r.filter.empty() ? nullptr : win::W(r.filter);
    ofn.nFilterIndex = static_cast<DWORD>(r.filterIndex);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = r.maxFile;
    ofn.lpstrFileTitle = title.data();
    ofn.nMaxFileTitle = r.maxFileTitle;
    ofn.lpstrInitialDir = win::W(r.initialDir);
    ofn.lpstrTitle = win::W(r.title);
    ofn.Flags = r.flags;
    ofn.lpstrDefExt = r.hasDefExt ? win::W(r.defExt) : nullptr;
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
    r.filterIndex = static_cast<int32_t>(ofn.nFilterIndex);
    r.file = win::FromW(file.c_str(), file.size());
    r.fileTitle = win::FromW(title.c_str(), title.size());
    return ok;
}

}  // namespace

bool Win32FileDialogs::ShowOpenDialog(FileDialogRequest& request) {
    return ShowDialog(request, GetOpenFileNameW);
}

bool Win32FileDialogs::ShowSaveDialog(FileDialogRequest& request) {
    return ShowDialog(request, GetSaveFileNameW);
}

bool Win32FileDialogs::BrowseForFolder(const Text& displayName, uint32_t flags, Text& path) {
    std::wstring name(reinterpret_cast<const wchar_t*>(displayName.c_str()), displayName.size());
    name.resize(std::max<size_t>(name.size(), MAX_PATH) + 1, L'\0');
    BROWSEINFOW bi{};
    bi.pszDisplayName = name.data();
    bi.ulFlags = flags;
    const win::ScopedCoMemory item(SHBrowseForFolderW(&bi));
    if (!item.Valid()) return false;
    wchar_t buf[MAX_PATH + 1] = {};
    const bool ok = SHGetPathFromIDListW(static_cast<PCIDLIST_ABSOLUTE>(item.Get()), buf) != 0;
    path = win::FromW(buf);
    return ok;
}
