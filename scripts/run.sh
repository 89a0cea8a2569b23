#!/bin/sh
# The main job: installs what is missing, builds the programs it runs (no tests, no benchmarks), and runs
# the filter over the sample messages, shown as a table, on a store holding the default rule lists (in a temporary
# settings directory, so the user's own lists are not touched). On a desktop with a display it also builds
# Quellbox and then opens it on that same store.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/release"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "$root/scripts/install-deps.sh" app
  "$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DQUELL_BUILD_TESTS=OFF \
    -DQUELL_BUILD_BENCHMARKS=OFF -DQUELL_BUILD_APP=ON --target quellguard quellrules quellbox quell_resources
else
  "$root/scripts/install-deps.sh" programs
  "$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DQUELL_BUILD_TESTS=OFF \
    -DQUELL_BUILD_BENCHMARKS=OFF -DQUELL_BUILD_APP=OFF --target quellguard quellrules quell_resources
fi

demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT
export XDG_DATA_HOME="$demo"
"$build/bin/quellrules" reset
echo "== rule lists"
"$build/bin/quellrules" list
echo "== verdicts for samples/messages.jsonl (the filter's own protocol is JSON Lines: see the README)"
"$build/bin/quellguard" --table < "$root/samples/messages.jsonl"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "== opening Quellbox (close its window to finish)"
  "$build/bin/quellbox"
fi
