#!/usr/bin/env bash
# The window's slowest answer while the user types at the end of a big plain document, with snapshots of the
# unsaved work on, next to the same typing in the same run with them off (the recovery folder's place taken by
# a file, so the editor can keep none). The window is pinged every 50 ms from outside; each character is
# followed by a pause long enough for a snapshot to be written.
#   bench/snapshot_typing.sh [MiB ...]   (default: 16 64)
source "$(dirname "$0")/../tests/e2e/lib.sh"
source "$(dirname "$0")/docs.sh"
SIZES=("${@:-16 64}")
read -r -a SIZES <<<"${SIZES[*]}"
e2e_setup
DOCS="$WINEPREFIX/drive_c/docs"
mkdir -p "$DOCS"
LOCAL=$(find "$WINEPREFIX/drive_c/users" -maxdepth 3 -type d -path '*AppData/Local' | head -n 1)

# run <name> <MiB>: prints the slowest answer and how many snapshots the typing left.
run() {
  ll_start "C:\\docs\\big$2.txt"
  eventually "big$2.txt - Lockleaf 1.0" probe caption || true
  focus_window "big$2.txt - Lockleaf"
  press ctrl+End
  probe ping 16 >"$E2E_TMP/ping.out" 2>"$E2E_TMP/ping.err" &
  local ping=$!
  for c in a b c d e f; do typed "$c"; sleep 2.2; done
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
printf '%-6s %-22s %-22s %s\n' MiB "slowest, snapshots on" "slowest, snapshots off" ratio
for mib in "${SIZES[@]}"; do
  make_doc "$DOCS/big$mib.txt" "$mib"
  # Through a variable, not a pipe: the run ends (and clears up) before the next step starts.
  result=$(run on "$mib")
  read -r _ on snaps <<<"$result"
  touch "$LOCAL/Lockleaf"  # a file where the folder would go: no snapshot can be kept
  result=$(run off "$mib")
  read -r _ off none <<<"$result"
  rm -f "$LOCAL/Lockleaf"
  printf '%-6s %-22s %-22s %s\n' "$mib" "$on ms ($snaps kept)" "$off ms ($none kept)" \
    "$(python3 -c "import sys; print(f'{int(sys.argv[1]) / max(1, int(sys.argv[2])):.2f}')" "$on" "$off")"
done
