#!/usr/bin/env python3
"""Measures smart mode on real text that the word lists were not built from.

Vietnamese: each line of heldout/vi.txt and of the technical text heldout/tech_vi.txt is turned
into the keys a Telex or VNI typist presses (two habits: the tone key after the syllable's
letters, or right after the vowel that carries it), typed through `tonvira-sim --lines --explain`
with default settings, and every Vietnamese word of the output is compared with the text.
English: the lines of heldout/en.txt are typed as they stand and every English word must come
out exactly as typed. Vietnamese words missing from vi_syllables.txt are counted like the others
and listed at the end.

Usage: tools/eval/accuracy.py --sim build/release/sim/tonvira-sim [--data data] [--top 30]
Standard library only.
"""

import argparse
import collections
import os
import subprocess
import sys
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))

TONE_MARKS = {"\u0301": 1, "\u0300": 2, "\u0309": 3, "\u0303": 4, "\u0323": 5}
SHAPE_MARKS = {"\u0302": "circumflex", "\u0306": "breve", "\u031b": "horn"}
TELEX_TONES = {1: "s", 2: "f", 3: "r", 4: "x", 5: "j"}
VNI_MARKS = {"circumflex": "6", "breve": "8", "horn": "7", "stroke": "9"}
VIET_ONLY = set("ăâêôơưđ")


# What smart mode must keep on every run: Vietnamese words right on each hold-out, English
# words left as typed.
GOAL_VIETNAMESE = 99.7
GOAL_ENGLISH = 99.8

def letter_parts(ch):
    """A letter as (base, shape mark or None, tone 0-5)."""
    if ch in "đĐ":
        return ("d" if ch == "đ" else "D"), "stroke", 0
    decomposed = unicodedata.normalize("NFD", ch)
    base, shape, tone = decomposed[0], None, 0
    for mark in decomposed[1:]:
        if mark in TONE_MARKS:
            tone = TONE_MARKS[mark]
        elif mark in SHAPE_MARKS:
            shape = SHAPE_MARKS[mark]
    return base, shape, tone


def is_letter(ch):
    return unicodedata.category(ch).startswith("L")


def run_keys(run, method, habit):
    """The keys for one run of letters."""
    all_caps = len(run) > 1 and run.upper() == run
    keys, tone, tone_at = [], 0, -1
    for ch in run:
        base, shape, t = letter_parts(ch)
        keys.append(base)
        if shape:
            if method == "vni":
                keys.append(VNI_MARKS[shape])
            elif shape == "circumflex":
                keys.append(base.upper() if all_caps else base.lower())
            elif shape == "stroke":
                keys.append("D" if all_caps else "d")
            else:
                keys.append("W" if all_caps else "w")
        if t:
            tone, tone_at = t, len(keys)
    if not tone:
        return "".join(keys)
    key = str(tone) if method == "vni" else TELEX_TONES[tone]
    if all_caps and method != "vni":
        key = key.upper()
    if habit == "end":
        keys.append(key)
    else:
        keys.insert(tone_at, key)
    return "".join(keys)


def text_to_keys(line, method, habit):
    out, run = [], []
    for ch in line:
        if is_letter(ch):
            run.append(ch)
            continue
        if run:
            out.append(run_keys("".join(run), method, habit))
            run = []
        out.append(ch)
    if run:
        out.append(run_keys("".join(run), method, habit))
    return "".join(out)


# A keyboard types straight quotes; the typographic ones of the catalogues are read as those.
TYPOGRAPHIC = str.maketrans({"\u201c": '"', "\u201d": '"', "\u2018": "'", "\u2019": "'"})


def typeable(line):
    return line.translate(TYPOGRAPHIC)


def strip_punct(token):
    """The token without the punctuation around it (digits stay: a VNI key left over counts)."""
    start, end = 0, len(token)
    while start < end and not token[start].isalnum():
        start += 1
    while end > start and not token[end - 1].isalnum():
        end -= 1
    return token[start:end]


