#!/usr/bin/env python3
"""Makes the probe sets that check what the model learned from the Chinese corpus's artefacts.

  make_probe_sets.py DEV.tsv OUTDIR [--seed N]

writes into OUTDIR:
  dev-digits.tsv    DEV with every maximal run of "x" that touches no ASCII letter replaced by random
                    digits of the same length, as real messages arrive (the corpus masks spam digits as x)
  ham-fullstop.tsv  every ham of DEV with "。" appended
  dev-digits-fullstop.tsv  dev-digits.tsv with "。" appended to its ham: real spam and typed ham together
  ham-pairs.tsv     the ham of DEV joined in pairs as "A，B。" (consecutive pairs, in file order)
"""
import argparse
import os
import random
import re

X_RUN = re.compile(r"x+")


def is_ascii_letter(ch):
    return ("a" <= ch <= "z") or ("A" <= ch <= "Z")


def unmask(text, rng):
    def replace(match):
        start, end = match.span()
        before = text[start - 1] if start > 0 else ""
        after = text[end] if end < len(text) else ""
        if is_ascii_letter(before) or is_ascii_letter(after):
            return match.group(0)
        return "".join(rng.choice("0123456789") for _ in range(end - start))

    return X_RUN.sub(replace, text)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("dev")
    parser.add_argument("outdir")
    parser.add_argument("--seed", type=int, default=42)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    rows = []
    with open(args.dev, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line:
                label, _, text = line.partition("\t")
                rows.append((label, text))
    os.makedirs(args.outdir, exist_ok=True)
    unmasked = [(label, unmask(text, rng)) for label, text in rows]
    with open(os.path.join(args.outdir, "dev-digits.tsv"), "w", encoding="utf-8") as f:
        for label, text in unmasked:
            f.write(f"{label}\t{text}\n")
    with open(os.path.join(args.outdir, "dev-digits-fullstop.tsv"), "w", encoding="utf-8") as f:
        for label, text in unmasked:
            f.write(f"{label}\t{text}{'。' if label == 'ham' else ''}\n")
    ham = [text for label, text in rows if label == "ham"]
    with open(os.path.join(args.outdir, "ham-fullstop.tsv"), "w", encoding="utf-8") as f:
        for text in ham:
            f.write(f"ham\t{text}。\n")
    with open(os.path.join(args.outdir, "ham-pairs.tsv"), "w", encoding="utf-8") as f:
        for a, b in zip(ham[0::2], ham[1::2]):
            f.write(f"ham\t{a}，{b}。\n")


if __name__ == "__main__":
    main()
