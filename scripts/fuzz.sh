#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a while.
#   bash scripts/fuzz.sh            # 5 seconds a target (what the test command runs)
#   bash scripts/fuzz.sh 600        # ten minutes a target
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
export CCACHE_BASEDIR="$PWD"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DLUMARO_GUI=OFF -DLUMARO_TESTS=OFF -DLUMARO_BENCH=OFF -DLUMARO_FUZZ=ON >/dev/null
cmake --build build-fuzz
export QT_QPA_PLATFORM=offscreen
status=0
for target in build-fuzz/fuzz/fuzz_*; do
  [[ -f "$target" && -x "$target" ]] || continue
  name=$(basename "$target")
  corpus="fuzz/corpus/$name"
  work="build-fuzz/corpus/$name"
  mkdir -p "$work"
  echo "-- $name ($seconds s)"
  log="build-fuzz/$name.log"
  if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="build-fuzz/$name-" "$work" "$corpus" >"$log" 2>&1; then
    echo "fuzz target $name found a failing input (see $log):" >&2
    grep -E 'ERROR|property failed|SUMMARY|artifact' "$log" >&2 || tail -20 "$log" >&2
    status=1
  fi
  grep -E '^stat::(number_of_executed_units|new_units_added)' "$log" || true
done
exit $status
