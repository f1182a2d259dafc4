// The operations of the Find/Replace window: find next, replace selection, replace step, replace all,
// word at the caret. They work on the editor's active text box and the shared find settings.
#pragma once
#include "find/find_state.h"

class Fou;
class rep;

// The controls of the Find/Replace window, made by the host.
struct RepControls {
    Window* window = nullptr;
    Widget* Pi[2] = {nullptr, nullptr};
    TextBox* Te[2] = {nullptr, nullptr};
    CheckBox* Ch1 = nullptr;
    Button* co[3] = {nullptr, nullptr, nullptr};
    Button* ca = nullptr;
};

// Creates and destroys the real (or fake) window whose events are routed to a rep.
struct RepHost {
    virtual ~RepHost() = default;
    virtual void InitCommonControls() = 0;
    // The window exists, hidden, owned by the editor window; its boxes are empty and the box unticked.
    virtual RepControls Create(rep& window) = 0;
    virtual void ShowModeless() = 0;
    virtual void Destroy() = 0;  // the controls are gone afterwards
};

class rep {
public:
    rep(Fou& owner, RepHost* host);

    // ---- the window ----
    void Form_Initialize();
    void Form_Load();
    void co_Click(int16_t index);
    void ca_Click();
    void Ch1_Click();
    void Te_KeyDown(int index, int16_t keyCode, int shift);
    void ReForm();
    void Unload();       // Esc, Cancel and the close box
    void OpenForFind();  // the editor's Find command
    bool Loaded() const { return m_Loaded; }
    const RepControls& Controls() const { return c; }

    // ---- the operations ----

    int32_t SelFind();
    int32_t coc1();
    void SelRe();
    void Co2();
    void Co3();
    Text SALine(int32_t& start, int32_t& end);

private:
    bool ConfirmEmptyReplacement();
    void EnsureLoaded();
    Fou& m_Owner;
    RepHost* m_Host;
    RepControls c;
    bool m_Initialized = false;
    bool m_Loaded = false;
};
