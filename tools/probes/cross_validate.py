#!/usr/bin/env python3
"""Cross-validates a training recipe without looking at any dev file.

  cross_validate.py [--folds K] [--jobs N] [--work DIR] [--data DIR] [--generated DIR] [--per-family N]
                    [--quelltrain BIN] [--errors] [--shifts X,Y,...] [--label TEXT] -- QUELLTRAIN-TRAIN-OPTIONS

The options after "--" are those of `quelltrain train` without --vocabulary-out and --model-out, with the
training files named @zh, @en and @gen, as scripts/train-model.sh names ../shared/data/sms-zh/train.tsv,
../shared/data/sms-en/train.tsv and the generated train.tsv (@gen:LABEL or @gen:LABEL:CATEGORY,... is a part
of it, to weigh apart; @zh:LABEL and @en:LABEL likewise):

  cross_validate.py -- --ham-margin 0.15 --language zh --masked-digits --repeat 2 @zh \\
      --language en --plain --repeat 25 @en --language zh --plain --repeat 3 @gen

For each of K folds it cuts the generated training families into K folds (data/generate.py --folds, so
the dev families take no part) and the two corpora's training files into K parts by a hash of each line,
trains on the rest, and judges what it held out: the generated families of the fold, the corpus part
(the Chinese one also with its masks undone and "。" appended to its ham, as tools/probes/make_probe_sets.py
does to the dev file), and data/handwritten/dev.tsv. It prints the figures summed over the folds and writes
them as JSON to WORK/summary.json; --errors keeps each fold's misjudged messages in
WORK/<fold>/errors-<set>.jsonl. --shifts also gives the figures with the boundary moved further towards
ham (a positive shift) or towards spam, as a larger or smaller --ham-margin would move it, without
training again. --generated names a copy of data/ (its generate.py, families and pools) to cut the folds
from, so that editing data/ does not change a run under way.
"""
import argparse
import concurrent.futures
import hashlib
import json
import os
import random
import subprocess
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import make_probe_sets  # noqa: E402


def part_of(line, folds):
    return int(hashlib.sha256(line.encode("utf-8")).hexdigest(), 16) % folds


def split_corpus(path, folds, fold, train_out, held_out):
    """Writes the lines of path outside part `fold` to train_out and those inside it to held_out."""
    with open(path, encoding="utf-8") as f, open(train_out, "w", encoding="utf-8") as train, \
            open(held_out, "w", encoding="utf-8") as held:
        for line in f:
            if line.strip():
                (held if part_of(line, folds) == fold else train).write(line)


def is_part(option):
    """Whether a recipe word names a part of a source: "@gen:ham", "@en:spam", "@gen:ham:bank,verification"."""
    return option.partition(":")[0] in ("@zh", "@en", "@gen") and ":" in option


def write_part(path, out, option):
    """Writes the lines of the labeled file path that "@SOURCE:LABEL" or "@SOURCE:LABEL:CATEGORY,..." names."""
    label, _, categories = option.partition(":")[2].partition(":")
    wanted = set(categories.split(",")) if categories else None
    with open(path, encoding="utf-8") as f, open(out, "w", encoding="utf-8") as o:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if fields[0] == label and (wanted is None or (len(fields) > 2 and fields[2] in wanted)):
                o.write(line)


def probe(held, out, seed=42):
    """held with its masks undone and "。" appended to its ham, as make_probe_sets.py writes the dev file."""
    rng = random.Random(seed)
    with open(held, encoding="utf-8") as f, open(out, "w", encoding="utf-8") as o:
        for line in f:
            label, _, text = line.rstrip("\n").partition("\t")
            text = make_probe_sets.unmask(text, rng)
            o.write(f"{label}\t{text}{'。' if label == 'ham' else ''}\n")


def run(command, **kwargs):
    try:
        result = subprocess.run(command, capture_output=True, text=True, **kwargs)
    except OSError as e:  # a program missing, or being rebuilt under the run
        sys.exit(f"cross_validate.py: cannot run {command[0]}: {e.strerror}")
    if result.returncode != 0:
        sys.exit(f"cross_validate.py: {' '.join(command)} failed:\n{result.stderr}")
    return result.stdout


