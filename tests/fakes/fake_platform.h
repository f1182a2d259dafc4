// One fake of every service and control, wired like the real program: the fixture of most host tests.
#pragma once
#include "app/editor.h"
#include "fakes/fake_controls.h"
#include "fakes/fake_find_replace_host.h"
#include "fakes/fake_services.h"
#include "fakes/openssl_crypto.h"

struct FakeEditorHost : EditorHost {
    FakeWindow window;
    FakeTextBox textBoxes[2];
    FakeBrowser browser;
    FakeWidget morePicture;
    FakeMenuItem wordWrap;
    FakeTimer timer;
    FakePopupMenu adMenu;
    FakeStatusBar statusBar;
    FakeMenuItem statusBarItem;
    FakeTextFont textFont;
    int commonControlsInits = 0;
    bool shown = false;
    std::vector<std::string> order;  // creation events, in the order they happened
    std::function<void()> onShow;

    void InitCommonControls() override {
        ++commonControlsInits;
        order.push_back("InitCommonControls");
    }
    EditorControls Create(EditorEvents& editor, AdStripEvents& ads) override;
    // Where the window routes the strip's events: the ad menu's items, the "more" picture's mouse-ups.
    AdStripEvents* adEvents = nullptr;
    void Show() override {
        shown = true;
        order.push_back("Show");
        if (onShow) onShow();
    }
};

struct FakePlatform {
    FakeProcess process;
    FakeClock clock;
    FakeLocale locale;
    FakePrompts prompts;
    FakeEventLoop loop;
    FakeFiles files;
    FakeSettings settings;
    FakeShell shell;
    FakeFileDialogs dialogs;
    FakeHttp http;
    FakeVolumes volumes;
    OpenSslCrypto crypto;
    FakeJobs jobs{http};
    FakeJobs diskJobs{http};
    FakeDataProtection dataProtection;
    Platform platform{process, clock,   locale,  prompts, loop, files,    settings,
                      shell,   dialogs, volumes, crypto,  jobs, diskJobs, dataProtection};
};

// A started program: app::Main has run against fakes. Each test gets a fresh "process".
struct Started {
    FakePlatform fp;
    FakeEditorHost host;
    FakeFindReplaceHost findHost;
    std::unique_ptr<Editor> running;
    explicit Started(bool run = true) {
        if (run) Start();
    }
    void Start() { running = app::Main(fp.platform, host, &findHost); }
    // The process ends without a close: its window and claims go, as a dying process's handles do.
    void Crash() { running.reset(); }
    Editor& editor() { return *running; }
    Document& document() { return editor().CurrentDocument(); }
    // The document named as a completed load of a file with this password leaves it; its text stays.
    void Name(const Text& name, Text password = {}) { document().Adopt(name, password, {}); }
    FakeTextBox& box() { return host.textBoxes[editor().ActiveEditorIndex()]; }
};
