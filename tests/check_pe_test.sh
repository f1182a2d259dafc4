#!/usr/bin/env bash
# scripts/check-pe.py passes on a copy of a built exe and its link map, then fails naming each fault put into
# a copy: the relocatable flag cleared, a delay-import table, the canary report gone, a map without checked
# calls or of another link, no map at all.   tests/check_pe_test.sh [build folder]   (default build/win32)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
build=${1:-$root/build/win32}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
check() { "$root/scripts/check-pe.py" "$tmp/lockleaf.exe"; }
fresh() { cp "$build/lockleaf.exe" "$build/lockleaf.map" "$tmp/"; }
# patch PYTHON: runs with `data` the exe's bytes (a bytearray), `nt` its PE header's offset; writes them back
patch() {
  python3 - "$tmp/lockleaf.exe" "$1" <<'EOF'
import struct, sys
path, code = sys.argv[1], sys.argv[2]
data = bytearray(open(path, "rb").read())
nt = struct.unpack_from("<I", data, 0x3C)[0]
opt = nt + 24
dirs = opt + (112 if struct.unpack_from("<H", data, opt)[0] == 0x20B else 96)
exec(code)
open(path, "wb").write(data)
EOF
}
fails() {  # fails WHAT EXPECTED: the check fails, naming EXPECTED
  local out
  if out=$(check); then echo "check_pe_test: passed with $1"; exit 1; fi
  grep -qF "$2" <<<"$out" || { echo "check_pe_test: $1 not named ($2):"; echo "$out"; exit 1; }
}

fresh
check >/dev/null || { echo "check_pe_test: the built exe fails"; check; exit 1; }

fresh && patch 'struct.pack_into("<H", data, opt + 70, struct.unpack_from("<H", data, opt + 70)[0] & ~0x40)'
fails "DYNAMIC_BASE cleared" "not relocatable"
fresh && patch 'struct.pack_into("<II", data, dirs + 13 * 8, 0x1000, 64)'
fails "a delay-import table" "delay imports"
fresh && patch 'at = data.index(b"*** stack smashing detected ***"); data[at:at + 3] = b"---"'
fails "no canary report" "no stack protector report"
fresh && sed -i '/_chk)$/d' "$tmp/lockleaf.map"
fails "a map without checked calls" "FORTIFY is off"
fresh && sed -i -E '0,/^\.text +0x[0-9a-f]+ +0x/s//&1/' "$tmp/lockleaf.map"
fails "the map of another link" "not of this exe"
fresh && rm "$tmp/lockleaf.map"
fails "no map" "no link map"
echo "check_pe_test: check-pe.py names every fault put into $build/lockleaf.exe"
