#!/usr/bin/env python3
"""Measures autofix on typing errors put into real Vietnamese text.

For each class of error, one Vietnamese word of every line of heldout/vi.txt that can carry the
error gets it (the word chosen by the line number, so runs repeat), the line is typed in Telex
and in VNI (tone key after the letters) through `tonvira-sim --lines --explain`, and the word is counted
as corrected (the text's word comes out), miscorrected (autofix gave another word), kept
unfinished (the tone of a stop final was in doubt, so the form as typed stays) or left (any
other outcome: the typed keys, or the Vietnamese form as composed).

Usage: tools/eval/typos.py --sim build/release/sim/tonvira-sim [--data data] [--top 10]
Standard library only.
"""

import argparse
import collections
import os
import sys
import unicodedata

import accuracy as acc

DIGRAPHS = ["ng", "nh", "ch", "kh", "th", "ph", "tr", "gh"]
PLAIN_FOR = {"ê": "e", "ô": "o", "â": "a"}


def swapped_pair(word, method):
    """trong -> trogn: the first consonant pair typed backwards."""
    keys = acc.run_keys(word, method, "end")
    low = keys.lower()
    for i in range(len(low) - 1):
        if low[i:i + 2] in DIGRAPHS:
            # The shift key stays where it was pressed: Không -> Hkoong.
            a, b = keys[i + 1], keys[i]
            a = a.upper() if keys[i].isupper() else a.lower()
            b = b.upper() if keys[i + 1].isupper() else b.lower()
            return keys[:i] + a + b + keys[i + 2:]
    return None


def overshot_triple(word, method):
    """cân -> caaan: a doubled mark key typed a third time (Telex only)."""
    if method != "telex":
        return None
    keys = acc.run_keys(word, method, "end")
    for i in range(len(keys) - 1):
        c = keys[i].lower()
        if c in "adeo" and keys[i + 1].lower() == c:
            return keys[:i + 1] + keys[i] + keys[i + 1:]
    return None


def missing_mark(word, method):
    """tiếng -> tiengs, người -> nguoif: the mark of a vowel pair left out."""
    lower = word.lower()
    letters = [acc.letter_parts(ch) for ch in lower]
    for i in range(len(letters) - 1):
        (a, sa, _), (b, sb, _) = letters[i], letters[i + 1]
        pair = None
        if a in "iy" and b == "e" and sb == "circumflex":
            pair = (i + 1,)
        elif a == "u" and sa is None and b in "oa" and sb == "circumflex":
            pair = (i + 1,)
        elif a == "u" and sa == "horn" and b == "o" and sb == "horn":
            pair = (i, i + 1)
        if pair:
            chars = list(word)
            for j in pair:
                base, _, tone = acc.letter_parts(chars[j])
                chars[j] = unicodedata.normalize("NFC", base + ("" if not tone else
                                                                 "\u0301\u0300\u0309\u0303\u0323"[tone - 1]))
            return acc.run_keys("".join(chars), method, "end")
    return None


def wrong_stop_tone(word, method):
    """học -> hocf, ho5c -> hoc2: a grave on a final that takes only the acute or the dot below."""
    lower = word.lower()
    if not lower.endswith(("p", "t", "c", "ch")):
        return None
    keys = acc.run_keys(word, method, "end")
    if not keys or keys[-1] not in ("15" if method == "vni" else "sj"):
        return None
    return keys[:-1] + ("2" if method == "vni" else "f")


def doubled_vowel(word, method):
    """cái -> caais, ca6i1: a circumflex key where no circumflex belongs."""
    keys = acc.run_keys(word, method, "end")
    marks = "6789" if method == "vni" else "aeow"
    for i, c in enumerate(keys):
        if c.lower() in "aeo":
            marked = i + 1 < len(keys) and keys[i + 1].lower() in marks
            if marked or (i > 0 and keys[i - 1].lower() == c.lower()):
                return None  # the vowel carries a mark already
            return keys[:i + 1] + ("6" if method == "vni" else keys[i]) + keys[i + 1:]
    return None


