#!/usr/bin/env bash
# Installs what is missing, builds Lumaro and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export CCACHE_BASEDIR="$PWD"
# Debug info names the source folder; leaving it out of the hash lets other checkouts hit too.
export CCACHE_NOHASHDIR=true
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARO_GUI=ON -DLUMARO_TESTS=ON -DLUMARO_BENCH=ON -DLUMARO_WERROR=ON >/dev/null
cmake --build build --target lumaro lumaro-cli
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  # No display: a first run on the command line instead, on the 七乐彩 history the program ships
  # with (a new program folder has it stored).
  cli=build/src/cli/lumaro-cli
  cat <<MSG
Lumaro 已编译，但这台机器没有图形显示（DISPLAY 未设置），桌面程序无法启动；下面用命令行
lumaro-cli 看一看程序自带的七乐彩开奖号码。
Lumaro is built, but this machine has no display (DISPLAY is not set), so the desktop program
cannot start; here is the command line, lumaro-cli, on the 七乐彩 history that comes with it.

\$ $cli open 中国福彩七乐彩
MSG
  "$cli" open 中国福彩七乐彩
  echo
  echo "\$ $cli indicators 中国福彩七乐彩 | tail -5      # 最近五期的号码指标"
  "$cli" indicators 中国福彩七乐彩 | tail -5
  echo
  echo "\$ $cli omission 中国福彩七乐彩 --mode rebound | head -8      # 中奖回补分析表"
  "$cli" omission 中国福彩七乐彩 --mode rebound | head -8
  cat <<MSG

接着可以试试 / to go on:
  $cli --help       # 所有命令 / every command (docs/CLI.md)
  $cli lotteries    # 彩票列表 / the lotteries
  $cli open 福彩3D   # 自带的福彩3D开奖号码 / the bundled 福彩3D history
  $cli pick 中国福彩七乐彩 interval --backtest
  $cli filter 中国福彩七乐彩 --sum 90-130 --odd 3-4 -o build/tickets.txt
  $cli import 南粤风采36选7 FILE.csv   # 导入开奖号码 / import a history (period,date,n1..n7)
程序文件夹 / the program folder: ${LUMARO_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/Lumaro}
（每个命令前加 --home DIR 可换一个 / --home DIR before a command for another）
MSG
  exit 0
fi
exec build/src/shell/lumaro "$@"
