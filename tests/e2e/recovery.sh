#!/usr/bin/env bash
# Typing survives a kill: for an untitled document, a plain UTF-8 file, a protected and a sealed one, the
# editor is killed (kill -9 of its Wine process) 3 s after the box shows the typing; meanwhile no file under
# the Wine prefix holds the typed text (UTF-16, UTF-8, the code page) or the password. The next start offers the work back,
# Y restores it (the sealed one after its password), and F2 writes it to its own file in its own kind. A
# clean exit after F2 leaves no snapshot, and the start after it asks nothing.
source "$(dirname "$0")/lib.sh"
e2e_setup
D=$APP_DIR
FIX=$REPO/tests/fixtures/sealed
PW='รหัส-Clé-7'  # letter.txse's

caption_is() { eventually "$1" probe caption || true; check "$2" "$(probe caption)" "$1"; }
dialog() { wait_for_window Lockleaf || true; sleep 0.5; }
# Waits until the prompt titled "Lockleaf" says $1: after Return the last one may still be on the screen.
asked() { wait_for_window Lockleaf || true; eventually "$1" said || echo "no prompt said [$1]" >&2; }
ASK='Please enter PASSWORD !'
AGAIN='Please enter the same PASSWORD again !'
# Whether any file under the prefix holds one of the texts in UTF-16 LE, UTF-8 or the Thai code page.
in_prefix() {
  python3 - "$WINEPREFIX" "$@" <<'EOF'
import os, sys
needles = set()
for t in sys.argv[2:]:
    for enc in ("utf-16-le", "utf-8", "cp874"):
        try:
            needles.add(t.encode(enc))
        except UnicodeEncodeError:
            pass
for root, _, names in os.walk(sys.argv[1]):
    for n in names:
        p = os.path.join(root, n)
        if os.path.islink(p) or not os.path.isfile(p):
            continue  # devices and pipes, and links out of the prefix
        try:
            data = open(p, "rb").read()
        except OSError:
            continue
        for needle in needles:
            if needle in data:
                print(p)
                sys.exit(0)
print("none")
EOF
}
# The snapshots are *.snap; one is written to a *.tmp first and then renamed.
recovery_files() { find "$WINEPREFIX/drive_c/users" -path '*Lockleaf/Recovery/*' -type f "$@" 2>/dev/null | wc -l; }
# Kills the editor 3 s after the box shows $1, or once a snapshot is written after that, if that comes later
# (under load Wine may take the keys, or the disk's thread its turn, a while after the keys were sent).
kill_editor() {
  eventually "$1" probe text || true
  touch "$E2E_TMP/shown"
  sleep 3
  for _ in $(seq 100); do [ "$(recovery_files -name '*.snap' -newer "$E2E_TMP/shown")" -ge 1 ] && break; sleep 0.2; done
  pkill -9 -f 'lockleaf\.exe' || true
  LL_PID=
  for _ in $(seq 50); do pgrep -f 'lockleaf\.exe' >/dev/null || break; sleep 0.1; done
}
# Starts again, and answers the question that names $1 with Y.
restore() {
  ll_start_nowait
  dialog
  local question="Lockleaf closed before the changes to $1 were saved. Restore them?"
  eventually "$question" said || true
  check "$2: the next start offers it" "$(said)" "$question"
  focus_window "^Lockleaf$"
  press y
}
# The editor's window came up after a question: the user clicks into it once (no window manager here).
into_editor() { ll_wait_window; focus_window "Lockleaf 1.0"; }

# 1. Untitled.
ll_start
focus_window "Lockleaf 1.0"
typed 'untitled secret words'
kill_editor 'untitled secret words'
check "untitled: a snapshot is on disk" "$([ "$(recovery_files -name '*.snap')" -ge 1 ] && echo yes)" "yes"
check "untitled: nothing of the text in the clear" "$(in_prefix 'untitled secret words' 'secret words')" "none"
restore "an untitled document" "untitled"
into_editor
eventually 'untitled secret words' probe text || true
check "untitled: the text is back" "$(probe text)" "untitled secret words"
press F2; dialog
typed 'untitled.txt'; press Return
caption_is "untitled.txt - Lockleaf 1.0" "untitled: F2 saves it as a new document does"
check "untitled: in the code page, CR LF" "$(cat "$D/untitled.txt")" "untitled secret words"
press alt+F4; ll_wait_exit || true

