#!/usr/bin/env bash
# How soon the editor's window is visible after launch, and how soon it answers a message, while its site
# refuses, never answers, or answers two seconds late, next to a bare Win32 window with one EDIT
# (bench/win32/bare_edit.cpp) in the same prefix and run, with the ratios. Each figure is the median of RUNS
# starts (default 3).
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
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

bare=$(visible_ms --visible "tiny.txt - " bare_edit.exe 'C:\Lockleaf\tiny.txt')
bare_answer=$(visible_ms "tiny.txt - " bare_edit.exe 'C:\Lockleaf\tiny.txt')
printf "%-10s %12s %10s %7s %13s %10s %7s\n" "site" "visible ms" "bare ms" "ratio" "answers ms" "bare ms" "ratio"
for mode in refused silent slow; do
  case $mode in
    refused) stop_site ;;
    silent) site --silent ;;
    slow) site --delay 2 ;;
  esac
  ms=$(visible_ms --visible "Lockleaf 1.0" lockleaf.exe)
  answer=$(visible_ms "Lockleaf 1.0" lockleaf.exe)
  printf "%-10s %12s %10s %7s %13s %10s %7s\n" "$mode" "$ms" "$bare" "$(ratio "$ms" "$bare")" "$answer" \
    "$bare_answer" "$(ratio "$answer" "$bare_answer")"
done
