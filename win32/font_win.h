// Fonts that must show Thai: the face asked for when the platform really gives it Thai glyphs, otherwise the
// best installed Thai face at the same size and weight.
#pragma once
#include <windows.h>

// True when the font has a glyph for every Thai consonant (U+0E01..U+0E2E).
bool CoversThai(HDC dc, HFONT font);

// Creates the font described by `wanted`; when what the platform selects for it lacks Thai, the first face
// of the Thai character set that has the glyphs, preferring the usual Thai UI faces. Never null.
HFONT CreateThaiFont(const LOGFONTW& wanted);

// The document's font: "System", bold, 9.75 pt at dpi pixels per inch, Thai, through CreateThaiFont. Never
// null.
HFONT CreateEditorFont(int dpi);
