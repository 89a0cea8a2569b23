#!/usr/bin/env python3
"""Tests of the training-data generator: its template language, its seeded output, the family split and
the hand-written dev set.

  generator_test.py [unittest options]
"""
import collections
import filecmp
import os
import random
import sys
import tempfile
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "data"))

import generate  # noqa: E402


def render(source, pools=None, seed=1):
    rng = random.Random(seed)
    return generate.render_sequence(generate.parse_template(source), generate.Filler(pools or {}, rng))


def read_rows(path):
    with open(path, encoding="utf-8") as f:
        return [line.rstrip("\n").split("\t") for line in f if line.strip()]


class TemplateLanguage(unittest.TestCase):
    def test_choices_optional_parts_and_escapes_render_only_what_is_written(self):
        seen = {render("a{b|c{d|e}}[f]\\{g\\}", seed=s) for s in range(200)}
        self.assertEqual(seen, {"ab{g}", "abf{g}", "acd{g}", "acdf{g}", "ace{g}", "acef{g}"})

    def test_a_slot_named_twice_is_one_value_and_a_numbered_one_is_another(self):
        pools = {"x": [generate.parse_template(str(n)) for n in range(1000)]}
        for seed in range(20):
            first, again, other = render("{x} {x} {x#2}", pools, seed).split()
            self.assertEqual(first, again)
            self.assertIn(other, {str(n) for n in range(1000)})
        self.assertTrue(any(len(set(render("{x} {x#2}", pools, s).split())) == 2 for s in range(20)))

    def test_a_pool_entry_keeps_its_own_slots(self):
        pools = {"surname": [generate.parse_template(c) for c in "ABCDEFGHIJ"]}
        pools["name"] = [generate.parse_template("{surname}1")]
        # {surname} inside the {name} entry is drawn apart from the message's own {surname}.
        self.assertTrue(any(render("{surname}{name}", pools, s)[0] != render("{surname}{name}", pools, s)[1]
                            for s in range(30)))

    def test_malformed_templates_are_refused(self):
        for bad in ["{a|b", "a]", "[a|b]", "{Bad Name}", "{}", "x|y}", "ends with \\"]:
            with self.assertRaises(generate.TemplateError, msg=bad):
                generate.parse_template(bad)

    def test_family_files_name_the_line_of_a_fault(self):
        with self.assertRaisesRegex(generate.TemplateError, r"ham/bank.txt:4:"):
            generate.parse_family_file("# note\n== one\nfine {a|b}\nbroken {a|b\n", "ham", "bank")
        with self.assertRaisesRegex(generate.TemplateError, "repeated"):
            generate.parse_family_file("== one\nx\n== one\ny\n", "ham", "bank")
        with self.assertRaisesRegex(generate.TemplateError, "no template"):
            generate.parse_family_file("== one\n== two\ny\n", "ham", "bank")
        with self.assertRaisesRegex(generate.TemplateError, "unknown slot"):
            generate.check_slots(generate.parse_template("{nosuchslot}"), {})

    def test_surface_keeps_the_message_whatever_it_moves(self):
        rng = random.Random(3)
        forms = {generate.surface("【某银行】您尾号1234卡消费25元。", rng) for _ in range(400)}
        self.assertIn("您尾号1234卡消费25元。【某银行】", forms)  # the signature moved to the end
        self.assertIn("【某银行】您尾号1234卡消费25元。", forms)
        for form in forms:
            self.assertRegex(form, r"1234 ?卡")
            self.assertNotIn("\t", form)


    def test_a_swapped_phrase_never_breaks_the_word_it_is_part_of(self):
        rng = random.Random(5)
        text = "明早7点开始，支付不成功请点开链接，已收到了款项，收到的验证码请勿告诉他人，收到请回复"
        forms = {generate.paraphrase(text, rng) for _ in range(2000)}
        self.assertTrue(any("打开链接" in form for form in forms))  # the phrases on their own are swapped
        self.assertTrue(any("收到了请回复" in form for form in forms))
        for form in forms:
            self.assertIn("7点开始", form)
            self.assertIn("不成功", form)
            self.assertNotIn("收到了了", form)
            self.assertNotIn("收到了的", form)


