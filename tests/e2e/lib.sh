# Sourced by every end-to-end test: a fresh Wine prefix and Xvfb display per test, the real lockleaf.exe,
# the probe to read window state exactly, xdotool for real keystrokes, and cleanup of whatever was started.
set -euo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$REPO/scripts/wine-env.sh"
: "${LOCKLEAF_WINE:?no usable Wine on this machine}"
WINESERVER="$(dirname "$LOCKLEAF_WINE")/wineserver"
BUILD=${E2E_BUILD:-$REPO/build/$LOCKLEAF_WINE_BUILD}
E2E_NAME=$(basename "$0" .sh)
E2E_TMP=$(mktemp -d "/tmp/lockleaf-e2e-$E2E_NAME.XXXXXX")
export WINEPREFIX="$E2E_TMP/wp"
export XDG_DATA_HOME="$E2E_TMP/xdg"  # Wine's Recycle Bin is the XDG trash: one per test
SHOTS=${E2E_SHOTS:-$REPO/build/e2e-shots}
APP_WIN='C:\Lockleaf'
APP_DIR=
LL_PID=
XVFB_PID=
FAILURES=0

e2e_cleanup() {
  [ -n "$LL_PID" ] && kill "$LL_PID" 2>/dev/null || true
  "$WINESERVER" -k 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# A display of our own. Tests may run side by side: start from a random number, and take the next one when
# another run's server claimed this one first (ours then exits at once).
e2e_display() {
  local n=$((90 + RANDOM % 400))
  while :; do
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 50); do
      kill -0 "$XVFB_PID" 2>/dev/null || break
      if [ -e "/tmp/.X11-unix/X$n" ]; then export DISPLAY=":$n"; return 0; fi
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null || true
    n=$((n + 1))
  done
}

e2e_setup() {
  e2e_display
  # Keep Wine's background services off our stdout, or they hold the caller's pipe open.
  ("$WINESERVER" -p 60 </dev/null >/dev/null 2>&1 &)
  "$LOCKLEAF_WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
  APP_DIR="$WINEPREFIX/drive_c/Lockleaf"
  mkdir -p "$APP_DIR" "$SHOTS"
  cp "$BUILD/lockleaf.exe" "$APP_DIR/"
  [ -d "$REPO/php" ] && cp -r "$REPO/php" "$APP_DIR/"
  return 0
}

wine_run() { "$LOCKLEAF_WINE" "$@" </dev/null 2>>"$E2E_TMP/wine.log"; }
probe() { wine_run "$BUILD/probe.exe" "$@" | tr -d '\r'; }

# Starts the editor with the given command-line arguments and waits for its window.
ll_start() {
  (cd "$APP_DIR" && exec "$LOCKLEAF_WINE" lockleaf.exe "$@" </dev/null >>"$E2E_TMP/wine.log" 2>&1) &
  LL_PID=$!
  ll_wait_window
}

ll_wait_window() { probe wait "${1:-30}" >/dev/null; }

# Starts the editor without waiting for its window (for prompts shown before it appears).
ll_start_nowait() {
  (cd "$APP_DIR" && exec "$LOCKLEAF_WINE" lockleaf.exe "$@" </dev/null >>"$E2E_TMP/wine.log" 2>&1) &
  LL_PID=$!
}

# Waits until the process has ended (after Exit or close).
ll_wait_exit() {
  for _ in $(seq 100); do kill -0 "$LL_PID" 2>/dev/null || { LL_PID=; return 0; }; sleep 0.1; done
  echo "lockleaf.exe did not end" >&2; return 1
}

# Real keystrokes to the window whose caption matches the regular expression.
focus_window() {
  local id
  id=$(xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1)
  xdotool windowfocus --sync "$id" 2>/dev/null || true
}

keys() {
  focus_window "$1"; shift
  xdotool key --clearmodifiers --delay 60 "$@"
}

type_text() {
  focus_window "$1"; shift
  xdotool type --delay 40 "$@"
}

# Keystrokes to whatever has the focus now, as a user types: after the window has been focused once, the
# program alone decides where they go.
press() {
  xdotool key --clearmodifiers --delay 80 "$@"
  sleep 0.3
}

typed() {
  xdotool type --delay 40 "$@"
  sleep 0.3
}

