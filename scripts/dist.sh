#!/usr/bin/env bash
# The folder a Windows user copies, its zip, and the setup program made from the same files.
#   scripts/dist.sh [build folder] [output folder]     (defaults: build/win32 dist)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build/win32}" && pwd)
out=${2:-dist}
version=$(sed -n 's/^!define VERSION "\(.*\)"$/\1/p' "$build/setup.nsh")
arch=win32
grep -q amd64 "$build/setup.nsh" && arch=win64

rm -rf "$out" && mkdir -p "$out/lockleaf"
out=$(cd "$out" && pwd)
cp "$build/lockleaf.exe" "$out/lockleaf/"
[ -d php ] && cp -r php "$out/lockleaf/"
(cd "$out" && zip -qr "lockleaf-$version-$arch.zip" lockleaf)

# The product's setup is x86; a 64-bit build (for machines that run only 64-bit Wine) gets its twin.
setup="lockleaf-$version-setup.exe"
[ "$arch" = win64 ] && setup="lockleaf-$version-win64-setup.exe"
makensis -V2 -DBUILD="$build" -DFILES="$out/lockleaf" -DOUTFILE="$out/$setup" installer/lockleaf.nsi
echo "$out/lockleaf/, $out/lockleaf-$version-$arch.zip and $out/$setup"
