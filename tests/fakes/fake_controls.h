// In-memory controls and windows that behave as the Win32 ones do, for the host tests.
#pragma once
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include "base/text.h"
#include "platform/ports.h"

struct FakeWidget : virtual Widget {
    Rect rect;
    bool visible = true;
    void Move(const Rect& r) override { rect = r; }
    Rect Placement() const override { return rect; }
    void SetVisible(bool v) override { visible = v; }
    bool Visible() const override { return visible; }
};

struct FakeTextBox : TextBox, FakeWidget {
    Text text;
    int32_t selStart = 0, selLength = 0;
    int focusCount = 0;
    int changeCount = 0;
    bool refuses = false;      // no room for a new text, as an EDIT that cannot allocate
    bool outOfMemory = false;  // every copy of the text fails with std::bad_alloc

    mutable int copies = 0;  // whole texts given out by GetText
    Text GetText() const override {
        Idle();
        if (outOfMemory) throw std::bad_alloc();
        ++copies;
        return text;
    }
    // The text itself, as the EDIT lends its buffer; the box refuses every other call meanwhile.
    mutable int reads = 0;
    void ReadText(const std::function<void(std::u16string_view)>& read) const override {
        Idle();
        ++reads;
        lent = true;
        struct Back {
            bool& lent;
            ~Back() { lent = false; }
        } back{lent};
        read(text);
    }
    bool SetText(const Text& t) override {
        Idle();
        if (outOfMemory) throw std::bad_alloc();
        if (t == text) return true;
        if (refuses) return false;
        // As an EDIT does, the old text's memory is given back as it was.
        const Text old = std::exchange(text, t);
        selStart = selLength = 0;
        Changed();
        return true;
    }
    int wipingReplaces = 0;
    bool ReplaceWiping(std::u16string_view t) override {
        Idle();
        if (outOfMemory) throw std::bad_alloc();
        if (refuses) return false;
        ++wipingReplaces;
        const bool differs = t != text;
        base::Wipe(text);
        text = t;
        selStart = selLength = 0;
        if (differs) Changed();
        return true;
    }
    int32_t SelStart() const override {
        Idle();
        return selStart;
    }
    int32_t SelLength() const override {
        Idle();
        return selLength;
    }
    void SetSel(int32_t start, int32_t length) override {
        Idle();
        const auto size = static_cast<int32_t>(text.size());
        selStart = std::clamp(start, 0, size);
        selLength = std::clamp(length, 0, size - selStart);
        SelChanged();
    }
    Text SelText() const override {
        Idle();
        if (outOfMemory) throw std::bad_alloc();
        return text.substr(selStart, selLength);
    }
    void SetSelText(const Text& t) override {
        Idle();
        if (outOfMemory) throw std::bad_alloc();
        if (refuses) return;
        text.replace(selStart, selLength, t);
        selStart += static_cast<int32_t>(t.size());
        selLength = 0;
        Changed();
    }
    void SetFocus() override {
        Idle();
        ++focusCount;
    }

    // What the user's keys do: the selection (or the characters before or after the caret) becomes t, and
    // the box tells its owner of the change and of the edit, as the window's box does.
    void Type(const Text& t) {
        Edit(t.empty() ? EditKind::Deleting : EditKind::Typing, selStart, selLength, t);
    }
    void Paste(const Text& t) { Edit(EditKind::Other, selStart, selLength, t); }
    void Backspace() {
        if (selLength > 0)
            Edit(EditKind::Deleting, selStart, selLength, u"");
        else if (selStart > 0)
            Edit(EditKind::Deleting, selStart - 1, 1, u"");
    }
    void Delete() {
        const int32_t size = static_cast<int32_t>(text.size());
        if (selLength > 0 || selStart < size) Edit(EditKind::Deleting, selStart, std::max(selLength, 1), u"");
    }

