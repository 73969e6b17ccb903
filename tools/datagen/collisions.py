"""Telex collisions: Vietnamese syllables whose Telex keys are an English word,
and how the scorer's built-in usage table weighs them.

The scorer weighs an English word (levels 1-35) against the usage of the
syllable the same keys make: the level of the built-in table
(decide/vi_syllable_levels.h; 3 very common ... 0 almost never), or, for a
form the table lacks, a usage derived from the syllable's frequency. The
thresholds of that derivation are here, at the top, to move with the scorer.
"""

import itertools
import re

import vietnamese as vi

# Usage a syllable's frequency says: DERIVED_USAGE_COMMON or more is common (2),
# 2 or more uncommon (1), and frequency 1 ("exists, no evidence of use") almost
# never used (0); the frequency alone never says "very common" (3). The scorer
# uses it for a form the table lacks, where only "common" changes anything: an
# absent form already counts as uncommon.
DERIVED_USAGE_COMMON = 15
DERIVED_USAGE_HIGH = 2
DERIVED_USAGE_LOW = 1
ABSENT_USAGE = 1

# English words of these levels count as English for the scorer.
ENGLISH_LEVELS = range(1, 36)

_TABLE_ROW = re.compile(r'\{\s*u"([^"]+)"\s*,\s*(\d+)\s*\}')

# Telex keys of a letter with its mark, typed the standard way.
_MARK_KEYS = {"â": "aa", "ê": "ee", "ô": "oo", "ă": "aw", "ơ": "ow", "ư": "uw", "đ": "dd"}
TONE_KEYS = {1: "s", 2: "f", 3: "r", 4: "x", 5: "j"}


def derived_usage(frequency):
    if frequency >= DERIVED_USAGE_COMMON:
        return DERIVED_USAGE_HIGH
    return DERIVED_USAGE_LOW if frequency >= 2 else 0


def is_understated(table_level, frequency):
    """A form weighed below what its frequency says: by the table's level, or,
    when the table lacks it (None), as the uncommon form it counts as."""
    return derived_usage(frequency) > (ABSENT_USAGE if table_level is None else table_level)


def parse_table(text):
    """{syllable key: level} of the rows {u"bản", 3} of the built-in table."""
    out = {}
    for form, level in _TABLE_ROW.findall(text):
        key = vi.syllable_key(vi.normalize_text(form))
        if key is not None:
            out[key] = int(level)
    return out


def telex_key_forms(key):
    """Every way a Telex typist spells a syllable key, lower case: the tone key
    after the whole syllable or right after the vowel carrying it (classic or
    modern placement), each mark after its letter, and the w shortcuts (ư as w
    alone, ươ as uow beside uwow). A syllable without tone or mark has no
    form: its keys are its letters and nothing changes."""
    letters, tone = key[:-1], int(key[-1])
    # segments: (index of the segment's last letter, key alternatives)
    segments = []
    i = 0
    while i < len(letters):
        ch = letters[i]
        if ch == "ư" and letters[i + 1:i + 2] == "ơ":
            segments.append((i + 1, ("uwow", "uow")))
            i += 2
            continue
        if ch == "ư":
            segments.append((i, ("uw", "w")))
        else:
            segments.append((i, (_MARK_KEYS.get(ch, ch),)))
        i += 1
    places = sorted({vi.tone_position(letters, True), vi.tone_position(letters, False)}) if tone else []
    forms = set()
    for choice in itertools.product(*(alts for _end, alts in segments)):
        plain = "".join(choice)
        if not tone:
            forms.add(plain)
            continue
        mark = TONE_KEYS[tone]
        forms.add(plain + mark)
        for place in places:
            cut = sum(len(c) for (end, _alts), c in zip(segments, choice) if end <= place)
            forms.add(plain[:cut] + mark + plain[cut:])
    forms.discard(letters)
    return sorted(forms)


def find(freq, levels, table):
    """Rows of the collision report, one per syllable of the list with a Telex
    form that is an English word of levels 1-35:
    {key, form, frequency, words [(word, level)], table level or None,
    derived usage, understated}."""
    rows = []
    for key in sorted(freq):
        words = sorted((w, levels[w]) for w in telex_key_forms(key) if levels.get(w, 0) in ENGLISH_LEVELS)
        if not words:
            continue
        level = table.get(key)
        rows.append({"key": key, "form": vi.written_forms(key)[0], "frequency": freq[key], "words": words,
                     "table": level, "usage": derived_usage(freq[key]),
                     "understated": is_understated(level, freq[key])})
    return rows


