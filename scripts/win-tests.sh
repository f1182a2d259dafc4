#!/usr/bin/env bash
# Runs the Windows adapter tests under Wine in a fresh prefix that is removed afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
: "${LOCKLEAF_WINE:?no usable Wine on this machine}"
exe="build/$LOCKLEAF_WINE_BUILD/lockleaf_win32_tests.exe"
[ -f "$exe" ] || { echo "no Windows tests built ($exe)"; exit 0; }
tmp=$(mktemp -d)
export WINEPREFIX="$tmp/wp"
cleanup() { WINEPREFIX="$tmp/wp" "$(dirname "$LOCKLEAF_WINE")/wineserver" -k 2>/dev/null || true; rm -rf "$tmp"; }
trap cleanup EXIT
"$LOCKLEAF_WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
# Tests that need a site start tests/site/fake_site.py themselves through the LOCKLEAF_SITE_* variables.
export LOCKLEAF_REPO="$PWD"
"$LOCKLEAF_WINE" "$exe" </dev/null
