#!/usr/bin/env python3
"""How many words that must stay as typed lose a character in smart mode: the English list's
rare words and names (levels 36-60 of en_words.txt) and real domain and user names
(tools/eval/names.txt, from tools/eval/names.py). Each is typed alone, in Telex with the
default settings, followed by a space.

    python3 tools/eval/kept.py --sim build/release/sim/tonvira-sim --data data
"""

import argparse
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def rare_english(data):
    words = []
    with open(os.path.join(data, "en_words.txt"), encoding="utf-8") as f:
        for line in f:
            parts = line.split()
            if len(parts) == 2 and 36 <= int(parts[1]) <= 60:
                words.append(parts[0])
    return words


def typed(sim, data, words, extra):
    text = "".join(w + " \n" for w in words)
    out = subprocess.run([sim, "--lines", "--data", data] + extra, input=text.encode("utf-8"),
                         stdout=subprocess.PIPE, check=True).stdout.decode("utf-8").split("\n")
    return out[:len(words)]


def report(name, words, results, top):
    """Words that came out Vietnamese (a decision) apart from words kept in Latin letters that
    lost or changed a typed character (what the English restore must never do)."""
    changed = [(w, r.rstrip(" ")) for w, r in zip(words, results) if r != w + " "]
    composed = [(w, g) for w, g in changed if any(ord(c) > 0x7F for c in g)]
    lost = [(w, g) for w, g in changed if all(ord(c) <= 0x7F for c in g)]
    print("%-24s %d words: %d kept in Latin letters lost a typed character, %d became Vietnamese"
          % (name, len(words), len(lost), len(composed)))
    for word, got in lost[:top]:
        print("    lost: %s -> %s" % (word, got))
    for word, got in composed[:top // 2]:
        print("    Vietnamese: %s -> %s" % (word, got))
    return len(lost)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--sim", required=True)
    parser.add_argument("--data", default="data")
    parser.add_argument("--names", default=os.path.join(HERE, "names.txt"))
    parser.add_argument("--top", type=int, default=20)
    parser.add_argument("--sim-args", default="")
    args = parser.parse_args()
    extra = args.sim_args.split()
    english = rare_english(args.data)
    with open(args.names, encoding="utf-8") as f:
        names = [line.strip() for line in f if line.strip()]
    report("English levels 36-60", english, typed(args.sim, args.data, english, extra), args.top)
    report("domain and user names", names, typed(args.sim, args.data, names, extra), args.top)
    return 0


if __name__ == "__main__":
    sys.exit(main())
