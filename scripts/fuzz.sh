#!/usr/bin/env bash
# Builds every fuzz/*_fuzz.cpp with libFuzzer (clang, ASan + UBSan) and runs each for FUZZ_SECONDS (default 20)
# from its seed corpus in fuzz/corpus/<name>/. A longer run: FUZZ_SECONDS=600 scripts/fuzz.sh
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-20}
out=build/fuzz
echo "== fuzz targets, ${seconds}s each"
cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLOCKLEAF_FUZZ=ON \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
for src in fuzz/*_fuzz.cpp; do
  name=$(basename "$src" .cpp)
  cmake --build "$out" -j"${JOBS:-2}" --target "$name" >/dev/null
  work="$out/corpus-$name"; mkdir -p "$work"
  "$out/$name" -max_total_time="$seconds" -print_final_stats=1 "$work" "fuzz/corpus/${name%_fuzz}" \
      >"$out/$name.log" 2>&1 || { tail -n 40 "$out/$name.log"; echo "$name: FAILED"; exit 1; }
  echo "$name: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$out/$name.log" | grep -o '[0-9]*$') executions"
done
