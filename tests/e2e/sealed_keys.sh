#!/usr/bin/env bash
# Whose password seals a document, as a keyboard user meets it: a protected file opened with its password,
# then an empty sealed file, typed into, F2: a new password is asked for (never the protected one), in a masked
# box that gives nothing to the clipboard; Esc writes nothing; the password twice gives a file that Python opens
# with it and not with the protected one. A file Python sealed with 100,000 iterations is re-sealed by F2 at
# 600,000 under a new salt and still opens.
source "$(dirname "$0")/lib.sh"
e2e_setup
D=$APP_DIR
FIX=$REPO/tests/fixtures/sealed
sealed() { python3 "$FIX/sealed.py" "$@"; }
P=abc              # the protected file's password, which that file gives away
Q='Ключ-7'         # the new document's own
W='weak-ů'
unhex 'e5ce0715154b6d69' >"$D/note.txs"   # "Hello" under abc
: >"$D/new.txse"
printf 'weak text' >"$E2E_TMP/weak.txt"
sealed seal "$W" "$E2E_TMP/weak.txt" "$D/weak.txse" 100000

menu() { press F10 Down "$@" Return; }  # File menu: New, Open..., Save, Save As...
dialog() { wait_for_window Lockleaf || true; sleep 0.5; }
caption_is() { eventually "$1" probe caption || true; check "$2" "$(probe caption)" "$1"; }
box() { probe secret Lockleaf; }   # masked=0|1 bullet=0|1 length=N of the prompt's box
opened() { sealed open "$1" "$2" "$E2E_TMP/plain" 2>/dev/null && od -An -tx1 "$E2E_TMP/plain" | tr -d ' \n'; }
as_hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }

ll_start
focus_window "Lockleaf 1.0"
menu Down; dialog                                   # Open...
typed 'note.txs'; press Return
dialog
check "the password prompt's box is masked and empty" "$(box)" "masked=1 bullet=1 length=0"
typed_each box "$P"
check "it shows only bullets for what was typed" "$(box)" "masked=1 bullet=1 length=3"
press Home shift+End ctrl+c
check "copying out of it gives the clipboard nothing" "$(probe clipboard)" ""
press Return
caption_is "note.txs - Lockleaf 1.0" "the protected file opens with its password"
eventually "Hello" probe text || true
check "its text" "$(probe text)" "Hello"
press ctrl+Home shift+End ctrl+c
check "the same keys do copy from the document" "$(probe clipboard)" "Hello"

menu Down; dialog
typed 'new.txse'; press Return
caption_is "new.txse - Lockleaf 1.0" "an empty sealed file opens"
check "without a password asked" "$(probe windows Lockleaf)" "0"
typed_each editor_box 'plans ก'
press F2; dialog
check "F2 asks for a new password" "$(said)" "Please enter PASSWORD !"
check "in a masked box" "$(box)" "masked=1 bullet=1 length=0"
press Escape; dialog
check "Esc: told that nothing was saved" "$(said)" "Your file has NOT been saved."
press Return
caption_is "new.txse * - Lockleaf 1.0" "the document stays modified"
check "and nothing was written" "$(wc -c <"$D/new.txse")" "0"

press F2; dialog
typed_each box "$Q"; press Return
dialog
check "the password is asked again" "$(said)" "Please enter the same PASSWORD again !"
typed_each box "$Q"; press Return
caption_is "new.txse - Lockleaf 1.0" "saved under the new password"
check "Python opens it with that password" "$(opened "$Q" "$D/new.txse")" "$(as_hex 'plans ก')"
check "and not with the protected file's" "$(opened "$P" "$D/new.txse" || echo refused)" "refused"
shot sealed

read -r _ _ n0 salt0 _ <<<"$(sealed header "$D/weak.txse")"
menu Down; dialog
typed 'weak.txse'; press Return
dialog; typed_each box "$W"; press Return
caption_is "weak.txse - Lockleaf 1.0" "a file sealed with 100,000 iterations opens"
press ctrl+End; typed_each editor_box '!'
press F2
caption_is "weak.txse - Lockleaf 1.0" "F2 saves it without a question"
read -r _ _ n salt _ <<<"$(sealed header "$D/weak.txse")"
check "re-sealed at 600,000 iterations under a new salt" \
  "$n0 $n $([ "$salt" != "$salt0" ] && echo new-salt)" "100000 600000 new-salt"
check "and still opens with its password" "$(opened "$W" "$D/weak.txse")" "$(as_hex 'weak text!')"
check "nothing else was left beside the documents" \
  "$(ls -A "$D" | grep -v -e '\.txse$' -e '\.txs$' -e '^php$' -e '^banner$' -e '^lockleaf\.exe$' || true)" ""
e2e_done
