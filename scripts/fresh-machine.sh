#!/usr/bin/env bash
# Runs the README's set-up on a brand-new Debian 12 system: a minimal root made with debootstrap
# (--variant=minbase bookworm), entered with chroot. A machine that has been used for a while can
# hide a missing package; this one cannot. In the root it runs
#   1. bash scripts/run.sh                 (install, configure, build, the no-display first run)
#   2. bash scripts/test.sh format full    (the formatting check, the full build and all tests)
#   3. bash scripts/test.sh --configure-only nogui asan tsan fuzz   (their packages are there)
#   4. lumaro-cli on a new program folder  (the bundled history is stored and opens)
#   5. bash scripts/package.sh             (the Debian package, checked by lintian)
# and then, on a second pristine root, installs that package with apt-get install ./….deb, runs
# lumaro-cli and lumaro --screenshots as a normal user, and removes it with dpkg -r, which must
# leave nothing of it behind.
#
#   bash scripts/fresh-machine.sh                  # as root, from anywhere in the checkout
#   LUMARO_FRESH_SOURCE=DIR bash scripts/…         # another git repository to clone instead
#
# It checks the committed HEAD, as CI does; uncommitted changes are not seen. The pristine root
# is made once and kept in /var/tmp/lumaro-fresh/base.tar; the downloaded packages are kept
# beside it and the compiler cache of this machine is shared into the root, so a second run costs
# minutes. Each run unpacks a new root and removes it afterwards. Exit status 0 only when every
# step passed; the log of each step is kept in /var/tmp/lumaro-fresh/, and the installed
# program's pictures in /var/tmp/lumaro-fresh/fresh-install-shots/.
set -euo pipefail
cd "$(dirname "$0")/.."
source=${LUMARO_FRESH_SOURCE:-$PWD}
cache=/var/tmp/lumaro-fresh
mkdir -p "$cache/apt-archives"

if ((EUID != 0)); then
  echo "fresh-machine.sh must run as root (debootstrap, chroot, mount)" >&2
  exit 1
fi
tools=()
command -v debootstrap >/dev/null || tools+=(debootstrap)
command -v git >/dev/null || tools+=(git)
if ((${#tools[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${tools[@]}" >/dev/null
fi

# The same mirror this machine installs from.
mirror=$(grep -rhoE '^(URIs:|deb) +https?://[^ ]+/debian/?( |$)' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null |
  awk '{print $2}' | head -1 || true)
mirror=${mirror:-http://deb.debian.org/debian}

if [[ ! -f $cache/base.tar ]]; then
  echo "-- making a pristine Debian 12 root (once)"
  rm -rf --one-file-system "$cache/base"
  if ! debootstrap --variant=minbase bookworm "$cache/base" "$mirror" >"$cache/debootstrap.log" 2>&1; then
    tail -20 "$cache/debootstrap.log"
    exit 1
  fi
  tar -C "$cache/base" -cf "$cache/base.tar.part" .
  mv "$cache/base.tar.part" "$cache/base.tar"
  rm -rf --one-file-system "$cache/base"
fi

ccache_dir=${CCACHE_DIR:-}
if [[ -z $ccache_dir ]] && command -v ccache >/dev/null; then
  ccache_dir=$(ccache -k cache_dir 2>/dev/null || true)
fi
ccache_dir=${ccache_dir:-$HOME/.cache/ccache}
mkdir -p "$ccache_dir"

roots=()
# What is mounted inside a root is unmounted before the root is removed, and a root is removed
# only when nothing is mounted in it any more: the compiler cache and the package archive are
# this machine's own.
cleanup() {
  local mounts root
  for root in "${roots[@]}"; do
    mounts=$(findmnt -rn -o TARGET | grep -F "$root/" | sort -r || true)
    while read -r m; do
      [[ -n $m ]] && { umount "$m" 2>/dev/null || umount -l "$m"; }
    done <<<"$mounts"
    if findmnt -rn -o TARGET | grep -qF "$root/"; then
      echo "fresh-machine.sh: $root still has mounts; left in place" >&2
    else
      rm -rf --one-file-system "$root"
    fi
  done
}
trap cleanup EXIT

new_root() { # a new pristine root, with the system folders mounted, last in roots
  local root
  root=$(mktemp -d "$cache/root.XXXXXX")
  roots+=("$root")
  tar -C "$root" -xf "$cache/base.tar"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mount --bind /dev "$root/dev"
  mount --bind /dev/pts "$root/dev/pts"
  mount -t tmpfs tmpfs "$root/dev/shm"
  mount --bind "$cache/apt-archives" "$root/var/cache/apt/archives"
}

new_root
root=${roots[0]}
git clone -q "$source" "$root/src/lumaro"
commit=$(git -C "$root/src/lumaro" rev-parse --short HEAD)
mkdir -p "$root/root/.cache/ccache"
mount --bind "$ccache_dir" "$root/root/.cache/ccache"

started=$(date +%s)
run_in_root() { # name, command [, root, folder]
  local log="$cache/$1.log" began
  began=$(date +%s)
  echo "-- $1: ${2%%$'\n'*}"
  if chroot "${3:-$root}" /usr/bin/env -i HOME=/root LANG=C.UTF-8 CI=true \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
      /bin/bash -c "cd ${4:-/src/lumaro} && $2" </dev/null >"$log" 2>&1; then
    echo "   passed in $(($(date +%s) - began)) s ($(tail -1 "$log" | cut -c1-120))"
  else
    echo "   FAILED after $(($(date +%s) - began)) s; the last lines of $log:"
    tail -40 "$log" | sed 's/^/   | /'
    exit 1
  fi
}
echo "-- commit $commit on a pristine Debian 12 root ($root)"
run_in_root fresh-run "bash scripts/run.sh"
run_in_root fresh-test "bash scripts/test.sh format full"
run_in_root fresh-configure "bash scripts/test.sh --configure-only nogui asan tsan fuzz"
run_in_root fresh-cli 'set -eo pipefail
  home=$(mktemp -d)/Lumaro
  build/src/cli/lumaro-cli --home "$home" open 中国福彩七乐彩 >/tmp/open.txt
  cat /tmp/open.txt
  grep -qx "开奖期数：2921" /tmp/open.txt
  build/src/cli/lumaro-cli --home "$home" open 福彩3D >/tmp/open.txt
  grep -qx "开奖期数：8374" /tmp/open.txt
  build/src/cli/lumaro-cli --home "$home" omission 中国福彩七乐彩 --mode rebound | tail -3
  build/src/cli/lumaro-cli --home "$home" open 南粤风采36选7 >/tmp/open.txt
  grep -q "还没有开奖号码" /tmp/open.txt
  echo "the bundled histories open on a new program folder"'
run_in_root fresh-package "bash scripts/package.sh"

# The package on a second pristine root, as a user who never built anything would install it.
deb=$(ls "$root"/src/lumaro/build-package/lumaro_*.deb)
new_root
installed=${roots[-1]}
cp "$deb" "$root/src/lumaro/scripts/check-package.sh" "$installed/tmp/"
run_in_root fresh-install "bash check-package.sh ./$(basename "$deb")" "$installed" /tmp
# The installed program's pictures, to look at.
rm -rf "$cache/fresh-install-shots"
cp -r "$installed/home/lumaro-check/check-package-shots" "$cache/fresh-install-shots"
echo "-- the README's set-up works on a pristine Debian 12 ($(($(date +%s) - started)) s in the root)"
