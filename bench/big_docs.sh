#!/usr/bin/env bash
# The real editor under Wine with documents that push the text box: a 16 MiB protected document (password typed
# at the prompt), a 1 MiB document that is one line (Word Wrap off, then on through the menu), and 100 MiB plain
# and protected documents opened, edited (one character typed) and saved (F2), the saved files checked.
#   bench/big_docs.sh [protected16] [line] [plain100] [protected100]   (default: all; LINE_KIB=n: the line's size)
#   bench/big_docs.sh sizes   plain documents of SIZES_MIB (default "256") opened, edited and saved: how the
#   editor's size limit was found (run against a build whose limit is above the sizes, E2E_BUILD=its folder)
source "$(dirname "$0")/../tests/e2e/lib.sh"
PARTS=("${@:-protected16 line plain100 protected100}")
OPEN_SECONDS=${OPEN_SECONDS:-1800}
read -r -a PARTS <<<"${PARTS[*]}"
e2e_setup
cp "$BUILD/open_timer.exe" "$BUILD/make_txs.exe" "$APP_DIR/"
DOCS="$WINEPREFIX/drive_c/docs"
mkdir -p "$DOCS"
PASSWORD=secret
source "$(dirname "$0")/docs.sh"

now() { date +%s%N; }
ms_since() { echo $((($(now) - $1) / 1000000)); }
# Starts the editor on a document in the background through the timer; its result line goes to $E2E_TMP/timer.
open_doc() {  # open_doc <name> [--prompt]
  local prompt=()
  [ "${2:-}" = --prompt ] && prompt=(--prompt Lockleaf)
  # Into a file, not a pipe: the editor inherits the timer's output and would hold a pipe open.
  (cd "$APP_DIR" && wine_run open_timer.exe "$OPEN_SECONDS" "$1 - " --keep "${prompt[@]}" lockleaf.exe "C:\\docs\\$1" \
    >"$E2E_TMP/timer.out") &
  TIMER_PID=$!
  if [ "${2:-}" = --prompt ]; then
    wait_for_window Lockleaf
    type_text '^Lockleaf$' "$PASSWORD"
    keys '^Lockleaf$' Return
  fi
  wait "$TIMER_PID" || true
  tr -d '\r' <"$E2E_TMP/timer.out" >"$E2E_TMP/timer"
}
# Waits until the caption is the given text; prints the milliseconds since <start>, or "timeout".
caption_after() {  # caption_after <start> <caption> <seconds>
  for _ in $(seq $(($3 * 5))); do
    [ "$(probe caption 2>/dev/null)" = "$2" ] && { ms_since "$1"; return; }
    sleep 0.2
  done
  echo timeout
}
close_app() { probe close >/dev/null; ll_wait_exit || true; "$WINESERVER" -w; }

if [[ " ${PARTS[*]} " == *" protected16 "* ]]; then
  make_doc "$DOCS/p16.txt" 16
  wine_run "$APP_DIR/make_txs.exe" 'C:\docs\p16.txt' "$PASSWORD" 'C:\docs\p16.txs'
  open_doc p16.txs --prompt
  read -r ms kb _ shown gone <"$E2E_TMP/timer"
  echo "16 MiB protected: caption after $ms ms (prompt shown at $shown ms, answered at $gone ms:" \
    "$((ms - gone)) ms to load after the answer), peak $((kb / 1024)) MiB"
  close_app
  rm -f "$DOCS"/p16.*
fi