def placement_free(word):
    """The word with its tone moved out of the letters: hoà and hòa compare equal."""
    letters, tone = [], 0
    for ch in word:
        base, shape, t = letter_parts(ch)
        tone = t or tone
        composed = base + {"circumflex": "\u0302", "breve": "\u0306", "horn": "\u031b"}.get(shape, "")
        letters.append("đ" if shape == "stroke" and base == "d" else "Đ" if shape == "stroke" else
                       unicodedata.normalize("NFC", composed))
    return "".join(letters), tone


def load_syllables(data_dir):
    words = set()
    with open(os.path.join(data_dir, "vi_syllables.txt"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            words.add(line.split("\t")[0].split("/")[0])
    return words


def is_vietnamese_word(word, syllables):
    if not word or not all(is_letter(c) for c in word):
        return False
    lower = word.lower()
    if any(letter_parts(c)[2] or c in VIET_ONLY for c in lower):
        return True
    return lower in syllables


def is_english_word(word):
    return bool(word) and all(c.isascii() and (c.isalpha() or c == "'") for c in word) and word[0].isalpha()


def run_sim(sim, data_dir, lines, method, extra):
    args = [sim, "--lines", "--explain", "--data", data_dir] + extra
    if method == "vni":
        args.append("--vni")
    text = "\n".join(lines) + "\n"
    done = subprocess.run(args, input=text.encode("utf-8"), stdout=subprocess.PIPE, check=True)
    outputs, explained = [], []
    for raw in done.stdout.decode("utf-8").split("\n"):
        if raw.startswith("\t"):
            parts = raw.split("\t")[1:]
            if explained and len(parts) >= 4:
                explained[-1].append(parts[:4])
        elif len(outputs) < len(lines):
            outputs.append(raw)
            explained.append([])
    return outputs, explained


def reason_for(keys, entries, cursor):
    """The explanation of the word typed with these keys, searched from cursor on."""
    for i in range(cursor, len(entries)):
        if entries[i][0].startswith(keys) or keys.startswith(entries[i][0]):
            return entries[i], i + 1
    return None, cursor


def count_words(texts, language, syllables):
    """How many words of the texts the figures count."""
    test = (lambda w: is_vietnamese_word(w, syllables)) if language == "vi" else is_english_word
    return sum(1 for line in texts for token in line.split() if test(strip_punct(token)))


def measure(sim, data_dir, texts, method, habit, language, syllables, extra, unlisted=None):
    """Types the texts and compares. `unlisted`, a dict, collects the Vietnamese words missing
    from vi_syllables.txt: word -> [occurrences, occurrences right]."""
    if language == "vi":
        typed = [text_to_keys(line, method, habit) for line in texts]
    else:
        typed = list(texts)
    outputs, explained = run_sim(sim, data_dir, typed, method, extra)
    total = exact = placement_only = 0
    failures = collections.Counter()
    reasons = collections.Counter()
    for line, keys_line, out, entries in zip(texts, typed, outputs, explained):
        want_tokens, got_tokens, key_tokens = line.split(), out.split(), keys_line.split()
        cursor = 0
        aligned = len(want_tokens) == len(got_tokens) == len(key_tokens)
        for i, token in enumerate(want_tokens):
            word = strip_punct(token)
            counted = is_vietnamese_word(word, syllables) if language == "vi" else is_english_word(word)
            word_keys = text_to_keys(word, method, habit) if language == "vi" else word
            entry = None
            if aligned and word:
                entry, cursor = reason_for(word_keys, entries, cursor)
            if not counted:
                continue
            total += 1
            got = strip_punct(got_tokens[i]) if aligned else ""
            ok = placement_free(got) == placement_free(word) if language == "vi" else got == word
            if unlisted is not None and language == "vi" and word.lower() not in syllables:
                seen = unlisted.setdefault(word, [0, 0])
                seen[0] += 1
                seen[1] += ok
            if ok:
                exact += 1
                placement_only += got != word
                continue
            reason = entry[3] if entry else ("(lines misaligned)" if not aligned else "(no decision)")
            failures[(word_keys, word, got, reason)] += 1
            reasons[reason] += 1
    return total, exact, placement_only, failures, reasons


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--sim", required=True, help="path of tonvira-sim")
    parser.add_argument("--data", default="data", help="folder of the word lists")
    parser.add_argument("--heldout", default=os.path.join(HERE, "heldout"))
    parser.add_argument("--top", type=int, default=30)
    parser.add_argument("--goals", action="store_true",
                        help="exit with status 1 when Vietnamese (held-out or technical) is below "
                             f"{GOAL_VIETNAMESE} %% or English below {GOAL_ENGLISH} %%")
    parser.add_argument("--sim-args", default="", help="more tonvira-sim options, e.g. '--autofix off'")
    args = parser.parse_args()

    def read(name):
        with open(os.path.join(args.heldout, name), encoding="utf-8") as f:
            return [typeable(unicodedata.normalize("NFC", line.rstrip("\n"))) for line in f]

    vi, en, tech = read("vi.txt"), read("en.txt"), read("tech_vi.txt")
    syllables = {unicodedata.normalize("NFC", w) for w in load_syllables(args.data)}
    print(f"held-out text: {len(vi)} line pairs ({count_words(vi, 'vi', syllables)} Vietnamese words, "
          f"{count_words(en, 'en', syllables)} English words); technical text: {len(tech)} lines "
          f"({count_words(tech, 'vi', syllables)} Vietnamese words)")
    runs = [("vi", m, h) for m in ("telex", "vni") for h in ("end", "vowel")]
    runs += [("en", m, "-") for m in ("telex", "vni")]
    extra_args = args.sim_args.split()
    details = []
    unlisted = {"held-out": {}, "technical": {}}
    below = False
    for language, method, habit in runs:
        label = f"{language} {method}" + (f" tone {habit}" if language == "vi" else "")
        parts = [("held-out", vi if language == "vi" else en)]
        if language == "vi":
            parts.append(("technical", tech))
        figures, placed = [], []
        for part, source in parts:
            total, exact, placement_only, failures, reasons = measure(
                args.sim, args.data, source, method, habit, language, syllables, extra_args,
                unlisted[part] if language == "vi" else None)
            share = 100.0 * exact / total if total else 0.0
            figures.append(f"{exact}/{total} = {share:.2f} %")
            placed.append(str(placement_only))
            details.append((label + ("" if part == "held-out" else " (technical)"), failures, reasons))
            below = below or share < (GOAL_VIETNAMESE if language == "vi" else GOAL_ENGLISH)
        if language == "vi":
            print(f"{label:24s} Vietnamese words exact: {figures[0]}; technical: {figures[1]}"
                  f" ({' and '.join(placed)} with the tone on the other vowel of oa, oe, uy)")
        else:
            print(f"{label:24s} English words kept: {figures[0]}")
    for label, failures, reasons in details:
        print(f"\n== {label}: failures by reason")
        for reason, count in reasons.most_common():
            print(f"{count:6d}  {reason}")
        print(f"-- {label}: {args.top} most frequent failures (count, keys, wanted, got, reason)")
        for (keys, want, got, reason), count in failures.most_common(args.top):
            print(f"{count:6d}  {keys}\t{want}\t{got}\t{reason}")
    vi_runs = sum(1 for r in runs if r[0] == "vi")
    for part, words in unlisted.items():
        occurrences = sum(n for n, _ok in words.values()) // vi_runs
        print(f"\n== {part}: Vietnamese words missing from vi_syllables.txt: {len(words)} words, "
              f"{occurrences} occurrences, counted in the figures above (count, right in the "
              f"{vi_runs} Vietnamese runs, word)")
        for word, (n, ok) in sorted(words.items(), key=lambda kv: (-kv[1][0], kv[0])):
            print(f"{n // vi_runs:6d}  {ok}/{n}\t{word}")
    return 1 if args.goals and below else 0

if __name__ == "__main__":
    sys.exit(main())
