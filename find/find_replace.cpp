// The operations of the Find/Replace window: find next, replace selection, replace step, replace all,
// word at the caret. They work on the editor's active text box and the shared find settings.
#include "find/find_replace.h"

#include <new>
#include <optional>

#include "base/text.h"
#include "find/search.h"

FindReplace::FindReplace(FindEditor& editor, Locale& locale, Prompts& prompts, FindReplaceHost* host)
    : m_Editor(editor), m_Locale(locale), m_Prompts(prompts), m_Host(host) {}

int32_t FindReplace::SelectNext() {
    const FindState& fs = m_State;
    if (fs.FindText.empty()) return 0;
    TextBox& box = m_Editor.ActiveEditor();
    const auto from = static_cast<std::size_t>(box.SelStart()) + static_cast<std::size_t>(box.SelLength());
    // The locale's lower case is read before the box lends its text, which is searched where it lies.
    std::optional<find::CaseFold> fold;
    if (!fs.MatchCase) fold.emplace(m_Locale, fs.FindText);
    std::ptrdiff_t hit = -1;
    box.ReadText([&](std::u16string_view text) {
        hit = find::FindNext(text, from, fs.FindText, fold ? &*fold : nullptr);
    });
    if (hit < 0) {
        box.SetSel(0, 0);
        return 0;
    }
    box.SetSel(static_cast<int32_t>(hit), static_cast<int32_t>(fs.FindText.size()));
    return 1;
}

int32_t FindReplace::FindAgain() {
    const int32_t found = SelectNext();
    m_Editor.ActiveEditor().SetFocus();
    return found;
}

void FindReplace::ReplaceSelection() {
    TextBox& box = m_Editor.ActiveEditor();
    if (!m_State.ReplaceMode || box.SelLength() == 0) return;
    base::EditStep step;
    step.selStart = box.SelStart();
    step.selLength = box.SelLength();
    step.pieces.push_back({step.selStart, box.SelText(), m_State.ReplaceText});
    box.SetSelText(m_State.ReplaceText);
    m_Editor.Did(std::move(step));
}

bool FindReplace::ConfirmEmptyReplacement() {
    if (!m_State.ReplaceText.empty()) return true;
    return m_Prompts.Message(u"Are you sure to replace words to empty ?", MsgButtons::YesNo,
                             MsgIcon::Exclamation) == MsgResult::Yes;
}

void FindReplace::PressReplace() {
    FindState& fs = m_State;
    if (!fs.ReplaceMode) {
        fs.ReplaceMode = true;
        if (m_Loaded) {
            m_Controls.window->SetCaption(u"Replace");
            ReForm();
        }
        return;
    }
    if (m_Editor.ActiveEditor().SelText().empty()) {
        FindAgain();
        if (m_Editor.ActiveEditor().SelText().empty()) return;
    }
    if (!ConfirmEmptyReplacement()) return;
    ReplaceSelection();
    FindAgain();
}

void FindReplace::ReplaceAll() {
    if (!ConfirmEmptyReplacement()) return;
    const FindState& fs = m_State;
    TextBox& box = m_Editor.ActiveEditor();
    // Only the new text is made, straight from the box's own; nothing when it would be the same text.
    Text replaced;
    const base::WipedIf wiped(replaced, m_Editor.Secret());
    std::vector<int32_t> matches;  // where each match starts, for the undo's step
    box.ReadText([&](std::u16string_view text) {
        if (fs.FindText == fs.ReplaceText) return;
        for (std::ptrdiff_t at = find::FindExact(text, 0, fs.FindText); at >= 0;
             at = find::FindExact(text, static_cast<std::size_t>(at) + fs.FindText.size(), fs.FindText))
            matches.push_back(static_cast<int32_t>(at));
        if (!matches.empty()) find::ReplaceAllExact(text, fs.FindText, fs.ReplaceText, replaced);
    });
    if (matches.empty()) return;
    base::EditStep step;
    step.pieces.reserve(matches.size());
    for (const int32_t at : matches) step.pieces.push_back({at, fs.FindText, fs.ReplaceText});
    step.selStart = box.SelStart();
    step.selLength = box.SelLength();
    // The box takes the new text whole, as it takes a document (a secret one into a fresh buffer, the old
    // wiped): replacing a selection of all of it costs the box a quarter more and scrolls it to the end. The
    // box's own undo goes with it; the document's history takes the change back.
    // A box without room keeps its old text, and gets back its selection; the caller tells the user.
    if (!(m_Editor.Secret() ? box.ReplaceWiping(replaced) : box.SetText(replaced))) {
        box.SetSel(step.selStart, step.selLength);
        throw std::bad_alloc();
    }
    box.SetSel(0, 0);
    m_Editor.Did(std::move(step));
}

Text FindReplace::WordAtCaret(int32_t& start, int32_t& end) {
    TextBox& box = m_Editor.ActiveEditor();
    const int32_t caret = box.SelStart();
    int64_t s = 0, e = 0;
    Text word;
    box.ReadText([&](std::u16string_view text) {
        find::FLText(text, caret, s, e);
        if (e > s) word.assign(text.substr(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s)));
    });
    start = static_cast<int32_t>(s);
    end = static_cast<int32_t>(e);
    return word;
}
