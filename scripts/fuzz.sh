#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a while.
#   bash scripts/fuzz.sh            # 5 seconds a target (what the test command runs)
#   bash scripts/fuzz.sh 600        # ten minutes a target
#   bash scripts/fuzz.sh 60 fuzz_scrapers   # one target only
#   bash scripts/fuzz.sh configure          # configure the build only
# A failing input is saved as build-fuzz/<target>-crash-… (or -leak-, -timeout-, -oom-); the
# inputs a run found are kept in build-fuzz/corpus/<target>/ and seed the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
only=${2:-}
export CCACHE_BASEDIR="$PWD"
# Debug info names the source folder; leaving it out of the hash lets other checkouts hit too.
export CCACHE_NOHASHDIR=true
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DLUMARO_GUI=OFF -DLUMARO_TESTS=OFF -DLUMARO_BENCH=OFF -DLUMARO_FUZZ=ON >/dev/null
[[ $seconds == configure ]] && exit 0
cmake --build build-fuzz
export QT_QPA_PLATFORM=offscreen
# Undefined behaviour stops the run like a crash does, with the stack that led to it.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
for target in build-fuzz/fuzz/fuzz_*; do
  [[ -f "$target" && -x "$target" ]] || continue
  name=$(basename "$target")
  [[ -z "$only" || "$name" == "$only" ]] || continue
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
  runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}' || true)
  added=$(grep -E '^stat::new_units_added' "$log" | awk '{print $2}' || true)
  echo "$name: ${runs:-?} executions, ${added:-?} new inputs"
done
exit $status
