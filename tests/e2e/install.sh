#!/usr/bin/env bash
# The setup program as a user (or winget) meets it: a silent per-user install of an earlier version and a
# silent upgrade over it that asks nothing, the program started from its Start-menu shortcut, an upgrade while
# it runs (refused when silent; interactively it asks to close it and goes on), and the uninstall entry's quiet
# command, which leaves nothing of ours but the window position (unless asked), never the user's files. The
# entry is found by the product code of the winget manifest made with the setup, which must describe it.
source "$(dirname "$0")/lib.sh"
e2e_setup
"$REPO/scripts/dist.sh" "$BUILD" "$E2E_TMP/dist" >/dev/null
SETUP=$(ls "$E2E_TMP"/dist/lockleaf-*setup.exe)
DIST="$E2E_TMP/dist/lockleaf"
# manifest PYTHON: prints what the expression makes of `m`, the winget manifest's installers file
manifest() {
  python3 -c 'import glob, sys, yaml; m = yaml.safe_load(open(glob.glob(sys.argv[1])[0])); print(eval(sys.argv[2]))' \
    "$E2E_TMP/dist/winget/*.installer.yaml" "$1"
}
PRODUCT_CODE=$(manifest 'next(i["ProductCode"] for i in m["Installers"] if i["InstallerType"] == "nullsoft")')
VERSION=$(manifest 'm["PackageVersion"]')
# An earlier version of the same setup to upgrade from: 0.9, its program's bytes not the build's.
OLD="$E2E_TMP/old"
mkdir -p "$OLD/build"
cp "$BUILD/lockleaf.exe" "$OLD/build/" && printf 'an earlier build' >>"$OLD/build/lockleaf.exe"
sed 's/^!define VERSION ".*"$/!define VERSION "0.9"/' "$BUILD/setup.nsh" >"$OLD/build/setup.nsh"
"$REPO/scripts/dist.sh" "$OLD/build" "$OLD/dist" >/dev/null
OLD_SETUP=$(ls "$OLD"/dist/lockleaf-*setup.exe)

win_env() { wine_run cmd /c echo "%$1%" | tr -d '\r'; }
unix_path() { wine_run winepath -u "$1" | tr -d '\r' | sed 's|/$||'; }
INST_WIN="$(win_env LOCALAPPDATA)\\Programs\\Lockleaf"
INST=$(unix_path "$INST_WIN")
MENU=$(unix_path "$(win_env APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs")
DESKTOP=$(unix_path "$(win_env USERPROFILE)\\Desktop")
UNINSTALL_KEYS='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
UNINSTALL="$UNINSTALL_KEYS\\$PRODUCT_CODE"
CLASSES=('HKCU\Software\Classes' 'HKLM\Software\Classes')
exit_code() { "$@" && echo 0 || echo $?; }
files_in() { [ -d "$1" ] && (cd "$1" && find . -mindepth 1 ${2:+-type "$2"} | sort | tr '\n' ' '); }  # [f: files only]
same() { cmp -s "$1" "$2" && echo same || echo different; }
key_exists() { wine_run reg query "$1" >/dev/null 2>&1 && echo yes || echo no; }
# uninstall.exe hands over to a copy of itself and returns at once; the copy removes the entry last.
uninstall() {
  wine_run "$INST/uninstall.exe" "$@"
  eventually no key_exists "$UNINSTALL" || true
}
# The setup's page (its caption ends with a blank) or its message box: 1 when a control reads the text.
setup_shows() { probe child "$1" | cut -f2 | grep -cxF -- "$2"; }
start_from_menu() {
  ("$LOCKLEAF_WINE" start /wait /unix "$MENU/Lockleaf.lnk" </dev/null >>"$E2E_TMP/wine.log" 2>&1) &
  LL_PID=$!
  ll_wait_window
}

check "the winget manifest describes the setup program and the zip" \
  "$("$REPO/scripts/check-winget.py" "$E2E_TMP/dist" "$BUILD" 2>&1 | sed 's|^check-winget: .*/winget: ||')" \
  "the manifest describes the built installers"
check "the setup program carries the program's version resource and icon" \
  "$(probe resources "$(wine_run winepath -w "$SETUP")")" "$(probe resources "$(wine_run winepath -w "$DIST/lockleaf.exe")")"
check "an earlier version installs silently" "$(exit_code wine_run "$OLD_SETUP" /S /DESKTOP)" 0
check "its program in place" "$(same "$OLD/build/lockleaf.exe" "$INST/lockleaf.exe")" same
check "listed under the manifest's product code, with the earlier version" \
  "$(reg_value "$UNINSTALL" DisplayName) $(reg_value "$UNINSTALL" DisplayVersion)" "Lockleaf 0.9"
# A question under /S would wait for an answer that never comes: the time limit ends it.
check "the silent upgrade over it asks nothing and succeeds" \
  "$(exit_code timeout 120 "$LOCKLEAF_WINE" "$SETUP" /S </dev/null 2>>"$E2E_TMP/wine.log")" 0
