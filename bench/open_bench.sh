#!/usr/bin/env bash
# Opening big documents in the real editor under Wine, next to a bare Win32 EDIT in the same prefix and run.
# Prints the time from start to the caption naming the file and the peak memory, and their ratios.
#   bench/open_bench.sh [sizes in MiB...]   (default 4 16 64; RUNS=n repeats each and keeps the fastest)
# The baseline reads the file, converts it from Windows-874 and sets it into one EDIT; BASE_FONT=product
# gives that EDIT the editor's font choice (default: the EDIT's own font).
source "$(dirname "$0")/../tests/e2e/lib.sh"
SIZES=("${@:-4 16 64}")
read -r -a SIZES <<<"${SIZES[*]}"
RUNS=${RUNS:-1}
e2e_setup
cp "$BUILD/bare_edit.exe" "$BUILD/open_timer.exe" "$APP_DIR/"
DOCS="$WINEPREFIX/drive_c/docs"
mkdir -p "$DOCS"

source "$(dirname "$0")/docs.sh"

# timed <caption-part> <program> [args]: "ms peak_ws_kb peak_private_kb", the fastest of RUNS.
timed() {
  local best= r
  for _ in $(seq "$RUNS"); do
    r=$(cd "$APP_DIR" && wine_run open_timer.exe 900 "$@" | tr -d '\r') || { echo "no caption: $*" >&2; r="0 0 0"; }
    if [ -z "$best" ] || [ "${r%% *}" -lt "${best%% *}" ]; then best=$r; fi
  done
  echo "$best"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

base_args=()
[ "${BASE_FONT:-}" = product ] && base_args=(--product-font)
# Each program with a one-line document: its start-up time and the memory it needs anyway. The peaks below
# are what the document added to that.
printf 'x' >"$DOCS/tiny.txt"
read -r ms0 ws0 _ <<<"$(timed "tiny.txt - " lockleaf.exe 'C:\docs\tiny.txt')"
read -r bms0 bws0 _ <<<"$(timed "tiny.txt - " bare_edit.exe "${base_args[@]}" 'C:\docs\tiny.txt')"
echo "start-up with a tiny document: editor $ms0 ms, $((ws0 / 1024)) MiB; bare EDIT $bms0 ms, $((bws0 / 1024)) MiB"
printf "%-8s %10s %10s %7s %12s %12s %9s %9s\n" "MiB" "editor ms" "EDIT ms" "ratio" "editor +mem" "EDIT +mem" \
  "mem/file" "ms/MiB"
for mib in "${SIZES[@]}"; do
  make_doc "$DOCS/doc$mib.txt" "$mib"
  read -r ms ws _ <<<"$(timed "doc$mib.txt - " lockleaf.exe "C:\\docs\\doc$mib.txt")"
  read -r bms bws _ <<<"$(timed "doc$mib.txt - " bare_edit.exe "${base_args[@]}" "C:\\docs\\doc$mib.txt")"
  printf "%-8s %10s %10s %7s %11sM %11sM %9s %9s\n" "$mib" "$ms" "$bms" "$(ratio "$ms" "$bms")" \
    "$(((ws - ws0) / 1024))" "$(((bws - bws0) / 1024))" "$(ratio "$((ws - ws0))" "$((mib * 1024))")" \
    "$(ratio "$ms" "$mib")"
  rm -f "$DOCS/doc$mib.txt"
done
