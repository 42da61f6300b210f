#!/usr/bin/env bash
# Builds the Debian package of Lumaro (Release) and checks it with lintian:
#   bash scripts/package.sh            # as root on Debian 12; installs what is missing first
# The package is build-package/lumaro_<version>_<arch>.deb; install it with
#   apt-get install ./build-package/lumaro_*.deb
# It holds /usr/bin/lumaro and /usr/bin/lumaro-cli, the desktop entry and icon, the manual pages,
# and under /usr/share/lumaro/ the files a new program folder is made from, with the bundled
# draw histories. Its dependencies are what the programs link (found by dpkg-shlibdeps) and what
# they load at run time (Qt's SQLite driver, a font with Chinese characters).
set -euo pipefail
cd "$(dirname "$0")/.."

# dpkg-shlibdeps (dpkg-dev) and file find the run-time libraries; lintian checks the result.
bash scripts/install-deps.sh dpkg-dev file lintian

export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
# Debian's hardening flags (stack protector, fortified functions, read-only relocations, bind
# now), as a package built by dpkg-buildpackage would have them. Debug information is left out
# (the binaries are stripped), and so is the map of the source folder, which would keep the
# compiler cache from serving a build in another folder.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1" | sed -E 's/(^| )-g( |$)/ /; s/-f(file|debug)-prefix-map=[^ ]*//g'; }
export CXXFLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" LDFLAGS="$(flags LDFLAGS)"
folder=build-package
cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DLUMARO_SHARED_DATA=ON -DLUMARO_GUI=ON -DLUMARO_TESTS=OFF -DLUMARO_BENCH=OFF -DLUMARO_WERROR=ON >/dev/null
cmake --build "$folder"
rm -f "$folder"/lumaro_*.deb
(cd "$folder" && cpack -G DEB >/dev/null)
deb=$(ls "$folder"/lumaro_*.deb)

# Errors fail the build; warnings and notes are shown.
lintian --fail-on error "$deb"
size=$(du -k "$deb" | cut -f1)
installed=$(dpkg-deb -f "$deb" Installed-Size)
echo "the package: $PWD/$deb (${size} KB; ${installed} KB installed)"
echo "install it with: apt-get install ./$deb"
