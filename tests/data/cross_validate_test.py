#!/usr/bin/env python3
"""Tests of the cross-validation probe: how it cuts the corpora, picks parts of the generated file and
counts figures at a moved boundary.

  cross_validate_test.py [unittest options]
"""
import os
import sys
import tempfile
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "probes"))

import cross_validate  # noqa: E402


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read().splitlines(keepends=True)


class CorpusFolds(unittest.TestCase):
    def test_each_line_is_held_out_in_exactly_one_fold_and_trained_on_in_the_others(self):
        with tempfile.TemporaryDirectory() as temp:
            corpus = os.path.join(temp, "corpus.tsv")
            lines = [f"{'spam' if n % 3 == 0 else 'ham'}\tmessage {n}\n" for n in range(200)]
            with open(corpus, "w", encoding="utf-8") as f:
                f.writelines(lines + ["\n"])
            held_in = {}
            for fold in range(4):
                train, held = os.path.join(temp, f"t{fold}"), os.path.join(temp, f"h{fold}")
                cross_validate.split_corpus(corpus, 4, fold, train, held)
                self.assertEqual(sorted(read(train) + read(held)), sorted(lines))
                self.assertTrue(read(held))
                for line in read(held):
                    self.assertNotIn(line, held_in)
                    held_in[line] = fold
            self.assertEqual(set(held_in), set(lines))

    def test_a_part_of_a_source_is_its_label_and_categories(self):
        with tempfile.TemporaryDirectory() as temp:
            source, out = os.path.join(temp, "train.tsv"), os.path.join(temp, "part.tsv")
            rows = ["ham\ta\tbank\n", "spam\tb\tbank\n", "ham\tc\tparcel\n", "ham\td\tverification\n", "ham\te\n"]
            with open(source, "w", encoding="utf-8") as f:
                f.writelines(rows)
            cross_validate.write_part(source, out, "@gen:ham:bank,verification")
            self.assertEqual(read(out), [rows[0], rows[3]])
            cross_validate.write_part(source, out, "@gen:ham")
            self.assertEqual(read(out), [rows[0], rows[2], rows[3], rows[4]])
            cross_validate.write_part(source, out, "@en:spam")
            self.assertEqual(read(out), [rows[1]])
        self.assertEqual([cross_validate.is_part(o) for o in ("@en:spam", "@zh", "@gen:ham:bank", "--c", "@x:ham")],
                         [True, False, True, False, False])


class Figures(unittest.TestCase):
    SCORES = [("ham", "bank", -0.4), ("ham", "bank", 0.05), ("ham", "", 0.3), ("spam", "trojan", 0.2),
              ("spam", "trojan", -0.1), ("spam", "adult", 0.6)]

    def test_the_boundary_is_where_it_was_learned_and_moves_by_the_shift(self):
        at = cross_validate.figures(self.SCORES, 0)
        self.assertEqual(at["confusion"], {"tp": 2, "fp": 2, "tn": 1, "fn": 1})
        self.assertEqual(at["categories"], {"ham/bank": [1, 2], "spam/trojan": [1, 2], "spam/adult": [0, 1]})
        towards_ham = cross_validate.figures(self.SCORES, 0.25)
        self.assertEqual(towards_ham["confusion"], {"tp": 1, "fp": 1, "tn": 2, "fn": 2})
        self.assertEqual(towards_ham["categories"]["ham/bank"], [0, 2])
        towards_spam = cross_validate.figures(self.SCORES, -0.2)
        self.assertEqual(towards_spam["confusion"], {"tp": 3, "fp": 2, "tn": 1, "fn": 0})
        self.assertEqual(cross_validate.f1(at["confusion"]), 2 * 2 / (2 * 2 + 2 + 1))


if __name__ == "__main__":
    unittest.main()
