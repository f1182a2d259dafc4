#include "win32/font_win.h"

#include <algorithm>
#include <string>
#include <vector>

#include "win32/scoped.h"
#include "win32/win_util.h"
#include "win32/window_class.h"

namespace {

// Windows' own Thai UI faces first, then the TLWG faces that Linux desktops (and so Wine) carry.
constexpr const wchar_t* kPreferredFaces[] = {
    L"Tahoma",     L"Leelawadee UI", L"Leelawadee", L"Microsoft Sans Serif",
    L"Cordia New", L"Loma",          L"Waree",      L"Garuda",
    L"Tlwg Typo",  L"Umpush",        L"Laksaman",   L"Norasi"};

int CALLBACK AddFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM faces) noexcept {
    return win::Guarded(L"font list", 0, [&] {
        // '@' names are the vertical variants of a face.
        if (font->lfFaceName[0] != L'@')
            reinterpret_cast<std::vector<std::wstring>*>(faces)->push_back(font->lfFaceName);
        return 1;
    });
}

std::vector<std::wstring> ThaiFaces(HDC dc) {
    LOGFONTW query{};
    query.lfCharSet = THAI_CHARSET;
    std::vector<std::wstring> faces;
    EnumFontFamiliesExW(dc, &query, AddFace, reinterpret_cast<LPARAM>(&faces), 0);
    // Preferred faces that are installed come first, in the order above; the rest keep the system's order.
    std::vector<std::wstring> ordered;
    for (const wchar_t* face : kPreferredFaces)
        if (std::find(faces.begin(), faces.end(), face) != faces.end()) ordered.push_back(face);
    for (const std::wstring& face : faces)
        if (std::find(ordered.begin(), ordered.end(), face) == ordered.end()) ordered.push_back(face);
    return ordered;
}

// Wine's Uniscribe (which its EDIT uses to lay out every line) indexes the glyph before a mark as
// glyphs[i - 1] with i unsigned. A Thai run that starts with a mark ("a" then U+0E38: the mark opens the
// run) has i = 0, so a face with a mark-to-mark lookup reads 4 Gi glyphs past the array: in a 64-bit
// process a page fault, in a 32-bit one the address wraps to the word before the array. Such faces are
// passed over where that fault can happen.
bool MarkToMarkFaults() {
    if (sizeof(void*) == 4) return false;
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

unsigned Word(const std::vector<unsigned char>& t, size_t at) {
    return at + 2 <= t.size() ? (t[at] << 8 | t[at + 1]) : 0;
}

// True when the selected face's GPOS table holds a mark-to-mark lookup (type 6, or an extension of one).
bool HasMarkToMark(HDC dc, HFONT font) {
    const win::ScopedSelect selected(dc, font);
    constexpr DWORD kGpos = 'G' | 'P' << 8 | 'O' << 16 | 'S' << 24;
    const DWORD size = GetFontData(dc, kGpos, 0, nullptr, 0);
    if (size == GDI_ERROR || size < 10) return false;
    std::vector<unsigned char> t(size);
    if (GetFontData(dc, kGpos, 0, t.data(), size) != size) return false;
    const size_t list = Word(t, 8);
    const unsigned count = Word(t, list);
    for (unsigned i = 0; i < count; ++i) {
        const size_t lookup = list + Word(t, list + 2 + 2 * i);
        unsigned type = Word(t, lookup);
        if (type == 9 && Word(t, lookup + 4) > 0) type = Word(t, lookup + Word(t, lookup + 6) + 2);
        if (type == 6) return true;
    }
    return false;
}

}  // namespace

bool CoversThai(HDC dc, HFONT font) {
    const win::ScopedSelect selected(dc, font);
    const DWORD size = GetFontUnicodeRanges(dc, nullptr);
    std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* glyphs = reinterpret_cast<GLYPHSET*>(buffer.data());
    int covered = 0;
    if (size && GetFontUnicodeRanges(dc, glyphs)) {
        for (DWORD i = 0; i < glyphs->cRanges; ++i) {
            const int low = std::max<int>(glyphs->ranges[i].wcLow, 0x0E01);
            const int high = std::min<int>(glyphs->ranges[i].wcLow + glyphs->ranges[i].cGlyphs - 1, 0x0E2E);
            covered += std::max(0, high - low + 1);
        }
    }
    return covered == 0x0E2E - 0x0E01 + 1;
}

HFONT CreateThaiFont(const LOGFONTW& wanted) {
    win::ScopedGdi<HFONT> font(CreateFontIndirectW(&wanted));
    const win::ScopedDc dc(nullptr);
    if (!dc.Get()) return font.Release();
    const bool avoidMarkToMark = MarkToMarkFaults();
    const auto usable = [&](HFONT f) {
        return CoversThai(dc.Get(), f) && !(avoidMarkToMark && HasMarkToMark(dc.Get(), f));
    };
    if (usable(font.Get())) return font.Release();
    win::ScopedGdi<HFONT> fallback;  // covers Thai, but has the lookup that faults
    for (const std::wstring& face : ThaiFaces(dc.Get())) {
        LOGFONTW candidate = wanted;
        candidate.lfCharSet = THAI_CHARSET;
        lstrcpynW(candidate.lfFaceName, face.c_str(), LF_FACESIZE);
        win::ScopedGdi<HFONT> thai(CreateFontIndirectW(&candidate));
        if (!thai.Valid()) continue;
        if (usable(thai.Get())) return thai.Release();
        if (!fallback.Valid() && CoversThai(dc.Get(), thai.Get())) fallback.Reset(thai.Release());
    }
    return fallback.Valid() ? fallback.Release() : font.Release();
}

HFONT CreateEditorFont(int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(975, dpi, 7200);
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = THAI_CHARSET;
    lstrcpynW(lf.lfFaceName, L"System", LF_FACESIZE);
    return CreateThaiFont(lf);
}

void Win32TextFont::Adopt(HFONT designed) {
    m_Font.Reset(designed);
    GetObjectW(designed, sizeof m_Designed, &m_Designed);
}

void Win32TextFont::Redesign(HFONT designed) {
    const win::ScopedGdi<HFONT> font(designed);  // only its description is kept
    GetObjectW(designed, sizeof m_Designed, &m_Designed);
    SetZoom(m_Percent);
}

void Win32TextFont::SetZoom(int percent) {
    m_Percent = percent;
    LOGFONTW zoomed = m_Designed;
    zoomed.lfHeight = MulDiv(m_Designed.lfHeight, percent, 100);
    // A height of 0 would ask for the face's default size.
    if (zoomed.lfHeight == 0) zoomed.lfHeight = m_Designed.lfHeight < 0 ? -1 : 1;
    win::ScopedGdi<HFONT> font(CreateFontIndirectW(&zoomed));
    if (!font.Valid()) return win::TraceError(L"the zoomed font could not be made", GetLastError());
    for (HWND box : m_Boxes) SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    m_Font = std::move(font);
}
