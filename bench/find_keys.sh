#!/usr/bin/env bash
# The window's slowest answer to each find key on a big plain document, next to the same keys in a bare EDIT
# whose F3 and Ctrl+F3 find as plainly as Win32 allows (bench/win32/bare_edit.cpp --find: the EDIT's own buffer
# searched with wcsstr; its F4 replaces the selection), in the same run and prefix, as ratios. The window is
# pinged every 50 ms from outside while each key is handled; a key that takes less than that shows as the
# ping's own answer. The editor keeps no snapshots of unsaved work here (a file stands where their folder
# would go), so that F4's edit is timed alone.
#   bench/find_keys.sh [MiB ...]   (default: 4 16 64)
#   BEFORE_BUILD=<folder>          also the editor of another build (the lockleaf.exe in that folder), e.g. the
#                                  one before a change, as a column of its own
# Beside each figure, the memory the command added to the program (anonymous resident pages, sampled every
# 50 ms from /proc), at its peak and after it.
# The document: a line "zyzzyva" (a word found nowhere else), a line "farword" (found once more, at the very
# end), a line "lorem", then lines of Thai and Latin words, "lorem" among them (bench/docs.sh). The keys, each
# timed alone: Ctrl+Home (from the end); Ctrl+F3 in "lorem" and F3 four times (the next match is near);
# Ctrl+F3 in "farword" (the next match is the last line); F3 once more (none after it: the caret goes to the
# top); Ctrl+F3 in "zyzzyva" (no other match: the whole text is read, and the caret goes to the top), F3 (the
# one at the top), F3 again (none after it: the whole text is read); F3 to select the one at the top, untimed,
# and F4 (in Replace mode, set up through the Find window before the timed keys, it replaces the selection by
# "LOREM"). The caret stands in the word, after its first letter, so that the search, which starts at the
# caret, passes over the word itself. Then F2 (the bare program writes the bytes it read with WriteFile and
# FlushFileBuffers); Replace All of "lorem" by "LOREM" (the Find window's button; the bare program's F7 builds
# the replaced text from its buffer and hands it to the EDIT whole); ten letters typed at the end; eight caret
# moves there (Up, Down, Home, End: the editor's status bar follows the caret); and Word Wrap on and off (the
# menu; the bare program's F6 moves the text into a wrapping EDIT and back). The editor asks before a big
# switch: its question answered No is timed too, and taken off its switches in lines of their own ("less No").
#   WRAP=0                         leaves Word Wrap out (on 64 MiB each switch holds either program minutes)
#   WRAP_SECONDS=<s>               how long each switch is pinged (90 above 16 MiB, else 30)
#   REPLACE=0                      leaves Replace All out (its ping lasts 10 s a MiB plus 20 s, to outlast it)
#   BASE_FONT=default              the bare EDIT keeps its own default font; by default it shows the text in the
#                                  editor's font, which is what the box itself must lay out and paint (under
#                                  Wine the default font makes the bare EDIT's Replace All and Word Wrap several
#                                  times slower, a flattering baseline)
#   SEALED=1                       the editor opens the same text sealed (find<MiB>.txse, UTF-8 inside, its
#                                  password typed at the start), the bare EDIT the plain file as ever
source "$(dirname "$0")/../tests/e2e/lib.sh"
source "$(dirname "$0")/docs.sh"
SIZES=("${@:-4 16 64}")
read -r -a SIZES <<<"${SIZES[*]}"
e2e_setup
cp "$BUILD/bare_edit.exe" "$APP_DIR/"
if [ -n "${BEFORE_BUILD:-}" ]; then cp "$BEFORE_BUILD/lockleaf.exe" "$APP_DIR/before.exe"; fi
DOCS="$WINEPREFIX/drive_c/docs"
mkdir -p "$DOCS"
LOCAL=$(find "$WINEPREFIX/drive_c/users" -maxdepth 3 -type d -path '*AppData/Local' | head -n 1)
touch "$LOCAL/Lockleaf"  # a file where the snapshots' folder would go

