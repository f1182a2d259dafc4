#!/usr/bin/env bash
# The folder a Windows user copies, and its zip.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/win32}
rm -rf dist && mkdir -p dist/lockleaf
cp "$build/lockleaf.exe" dist/lockleaf/
[ -d php ] && cp -r php dist/lockleaf/
(cd dist && zip -qr lockleaf-1.0-win32.zip lockleaf)
echo "dist/lockleaf/ and dist/lockleaf-1.0-win32.zip"
