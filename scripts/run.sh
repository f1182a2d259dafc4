#!/usr/bin/env bash
# Starts the editor built for this machine's Wine, in the user's own Wine prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
  echo "make run: there is no display (DISPLAY is not set), so the editor window cannot be shown." >&2
  echo "Run it from a desktop session, or with a virtual display: Xvfb :5 & DISPLAY=:5 make run" >&2
  exit 1
fi
: "${LOCKLEAF_WINE:?no usable Wine on this machine}"
dir=build/run/lockleaf
rm -rf build/run && mkdir -p "$dir"
cp "build/$LOCKLEAF_WINE_BUILD/lockleaf.exe" "$dir/"
[ -d php ] && cp -r php "$dir/"
exec "$LOCKLEAF_WINE" "$dir/lockleaf.exe" "$@"