check "the program folder holds the program, its page and the uninstaller" "$(files_in "$INST")" \
  "./lockleaf.exe ./php ./php/000.html ./uninstall.exe "
check "the upgrade put in the program the zip holds" "$(same "$DIST/lockleaf.exe" "$INST/lockleaf.exe")" same
check "a Start-menu shortcut" "$(ls "$MENU"/Lockleaf.lnk 2>/dev/null | wc -l)" 1
check "the desktop shortcut asked for by the earlier install stays" "$(ls "$DESKTOP"/Lockleaf.lnk 2>/dev/null | wc -l)" 1
check "one uninstall entry of ours" "$(wine_run reg query "$UNINSTALL_KEYS" | tr -d '\r' | grep -ci lockleaf)" 1
check "listed as Lockleaf" "$(reg_value "$UNINSTALL" DisplayName)" "Lockleaf"
check "with the version of the build and of the manifest" "$(reg_value "$UNINSTALL" DisplayVersion) $VERSION" "1.0 1.0"
check "and publisher" "$(reg_value "$UNINSTALL" Publisher)" "The Lockleaf developers"
check "its icon" "$(reg_value "$UNINSTALL" DisplayIcon)" "$INST_WIN\\lockleaf.exe"
check "its folder" "$(reg_value "$UNINSTALL" InstallLocation)" "$INST_WIN"
check "how to remove it" "$(reg_value "$UNINSTALL" UninstallString)" "\"$INST_WIN\\uninstall.exe\""
check "and silently" "$(reg_value "$UNINSTALL" QuietUninstallString)" "\"$INST_WIN\\uninstall.exe\" /S"
check "its size in KiB" "$(reg_value "$UNINSTALL" EstimatedSize | awk '{ print ($1 + 0 > 100) ? "some" : $1 }')" some
check "no Modify, no Repair" "$(reg_value "$UNINSTALL" NoModify) $(reg_value "$UNINSTALL" NoRepair)" "0x1 0x1"

start_from_menu
check "the Start-menu shortcut starts the program" "$(probe caption)" "Lockleaf 1.0"
check ".txs opens in the installed program" \
  "$(reg_default 'HKCR\Lockleaf File\Shell\Open\Command')" "\"$INST_WIN\\lockleaf.exe\" %1"
shot installed

# An older page in place, as a previous version would have left it.
echo "<p>an older page</p>" >"$INST/php/000.html"
check "an upgrade while the program runs fails, silently" "$(exit_code wine_run "$SETUP" /S)" 2
check "and changes nothing" "$(same "$DIST/php/000.html" "$INST/php/000.html")" different
# Run in place (as scripts do, with _?=), the uninstaller reports its outcome.
check "so does an uninstall" "$(exit_code wine_run "$INST/uninstall.exe" /S "_?=$INST_WIN")" 2
check "which removes nothing" "$(files_in "$INST" f)$(key_exists "$UNINSTALL")" \
  "./lockleaf.exe ./php/000.html ./uninstall.exe yes"
check "the program goes on" "$(probe caption)" "Lockleaf 1.0"

# Interactively, setup asks to close the program and goes on once it is closed; its last page starts it.
("$LOCKLEAF_WINE" "$SETUP" </dev/null >>"$E2E_TMP/wine.log" 2>&1) &
SETUP_PID=$!
wait_for_window "Lockleaf Setup "
keys "Lockleaf Setup " Return   # Components: Next
keys "Lockleaf Setup " Return   # Folder: Install
eventually 1 setup_shows 'Lockleaf Setup' 'Lockleaf is running. Close it, then choose Retry.' || true
check "setup asks to close the running program" \
  "$(setup_shows 'Lockleaf Setup' 'Lockleaf is running. Close it, then choose Retry.')" 1
shot asks-to-close
probe close >/dev/null   # its close button (no window manager draws one here)
ll_wait_exit
check "closing stores the position" "$(reg_value 'HKLM\SOFTWARE\tarvik' position | grep -c ,)" 1
keys "^Lockleaf Setup$" Return   # Retry
eventually 1 setup_shows 'Lockleaf Setup ' '&Finish' || true
shot finish
check "once it is closed the upgrade runs to its end" "$(setup_shows 'Lockleaf Setup ' '&Finish')" 1
check "in place" "$(same "$DIST/php/000.html" "$INST/php/000.html")" same
check "where it was" "$(reg_value "$UNINSTALL" InstallLocation)" "$INST_WIN"
keys "Lockleaf Setup " Return   # Finish, "Run Lockleaf" ticked
ll_wait_window
installed_running() { pgrep -fc 'Programs.Lockleaf.lockleaf\.exe' || true; }
check "the last page starts the program" "$(probe caption) $(installed_running)" "Lockleaf 1.0 1"
wait "$SETUP_PID"
keys "Lockleaf" alt+F4
eventually 0 installed_running || true
check "which the user closes" "$(installed_running)" 0

