// Undo and redo: the document's history of changes, fed by the user's edits in the box and by the find
// operations, put back through the box.
#include <new>

#include "app/editor.h"
#include "base/memory_guard.h"
#include "base/text.h"
#include "platform/trace.h"

namespace {

// Up to this many pieces a step goes back piece by piece, as typing would; more (a Replace All) make the
// whole text once instead: each piece costs the box a pass over the text after it, the whole text one text's
// size for the command's length.
constexpr size_t kPiecesOneByOne = 4;

}  // namespace

void Editor::OnTextEdit(int, TextEdit& edit) {
    m_History.Typed(std::move(edit), m_Platform.clock.MonotonicMilliseconds());
}

void Editor::Did(base::EditStep step) { m_History.Add(std::move(step)); }

void Editor::Undo() {
    const Command running(*this);
    if (!Ready()) return;
    if (const base::EditStep* step = m_History.Undo()) Apply(*step, false);
}

void Editor::Redo() {
    const Command running(*this);
    if (!Ready()) return;
    if (const base::EditStep* step = m_History.Redo()) Apply(*step, true);
}

void Editor::Apply(const base::EditStep& step, bool forward) {
    TextBox& box = ActiveEditor();
    const std::vector<int32_t> after = base::OffsetsAfter(step);
    bool fits = true;
    const bool done = base::WithMemory(m_Platform.prompts, forward ? kRedoCommand : kUndoCommand, [&] {
        if (step.pieces.size() <= kPiecesOneByOne) {
            // The last first: every piece before it keeps its offset.
            for (size_t i = step.pieces.size(); i-- > 0;) {
                const base::EditPiece& p = step.pieces[i];
                const Text& here = forward ? p.removed : p.inserted;
                box.SetSel(forward ? p.at : after[i], static_cast<int32_t>(here.size()));
                box.SetSelText(forward ? p.inserted : p.removed);
            }
            return;
        }
        Text whole;
        const base::WipedIf wiped(whole, Secret());
        size_t length = 0;
        box.ReadText([&](std::u16string_view text) {
            length = text.size();
            fits = base::ApplyStep(text, step, forward, whole);
        });
        if (!fits) return;
        box.SetSel(0, static_cast<int32_t>(length));
        box.SetSelText(whole);
        size_t now = 0;
        box.ReadText([&](std::u16string_view text) { now = text.size(); });
        if (now != whole.size()) throw std::bad_alloc();  // a box without room kept the text it had
    });
    if (!fits) {
        // The box holds something the history does not know: nothing of it can be put back any more.
        platform::Trace(u"the undo history does not fit the text; it is let go");
        m_History.Clear();
        return;
    }
    if (!done) {
        // The step stays where it was, to be tried again.
        if (forward)
            m_History.Undo();
        else
            m_History.Redo();
        return;
    }
    if (!forward) {
        box.SetSel(step.selStart, step.selLength);
    } else if (!step.pieces.empty()) {
        box.SetSel(after.back() + static_cast<int32_t>(step.pieces.back().inserted.size()), 0);
    }
}
