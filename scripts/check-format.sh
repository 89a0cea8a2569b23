#!/bin/sh
# Checks that every C++ file of the checkout is formatted as .clang-format says; lists those that are not
# and fails. scripts/check-format.sh --fix formats them in place instead.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# The tracked files; outside a git checkout, every C++ file but the build trees.
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null) ||
  files=$(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
if [ "${1:-}" = "--fix" ]; then
  # shellcheck disable=SC2086
  clang-format -i $files
  exit 0
fi
unformatted=""
for file in $files; do
  clang-format "$file" | cmp -s - "$file" || unformatted="$unformatted $file"
done
if [ -n "$unformatted" ]; then
  echo "not formatted as .clang-format says (scripts/check-format.sh --fix formats them):" >&2
  for file in $unformatted; do echo "  $file" >&2; done
  exit 1
fi
