// The small "more" picture beside the banner strip: paints the GIF resource "MORE_PICTURE" in a picture
// control and reports mouse-ups of any button over it (button 1 left, 2 right, 4 middle; position in twips).
#pragma once
#include <windows.h>

#include <functional>

using MorePictureMouseUp = std::function<void(int button, int shift, double x, double y)>;

// A GIF, JPEG or BMP as a bitmap of its own size, or null when it cannot be decoded.
HBITMAP DecodePicture(const void* data, size_t size);
// The resource "MORE_PICTURE" decoded.
HBITMAP LoadMoreBitmap(HINSTANCE instance);
void SetUpMorePicture(HWND picture, HINSTANCE instance, MorePictureMouseUp onMouseUp);
