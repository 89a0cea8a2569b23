#!/usr/bin/env python3
"""Fills the template families of today's SMS into labeled training and dev files.

  generate.py [--seed N] [--per-family N] [--dev-share X] [--folds K --fold I] OUTDIR

writes into OUTDIR:
  train.tsv     "ham|spam<TAB>text<TAB>category", the messages of the training families
  dev.tsv       the same for the dev families: no family is in both files
  families.tsv  "family<TAB>label<TAB>category<TAB>train|dev<TAB>messages", one line per family

With --folds K --fold I the dev families take no part: the training families are cut into K folds (in
each category alike), fold I is written as dev.tsv and the other folds as train.tsv, for cross-validation
that never looks at the dev families.

The families are in families/<label>/<category>.txt beside this file and the slot values in pools/. The
same seed gives byte-identical files. README.md describes the template language.
"""
import argparse
import hashlib
import os
import random
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
LABELS = ("ham", "spam")


class TemplateError(Exception):
    pass


# ---------------------------------------------------------------------------------------------------------
# Templates: text with {slot}, {a|b|c} (one of), [optional] and backslash escapes.

class Text:
    def __init__(self, text):
        self.text = text

    def render(self, ctx):
        return self.text


class Slot:
    def __init__(self, name):
        self.name = name

    def render(self, ctx):
        return ctx.slot(self.name)


class Choice:
    def __init__(self, options):
        self.options = options

    def render(self, ctx):
        return render_sequence(ctx.rng.choice(self.options), ctx)


class Optional:
    def __init__(self, body):
        self.body = body

    def render(self, ctx):
        return render_sequence(self.body, ctx) if ctx.rng.random() < 0.5 else ""


def render_sequence(nodes, ctx):
    return "".join(node.render(ctx) for node in nodes)


SLOT_NAME = re.compile(r"[a-z][a-z_0-9]*(#[0-9]+)?\Z")


def parse_template(source):
    """Parses one template line into a list of nodes; raises TemplateError on a malformed one."""
    nodes, end = _parse(source, 0, None)
    if end != len(source):
        raise TemplateError(f"unexpected {source[end]!r} at {end}")
    return nodes


def _parse(source, i, closing):
    """Parses from i up to one of the characters in closing (or the end); returns (alternatives or nodes,
    index of the closing character). Inside braces the result is a list of alternatives."""
    alternatives = [[]]
    text = []

    def flush():
        if text:
            alternatives[-1].append(Text("".join(text)))
            text.clear()

    while i < len(source):
        c = source[i]
        if c == "\\":
            if i + 1 == len(source):
                raise TemplateError("a backslash ends the template")
            text.append(source[i + 1])
            i += 2
        elif c == "{":
            flush()
            start = i
            body, i = _parse(source, i + 1, "}")
            if len(body) == 1:
                name = body[0][0].text if len(body[0]) == 1 and isinstance(body[0][0], Text) else ""
                if not SLOT_NAME.match(name):
                    raise TemplateError(f"{source[start:i + 1]} is neither a slot name nor a choice")
                alternatives[-1].append(Slot(name))
            else:
                alternatives[-1].append(Choice(body))
            i += 1
        elif c == "[":
            flush()
            body, i = _parse(source, i + 1, "]")
            if len(body) != 1:
                raise TemplateError("| inside [...] outside a choice")
            alternatives[-1].append(Optional(body[0]))
            i += 1
        elif c == "|" and closing == "}":
            flush()
            alternatives.append([])
            i += 1
        elif closing and c == closing:
            flush()
            return alternatives, i
        elif c in "}]|":
            raise TemplateError(f"unexpected {c!r} at {i}")
        else:
            text.append(c)
            i += 1
    if closing:
        raise TemplateError(f"missing {closing!r}")
    flush()
    return alternatives[0], i


# ---------------------------------------------------------------------------------------------------------
# Families.

class Family:
    def __init__(self, label, category, name, templates):
        self.label = label
        self.category = category
        self.name = name
        self.templates = templates  # parsed template lines: one is drawn per message

    @property
    def id(self):
        return f"{self.label}/{self.category}/{self.name}"


