#!/bin/sh
# Installs the Debian 12 packages that Quell needs, if any are missing:
#   scripts/install-deps.sh [programs|app|package|all]
#   programs  what building the filter and the command-line programs needs
#   app       that, and Qt 6 and the CJK fonts for the companion app
#   package   that, and what CPack needs to build the Debian package
#   all       that, and what the tests, benchmarks and fuzzers need (the default)
set -eu

PROGRAMS="build-essential cmake ninja-build pkg-config ca-certificates
  libicu-dev libsqlite3-dev libssl-dev nlohmann-json3-dev libcpp-httplib-dev liblinear-dev"
APP="qt6-base-dev fonts-noto-cjk qt6-wayland"
PACKAGE="file dpkg-dev"
TESTS="git libgtest-dev libbenchmark-dev python3 clang libclang-rt-14-dev clang-format dbus-daemon python3-dbus python3-gi appstream"

case "${1:-all}" in
  programs) PACKAGES="$PROGRAMS" ;;
  app) PACKAGES="$PROGRAMS $APP" ;;
  package) PACKAGES="$PROGRAMS $APP $PACKAGE" ;;
  all) PACKAGES="$PROGRAMS $APP $PACKAGE $TESTS" ;;
  *) echo "usage: install-deps.sh [programs|app|package|all]" >&2; exit 2 ;;
esac

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || { echo "install-deps: run as root or install sudo; missing:$missing" >&2; exit 1; }
  SUDO=sudo
fi
echo "install-deps: installing$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
