#!/usr/bin/env bash
# Thai text on screen: a document with a line of Thai letters and a line of characters no font has (drawn as
# missing-glyph boxes) opens from the command line; the Thai line must not look like the boxes, in both text
# boxes (Word Wrap through the menu) and in the Find window's search box.
source "$(dirname "$0")/lib.sh"
e2e_setup
DOCS="$WINEPREFIX/drive_c/docs"
mkdir -p "$DOCS"
# 24 Thai consonants (Windows-874 0xA1..0xB8), then 24 times 0xDB (U+F8C1, a character without a glyph).
printf '%s\r\n%s\r\nend' "$(printf '%b' "$(printf '\\x%x' $(seq 161 184))")" \
  "$(printf '\xdb%.0s' $(seq 24))" >"$DOCS/thai.txt"
THAI=$(printf 'กขฃคฅฆงจฉชซฌญฎฏฐฑฒณดตถทธ')
BOXES=$(printf '\xef\xa3\x81%.0s' $(seq 24))

ll_start 'C:\docs\thai.txt'
eventually "thai.txt - Lockleaf 1.0" probe caption || true
check "the document opens" "$(probe caption)" "thai.txt - Lockleaf 1.0"
check "its text is the Thai letters and the stand-ins" "$(probe text)" "$THAI"$'\n'"$BOXES"$'\nend'

# A missing glyph is drawn as the same box whatever the character; real letters differ from their neighbours.
# distinct <shot> <first> <height> [<caption> <ctl-id>]: of the 8 neighbouring pairs among the characters
# from <first> on, how many look different (as cropped from the screenshot at their positions).
distinct() {
  local shot=$1 first=$2 h=$3 n=0 i x y xn a b
  shift 3
  local xs=()
  for i in $(seq 0 9); do xs+=("$(probe charpos $((first + i)) "$@")"); done
  # Each character's ink, trimmed of its background (white, or the selection's colour).
  for i in $(seq 0 8); do
    read -r x y <<<"${xs[$i]}"
    read -r xn _ <<<"${xs[$((i + 1))]}"
    convert "$shot" -crop "$((xn - x))x$h+$x+$y" +repage -fuzz 20% -trim +repage "$E2E_TMP/cell$i.png" 2>/dev/null
  done
  for i in $(seq 0 7); do
    a=$(identify -format %wx%h "$E2E_TMP/cell$i.png")
    b=$(identify -format %wx%h "$E2E_TMP/cell$((i + 1)).png")
    [ "$a" = 1x1 ] || [ "$b" = 1x1 ] && continue  # no ink at all
    if [ "$a" != "$b" ]; then
      n=$((n + 1))
      continue
    fi
    # compare's exit status says "different", not "failed".
    { compare -metric AE -fuzz 20% "$E2E_TMP/cell$i.png" "$E2E_TMP/cell$((i + 1)).png" null: 2>&1 || true; } |
      awk '$1 ~ /^[0-9]+$/ && $1 > 2 { found = 1 } END { exit !found }' && n=$((n + 1))
  done
  echo "$n"
}
shoot() { sleep 0.5; import -window root "$E2E_TMP/$1.png"; cp "$E2E_TMP/$1.png" "$SHOTS/$E2E_NAME-$1.png"; }
# The editor: the Thai line (characters 0..23) against the line of boxes (26..49).
check_glyphs() {  # check_glyphs <what>
  local lh
  shoot "$1"
  lh=$(probe lineheight)
  check "$1: the missing glyphs are all the same box" "$(distinct "$E2E_TMP/$1.png" 26 "$lh")" "0"
  check "$1: the Thai letters are each drawn" \
    "$(distinct "$E2E_TMP/$1.png" 0 "$lh" | awk '{ print ($1 >= 6) ? "yes" : "no: " $1 " of 8" }')" "yes"
}
check_glyphs no-wrap

# The selection goes into the search box: the Thai line, then (after Esc and a click) the box line.
keys "Lockleaf" ctrl+Home shift+End ctrl+f
wait_for_window "Find" || true
check "Ctrl+F puts the selected Thai line into the search box" \
  "$(probe child Find | awk -F'\t' '$1 == "Edit" { print $2; exit }')" "$THAI"
shoot find-thai
check "the search box draws the Thai letters" \
  "$(distinct "$E2E_TMP/find-thai.png" 0 16 Find 101 | awk '{ print ($1 >= 6) ? "yes" : "no: " $1 " of 8" }')" "yes"
keys "^Find$" Escape
eventually "0" probe windows Find || true
# A click on the box line puts the caret there (and the focus back into the editor).
read -r cx cy <<<"$(probe charpos 30)"
xdotool mousemove "$((cx + 2))" "$((cy + 4))" click 1
keys "Lockleaf" Home shift+End ctrl+f
wait_for_window "Find" || true
check "and the next time the box line" "$(probe child Find | awk -F'\t' '$1 == "Edit" { print $2; exit }')" "$BOXES"
shoot find-boxes
check "where it draws the same box each time" "$(distinct "$E2E_TMP/find-boxes.png" 0 16 Find 101)" "0"
keys "^Find$" Escape
eventually "0" probe windows Find || true
keys "Lockleaf" F10 Right Down Down Return   # Edit > Word Wrap
eventually "1" probe active || true
check "Word Wrap shows the second box" "$(probe active)" "1"
check_glyphs wrap

e2e_done
