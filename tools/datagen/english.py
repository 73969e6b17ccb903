"""English word levels from SUBTLEX-US counts, checked against SCOWL.

level = clamp(1 + floor(6 * (6.5 - Zipf)), 1, 35), Zipf = log10(count per
million) + 3: one level is a factor of 10**(1/6) = 1.47 in frequency.
Words that only SCOWL knows get 51-60 from the SCOWL size that first lists
them, so they mark English words that are too rare to block a correction.
"""

import json
import math
import os
import re

SUBTLEX_MILLIONS = 51.0  # SUBTLEX-US is a corpus of 51 million words

# Pieces of contractions that the subtitle tokeniser split off (don't, you're,
# we'll, I've, didn't ..., and 'cos for because). Counted as words they would rank as everyday
# English; they are not words a user types on their own.
CONTRACTION_FRAGMENTS = frozenset("""
ain aren couldn didn doesn don hadn hasn haven isn mightn mustn needn shan
shouldn wasn weren wouldn ll re ve cos
""".split())
KEPT_SINGLE_LETTERS = frozenset("ai")

SCOWL_SIZES = (10, 20, 35, 40, 50, 55, 60, 70, 80, 95)
# SCOWL-only words are added from these spelling categories and sizes.
SCOWL_ADDED_CATEGORIES = ("english", "american")
SCOWL_ADDED_MAX_SIZE = 60
SCOWL_LEVEL = {size: 51 + i for i, size in enumerate(SCOWL_SIZES)}  # 10 -> 51 ... 95 -> 60

_ASCII_WORD = re.compile(r"^[a-z]+$")
_SCOWL_FILE = re.compile(r"^(?P<cat>[a-z_0-9]+)-(?P<sub>words|upper|proper-names|abbreviations|contractions)\.(?P<size>\d+)$")


def level_of_count(count):
    zipf = math.log10(count / SUBTLEX_MILLIONS) + 3.0
    return max(1, min(35, 1 + math.floor(6.0 * (6.5 - zipf))))


def load_subtlex(path):
    """Lower-case ASCII word -> count."""
    with open(path, encoding="utf-8") as f:
        entries = json.load(f)
    counts = {}
    for entry in entries:
        word = entry["word"].lower()
        if _ASCII_WORD.match(word):
            counts[word] = counts.get(word, 0) + int(entry["count"])
    return counts


def load_scowl(folder):
    """(every lower-case ASCII word of any SCOWL list,
        word -> smallest size among the lists words are added from)."""
    every = set()
    added = {}
    for name in sorted(os.listdir(folder)):
        m = _SCOWL_FILE.match(name)
        if not m:
            continue
        size = int(m.group("size"))
        adds = m.group("cat") in SCOWL_ADDED_CATEGORIES and size <= SCOWL_ADDED_MAX_SIZE \
            and m.group("sub") != "contractions"
        with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
            for line in f:
                word = line.strip().lower()
                if not _ASCII_WORD.match(word):
                    continue
                every.add(word)
                if adds and size < added.get(word, 1000):
                    added[word] = size
    return every, added


def is_fragment(word):
    return word in CONTRACTION_FRAGMENTS or (len(word) == 1 and word not in KEPT_SINGLE_LETTERS)


def build_levels(subtlex, scowl_every, scowl_added):
    """word -> level, and statistics for the notes."""
    levels = {}
    stats = {"subtlex_ascii": len(subtlex), "fragments": 0, "not_in_scowl": 0,
             "from_subtlex": 0, "from_scowl_only": 0}
    for word, count in subtlex.items():
        if is_fragment(word):
            stats["fragments"] += 1
            continue
        if word not in scowl_every:
            stats["not_in_scowl"] += 1
            continue
        levels[word] = level_of_count(count)
        stats["from_subtlex"] += 1
    for word, size in scowl_added.items():
        # a fragment SCOWL lists as a word of its own (don, re) comes back at
        # its SCOWL level; single letters other than a and i never do
        if word in levels or (len(word) == 1 and word not in KEPT_SINGLE_LETTERS):
            continue
        levels[word] = SCOWL_LEVEL[size]
        stats["from_scowl_only"] += 1
    return levels, stats


# Rare English words whose Telex keys spell a much more frequent Vietnamese
# syllable (keets gives kết, nos gives nó) get this level: a rare English
# word, which the scorer leaves Vietnamese.
COLLISION_LEVEL = 36
COLLISION_MIN_LEVEL = 21      # common words (levels 1-20) are left alone
COLLISION_MIN_FREQUENCY = 10  # the Vietnamese syllable is in real use
COLLISION_MARGIN = 10         # and ten times more frequent than the word


# Keywords programmers type all day in Python, C, JavaScript and shell scripts: never demoted,
# whatever syllable their Telex keys spell (def would otherwise give dè).
PROGRAMMING_KEYWORDS = frozenset("""
    and as assert async await break case catch char class const continue def default del delete
    do done double elif else enum esac except export extern false fi finally float for from
    function global goto if import in int is lambda let long new none nonlocal not null or pass
    raise return short signed sizeof static struct switch then this throw true try typedef
    typeof undefined union unsigned var void volatile while with yield echo cd ls cat grep sed awk
    sudo chmod chown mkdir rm mv cp source alias unset exit fn args argv str len dict tuple
""".split())


def english_points(count):
    """The word's frequency on the syllable scale: 1 + floor(10 log10(per million))."""
    return 1 + math.floor(10 * math.log10(count / SUBTLEX_MILLIONS))


def demote_collisions(levels, subtlex, frequency_of_telex):
    """Give COLLISION_LEVEL to the SUBTLEX words of level 21-35 whose Telex
    form is a Vietnamese syllable of frequency F >= 10 with F at least 10
    points above the word's own frequency points. frequency_of_telex(word)
    returns (written syllable, frequency) or None. Returns the changes as
    [(word, old level, syllable, frequency)]."""
    changed = []
    for word in sorted(levels):
        level = levels[word]
        if not COLLISION_MIN_LEVEL <= level <= 35 or word not in subtlex or word in PROGRAMMING_KEYWORDS:
            continue
        hit = frequency_of_telex(word)
        if hit is None:
            continue
        form, freq = hit
        if freq >= COLLISION_MIN_FREQUENCY and freq >= english_points(subtlex[word]) + COLLISION_MARGIN:
            levels[word] = COLLISION_LEVEL
            changed.append((word, level, form, freq))
    return changed
