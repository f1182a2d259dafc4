// The find settings shared by the editor keys and the Find/Replace window. The find operations (FindReplace)
// hold them, so they outlive the window: F3, Ctrl+F3 and F4 keep working after it closes.
#pragma once
#include "platform/ports.h"

struct FindState {
    bool MatchCase = false;  // the "Match case" box: off until ticked
    Text FindText;           // empty: nothing to search for
    Text ReplaceText;        // may be empty
    bool ReplaceMode = false;
};
