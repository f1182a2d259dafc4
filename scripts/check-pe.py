#!/usr/bin/env python3
"""Reads built lockleaf.exe files as Windows' loader sees them, on the host, for the exe Wine cannot run here.

  scripts/check-pe.py EXE...

Each must be a relocatable image with a non-executable stack and heap (and high-entropy ASLR when PE32+),
large-address-aware, stripped, importing only KnownDLLs (and comctl32) at load time and nothing delay-loaded,
with SetDefaultDllDirectories and LoadLibraryExW from kernel32. The stack protector and FORTIFY must be linked
in: the exe holds libssp's canary report, and the link map beside it (lockleaf.map, of this very exe: its
.text and .rdata lie where the exe's header puts them, with the same sizes) has the link pull in
__stack_chk_fail and checked calls (__*_chk) and define __stack_chk_guard. Prints one line per exe; exits 1
naming every failure.
"""
import os
import re
import struct
import sys

KNOWN = {"advapi32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll",
         "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "comctl32.dll"}
DYNAMIC_BASE, NX_COMPAT, HIGH_ENTROPY_VA = 0x40, 0x100, 0x20
LARGE_ADDRESS_AWARE = 0x20
CANARY_REPORT = b"*** stack smashing detected ***"


class Image:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no DOS header")
        nt = struct.unpack_from("<I", data, 0x3C)[0]
        if data[nt:nt + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (_, self.sections_count, _, self.symbols_at, self.symbols_count, opt_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, nt + 4)
        opt = nt + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        self.pe32plus = self.magic == 0x20B
        self.dll_characteristics = struct.unpack_from("<H", data, opt + 70)[0]
        self.image_base = struct.unpack_from("<Q", data, opt + 24)[0] if self.pe32plus else \
            struct.unpack_from("<I", data, opt + 28)[0]
        dirs = opt + (112 if self.pe32plus else 96)
        count = struct.unpack_from("<I", data, dirs - 4)[0]
        self.directories = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(count)]
        self.sections = []
        at = opt + opt_size
        for i in range(self.sections_count):
            name, vsize, va, raw_size, raw_at = struct.unpack_from("<8sIIII", data, at + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode(), vsize, va, raw_size, raw_at))

    def offset(self, rva):
        for _, vsize, va, raw_size, raw_at in self.sections:
            if va <= rva < va + max(vsize, raw_size):
                return rva - va + raw_at
        raise ValueError("address 0x%x in no section" % rva)

    def string(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def imports(self):
        """{dll: set of function names} of the load-time import table."""
        rva, size = self.directory(1)
        found = {}
        if not size:
            return found
        at = self.offset(rva)
        thunk_size = 8 if self.pe32plus else 4
        by_ordinal = 1 << (63 if self.pe32plus else 31)
        while True:
            lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, at)
            if name == 0:
                return found
            names = found.setdefault(self.string(name).lower(), set())
            t = self.offset(lookup or first)
            while True:
                entry = int.from_bytes(self.data[t:t + thunk_size], "little")
                if entry == 0:
                    break
                if not entry & by_ordinal:
                    names.add(self.string(entry + 2))  # after the hint
                t += thunk_size
            at += 20


def check(path):
    failures, checked = [], []
    with open(path, "rb") as f:
        image = Image(f.read())
    expect = lambda ok, what: ok or failures.append(what)
    expect(image.magic in (0x10B, 0x20B), "neither PE32 nor PE32+")
    flags = image.dll_characteristics
    expect(flags & DYNAMIC_BASE, "not relocatable (no DYNAMIC_BASE)")
    expect(flags & NX_COMPAT, "stack and heap executable (no NX_COMPAT)")
    if image.pe32plus:
        expect(flags & HIGH_ENTROPY_VA, "no HIGH_ENTROPY_VA")
    expect(image.directory(5)[1] > 0, "no relocations")
    expect(image.characteristics & LARGE_ADDRESS_AWARE, "not large-address-aware")
    expect(image.symbols_at == 0 and image.symbols_count == 0, "not stripped")

    imports = image.imports()
    expect(imports, "no import table")
    for dll in sorted(imports):
        expect(dll in KNOWN, dll + " is not a KnownDLL")
    kernel32 = imports.get("kernel32.dll", set())
    for name in ("SetDefaultDllDirectories", "LoadLibraryExW"):
        expect(name in kernel32, name + " not imported from kernel32")
    expect(image.directory(13)[1] == 0, "delay imports")

    expect(CANARY_REPORT in image.data, "no stack protector report in the exe")
    # The manifest lies in the resources as its own UTF-8 text: without these, Windows stretches the window's
    # bitmap on a monitor of another scale.
    manifest = re.search(rb"<assembly.*?</assembly>", image.data, re.S)
    expect(manifest and re.search(rb"<dpiAwareness[^>]*>\s*PerMonitorV2", manifest.group(0)),
           "the manifest does not declare PerMonitorV2")
    expect(manifest and re.search(rb"<dpiAware[^>]*>\s*true/pm\s*<", manifest.group(0)),
           "the manifest does not declare true/pm for older Windows")
    map_path = os.path.join(os.path.dirname(path), "lockleaf.map")
    if not os.path.exists(map_path):
        failures.append("no link map " + map_path)
    else:
        with open(map_path, encoding="latin-1") as f:
            link_map = f.read()
        # The map gives an output section's address and its size in the file.
        mapped = {m[0]: (int(m[1], 16), int(m[2], 16))
                  for m in re.findall(r"^(\.\w+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)$", link_map, re.M)}
        same = all(mapped.get(name) == (image.image_base + va, raw_size)
                   for name, _, va, raw_size, _ in image.sections if name in (".text", ".rdata"))
        expect(same and ".text" in mapped, "the link map is not of this exe")
        # "Archive member included to satisfy reference by file (symbol)"
        members = link_map.split("\nMemory Configuration")[0]
        pulled = set(re.findall(r"^\s+\S+ \((__\w+)\)$", members, re.M))
        expect("__stack_chk_fail" in pulled, "the link did not pull in __stack_chk_fail")
        expect(re.search(r"^\s+0x[0-9a-f]+\s+__stack_chk_guard$", link_map, re.M),
               "no __stack_chk_guard in the link")
        checked = sorted(n for n in pulled if re.fullmatch(r"__\w+_chk", n))
        expect(checked, "no checked call (__*_chk) linked in: FORTIFY is off")
    kind = "PE32+" if image.pe32plus else "PE32"
    if failures:
        for what in failures:
            print("%s (%s): %s" % (path, kind, what))
    else:
        print("%s (%s): hardened; checked calls %s" % (path, kind, " ".join(checked)))
    return not failures


def main(paths):
    if not paths:
        print(__doc__.strip().splitlines()[2].strip())
        return 2
    ok = True
    for path in paths:
        try:
            ok = check(path) and ok
        except (OSError, ValueError, struct.error) as e:
            print("%s: %s" % (path, e))
            ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