def render(rows, composed_pairs):
    """The collision section of DATA.md. composed_pairs: the (English word,
    syllable key) pairs found the other way, by composing each English word's
    keys (the word-pair collision set)."""
    out = []
    w = out.append
    flagged = sorted((r for r in rows if r["understated"]), key=lambda r: (-r["frequency"], r["key"]))
    others = [r for r in rows if not r["understated"]]
    w("## Telex collisions and the usage table\n")
    w("Syllables of `vi_syllables.txt` that a Telex typist spells with the keys of an English word of "
      "level 1–35: the tone key after the syllable or right after the vowel carrying it (classic or modern "
      "placement), each mark after its letter or with the w shortcuts (ư typed as w alone, ươ as uow or "
      "uwow); a syllable without tone or mark (tin, can) is left out, since its keys come out the same "
      "either way. The scorer weighs the English word against the syllable's usage: the level of the "
      "built-in table `decide/vi_syllable_levels.h` (3 very common, 2 common, 1 uncommon, 0 almost never), "
      "or, for a form the table lacks, a usage derived from the frequency: %d when the frequency is %d "
      "or more (`DERIVED_USAGE_COMMON` in `tools/datagen/collisions.py`), else the form counts as "
      "uncommon (%d). The frequency says %d from %d on, %d from 2 on and 0 at 1 (no evidence of use); a "
      "row is **understated** when that is more than the table's level, or, for a form the table lacks, "
      "more than %d.\n"
      % (DERIVED_USAGE_HIGH, DERIVED_USAGE_COMMON, ABSENT_USAGE, DERIVED_USAGE_HIGH, DERIVED_USAGE_COMMON,
         DERIVED_USAGE_LOW, ABSENT_USAGE))
    w("\nWhy %d: typed through the simulator on the held-out text (the split before the technical "
      "catalogues left it, 26,927 Vietnamese and 20,510 English words, lists of that time), the threshold "
      "gave Vietnamese words right in Telex (tone at the end / after the vowel) and English words kept:\n\n"
      "| threshold | Telex | English kept |\n|---|---|---|\n"
      "| none (the table alone) | 99.59 / 99.61 %% | 99.88 %% |\n| 10 | 99.73 / 99.75 %% | 99.87 %% |\n"
      "| 15 | 99.70 / 99.72 %% | 99.88 %% |\n| 20 | 99.67 / 99.68 %% | 99.88 %% |\n"
      "| 25 | 99.64 / 99.66 %% | 99.88 %% |\n| 30 | 99.62 / 99.64 %% | 99.88 %% |\n\n"
      "%d is the lowest that costs no English word. Frequency alone never makes a form very common (3): "
      "with 2, max and min typed alone stays English (3.0 − 2.5 > 0) while a Vietnamese sentence, whose "
      "lean is negative, keeps mã.\n\n" % (DERIVED_USAGE_COMMON, DERIVED_USAGE_COMMON))
    absent = sum(1 for r in rows if r["table"] is None)
    w("%d syllables collide (%d of them absent from the table); %d are understated, listed by falling "
      "frequency (table level – when absent):\n" % (len(rows), absent, len(flagged)))
    w(_table(["syllable", "frequency", "English words (level)", "table", "derived"],
             [(r["form"], r["frequency"], ", ".join("%s %d" % wl for wl in r["words"]),
               "–" if r["table"] is None else r["table"], r["usage"]) for r in flagged]) + "\n")
    in_table = sum(1 for r in others if r["table"] is not None)
    w("The other %d rows are not understated: %d rated in the table at or above what their frequency says, "
      "%d absent and less frequent than %d.\n"
      % (len(others), in_table, len(others) - in_table, DERIVED_USAGE_COMMON))
    forms = {(word, r["key"]) for r in rows for word, _lv in r["words"]}
    only_forms = sorted(forms - composed_pairs)
    only_composed = sorted(composed_pairs - forms)
    w("Cross-check with the other direction (each English word of level 1–35 composed by Telex, as for "
      "`word_pairs.txt`): %d (word, syllable) pairs found here, %d there; %d differences: %d only here%s, %d "
      "only there%s.\n"
      % (len(forms), len(composed_pairs), len(only_forms) + len(only_composed), len(only_forms),
         _examples(only_forms), len(only_composed), _examples(only_composed)))
    return "\n".join(out)


def _examples(pairs, limit=12):
    if not pairs:
        return ""
    shown = ", ".join("%s → %s" % (word, vi.written_forms(key)[0]) for word, key in pairs[:limit])
    return " (%s%s)" % (shown, ", …" if len(pairs) > limit else "")


def _table(header, rows):
    out = ["| " + " | ".join(header) + " |", "|" + "|".join("---" for _ in header) + "|"]
    for row in rows:
        out.append("| " + " | ".join(str(c) for c in row) + " |")
    return "\n".join(out)
