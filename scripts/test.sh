#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test:
#   1. formatting check (.clang-format)
#   2. the full program, warnings as errors, all tests
#   3. the engines and command line alone, without the windows (-DLUMARO_GUI=OFF)
#   4. all tests again under AddressSanitizer and UndefinedBehaviorSanitizer
#   5. the tests with worker threads under ThreadSanitizer
#   6. a short run of every fuzz target (scripts/fuzz.sh SECONDS runs them longer)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
# Worktrees of the same repository share compiled objects.
export CCACHE_BASEDIR="$PWD"
configure() { # folder, extra cmake arguments
  local folder=$1
  shift
  cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARO_WERROR=ON "$@" >/dev/null
}
stage() { echo "== $* ($(date +%T))"; }

stage "formatting"
git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run -Werror

stage "build and test (full program)"
configure build -DLUMARO_GUI=ON -DLUMARO_TESTS=ON -DLUMARO_BENCH=ON
cmake --build build
ctest --test-dir build --output-on-failure -j "$jobs"

stage "build and test (engines and command line, no GUI)"
configure build-nogui -DLUMARO_GUI=OFF -DLUMARO_TESTS=ON -DLUMARO_BENCH=OFF
cmake --build build-nogui
ctest --test-dir build-nogui --output-on-failure -j "$jobs"

stage "build and test (AddressSanitizer and UndefinedBehaviorSanitizer)"
# Sanitizer builds: light optimisation and line tables only, which keep the reports readable
# and the builds shorter.
sanitizer_flags=(-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1")
configure build-asan -DLUMARO_GUI=ON -DLUMARO_TESTS=ON -DLUMARO_BENCH=OFF "-DLUMARO_SANITIZE=address,undefined" \
  "${sanitizer_flags[@]}"
cmake --build build-asan
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

stage "build and test (ThreadSanitizer, tests with worker threads)"
configure build-tsan -DLUMARO_GUI=OFF -DLUMARO_TESTS=ON -DLUMARO_BENCH=OFF -DLUMARO_SANITIZE=thread "${sanitizer_flags[@]}"
cmake --build build-tsan
TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/scripts/tsan.supp" \
  ctest --test-dir build-tsan --output-on-failure -j "$jobs" -R "$(cat scripts/tsan-tests.txt | paste -sd'|')"

stage "fuzz targets (short run)"
bash scripts/fuzz.sh 5

stage "all tests passed"
