#!/usr/bin/env bash
# Files nobody meant to open, and text that puts a Thai mark first in its run, never end the editor: random
# binary files (fixed seeds) open from the command line, show their bytes and are written back unchanged by
# an unedited F2; the two bytes "a" + U+0E38 open and show; the same typed into a new document, then pasted
# after itself, stay in the box of a living window.
source "$(dirname "$0")/lib.sh"
e2e_setup
DOCS="$WINEPREFIX/drive_c/docs"
mkdir -p "$DOCS"
alive() { kill -0 "$LL_PID" 2>/dev/null && echo yes || echo no; }
close_window() {
  press alt+F4
  ll_wait_exit || { kill "$LL_PID" 2>/dev/null; LL_PID=; }
}

for sizeSeed in 4096:11 65536:24 1048576:874; do
  size=${sizeSeed%%:*} seed=${sizeSeed##*:}
  name="bin$size.dat"
  python3 -c 'import random, sys
r = random.Random(int(sys.argv[2]))
sys.stdout.buffer.write(bytes(r.getrandbits(8) for _ in range(int(sys.argv[1]))))' "$size" "$seed" >"$DOCS/$name"
  cp "$DOCS/$name" "$E2E_TMP/$name.orig"
  ll_start "C:\\docs\\$name"
  eventually "$name - Lockleaf 1.0" probe caption || true
  check "$size random bytes open" "$(probe caption)" "$name - Lockleaf 1.0"
  check "and the box shows text" "$(probe text | head -c 64 | wc -c | awk '{ print ($1 > 0) ? "yes" : "no" }')" "yes"
  shot "$name"
  focus_window "$name - Lockleaf"
  touch -d '2001-01-01' "$DOCS/$name"
  press F2
  eventually "1" bash -c "[ \$(stat -c %Y '$DOCS/$name') -gt 978307200 ] && echo 1" || true
  check "$size bytes: F2 rewrote the file" "$([ "$(stat -c %Y "$DOCS/$name")" -gt 978307200 ] && echo yes)" "yes"
  check "$size bytes: with exactly the bytes it had" \
    "$(cmp -s "$DOCS/$name" "$E2E_TMP/$name.orig" && echo same || echo differ)" "same"
  check "$size bytes: the window lives" "$(alive)" "yes"
  close_window
done

# "a" then the Thai vowel sign below (Windows-874 0xD8).
unhex 61d8 >"$DOCS/mark.txt"
ll_start 'C:\docs\mark.txt'
eventually "mark.txt - Lockleaf 1.0" probe caption || true
check "a + U+0E38 opens" "$(probe caption)" "mark.txt - Lockleaf 1.0"
check "and shows both characters" "$(probe text)" "aุ"
focus_window "mark.txt - Lockleaf"
shot mark-file
check "the window lives" "$(alive)" "yes"
close_window

# The same from the keyboard, then pasted after itself.
ll_start
focus_window "Lockleaf"
typed_each editor_box "aุ"
check "typed a + U+0E38 stays in the box" "$(probe text)" "aุ"
check "the window lives after typing" "$(alive)" "yes"
press ctrl+a ctrl+c End ctrl+v
eventually "aุaุ" probe text || true
check "pasted after itself" "$(probe text)" "aุaุ"
shot mark-typed
check "the window lives after the paste" "$(alive)" "yes"

e2e_done
