// The operations of the Find/Replace window: find next, replace selection, replace step, replace all,
// word at the caret. They work on the editor's active text box and the shared find settings.
#pragma once
#include <functional>

#include "find/find_state.h"

class Fou;

class rep {
public:
    explicit rep(Fou& owner);

    int32_t SelFind();
    int32_t coc1();
    void SelRe();
    void Co2();
    void Co3();
    Text SALine(int32_t& start, int32_t& end);

    // Set by the window while it exists: caption "Replace" and the Replace layout.
    std::function<void()> onReplaceMode;

private:
    bool ConfirmEmptyReplacement();
    Fou& m_Owner;
};
