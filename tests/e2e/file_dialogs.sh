#!/usr/bin/env bash
# File > Open and File > Save As on the real window: the common dialogs' title and file types, Cancel leaving
# the editor alone, a Save As into a protected file with the type's extension appended, and reopening it.
source "$(dirname "$0")/lib.sh"
e2e_setup

# Control ids of the common dialog's explorer layout.
TYPES=1136      # file type list
NAME=1148       # file name box (cmb13; the Save dialog with an Encoding list has edt1, 1152)
READONLY=1040   # "Open as read-only"
DOCS="$WINEPREFIX/drive_c/docs"
mkdir -p "$DOCS"

dialog_gone() { [ "$(probe windows Lockleaf)" = 0 ] && echo gone; }
readonly_box() { probe child Lockleaf Button | awk -F'\t' '$2 == "Open as &read-only" { print $3 }'; }
password_prompt() { probe child Lockleaf Static | cut -f2 | grep -c 'Please enter PASSWORD !'; }
# The dialog fills its type list after it shows.
open_dialog() {
  probe post main "$1" >/dev/null
  wait_for_window Lockleaf
  # An edited document is asked about first; Don't Save (a cancelled dialog still leaves the text).
  if [ "$(said | cut -c1-19)" = "Do you want to save" ]; then
    keys "^Lockleaf$" n
    sleep 0.5
    wait_for_window Lockleaf
  fi
  eventually 1 sh -c "[ -n \"\$(probe items Lockleaf $TYPES)\" ] && echo 1" || true
}

ll_start
type_text "Lockleaf" "secret words"
eventually "secret words" probe text || true
check "typed text reaches the editor" "$(probe text)" "secret words"

open_dialog 1001   # File > Open...
check "the Open dialog carries the product name" "$(probe visible | awk -F'\t' '$1 == "#32770" { print $2 }')" "Lockleaf"
check "the Open dialog lists the supported types, the first preselected" "$(probe items Lockleaf $TYPES)" \
  "> All Supported Files (*.TXS, *.TXSE, *.TXT)
Secret Files (*.TXS)
Sealed Files (*.TXSE)
Text Files (*.TXT)
All Files (*.*)"
check "before any Save As the Open dialog offers read-only" "$(readonly_box)" "1"
shot open
probe post Lockleaf 2 >/dev/null   # Cancel
eventually gone dialog_gone || true
check "Cancel closes the Open dialog" "$(probe windows Lockleaf)" "0"
check "Cancel leaves the text" "$(probe text)" "secret words"
check "Cancel leaves the document untitled" "$(probe caption)" "Lockleaf 1.0"

open_dialog 1003   # File > Save As...
check "the Save As dialog lists its types, Secret Files preselected" "$(probe items Lockleaf $TYPES)" \
  "> Secret Files (*.TXS)
Sealed Files (*.TXSE)
Text Files (*.TXT)
All Files (*.*)"
probe pick Lockleaf $TYPES 0 >/dev/null
probe items Lockleaf $NAME >/dev/null 2>&1 || NAME=1152
probe setchild Lockleaf $NAME 'C:\docs\memo' >/dev/null
shot save-as
probe post Lockleaf 1 >/dev/null   # Save
eventually 1 password_prompt || true
check "a protected save asks for the password" "$(password_prompt)" "1"
type_text "^Lockleaf$" "pw1"
keys "^Lockleaf$" Return
again_prompt() { said | grep -c 'the same PASSWORD again'; }
eventually 1 again_prompt || true
check "and asks for it again" "$(again_prompt)" "1"
type_text "^Lockleaf$" "pw1"
keys "^Lockleaf$" Return
eventually "memo.txs - Lockleaf 1.0" probe caption || true
check "the dialog appended the chosen type's extension" "$(ls -A "$DOCS")" "memo.txs"
check "the caption names the saved document" "$(probe caption)" "memo.txs - Lockleaf 1.0"
check "the file is not the plain text" "$(grep -c 'secret words' "$DOCS/memo.txs" || true)" "0"
check "the file holds the masked password and text" "$(stat -c %s "$DOCS/memo.txs")" "15"

open_dialog 1001   # Open after Save As: its flags and the document's own type carry over
check "Open after Save As preselects Secret Files" "$(probe items Lockleaf $TYPES | grep '^> ')" \
  "> Secret Files (*.TXS)"
check "Open after Save As hides read-only" "$(readonly_box)" "0"
probe post Lockleaf 2 >/dev/null
eventually gone dialog_gone || true

probe post main 1005 >/dev/null   # File > Exit
ll_wait_exit || true

ll_start_nowait 'C:\docs\memo.txs'
wait_for_window Lockleaf
check "reopening asks for the password" "$(password_prompt)" "1"
type_text "^Lockleaf$" "pw1"
keys "^Lockleaf$" Return
ll_wait_window
eventually "memo.txs - Lockleaf 1.0" probe caption || true
check "the reopened document is named" "$(probe caption)" "memo.txs - Lockleaf 1.0"
check "the text reopens after the password" "$(probe text)" "secret words"
shot reopened

probe post main 1005 >/dev/null
ll_wait_exit || true
e2e_done
