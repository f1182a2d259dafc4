#!/usr/bin/env bash
# A keyboard user's session: the window is focused once at start, then keys alone. After every menu command,
# dialog and message box the typing goes on in the text; F3, Ctrl+F3 and F4 work in the text box; a question
# of the Find window blocks it until answered; F2 writes what the user sees.
source "$(dirname "$0")/lib.sh"
e2e_setup
printf 'alpha beta alpha beta' > "$APP_DIR/notes.txt"
ll_start 'C:\Lockleaf\notes.txt'
focus_window "notes.txt - Lockleaf"
text_is() { eventually "$1" probe text || true; check "$2" "$(probe text)" "$1"; }

press ctrl+F3
check "Ctrl+F3 finds the word at the caret" "$(probe sel)" "0 5"
press F3
check "F3 finds the next one" "$(probe sel)" "11 5"

press F10 Right Down Down Return    # Edit > Word Wrap
typed 1
text_is "alpha beta 1 beta" "typing goes on after Word Wrap, over the selection kept"
press F10 Right Right Down Return   # Help > About
wait_for_window "Lockleaf" || true
press Return
typed 2
text_is "alpha beta 12 beta" "typing goes on after About closed with Enter"
press F10 Down Down Return          # File > Open...
wait_for_window "Lockleaf" || true
press Escape
typed 3
text_is "alpha beta 123 beta" "typing goes on after Open closed with Esc"
press ctrl+f
wait_for_window "Find" || true
press Escape
typed 4
text_is "alpha beta 1234 beta" "typing goes on after Find closed with Esc"
press ctrl+f
wait_for_window "Find" || true
press shift+Tab shift+Tab space     # Cancel
typed 5
text_is "alpha beta 12345 beta" "typing goes on after Find's Cancel"

press ctrl+f
wait_for_window "Find" || true
press Delete F3                     # search for nothing
wait_for_window "Lockleaf" || true
check "the question blocks the Find window" "$(probe enabled Find)" "0"
press Return
check "the Find window takes input again" "$(probe enabled Find)" "1"
typed beta
check "the focus is back in the search box" "$(probe focus)" "$(printf 'Edit\tbeta\tFind')"
press Tab Tab Tab space             # Replace: switch to Replace mode
wait_for_window "Replace" || true
press shift+Tab shift+Tab           # the replacement box
typed BETA
press F3                            # find next with both words taken
check "F3 in the Find window selects the next match in the text" "$(probe sel)" "17 4"
press F4
text_is "alpha beta 12345 BETA" "F4 in the text replaces the selection"
press F2
eventually "notes.txt - Lockleaf 1.0" probe caption || true
check "F2 wrote what the user sees" "$(cat "$APP_DIR/notes.txt")" "alpha beta 12345 BETA"
check "and the caption says so" "$(probe caption)" "notes.txt - Lockleaf 1.0"
shot end
e2e_done
