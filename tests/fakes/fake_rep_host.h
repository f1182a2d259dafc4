// An in-memory Find/Replace window: fresh controls at every load, as the real one makes them.
// Records what the core did to it (shown, destroyed, focus) for the tests.
#pragma once
#include <memory>

#include "fakes/fake_controls.h"
#include "find/find_replace.h"

struct FakeFindReplaceControls {
    FakeWindow window;
    FakeWidget Pi[2];
    FakeTextBox Te[2];
    FakeCheckBox Ch1;
    FakeButton co[3];
    FakeButton ca;
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
        w->Pi[0].rect = {120, 120, 3855, 615};
        w->Pi[1].rect = {120, 820, 3855, 1095};
        FindReplaceControls c;
        c.window = &w->window;
        for (int i = 0; i < 2; ++i) {
            c.Pi[i] = &w->Pi[i];
            c.Te[i] = &w->Te[i];
        }
        c.Ch1 = &w->Ch1;
        for (int i = 0; i < 3; ++i) c.co[i] = &w->co[i];
        c.ca = &w->ca;
        return c;
    }
    void ShowModeless() override { ++shows; }
    void Destroy() override {
        ++destroys;
        w.reset();
    }
};