# 2. A plain UTF-8 file with LF line ends.
printf 'caf\xc3\xa9\nline two\n' >"$D/notes.txt"
ll_start 'C:\Lockleaf\notes.txt'
focus_window "notes.txt - Lockleaf 1.0"
press ctrl+End
typed 'more plain words'
kill_editor "$(printf 'café\nline two\nmore plain words')"
check "plain: nothing of the text in the clear" "$(in_prefix 'more plain words')" "none"
restore "notes.txt" "plain"
into_editor
caption_is "notes.txt * - Lockleaf 1.0" "plain: named and marked modified"
check "plain: the text is back" "$(probe text)" "$(printf 'café\nline two\nmore plain words')"
press F2
caption_is "notes.txt - Lockleaf 1.0" "plain: F2 saves it"
check "plain: in UTF-8 with LF, as it was read" "$(hex "$D/notes.txt")" \
  "$(printf 'caf\xc3\xa9\nline two\nmore plain words' | od -An -tx1 | tr -d ' \n')"
press alt+F4; ll_wait_exit || true
check "plain: a clean exit leaves no snapshot" "$(recovery_files)" "0"

# 3. A protected document.
ll_start
focus_window "Lockleaf 1.0"
typed 'masked words'
press F2; dialog
typed 'memo.txs'; press Return
asked "$ASK"; typed_each prompt_box 'pw1'; press Return
asked "$AGAIN"; typed_each prompt_box 'pw1'; press Return
caption_is "memo.txs - Lockleaf 1.0" "protected: saved"
typed ' and more'
kill_editor 'masked words and more'
check "protected: nothing of the text or password in the clear" "$(in_prefix 'masked words and more' 'and more' 'pw1')" "none"
restore "memo.txs" "protected"
into_editor
caption_is "memo.txs * - Lockleaf 1.0" "protected: named and marked modified"
check "protected: the text is back" "$(probe text)" "masked words and more"
press F2
asked "$ASK"; typed_each prompt_box 'pw2'; press Return   # its password is not kept: asked as a first save asks
asked "$AGAIN"; typed_each prompt_box 'pw2'; press Return
caption_is "memo.txs - Lockleaf 1.0" "protected: F2 saves it"
check "protected: the file holds no plaintext" "$(in_prefix 'masked words and more')" "none"
press alt+F4; ll_wait_exit || true
ll_start_nowait 'C:\Lockleaf\memo.txs'
asked "$ASK"; focus_window "^Lockleaf$"; typed_each prompt_box 'pw2'; press Return
into_editor
eventually 'masked words and more' probe text || true
check "protected: it opens under the password F2 took" "$(probe text)" "masked words and more"
press alt+F4; ll_wait_exit || true

# 4. A sealed document.
cp "$FIX/letter.txse" "$D/letter.txse"
ll_start_nowait 'C:\Lockleaf\letter.txse'
asked "$ASK"; focus_window "^Lockleaf$"; typed_each prompt_box "$PW"; press Return
into_editor
caption_is "letter.txse - Lockleaf 1.0" "sealed: opened"
BEFORE=$(probe text)
press ctrl+End
typed ' sealed addition'
kill_editor "$BEFORE sealed addition"
check "sealed: nothing of the text or the password in the clear" "$(in_prefix 'sealed addition' "$PW")" "none"
restore "letter.txse" "sealed"
asked "$ASK"
check "sealed: its password is asked first" "$(said)" "$ASK"
typed_each prompt_box "$PW"; press Return
into_editor
caption_is "letter.txse * - Lockleaf 1.0" "sealed: named and marked modified"
check "sealed: the text is back" "$(probe text)" "$BEFORE sealed addition"
press F2
caption_is "letter.txse - Lockleaf 1.0" "sealed: F2 seals it without asking"
python3 "$FIX/sealed.py" open "$PW" "$D/letter.txse" "$E2E_TMP/plain" 2>/dev/null || true
check "sealed: Python opens it under its password" "$(tail -c 16 "$E2E_TMP/plain" 2>/dev/null)" " sealed addition"
shot restored-sealed
press alt+F4; ll_wait_exit || true
check "a clean exit after F2 leaves no snapshot" "$(recovery_files)" "0"

ll_start
check "and the next start asks nothing" "$(probe windows Lockleaf)" "0"
check "its window comes up untitled" "$(probe caption)" "Lockleaf 1.0"
e2e_done