def parse_family_file(text, label, category):
    """A family file: '#' comment lines, and families each opened by '== name' and followed by one
    template per line. Raises TemplateError naming the line of a fault."""
    families = []
    names = set()
    for number, line in enumerate(text.splitlines(), 1):
        line = line.rstrip()
        if not line or line.startswith("#"):
            continue
        try:
            if line.startswith("=="):
                name = line[2:].strip()
                if not re.fullmatch(r"[a-z0-9][a-z0-9-]*", name) or name in names:
                    raise TemplateError(f"bad or repeated family name {name!r}")
                names.add(name)
                families.append(Family(label, category, name, []))
            elif not families:
                raise TemplateError("a template before the first family")
            else:
                families[-1].templates.append(parse_template(line))
        except TemplateError as e:
            raise TemplateError(f"{label}/{category}.txt:{number}: {e}") from None
    for family in families:
        if not family.templates:
            raise TemplateError(f"{family.id} has no template")
    return families


def load_families(root=HERE):
    families = []
    for label in LABELS:
        folder = os.path.join(root, "families", label)
        for filename in sorted(os.listdir(folder)):
            if filename.endswith(".txt"):
                with open(os.path.join(folder, filename), encoding="utf-8") as f:
                    families += parse_family_file(f.read(), label, filename[:-4])
    return families


def split_families(families, seed, dev_share):
    """Chooses the dev families: in each category, the share dev_share (at least two) of its families that
    come first when ordered by a hash of the seed and the family's id. A family's side depends only on the
    seed and its own place among its category's hashes, never on the file order."""
    by_category = {}
    for family in families:
        by_category.setdefault((family.label, family.category), []).append(family)
    dev = set()
    for members in by_category.values():
        ranked = sorted(members, key=lambda f: hashlib.sha256(f"{seed}:{f.id}".encode()).hexdigest())
        count = max(2, round(len(members) * dev_share))
        dev.update(f.id for f in ranked[:count])
    return dev


def fold_families(families, seed, folds, fold):
    """The families of fold `fold` (0 to folds - 1): in each category, every folds-th family, counted from
    `fold`, when ordered by a hash of the seed and the family's id. The folds partition the families, and
    every category with at least `folds` families is in every fold."""
    by_category = {}
    for family in families:
        by_category.setdefault((family.label, family.category), []).append(family)
    chosen = set()
    for members in by_category.values():
        ranked = sorted(members, key=lambda f: hashlib.sha256(f"{seed}:fold:{f.id}".encode()).hexdigest())
        chosen.update(f.id for f in ranked[fold::folds])
    return chosen


# ---------------------------------------------------------------------------------------------------------
# Slot values: word pools from pools/*.txt, and the shaped values (numbers, codes, dates, links) below.

def load_pools(root=HERE):
    pools = {}
    folder = os.path.join(root, "pools")
    for filename in sorted(os.listdir(folder)):
        if filename.endswith(".txt"):
            with open(os.path.join(folder, filename), encoding="utf-8") as f:
                entries = [line.strip() for line in f if line.strip() and not line.startswith("#")]
            pools[filename[:-4]] = [parse_template(entry) for entry in entries]
    return pools


def digits(rng, n):
    return "".join(rng.choice("0123456789") for _ in range(n))


def nonzero_digits(rng, n):
    return rng.choice("123456789") + digits(rng, n - 1)


def money(rng, low, high):
    """An amount of money in one of the shapes messages write it: 35, 35.00, 1,234.50, 1234.5."""
    value = rng.uniform(low, high) if rng.random() < 0.8 else rng.choice([1, 2, 5, 10]) * 10 ** rng.randint(0, 4)
    value = round(value, 2) if rng.random() < 0.7 else round(value)
    shape = rng.random()
    if shape < 0.45:
        return f"{value:.2f}"
    if shape < 0.65:
        return f"{value:,.2f}"
    if shape < 0.85:
        return f"{value:g}" if value < 1e6 else f"{value:.0f}"
    return f"{round(value)}"


def date(rng):
    month, day = rng.randint(1, 12), rng.randint(1, 28)
    year = rng.choice([2023, 2024, 2025])
    shapes = [
        f"{month}月{day}日", f"{month:02d}月{day:02d}日", f"{year}年{month}月{day}日", f"{month:02d}/{day:02d}",
        f"{year}-{month:02d}-{day:02d}", f"{month}月{day}号", f"{year}/{month}/{day}", f"{month:02d}-{day:02d}",
    ]
    return rng.choice(shapes)


