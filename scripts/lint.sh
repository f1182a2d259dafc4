#!/usr/bin/env bash
# Formatting of every source, and clang-tidy (bugprone, performance) over the portable core.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "== clang-format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "== clang-tidy on the core"
cmake -S . -B build/host -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
# Only findings in our own code are printed; the count of suppressed ones in system headers is not.
ls app/*.cpp base/*.cpp protect/*.cpp find/*.cpp dialogs/*.cpp ads/*.cpp |
  xargs -P "${JOBS:-2}" -n 4 clang-tidy -p build/host --quiet 2> >(grep -v 'warnings generated' >&2)
