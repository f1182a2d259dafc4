#!/usr/bin/env bash
# Runs every end-to-end test (tests/e2e/*.sh but this runner and lib.sh), each in its own prefix and display.
set -uo pipefail
cd "$(dirname "$0")"
source ../../scripts/wine-env.sh
wine_rings_banner
failed=()
for t in *.sh; do
  case "$t" in run_all.sh | lib.sh) continue ;; esac
  echo "-- $t"
  if ! timeout 300 bash "$t"; then failed+=("$t"); fi
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "e2e failures: ${failed[*]}"
  exit 1
fi
echo "e2e: all passed"
