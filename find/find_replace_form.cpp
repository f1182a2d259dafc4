// The Find/Replace window's own behaviour: loading, modes and layout, buttons, keys, closing.
// The host makes the controls; everything it reports comes back through these handlers.
#include <string>

#include "base/memory_guard.h"
#include "find/find_replace.h"

namespace {
constexpr double kWidth = 4060, kFindHeight = 1800, kReplaceHeight = 2500;
constexpr double kFindPanelTop = 120, kReplacePanelTop = 820;
}  // namespace

void FindReplace::Form_Initialize() { m_Host->InitCommonControls(); }

void FindReplace::Form_Load() { ReForm(); }

void FindReplace::EnsureLoaded() {
    if (m_Loaded) return;
    if (!m_Initialized) {
        m_Initialized = true;
        Form_Initialize();
    }
    m_Controls = m_Host->Create(*this);
    m_Loaded = true;
    // A reopened window shows the case setting the next search uses.
    m_Controls.matchCase->SetValue(m_State.MatchCase ? 1 : 0);
    Form_Load();
    // Centred over the editor window at every load.
    const Rect owner = m_Editor.EditorWindow().Placement();
    const Rect self = m_Controls.window->Placement();
    m_Controls.window->Move({owner.left + (owner.width - self.width) / 2,
                             owner.top + (owner.height - self.height) / 2, self.width, self.height});
}

void FindReplace::ReForm() {
    const bool replace = m_State.ReplaceMode;
    const Rect outer = m_Controls.window->Placement();
    m_Controls.window->Move({outer.left, outer.top, kWidth, replace ? kReplaceHeight : kFindHeight});
    const Rect lower = m_Controls.panels[1]->Placement();
    m_Controls.panels[1]->Move(
        {lower.left, replace ? kReplacePanelTop : kFindPanelTop, lower.width, lower.height});
    m_Controls.buttons[2]->SetEnabled(replace);
}

void FindReplace::OpenForFind() {
    m_State.ReplaceMode = false;
    if (!m_Host) return;  // no window toolkit (the keys still work)
    EnsureLoaded();
    m_Controls.window->SetCaption(u"Find");
    m_Host->ShowModeless();
    m_Controls.fields[0]->SetFocus();
    Text search = m_Editor.ActiveEditor().SelText();
    int32_t start = 2, end = 1;
    if (search.empty()) search = WordAtCaret(start, end);
    m_Controls.fields[0]->SetText(search);
    m_Controls.fields[0]->SetSel(0, static_cast<int32_t>(search.size()));
}

void FindReplace::OnButton(int16_t index) {
    FindState& fs = m_State;
    fs.FindText = m_Controls.fields[0]->GetText();
    fs.ReplaceText = m_Controls.fields[1]->GetText();
    if (fs.FindText.empty()) {
        m_Prompts.Message(u"Please enter search word.", MsgButtons::Ok, MsgIcon::None);
        // The prompt runs the event loop; the window may have been closed meanwhile.
        if (m_Loaded) m_Controls.fields[0]->SetFocus();
        return;
    }
    static constexpr const char16_t* kCommands[] = {u"find", u"replace", u"replace all"};
    if (index < 0 || index > 2) return;
    base::WithMemory(m_Prompts, kCommands[index], [&] {
        switch (index) {
            case 0:
                FindAgain();
                break;
            case 1:
                PressReplace();
                break;
            default:
                ReplaceAll();
                break;
        }
    });
}

void FindReplace::OnCancel() {
    m_Editor.EditorWindow().Focus();
    Unload();
    m_Editor.ActiveEditor().SetFocus();  // the editor as the user sees it is its text
}

void FindReplace::OnMatchCase() { m_State.MatchCase = m_Controls.matchCase->Value() != 0; }

void FindReplace::OnFieldKeyDown(int, Key key, int) {
    // Enter is the Find button's, the window's default, as in every Find window.
    if (key == kKeyF3 || key == kKeyReturn)
        OnButton(0);
    else if (key == kKeyEscape)
        Unload();
}

void FindReplace::Unload() {
    if (!m_Loaded) return;
    m_Loaded = false;
    m_Controls = {};
    m_Host->Destroy();
}
