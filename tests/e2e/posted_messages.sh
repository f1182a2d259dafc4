#!/usr/bin/env bash
# Messages any program of the user may post to the editor: private and registered numbers with junk
# parameters (among them the number that once carried a completion's address), to the main window and to the
# network's own window, before, during and after a banner refresh. The editor lives on with its text and
# caption, and the refresh, a chain of completions, still runs to its end.
source "$(dirname "$0")/lib.sh"

site_setup
list=
for i in 1 2 3; do
  head -c $((300 * i + 17)) /dev/urandom >"$SITE/files/banner/b$i.gif"
  list+="$i"$'\t'"b$i.gif"$'\t'"$((300 * i + 17))"$'\t'"http://ads.example/$i"$'\t'"Banner $i"$'\r\n'
done
# The last image comes slowly (about eight seconds), so junk arrives while the refresh waits for it.
head -c 10000 /dev/urandom >"$SITE/files/banner/slow.gif"
list+=$'4\tslow.gif\t10000\thttp://ads.example/slow\tSlow\r\n'
printf '%s' "$list" >"$SITE/files/banner.txt"
site --slow /files/banner/slow.gif

e2e_setup
cp "$SITE_BUILD/lockleaf.exe" "$APP_DIR/"
ll_start
alive() { kill -0 "$LL_PID" 2>/dev/null && echo yes || echo no; }
posted=446  # 2 windows x 37 numbers x 6 parameters, a broadcast, a close of the network's window

check "junk before the refresh is posted" "$(probe junk)" "$posted"
type_text "Lockleaf" "still here"
eventually "still here" probe text || true
caption=$(probe caption)
check "junk while the refresh runs is posted" "$(probe junk)" "$posted"
sleep 1
check "junk while the slow image arrives is posted" "$(probe junk)" "$posted"
check "the editor is alive after the junk" "$(alive)" "yes"
check "the typed text stays" "$(probe text)" "still here"
check "the caption stays" "$(probe caption)" "$caption"

for _ in $(seq 150); do [ -f "$APP_DIR/php/banner.html" ] && break; sleep 0.1; done
check "the refresh ends: every image arrived whole" \
  "$(for f in b1 b2 b3 slow; do cmp -s "$SITE/files/banner/$f.gif" "$APP_DIR/banner/$f.gif" && echo same; done |
     tr '\n' ' ')" "same same same same "
check "the list is stored and the page written" \
  "$(cmp -s "$SITE/files/banner.txt" "$APP_DIR/banner/banner.txt" && [ -f "$APP_DIR/php/banner.html" ] && echo yes)" "yes"
log=$(cut -f2 "$SITE/log")
check "one start statistic, one list, each image once" \
  "$(grep -c 'do=start$' <<<"$log") $(grep -c '^/files/banner.txt$' <<<"$log") $(grep -c '^/files/banner/' <<<"$log")" "1 1 4"

check "junk after the refresh is posted" "$(probe junk)" "$posted"
check "the window still answers" "$(probe ping 2 | grep -cE '^[0-9]+$')" "1"
check "the editor is alive at the end" "$(alive)" "yes"
check "the typed text is still there" "$(probe text)" "still here"
check "the caption is still the same" "$(probe caption)" "$caption"
check "nothing more was asked of the site" "$(cut -f2 "$SITE/log" | wc -l)" "6"
shot after-junk

probe close >/dev/null
wait_for_window Lockleaf || true
keys "^Lockleaf$" n  # the typed text: Don't Save
if ll_wait_exit; then ended=yes; else ended=no; fi
check "the close box still ends the process" "$ended" "yes"
e2e_done
