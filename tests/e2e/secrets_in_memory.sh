#!/usr/bin/env bash
# What a sealed document leaves in the running program's memory once it is let go: its text and its password
# are searched for in every readable page of the process (UTF-16, UTF-8 and the code page), read from outside
# by the probe, after File > New (once straight after the open, once after Word Wrap), after Replace All has
# changed it, while the document is locked, and after typing into a new document. While the document is open
# the same scan finds both, so it is able to see them.
source "$(dirname "$0")/lib.sh"
e2e_setup
D=$APP_DIR
FIX=$REPO/tests/fixtures/sealed
PW='กุญแจ-Orchid-93'
LINE1='First line: ลับมาก alpha-bravo-1'
LINE2='Second line: ประตูหลัง at the willow bench 0417'
printf '%s\r\n%s\r\nthe end\r\n' "$LINE1" "$LINE2" >"$E2E_TMP/vault.txt"
python3 "$FIX/sealed.py" seal "$PW" "$E2E_TMP/vault.txt" "$D/vault.txse"

# Each secret in each form the program could hold it, as hex for the probe.
forms() { python3 -c '
import sys
for what in sys.argv[1:]:
    for codec in ("utf-16-le", "utf-8", "cp874"):
        print(what.encode(codec).hex())' "$@"; }
NAMES=()
for what in "line 1" "line 2" "password"; do for form in UTF-16 UTF-8 "code page"; do NAMES+=("$what ($form)"); done; done
mapfile -t NEEDLES < <(forms "${LINE1#First line: }" "${LINE2#Second line: }" "$PW")
scan() { probe scan "${NEEDLES[@]}"; }
# "name count" for each secret
counts() { paste -d' ' <(printf '%s\n' "${NAMES[@]}" | tr ' ' '_') <(scan); }
found() { counts | awk '$2 > 0 { print $1 }' | tr '_' ' ' | paste -sd, -; }

menu() { press F10 Down "$@" Return; }  # File menu: New, Open...
dialog() { wait_for_window Lockleaf || true; sleep 0.5; }
prompt_length() { probe secret Lockleaf; }  # the box's length only: its text is never read out

open_vault() {
  menu Down; dialog                     # Open...
  typed 'vault.txse'; press Return
  dialog; typed_each prompt_length "$PW"; press Return
  eventually "vault.txse - Lockleaf 1.0" probe caption || true
  check "$1: the sealed document opens under its password" "$(probe caption)" "vault.txse - Lockleaf 1.0"
  sleep 1
  check "$1: control: while it is open the scan finds its lines and its password (UTF-16)" \
    "$(counts | awk '$2 > 0 { print $1 }' | grep -c -e '^line_1_(UTF-16)$' -e '^line_2_(UTF-16)$' -e '^password_(UTF-16)$')" 3
}
new_document() {  # new_document <phase> [changed: No to saving the changes]
  menu                                  # New
  if [ -n "${2:-}" ]; then dialog; press n; fi
  eventually "Lockleaf 1.0" probe caption || true
  check "$1: File > New lets the document go" "$(probe caption)" "Lockleaf 1.0"
  sleep 1
  check "$1: after New nothing of its text or password is left in the process" "$(found)" ""
}

ll_start
focus_window "Lockleaf 1.0"
open_vault "opened"
new_document "opened"

# Word Wrap moves the text into the other box; the one it hides lets go of it.
open_vault "wrapped"
probe post main 2001 >/dev/null         # Edit > Word Wrap
eventually 1 probe active || true
check "wrapped: the wrapping box shows the document" "$(probe active)" 1
new_document "wrapped"

# Replace All keeps no copy of the text it replaced: the lines as they were are nowhere in the process, though
# the document is still open (its undo keeps the replaced word alone).
open_vault "replaced"
replace_all willow maple
eventually "vault.txse * - Lockleaf 1.0" probe caption || true
check "replaced: the box shows the new text" "$(probe text | sed -n 2p | tr -d '\r')" "${LINE2/willow/maple}"
sleep 1
check "replaced: the lines as they were are gone from the process" "$(found | tr ',' '\n' | grep -v -e password -e 'line 1' | paste -sd, -)" ""
new_document "replaced" changed

# Locked while the user is away: when Windows says the session locked, the text and the password leave the
# process; the first key asks for the password, brings the document back as it was, and is not typed.
open_vault "locked"
press ctrl+End
typed_each editor_box ' Z9'
BEFORE=$(probe text)
probe sessionlock
eventually "vault.txse * (locked) - Lockleaf 1.0" probe caption || true
check "locked: the caption says so" "$(probe caption)" "vault.txse * (locked) - Lockleaf 1.0"
check "locked: the box shows nothing" "$(probe text)" ""
sleep 1
check "locked: nothing of its text or password is left in the process" "$(found)" ""
press x; dialog
check "locked: a key asks for its password" "$(said)" "Please enter PASSWORD !"
typed_each prompt_length "$PW"; press Return
eventually "vault.txse * - Lockleaf 1.0" probe caption || true
check "unlocked: named and still marked modified" "$(probe caption)" "vault.txse * - Lockleaf 1.0"
check "unlocked: the text is back as it was, the key not typed" "$(probe text)" "$BEFORE"
press Escape
press alt+F4; dialog
press n; ll_wait_exit || true
ll_start
focus_window "Lockleaf 1.0"

typed_each editor_box 'a new note'
sleep 1
check "the new document is what was typed" "$(probe text)" "a new note"
check "nor after typing into the new document" "$(found)" ""
shot after-new
e2e_done