if [[ " ${PARTS[*]} " == *" line "* ]]; then
  LINE_KIB=${LINE_KIB:-1024}
  python3 -c "import sys; sys.stdout.buffer.write((b'lorem ipsum \xa1\xb2\xc3 text ' * (1 << 16))[:$LINE_KIB << 10])" \
    >"$DOCS/line.txt"
  LL_PID=
  open_doc line.txt
  read -r ms kb _ <"$E2E_TMP/timer"
  echo "$LINE_KIB KiB single line, Word Wrap off: caption after $ms ms; slowest answer in the next 5 s: $(probe ping 5) ms"
  t=$(now)
  keys "Lockleaf" F10 Right Down Down Return   # Edit > Word Wrap
  # Either the wrapped box shows, or the program says why it does not wrap (a message titled "Lockleaf").
  for _ in $(seq 1500); do
    [ "$(probe active 2>/dev/null)" = 1 ] || [ "$(probe windows Lockleaf 2>/dev/null)" = 1 ] && break
    sleep 0.2
  done
  if [ "$(probe windows Lockleaf 2>/dev/null)" = 1 ]; then
    echo "$LINE_KIB KiB single line, Word Wrap on: after $(ms_since "$t") ms the message" \
      "\"$(probe child Lockleaf | awk -F'\t' '$1 == "Static" && $2 != "" { print $2 }')\""
    keys '^Lockleaf$' Return
    eventually 0 probe windows Lockleaf || true
    echo "  then the window answers within $(probe ping 2) ms and shows box $(probe active) (0: no wrap)"
  elif [ "$(probe active 2>/dev/null)" = 1 ] && probe ping 1 >/dev/null 2>&1; then
    echo "$LINE_KIB KiB single line, Word Wrap on: $(ms_since "$t") ms until the wrapped box answers"
  else
    echo "$LINE_KIB KiB single line, Word Wrap on: no answer after $(ms_since "$t") ms"
  fi
  "$WINESERVER" -k || true
  rm -f "$DOCS/line.txt"
fi

# Opens, edits and saves; checks the saved file against the expected one.
edit_and_save() {  # edit_and_save <name> <expected file> [--prompt]
  local name=$1 expected=$2
  open_doc "$name" "${3:-}"
  read -r ms kb _ shown gone <"$E2E_TMP/timer"
  [ -n "${gone:-}" ] && ms="$ms (load after the answer $((ms - gone)))"
  local t edit save
  t=$(now)
  keys "Lockleaf" ctrl+Home x
  edit=$(caption_after "$t" "$name * - Lockleaf 1.0" 600)
  t=$(now)
  keys "Lockleaf" F2
  save=$(caption_after "$t" "$name - Lockleaf 1.0" 600)
  local peak
  peak=$(probe memory)
  if [ "$(probe windows Lockleaf 2>/dev/null)" != 0 ]; then
    echo "  a message: \"$(probe child Lockleaf | awk -F'\t' '$1 == "Static" && $2 != "" { print $2 }')\""
  fi
  if cmp -s "$DOCS/$name" "$expected"; then same="the saved file is exactly as expected"; else same="SAVED FILE DIFFERS"; fi
  echo "$name: open $ms ms, edit shown after $edit ms, save $save ms, peak $((peak / 1024)) MiB; $same"
  close_app
}

if [[ " ${PARTS[*]} " == *" plain100 "* ]]; then
  make_doc "$DOCS/big.txt" 100
  { printf x; cat "$DOCS/big.txt"; } >"$E2E_TMP/big-expected.txt"
  edit_and_save big.txt "$E2E_TMP/big-expected.txt"
  rm -f "$DOCS/big.txt" "$E2E_TMP/big-expected.txt"
fi

if [[ " ${PARTS[*]} " == *" protected100 "* ]]; then
  make_doc "$DOCS/big.txt" 100
  wine_run "$APP_DIR/make_txs.exe" 'C:\docs\big.txt' "$PASSWORD" 'C:\docs\big.txs'
  { printf x; cat "$DOCS/big.txt"; } >"$DOCS/expected.txt"
  wine_run "$APP_DIR/make_txs.exe" 'C:\docs\expected.txt' "$PASSWORD" 'C:\docs\expected.txs'
  rm -f "$DOCS/big.txt" "$DOCS/expected.txt"
  edit_and_save big.txs "$DOCS/expected.txs" --prompt
fi

if [[ " ${PARTS[*]} " == *" sizes "* ]]; then
  for mib in ${SIZES_MIB:-256}; do
    make_doc "$DOCS/s$mib.txt" "$mib"
    { printf x; cat "$DOCS/s$mib.txt"; } >"$E2E_TMP/s-expected.txt"
    edit_and_save "s$mib.txt" "$E2E_TMP/s-expected.txt"
    "$WINESERVER" -k || true
    rm -f "$DOCS/s$mib.txt" "$E2E_TMP/s-expected.txt"
  done
fi
