#!/usr/bin/env bash
# Exits 0 when this kernel runs 32-bit x86 Linux programs: writes a 93-byte static i386 ELF that only calls
# exit(0) through int 0x80, and runs it. No loader or library is involved, so the answer holds before any
# i386 package is installed (and a kernel with IA32 emulation turned off answers "Exec format error").
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# ELF header, one PT_LOAD program header at 0x08048000, then: mov eax,1; xor ebx,ebx; int 0x80.
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08'\
'\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00'\
'\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$dir/exit0"
chmod +x "$dir/exit0"
"$dir/exit0" 2>/dev/null
