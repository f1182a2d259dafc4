// The status bar port over the common controls' status window, and its making along a window's bottom.
#pragma once
#include <windows.h>

#include "platform/ports.h"

class Win32StatusBar : public StatusBar {
public:
    HWND m_Hwnd = nullptr;
    void SetParts(const std::vector<double>& rightEdges) override;
    void SetText(int part, const Text& text) override;
    void SetVisible(bool visible) override;
    bool Visible() const override;
    void Fit() override;
    double Height() const override;
};

// A status window along the bottom of parent, shown; null when it cannot be made.
HWND MakeStatusBar(HWND parent, HINSTANCE instance, UINT id);
