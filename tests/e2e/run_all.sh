#!/usr/bin/env bash
# Runs every end-to-end test (tests/e2e/*.sh but this runner and lib.sh), each in its own prefix and display.
# A failing test's failed checks are said again at the end, where a log cut to its tail still shows them.
set -uo pipefail
cd "$(dirname "$0")"
source ../../scripts/wine-env.sh
wine_rings_banner
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
failed=()
for t in *.sh; do
  case "$t" in run_all.sh | lib.sh) continue ;; esac
  echo "-- $t"
  # To a file, not through a pipe: a process the test left behind cannot hold the runner up.
  timeout 300 bash "$t" >"$logs/$t" 2>&1
  rc=$?
  [ "$rc" -eq 124 ] && echo "$t: stopped after 300 s" >>"$logs/$t"
  cat "$logs/$t"
  [ "$rc" -ne 0 ] && failed+=("$t")
done
if [ ${#failed[@]} -ne 0 ]; then
  for t in "${failed[@]}"; do
    echo "== $t, what failed:"
    grep -E '  FAIL |^       then: |: stopped after|check\(s\) failed|^no window|^no prompt|did not end' "$logs/$t" || tail -n 15 "$logs/$t"
  done
  echo "e2e failures: ${failed[*]}"
  exit 1
fi
echo "e2e: all passed"