make_find_doc() {  # make_find_doc <file> <MiB>
  make_doc "$1.body" "$2"
  { printf 'zyzzyva\r\nfarword\r\nlorem\r\n'; cat "$1.body"; printf '\r\nfarword'; } >"$1"
  rm -f "$1.body"
}

STEPS=("ctrl+Home" "ctrl+F3 (near)" "F3 1" "F3 2" "F3 3" "F3 4" "ctrl+F3 (at the end)" "F3 (none after)"
  "ctrl+F3 (none)" "F3 (at the top)" "F3 (none)" "F4" "F2" "Replace All" "typing 10" "caret moves 8"
  "Word Wrap asked, No" "Word Wrap on" "Word Wrap off")

# The process's anonymous resident memory in KiB (what it has allocated and touched: the box's text among it).
# Read with builtins only: the watch below must not load the machine it measures.
anon_kib() {
  local key value _
  while read -r key value _; do
    [ "$key" = RssAnon: ] && echo "$value" && return
  done <"/proc/$1/status" 2>/dev/null
  echo 0
}

# step <class> <keys...>: presses the keys while the window of that class is pinged and the program's memory
# watched; prints the slowest answer in ms, where the selection is then ("start:length"), and the memory the
# command added in MiB at its peak and after it ("peak/held").
# PING_SECONDS: how long the window is pinged (6; a command that may hold it longer needs more).
# ASKED: the command asks first (a message box "Lockleaf"), and Return answers Yes; NO: n answers No.
step() {
  local class=$1; shift
  local before peak=/dev/shm/ll_peak.$$
  before=$(anon_kib "$WATCHED")
  echo "$before" >"$peak"
  (most=$before
  while [ -d "/proc/$WATCHED" ]; do
    now=$(anon_kib "$WATCHED")
    if [ "$now" -gt "$most" ]; then most=$now && echo "$most" >"$peak"; fi
    sleep 0.05
  done) >/dev/null &
  local watch=$!
  probe ping "${PING_SECONDS:-6}" "$class" >"$E2E_TMP/ping.out" 2>/dev/null &
  local ping=$!
  sleep 2  # the probe is up and pinging
  press "$@"
  if [ -n "${ASKED:-}" ]; then wait_for_window Lockleaf >/dev/null 2>&1 && press Return; fi
  if [ -n "${NO:-}" ]; then wait_for_window Lockleaf >/dev/null 2>&1 && press n; fi
  wait "$ping" || true
  kill "$watch" 2>/dev/null; wait "$watch" 2>/dev/null || true
  local sel after
  sel=$(probe sel "$class" | tr ' ' ':')
  after=$(anon_kib "$WATCHED")
  echo "$(cat "$E2E_TMP/ping.out") $sel $((($(cat "$peak") - before) / 1024))/$(((after - before) / 1024))"
  rm -f "$peak"
}

