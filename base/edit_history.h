// The document's undo and redo: the changes to its text as steps, each taken back or done again whole.
// A step holds only what it changed (a typed word, a paste, each match of a Replace All), never the document.
#pragma once
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/ports.h"

namespace base {

// removed, at offset at of the text before its step, became inserted.
struct EditPiece {
    int32_t at = 0;
    Text removed, inserted;
};

struct EditStep {
    std::vector<EditPiece> pieces;        // ascending and apart, at offsets of the text before the step
    int32_t selStart = 0, selLength = 0;  // the selection before the step: Undo puts it back
    size_t Bytes() const;
};

// The text with step done (forward) or taken back, made from text as it stands before that, in one pass.
// False, out untouched, when the pieces do not fit text.
bool ApplyStep(std::u16string_view text, const EditStep& step, bool forward, Text& out);
// Where each piece of step lies in the text after it, in the order of the pieces.
std::vector<int32_t> OffsetsAfter(const EditStep& step);

class EditHistory {
public:
    // At least this many bytes of steps are kept before the oldest go; the newest step always stays.
    static constexpr size_t kKeptBytes = size_t{64} << 20;
    // Typing goes on in the same step until a pause longer than this.
    static constexpr int64_t kTypingPause = 1000;

    ~EditHistory() { Clear(); }

    // A change the user made in the box. Typing (or deleting) goes on in the step before it when that was
    // typing (deleting) too, ended where this one starts, and less than kTypingPause ago.
    void Typed(TextEdit edit, int64_t now);
    void Add(EditStep step);  // a change made whole: a Replace, a Replace All
    // The caret stands at caret: a step typed elsewhere takes no more typing.
    void CaretAt(int32_t caret);
    // The step to take back (or do again) and the history moved past it; null when there is none.
    const EditStep* Undo();
    const EditStep* Redo();
    // Empties the history, every text it held overwritten.
    void Clear();
    size_t Steps() const { return m_Steps.size(); }
    size_t Done() const { return m_Done; }

private:
    void Push(EditStep step);
    void Drop(EditStep& step);

    std::deque<EditStep> m_Steps;  // a deque: a step never moves, so its short texts leave no copies behind
    size_t m_Done = 0;             // steps [0, m_Done) are done; the rest were undone and wait for Redo
    size_t m_Bytes = 0;
    // The last step still takes typing of this kind, ending at m_OpenEnd, last typed at m_OpenTime.
    bool m_Open = false;
    EditKind m_OpenKind = EditKind::Typing;
    int32_t m_OpenEnd = 0;
    int64_t m_OpenTime = 0;
};

}  // namespace base