def clock(rng):
    hour, minute = rng.randint(0, 23), rng.randint(0, 59)
    shapes = [f"{hour:02d}:{minute:02d}", f"{hour}:{minute:02d}", f"{hour:02d}:{minute:02d}:{rng.randint(0, 59):02d}",
              f"{hour}时{minute}分", f"{hour:02d}时{minute:02d}分"]
    return rng.choice(shapes)


def date_time(rng):
    day, time = date(rng), clock(rng)
    return day + time if day[-1] in "日号" and rng.random() < 0.7 else f"{day} {time}"


def date_hour(rng):
    day, hour = date(rng), hour_of_day(rng)
    return day + hour if day[-1] in "日号" and hour[-1] in "点半" else f"{day} {hour}"


def hour_of_day(rng):
    hour = rng.randint(7, 21)
    return rng.choice([f"{hour}:00", f"{hour}:30", f"{hour}点", f"{hour}点半", f"{hour % 12 or 12}点"])


def code(rng):
    shape = rng.random()
    if shape < 0.55:
        return digits(rng, 6)
    if shape < 0.8:
        return digits(rng, 4)
    if shape < 0.9:
        return digits(rng, rng.choice([5, 8]))
    return "".join(rng.choice("ABCDEFGHJKLMNPQRSTUVWXYZ23456789") for _ in range(6))


def alnum(rng, n, alphabet="abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789"):
    return "".join(rng.choice(alphabet) for _ in range(n))


def mobile(rng):
    number = rng.choice(["13", "15", "17", "18", "19", "16", "14"]) + digits(rng, 9)
    shape = rng.random()
    if shape < 0.75:
        return number
    if shape < 0.9:
        return f"{number[:3]} {number[3:7]} {number[7:]}"
    return f"{number[:3]}-{number[3:7]}-{number[7:]}"


def hotline(rng):
    shape = rng.random()
    if shape < 0.4:
        return f"400-{digits(rng, 3)}-{digits(rng, 4)}" if rng.random() < 0.6 else f"400{digits(rng, 7)}"
    if shape < 0.7:
        return "95" + digits(rng, 3)
    if shape < 0.85:
        return "0" + nonzero_digits(rng, 2) + "-" + nonzero_digits(rng, 8)
    return "1" + digits(rng, 4)


SHORT_HOSTS = ["t.cn", "dwz.cn", "url.cn", "suo.im", "tb.cn", "m.tb.cn", "u.jd.com", "3.cn", "j.mp", "c.tb.cn",
               "s.tb.cn", "dpurl.cn", "s.10086.cn", "u.10010.cn", "e.189.cn", "v.douyin.com", "b23.tv", "t.jd.com"]
TLDS = [".cn", ".com", ".top", ".vip", ".cc", ".xyz", ".net", ".com.cn", ".ink", ".icu", ".shop", ".club", ".me"]


def random_host(rng):
    word = alnum(rng, rng.randint(2, 7), "abcdefghijklmnopqrstuvwxyz")
    if rng.random() < 0.3:
        word += digits(rng, rng.randint(1, 3))
    if rng.random() < 0.25:
        word = rng.choice(["m.", "www.", "h5.", "a.", "wap."]) + word
    return word + rng.choice(TLDS)


def link(rng, host):
    scheme = rng.choice(["https://", "http://", "", ""])
    path = alnum(rng, rng.randint(4, 8))
    if rng.random() < 0.2:
        path = rng.choice(["s/", "u/", "r/", "p/", "#/", "a?c="]) + path
    return f"{scheme}{host}/{path}"


def ip_link(rng):
    host = ".".join(str(rng.randint(1, 254)) for _ in range(4))
    port = f":{rng.randint(80, 9999)}" if rng.random() < 0.5 else ""
    return f"http://{host}{port}/{alnum(rng, rng.randint(3, 6))}"


def odd_link(rng):
    kind = rng.random()
    if kind < 0.12:
        return ip_link(rng)
    return link(rng, rng.choice(SHORT_HOSTS) if kind < 0.4 else random_host(rng))