# run <exe> <class> <caption> <file> [options]: the keys in that program; one line of "ms:sel" per step.
run() {
  local exe=$1 class=$2 caption=$3 file=$4; shift 4
  (cd "$APP_DIR" && exec "$LOCKLEAF_WINE" "$exe" "$@" "$file" </dev/null >>"$E2E_TMP/wine.log" 2>&1) &
  LL_PID=$!
  if [[ $file == *.txse ]]; then  # its password is asked before the document is shown
    for _ in $(seq 600); do [ "$(probe windows Lockleaf)" = 1 ] && break; sleep 0.5; done
    # The prompt may not have the focus yet when it first shows: the password is typed until it is there.
    for _ in 1 2 3 4 5; do
      focus_window '^Lockleaf$'
      typed "$PASSWORD"
      [ "$(prompt_box)" = "$PASSWORD" ] && break
      press ctrl+a BackSpace
      sleep 1
    done
    press Return
  fi
  for _ in $(seq 1200); do [ "$(probe caption "$class" 2>/dev/null)" = "$caption" ] && break; sleep 0.5; done
  WATCHED=$(pgrep -f "^$exe" | head -n 1)
  focus_window "$caption"
  if [ "$class" = LockleafMain ]; then
    # Replace mode with a replacement: the Find window's Replace button, the replacement typed, then F3 there
    # (which takes both words and gives the focus back to the text).
    press ctrl+f
    wait_for_window Find || true
    press Tab Tab Tab space
    wait_for_window Replace || true
    press shift+Tab shift+Tab
    typed LOREM
    press F3
  fi
  press ctrl+End
  probe sel "$class" >/dev/null
  sleep 1
  local out=()
  out+=("$(step "$class" ctrl+Home)")
  press Down Down Right  # into "lorem"
  out+=("$(step "$class" ctrl+F3)")
  for _ in 1 2 3 4; do out+=("$(step "$class" F3)"); done
  press ctrl+Home Down Right  # into "farword"
  out+=("$(step "$class" ctrl+F3)")
  out+=("$(step "$class" F3)")
  press ctrl+Home Right  # into "zyzzyva"
  out+=("$(step "$class" ctrl+F3)")
  out+=("$(step "$class" F3)")
  out+=("$(step "$class" F3)")
  press F3  # the one at the top again, for F4
  probe sel "$class" >/dev/null  # answered once that press is done
  out+=("$(step "$class" F4)")
  out+=("$(step "$class" F2)")
  press ctrl+Home Down Down Right ctrl+F3  # "lorem" is the word
  probe sel "$class" >/dev/null
  if [ "${REPLACE:-1}" = 0 ]; then
    out+=("? ? ?")
  elif [ "$class" = LockleafMain ]; then
    # Ctrl+F opens the window in Replace mode on the word at the caret; four Tabs reach Replace All.
    out+=("$(PING_SECONDS=$((MIB * 10 + 20)) step "$class" ctrl+f Tab Tab Tab Tab space)")
    press Tab space  # Cancel closes the window
  else
    out+=("$(PING_SECONDS=$((MIB * 10 + 20)) step "$class" F7)")
  fi
  press ctrl+End
  probe sel "$class" >/dev/null
  out+=("$(step "$class" a b c d e f g h i j)")
  out+=("$(step "$class" Up Up Up Down Down Down Home End)")
  if [ "${WRAP:-1}" = 0 ]; then
    "$WINESERVER" -k 2>/dev/null || true
    LL_PID=
    sleep 1
    printf '%s\n' "${out[@]}"
    return
  fi
  local wrap=(F6) asked=
  # The editor asks first when the document is large (all of these are), and Yes goes on.
  [ "$class" = LockleafMain ] && wrap=(F10 Right Down Down Return) && asked=1
  # The boxes' own wrapping holds the window for seconds on a big text.
  local seconds=${WRAP_SECONDS:-$((MIB > 16 ? 90 : 30))}
  # The question alone, answered No: here (Wine on Xvfb, no window manager) closing the message box holds
  # the window about 2 s, and the switch's work follows in the same hold. The bare program asks nothing.
  if [ -n "$asked" ]; then out+=("$(NO=1 step "$class" "${wrap[@]}")"); else out+=("? ? ?"); fi
  out+=("$(ASKED=$asked PING_SECONDS=$seconds step "$class" "${wrap[@]}")")
  out+=("$(ASKED=$asked PING_SECONDS=$seconds step "$class" "${wrap[@]}")")
  "$WINESERVER" -k 2>/dev/null || true  # the run ends, and clears up, before the next begins
  LL_PID=
  sleep 1
  printf '%s\n' "${out[@]}"
}

# The quotient to one place, or "-" where either figure is missing (0).
ratio() { python3 -c "import sys; a, b = map(int, sys.argv[1:]); print(f'{a / b:.1f}' if a and b else '-')" "$1" "$2"; }

