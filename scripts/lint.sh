#!/usr/bin/env bash
# Formatting of every source, and clang-tidy (bugprone, performance) over the portable core.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "== clang-format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "== clang-tidy on the core"
cmake -S . -B build/host -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
ls app/*.cpp base/*.cpp protect/*.cpp find/*.cpp dialogs/*.cpp ads/*.cpp | xargs -P "${JOBS:-2}" -n 4 clang-tidy -p build/host --quiet