    // The box's line index, as an EDIT without wrap keeps it: a line ends at each line feed.
    bool caretAtStart = false;  // the selection was made towards the text's start
    int32_t Caret() const override { return caretAtStart ? selStart : selStart + selLength; }
    int32_t LineOf(int32_t offset) const override {
        const auto end = text.begin() + std::clamp<int32_t>(offset, 0, static_cast<int32_t>(text.size()));
        return static_cast<int32_t>(std::count(text.begin(), end, u'\n'));
    }
    int32_t LineStart(int32_t line) const override {
        if (line < 0) return -1;
        size_t at = 0;
        for (int32_t l = 0; l < line; ++l) {
            at = text.find(u'\n', at);
            if (at == Text::npos) return -1;
            ++at;
        }
        return static_cast<int32_t>(at);
    }
    int32_t LineCount() const override { return LineOf(static_cast<int32_t>(text.size())) + 1; }
    // A click or an arrow key: the caret at offset, with a selection from anchor when one is given.
    void MoveCaret(int32_t offset, int32_t anchor = -1) {
        if (anchor < 0) anchor = offset;
        caretAtStart = offset < anchor;
        SetSel(std::min(offset, anchor), std::abs(offset - anchor));
    }
    // What the window's box tells after every key, click and change that may move its caret.
    std::function<void()> onSelChange;

private:
    mutable bool lent = false;
    // A box that has lent its text answers nothing until the reader is done (the EDIT would run meanwhile).
    void Idle() const {
        if (lent) throw std::logic_error("the text box was called while it lent its text");
    }
    void Edit(EditKind kind, int32_t at, int32_t length, const Text& t) {
        Idle();
        TextEdit edit{kind, at, text.substr(at, length), t, selStart, selLength};
        text.replace(at, length, t);
        selStart = at + static_cast<int32_t>(t.size());
        selLength = 0;
        ++changeCount;
        if (onChange) onChange();
        if (onEdit) onEdit(edit);
        SelChanged();
    }
    void SelChanged() {
        if (onSelChange) onSelChange();
    }
    void Changed() {
        ++changeCount;
        if (onChange) onChange();
        SelChanged();
    }
};

struct FakeButton : Button, FakeWidget {
    bool enabled = true;
    void SetEnabled(bool e) override { enabled = e; }
    bool Enabled() const override { return enabled; }
};

struct FakeCheckBox : CheckBox, FakeWidget {
    int value = 0;
    int Value() const override { return value; }
    void SetValue(int v) override { value = v; }
};

struct FakeMenuItem : MenuItem {
    bool checked = false;
    void SetChecked(bool c) override { checked = c; }
    bool Checked() const override { return checked; }
};

struct FakeTimer : Timer {
    uint32_t interval = 0;
    void SetInterval(uint32_t ms) override { interval = ms; }
    uint32_t Interval() const override { return interval; }
};

struct FakeWindow : Window {
    Text caption;
    Rect rect{0, 0, 9000, 6000};
    Rect normal{0, 0, 9000, 6000};
    bool minimized = false;
    bool moveFails = false;
    int focusCount = 0;
    std::vector<Rect> workAreas{{0, 0, 15360, 11040}};  // 1024 x 736 pixels at 96 dpi

    void SetCaption(const Text& t) override { caption = t; }
    Text Caption() const override { return caption; }
    Rect Placement() const override { return rect; }
    Rect NormalPlacement() const override { return normal; }
    bool Move(const Rect& r) override {
        if (moveFails) return false;
        rect = normal = r;
        return true;
    }
    bool Minimized() const override { return minimized; }
    void Focus() override { ++focusCount; }
    std::vector<Rect> WorkAreas() const override { return workAreas; }
};

// As the status window: one part until it is given more; a part keeps its text when the parts change, and a
// text for a part it does not have is lost.
struct FakeStatusBar : StatusBar {
    std::vector<double> edges;
    std::vector<Text> texts = std::vector<Text>(1);
    int textsSet = 0;
    bool visible = true;
    double height = 330;
    int fits = 0;
    void SetParts(const std::vector<double>& rightEdges) override {
        edges = rightEdges;
        texts.resize(edges.size());
    }
    void SetText(int part, const Text& text) override {
        ++textsSet;
        if (part >= 0 && static_cast<size_t>(part) < texts.size()) texts[part] = text;
    }
    void SetVisible(bool v) override { visible = v; }
    bool Visible() const override { return visible; }
    void Fit() override { ++fits; }
    double Height() const override { return height; }
};

struct FakeTextFont : TextFont {
    int zoom = 100;
    int changes = 0;
    void SetZoom(int percent) override {
        zoom = percent;
        ++changes;
    }
};

struct FakePopupMenu : PopupMenu {
    int shown = 0;
    void PopUpAtCursor() override { ++shown; }
};

struct FakeBrowser : Browser, FakeWidget {
    std::vector<Text> navigated;
    int attachCount = 0;
    Text eventAlt;  // the "alt" of the element under the pointer in the next mouse-up
    bool hasAlt = true;
    std::vector<Text> fired;
    bool hasNext = true;

    void Navigate(const Text& path) override { navigated.push_back(path); }
    void AttachDocument() override { ++attachCount; }
    Text EventSourceAttribute(const Text& name) override {
        return name == u"alt" && hasAlt ? eventAlt : Text();
    }
    bool FireClickById(const Text& id) override {
        if (id == u"next" && !hasNext) return false;
        fired.push_back(id);
        return true;
    }
    void MouseUp() {
        if (onDocMouseUp) onDocMouseUp();
    }
};
