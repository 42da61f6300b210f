#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test. Each stage can be run alone:
#   bash scripts/test.sh                    # every stage, in this order:
#     format   formatting check (.clang-format)
#     full     the full program, warnings as errors, all tests
#     nogui    the engines and command line alone, without the windows (-DLUMARO_GUI=OFF)
#     asan     all tests again under AddressSanitizer and UndefinedBehaviorSanitizer
#     tsan     the tests with worker threads under ThreadSanitizer
#     fuzz     a short run of every fuzz target (scripts/fuzz.sh SECONDS runs them longer)
#     fresh    all of the set-up again on a pristine Debian 12 root (scripts/fresh-machine.sh)
#   bash scripts/test.sh format full        # only these stages
#   bash scripts/test.sh --configure-only nogui asan tsan fuzz
#                                           # configure those builds only (proves their packages)
set -euo pipefail
cd "$(dirname "$0")/.."

configure_only=0
stages=()
for arg in "$@"; do
  case $arg in
    --configure-only) configure_only=1 ;;
    format | full | nogui | asan | tsan | fuzz | fresh) stages+=("$arg") ;;
    *)
      echo "unknown stage '$arg' (format full nogui asan tsan fuzz fresh, --configure-only)" >&2
      exit 2
      ;;
  esac
done
((${#stages[@]})) || stages=(format full nogui asan tsan fuzz fresh)

bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
# Worktrees of the same repository (and the pristine root of the fresh stage) share compiled
# objects.
export CCACHE_BASEDIR="$PWD"
# Debug info names the source folder; leaving it out of the hash lets other checkouts hit too.
export CCACHE_NOHASHDIR=true
configure() { # folder, extra cmake arguments
  local folder=$1
  shift
  cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARO_WERROR=ON "$@" >/dev/null
}
build_and_test() { # folder, then what ctest is given
  local folder=$1
  shift
  ((configure_only)) && return 0
  cmake --build "$folder"
  ctest --test-dir "$folder" --output-on-failure -j "$jobs" "$@"
}
stage() { echo "== $* ($(date +%T))"; }
# Sanitizer builds: light optimisation and line tables only, which keep the reports readable and
# the builds shorter.
sanitizer_flags=(-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1")

format_stage() {
  stage "formatting"
  # The source folders are listed without git, which a new machine may not have.
  find src tests bench fuzz tools \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
    xargs -0 -r clang-format --dry-run -Werror
}

full_stage() {
  stage "build and test (full program)"
  configure build -DLUMARO_GUI=ON -DLUMARO_TESTS=ON -DLUMARO_BENCH=ON
  build_and_test build
}

nogui_stage() {
  stage "build and test (engines and command line, no GUI)"
  configure build-nogui -DLUMARO_GUI=OFF -DLUMARO_TESTS=ON -DLUMARO_BENCH=OFF
  build_and_test build-nogui
}

asan_stage() {
  stage "build and test (AddressSanitizer and UndefinedBehaviorSanitizer)"
  configure build-asan -DLUMARO_GUI=ON -DLUMARO_TESTS=ON -DLUMARO_BENCH=OFF "-DLUMARO_SANITIZE=address,undefined" \
    "${sanitizer_flags[@]}"
  ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    build_and_test build-asan
}

tsan_stage() {
  stage "build and test (ThreadSanitizer, tests with worker threads)"
  configure build-tsan -DLUMARO_GUI=OFF -DLUMARO_TESTS=ON -DLUMARO_BENCH=OFF -DLUMARO_SANITIZE=thread \
    "${sanitizer_flags[@]}"
  TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/scripts/tsan.supp" \
    build_and_test build-tsan -R "$(paste -sd'|' scripts/tsan-tests.txt)"
}

fuzz_stage() {
  stage "fuzz targets (short run)"
  if ((configure_only)); then
    bash scripts/fuzz.sh configure
  else
    bash scripts/fuzz.sh 5
  fi
}

fresh_stage() {
  stage "the set-up on a pristine Debian 12 (scripts/fresh-machine.sh)"
  ((configure_only)) && return 0
  bash scripts/fresh-machine.sh
}

for s in "${stages[@]}"; do
  "${s}_stage"
done
stage "all tests passed"
