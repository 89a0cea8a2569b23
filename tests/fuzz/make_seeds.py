#!/usr/bin/env python3
"""Writes the fuzzers' seed inputs into tests/fuzz/corpus/<fuzzer>/: small valid inputs of each format and a
few hostile ones, so that a short run already reaches deep into every decoder. Run from anywhere."""
import json
import pathlib
import struct
import unicodedata

ROOT = pathlib.Path(__file__).resolve().parent / "corpus"


def write(fuzzer, name, data):
    folder = ROOT / fuzzer
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data if isinstance(data, bytes) else data.encode())


# Query lines: the samples, one per file, and lines built to be costly or odd.
samples = pathlib.Path(__file__).resolve().parents[2] / "samples" / "messages.jsonl"
for i, line in enumerate(samples.read_text(encoding="utf-8").splitlines()):
    write("query_line_fuzzer", f"sample-{i:02d}", line)
write("query_line_fuzzer", "marks", json.dumps({"id": 1, "sender": "123", "messageBody": "a" + "\u0301\u0316" * 200}))
write("query_line_fuzzer", "big-id", '{"id": 18446744073709551617, "sender": "1", "messageBody": "t.cn"}')
write("query_line_fuzzer", "explained-model", json.dumps({"id": 2, "sender": "123", "explain": True,
                                                          "messageBody": "【某某商城】会员日特惠：全场满199减100"}))
write("query_line_fuzzer", "explained-list", json.dumps({"id": 3, "sender": "10086", "messageBody": "x", "explain": True}))
write("query_line_fuzzer", "nested", '{"id": "x", "sender": [[{"a": null}]], "messageBody": 1.5e300}')


# Settings values: the store's binary encoding.
def encode(value):
    if isinstance(value, bool):
        return b"b" + bytes([value])
    if isinstance(value, int):
        return b"i" + struct.pack("<q", value)
    if isinstance(value, float):
        return b"r" + struct.pack("<d", value)
    if isinstance(value, str):
        data = value.encode()
        return b"s" + struct.pack("<I", len(data)) + data
    if isinstance(value, list):
        return b"a" + struct.pack("<I", len(value)) + b"".join(encode(v) for v in value)
    data = b"d" + struct.pack("<I", len(value))
    for key, item in value.items():
        data += struct.pack("<I", len(key.encode())) + key.encode() + encode(item)
    return data


write("settings_value_fuzzer", "keyword-list", encode(["退订", "TD", "回T", "双十一", "双11", "澳门", "贷款"]))
write("settings_value_fuzzer", "every-type", encode({"s": "文字", "i": -42, "r": 2.5, "b": True, "a": ["x", 1, [], {}]}))
write("settings_value_fuzzer", "overclaimed", b"a" + struct.pack("<I", 1000) + encode(True) * 4)
write("settings_value_fuzzer", "deep", b"a\x01\x00\x00\x00" * 70 + encode(True))


# Compiled models (the layout of docs/model-format.md).
def fnv1a(data):
    h = 14695981039346656037
    for byte in data:
        h = ((h ^ byte) * 1099511628211) & 0xFFFFFFFFFFFFFFFF
    return h


def model(names, weights, bias_weight, transform):
    names = [unicodedata.normalize("NFC", n).encode() for n in names]
    strings = b""
    refs = []
    for s in [b"text", b"rating", b"ratingProbability", b"spam", b"ham", b"seed model"] + names:
        refs.append(struct.pack("<II", len(strings), len(s)))
        strings += s
    slot_count = 16
    while slot_count < 2 * len(names) + 1:
        slot_count *= 2
    slots = [0] * slot_count
    for i, name in enumerate(names):
        h = fnv1a(name)
        while slots[h % slot_count]:
            h += 1
        slots[h % slot_count] = i + 1
    sections = [strings, b"".join(refs[:6]), b"".join(refs[6:]),
                struct.pack(f"<{len(weights) + 1}d", *weights, bias_weight), struct.pack(f"<{slot_count}I", *slots)]
    body, placed, at = b"", [], 128
    for section in sections:
        placed.append((at, len(section)))
        padded = section + b"\0" * (-len(section) % 8)
        body += padded
        at += len(padded)
    header = b"QBMLMODL" + struct.pack("<IIQIIIId", 1, 128, at, len(names), slot_count, 2, transform, 1.0)
    header += b"".join(struct.pack("<QQ", offset, size) for offset, size in placed)
    return header + body


write("model_file_fuzzer", "small", model(["agnès", "free", "退订", "明天"], [0.5, 1.0, 2.0, -3.0], -1.5, 0))
write("model_file_fuzzer", "presence", model(["退订", "贷款", "tcn"], [1.0, 0.8, 0.3], -0.5, 2))
write("model_file_fuzzer", "empty", model([], [], 0.25, 1))
