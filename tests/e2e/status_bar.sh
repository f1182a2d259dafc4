#!/usr/bin/env bash
# The status bar, the zoom and Go To Line by a keyboard user: the bar follows the caret through keys and
# typing, Ctrl+G takes the caret to a line (and keeps asking for one out of range), Ctrl+Plus, Ctrl+Minus,
# Ctrl+0 and Ctrl with the wheel zoom the text, and the Edit menu's Status Bar hides the bar, whose room the
# text takes, until a later start shows it again.
source "$(dirname "$0")/lib.sh"
e2e_setup
printf 'one\r\ntwo\r\nthree\r\nfour' >"$APP_DIR/lines.txt"
ll_start 'C:\Lockleaf\lines.txt'
focus_window "lines.txt - Lockleaf"
status() { probe status; }
bar() { printf '%s\t%s\t%s\t%s' "$1" "$2" "Windows (CRLF)" "ANSI"; }
settles() { eventually "$1" status || true; check "$2" "$(status)" "$1"; }

check "the bar shows where the caret is, the zoom and the document's form" "$(status)" "$(bar "Ln 1, Col 1" 100%)"
press ctrl+End
settles "$(bar "Ln 4, Col 5" 100%)" "Ctrl+End: the last line's end"
press Up Home
settles "$(bar "Ln 3, Col 1" 100%)" "Up and Home"
typed ab
settles "$(bar "Ln 3, Col 3" 100%)" "typing moves it on"

press ctrl+g
wait_for_window "Go To Line" || true
check "Go To Line offers the caret's line" "$(probe child 'Go To Line' | awk -F'\t' '$1 == "Edit" { print $2 }')" "3"
check "and says how many there are" \
  "$(probe child 'Go To Line' | awk -F'\t' '$1 == "Static" && $2 != "" { print $2; exit }')" "Line number (1 - 4):"
typed 9
press Return
wait_for_window "Lockleaf" || true
check "a line beyond the last is told" "$(said)" "The line number must be between 1 and 4."
press Return
check "and the dialog stays" "$(probe windows 'Go To Line')" "1"
typed 2
press Return
eventually 0 probe windows 'Go To Line' || true
settles "$(bar "Ln 2, Col 1" 100%)" "Go To puts the caret at the line's start"
check "with nothing selected" "$(probe sel)" "5 0"
typed x
# The probe's lines come without their CR.
eventually "$(printf 'one\nxtwo\nabthree\nfour')" probe text || true
check "typing goes on there" "$(probe text)" "$(printf 'one\nxtwo\nabthree\nfour')"

line100=$(probe lineheight)
press ctrl+equal
settles "$(bar "Ln 2, Col 2" 110%)" "Ctrl+= (the key of +) zooms in a step"
press ctrl+plus ctrl+KP_Add
settles "$(bar "Ln 2, Col 2" 130%)" "Ctrl++ with Shift, and the keypad's +"
line130=$(probe lineheight)
check "the text is larger" "$([ "$line130" -gt "$line100" ] && echo larger || echo "$line100 -> $line130")" "larger"
press ctrl+minus ctrl+KP_Subtract
settles "$(bar "Ln 2, Col 2" 110%)" "Ctrl+- and the keypad's - zoom out"
press ctrl+0
settles "$(bar "Ln 2, Col 2" 100%)" "Ctrl+0 goes back to 100%"
check "at the line height it had" "$(probe lineheight)" "$line100"
check "and the zoom keys typed nothing" "$(probe text)" "$(printf 'one\nxtwo\nabthree\nfour')"
read -r x y <<<"$(probe charpos 0)"
xdotool mousemove "$((x + 20))" "$((y + 5))" keydown ctrl click 4 click 4 keyup ctrl
settles "$(bar "Ln 2, Col 2" 120%)" "Ctrl and the wheel zoom a step a notch"
xdotool keydown ctrl click 5 keyup ctrl
settles "$(bar "Ln 2, Col 2" 110%)" "and back"
shot zoomed

box_height() { probe layout | awk -F'\t' '$2 == 100 { split($3, r, " "); print r[4] }'; }
bar_height() { probe layout | awk -F'\t' '$2 == 202 { split($3, r, " "); print r[4] }'; }
with_bar=$(box_height) height=$(bar_height)
press F10 Right Down Down Down Return   # Edit > Status Bar
eventually hidden status || true
check "Status Bar hides the bar" "$(status)" "hidden"
check "and the text takes its room" "$(box_height)" "$((with_bar + height))"
probe close
wait_for_window "Lockleaf" || true
press n                                 # Don't Save
ll_wait_exit

ll_start 'C:\Lockleaf\lines.txt'
focus_window "lines.txt - Lockleaf"
check "the next start remembers it hidden, at 100%" "$(status)" "hidden"
check "with the text's room" "$(box_height)" "$((with_bar + height))"
press F10 Right Down Down Down Return
settles "$(bar "Ln 1, Col 1" 100%)" "Status Bar shows it again"
check "above it the text as before" "$(box_height)" "$with_bar"
shot end
e2e_done