class GeneratedFiles(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory()
        cls.families, cls.dev, cls.messages = generate.generate(seed=42, per_family=8)
        cls.out = os.path.join(cls.temp.name, "a")
        generate.write_outputs(cls.out, cls.families, cls.dev, cls.messages)

    @classmethod
    def tearDownClass(cls):
        cls.temp.cleanup()

    def test_the_same_seed_gives_the_same_bytes_and_another_seed_other_messages(self):
        again = os.path.join(self.temp.name, "b")
        generate.write_outputs(again, *generate.generate(seed=42, per_family=8))
        for name in ("train.tsv", "dev.tsv", "families.tsv"):
            self.assertTrue(filecmp.cmp(os.path.join(self.out, name), os.path.join(again, name), shallow=False), name)
        other = os.path.join(self.temp.name, "c")
        generate.write_outputs(other, *generate.generate(seed=7, per_family=8))
        self.assertFalse(filecmp.cmp(os.path.join(self.out, "train.tsv"), os.path.join(other, "train.tsv"),
                                     shallow=False))

    def test_no_family_is_on_both_sides(self):
        sides = collections.defaultdict(set)
        per_category = collections.defaultdict(collections.Counter)
        for family, label, category, side, _ in read_rows(os.path.join(self.out, "families.tsv")):
            sides[family].add(side)
            per_category[(label, category)][side] += 1
        self.assertEqual(len(sides), len(self.families))
        self.assertTrue(all(len(s) == 1 for s in sides.values()))
        for key, counts in per_category.items():
            self.assertGreaterEqual(counts["dev"], 2, key)
            self.assertGreater(counts["train"], counts["dev"], key)

    def test_each_file_holds_only_messages_of_its_own_families(self):
        made_by = collections.defaultdict(set)
        for family in self.families:
            for text in self.messages[family.id]:
                made_by[text].add(family.id)
        for side in ("train", "dev"):
            rows = read_rows(os.path.join(self.out, f"{side}.tsv"))
            self.assertTrue(rows)
            for label, text, category in rows:
                self.assertIn(label, generate.LABELS)
                owners = made_by[text]
                self.assertTrue(owners, text)
                if side == "dev":
                    self.assertTrue(owners <= self.dev, f"{text} is made by a training family")
                else:
                    self.assertFalse(owners & self.dev, f"{text} is made by a dev family")
                self.assertTrue(any(o.split("/")[:2] == [label, category] for o in owners), text)

    def test_the_split_does_not_depend_on_the_order_of_the_families(self):
        shuffled = list(self.families)
        random.Random(5).shuffle(shuffled)
        self.assertEqual(generate.split_families(shuffled, 42, 0.2), self.dev)
        self.assertNotEqual(generate.split_families(self.families, 43, 0.2), self.dev)

    def test_folds_cut_the_training_families_only_and_cover_each_once(self):
        folds = 5
        training = [f for f in self.families if f.id not in self.dev]
        seen = collections.Counter()
        for fold in range(folds):
            families, held, messages = generate.generate(seed=42, per_family=2, folds=folds, fold=fold)
            self.assertEqual({f.id for f in families}, {f.id for f in training})  # no dev family takes part
            self.assertTrue(held <= {f.id for f in families})
            seen.update(held)
            # Every category is held out in every fold, and trained on too.
            held_categories = {(f.label, f.category) for f in families if f.id in held}
            trained_categories = {(f.label, f.category) for f in families if f.id not in held}
            self.assertEqual(held_categories, trained_categories)
            self.assertEqual(held_categories, {(f.label, f.category) for f in training})
        self.assertEqual(set(seen), {f.id for f in training})
        self.assertEqual(set(seen.values()), {1})

    def test_every_category_has_dozens_of_families(self):
        counts = collections.Counter((f.label, f.category) for f in self.families)
        self.assertGreaterEqual(min(counts.values()), 20, counts)
        categories = {category for _, category in counts}
        for needed in ("verification", "bank", "parcel", "personal", "phishing", "trojan", "refund", "marketing"):
            self.assertIn(needed, categories)


class HandWrittenDevSet(unittest.TestCase):
    def test_it_uses_the_generated_categories_and_is_never_trained_on(self):
        families, dev, messages = generate.generate(seed=42, per_family=30)
        known = {(f.label, f.category) for f in families}
        trained = {t for f in families if f.id not in dev for t in messages[f.id]}
        rows = read_rows(os.path.join(ROOT, "data", "handwritten", "dev.tsv"))
        self.assertGreaterEqual(len(rows), 90)
        for label, text, category in rows:
            self.assertIn((label, category), known, text)
            self.assertNotIn(text, trained)
        self.assertEqual(len({text for _, text, _ in rows}), len(rows))


if __name__ == "__main__":
    unittest.main()
