// The windows' toolkits: what makes the real (or fake) controls of the editor window and the Find/Replace
// window and routes their events back to the core.
#pragma once
#include "platform/events.h"
#include "platform/ports.h"

// The advertising strip's controls in the main window, which the strip fills.
struct AdControls {
    Browser* browser = nullptr;
    Widget* morePicture = nullptr;  // the "more" picture, which pops up adMenu
    PopupMenu* adMenu = nullptr;    // the ad menu
};

// The controls of the main window, made by the host.
struct EditorControls {
    Window* window = nullptr;
    TextBox* textBoxes[2] = {nullptr, nullptr};
    AdControls ads;
    MenuItem* wordWrap = nullptr;  // Edit > Word Wrap
    Timer* timer = nullptr;
    StatusBar* statusBar = nullptr;
    MenuItem* statusBarItem = nullptr;  // Edit > Status Bar
    TextFont* textFont = nullptr;       // the font of textBoxes
};

// Creates the real (or fake) main window whose events are routed to the editor window's behaviour, and those
// of its advertising strip to the strip's.
struct EditorHost {
    virtual ~EditorHost() = default;
    virtual void InitCommonControls() = 0;
    virtual EditorControls Create(EditorEvents& events,
                                  AdStripEvents& ads) = 0;  // the window exists but is hidden
    virtual void Show() = 0;
};

// The controls of the Find/Replace window, made by the host.
struct FindReplaceControls {
    Window* window = nullptr;
    Widget* panels[2] = {nullptr, nullptr};
    TextBox* fields[2] = {nullptr, nullptr};
    CheckBox* matchCase = nullptr;
    Button* buttons[3] = {nullptr, nullptr, nullptr};
    Button* cancel = nullptr;
};

// Creates and destroys the real (or fake) Find/Replace window whose events are routed to its behaviour.
struct FindReplaceHost {
    virtual ~FindReplaceHost() = default;
    virtual void InitCommonControls() = 0;
    // The window exists, hidden, owned by the editor window; its boxes are empty and the box unticked.
    virtual FindReplaceControls Create(FindReplaceEvents& events) = 0;
    virtual void ShowModeless() = 0;
    virtual void Destroy() = 0;  // the controls are gone afterwards
};
