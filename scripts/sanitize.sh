#!/usr/bin/env bash
# The host tests again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "== host unit tests under ASan + UBSan"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLOCKLEAF_SANITIZE=ON \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/asan -j"${JOBS:-2}" --target lockleaf_tests
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 build/asan/lockleaf_tests --gtest_brief=1
