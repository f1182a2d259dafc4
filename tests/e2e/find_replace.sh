#!/usr/bin/env bash
# Find and Replace: Ctrl+F on a selection opens the window with it, Find selects the next match in the editor,
# Replace switches the layout (height, buttons), Cancel closes it, Esc in the search box closes it too; F3 and
# Ctrl+F3 ignore case beyond A-Z.
source "$(dirname "$0")/lib.sh"
e2e_setup
ll_start

px() { awk -v t="$1" -v d="$(probe dpi)" 'BEGIN { printf "%d\n", t * d / 1440 + 0.5 }'; }
rep_height() { probe visible | awk -F'\t' -v c="$1" '$1 == "LockleafRep" && $2 == c { split($3, r, " "); print r[4] }'; }
# Text, visible and enabled flags of the controls of the window with this caption, by class, in window order.
control() { probe child "$1" | awk -F'\t' -v k="$2" -v n="$3" '$1 == k && ++i == n { print $2 "|" $3 "|" $4 }'; }
# Visible and enabled flags of the button with this caption.
button() { probe child "$1" | awk -F'\t' -v t="$2" '$1 == "Button" && $2 == t { print $3 "|" $4 }'; }

probe settext "hello world hello" >/dev/null
probe setsel 0 5 >/dev/null
keys "Lockleaf" ctrl+f
wait_for_window "Find" || true
check "Ctrl+F opens the Find window" "$(probe windows Find)" "1"
check "the selection fills the search box" "$(control Find Edit 1)" "hello|1|1"
check "Find mode height" "$(rep_height Find)" "$(px 1800)"
check "Replace All is disabled in Find mode" "$(button Find "Replace All")" "1|0"
check "Replace is enabled in Find mode" "$(button Find Replace)" "1|1"
shot find-mode

probe post Find 201 >/dev/null   # the "Find" button
eventually "12 5" probe sel || true
check "Find selects the next match in the editor" "$(probe sel)" "12 5"
check "the window stays open" "$(probe windows Find)" "1"

probe post Find 202 >/dev/null   # "Replace" in Find mode: switch only
wait_for_window "Replace" || true
check "Replace switches the caption" "$(probe windows Replace)" "1"
check "Replace mode height" "$(rep_height Replace)" "$(px 2500)"
check "Replace All is enabled in Replace mode" "$(button Replace "Replace All")" "1|1"
check "the switch replaces nothing" "$(probe text)" "hello world hello"
shot replace-mode

probe post Replace 204 >/dev/null   # "Cancel"
eventually "0" probe windows Replace || true
check "Cancel closes the window" "$(probe windows Replace)" "0"

probe setsel 6 0 >/dev/null
keys "Lockleaf" ctrl+f
wait_for_window "Find" || true
check "reopened with the word at the caret" "$(control Find Edit 1)" "world|1|1"
keys "^Find$" Escape
eventually "0" probe windows Find || true
check "Esc in the search box closes the window" "$(probe windows Find)" "0"
check "the editor still has its text" "$(probe text)" "hello world hello"

# F3 and Ctrl+F3 ignore case as the locale lowers letters, also beyond A-Z, and go back to the top after the last.
probe settext "café CAFÉ x" >/dev/null
probe setsel 0 4 >/dev/null
keys "Lockleaf" ctrl+F3
check "Ctrl+F3 finds the selection in other capitals" "$(probe sel)" "5 4"
keys "Lockleaf" F3
check "F3 after the last match puts the caret at the top" "$(probe sel)" "0 0"
keys "Lockleaf" F3
check "and the next F3 finds the first again" "$(probe sel)" "0 4"
e2e_done
