#!/usr/bin/env bash
# Whatever the site does (refuses, accepts and never answers, answers two seconds late, or sends its headers
# and then a byte a second) the window answers every message within 250 ms for the first twelve seconds
# after it appears and takes typing while the refresh is under way; the start statistic is asked for once; the
# late site's list and images are stored and the page written; Exit ends the program with requests pending.
source "$(dirname "$0")/lib.sh"

site_setup
printf 'GIF89a-one' >"$SITE/files/banner/b1.gif"
printf 'GIF89a-second' >"$SITE/files/banner/b2.gif"
printf '1\tb1.gif\t10\thttp://ads.example/1\tOne\r\n2\tb2.gif\t13\thttp://ads.example/2\tTwo\r\n' \
  >"$SITE/files/banner.txt"
starts() { grep -c 'sendstat.php?app=LOK&key=.*&do=start' "$SITE/log" 2>/dev/null || true; }

e2e_setup
cp "$SITE_BUILD/lockleaf.exe" "$APP_DIR/"

for kind in refused silent late trickle; do
  echo "  - a site that is $kind"
  rm -rf "$APP_DIR/banner" "$APP_DIR/php/banner.html"
  case $kind in
    refused) stop_site ;;
    silent) site --silent ;;
    late) site --delay 2 ;;
    trickle) site --trickle ;;
  esac
  ll_start_nowait
  ll_wait_window
  probe ping 12 >"$E2E_TMP/ping.out" 2>"$E2E_TMP/ping.err" &
  ping_pid=$!
  focus_window "Lockleaf"
  typed "$kind typed"
  text=$(probe text)
  pending=$([ -f "$APP_DIR/php/banner.html" ] && echo "written" || echo "under way")
  wait "$ping_pid"
  slowest=$(tr -d '\r' <"$E2E_TMP/ping.out")
  echo "    (slowest answer in the first 12 s: ${slowest:-none} ms)"
  { grep '^probe:' "$E2E_TMP/ping.err" || true; } | sed 's/^/    /'
  check "$kind: the window answers within 250 ms throughout" \
    "$([[ "$slowest" =~ ^[0-9]+$ ]] && [ "$slowest" -le 250 ] && echo yes)" "yes"
  check "$kind: typing reaches the document while the refresh is under way" "$text/$pending" \
    "$kind typed/under way"
  case $kind in
    silent) check "silent: the start statistic is asked for once" "$(starts)" "1" ;;
    late)
      check "late: the start statistic arrives once" "$(grep -c $'^ANSWER\t/adm/sendstat.php?app=LOK&key=.*&do=start' "$SITE/log")" "1"
      eventually yes bash -c "[ -f '$APP_DIR/php/banner.html' ] && echo yes" || true
      check "late: the list and both images are stored and the page written" \
        "$(cat "$APP_DIR/banner/b1.gif" "$APP_DIR/banner/b2.gif" 2>/dev/null)/$(cmp -s "$APP_DIR/banner/banner.txt" "$SITE/files/banner.txt" && echo list)/$(grep -c 'b2.gif' "$APP_DIR/php/banner.html" 2>/dev/null)" \
        "GIF89a-oneGIF89a-second/list/1"
      ;;
    trickle)
      check "trickle: the start statistic is asked for once" "$(starts)" "1"
      check "trickle: nothing half-arrived is stored" "$(ls "$APP_DIR/banner" 2>/dev/null | tr '\n' ' ')" ""
      ;;
  esac
  probe close >/dev/null
  wait_for_window Lockleaf || true
  press n
  ll_wait_exit
  check "$kind: Don't Save ends the program without waiting for the site" "$?" "0"
done
e2e_done
