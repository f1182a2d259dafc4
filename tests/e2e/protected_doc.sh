#!/usr/bin/env bash
# A protected document named on the command line: the password prompt before the window, the text, an edit,
# F2, and the masked bytes on disk (the same bytes the host tests pin for these texts and this password).
source "$(dirname "$0")/lib.sh"
e2e_setup

DOCS="$WINEPREFIX/drive_c/my docs"
mkdir -p "$DOCS"
# "Hello" under the password "abc".
unhex 'e5ce0715154b6d69' >"$DOCS/note.txs"

# The path holds a space, so it arrives in double quotes, which the program removes.
ll_start_nowait 'C:\my docs\note.txs'
wait_for_window "Lockleaf"
check "the prompt comes before the main window" "$(probe windows 'note.txs - Lockleaf 1.0')" "0"
check "the prompt asks for the password" \
  "$(probe child Lockleaf Static | cut -f2 | grep -c 'Please enter PASSWORD !')" "1"
shot prompt
type_text "^Lockleaf$" "abc"
keys "^Lockleaf$" Return

ll_wait_window
eventually "note.txs - Lockleaf 1.0" probe caption || true
check "caption names the document" "$(probe caption)" "note.txs - Lockleaf 1.0"
check "the unmasked text is shown" "$(probe text)" "Hello"

probe setsel 5 0 >/dev/null
type_text "note.txs" " world"
eventually "Hello world" probe text || true
check "the edit reaches the editor" "$(probe text)" "Hello world"
check "an edit marks the document" "$(probe caption)" "note.txs * - Lockleaf 1.0"

keys "note.txs" F2
eventually "note.txs - Lockleaf 1.0" probe caption || true
check "F2 saves and clears the mark" "$(probe caption)" "note.txs - Lockleaf 1.0"
check "the file holds the masked password and text" "$(hex "$DOCS/note.txs")" \
  "e5ce0715154b6d692d2f15681a6d"
check "nothing else is left in the folder" "$(ls -A "$DOCS")" "note.txs"
check "no prompt on a save with the remembered password" "$(probe windows Lockleaf)" "0"
shot saved

probe post main 1005 >/dev/null   # File > Exit
ll_wait_exit || true
e2e_done
