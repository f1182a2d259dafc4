// Fonts that must show Thai: the face asked for when the platform really gives it Thai glyphs, otherwise the
// best installed Thai face at the same size and weight.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/ports.h"
#include "win32/scoped.h"

// True when the font has a glyph for every Thai consonant (U+0E01..U+0E2E).
bool CoversThai(HDC dc, HFONT font);

// Creates the font described by `wanted`; when what the platform selects for it lacks Thai, the first face
// of the Thai character set that has the glyphs, preferring the usual Thai UI faces. Never null.
HFONT CreateThaiFont(const LOGFONTW& wanted);

// The document's font: "System", bold, 9.75 pt at dpi pixels per inch, Thai, through CreateThaiFont. Never
// null.
HFONT CreateEditorFont(int dpi);

// The text boxes' one font at a zoom: the face chosen at the designed size, at a height in proportion, so a
// zoom never chooses again. Each box is given the new font before the old one is deleted.
class Win32TextFont : public TextFont {
public:
    // Takes designed, the font at 100%, and gives it to the boxes added later.
    void Adopt(HFONT designed);
    HFONT Get() const { return m_Font.Get(); }
    void AddBox(HWND box) { m_Boxes.push_back(box); }
    void SetZoom(int percent) override;
    // The font at 100% made again, at another dpi: the boxes get it at the zoom they had.
    void Redesign(HFONT designed);

private:
    LOGFONTW m_Designed{};
    int m_Percent = 100;
    std::vector<HWND> m_Boxes;
    win::ScopedGdi<HFONT> m_Font;
};
