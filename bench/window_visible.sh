#!/usr/bin/env bash
# How soon the editor's window is visible after launch, how soon it answers a message, and its slowest answer
# to a message sent every 50 ms in the first 12 s after it appears, while its site refuses, never answers,
# answers two seconds late or trickles a byte a second, next to a bare Win32 window with one EDIT
# (bench/win32/bare_edit.cpp) in the same prefix and run, with the ratios. Each figure but the slowest answer
# (one start each) is the median of RUNS starts (default 3).
#   bench/window_visible.sh   (needs the build whose site is the local one: make test-e2e makes it)
source "$(dirname "$0")/../tests/e2e/lib.sh"
RUNS=${RUNS:-3}
site_setup
e2e_setup
cp "$SITE_BUILD/lockleaf.exe" "$APP_DIR/"
cp "$BUILD/bare_edit.exe" "$BUILD/open_timer.exe" "$APP_DIR/"
printf 'x' >"$APP_DIR/tiny.txt"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
visible_ms() {  # visible_ms [--visible] <caption-part> <program> [args]: median of RUNS
  local flag=()
  [ "$1" = --visible ] && { flag=(--visible); shift; }
  for _ in $(seq "$RUNS"); do
    (cd "$APP_DIR" && wine_run open_timer.exe 60 "$1" "${flag[@]}" "${@:2}" | tr -d '\r' | cut -d' ' -f1)
  done | median
}
slowest_ms() {  # slowest_ms <window class> <program> [args]: one start, 12 s of pings from its window's showing
  (cd "$APP_DIR" && exec "$LOCKLEAF_WINE" "${@:2}" </dev/null >>"$E2E_TMP/wine.log" 2>&1) &
  local pid=$!
  for _ in $(seq 300); do probe ping 0 "$1" >/dev/null 2>&1 && break; sleep 0.05; done
  probe ping 12 "$1" 2>/dev/null || echo "-"
  kill "$pid" 2>/dev/null
  "$WINESERVER" -k 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

bare=$(visible_ms --visible "tiny.txt - " bare_edit.exe 'C:\Lockleaf\tiny.txt')
bare_answer=$(visible_ms "tiny.txt - " bare_edit.exe 'C:\Lockleaf\tiny.txt')
bare_slowest=$(slowest_ms BareEdit bare_edit.exe 'C:\Lockleaf\tiny.txt')
printf "%-10s %12s %10s %7s %13s %10s %7s %12s %10s\n" "site" "visible ms" "bare ms" "ratio" "answers ms" "bare ms" \
  "ratio" "slowest ms" "bare ms"
for mode in refused silent slow trickle; do
  case $mode in
    refused) stop_site ;;
    silent) site --silent ;;
    slow) site --delay 2 ;;
    trickle) site --trickle ;;
  esac
  ms=$(visible_ms --visible "Lockleaf 1.0" lockleaf.exe)
  answer=$(visible_ms "Lockleaf 1.0" lockleaf.exe)
  slowest=$(slowest_ms LockleafMain lockleaf.exe | tr -d '\r')
  printf "%-10s %12s %10s %7s %13s %10s %7s %12s %10s\n" "$mode" "$ms" "$bare" "$(ratio "$ms" "$bare")" "$answer" \
    "$bare_answer" "$(ratio "$answer" "$bare_answer")" "$slowest" "$bare_slowest"
done
