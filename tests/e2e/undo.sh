#!/usr/bin/env bash
# Undo and redo by a keyboard user: two bursts of typing, a deletion, a paste and a Replace All are taken back
# a step at a time by Ctrl+Z down to the text as it was opened (and no further), then done again by Ctrl+Y,
# Ctrl+Shift+Z and the Edit menu's Redo up to the last; the menu's Undo takes one back, and F2 writes what is
# shown.
source "$(dirname "$0")/lib.sh"
e2e_setup
printf 'one two\r\nthree two\r\n' >"$APP_DIR/steps.txt"
ll_start 'C:\Lockleaf\steps.txt'
focus_window "steps.txt - Lockleaf"
edit_menu() { press F10 Right "$@" Return; }  # Edit: Find, Word Wrap, Status Bar, Undo, Redo
shows() { eventually "$1" probe text || true; check "$2" "$(probe text)" "$1"; }
# The probe reads lines without their CR.
texts=("$(printf 'one two\nthree two\n')" "$(printf 'one two\nthree two\nabc')" "$(printf 'one two\nthree two\nabcde')"
  "$(printf 'one two\nthree two\nabc')" "$(printf 'one two\nthree two\nabcabc')" "$(printf 'one 2\nthree 2\nabcabc')")
shows "${texts[0]}" "the document as opened"

press ctrl+End
typed abc
shows "${texts[1]}" "typing"
sleep 1.5  # a pause: what is typed next is a step of its own
typed de
shows "${texts[2]}" "typing after a pause"
press BackSpace BackSpace
shows "${texts[3]}" "two deletions"
press shift+Home ctrl+c End ctrl+v
shows "${texts[4]}" "a paste"
press ctrl+f; wait_for_window Find || true
typed two
press Tab Tab Tab space                 # Replace: Replace mode
wait_for_window Replace || true
press shift+Tab shift+Tab; typed 2      # the replacement box
press Tab Tab Tab space                 # Replace All
press Tab space                         # Cancel
shows "${texts[5]}" "Replace All"

for k in 4 3 2 1 0; do
  press ctrl+z
  shows "${texts[$k]}" "Ctrl+Z takes back step $((k + 1))"
done
press ctrl+z
shows "${texts[0]}" "and goes no further than the text as opened"
check "which is still a change to save" "$(probe caption)" "steps.txt * - Lockleaf 1.0"

press ctrl+y
shows "${texts[1]}" "Ctrl+Y does the first step again"
press ctrl+y
shows "${texts[2]}" "and the second"
press ctrl+shift+z
shows "${texts[3]}" "Ctrl+Shift+Z the third"
edit_menu Down Down Down Down Down
shows "${texts[4]}" "the menu's Redo the fourth"
press ctrl+y ctrl+y
shows "${texts[5]}" "up to the last, and no further"

edit_menu Down Down Down Down
shows "${texts[4]}" "the menu's Undo takes Replace All back"
press F2
eventually "steps.txt - Lockleaf 1.0" probe caption || true
check "F2 writes the text shown" "$(od -An -c "$APP_DIR/steps.txt" | tr -s ' \n' ' ')" \
  "$(printf 'one two\r\nthree two\r\nabcabc' | od -An -c | tr -s ' \n' ' ')"
e2e_done
