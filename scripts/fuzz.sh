#!/bin/sh
# Builds the libFuzzer targets with clang (under AddressSanitizer and UndefinedBehaviorSanitizer) and runs
# each for SECONDS (default 60), starting from the seeds in tests/fuzz/corpus/<target>:
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# Targets: query_line_fuzzer, settings_value_fuzzer, model_file_fuzzer (default: all three, one after the
# other). A crash, a run over 2 seconds on one input or more than 512 MB of memory is a finding: the input
# is saved in build/fuzz/findings/ and the script fails.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=${*:-query_line_fuzzer settings_value_fuzzer model_file_fuzzer}

CC=clang CXX=clang++ "$root/scripts/build.sh" "$root/build/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUELL_SANITIZE=ON -DQUELL_FUZZ=ON -DQUELL_BUILD_TESTS=OFF -DQUELL_BUILD_BENCHMARKS=OFF -DQUELL_BUILD_APP=OFF

cd "$root/build/fuzz"
status=0
for target in $targets; do
  # The working corpus grows as the fuzzer finds new paths; the seeds in the repository stay as they are.
  mkdir -p "corpus/$target" "findings/$target"
  cp -n "$root/tests/fuzz/corpus/$target/"* "corpus/$target/" 2>/dev/null || true
  echo "== $target for ${seconds}s"
  if ! "./bin/$target" -max_total_time="$seconds" -timeout=2 -rss_limit_mb=512 -max_len=65536 \
      -print_final_stats=1 -artifact_prefix="findings/$target/" "corpus/$target" >"$target.log" 2>&1; then
    status=1
    tail -40 "$target.log" >&2
    echo "fuzz: $target found a failing input in build/fuzz/findings/$target/" >&2
  fi
  grep -E "^(#[0-9]+[[:space:]]+DONE|stat::(number_of_executed_units|peak_rss_mb|new_units_added))" "$target.log" || true
done
exit $status
