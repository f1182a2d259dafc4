#!/usr/bin/env bash
# A secret never lands in a plain file and a password always reopens, by keys alone: Save As to a protected
# name asks the password twice (two different ones write nothing), refuses one the file cannot hold, and the
# password a user remembers opens a file an earlier copy saved with "?" in it. Opening an empty file or a
# missing name leaves a caption that names what F2 writes; a character the code page lacks is never saved as
# "?" without a question; Replace All is taken back by Ctrl+Z; a folder with a dot in its name is no extension.
# A completed save sends a cut-off save's old temp to the Recycle Bin, and leaves one whose document is gone.
source "$(dirname "$0")/lib.sh"
e2e_setup
D=$APP_DIR
: > "$D/e.txt"
printf 'old text' > "$D/plain.txt"
mkdir -p "$WINEPREFIX/drive_c/v1.2"
printf 'readme' > "$WINEPREFIX/drive_c/v1.2/README"
wine_run "$BUILD/make_txs.exe" 'C:\Lockleaf\plain.txt' 'M?ller1' 'C:\Lockleaf\legacy.txs'
printf 'cut off' > "$D/~ll0A1B2.plain.txt.tmp"
printf 'only copy' > "$D/~ll0A1B3.gone.txt.tmp"
touch -d '3 hours ago' "$D/~ll0A1B2.plain.txt.tmp" "$D/~ll0A1B3.gone.txt.tmp"
menu() { press F10 Down "$@" Return; }  # File menu: New, Open..., Save, Save As..., Exit
dialog() { wait_for_window Lockleaf || true; sleep 0.5; }
caption_is() { eventually "$1" probe caption || true; check "$2" "$(probe caption)" "$1"; }
open_file() { menu Down; dialog; typed "$1"; press Return; }

ll_start
focus_window "Lockleaf"
typed 'top secret'
menu Down Down Down; dialog             # Save As...
typed 'C:\Lockleaf\s.txs'; press Return
dialog; typed one; press Return
dialog; typed two; press Return
dialog
check "two different passwords are refused" "$(said)" "The two passwords are not the same."
press Return
check "and nothing is written" "$(ls "$D"/s.txs 2>/dev/null | wc -l)" "0"
caption_is "Lockleaf 1.0" "the document stays untitled"
menu Down Down Down; dialog
typed 'C:\Lockleaf\s.txs'; press Return
dialog; typed_each prompt_box 'Müller1'; press Return
dialog
check "a password the file cannot hold is refused" "$(said | cut -c1-40)" \
  "This password has a character that a pro"
press Return
dialog; typed pw; press Return          # the prompt came back
dialog; typed pw; press Return
caption_is "s.txs - Lockleaf 1.0" "the password typed twice saves"
check "as a protected file" "$(stat -c %s "$D/s.txs" 2>/dev/null)" "12"
check "a cut-off save's temp left the folder" "$(ls "$D" | grep -c 'plain.txt.tmp' || true)" "0"
check "for the Recycle Bin" "$(cat "$XDG_DATA_HOME"/Trash/files/~ll0A1B2.plain.txt.tmp* 2>/dev/null)" "cut off"
check "a temp whose document is gone stays" "$(cat "$D/~ll0A1B3.gone.txt.tmp")" "only copy"

open_file 'e.txt'
caption_is "e.txt - Lockleaf 1.0" "an empty file opens under its name"
check "as an empty document" "$(probe text)" ""
open_file 'gone.txt'
dialog
check "a missing name says so" "$(said)" "This file does not exist."
press Return
caption_is "e.txt - Lockleaf 1.0" "and keeps the document shown"
press F2
check "no secret text in any plain file" "$(grep -l 'top secret' "$D"/*.txt 2>/dev/null | wc -l)" "0"

open_file 'legacy.txs'
dialog; typed_each prompt_box 'Müller1'; press Return
caption_is "legacy.txs - Lockleaf 1.0" "the remembered password opens a file saved with \"?\""
check "its text" "$(probe text)" "old text"
BEFORE=$(hex "$D/legacy.txs")
press ctrl+End; typed_each editor_box ' é'
press F2; dialog
check "a character the code page lacks is told" "$(said | cut -c1-12)" "1 character "
press n
caption_is "legacy.txs * - Lockleaf 1.0" "No keeps the document modified"
check "and the file unchanged" "$(hex "$D/legacy.txs")" "$BEFORE"

press BackSpace BackSpace
press ctrl+f; wait_for_window Find || true
typed old
press Tab Tab Tab space                 # Replace: Replace mode
wait_for_window Replace || true
press shift+Tab shift+Tab; typed new    # the replacement box
press Tab Tab Tab space                 # Replace All
press Tab space                         # Cancel
eventually "new text" probe text || true
check "Replace All replaced" "$(probe text)" "new text"
press ctrl+z
eventually "old text" probe text || true
check "Ctrl+Z takes Replace All back" "$(probe text)" "old text"
press F2
caption_is "legacy.txs - Lockleaf 1.0" "F2 needs no password again"
check "and writes the same file" "$(hex "$D/legacy.txs")" "$BEFORE"

open_file 'C:\v1.2\README'
caption_is "README - Lockleaf 1.0" "a file in a folder with a dot opens"
typed '!'; press F2
check "F2 writes it" "$(cat "$WINEPREFIX/drive_c/v1.2/README")" "!readme"
menu Down Down Down; dialog             # Save As...
typed 'C:\v1.2\copy.txt'; press Return
caption_is "copy.txt - Lockleaf 1.0" "Save As from it works"
check "and writes" "$(cat "$WINEPREFIX/drive_c/v1.2/copy.txt" 2>/dev/null)" "!readme"
shot end
e2e_done
