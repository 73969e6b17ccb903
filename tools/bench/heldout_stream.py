#!/usr/bin/env python3
"""Writes a key stream for bench_keys from text the word lists were not built from.

The held-out catalogues of the evaluator (tools/eval/heldout): Vietnamese lines turned into
Telex keys as a typist presses them (the tone key after the syllable's letters, or right after
its vowel, line by line in turn), English lines as they stand, interleaved, until about
--keys keys. The benchmark types it as it types its built-in text.

Usage: tools/bench/heldout_stream.py OUT_FILE [--keys 150000]
"""

import argparse
import itertools
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "eval"))
import accuracy  # noqa: E402  (the evaluator's Telex typist)

HELDOUT = os.path.join(HERE, "..", "eval", "heldout")


def lines_of(name):
    with open(os.path.join(HELDOUT, name), encoding="utf-8") as f:
        return [accuracy.typeable(line.rstrip("\n")) for line in f if line.strip()]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--keys", type=int, default=150000)
    args = parser.parse_args()
    vietnamese = lines_of("vi.txt") + lines_of("tech_vi.txt")
    english = lines_of("en.txt") + lines_of("tech_en.txt")
    stream, keys = [], 0
    for i, (vi, en) in enumerate(itertools.zip_longest(vietnamese, english, fillvalue="")):
        for line in (accuracy.text_to_keys(vi, "telex", "end" if i % 2 else "vowel"), en):
            if line:
                stream.append(line)
                keys += len(line) + 1
        if keys >= args.keys:
            break
    with open(args.out, "w", encoding="utf-8") as f:
        f.write("\n".join(stream) + "\n")
    print(f"{args.out}: {len(stream)} lines, {keys} keys")


if __name__ == "__main__":
    main()
