#!/usr/bin/env bash
# Installs the Debian package on this machine, uses it as a normal user would and removes it:
#   bash scripts/check-package.sh ./lumaro_12.0_amd64.deb      # as root, on a throwaway system
# The fresh-machine stage runs it on a pristine Debian 12 root. It checks that
#   - apt-get install ./….deb pulls in everything the programs need;
#   - lumaro-cli lists the lotteries and opens the bundled 中国福彩七乐彩 history, and
#     lumaro --screenshots opens every window offscreen, as a user with a new home folder, whose
#     program folder is made in ~/.local/share/Lumaro/;
#   - nothing is written outside that folder (nothing under /usr, /etc or /opt);
#   - dpkg -r leaves no file of the package behind.
set -euo pipefail
deb=${1:?the .deb file to check}
user=lumaro-check
export DEBIAN_FRONTEND=noninteractive

apt-get update -qq
if ! apt-get install -y -qq "$deb" >/tmp/check-package-apt.log 2>&1; then
  tail -30 /tmp/check-package-apt.log
  exit 1
fi
files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|')
id "$user" >/dev/null 2>&1 || useradd -m "$user"
home=$(getent passwd "$user" | cut -d: -f6)
as_user() { runuser -l "$user" -c "LANG=C.UTF-8 $1"; }
stamp=$(mktemp)

as_user 'lumaro-cli lotteries' | tee /tmp/check-package-lotteries.txt
grep -qx '中国福彩七乐彩.*' /tmp/check-package-lotteries.txt
as_user 'lumaro-cli open 中国福彩七乐彩' | tee /tmp/check-package-open.txt
grep -qx '开奖期数：2921' /tmp/check-package-open.txt
if ! as_user 'QT_QPA_PLATFORM=offscreen lumaro --screenshots check-package-shots' >/tmp/check-package-shots.log 2>&1; then
  tail -20 /tmp/check-package-shots.log
  exit 1
fi
shots=$home/check-package-shots
pictures=$(find "$shots" -name '*.png' | wc -l)
echo "lumaro --screenshots saved $pictures pictures in $shots"
# The main window, a trend grid, a wheel (the matrices are read from /usr/share/lumaro/) and the
# two-zone trend among every window of the tour.
for f in 00_主窗口 10_开奖号码走势 31_旋转矩阵组号缩水 62_双色球走势; do
  test -s "$shots/$f.png" || { echo "lumaro --screenshots made no $f.png"; exit 1; }
done
((pictures >= 40))
for f in 数据库/彩票数据.db 数据库/LICENSE-ssq.txt 附属/站点.ini 帮助/Lumaro帮助.html; do
  test -s "$home/.local/share/Lumaro/$f" || { echo "the new program folder has no $f"; exit 1; }
done
written=$(find /usr /etc /opt -newer "$stamp" ! -type d 2>/dev/null || true)
if [[ -n $written ]]; then
  echo "written outside the user's folder:"
  echo "$written"
  exit 1
fi

dpkg -r lumaro
left=$(while read -r f; do [[ $f == */ || ! -e $f ]] || echo "$f"; done <<<"$files")
for d in /usr/share/lumaro /usr/share/doc/lumaro; do
  [[ ! -e $d ]] || left+=$'\n'"$d"
done
if [[ -n ${left//$'\n'/} ]]; then
  echo "left behind by dpkg -r:$left"
  exit 1
fi
if dpkg-query -W -f='${Status}' lumaro 2>/dev/null | grep -q config-files; then
  echo "dpkg -r left the package's configuration behind"
  exit 1
fi
echo "installed, used as a normal user and removed without a trace"
