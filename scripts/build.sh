#!/bin/sh
# Configures and builds one build tree: scripts/build.sh DIR [cmake options...] [--target T...]
# (everything after --target is handed to the build step: only those targets are built).
set -eu
dir=$1
shift
configure=""
targets=""
while [ $# -gt 0 ]; do
  if [ "$1" = "--target" ]; then
    shift
    targets="--target $*"
    break
  fi
  configure="$configure $1"
  shift
done
# shellcheck disable=SC2086
cmake -S "$(dirname "$0")/.." -B "$dir" -G Ninja $configure >/dev/null
# shellcheck disable=SC2086
cmake --build "$dir" $targets
