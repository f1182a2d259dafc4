// An in-memory Find/Replace window: fresh controls at every load, as the real one makes them.
// Records what the core did to it (shown, destroyed, focus) for the tests.
#pragma once
#include <memory>

#include "fakes/fake_controls.h"
#include "find/find_replace.h"

struct FakeFindReplaceControls {
    FakeWindow window;
    FakeWidget panels[2];
    FakeTextBox fields[2];
    FakeCheckBox matchCase;
    FakeButton buttons[3];
    FakeButton cancel;
};

struct FakeFindReplaceHost : FindReplaceHost {
    std::unique_ptr<FakeFindReplaceControls> w;  // null while unloaded
    int commonControlsInits = 0, creates = 0, shows = 0, destroys = 0;

    void InitCommonControls() override { ++commonControlsInits; }
    FindReplaceControls Create(FindReplaceEvents&) override {
        ++creates;
        w = std::make_unique<FakeFindReplaceControls>();
        // Designed size and panel positions; the core lays them out from here.
        w->window.caption = u"Replace";
        w->window.rect = w->window.normal = {0, 0, 4060, 2500};
        w->panels[0].rect = {120, 120, 3855, 615};
        w->panels[1].rect = {120, 820, 3855, 1095};
        FindReplaceControls c;
        c.window = &w->window;
        for (int i = 0; i < 2; ++i) {
            c.panels[i] = &w->panels[i];
            c.fields[i] = &w->fields[i];
        }
        c.matchCase = &w->matchCase;
        for (int i = 0; i < 3; ++i) c.buttons[i] = &w->buttons[i];
        c.cancel = &w->cancel;
        return c;
    }
    void ShowModeless() override { ++shows; }
    void Destroy() override {
        ++destroys;
        w.reset();
    }
};
