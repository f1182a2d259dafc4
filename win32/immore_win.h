// The small "more" picture beside the banner strip: paints the GIF resource "IMMORE" in a picture control
// and reports mouse-ups of any button over it (button 1 left, 2 right, 4 middle; position in twips).
#pragma once
#include <windows.h>

#include <functional>

using ImMoreMouseUp = std::function<void(int button, int shift, double x, double y)>;

// A GIF, JPEG or BMP as a bitmap of its own size, or null when it cannot be decoded.
HBITMAP DecodePicture(const void* data, size_t size);
// The resource "IMMORE" decoded.
HBITMAP LoadImMoreBitmap(HINSTANCE instance);
void SetUpImMore(HWND picture, HINSTANCE instance, ImMoreMouseUp onMouseUp);
