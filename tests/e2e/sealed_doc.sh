#!/usr/bin/env bash
# Sealed documents as a keyboard user meets them: a file that Python's cryptography wrote opens under its
# password and F2 writes it back byte-exact (Thai, accented Latin, CJK, emoji, a NUL) under a new nonce; Save As
# asks a new password twice and Python decrypts the result by docs/sealed-format.md; two saves of one text
# differ; a wrong password, a truncated file, a flipped bit, version 2 and 50 or 2^31 iterations are each
# refused with their message, the document shown and the files untouched.
source "$(dirname "$0")/lib.sh"
e2e_setup
D=$APP_DIR
FIX=$REPO/tests/fixtures/sealed
sealed() { python3 "$FIX/sealed.py" "$@"; }
PW='รหัส-Clé-7'
NEW_PW='Ключ-ÿ-ทด'   # no code page holds it: a sealed document takes any character
cp "$FIX/letter.txse" "$D/letter.txse"
for kind in version2 iterations50 iterations2p31 truncate flip; do sealed damage "$kind" "$D/letter.txse" "$D/$kind.txse"; done
cp "$D/letter.txse" "$D/wrong.txse"

menu() { press F10 Down "$@" Return; }  # File menu: New, Open..., Save, Save As...
dialog() { wait_for_window Lockleaf || true; sleep 0.5; }
caption_is() { eventually "$1" probe caption || true; check "$2" "$(probe caption)" "$1"; }
shown() { python3 -c 'import sys; sys.stdout.write(open(sys.argv[1], "rb").read().decode().replace("\0", "\u2400").replace("\r", ""))' "$1"; }
opened() { sealed open "$1" "$2" "$E2E_TMP/plain" 2>/dev/null && cat "$E2E_TMP/plain" | od -An -tx1 | tr -d ' \n'; }

ll_start
focus_window "Lockleaf 1.0"
menu Down; dialog                       # Open...
typed 'letter.txse'; press Return
dialog; typed_each prompt_box "$PW"; press Return   # its password
caption_is "letter.txse - Lockleaf 1.0" "the file Python wrote opens under its password"
check "its text, every character, the NUL as its symbol" "$(probe text)" "$(shown "$FIX/letter.txt")"
shot opened

press ctrl+End; typed_each editor_box ' ก é 漢'; press F2
caption_is "letter.txse - Lockleaf 1.0" "F2 seals it again without asking"
check "Python reads back the same bytes and the typed ones" "$(opened "$PW" "$D/letter.txse")" \
  "$(hex "$FIX/letter.txt")$(printf ' ก é 漢' | od -An -tx1 | tr -d ' \n')"
read -r v k n salt nonce <<<"$(sealed header "$D/letter.txse")"
read -r _ _ _ salt0 nonce0 <<<"$(sealed header "$FIX/letter.txse")"
check "version 1, PBKDF2, 600,000 iterations, the file's salt kept, a new nonce" \
  "$v $k $n $([ "$salt" = "$salt0" ] && echo same-salt) $([ "$nonce" != "$nonce0" ] && echo new-nonce)" \
  "1 1 600000 same-salt new-nonce"

menu Down Down Down; dialog             # Save As...
typed 'copy.txse'; press Return
dialog; typed_each prompt_box "$NEW_PW"; press Return   # a new password...
dialog; typed_each prompt_box "$NEW_PW"; press Return   # ...typed twice
caption_is "copy.txse - Lockleaf 1.0" "Save As to a sealed name"
check "Python decrypts what the program wrote" "$(opened "$NEW_PW" "$D/copy.txse")" "$(opened "$PW" "$D/letter.txse")"
check "not under the old password" "$(opened "$PW" "$D/copy.txse" || echo refused)" "refused"
cp "$D/copy.txse" "$E2E_TMP/first"
press F2
eventually 1 sh -c "cmp -s '$D/copy.txse' '$E2E_TMP/first' || echo 1" || true
check "a second save of the same text gives other bytes" "$(cmp -s "$D/copy.txse" "$E2E_TMP/first" || echo differ)" "differ"
check "that hold the same text" "$(opened "$NEW_PW" "$D/copy.txse")" "$(opened "$NEW_PW" "$E2E_TMP/first")"
TEXT=$(probe text)

refused() {  # refused FILE PASSWORD|- MESSAGE: opening FILE is refused with MESSAGE
  local before; before=$(hex "$D/$1")
  menu Down; dialog
  typed "$1"; press Return
  if [ "$2" != - ]; then
    # The remembered password is tried first; then the user is asked.
    dialog; check "$1: a password is asked" "$(said)" "Please enter PASSWORD !"
    typed_each prompt_box "$2"; press Return
  fi
  dialog
  eventually "$3" said || true
  check "$1: refused, saying why" "$(said)" "$3"
  press Return
  caption_is "copy.txse - Lockleaf 1.0" "$1: the document shown stays"
  check "$1: its text too" "$(probe text)" "$TEXT"
  check "$1: the file is untouched" "$(hex "$D/$1")" "$before"
}
CHANGED="The password is wrong, or the file has been changed since it was saved. Your file has NOT been opened."
refused wrong.txse 'not it' "$CHANGED"
refused flip.txse "$PW" "$CHANGED"
refused truncate.txse "$PW" "$CHANGED"
refused version2.txse - "This sealed document was written in a format that this version of the program does not know. Your file has NOT been opened."
refused iterations50.txse - "This sealed document asks for a key derivation outside the range this program accepts. Your file has NOT been opened."
refused iterations2p31.txse - "This sealed document asks for a key derivation outside the range this program accepts. Your file has NOT been opened."
check "nothing else was written beside the documents" "$(ls -A "$D" | grep -v -e '\.txse$' -e '^php$' -e '^banner$' -e '^lockleaf\.exe$' || true)" ""
shot refused
e2e_done