SHAPED = {
    "amount": lambda rng: money(rng, 1, 3000),
    "small_amount": lambda rng: money(rng, 1, 200),
    "big_amount": lambda rng: money(rng, 2000, 60000),
    "balance": lambda rng: money(rng, 0, 80000),
    "card4": lambda rng: digits(rng, 4),
    "code": code,
    "code4": lambda rng: digits(rng, 4),
    "code6": lambda rng: digits(rng, 6),
    "minutes": lambda rng: rng.choice(["2", "3", "5", "5", "10", "10", "15", "30"]),
    "date": date,
    "time": clock,
    "datetime": date_time,
    "hour": hour_of_day,
    "date_hour": date_hour,
    "grade": lambda rng: rng.choice("123456"),
    "class_no": lambda rng: str(rng.randint(1, 12)),
    "month": lambda rng: f"{rng.randint(1, 12)}",
    "day": lambda rng: f"{rng.randint(1, 28)}",
    "year": lambda rng: rng.choice(["2023", "2024", "2025"]),
    "count": lambda rng: str(rng.choice([1, 1, 2, 2, 3, 4, 5, 6, 8, 10, 12])),
    "number": lambda rng: str(rng.randint(2, 99)),
    "percent": lambda rng: rng.choice(["3", "5", "8", "10", "12", "15", "20", "30", "50"]),
    "points": lambda rng: str(rng.choice([rng.randint(100, 99999), rng.randint(1000, 30000)])),
    "order": lambda rng: rng.choice([digits(rng, rng.randint(12, 19)), alnum(rng, 2, "ABCDEFGHJKLMNPQRSTUVWXYZ")
                                     + digits(rng, rng.randint(10, 14))]),
    "tracking": lambda rng: rng.choice(["SF", "YT", "JT", "ZT", "YD", "JD", "DPK", "7", "4", ""])
    + digits(rng, rng.randint(11, 14)),
    "pickup": lambda rng: rng.choice([f"{rng.randint(1, 30)}-{rng.randint(1, 6)}-{rng.randint(1000, 9999)}",
                                      digits(rng, 6), digits(rng, 8), f"{rng.randint(1, 99)}-{digits(rng, 4)}",
                                      f"{rng.choice('ABCDEFGH')}{rng.randint(1, 40)}-{digits(rng, 4)}"]),
    "mobile": mobile,
    "masked_mobile": lambda rng: mobile(rng).replace(" ", "").replace("-", "")[:3] + "****"
    + digits(rng, 4),
    "hotline": hotline,
    # Services link through shorteners and their own hosts, scams through odd hosts, shorteners and bare
    # addresses; both kinds share the shorteners, as real messages do.
    "url": lambda rng: link(rng, rng.choice(SHORT_HOSTS) if rng.random() < 0.75 else random_host(rng)),
    "odd_url": odd_link,
    "plate": lambda rng: rng.choice("京沪粤苏浙川鲁豫鄂湘闽皖津渝陕辽吉黑冀晋蒙桂琼贵云甘青宁新")
    + rng.choice("ABCDEFGHJK") + rng.choice(["", "·"]) + alnum(rng, 5, "ABCDEFGHJKLMNPQRSTUVWXYZ0123456789"),
    "train": lambda rng: rng.choice("GGGDDKTZC") + str(rng.randint(1, 9999)),
    "flight": lambda rng: rng.choice(["CA", "MU", "CZ", "HU", "3U", "ZH", "MF", "SC", "FM", "HO", "9C", "KN"])
    + str(rng.randint(100, 9999)),
    "seat": lambda rng: f"{rng.randint(1, 16):02d}车{rng.randint(1, 20):02d}{rng.choice('ABCDF')}号",
    "gate": lambda rng: f"{rng.choice(['', 'A', 'B', 'C'])}{rng.randint(1, 60)}",
    "room": lambda rng: f"{rng.randint(1, 30)}{rng.randint(1, 4):01d}{rng.randint(1, 9):02d}",
    "id_tail": lambda rng: digits(rng, 3) + rng.choice("0123456789X"),
    "account": lambda rng: rng.choice(["1", "2", "3"]) + digits(rng, rng.randint(7, 10)),
    "age": lambda rng: str(rng.randint(18, 60)),
    "qq": lambda rng: nonzero_digits(rng, rng.randint(6, 10)),
    "wechat": lambda rng: rng.choice(["", "wx", "vip", "kf", "a"]) + alnum(rng, rng.randint(4, 8),
                                                                          "abcdefghijklmnopqrstuvwxyz0123456789"),
}


