#!/usr/bin/env bash
# The window's slowest answer while the user types at the end of a big plain document, with snapshots of the
# unsaved work on, next to the same typing in the same run with them off (the recovery folder's place taken by
# a file, so the editor can keep none), and in a bare EDIT with the editor's font (bench/win32/bare_edit.cpp):
# what the box itself must do for each character. The window is pinged every 5 ms from outside, so that its
# slowest answer is the longest any one message held it; each of twelve characters is followed by a pause long
# enough for a snapshot to be written.
#   bench/snapshot_typing.sh [MiB ...]   (default: 16 64)
source "$(dirname "$0")/../tests/e2e/lib.sh"
source "$(dirname "$0")/docs.sh"
SIZES=("${@:-16 64}")
read -r -a SIZES <<<"${SIZES[*]}"
e2e_setup
cp "$BUILD/bare_edit.exe" "$APP_DIR/"
DOCS="$WINEPREFIX/drive_c/docs"
mkdir -p "$DOCS"
LOCAL=$(find "$WINEPREFIX/drive_c/users" -maxdepth 3 -type d -path '*AppData/Local' | head -n 1)

# run <name> <MiB> [bare]: prints the slowest answer and how many snapshots the typing left.
run() {
  local class=LockleafMain caption="big$2.txt - Lockleaf 1.0"
  if [ -n "${3:-}" ]; then
    class=BareEdit caption="big$2.txt - bare EDIT"
    (cd "$APP_DIR" && exec "$LOCKLEAF_WINE" bare_edit.exe --product-font "C:\\docs\\big$2.txt" \
      </dev/null >>"$E2E_TMP/wine.log" 2>&1) &
    LL_PID=$!
  else
    ll_start "C:\\docs\\big$2.txt"
  fi
  for _ in $(seq 600); do [ "$(probe caption "$class" 2>/dev/null)" = "$caption" ] && break; sleep 0.5; done
  focus_window "$caption"
  press ctrl+End
  # The first paint at the end of a big text holds either program for a while: done before the timing.
  probe sel "$class" >/dev/null
  sleep 3
  probe ping 28 "$class" 5 >"$E2E_TMP/ping.out" 2>"$E2E_TMP/ping.err" &
  local ping=$!
  sleep 1  # the probe is up and pinging
  for c in a b c d e f g h i j k l; do typed "$c"; sleep 2.2; done
  wait "$ping" || true
  local snaps
  snaps=$(find "$LOCAL" -path '*Recovery*' -name '*.snap' 2>/dev/null | wc -l)
  echo "$1 $(cat "$E2E_TMP/ping.out") $snaps"
  "$WINESERVER" -k 2>/dev/null || true  # the prefix's processes end; the next run starts them afresh
  LL_PID=
  sleep 1
  rm -rf "$LOCAL/Lockleaf"
}

echo "exe: build/$LOCKLEAF_WINE_BUILD/lockleaf.exe"
ratio() { python3 -c "import sys; print(f'{int(sys.argv[1]) / max(1, int(sys.argv[2])):.2f}')" "$1" "$2"; }
printf '%-6s %-22s %-22s %-14s %-12s %s\n' MiB "slowest, snapshots on" "slowest, snapshots off" "bare EDIT" \
  "on / off" "on / bare"
for mib in "${SIZES[@]}"; do
  make_doc "$DOCS/big$mib.txt" "$mib"
  # Through a variable, not a pipe: the run ends (and clears up) before the next step starts.
  result=$(run on "$mib")
  read -r _ on snaps <<<"$result"
  touch "$LOCAL/Lockleaf"  # a file where the folder would go: no snapshot can be kept
  result=$(run off "$mib")
  read -r _ off none <<<"$result"
  rm -f "$LOCAL/Lockleaf"
  result=$(run bare "$mib" bare)
  read -r _ bare _ <<<"$result"
  printf '%-6s %-22s %-22s %-14s %-12s %s\n' "$mib" "$on ms ($snaps kept)" "$off ms ($none kept)" "$bare ms" \
    "$(ratio "$on" "$off")" "$(ratio "$on" "$bare")"
done
