#!/usr/bin/env bash
# The window placement kept in the registry across runs, and the .txs file type registered at start.
source "$(dirname "$0")/lib.sh"
e2e_setup
KEY='HKLM\SOFTWARE\tarvik'
stored() { reg_value "$KEY" position; }
close_app() { probe close >/dev/null; ll_wait_exit; }

# 1200,900,9000,6000 twips are 80,60,600,400 pixels at 96 dpi.
ll_start
check "the screen has 96 dpi" "$(probe dpi)" "96"
probe move 80 60 600 400 >/dev/null
eventually "80 60 600 400" probe rect || true
close_app
check "closing stores the placement in twips" "$(stored)" "1200,900,9000,6000"

ll_start
check "the next start restores it" "$(probe rect)" "80 60 600 400"

check ".txs is a Lockleaf File" "$(reg_default 'HKCR\.txs')" "Lockleaf File"
check "opened by the program with the file" \
  "$(reg_default 'HKCR\Lockleaf File\Shell\Open\Command')" '"C:\Lockleaf\lockleaf.exe" %1'
check "with the program's icon" "$(reg_default 'HKCR\Lockleaf File\DefaultIcon')" 'C:\Lockleaf\lockleaf.exe'

# Closed maximized, the window keeps its restored rectangle for the next run.
probe show max >/dev/null
sleep 0.5
check "maximized" "$(probe rect | awk '{ print ($3 > 600 && $4 > 400) ? "yes" : "no" }')" "yes"
close_app
check "a maximized window stores its restored rectangle" "$(stored)" "1200,900,9000,6000"

# A placement on a screen that is gone comes back onto this one, its size kept.
wine_run reg add "$KEY" /v position /t REG_SZ /d "60000,45000,9000,6000" /f >/dev/null
ll_start
check "an off-screen placement comes back onto the screen" \
  "$(probe rect | awk '{ print ($1 >= 0 && $2 >= 0 && $1 + $3 <= 1024 && $2 + $4 <= 768) ? "on" : "off", $3, $4 }')" \
  "on 600 400"
close_app

# Three parts are not a placement: the window opens where it would without one.
wine_run reg delete "$KEY" /v position /f >/dev/null
ll_start
initial=$(probe rect)
close_app
wine_run reg add "$KEY" /v position /t REG_SZ /d "1200,900,9000" /f >/dev/null
ll_start
check "a three-part value is ignored" "$(probe rect)" "$initial"
close_app
e2e_done
