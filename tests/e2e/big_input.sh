#!/usr/bin/env bash
# Files too big for the editor, dropped and given on the command line: a message that names the size and the
# limit, and the document shown, unsaved edit and all, stays; F2 then writes it and leaves the big file alone.
# With Word Wrap on, a document that is one 1 Mi-character line opens with Word Wrap off instead of hanging.
# A document in a folder whose path is over 300 characters long is saved there.
source "$(dirname "$0")/lib.sh"
e2e_setup
D=$APP_DIR
printf 'first' >"$D/A.txt"
for size in 1G 1536M 2G; do truncate -s "$size" "$D/big$size.txt"; done  # sparse: no disk used
python3 -c "import sys; sys.stdout.buffer.write(b'w' * (1 << 20))" >"$D/line.txt"
now() { date +%s%N; }
drop() { local l t w h; read -r l t w h <<<"$(probe rect)"; drop_files $((l + w / 2)) $((t + h / 2)) "$@"; }
message_for() { echo "This file is $1 MiB; Lockleaf opens files up to 256 MiB. Your file has NOT been opened."; }

ll_start 'C:\Lockleaf\A.txt'
focus_window "A.txt - Lockleaf"
press ctrl+End
typed ' edited'
for case in "1G 1024" "1536M 1536" "2G 2048"; do
  read -r size mib <<<"$case"
  drop "$D/big$size.txt"
  wait_for_window Lockleaf || true
  check "the unsaved edit is asked about first" "$(said)" "Do you want to save changes to A.txt?"
  t=$(now)
  press n
  wait_for_window Lockleaf || true
  echo "  ($size dropped: the message after $((($(now) - t) / 1000000)) ms from Don't Save)"
  check "a dropped $size file is refused by its size" "$(said)" "$(message_for "$mib")"
  press Return
  check "and the document shown stays, unsaved edit and all" "$(probe caption)/$(probe text)" \
    "A.txt * - Lockleaf 1.0/first edited"
done
press F2
eventually "A.txt - Lockleaf 1.0" probe caption || true
check "F2 writes the document shown to its own file" "$(cat "$D/A.txt")" "first edited"
check "the big file is untouched" "$(stat -c %s "$D/big2G.txt")" "2147483648"

# Word Wrap on, then a document that is one line of 1 Mi characters.
press F10 Right Down Down Return   # Edit > Word Wrap
check "Word Wrap is on" "$(probe active)" "1"
t=$(now)
drop "$D/line.txt"
wait_for_window Lockleaf || true
echo "  (1 Mi-character line dropped with Word Wrap on: the message after $((($(now) - t) / 1000000)) ms)"
check "a line too long to wrap is said" "$(said)" \
  "This document has a line too long to wrap (more than 131072 characters). Word Wrap stays off."
press Return
check "the document opens in the box without wrap" "$(probe active)/$(probe caption)" "0/line.txt - Lockleaf 1.0"
check "whole" "$(probe text | wc -c)" "1048576"
answers=no
probe ping 1 >/dev/null && answers=yes
check "and the window answers" "$answers" "yes"
probe close >/dev/null
ll_wait_exit || true

# On the command line: the message, then the window, untitled.
for case in "1G 1024" "2G 2048"; do
  read -r size mib <<<"$case"
  t=$(now)
  ll_start_nowait "C:\\Lockleaf\\big$size.txt"
  wait_for_window Lockleaf || true
  echo "  ($size on the command line: the message after $((($(now) - t) / 1000000)) ms from the start)"
  check "$size on the command line is refused by its size" "$(said)" "$(message_for "$mib")"
  focus_window "^Lockleaf$"
  press Return
  ll_wait_window
  check "and the editor comes up untitled and empty" "$(probe caption)/$(probe text)" "Lockleaf 1.0/"
  probe close >/dev/null
  ll_wait_exit || true
done
# A folder path of 314 characters: the document opens, and F2 saves it beside itself.
deep_unix="$D/$(printf 'x%.0s' {1..100})/$(printf 'y%.0s' {1..100})/$(printf 'z%.0s' {1..100})"
deep_win="C:\\Lockleaf\\$(printf 'x%.0s' {1..100})\\$(printf 'y%.0s' {1..100})\\$(printf 'z%.0s' {1..100})"
mkdir -p "$deep_unix"
printf 'deep' >"$deep_unix/deep.txt"
check "the folder's path is over 300 characters" "$([ ${#deep_win} -gt 300 ] && echo yes)" "yes"
ll_start "$deep_win\\deep.txt"
focus_window "deep.txt - Lockleaf"
press ctrl+End
typed ' saved'
press F2
eventually "deep.txt - Lockleaf 1.0" probe caption || true
check "F2 saves the document in the deep folder" "$(cat "$deep_unix/deep.txt")" "deep saved"
check "and leaves nothing else there" "$(ls "$deep_unix")" "deep.txt"
probe close >/dev/null
ll_wait_exit || true
shot end
e2e_done
