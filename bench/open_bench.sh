#!/usr/bin/env bash
# Opening big documents in the real editor under Wine, next to a bare Win32 EDIT in the same prefix and run.
# Prints the time from start to the caption naming the file and the peak memory, and their ratios.
#   bench/open_bench.sh [sizes in MiB...]   (default 4 16 64; RUNS=n repeats each and keeps the fastest)
# The baseline reads the file, converts it and sets it into one EDIT; BASE_FONT=product gives that EDIT the
# editor's font choice (default: the EDIT's own font). KIND=cp874 (default) or KIND=utf8 says what the
# documents hold: the same text in Windows-874 or in UTF-8.
# Then, per size, the load path of a plain document stage by stage (bench/win32/open_stages.cpp): each
# stage's time and share of the editor's load, and the bare EDIT given the same text in the same process,
# with the ratio.
source "$(dirname "$0")/../tests/e2e/lib.sh"
SIZES=("${@:-4 16 64}")
read -r -a SIZES <<<"${SIZES[*]}"
RUNS=${RUNS:-1}
e2e_setup
cp "$BUILD/bare_edit.exe" "$BUILD/open_timer.exe" "$BUILD/open_stages.exe" "$APP_DIR/"
KIND=${KIND:-cp874}
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
case "$KIND" in
  cp874) ;;
  utf8) base_args+=(--utf8) ;;
  *) echo "KIND is cp874 or utf8" >&2; exit 2 ;;
esac
# make_kind_doc <file> <MiB>: the benchmark's document in the kind asked for.
make_kind_doc() {
  make_doc "$1" "$2"
  [ "$KIND" = utf8 ] && python3 -c 'import sys; p = sys.argv[1]; t = open(p, "rb").read().decode("cp874"); open(p, "wb").write(t.encode("utf-8"))' "$1"
  return 0
}
echo "documents: $KIND"
# Each program with a one-line document: its start-up time and the memory it needs anyway. The peaks below
# are what the document added to that.
printf 'x' >"$DOCS/tiny.txt"
read -r ms0 ws0 _ <<<"$(timed "tiny.txt - " lockleaf.exe 'C:\docs\tiny.txt')"
read -r bms0 bws0 _ <<<"$(timed "tiny.txt - " bare_edit.exe "${base_args[@]}" 'C:\docs\tiny.txt')"
echo "start-up with a tiny document: editor $ms0 ms, $((ws0 / 1024)) MiB; bare EDIT $bms0 ms, $((bws0 / 1024)) MiB"
printf "%-8s %10s %10s %7s %12s %12s %9s %9s\n" "MiB" "editor ms" "EDIT ms" "ratio" "editor +mem" "EDIT +mem" \
  "mem/file" "ms/MiB"
declare -A stages
for mib in "${SIZES[@]}"; do
  make_kind_doc "$DOCS/doc$mib.txt" "$mib"
  read -r ms ws _ <<<"$(timed "doc$mib.txt - " lockleaf.exe "C:\\docs\\doc$mib.txt")"
  read -r bms bws _ <<<"$(timed "doc$mib.txt - " bare_edit.exe "${base_args[@]}" "C:\\docs\\doc$mib.txt")"
  printf "%-8s %10s %10s %7s %11sM %11sM %9s %9s\n" "$mib" "$ms" "$bms" "$(ratio "$ms" "$bms")" \
    "$(((ws - ws0) / 1024))" "$(((bws - bws0) / 1024))" "$(ratio "$((ws - ws0))" "$((mib * 1024))")" \
    "$(ratio "$ms" "$mib")"
  stages[$mib]=$(cd "$APP_DIR" && wine_run open_stages.exe "C:\\docs\\doc$mib.txt" | tr -d '\r') || true
  rm -f "$DOCS/doc$mib.txt"
done
for mib in "${SIZES[@]}"; do
  echo "load path stages, $mib MiB:"
  echo "${stages[$mib]}"
done
