#!/usr/bin/env bash
# First start: the untitled window, typing without a file name, Word Wrap, the short-date format, Exit (which
# asks about the typed text; Don't Save ends).
source "$(dirname "$0")/lib.sh"
e2e_setup
ll_start

check "first start is untitled" "$(probe caption)" "Lockleaf 1.0"
check "short date format" "$(reg_value 'HKCU\Control Panel\International' sShortDate)" "dd/MM/yy"

type_text "Lockleaf" "hello"
eventually "hello" probe text || true
check "typed text reaches the editor" "$(probe text)" "hello"
check "typing marks nothing without a file name" "$(probe caption)" "Lockleaf 1.0"
shot typed

probe post main 2001 >/dev/null   # Edit > Word Wrap
eventually "1" probe active || true
check "word wrap shows the second box" "$(probe active)" "1"
check "word wrap copies the text" "$(probe text)" "hello"
probe post main 2001 >/dev/null
eventually "0" probe active || true
check "word wrap twice returns to the first box" "$(probe active)" "0"
check "with the same text" "$(probe text)" "hello"

probe post main 1005 >/dev/null   # File > Exit
wait_for_window Lockleaf || true
check "exit asks about the typed text" "$(said)" \
  "Do you want to save changes to Untitled?"
keys "^Lockleaf$" n                # Don't Save
if ll_wait_exit; then ended=yes; else ended=no; fi
check "exit ends the process" "$ended" "yes"
e2e_done
