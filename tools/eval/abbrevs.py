#!/usr/bin/env python3
"""Where the shipped abbreviation keys expand: in Vietnamese chat lines that use them
(abbrev/chat_vi.txt, as a Telex typist types them) every key should expand; in English
sentences that hold them as words (abbrev/english.txt) none should. Each line is typed alone
through tonvira-sim with the default settings and the shipped library.

    python3 tools/eval/abbrevs.py --sim build/release/sim/tonvira-sim --data data
"""

import argparse
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def shipped_keys(data):
    keys = set()
    with open(os.path.join(data, "abbrev.txt"), encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                keys.add(line.split("\t")[0].strip().lower())
    return keys


def measure(sim, data, path, keys):
    """(keys in the text, keys expanded, lines with a miss or an unwanted expansion)."""
    with open(path, encoding="utf-8") as f:
        lines = [line.rstrip("\n") for line in f if line.strip()]
    present = [sum(1 for w in re.findall(r"[A-Za-z]+", line) if w.lower() in keys) for line in lines]
    out = subprocess.run([sim, "--lines", "--explain", "--data", data], input="".join(l + " \n" for l in lines).encode(),
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, check=True).stdout.decode("utf-8")
    expanded, shown = [], []
    for row in out.split("\n"):
        if row.startswith("\t"):
            expanded[-1] += row.rstrip().endswith("\tgo tat")
        elif len(shown) < len(lines):
            shown.append(row)
            expanded.append(0)
    return lines, present, expanded, shown


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--sim", required=True)
    parser.add_argument("--data", default="data")
    args = parser.parse_args()
    keys = shipped_keys(args.data)
    for name, file, want_all in (("Vietnamese chat lines", "chat_vi.txt", True),
                                 ("English sentences", "english.txt", False)):
        lines, present, expanded, shown = measure(args.sim, args.data, os.path.join(HERE, "abbrev", file), keys)
        total, done = sum(present), sum(expanded)
        print("%-22s %d lines, %d shipped keys, %d expanded" % (name, len(lines), total, done))
        for line, p, e, s in zip(lines, present, expanded, shown):
            if (want_all and e < p) or (not want_all and e > 0):
                print("    %s -> %s" % (line, s.rstrip()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
