#!/bin/sh
# The main job: installs what is missing, builds Quell, and runs the filter process over the sample
# messages on a store holding the default rule lists (in a temporary settings directory, so the user's
# own lists are not touched). On a desktop with a display it then opens Quellbox on that same store.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=Release

demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT
export XDG_DATA_HOME="$demo"
"$root/build/release/bin/quellrules" reset
echo "== rule lists"
"$root/build/release/bin/quellrules" list
echo "== verdicts for samples/messages.jsonl"
QUELL_LOG=stderr "$root/build/release/bin/quellguard" < "$root/samples/messages.jsonl" 2>/dev/null

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "== opening Quellbox (close its window to finish)"
  "$root/build/release/bin/quellbox"
fi
