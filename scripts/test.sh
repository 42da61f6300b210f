#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the full program, and the engines
# and command line alone without the windows (-DLUMARO_GUI=OFF). Also checks the formatting.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
# Worktrees of the same repository share compiled objects.
export CCACHE_BASEDIR="$PWD"

echo "== formatting"
git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run -Werror

echo "== build and test (full program)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARO_GUI=ON -DLUMARO_TESTS=ON -DLUMARO_BENCH=ON -DLUMARO_WERROR=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== build and test (engines and command line, no GUI)"
cmake -S . -B build-nogui -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARO_GUI=OFF -DLUMARO_TESTS=ON -DLUMARO_BENCH=OFF -DLUMARO_WERROR=ON >/dev/null
cmake --build build-nogui
ctest --test-dir build-nogui --output-on-failure -j "$jobs"
echo "== all tests passed"
