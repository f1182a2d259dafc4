// The windows' toolkits: what makes the real (or fake) controls of the editor window and the Find/Replace
// window and routes their events back to the core, and the modifier masks those events carry.
#pragma once
#include "platform/events.h"
#include "platform/ports.h"

// Modifier mask of key events.
constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;
// The keys the editor and the Find/Replace window handle, by their virtual-key codes.
enum Key : int {
    kKeyBack = 8,
    kKeyReturn = 13,
    kKeyEscape = 27,
    kKey0 = 48,
    kKeyF = 70,
    kKeyG = 71,
    kKeyY = 89,
    kKeyZ = 90,
    kKeyNumpad0 = 96,
    kKeyAdd = 107,  // the keypad's + and -
    kKeySubtract = 109,
    kKeyF2 = 113,
    kKeyF3 = 114,
    kKeyF4 = 115,
    kKeyOemPlus = 187,  // the main keyboard's = + and - _ keys
    kKeyOemMinus = 189
};
// One notch of a mouse wheel.
constexpr int kWheelDelta = 120;
// Drop effects: what a drag source offers.
constexpr int kDropEffectCopy = 1;
constexpr int kDropEffectAll = 7;  // copy | move | link, what the shell offers for files

// The advertising strip's controls in the main window, which the strip fills.
struct AdControls {
    Browser* browser1 = nullptr;
    Widget* imMore = nullptr;     // the "more" picture, which pops up aAdver
    PopupMenu* aAdver = nullptr;  // the ad menu
};

// The controls of the main window, made by the host.
struct FouControls {
    Window* window = nullptr;
    TextBox* txtData[2] = {nullptr, nullptr};
    AdControls ads;
    MenuItem* wordWrap = nullptr;  // mnu2(1)
    Timer* timer1 = nullptr;
    StatusBar* statusBar = nullptr;
    MenuItem* statusBarItem = nullptr;  // mnu2(2)
    TextFont* textFont = nullptr;       // the font of txtData
};

// Creates the real (or fake) main window whose events are routed to the editor window's behaviour, and those
// of its advertising strip to the strip's.
struct FouHost {
    virtual ~FouHost() = default;
    virtual void InitCommonControls() = 0;
    virtual FouControls Create(FouEvents& events, AdStripEvents& ads) = 0;  // the window exists but is hidden
    virtual void Show() = 0;
};

// The controls of the Find/Replace window, made by the host.
struct RepControls {
    Window* window = nullptr;
    Widget* Pi[2] = {nullptr, nullptr};
    TextBox* Te[2] = {nullptr, nullptr};
    CheckBox* Ch1 = nullptr;
    Button* co[3] = {nullptr, nullptr, nullptr};
    Button* ca = nullptr;
};

// Creates and destroys the real (or fake) Find/Replace window whose events are routed to its behaviour.
struct RepHost {
    virtual ~RepHost() = default;
    virtual void InitCommonControls() = 0;
    // The window exists, hidden, owned by the editor window; its boxes are empty and the box unticked.
    virtual RepControls Create(RepEvents& events) = 0;
    virtual void ShowModeless() = 0;
    virtual void Destroy() = 0;  // the controls are gone afterwards
};
