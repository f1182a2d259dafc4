// The find settings shared by the editor keys and the Find/Replace window.
// They outlive the window, so F3, Ctrl+F3 and F4 keep working after it closes.
#pragma once
#include "platform/ports.h"

struct FindState {
    Text MatchCase;    // "1" ticked, "0" unticked, empty until first clicked
    Text FindText;     // empty: nothing to search for
    Text ReplaceText;  // may be empty
    Text ReplaceMode;  // empty: Find mode, "1": Replace mode

    // The box's value as a number; anything that is not a leading run of digits counts as 0.
    int MatchCaseValue() const;
    bool ExactFind() const { return 1 - MatchCaseValue() == 0; }
};

namespace find {
inline FindState g_FindState;
}  // namespace find
