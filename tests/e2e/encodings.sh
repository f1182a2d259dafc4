#!/usr/bin/env bash
# Today's text files through the keyboard: UTF-8 with LF, UTF-8 with a BOM, UTF-16 LE, a short UTF-8 "café",
# UTF-16 LE without a BOM and a Thai file in the code page each open readable, and one typed letter + F2
# writes the original bytes plus that letter in the file's own encoding and breaks. Save As with "UTF-16 BE"
# picked in its Encoding list writes a BOM and big-endian units; an "é" typed into a new document raises the
# question, and "Save as UTF-8" writes UTF-8. The Open dialog's Encoding list reads Thai that passes for
# UTF-8 as ANSI.
source "$(dirname "$0")/lib.sh"
e2e_setup
D=$APP_DIR
menu() { press F10 Down "$@" Return; }  # File menu: New, Open..., Save, Save As...
dialog() { wait_for_window Lockleaf || true; sleep 0.5; }
caption_is() { eventually "$1" probe caption || true; check "$2" "$(probe caption)" "$1"; }
# File bytes from text: u8 TEXT, or u16le/u16be TEXT (python, so the test does not use the unit it checks).
enc() { python3 -c 'import sys; sys.stdout.buffer.write(sys.argv[2].encode(sys.argv[1]))' "$1" "$2"; }

WORDS='Grüße — ทดสอบ'
enc utf-8 "$WORDS"$'\nline two\n' >"$D/u8.txt"
{ printf '\xef\xbb\xbf'; enc utf-8 "café ทดสอบ"$'\r\n'; } >"$D/bom.txt"
{ printf '\xff\xfe'; enc utf-16-le "$WORDS 😀"$'\r\nend'; } >"$D/u16.txt"
enc cp874 "ทดสอบ ภาษาไทย"$'\r\n' >"$D/thai.txt"
enc utf-8 "café"$'\r\n' >"$D/cafe.txt"
enc utf-16-le "plain ascii in utf-16"$'\n' >"$D/nobom.txt"
enc cp874 "รถ" >"$D/rt.txt"  # C3 B6: also UTF-8 "ö"

# open NAME SHOWN: from the command line; the box shows SHOWN; ctrl+End, "x", F2; then the window closes.
edit_one() {
  ll_start "C:\\Lockleaf\\$1"
  caption_is "$1 - Lockleaf 1.0" "$1 opens"
  check "$1: the box shows its text" "$(probe text)" "$2"
  [ -n "${FOCUSED:-}" ] || { focus_window "$1 - Lockleaf"; FOCUSED=1; }
  press ctrl+End; typed x; press F2
  caption_is "$1 - Lockleaf 1.0" "$1: F2 saved without a question"
  press alt+F4; ll_wait_exit || true
  FOCUSED=
}
# (the probe's text loses the last line break, as the shell's $(...) does)
edit_one u8.txt "$WORDS"$'\nline two'
check "UTF-8 with LF: the original bytes, then x" "$(hex "$D/u8.txt")" "$(enc utf-8 "$WORDS"$'\nline two\nx' | od -An -tx1 | tr -d ' \n')"
edit_one bom.txt "café ทดสอบ"
check "UTF-8 with a BOM: BOM, text, x" "$(hex "$D/bom.txt")" "efbbbf$(enc utf-8 "café ทดสอบ"$'\r\nx' | od -An -tx1 | tr -d ' \n')"
edit_one u16.txt "$WORDS 😀"$'\nend'
check "UTF-16 LE: BOM, text, x as two bytes" "$(hex "$D/u16.txt")" "fffe$(enc utf-16-le "$WORDS 😀"$'\r\nendx' | od -An -tx1 | tr -d ' \n')"
edit_one cafe.txt "café"
check "short UTF-8: the é kept, then x" "$(hex "$D/cafe.txt")" "$(enc utf-8 "café"$'\r\nx' | od -An -tx1 | tr -d ' \n')"
edit_one nobom.txt "plain ascii in utf-16"
check "UTF-16 LE without a BOM: no BOM written, x as two bytes" "$(hex "$D/nobom.txt")" "$(enc utf-16-le "plain ascii in utf-16"$'\nx' | od -An -tx1 | tr -d ' \n')"
edit_one thai.txt "ทดสอบ ภาษาไทย"
check "Windows-874: the same bytes, then x" "$(hex "$D/thai.txt")" "$(enc cp874 "ทดสอบ ภาษาไทย"$'\r\nx' | od -An -tx1 | tr -d ' \n')"

# Save As, "UTF-16 BE" picked in the Encoding list (the last entry) by the keyboard.
ll_start 'C:\Lockleaf\u8.txt'
focus_window "u8.txt - Lockleaf"
menu Down Down Down; dialog             # Save As...
typed 'C:\Lockleaf\be.txt'
press alt+e End; press Return
caption_is "be.txt - Lockleaf 1.0" "Save As names the new file"
check "UTF-16 BE: BOM FE FF, big-endian units, LF kept" "$(hex "$D/be.txt")" \
  "feff$(enc utf-16-be "$WORDS"$'\nline two\nx' | od -An -tx1 | tr -d ' \n')"

# New, "é" typed, F2: the question; Enter takes its first button, "Save as UTF-8".
menu                                    # New
typed_each "probe text" "café"
press F2; dialog
typed 'C:\Lockleaf\new.txt'; press Return
dialog
check "the question names the character and offers UTF-8" \
  "$(probe child Lockleaf | awk -F'\t' 'tolower($1) == "button" { printf "%s|", $2 }')" 'Save as &UTF-8|Save with "&?"|Cancel|'
press Return
caption_is "new.txt - Lockleaf 1.0" "the new document is saved"
check "as UTF-8, every character kept" "$(hex "$D/new.txt")" "$(enc utf-8 'café' | od -An -tx1 | tr -d ' \n')"

# Open..., "ANSI" picked in its Encoding list (the entry after Auto-detect).
menu Down; dialog                       # Open...
typed 'C:\Lockleaf\rt.txt'
press alt+e Down; press Return
caption_is "rt.txt - Lockleaf 1.0" "Open with ANSI chosen opens the file"
check "ANSI chosen: Thai, not \"ö\"" "$(probe text)" "รถ"
press ctrl+End; typed x; press F2
caption_is "rt.txt - Lockleaf 1.0" "F2 saved without a question"
check "ANSI chosen: the same bytes, then x" "$(hex "$D/rt.txt")" "c3b678"
press alt+F4; ll_wait_exit || true
e2e_done
