#include "win32/font_win.h"

#include <algorithm>
#include <string>
#include <vector>

#include "win32/scoped.h"
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
    if (!dc.Get() || CoversThai(dc.Get(), font.Get())) return font.Release();
    for (const std::wstring& face : ThaiFaces(dc.Get())) {
        LOGFONTW candidate = wanted;
        candidate.lfCharSet = THAI_CHARSET;
        lstrcpynW(candidate.lfFaceName, face.c_str(), LF_FACESIZE);
        win::ScopedGdi<HFONT> thai(CreateFontIndirectW(&candidate));
        if (thai.Valid() && CoversThai(dc.Get(), thai.Get())) return thai.Release();
    }
    return font.Release();
}