# What the program made beside itself goes with it; what the user put there stays.
mkdir -p "$INST/banner" && echo list >"$INST/banner/banner.txt" && echo page >"$INST/php/banner.html"
echo "my notes" >"$INST/notes.txt"
# Wine let the program write the machine-wide classes; on Windows a user's copy writes them per user.
wine_run reg add 'HKCU\Software\Classes\.txs' /ve /d "Lockleaf File" /f >/dev/null
wine_run reg add 'HKCU\Software\Classes\.txse' /ve /d "Lockleaf File" /f >/dev/null
wine_run reg add 'HKCU\Software\Classes\Lockleaf File\Shell\Open\Command' /ve /d "\"$INST_WIN\lockleaf.exe\" %1" /f >/dev/null
wine_run reg add 'HKCU\Software\Classes\Lockleaf File\DefaultIcon' /ve /d "$INST_WIN\lockleaf.exe" /f >/dev/null
# As winget and the installed-apps list do: the entry's quiet command, run as it stands.
check "the uninstall entry's quiet command runs" \
  "$(exit_code wine_run "$BUILD/probe.exe" run "$(reg_value "$UNINSTALL" QuietUninstallString)")" 0
eventually no key_exists "$UNINSTALL" || true
check "a silent uninstall leaves the folder with only the user's file" "$(files_in "$INST")" "./notes.txt "
check "the shortcuts are gone" "$(ls "$MENU"/Lockleaf.lnk "$DESKTOP"/Lockleaf.lnk 2>/dev/null | wc -l)" 0
check "and the uninstall entry" "$(key_exists "$UNINSTALL")" no
for c in "${CLASSES[@]}"; do
  check "no .txs or .txse type in $c" \
    "$(key_exists "$c\\.txs") $(key_exists "$c\\.txse") $(key_exists "$c\\Lockleaf File")" "no no no"
done
check "the window position stays" "$(reg_value 'HKLM\SOFTWARE\tarvik' position | grep -c ,)" 1

# A portable copy opens .txs now: removing the installed one leaves its entries. Asked to, the uninstaller
# also forgets the window position.
rm "$INST/notes.txt"
check "installed again" "$(exit_code wine_run "$SETUP" /S)" 0
ll_start
keys "Lockleaf" alt+F4
ll_wait_exit
uninstall /S /FORGETPOSITION
check "nothing of ours is left in the program folder" "$([ -e "$INST" ] && echo there || echo gone)" gone
check "the portable copy still opens .txs" \
  "$(reg_default 'HKCR\Lockleaf File\Shell\Open\Command') $(reg_default 'HKCR\.txs')" \
  '"C:\Lockleaf\lockleaf.exe" %1 Lockleaf File'
check "the window position is forgotten" "$(key_exists 'HKLM\SOFTWARE\tarvik') $(key_exists 'HKCU\SOFTWARE\tarvik')" "no no"

# Installed where the folder's path has a blank (as under "C:\Users\John Smith"), a double-clicked document
# still opens in that copy: the registered command quotes the program's path.
BLANK_WIN='C:\My Apps\Lockleaf'
wine_run cmd /c "$(wine_run winepath -w "$SETUP" | tr -d '\r') /S /D=$BLANK_WIN" || true
check "installed into a folder with a blank" "$(ls "$WINEPREFIX/drive_c/My Apps/Lockleaf/lockleaf.exe" | wc -l)" 1
("$LOCKLEAF_WINE" "$BLANK_WIN\lockleaf.exe" </dev/null >>"$E2E_TMP/wine.log" 2>&1) &
LL_PID=$!
ll_wait_window
keys "Lockleaf" alt+F4
ll_wait_exit
check "which registers itself, quoted" "$(reg_default 'HKCR\Lockleaf File\Shell\Open\Command')" \
  "\"$BLANK_WIN\\lockleaf.exe\" %1"
printf 'from the shell' >"$E2E_TMP/plain.txt"
mkdir -p "$WINEPREFIX/drive_c/docs"
wine_run "$BUILD/make_txs.exe" "$(wine_run winepath -w "$E2E_TMP/plain.txt" | tr -d '\r')" pw 'C:\docs\shell.txs'
("$LOCKLEAF_WINE" start 'C:\docs\shell.txs' </dev/null >>"$E2E_TMP/wine.log" 2>&1) &
wait_for_window Lockleaf
type_text "^Lockleaf$" "pw"
keys "^Lockleaf$" Return
ll_wait_window
eventually "shell.txs - Lockleaf 1.0" probe caption || true
check "the shell opens a .txs in it" "$(probe caption) $(pgrep -fc 'My Apps.Lockleaf.lockleaf\.exe' || true)" \
  "shell.txs - Lockleaf 1.0 1"
check "with its text" "$(probe text)" "from the shell"
keys "shell.txs" alt+F4
e2e_done
