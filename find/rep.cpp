// The operations of the Find/Replace window: find next, replace selection, replace step, replace all,
// word at the caret. They work on the editor's active text box and the shared find settings.
#include "find/rep.h"

#include <new>

#include "base/text.h"
#include "find/search.h"

rep::rep(FindEditor& editor, Locale& locale, Prompts& prompts, RepHost* host)
    : m_Editor(editor), m_Locale(locale), m_Prompts(prompts), m_Host(host) {}

int32_t rep::SelFind() {
    const FindState& fs = find::g_FindState;
    if (fs.FindText.empty()) return 0;
    TextBox& box = m_Editor.ActiveEditor();
    Text text = box.GetText();
    const base::WipedIf wiped(text, m_Editor.Secret());
    const auto from = static_cast<std::size_t>(box.SelStart()) + static_cast<std::size_t>(box.SelLength());
    const std::ptrdiff_t hit = fs.ExactFind() ? find::FindExact(text, from, fs.FindText)
                                              : m_Locale.FindIgnoreCase(text, from, fs.FindText);
    if (hit < 0) {
        box.SetSel(0, 0);
        return 0;
    }
    box.SetSel(static_cast<int32_t>(hit), static_cast<int32_t>(fs.FindText.size()));
    return 1;
}

int32_t rep::coc1() {
    const int32_t found = SelFind();
    m_Editor.ActiveEditor().SetFocus();
    return found;
}

void rep::SelRe() {
    TextBox& box = m_Editor.ActiveEditor();
    if (find::g_FindState.ReplaceMode == u"1" && box.SelLength() != 0)
        box.SetSelText(find::g_FindState.ReplaceText);
}

bool rep::ConfirmEmptyReplacement() {
    if (!find::g_FindState.ReplaceText.empty()) return true;
    return m_Prompts.Message(u"Are you sure to replace words to empty ?", MsgButtons::YesNo,
                             MsgIcon::Exclamation) == MsgResult::Yes;
}

void rep::Co2() {
    FindState& fs = find::g_FindState;
    if (fs.ReplaceMode.empty()) {
        fs.ReplaceMode.assign(1, u'1');  // not a literal: GCC 12 warns falsely (-Wrestrict) on it
        if (m_Loaded) {
            m_Controls.window->SetCaption(u"Replace");
            ReForm();
        }
        return;
    }
    if (m_Editor.ActiveEditor().SelText().empty()) {
        coc1();
        if (m_Editor.ActiveEditor().SelText().empty()) return;
    }
    if (!ConfirmEmptyReplacement()) return;
    SelRe();
    coc1();
}

void rep::Co3() {
    if (!ConfirmEmptyReplacement()) return;
    TextBox& box = m_Editor.ActiveEditor();
    const bool secret = m_Editor.Secret();
    Text before = box.GetText(), replaced, after;
    const base::WipedIf wipedBefore(before, secret), wipedReplaced(replaced, secret),
        wipedAfter(after, secret);
    find::ReplaceAllExact(before, find::g_FindState.FindText, find::g_FindState.ReplaceText, replaced);
    if (replaced == before) return;
    const int32_t selStart = box.SelStart(), selLength = box.SelLength();
    // As one typed change of the whole text, so that the box's own undo (Ctrl+Z) takes it back.
    box.SetSel(0, static_cast<int32_t>(before.size()));
    box.SetSelText(replaced);
    // A box without room keeps the old text (and gets back its selection); the caller tells the user.
    after = box.GetText();
    if (after.size() != replaced.size()) {
        box.SetSel(selStart, selLength);
        throw std::bad_alloc();
    }
}

Text rep::SALine(int32_t& start, int32_t& end) {
    TextBox& box = m_Editor.ActiveEditor();
    Text text = box.GetText();
    const base::WipedIf wiped(text, m_Editor.Secret());
    int64_t s = 0, e = 0;
    find::FLText(text, box.SelStart(), s, e);
    start = static_cast<int32_t>(s);
    end = static_cast<int32_t>(e);
    return e > s ? text.substr(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s)) : Text();
}