CLASSES = [
    ("consonant pair swapped", swapped_pair),
    ("mark key typed three times", overshot_triple),
    ("mark of a vowel pair missing", missing_mark),
    ("grave on a stop final", wrong_stop_tone),
    ("vowel key doubled", doubled_vowel),
]


def build_lines(texts, syllables, make_typo, method):
    """Per line: the keys with one word mistyped, the token index, the word and its typo keys."""
    typed, targets = [], []
    for n, line in enumerate(texts):
        tokens = line.split(" ")
        eligible = []
        for i, token in enumerate(tokens):
            word = acc.strip_punct(token)
            if acc.is_vietnamese_word(word, syllables):
                typo = make_typo(word, method)
                if typo:
                    eligible.append((i, word, typo))
        keys_tokens = [acc.text_to_keys(t, method, "end") for t in tokens]
        target = None
        if eligible:
            i, word, typo = eligible[n % len(eligible)]
            token = tokens[i]
            start = token.index(word)
            keys_tokens[i] = (acc.text_to_keys(token[:start], method, "end") + typo +
                              acc.text_to_keys(token[start + len(word):], method, "end"))
            target = (i, word, typo)
        typed.append(" ".join(keys_tokens))
        targets.append(target)
    return typed, targets


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--sim", required=True, help="path of tonvira-sim")
    parser.add_argument("--data", default="data", help="folder of the word lists")
    parser.add_argument("--heldout", default=os.path.join(acc.HERE, "heldout"))
    parser.add_argument("--top", type=int, default=10)
    args = parser.parse_args()

    with open(os.path.join(args.heldout, "vi.txt"), encoding="utf-8") as f:
        texts = [acc.typeable(unicodedata.normalize("NFC", line.rstrip("\n"))) for line in f]
    syllables = {unicodedata.normalize("NFC", w) for w in acc.load_syllables(args.data)}
    print(f"held-out text: {len(texts)} lines, one mistyped word per line and class")
    reports = []
    for method, (name, make_typo) in [(m, c) for m in ("telex", "vni") for c in CLASSES]:
        typed, targets = build_lines(texts, syllables, make_typo, method)
        if not any(targets):
            continue
        name = f"{method} {name}"
        outputs, explained = acc.run_sim(args.sim, args.data, typed, method, [])
        counts = collections.Counter()
        misses = collections.Counter()
        for target, out, entries in zip(targets, outputs, explained):
            if not target:
                continue
            i, word, typo = target
            got_tokens = out.split(" ")
            got = acc.strip_punct(got_tokens[i]) if i < len(got_tokens) else ""
            entry = next((e for e in entries if e[0].startswith(typo)), None)
            reason = entry[3] if entry else "(no decision)"
            if acc.placement_free(got) == acc.placement_free(word):
                counts["corrected"] += 1
            elif reason == "tu sua: giu tieng Viet chua thanh":
                counts["kept"] += 1
                misses[("kept unfinished", typo, word, got, reason)] += 1
            elif reason.startswith("tu sua"):
                counts["miscorrected"] += 1
                misses[("miscorrected", typo, word, got, reason)] += 1
            else:
                counts["left"] += 1
                misses[("left", typo, word, got, reason)] += 1
        total = sum(counts.values())
        print(f"{name:36s} {total:5d} words: corrected {counts['corrected']:5d} "
              f"({100.0 * counts['corrected'] / max(total, 1):5.1f} %), "
              f"miscorrected {counts['miscorrected']:4d}, kept unfinished {counts['kept']:4d}, "
              f"left {counts['left']:5d}")
        reports.append((name, misses))
    for name, misses in reports:
        print(f"\n-- {name}: {args.top} most frequent misses (count, outcome, keys, wanted, got, reason)")
        for (outcome, typo, word, got, reason), count in misses.most_common(args.top):
            print(f"{count:5d}  {outcome}\t{typo}\t{word}\t{got}\t{reason}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
