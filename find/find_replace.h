// The operations of the Find/Replace window: find next, replace selection, replace step, replace all,
// word at the caret. They work on the editor's active text box and the shared find settings.
#pragma once
#include "base/edit_history.h"
#include "find/find_state.h"
#include "platform/hosts.h"

// The editor as the Find/Replace window sees it: the text box the user sees, and its window.
struct FindEditor {
    virtual ~FindEditor() = default;
    virtual TextBox& ActiveEditor() = 0;
    virtual Window& EditorWindow() = 0;
    // The document is protected or sealed: every copy of its text is wiped when done.
    virtual bool Secret() const { return false; }
    // A change the find operations made in the active box, for the document's undo.
    virtual void Did(base::EditStep step) = 0;
};

// The Find/Replace window and the find operations it shares with the editor's keys. host may be null: the
// operations then work without a window.
class FindReplace : public FindReplaceEvents {
public:
    FindReplace(FindEditor& editor, Locale& locale, Prompts& prompts, FindReplaceHost* host);
    FindState& State() { return m_State; }

    // ---- the window ----
    void Form_Initialize();
    void Form_Load();
    void OnButton(int16_t index) override;  // the buttons: Find (0), Replace (1), Replace All (2)
    void OnCancel() override;               // the Cancel button
    void OnMatchCase() override;            // the "Match case" box
    void OnFieldKeyDown(int index, Key key, int shift) override;  // the search (0) and replacement (1) boxes
    void ReForm();
    void Unload() override;  // Esc, Cancel and the close box
    void OpenForFind();      // the editor's Find command
    bool Loaded() const { return m_Loaded; }
    const FindReplaceControls& Controls() const { return m_Controls; }

    // ---- the operations ----

    int32_t SelectNext();     // selects the next match after the selection; 1 when found
    int32_t FindAgain();      // find next, then the focus back to the editor (F3)
    void ReplaceSelection();  // replaces the selection in Replace mode (F4)
    void PressReplace();      // the Replace button: switch to Replace mode, or replace and find next
    void ReplaceAll();        // Replace All; std::bad_alloc when the box has no room for the result
    Text WordAtCaret(int32_t& start, int32_t& end);  // the word at the caret

private:
    bool ConfirmEmptyReplacement();
    void EnsureLoaded();
    FindEditor& m_Editor;
    Locale& m_Locale;
    Prompts& m_Prompts;
    FindReplaceHost* m_Host;
    FindState m_State;
    FindReplaceControls m_Controls;
    bool m_Initialized = false;
    bool m_Loaded = false;
};
