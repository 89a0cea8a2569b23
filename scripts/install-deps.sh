#!/bin/sh
# Installs the Debian 12 packages that building, running and testing Quell need, if any are missing.
set -eu

PACKAGES="build-essential cmake ninja-build pkg-config git ca-certificates
  libicu-dev libsqlite3-dev libssl-dev nlohmann-json3-dev libcpp-httplib-dev liblinear-dev
  libgtest-dev libbenchmark-dev python3 clang libclang-rt-14-dev
  qt6-base-dev fonts-noto-cjk"

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
