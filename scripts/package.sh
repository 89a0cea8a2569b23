#!/bin/sh
# Builds the Debian package of Quell, build/package/quell_VERSION_ARCH.deb: the programs in /usr/bin, their
# resources in /usr/share/quell, the desktop entry and icon, and the copyright file. Installs what is
# missing first, and builds no tests or benchmarks.
#   scripts/package.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" package
"$root/scripts/build.sh" "$root/build/package" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DQUELL_BUILD_TESTS=OFF -DQUELL_BUILD_BENCHMARKS=OFF -DQUELL_BUILD_APP=ON
cd "$root/build/package"
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log >&2; exit 1; }
ls "$root"/build/package/quell_*.deb