PASSWORD=bench-Key-7
echo "exe: build/$LOCKLEAF_WINE_BUILD/lockleaf.exe ($LOCKLEAF_WINE_WHY)"
[ "${BASE_FONT:-product}" = product ] && echo "the bare EDIT's font: the editor's" || echo "the bare EDIT's font: its default"
[ "${SEALED:-0}" = 1 ] && echo "the editor's document: sealed (the same text, UTF-8 inside)"
[ -n "${BEFORE_BUILD:-}" ] && echo "before: $BEFORE_BUILD/lockleaf.exe"
echo "each figure: the window's slowest answer in ms (where the selection then is); ratio: over the bare EDIT's;"
echo "MiB: the memory the command added to the program's, at its peak / still held after it (sampled every 50 ms)"
for mib in "${SIZES[@]}"; do
  MIB=$mib
  make_find_doc "$DOCS/find$mib.txt" "$mib"
  doc=find$mib.txt
  if [ "${SEALED:-0}" = 1 ]; then
    doc=find$mib.txse
    python3 -c 'import sys; sys.stdout.buffer.write(open(sys.argv[1], "rb").read().decode("cp874").encode())' \
      "$DOCS/find$mib.txt" >"$E2E_TMP/plain.utf8"
    python3 "$REPO/tests/fixtures/sealed/sealed.py" seal "$PASSWORD" "$E2E_TMP/plain.utf8" "$DOCS/$doc"
    rm -f "$E2E_TMP/plain.utf8"
  fi
  bare_args=(--find)
  [ "${BASE_FONT:-product}" = product ] && bare_args+=(--product-font)
  mapfile -t bare < <(run bare_edit.exe BareEdit "find$mib.txt - bare EDIT" "C:\\docs\\find$mib.txt" "${bare_args[@]}")
  mapfile -t ours < <(run lockleaf.exe LockleafMain "$doc - Lockleaf 1.0" "C:\\docs\\$doc")
  before=()
  if [ -n "${BEFORE_BUILD:-}" ]; then
    mapfile -t before < <(run before.exe LockleafMain "$doc - Lockleaf 1.0" "C:\\docs\\$doc")
  fi
  echo
  echo "== $mib MiB"
  printf '%-22s %-18s %-18s %-7s %-11s %-11s' key "bare EDIT" Lockleaf ratio "bare MiB" "ours MiB"
  [ ${#before[@]} -gt 0 ] && printf ' %-18s %-7s' "before" ratio
  echo
  for i in "${!STEPS[@]}"; do
    read -r bms bsel bmem <<<"${bare[i]:-? ? ?}"
    read -r oms osel omem <<<"${ours[i]:-? ? ?}"
    printf '%-22s %-18s %-18s %-7s %-11s %-11s' "${STEPS[i]}" "$bms ($bsel)" "$oms ($osel)" \
      "$(ratio "${oms/\?/0}" "${bms/\?/0}")" "$bmem" "$omem"
    if [ ${#before[@]} -gt 0 ]; then
      read -r pms psel _ <<<"${before[i]:-? ? ?}"
      printf ' %-18s %-7s' "$pms ($psel)" "$(ratio "${pms/\?/0}" "${bms/\?/0}")"
    fi
    echo
  done
  # Word Wrap less the question's part, where all three were measured (the last three steps).
  last=$((${#STEPS[@]} - 1))
  read -r asked _ <<<"${ours[last - 2]:-? ? ?}"
  for i in $((last - 1)) $last; do
    read -r bms _ <<<"${bare[i]:-? ? ?}"
    read -r oms _ <<<"${ours[i]:-? ? ?}"
    [[ $asked$bms$oms =~ ^[0-9]+$ ]] || continue
    printf '%-22s %-18s %-18s %-7s\n' "${STEPS[i]}, less No" "$bms" "$((oms - asked))" "$(ratio $((oms - asked)) "$bms")"
  done
done