# xdotool types a character missing from the keyboard map through a borrowed key; under load Wine sometimes
# reads the key after it was given back, and the character is lost. So each character is typed again until
# the box shows a change (a user would see the missing letter and type it again). typed_each READER TEXT
typed_each() {
  local reader=$1 text=$2 i before
  for ((i = 0; i < ${#text}; i++)); do
    before=$($reader)
    for _ in 1 2 3 4; do
      xdotool type --delay 100 "${text:i:1}"
      eventually_changed "$reader" "$before" && break
    done
  done
  sleep 0.3
}
eventually_changed() { for _ in $(seq 15); do [ "$($1)" != "$2" ] && return 0; sleep 0.1; done; return 1; }
# Readers for typed_each: the prompt's edit box, the document's text.
prompt_box() { probe child Lockleaf | awk -F'\t' 'tolower($1) == "edit" { print $2; exit }'; }
editor_box() { probe text | od -An -tx1 | tr -d ' \n'; }

# A file's bytes as hex, and hex back to bytes (od and python3: no package beyond the base system's).
hex() { od -An -tx1 "$1" | tr -d ' \n'; }
unhex() { python3 -c 'import sys; sys.stdout.buffer.write(bytes.fromhex(sys.argv[1]))' "$1"; }

# Waits until a visible top-level window with exactly this caption exists.
wait_for_window() {
  for _ in $(seq 100); do [ "$(probe windows "$1")" = 1 ] && return 0; sleep 0.1; done
  echo "no window \"$1\"" >&2; return 1
}

# Waits until the command's output equals the expected text.
eventually() {
  local expected=$1; shift
  local got=
  for _ in $(seq 50); do got=$("$@" 2>/dev/null || true); [ "$got" = "$expected" ] && return 0; sleep 0.1; done
  return 1
}

# The local fake site, for a program built with it as its site (make test-e2e builds one beside BUILD):
# SITE_BUILD, its PORT, the site's folder SITE; `site [fake_site options]` starts a fresh one (fresh log),
# `stop_site` stops it, and the test's end does too.
site_setup() {
  SITE_BUILD=${E2E_SITE_BUILD:-$BUILD-site}
  local url
  url=$(sed -n 's/^LOCKLEAF_SITE_URL:STRING=//p' "$SITE_BUILD/CMakeCache.txt" 2>/dev/null || true)
  if ! [[ "$url" =~ ^http://127\.0\.0\.1:([0-9]+)/$ ]] || [ ! -f "$SITE_BUILD/lockleaf.exe" ]; then
    echo "$E2E_NAME: no build for the local site in $SITE_BUILD (got site URL [$url])" >&2
    exit 1
  fi
  PORT=${BASH_REMATCH[1]}
  SITE="$E2E_TMP/site"
  SITE_PID=
  mkdir -p "$SITE/files/banner"
  trap 'stop_site; e2e_cleanup' EXIT
}
stop_site() { [ -n "${SITE_PID:-}" ] && kill "$SITE_PID" 2>/dev/null; SITE_PID=; sleep 0.3; }
site() {
  stop_site
  rm -f "$SITE/port" "$SITE/log"
  python3 "$REPO/tests/site/fake_site.py" --port "$PORT" --root "$SITE" --log "$SITE/log" --port-file "$SITE/port" \
    --max-seconds 600 "$@" >/dev/null 2>&1 &
  SITE_PID=$!
  for _ in $(seq 50); do [ -s "$SITE/port" ] && return 0; sleep 0.1; done
  echo "$E2E_NAME: the fake site did not start on port $PORT" >&2
  return 1
}

# The first line of what the message box or prompt titled "Lockleaf" says (class names compare ignoring case).
said() { probe child Lockleaf | awk -F'\t' 'tolower($1) == "static" && $2 != "" { print $2; exit }'; }

shot() {
  sleep 0.5
  import -window root "$SHOTS/$E2E_NAME-$1.png" 2>/dev/null || true
}

reg_value() {  # reg_value 'HKCU\Control Panel\International' sShortDate
  wine_run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^  /, ""); print }'
}

reg_default() {  # default value of a key
  wine_run reg query "$1" /ve 2>/dev/null | tr -d '\r' | awk '/REG_SZ/ { sub(/^.*REG_SZ[ \t]+/, ""); print }'
}

check() {  # check "what" actual expected
  if [ "$2" = "$3" ]; then
    echo "  ok   $1"
  else
    echo "  FAIL $1: got [$2], expected [$3]"
    FAILURES=$((FAILURES + 1))
    scene
  fi
}

# Replace All by keys: Ctrl+F, the word, Replace (Replace mode), the replacement, Replace All, then Cancel.
replace_all() {  # replace_all WORD REPLACEMENT
  press ctrl+f
  wait_for_window Find || true
  typed "$1"
  press Tab Tab Tab space  # Replace: Replace mode
  wait_for_window Replace || true
  press shift+Tab shift+Tab
  typed "$2"
  press Tab Tab Tab space  # Replace All
  press Tab space          # Cancel
}

# What the editor showed when a check failed (a run elsewhere leaves only its log): the caption, where the
# keys go, and each text box's visibility and length.
scene() {
  [ -n "${LL_PID:-}" ] || return 0
  local boxes i=0 visible
  for visible in $(probe layout 2>/dev/null | awk -F'\t' '$1 == "Edit" { print $4 }'); do
    boxes+=" box$i visible=$visible length=$(probe text $i 2>/dev/null | wc -m)"; i=$((i + 1))
  done
  echo "       then: caption [$(probe caption 2>/dev/null)]; focus [$(probe focus 2>/dev/null | cut -f1,3)];$boxes"
}

e2e_done() {
  if [ "$FAILURES" -ne 0 ]; then
    echo "$E2E_NAME: $FAILURES check(s) failed; Wine log tail:"; tail -n 20 "$E2E_TMP/wine.log" || true
    exit 1
  fi
  echo "$E2E_NAME: passed"
}

# Drops files on the screen point X,Y as a file manager does (XDND): drop_files X Y FILE...
drop_files() { /usr/bin/python3 "$REPO/tests/e2e/xdnd_drop.py" --x "$1" --y "$2" "${@:3}"; }
