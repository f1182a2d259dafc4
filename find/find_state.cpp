// The find settings shared by the editor keys and the Find/Replace window.
// Only the numeric reading of the match-case text lives here.
#include "find/find_state.h"

int FindState::MatchCaseValue() const {
    int value = 0;
    std::size_t i = 0;
    while (i < MatchCase.size() && MatchCase[i] == u' ') ++i;
    for (; i < MatchCase.size() && MatchCase[i] >= u'0' && MatchCase[i] <= u'9'; ++i) {
        value = value * 10 + (MatchCase[i] - u'0');
        if (value > 1000) break;  // only 0 and 1 matter; keep it from overflowing
    }
    return value;
}
