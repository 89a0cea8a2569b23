#!/bin/sh
# Reproduces the shipped vocabulary and model from the training data, then rebuilds and evaluates them:
#   scripts/train-model.sh [DATA_DIR]      (default: ../shared/data beside the checkout)
# The same data and seed give byte-identical files.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
data=${1:-$root/../shared/data}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=Release
"$root/build/release/bin/quelltrain" train \
  --vocabulary-out "$root/resources/vocabulary.txt" \
  --model-out "$root/resources/QBModel210713.mlmodelc" \
  --language zh --masked-digits "$data/sms-zh/train.tsv" \
  --language en --plain --repeat 10 "$data/sms-en/train.tsv"
# The vocabulary is compiled into the programs: rebuild before evaluating.
cmake --build "$root/build/release"
for corpus in sms-zh sms-en; do
  echo "== $corpus/dev.tsv"
  "$root/build/release/bin/quelltrain" evaluate "$data/$corpus/dev.tsv"
done
