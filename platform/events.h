// What the window hosts report: the events of the editor window, of its advertising strip and of the
// Find/Replace window, each a call the window's behaviour answers. The hosts know these interfaces only,
// never the classes behind them.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/ports.h"

// Modifier mask of key events.
constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;
// The keys the editor and the Find/Replace window handle; the host names every other key kKeyOther.
enum Key : int {
    kKeyOther,
    kKeyBack,
    kKeyReturn,
    kKeyEscape,
    kKey0,
    kKeyF,
    kKeyG,
    kKeyY,
    kKeyZ,
    kKeyNumpad0,
    kKeyAdd,  // the keypad's + and -
    kKeySubtract,
    kKeyF2,
    kKeyF3,
    kKeyF4,
    kKeyOemPlus,  // the main keyboard's = + and - _ keys
    kKeyOemMinus
};
// One notch of a mouse wheel, in the parts a fine wheel reports.
constexpr int kWheelDelta = 120;
// Drop effects: what a drag source offers.
constexpr int kDropEffectCopy = 1;
constexpr int kDropEffectAll = 7;  // copy | move | link, what the shell offers for files

// The editor window's events: its own, its text boxes', its menus' and its timer's.
struct EditorEvents {
    virtual ~EditorEvents() = default;
    virtual void Form_Resize() = 0;
    virtual void Form_Unload() = 0;
    virtual bool Form_QueryUnload() = 0;  // false keeps the window open
    // Windows ends the session (closeApp: it closes the program to update it, and will start it again): false
    // asks Windows to wait.
    virtual bool Form_QueryEndSession(bool closeApp) = 0;
    virtual void Form_SessionLock() = 0;  // the Windows session was locked
    virtual void OnTextChange(int index) = 0;
    // The user changed the box's text (after OnTextChange); the edit is the handler's to keep.
    virtual void OnTextEdit(int index, TextEdit& edit) = 0;
    virtual void OnTextFocus(int index) = 0;
    // True when the key ran a command: the character the keyboard makes of it is not typed.
    virtual bool OnTextKeyDown(int index, Key key, int shift) = 0;
    // Input reached a text box: false swallows it, the document being locked. keyOrClick: a key press or a
    // click, which asks for the password (not the character that follows a key, nor a paste).
    virtual bool OnTextInput(bool keyOrClick) = 0;
    virtual void OnFilesDropped(int index, const std::vector<Text>& files, int effect) = 0;
    // The caret or the selection may have moved (keys, clicks, typing, or the program's own change).
    virtual void OnSelectionChange(int index) = 0;
    virtual int ActiveEditorIndex() const = 0;  // the box shown, which the keys belong to
    // The wheel turned over a text box (delta: kWheelDelta a notch, away from the user positive).
    virtual void OnTextWheel(int index, int delta, int shift) = 0;
    virtual void OnFileMenu(int index) = 0;
    virtual void OnEditMenu(int index) = 0;
    virtual void OnHelpMenu(int index) = 0;
    virtual void OnTimer() = 0;
};

// The advertising strip's events: its pop-up menu, the "more" picture that pops it up, and the page
// its browser shows (the page's two reach the strip through the browser's callbacks, which the strip sets).
struct AdStripEvents {
    virtual ~AdStripEvents() = default;
    virtual void OnNextAd() = 0;  // the menu's "Next"
    virtual void OnAdInfo() = 0;  // and its "Ad Info"
    virtual void OnMoreMouseUp(int button, int shift, double x, double y) = 0;
    virtual void OnPageMouseUp() = 0;                   // a mouse-up on the page shown
    virtual void OnPageNewWindow(const Text& url) = 0;  // the page asks for a new window
};

// The Find/Replace window's events.
struct FindReplaceEvents {
    virtual ~FindReplaceEvents() = default;
    virtual void OnButton(int16_t index) = 0;
    virtual void OnCancel() = 0;
    virtual void OnMatchCase() = 0;
    virtual void OnFieldKeyDown(int index, Key key, int shift) = 0;
    virtual void Unload() = 0;
};
