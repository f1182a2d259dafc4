// The common Open and Save As dialogs and the shell folder picker, called with the request the dialog
// object built; the buffers and the chosen type go back to it.
#include "win32/file_dialogs_win.h"
#include <windows.h>

#include <cstddef>
// after windows.h, which they need
#include <commdlg.h>
#include <shlobj.h>

#include "win32/win_util.h"

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
    const bool ok = show(&ofn) != 0;
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
