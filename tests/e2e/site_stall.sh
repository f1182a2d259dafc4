#!/usr/bin/env bash
# A site that stalls or floods: the window appears before the start statistic is answered, which still
# arrives once; a site that never answers; a banner list that is a 404 page or 20 MiB stores nothing, and
# the editor takes typing afterwards.
source "$(dirname "$0")/lib.sh"

site_setup
stats() { grep -c $'^GET\t/adm/sendstat.php?app=LOK&key=.*&do=start\t' "$SITE/log" || true; }
now_ms() { date +%s%3N; }
# The first refresh is over once the list was asked for and the window answers again.
refreshed() {
  for _ in $(seq 100); do grep -q 'files/banner.txt' "$SITE/log" 2>/dev/null && break; sleep 0.1; done
  probe ping 1 >/dev/null 2>&1 || true
}

e2e_setup
cp "$SITE_BUILD/lockleaf.exe" "$APP_DIR/"

# A site that answers every request two seconds late.
site --delay 2
t=$(now_ms)
ll_start_nowait
ll_wait_window
shown=$(now_ms)
echo "  (slow site: the window visible $((shown - t)) ms after launch)"
for _ in $(seq 100); do grep -q '^ANSWER.*do=start' "$SITE/log" 2>/dev/null && break; sleep 0.1; done
answered=$(awk -F'\t' '$1 == "ANSWER" && $2 ~ /do=start/ { printf "%.0f", $3 * 1000; exit }' "$SITE/log")
check "the window is up before the start statistic is answered" \
  "$([ -n "$answered" ] && [ "$shown" -lt "$answered" ] && echo yes)" "yes"
check "the slow site still receives the start statistic, once" "$(stats)" "1"
refreshed
focus_window "Lockleaf"
typed "slow"
eventually "slow" probe text || true
check "typing reaches the editor" "$(probe text)" "slow"
probe close >/dev/null
wait_for_window Lockleaf || true
press n
ll_wait_exit || true

# A site that accepts and never answers.
site --silent
t=$(now_ms)
ll_start_nowait
ll_wait_window
echo "  (silent site: the window visible $(($(now_ms) - t)) ms after launch)"
for _ in $(seq 100); do grep -q 'do=start' "$SITE/log" 2>/dev/null && break; sleep 0.1; done
check "the silent site was asked for the start statistic once" \
  "$(grep -c $'^SILENT\tGET /adm/sendstat.php?app=LOK&key=.*&do=start HTTP' "$SITE/log")" "1"
probe close >/dev/null
ll_wait_exit || true
"$WINESERVER" -w

# A 404 page for the list, then a list of 20 MiB: neither is stored, nor a page made from it.
site
t=$(now_ms)
ll_start
refreshed
check "a 404 list stores nothing" "$(ls "$APP_DIR/banner" 2>/dev/null)/$([ -f "$APP_DIR/php/banner.html" ] && echo page)" "/"
probe close >/dev/null
ll_wait_exit || true
python3 -c "import sys; sys.stdout.buffer.write((b'1\tb.gif\t5\thttp://ads.example/\tt\r\n' * 700000)[:20 << 20])" \
  >"$SITE/files/banner.txt"
printf 'GIF89' >"$SITE/files/banner/b.gif"
site
ll_start
refreshed
check "a 20 MiB list stores nothing" "$(ls "$APP_DIR/banner" 2>/dev/null)/$([ -f "$APP_DIR/php/banner.html" ] && echo page)" "/"
check "and no image of it is fetched" "$(grep -c 'files/banner/b.gif' "$SITE/log")" "0"
focus_window "Lockleaf"
typed "flood"
eventually "flood" probe text || true
check "typing reaches the editor" "$(probe text)" "flood"
shot end
probe close >/dev/null
wait_for_window Lockleaf || true
press n
ll_wait_exit || true
e2e_done