class Filler:
    """Renders the templates of one message: a slot named twice gets one value ({amount#2} is a second
    value of the same kind)."""

    def __init__(self, pools, rng):
        self.pools = pools
        self.rng = rng
        self.values = {}

    def slot(self, name):
        if name not in self.values:
            kind = name.partition("#")[0]
            if kind in SHAPED:
                self.values[name] = SHAPED[kind](self.rng)
            elif kind in self.pools:
                # A pool entry's own slots are its own: {name} inside {honorific} shares nothing with the
                # message's {name}.
                self.values[name] = render_sequence(self.rng.choice(self.pools[kind]), Filler(self.pools, self.rng))
            else:
                raise TemplateError(f"unknown slot {{{name}}}")
        return self.values[name]


def check_slots(nodes, pools):
    """Raises TemplateError for a slot that names neither a pool nor a shaped value."""
    for node in nodes:
        if isinstance(node, Slot) and node.name.partition("#")[0] not in SHAPED.keys() | pools.keys():
            raise TemplateError(f"unknown slot {{{node.name}}}")
        if isinstance(node, Choice):
            for option in node.options:
                check_slots(option, pools)
        if isinstance(node, Optional):
            check_slots(node.body, pools)


# ---------------------------------------------------------------------------------------------------------
# Surface: the same message is written in many ways. A leading 【signature】 may move to the end or go,
# punctuation may be ASCII, numbers may stand between spaces.

SIGNATURE = re.compile(r"^【([^】]{1,16})】")
TO_ASCII = str.maketrans({"，": ",", "。": ".", "：": ":", "！": "!", "？": "?", "（": "(", "）": ")", "；": ";"})
TO_WIDE = str.maketrans({",": "，", ":": "：", "!": "！", "?": "？", ";": "；"})
SPACED = re.compile(r"(?<=[\u4e00-\u9fff])(?=[0-9A-Za-z¥])|(?<=[0-9A-Za-z%])(?=[\u4e00-\u9fff])")


# Phrasings that say the same; a message may use any of them, whichever label it has.
SYNONYMS = [
    ["请勿", "切勿", "请不要"],
    ["尽快", "及时", "尽早"],
    ["立即", "马上", "立刻"],
    ["点击", "点开", "打开"],
    ["登录", "登陆"],
    ["如非本人操作", "若非本人操作", "如不是本人操作", "如非您本人操作"],
    ["感谢您的", "谢谢您的"],
    ["手机号码", "手机号"],
    ["如有疑问", "如有问题", "如有任何疑问", "若有疑问"],
    ["客服热线", "服务热线", "客服电话", "客户服务热线"],
    ["详询", "详情咨询", "咨询电话"],
    ["查看", "查询"],
    ["请及时", "请尽快", "请您及时"],
    ["温馨提示", "友情提示", "温馨提醒"],
    ["成功", "完成"],
    ["收到", "收到了"],
]


# Where a phrase is part of another word, it is left alone: the 点开 of "7点开始", the 成功 of "不成功" (whose
# swap would say "不完成"), the 收到 of "收到了" or "收到的" (which would become "收到了了", "收到了的").
PHRASE_PATTERNS = {
    "点开": re.compile(r"(?<![0-9０-９一二三四五六七八九十两几半])点开(?!始)"),
    "成功": re.compile(r"(?<!不)成功"),
    "收到": re.compile(r"收到(?![了的])"),
}


def phrase_pattern(phrase):
    return PHRASE_PATTERNS.get(phrase) or re.compile(re.escape(phrase))


def paraphrase(text, rng):
    for group in SYNONYMS:
        present = [phrase for phrase in group if phrase_pattern(phrase).search(text)]
        if present and rng.random() < 0.25:
            replacement = rng.choice(group)
            text = phrase_pattern(present[0]).sub(lambda _: replacement, text)
    if "您" in text and rng.random() < 0.1:
        text = text.replace("您", "你")
    return text


