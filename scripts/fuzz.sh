#!/bin/sh
# Builds the libFuzzer targets with clang (under ASan and UBSan) and runs the query-line fuzzer:
#   scripts/fuzz.sh [SECONDS]    (default 60)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
CC=clang CXX=clang++ "$root/scripts/build.sh" "$root/build/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUELL_SANITIZE=ON -DQUELL_FUZZ=ON -DQUELL_BUILD_BENCHMARKS=OFF -DQUELL_BUILD_APP=OFF
mkdir -p "$root/build/fuzz/corpus"
cp "$root/samples/messages.jsonl" "$root/build/fuzz/corpus/" 2>/dev/null || true
"$root/build/fuzz/bin/query_line_fuzzer" -max_total_time="$seconds" -max_len=4096 "$root/build/fuzz/corpus"