def one_fold(args, fold):
    work = os.path.join(args.work, str(fold))
    os.makedirs(work, exist_ok=True)
    gen = os.path.join(work, "gen")
    run([sys.executable, os.path.join(args.generated, "generate.py"), "--seed", "42", "--per-family",
         str(args.per_family), "--folds", str(args.folds), "--fold", str(fold), gen])
    files = {"@gen": os.path.join(gen, "train.tsv")}
    held = {"gen": os.path.join(gen, "dev.tsv"), "handwritten": os.path.join(ROOT, "data", "handwritten", "dev.tsv")}
    for corpus in ("zh", "en"):
        files[f"@{corpus}"] = os.path.join(work, f"{corpus}-train.tsv")
        held[corpus] = os.path.join(work, f"{corpus}-held.tsv")
        split_corpus(os.path.join(args.data, f"sms-{corpus}", "train.tsv"), args.folds, fold, files[f"@{corpus}"],
                     held[corpus])
    for n, option in enumerate(o for o in args.recipe if is_part(o)):
        files[option] = os.path.join(work, f"train-part{n}.tsv")
        write_part(files[option.partition(":")[0]], files[option], option)
    held["zh-probe"] = os.path.join(work, "zh-probe.tsv")
    probe(held["zh"], held["zh-probe"])
    vocabulary, model = os.path.join(work, "vocabulary.txt"), os.path.join(work, "model.mlmodelc")
    recipe = [files.get(option, option) for option in args.recipe]
    run([args.quelltrain, "train", "--vocabulary-out", vocabulary, "--model-out", model] + recipe)
    scores = {}
    for name, path in held.items():
        out = os.path.join(work, f"scores-{name}.tsv")
        command = [args.quelltrain, "evaluate", "--scores", out, "--model", model, "--vocabulary", vocabulary]
        if args.errors:
            command += ["--errors", os.path.join(work, f"errors-{name}.jsonl")]
        run(command + [path])
        with open(out, encoding="utf-8") as f:
            scores[name] = [(label, category, float(score))
                            for label, category, score in (line.rstrip("\n").split("\t") for line in f)]
    return scores


def figures(scores, shift):
    """The confusion counts and, per "label/category", [wrong, messages] of scores judged with the boundary
    moved by shift: spam is what scores above it."""
    confusion = {"tp": 0, "fp": 0, "tn": 0, "fn": 0}
    categories = {}
    for label, category, score in scores:
        spam = score > shift
        confusion[("t" if spam == (label == "spam") else "f") + ("p" if spam else "n")] += 1
        if category:
            counts = categories.setdefault(f"{label}/{category}", [0, 0])
            counts[0] += spam != (label == "spam")
            counts[1] += 1
    return {"confusion": confusion, "categories": categories}


def f1(confusion):
    tp, fp, fn = confusion["tp"], confusion["fp"], confusion["fn"]
    return 2 * tp / (2 * tp + fp + fn) if tp else 0.0


def report(summary, out):
    gen = summary["gen"]
    c = gen["confusion"]
    out.write(f"generated, held-out families: ham flagged {c['fp']} of {c['fp'] + c['tn']} "
              f"({100 * c['fp'] / max(1, c['fp'] + c['tn']):.2f}%), spam caught {c['tp']} of {c['tp'] + c['fn']} "
              f"({100 * c['tp'] / max(1, c['tp'] + c['fn']):.2f}%)\n")
    for key, (wrong, messages) in sorted(gen["categories"].items()):
        label = key.split("/")[0]
        out.write(f"  {key:24s} {'flagged' if label == 'ham' else 'missed '} {wrong:5d} of {messages:5d} "
                  f"{100 * wrong / messages:6.2f}%\n")
    h = summary["handwritten"]["confusion"]
    out.write(f"hand-written (summed over the folds' models): ham flagged {h['fp']} of {h['fp'] + h['tn']}, "
              f"spam caught {h['tp']} of {h['tp'] + h['fn']}\n")
    for name in ("zh", "zh-probe", "en"):
        out.write(f"{name:9s} held-out part: spam F1 {f1(summary[name]['confusion']):.4f}\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--folds", type=int, default=5)
    parser.add_argument("--jobs", type=int, default=1)
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "cv"))
    parser.add_argument("--data", default=os.path.join(ROOT, "..", "shared", "data"))
    parser.add_argument("--generated", default=os.path.join(ROOT, "data"), help="the folder of generate.py")
    parser.add_argument("--per-family", type=int, default=30, help="messages generated per family")
    parser.add_argument("--quelltrain", default=os.path.join(ROOT, "build", "release", "bin", "quelltrain"))
    parser.add_argument("--errors", action="store_true", help="keep the misjudged messages of each fold")
    parser.add_argument("--shifts", default="", help="further boundary shifts to report, comma-separated")
    parser.add_argument("--label", default="", help="a name for this run in the summary")
    parser.add_argument("recipe", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    if args.recipe[:1] == ["--"]:
        args.recipe = args.recipe[1:]
    if args.folds < 2 or not any(o in ("@zh", "@en", "@gen") or is_part(o) for o in args.recipe):
        parser.error("wants --folds of 2 or more and a recipe naming @zh, @en or @gen")
    shifts = [0.0] + [float(x) for x in args.shifts.split(",") if x]
    with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
        folds = list(pool.map(lambda fold: one_fold(args, fold), range(args.folds)))
    pooled = {name: [s for fold in folds for s in fold[name]] for name in folds[0]}
    summaries = []
    for shift in shifts:
        summary = {"label": args.label, "recipe": args.recipe, "shift": shift}
        summary.update({name: figures(scores, shift) for name, scores in pooled.items()})
        if shift:
            sys.stdout.write(f"\n== the boundary moved by {shift:+g}\n")
        report(summary, sys.stdout)
        summaries.append(summary)
    with open(os.path.join(args.work, "summary.json"), "w", encoding="utf-8") as f:
        json.dump(summaries, f, ensure_ascii=False, indent=1)


if __name__ == "__main__":
    main()