def surface(text, rng):
    text = paraphrase(text, rng)
    signature = SIGNATURE.match(text)
    if signature:
        body = text[signature.end():]
        where = rng.random()
        if where < 0.2:
            text = body + signature.group(0)
        elif where < 0.28:
            text = body
        elif where < 0.33:
            text = f"[{signature.group(1)}]{body}"
    punctuation = rng.random()
    if punctuation < 0.2:
        text = text.translate(TO_ASCII)
    elif punctuation < 0.25:
        text = text.translate(TO_WIDE)
    if rng.random() < 0.15:
        text = SPACED.sub(" ", text)
    if rng.random() < 0.1 and text[-1:] in "。.！!":
        text = text[:-1]
    return re.sub(r"\s+", " ", text).strip()


# ---------------------------------------------------------------------------------------------------------

def family_messages(family, pools, seed, count):
    """Up to count distinct messages of one family; the family's own generator makes them the same whatever
    other families exist."""
    rng = random.Random(f"{seed}:{family.id}")
    messages, seen = [], set()
    for _ in range(count * 4):
        if len(messages) == count:
            break
        filler = Filler(pools, rng)
        text = surface(render_sequence(rng.choice(family.templates), filler), rng)
        if text and text not in seen:
            seen.add(text)
            messages.append(text)
    return messages


def generate(seed=42, per_family=30, dev_share=0.2, root=HERE, folds=0, fold=0):
    """Returns (families, dev ids, {family id: messages}). With folds, the families are the training
    families only and the dev ids those of fold `fold`."""
    families = load_families(root)
    pools = load_pools(root)
    for family in families:
        for template in family.templates:
            check_slots(template, pools)
    for name, entries in pools.items():
        for entry in entries:
            check_slots(entry, pools)
    dev = split_families(families, seed, dev_share)
    if folds:
        families = [f for f in families if f.id not in dev]
        dev = fold_families(families, seed, folds, fold)
    messages = {f.id: family_messages(f, pools, seed, per_family) for f in families}
    return families, dev, messages


def write_outputs(outdir, families, dev, messages):
    """Writes train.tsv, dev.tsv and families.tsv. A dev message whose text a training family also made is
    left out, so that nothing of dev is trained on."""
    os.makedirs(outdir, exist_ok=True)
    train_texts = {t for f in families if f.id not in dev for t in messages[f.id]}
    rows = {"train": [], "dev": []}
    manifest = []
    for family in families:
        side = "dev" if family.id in dev else "train"
        kept = [t for t in messages[family.id] if side == "train" or t not in train_texts]
        rows[side] += [f"{family.label}\t{t}\t{family.category}\n" for t in kept]
        manifest.append(f"{family.id}\t{family.label}\t{family.category}\t{side}\t{len(kept)}\n")
    for side, lines in rows.items():
        with open(os.path.join(outdir, f"{side}.tsv"), "w", encoding="utf-8", newline="\n") as f:
            f.writelines(lines)
    with open(os.path.join(outdir, "families.tsv"), "w", encoding="utf-8", newline="\n") as f:
        f.writelines(manifest)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("outdir")
    parser.add_argument("--seed", type=int, default=42)
    parser.add_argument("--per-family", type=int, default=30)
    parser.add_argument("--dev-share", type=float, default=0.2)
    parser.add_argument("--folds", type=int, default=0, help="cut the training families into K folds")
    parser.add_argument("--fold", type=int, default=0, help="the fold written as dev.tsv (0 to K - 1)")
    args = parser.parse_args()
    if args.folds == 1 or args.folds < 0 or not 0 <= args.fold < max(args.folds, 1):
        parser.error("--folds wants 2 or more, and --fold a number from 0 to K - 1")
    try:
        families, dev, messages = generate(args.seed, args.per_family, args.dev_share, folds=args.folds,
                                           fold=args.fold)
        write_outputs(args.outdir, families, dev, messages)
    except (TemplateError, OSError, UnicodeDecodeError) as e:
        sys.exit(f"generate.py: {e}")
    counts = {}
    for family in families:
        key = (family.label, "dev" if family.id in dev else "train")
        counts[key] = counts.get(key, 0) + 1
    print(", ".join(f"{label} {side}: {n} families" for (label, side), n in sorted(counts.items())),
          file=sys.stderr)


if __name__ == "__main__":
    main()
