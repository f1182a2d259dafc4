#!/usr/bin/env bash
# A document of 3 MiB by a keyboard user: Ctrl+F3 finds a word's next match at the very end and F3 then goes
# to the top; typing at the end moves the status bar to the last line; Replace All (the caret then at the
# top), one Ctrl+Z and Word Wrap (asked first, the document being large) each leave the text F2 then writes
# byte for byte as expected.
source "$(dirname "$0")/lib.sh"
e2e_setup
D=$APP_DIR
# Lines of Thai and Latin words in Windows-874, "lorem" among them; "farword" on the second line and again at
# the very end.
python3 - "$D/big.txt" "$E2E_TMP" <<'PY'
import random, sys
path, tmp = sys.argv[1], sys.argv[2]
random.seed(11)
words = [b"lorem", b"ipsum", b"text"] + [bytes(random.randrange(0xA1, 0xCF) for _ in range(random.randint(3, 8)))
                                        for _ in range(30)]
lines = [b"zyzzyva", b"farword", b"lorem"]
size = 3 << 20
while sum(len(line) + 2 for line in lines) < size:
    line = b" ".join(random.choice(words) for _ in range(14))
    lines.append(line)
lines.append(b"farword")
doc = b"\r\n".join(lines)
open(path, "wb").write(doc)
text = doc.decode("cp874")
typed = doc + b" END"
open(f"{tmp}/typed", "wb").write(typed)
open(f"{tmp}/replaced", "wb").write(typed.replace(b"lorem", b"LOREM"))
open(f"{tmp}/wrapped", "wb").write(typed + b"!")
with open(f"{tmp}/facts", "w") as facts:
    print(text.rindex("farword"), len(lines), len(lines[-1]) + len(" END") + 1, file=facts)
PY
read -r last_farword line_count end_col <"$E2E_TMP/facts"
saved_as() { cmp -s "$D/big.txt" "$E2E_TMP/$1" && echo "$1" || echo "something else"; }
written() { for _ in $(seq 100); do [ "$(saved_as "$1")" = "$1" ] && break; sleep 0.2; done; check "$2" "$(saved_as "$1")" "$1"; }

ll_start 'C:\Lockleaf\big.txt'
eventually "big.txt - Lockleaf 1.0" probe caption || true
check "the document opens" "$(probe caption)" "big.txt - Lockleaf 1.0"
focus_window "big.txt - Lockleaf"

press Down Right  # into "farword"
press ctrl+F3
eventually "$last_farword 7" probe sel || true
check "Ctrl+F3 finds the word's next match at the very end" "$(probe sel)" "$last_farword 7"
press F3
eventually "0 0" probe sel || true
check "F3 with none after goes to the top" "$(probe sel)" "0 0"

press ctrl+End
typed " END"
eventually "big.txt * - Lockleaf 1.0" probe caption || true
check "typing marks the document" "$(probe caption)" "big.txt * - Lockleaf 1.0"
check "the status bar follows the caret to the last line" "$(probe status | cut -f1)" \
  "Ln $line_count, Col $end_col"

replace_all lorem LOREM
eventually "0 0" probe sel || true
check "Replace All puts the caret at the top of its new text" "$(probe sel)" "0 0"
press F2
written replaced "Replace All then F2 writes every match replaced and the typing"

press ctrl+z
press F2
written typed "one Ctrl+Z takes back the whole Replace All"

press F10 Right Down Down Return  # Edit, Word Wrap
wait_for_window Lockleaf || true
case "$(said)" in
  "This document is large"*) check "Word Wrap asks first for a large document" yes yes ;;
  *) check "Word Wrap asks first for a large document" "$(said)" "This document is large..." ;;
esac
press Return
press ctrl+End
typed "!"
press F2
written wrapped "the wrapping box holds the text exactly: F2 writes it with the typing and no break of its own"
check "and the caption says it is saved" "$(probe caption)" "big.txt - Lockleaf 1.0"
e2e_done
