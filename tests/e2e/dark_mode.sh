#!/usr/bin/env bash
# Dark when Windows shows apps dark: the text area and the Find window's boxes are painted dark with light
# text, and they follow a switch back to light at once, without a restart.
source "$(dirname "$0")/lib.sh"
e2e_setup
printf 'dark text' >"$WINEPREFIX/drive_c/doc.txt"
PERSONALIZE='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
apps_light() { wine_run reg add "$PERSONALIZE" /v AppsUseLightTheme /t REG_DWORD /d "$1" /f >/dev/null; }
# The colour on screen at x y, as #RRGGBB.
pixel() { import -window root -crop "1x1+$1+$2" txt:- 2>/dev/null | grep -o '#[0-9A-Fa-f]\{6\}' | head -n 1; }
# A box's background: below the text area's first line, and right of the Find box's "dark text".
below_text() { local x y; read -r x y <<<"$(probe charpos 0)"; pixel $((x + 2)) $((y + 40)); }
after_find_text() { local x y; read -r x y <<<"$(probe charpos 8 Find 101)"; pixel $((x + 20)) $((y + 4)); }

apps_light 0
ll_start 'C:\doc.txt'
focus_window "doc.txt - Lockleaf 1.0"
sleep 1
check "dark: the text area is dark" "$(below_text)" "#202020"
press ctrl+Home shift+End ctrl+f
wait_for_window "Find" || true
sleep 1
check "dark: the Find window's box too" "$(after_find_text)" "#202020"
shot dark

apps_light 1
probe colorchange
sleep 1
check "light again: the text area, at once" "$(below_text)" "#FFFFFF"
check "light again: the Find window's box" "$(after_find_text)" "#FFFFFF"
shot light
press Escape
probe close >/dev/null
ll_wait_exit || true
e2e_done
