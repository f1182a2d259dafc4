#include "base/edit_history.h"

#include <algorithm>

#include "base/text.h"

namespace base {

namespace {

// s with more appended (or put in front), the old memory wiped: a secret typed letter by letter leaves no
// shorter copies of itself behind. Room doubles, so typing stays linear.
void Grow(Text& s, std::u16string_view more, bool front) {
    if (s.size() + more.size() <= s.capacity()) {
        s.insert(front ? 0 : s.size(), more);  // in place: nothing is given back
        return;
    }
    Text grown;
    grown.reserve(std::max(s.size() + more.size(), 2 * s.capacity()));
    if (front) grown.append(more);
    grown.append(s);
    if (!front) grown.append(more);
    Wipe(s);
    s.swap(grown);
}

size_t TextBytes(const Text& t) { return t.capacity() * sizeof(char16_t); }

}  // namespace

size_t EditStep::Bytes() const {
    size_t bytes = sizeof(EditStep) + pieces.capacity() * sizeof(EditPiece);
    for (const EditPiece& p : pieces) bytes += TextBytes(p.removed) + TextBytes(p.inserted);
    return bytes;
}

std::vector<int32_t> OffsetsAfter(const EditStep& step) {
    std::vector<int32_t> offsets;
    offsets.reserve(step.pieces.size());
    int64_t shift = 0;
    for (const EditPiece& p : step.pieces) {
        offsets.push_back(static_cast<int32_t>(p.at + shift));
        shift += static_cast<int64_t>(p.inserted.size()) - static_cast<int64_t>(p.removed.size());
    }
    return offsets;
}

bool ApplyStep(std::u16string_view text, const EditStep& step, bool forward, Text& out) {
    const std::vector<int32_t> after = OffsetsAfter(step);
    // Checked whole before anything is made: pieces in order, inside the text, each holding what it says.
    size_t size = text.size(), from = 0;
    for (size_t i = 0; i < step.pieces.size(); ++i) {
        const EditPiece& p = step.pieces[i];
        const Text& here = forward ? p.removed : p.inserted;
        const Text& there = forward ? p.inserted : p.removed;
        const int32_t at = forward ? p.at : after[i];
        if (at < 0 || static_cast<size_t>(at) < from || static_cast<size_t>(at) + here.size() > text.size() ||
            text.substr(static_cast<size_t>(at), here.size()) != here)
            return false;
        from = static_cast<size_t>(at) + here.size();
        size = size - here.size() + there.size();
    }
    Text made;
    made.reserve(size);  // exactly: a secret text is made once, with no copies left in freed memory
    from = 0;
    for (size_t i = 0; i < step.pieces.size(); ++i) {
        const EditPiece& p = step.pieces[i];
        const size_t at = static_cast<size_t>(forward ? p.at : after[i]);
        made.append(text.substr(from, at - from));
        made.append(forward ? p.inserted : p.removed);
        from = at + (forward ? p.removed : p.inserted).size();
    }
    made.append(text.substr(from));
    Wipe(out);
    out.swap(made);
    return true;
}

void EditHistory::Typed(TextEdit edit, int64_t now) {
    if (edit.kind == EditKind::Unknown) {
        Clear();  // what came before can no longer be put back where it was
        return;
    }
    const int32_t at = edit.at;
    const auto removed = static_cast<int32_t>(edit.removed.size());
    const bool goesOn =
        m_Open && m_Done == m_Steps.size() && edit.kind == m_OpenKind && now - m_OpenTime <= kTypingPause;
    if (goesOn && edit.kind == EditKind::Typing && removed == 0 && at == m_OpenEnd) {
        EditPiece& piece = m_Steps.back().pieces.back();
        m_Bytes -= TextBytes(piece.inserted);
        Grow(piece.inserted, edit.inserted, false);
        m_Bytes += TextBytes(piece.inserted);
        m_OpenEnd += static_cast<int32_t>(edit.inserted.size());
        m_OpenTime = now;
        Wipe(edit.inserted);
        return;
    }
    const bool backward = at + removed == m_OpenEnd, forward = at == m_OpenEnd;
    if (goesOn && edit.kind == EditKind::Deleting && edit.inserted.empty() && (backward || forward)) {
        EditPiece& piece = m_Steps.back().pieces.back();
        m_Bytes -= TextBytes(piece.removed);
        Grow(piece.removed, edit.removed, backward);
        m_Bytes += TextBytes(piece.removed);
        if (backward) piece.at = m_OpenEnd = at;
        m_OpenTime = now;
        Wipe(edit.removed);
        return;
    }
    EditStep step;
    step.selStart = edit.selStart;
    step.selLength = edit.selLength;
    step.pieces.resize(1);
    step.pieces[0].at = at;
    step.pieces[0].removed.swap(edit.removed);
    step.pieces[0].inserted.swap(edit.inserted);
    const int32_t end = at + static_cast<int32_t>(step.pieces[0].inserted.size());
    Push(std::move(step));
    m_Open = edit.kind == EditKind::Typing || edit.kind == EditKind::Deleting;
    m_OpenKind = edit.kind;
    m_OpenEnd = end;
    m_OpenTime = now;
}

void EditHistory::Add(EditStep step) {
    Push(std::move(step));
    m_Open = false;
}

void EditHistory::CaretAt(int32_t caret) {
    if (caret != m_OpenEnd) m_Open = false;
}

const EditStep* EditHistory::Undo() {
    m_Open = false;
    return m_Done == 0 ? nullptr : &m_Steps[--m_Done];
}

const EditStep* EditHistory::Redo() {
    m_Open = false;
    return m_Done == m_Steps.size() ? nullptr : &m_Steps[m_Done++];
}

void EditHistory::Clear() {
    for (EditStep& step : m_Steps) Drop(step);
    m_Steps.clear();
    m_Done = 0;
    m_Bytes = 0;
    m_Open = false;
}

void EditHistory::Push(EditStep step) {
    // A new change ends what was undone: it can no longer be done again.
    while (m_Steps.size() > m_Done) {
        Drop(m_Steps.back());
        m_Steps.pop_back();
    }
    m_Bytes += step.Bytes();
    m_Steps.push_back(std::move(step));
    m_Done = m_Steps.size();
    while (m_Bytes > kKeptBytes && m_Steps.size() > 1) {
        Drop(m_Steps.front());
        m_Steps.pop_front();
        --m_Done;
    }
}

void EditHistory::Drop(EditStep& step) {
    m_Bytes -= std::min(m_Bytes, step.Bytes());
    for (EditPiece& p : step.pieces) {
        Wipe(p.removed);
        Wipe(p.inserted);
    }
}

}  // namespace base
