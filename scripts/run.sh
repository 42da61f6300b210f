#!/usr/bin/env bash
# Installs what is missing, builds Lumaro and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export CCACHE_BASEDIR="$PWD"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARO_GUI=ON -DLUMARO_TESTS=ON -DLUMARO_BENCH=ON -DLUMARO_WERROR=ON >/dev/null
cmake --build build --target lumaro lumaro-cli
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  cat <<MSG
Lumaro 已编译，但这台机器没有图形显示（DISPLAY 未设置），桌面程序无法启动。
Lumaro is built, but this machine has no display (DISPLAY is not set), so the desktop program cannot start.

没有显示时请用命令行 / without a display use the command line:
  build/src/cli/lumaro-cli --help
  build/src/cli/lumaro-cli lotteries
  build/src/cli/lumaro-cli import 中国福彩七乐彩 ../shared/data/qlc.csv
  build/src/cli/lumaro-cli open 中国福彩七乐彩
MSG
  exit 0
fi
exec build/src/shell/lumaro "$@"
