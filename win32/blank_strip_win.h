// The banner strip when no web browser control can be hosted: an empty panel that shows nothing.
#pragma once
#include "win32/controls_win.h"

class BlankStrip : public Browser, public Win32Widget {
public:
    void Navigate(const Text&) override {}
    void AttachDocument() override {}
    Text EventSourceAttribute(const Text&) override { return {}; }
    bool FireClickById(const Text&) override { return false; }
};
