#!/bin/sh
# Installs what is missing, checks the formatting of the C++ files, then builds and runs every test twice: in
# a release build that treats warnings as errors, and in a build under AddressSanitizer and
# UndefinedBehaviorSanitizer; between the two, each fuzzer runs for a short while as a smoke test.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
jobs=$(nproc)
"$root/scripts/check-format.sh"

"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DQUELL_WERROR=ON \
  -DQUELL_BUILD_TESTS=ON -DQUELL_BUILD_BENCHMARKS=ON -DQUELL_BUILD_APP=ON
(cd "$root/build/release" && ctest --output-on-failure -j "$jobs")

"$root/scripts/fuzz.sh" 20

"$root/scripts/build.sh" "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DQUELL_SANITIZE=ON \
  -DQUELL_BUILD_BENCHMARKS=OFF
(cd "$root/build/sanitize" &&
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions="$root/tests/lsan.supp" \
  ctest --output-on-failure -j "$jobs")
