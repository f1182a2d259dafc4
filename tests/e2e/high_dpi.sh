#!/usr/bin/env bash
# At 144 dpi (the prefix's LogPixels) the window keeps its design in twips: the text boxes, the banner strip,
# the picture and the Find window are half as large again in pixels as at 96 dpi, and so are the fonts; the
# same when a window started at 96 dpi is told it moved to a monitor of 144.
source "$(dirname "$0")/lib.sh"
e2e_setup
printf 'hello world\r\nsecond line' >"$WINEPREFIX/drive_c/doc.txt"

# Pixels for twips at the screen's current dpi, rounded as the program does (halves up).
px() { awk -v t="$1" -v d="$DPI" 'BEGIN { printf "%d\n", int(t * d / 1440 + 0.5) }'; }
child() { probe layout | awk -F'\t' -v id="$1" '$2 == id { print $3 }'; }
# The search box's width of "hello world" and the editor's line height: the fonts' size in pixels.
measure() {
  ll_start 'C:\doc.txt'
  DPI=$(probe dpi)
  LINE=$(probe lineheight)
  keys "Lockleaf" ctrl+Home shift+End ctrl+f
  wait_for_window "Find" || true
  read -r x0 _ <<<"$(probe charpos 0 Find 101)"
  read -r x1 _ <<<"$(probe charpos 10 Find 101)"
  WORD=$((x1 - x0))
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { r = a / b; print (r > 1.35 && r < 1.65) ? "about 1.5" : r }'; }

measure
check "the first start runs at 96 dpi" "$DPI" "96"
line96=$LINE word96=$WORD
# Moved to a monitor of 144 dpi while it runs: the same twips, at the new scale, and a larger font.
probe dpichange 144 >/dev/null
DPI=144
read -r _ _ W H <<<"$(probe rect)"
BAR=$(child 202 | awk '{ print $4 }')
check "on a 144 dpi monitor the text box is laid out in twips at 144, above the status bar" "$(child 100)" \
  "0 $(px 840) $((W - $(px 240))) $((H - $(px 1710) - BAR))"
check "the picture keeps its twips" "$(child 201)" "$((W - $(px 510))) $(px 20) $(px 285) $(px 270)"
check "the editor's font grows with it" "$(ratio "$(probe lineheight)" "$line96")" "about 1.5"
probe close >/dev/null
ll_wait_exit

wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
measure
check "LogPixels 144 gives a 144 dpi screen" "$DPI" "144"
read -r _ _ W H <<<"$(probe rect)"
# Above the status bar, which keeps the height the system gives it.
BAR=$(child 202 | awk '{ print $4 }')
check "the text box is laid out in twips" "$(child 100)" "0 $(px 840) $((W - $(px 240))) $((H - $(px 1710) - BAR))"
check "the banner strip too" "$(child 200)" "0 0 $((W - $(px 140))) $(px 750)"
check "and the picture" "$(child 201)" "$((W - $(px 510))) $(px 20) $(px 285) $(px 270)"
check "the editor's font grows with the dpi" "$(ratio "$LINE" "$line96")" "about 1.5"
check "the Find window is 4060 x 1800 twips" \
  "$(probe visible | awk -F'\t' '$1 == "LockleafRep" { split($3, r, " "); print r[3], r[4] }')" "$(px 4060) $(px 1800)"
check "its search box and buttons are sized in twips" \
  "$(probe child Find | awk -F'\t' '$1 == "Edit" && !e++ { print $5 } $2 == "Replace All" { print $5 }' | paste -sd,)" \
  "$(px 3135) $(px 615),$(px 1215) $(px 375)"
check "its font grows with the dpi" "$(ratio "$WORD" "$word96")" "about 1.5"
shot find-144dpi
e2e_done
