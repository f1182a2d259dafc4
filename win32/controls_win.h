// Win32 controls behind the control ports: any child window, the EDIT box, menu items, the timer, windows.
#pragma once
#include <windows.h>

#include "platform/ports.h"

// Any child window, placed in twips relative to its parent's client area.
class Win32Widget : public virtual Widget {
public:
    HWND m_Hwnd = nullptr;
    void Move(const Rect& r) override;
    Rect Placement() const override;
    void SetVisible(bool visible) override;
    bool Visible() const override;
};

// An EDIT control. Programmatic changes raise onChange once, and only when the text really changed.
class Win32TextBox : public TextBox, public Win32Widget {
public:
    Text GetText() const override;
    // The multiline box's own buffer (EM_GETHANDLE), locked for the call alone; any other box's text copied,
    // and the copy wiped.
    void ReadText(const std::function<void(std::u16string_view)>& read) const override;
    bool SetText(const Text& text) override;
    bool ReplaceWiping(std::u16string_view text) override;
    int32_t SelStart() const override;
    int32_t SelLength() const override;
    void SetSel(int32_t start, int32_t length) override;
    Text SelText() const override;
    void SetSelText(const Text& text) override;
    void SetFocus() override;
    int32_t Caret() const override;
    int32_t LineOf(int32_t offset) const override;
    int32_t LineStart(int32_t line) const override;
    int32_t LineCount() const override;

    // A message to the box, handled by handle: when it is one by which the user changes the text (typing,
    // deleting, a paste, a cut), what the text was around the selection is read first, and onEdit raised
    // after with what changed.
    LRESULT Watched(UINT msg, WPARAM wp, const std::function<LRESULT()>& handle);

    // The EN_CHANGE of a programmatic change is raised by the setter itself.
    bool Silent() const { return m_Silent > 0; }
    // EN_ERRSPACE or EN_MAXTEXT arrived: the text being set did not fit.
    void Refused() { m_Refused = true; }

private:
    struct EditWatch {
        EditKind kind;
        DWORD selStart, selEnd;
        size_t length, from;  // the text's length; where around starts
        Text around;
        Text typed;  // what a typed character puts where nothing is selected, which removes nothing
    };
    // toLineEnd: it may delete to the line's end. typed: what the key types, if it types.
    EditWatch BeforeEdit(EditKind kind, bool toLineEnd, Text typed) const;
    void AfterEdit(EditWatch& before);
    // While the box lends its text it is not called: a message would let it move or free what is being read.
    void Idle() const;
    int m_Silent = 0;
    int m_Watching = 0;  // a message of the user's is being watched
    bool m_Refused = false;
    mutable bool m_Lent = false;
};

class Win32Button : public Button, public Win32Widget {
public:
    void SetEnabled(bool enabled) override { EnableWindow(m_Hwnd, enabled); }
    bool Enabled() const override { return IsWindowEnabled(m_Hwnd) != 0; }
};

class Win32CheckBox : public CheckBox, public Win32Widget {
public:
    int Value() const override { return SendMessageW(m_Hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0; }
    void SetValue(int value) override {
        SendMessageW(m_Hwnd, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
};

class Win32MenuItem : public MenuItem {
public:
    HMENU menu = nullptr;
    UINT id = 0;
    void SetChecked(bool checked) override;
    bool Checked() const override;
};

class Win32Timer : public Timer {
public:
    HWND m_Hwnd = nullptr;
    UINT_PTR id = 1;
    void SetInterval(uint32_t milliseconds) override;
    uint32_t Interval() const override { return m_Interval; }

private:
    uint32_t m_Interval = 0;
};

class Win32Window : public Window {
public:
    HWND m_Hwnd = nullptr;
    void SetCaption(const Text& caption) override;
    Text Caption() const override;
    Rect Placement() const override;
    Rect NormalPlacement() const override;
    bool Move(const Rect& r) override;
    bool Minimized() const override { return IsIconic(m_Hwnd) != 0; }
    void Focus() override;
    std::vector<Rect> WorkAreas() const override;
};

class Win32PopupMenu : public PopupMenu {
public:
    HWND owner = nullptr;
    HMENU menu = nullptr;
    void PopUpAtCursor() override;
};

Text WindowText(HWND hwnd);
