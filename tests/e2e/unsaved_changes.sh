#!/usr/bin/env bash
# What a user types is never thrown away without a question, by keys alone: F2 on an untitled page is Save As;
# the close box and Exit ask, Cancel keeps the page and the typing goes on, Save writes it and ends. A relative
# name on the command line stays the file F2 writes after a dialog moved the current directory; Word Wrap on an
# unedited document marks nothing, so Exit asks nothing.
source "$(dirname "$0")/lib.sh"
e2e_setup
D=$APP_DIR
menu() { press F10 Down "$@" Return; }  # File menu: New, Open..., Save, Save As..., Exit
dialog() { wait_for_window Lockleaf || true; sleep 0.5; }
caption_is() { eventually "$1" probe caption || true; check "$2" "$(probe caption)" "$1"; }
alive() { kill -0 "$LL_PID" 2>/dev/null && echo yes || echo no; }

ll_start
focus_window "Lockleaf"
typed 'my page'
press F2; dialog                        # untitled: Save As
check "F2 on an untitled document opens Save As" "$(probe windows Lockleaf)" "1"
press Escape
press alt+F4; dialog
check "the close box asks first" "$(said)" "Do you want to save changes to Untitled?"
shot question
press Escape
typed '!'
eventually "my page!" probe text || true
check "Cancel keeps the page, and the typing goes on in it" "$(probe text)" "my page!"
check "and the program runs" "$(alive)" "yes"
menu Down Down Down Down; dialog        # Exit
press y; dialog                         # Save: an untitled page goes through Save As
typed 'C:\Lockleaf\page.txt'; press Return
ll_wait_exit || true
check "Exit, Save wrote the page and ended" "$(cat "$D/page.txt" 2>/dev/null)/$(alive)" "my page!/no"

mkdir -p "$WINEPREFIX/drive_c/first" "$WINEPREFIX/drive_c/second"
printf 'notes' > "$WINEPREFIX/drive_c/first/notes.txt"
(cd "$WINEPREFIX/drive_c/first" && exec "$LOCKLEAF_WINE" 'C:\Lockleaf\lockleaf.exe' notes.txt </dev/null \
  >>"$E2E_TMP/wine.log" 2>&1) &
LL_PID=$!
ll_wait_window
focus_window "notes.txt - Lockleaf"
press F10 Right Down Down Return        # Edit > Word Wrap
caption_is "notes.txt - Lockleaf 1.0" "Word Wrap on an unedited document is no edit"
menu Down; dialog                       # Open..., into another folder, cancelled
typed 'C:\second\'; press Return; sleep 0.5; press Escape
press ctrl+End; typed '+'
press F2
caption_is "notes.txt - Lockleaf 1.0" "F2 after the dialog"
check "wrote the command line's file in its own folder" "$(cat "$WINEPREFIX/drive_c/first/notes.txt")" "notes+"
check "and nothing in the folder the dialog showed" "$(ls -A "$WINEPREFIX/drive_c/second")" ""
press F10 Right Down Down Return        # Word Wrap off again
menu Down Down Down Down                # Exit: nothing to ask
ll_wait_exit || true
check "an unmodified document closes without a question" "$(alive)" "no"
e2e_done
