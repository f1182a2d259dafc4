# Sourced by the benchmark scripts: documents of a given size.
# Lines of 94 characters and CR LF, Thai and Latin words mixed, in Windows-874.
make_doc() {  # make_doc <file> <MiB> [line-length]
  python3 - "$1" "$2" "${3:-94}" <<'PY'
import random, sys
path, mib, width = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
random.seed(7)
words = [b"lorem", b"ipsum", b"editor", b"text"] + [bytes(random.randrange(0xA1, 0xCF) for _ in range(random.randint(3, 8))) for _ in range(40)]
target = mib << 20
out = bytearray()
while len(out) < target:
    line = bytearray()
    while len(line) < width:
        line += random.choice(words) + b" "
    out += line[:width] + (b"\r\n" if width < target else b"")
open(path, "wb").write(bytes(out[:target]))
PY
}
