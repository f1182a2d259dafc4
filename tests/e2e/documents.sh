#!/usr/bin/env bash
# Documents as a keyboard user handles them, through the real dialogs and prompts: a cancelled password on F2
# never sends the text to an earlier file, and on Open keeps the unsaved text; NUL bytes survive a load and a
# save; dropped files open (the first of several) and the caption names what F2 writes; a reload lets the next
# edit count. Then the session ends (asking about the edit, placement stored), and a start maximized, over a
# stored placement no screen can hold.
source "$(dirname "$0")/lib.sh"
e2e_setup
D=$APP_DIR
printf 'first' > "$D/A.txt"
printf 'abc\0def' > "$D/bytes.txt"
printf 'dropped' > "$D/C.txt"
printf 'other' > "$D/E.txt"
: > "$D/empty.txt"
menu() { press F10 Down "$@" Return; }  # File menu: New, Open..., Save, Save As...
dialog() { wait_for_window Lockleaf || true; sleep 0.5; }
caption_is() { eventually "$1" probe caption || true; check "$2" "$(probe caption)" "$1"; }
bytes() { od -An -c "$1" | tr -s ' \n' ' '; }
drop() { local l t w h; read -r l t w h <<<"$(probe rect)"; drop_files $((l + w / 2)) $((t + h / 2)) "$@"; }

ll_start 'C:\Lockleaf\A.txt'
focus_window "A.txt - Lockleaf"
menu Down Down Down; dialog             # Save As...
typed 'C:\Lockleaf\B.txt'; press Return
caption_is "B.txt - Lockleaf 1.0" "Save As to a plain name"
menu                                    # New: nothing edited, nothing asked
typed secret
press F2; dialog                        # untitled: Save As
typed 'new.txs'; press Return
dialog; press Escape                    # the password prompt, cancelled
dialog; press Return                    # "Your file has NOT been saved."
caption_is "Lockleaf 1.0" "a cancelled password names nothing"
press F2; dialog
typed 'new.txs'; press Return
dialog; typed pw; press Return
dialog; typed pw; press Return          # a new password, typed twice
caption_is "new.txs - Lockleaf 1.0" "the next F2 saves under that name"
check "the earlier files are untouched" "$(cat "$D/A.txt")/$(cat "$D/B.txt")" "first/first"
check "the protected file holds password and text" "$(stat -c %s "$D/new.txs" 2>/dev/null)" "8"
menu                                    # New, then a draft not saved anywhere
typed draft
menu Down; dialog                       # Open... asks first
press n; dialog                         # Don't Save
typed 'new.txs'; press Return
dialog; press Escape                    # its password prompt, cancelled
dialog; press Return                    # "Your file has NOT been opened."
typed '!'
eventually "draft!" probe text || true
check "a cancelled password on Open keeps the unsaved draft, and typing goes on" "$(probe text)" "draft!"

menu Down; dialog; press n; dialog
typed 'bytes.txt'; press Return
caption_is "bytes.txt - Lockleaf 1.0" "a document with a NUL byte opens"
check "the NUL shows as its symbol" "$(probe text)" "abc␀def"
press ctrl+End; typed '!'; press F2
caption_is "bytes.txt - Lockleaf 1.0" "and saves"
check "every byte written back" "$(bytes "$D/bytes.txt")" "$(printf 'abc\0def!' | bytes /dev/stdin)"

drop "$D/C.txt" "$D/E.txt"
caption_is "C.txt - Lockleaf 1.0" "a drop of two files opens the first"
check "its text" "$(probe text)" "dropped"
drop "$D/C.txt"
typed '!'
caption_is "C.txt * - Lockleaf 1.0" "after a reload of the same text the first edit counts"
drop "$D/empty.txt"
dialog; press n                         # the edit: Don't Save
caption_is "empty.txt - Lockleaf 1.0" "a dropped empty file is the document F2 writes"
check "and shows its (empty) text" "$(probe text)" ""
check "the edit was not saved" "$(cat "$D/C.txt")" "dropped"

typed 'x'
RECT=$(probe rect)
(wine_run wineboot --end-session &)
dialog
check "the end of the session asks about the edit" "$(said)" \
  "Do you want to save changes to empty.txt?"
press y
ll_wait_exit || true
check "and Save writes it" "$(cat "$D/empty.txt")" "x"
check "the end of the session stored the placement" "$(reg_value 'HKLM\SOFTWARE\tarvik' position | cut -d, -f3-)" \
  "$(awk '{ printf "%d,%d", $3 * 15, $4 * 15 }' <<<"$RECT")"

wine_run reg add 'HKLM\SOFTWARE\tarvik' /v position /t REG_SZ /d "0,0,3E+38,3E+38" /f >/dev/null
(cd "$D" && exec "$LOCKLEAF_WINE" start /wait /max lockleaf.exe </dev/null >>"$E2E_TMP/wine.log" 2>&1) &
LL_PID=$!
ll_wait_window
check "a start maximized shows the window maximized" "$(probe state)" "max"
check "a placement no screen can hold is ignored" "$(probe caption)" "Lockleaf 1.0"
shot end
e2e_done
