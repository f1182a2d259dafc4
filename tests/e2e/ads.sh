#!/usr/bin/env bash
# The ad strip against the local fake site: one start statistic, the banner list and images fetched into
# banner\, php\banner.html built from them, a hostile image name kept out, and the window answering all along.
source "$(dirname "$0")/lib.sh"

# lockleaf.exe must come from a build whose site is the fake one; probe from BUILD.
site_setup

# Seven images of different sizes; the last one is sent slowly, so the refresh lasts a few seconds.
list=
for i in 1 2 3 4 5 6 7; do
  head -c $((300 * i + 17)) /dev/urandom >"$SITE/files/banner/b$i.gif"
  list+="$i"$'\t'"b$i.gif"$'\t'"$((300 * i + 17))"$'\t'"http://ads.example/$i"$'\t'"Banner $i"$'\r\n'
done
head -c 6000 /dev/urandom >"$SITE/files/banner/big.gif"
list+=$'8\tbig.gif\t6000\thttp://ads.example/big\tBig\r\n'
# Field 1 is used as a file name below banner\: this one must be skipped, not written beside the program.
list+=$'9\t..\\evil.gif\t5\thttp://ads.example/evil\tEvil\r\n'
printf '%s' "$list" >"$SITE/files/banner.txt"

site --slow /files/banner/big.gif

e2e_setup
cp "$SITE_BUILD/lockleaf.exe" "$APP_DIR/"
ll_start

# The first refresh starts one to two seconds after the start and lasts about five (the slow image): the
# window is asked every 50 ms for twelve seconds and must answer each within 250 ms.
slowest=$("$LOCKLEAF_WINE" "$BUILD/probe.exe" ping 12 </dev/null 2>"$E2E_TMP/ping.err" | tr -d '\r' || true)
echo "  (slowest answer of the window during the refresh: ${slowest:-none} ms)"
{ grep '^probe:' "$E2E_TMP/ping.err" || true; } | sed 's/^/  /'
check "the window answers all through the refresh" "$([[ "$slowest" =~ ^[0-9]+$ ]] && [ "$slowest" -le 250 ] && echo yes)" "yes"
eventually yes bash -c "[ -f '$APP_DIR/php/banner.html' ] && [ -f '$APP_DIR/banner/big.gif' ] && echo yes" || true
check "the refresh ended" "$([ -f "$APP_DIR/php/banner.html" ] && [ -f "$APP_DIR/banner/big.gif" ] && echo yes)" "yes"

type_text "Lockleaf" "ads ok"
eventually "ads ok" probe text || true
check "typing reaches the editor after the refresh" "$(probe text)" "ads ok"

log=$(cut -f2 "$SITE/log")
check "exactly one start statistic" "$(grep -c '^/adm/sendstat.php?app=LOK&key=.*&do=start$' <<<"$log")" "1"
check "it is the first request, with a machine key" \
  "$(head -n 1 <<<"$log" | grep -cE '^/adm/sendstat\.php\?app=LOK&key=[0-9A-Za-z.+]+&do=start$')" "1"
check "every request carries the agent" "$(cut -f3 "$SITE/log" | sort -u)" "vb wininet"
check "the list is fetched once, after the start statistic" \
  "$(grep -n '^/files/banner.txt$' <<<"$log" | cut -d: -f1 | tr '\n' ' ')" "2 "
for i in 1 2 3 4 5 6 7; do
  check "image b$i.gif fetched into banner\\" \
    "$(cmp -s "$SITE/files/banner/b$i.gif" "$APP_DIR/banner/b$i.gif" && echo same)" "same"
done
check "the slow image arrives whole" "$(cmp -s "$SITE/files/banner/big.gif" "$APP_DIR/banner/big.gif" && echo same)" "same"
check "the list is stored" "$(cmp -s "$SITE/files/banner.txt" "$APP_DIR/banner/banner.txt" && echo same)" "same"
check "the hostile name is neither fetched nor written" \
  "$(grep -c evil <<<"$log"; ls "$APP_DIR" "$WINEPREFIX/drive_c" | grep -c evil)" $'0\n0'

page="$APP_DIR/php/banner.html"
check "the page has an entry for each usable record" "$(grep -o "<img src='..\\\\banner\\\\[a-z0-9]*\.gif'" "$page" | wc -l)" "8"
check "entries carry id, title and link" \
  "$(grep -c "<a href='http://ads.example/3' target='_blank'><img src='..\\\\banner\\\\b3.gif' title='Banner 3' alt='3'></a>" "$page")" "1"
check "two groups: six and two" \
  "$(awk '/^\t<div>/ { g++ } /<img/ { n[g]++ } END { print g, n[1], n[2] }' "$page")" "2 6 2"
check "the marker is replaced" "$(grep -c '<div></div>' "$page")" "0"
check "the template's next link is kept" "$(grep -c "id=['\"]next['\"]" "$page")" "1"
check "the page asks for the engine's most recent document mode" \
  "$(grep -c '<meta http-equiv="X-UA-Compatible" content="IE=edge">' "$page")" "1"
check "the more picture lies over the strip" "$(probe over 201)" "201"
shot refreshed

probe post main 1005 >/dev/null   # File > Exit
wait_for_window Lockleaf || true
keys "^Lockleaf$" n                # the typed text: Don't Save
if ll_wait_exit; then ended=yes; else ended=no; fi
check "exit ends the process" "$ended" "yes"
check "one start statistic in the whole run" "$(cut -f2 "$SITE/log" | grep -c 'do=start')" "1"
e2e_done
