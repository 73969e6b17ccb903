"""Vietnamese syllable counts, frequencies and flags.

frequency = clamp(1 + floor(10 * log10(p)), 1, 255), where p is the mean over
the sources of the syllable's occurrences per million counted syllables, so
ten points are a factor of ten.
"""

import hashlib
import math
from collections import Counter

import sources
import tokens
import vietnamese as vi

HOLDOUT_PERCENT = 10


def is_held_out(source_text):
    """An entry is held out when the SHA-256 of its English source text
    (UTF-8), read as a big-endian number, leaves a remainder below 10 when
    divided by 100."""
    digest = hashlib.sha256(source_text.encode("utf-8")).digest()
    return int.from_bytes(digest, "big") % 100 < HOLDOUT_PERCENT


def count_entries(entries, holdout, counted=None):
    """Count the syllables of a stream of entries.

    Returns (counter of keys, statistics, held-out pairs). With holdout set,
    entries that carry an English source text are held out by is_held_out()
    and never counted; the usable ones are returned as (English, Vietnamese).
    When `counted` is a list, the raw (text, English source or None) of every
    counted entry is appended to it.
    """
    counts = Counter()
    stats = Counter()
    held = []
    seen = set()
    for entry in entries:
        stats["entries"] += 1
        text = sources.clean_text(vi.normalize_text(entry["text"]))
        # a string repeated in many modules or pages is one piece of text
        if (text, entry["source"]) in seen:
            stats["repeated"] += 1
            continue
        seen.add((text, entry["source"]))
        source = entry["source"]
        clean_source = sources.clean_text(vi.normalize_text(source)) if source is not None else None
        if holdout and source is not None and is_held_out(source):
            stats["held_out"] += 1
            toks = tokens.classify_text(text)
            if clean_source and text != clean_source and tokens.is_vietnamese([c for _w, c, _k in toks]):
                held.append((clean_source, text))
            continue
        if clean_source is not None and text.lower() == clean_source.lower():
            stats["untranslated"] += 1
            continue
        keys = tokens.countable(tokens.classify_text(text))
        if not keys:
            stats["not_vietnamese"] += 1
            continue
        stats["counted_entries"] += 1
        stats["tokens"] += len(keys)
        counts.update(keys)
        if counted is not None:
            counted.append((entry["text"], source))
    return counts, stats, held


def rank_curve(pooled, length):
    """Occurrences per million that each rank 1..length of a ranked list
    stands for.

    The head follows the pooled catalogue counts: rank r gets the per
    million of the r-th most frequent counted syllable. The catalogue text
    is too small to show the long tail of a large subtitle corpus, so from
    the rank where its curve falls below Zipf's law for a list of this
    length, 10**6 / (r * H(length)), the curve is Zipf's law.
    """
    total = sum(pooled.values())
    head = [c * 1e6 / total for c in sorted(pooled.values(), reverse=True)]
    harmonic = sum(1.0 / r for r in range(1, length + 1))
    zipf = [1e6 / (r * harmonic) for r in range(1, length + 1)]
    above = False
    curve = []
    for r in range(1, length + 1):
        value = head[r - 1] if r <= len(head) else 0.0
        if value >= zipf[r - 1]:
            above = True
        elif above or r > len(head):
            curve.extend(zipf[r - 1:])
            break
        curve.append(value)
    return curve


def subtitle_per_million(ranked_words, curve, english_pm, markers=20):
    """Per-million estimates of the syllables of a ranked word list.

    Rank r stands for curve[r - 1] occurrences per million (rank_curve). The list also holds English words of
    the subtitles; their share c is the median, over the `markers` most
    frequent English words that cannot be Vietnamese syllables, of (per
    million in the list / per million in English; 0 for a marker the list
    lacks). An unaccented syllable loses c times its English per million.
    Returns ({key: per million}, c, marker details).
    """
    per_rank = {}
    for rank, word in enumerate(ranked_words, start=1):
        per_rank.setdefault(word, curve[rank - 1])
    cands = sorted(english_pm.items(), key=lambda kv: (-kv[1], kv[0]))
    chosen = []
    for word, pm in cands:
        if tokens.classify(word)[0] == "E" and len(word) > 1:
            chosen.append((word, pm, per_rank.get(word, 0.0)))
            if len(chosen) == markers:
                break
    ratios = sorted(vi_pm / pm for _w, pm, vi_pm in chosen)
    mid = len(ratios) // 2
    share = ratios[mid] if len(ratios) % 2 else (ratios[mid - 1] + ratios[mid]) / 2
    share = float("%.6g" % share)
    out = {}
    for word, pm in per_rank.items():
        cls, key = tokens.classify(word)
        if cls not in ("V", "A"):
            continue
        if cls == "A":
            pm = pm - share * english_pm.get(word, 0.0)
            if pm <= 0:
                continue
        out[key] = out.get(key, 0.0) + pm
    return out, share, chosen


def frequency_of(pm):
    if pm <= 0:
        return 0
    return max(1, min(255, 1 + math.floor(10 * math.log10(pm))))


def is_unaccented(key):
    return key.endswith("0") and all("a" <= ch <= "z" for ch in key[:-1])


def combine(source_pm, raw_counts, subtitle_pm, inventory, english_levels,
            common_english_level=10, common_english_evidence=3):
    """Frequencies of every key.

    source_pm: [{key: per million}] one per source (the mean is over all).
    raw_counts: {key: occurrences in the counted catalogue text}.
    subtitle_pm: the subtitle source's part of source_pm.
    inventory: keys of the spelling dictionary.

    A dictionary syllable gets the formula's frequency, or 1 when it was not
    seen or is doubtful: seen once in the catalogue text and not in the
    subtitle list; or unaccented, a common English word (level <= 10) and
    seen fewer than 3 times inside Vietnamese catalogue sentences (the
    subtitle list mixes in English lines, so it cannot vouch for the, me,
    go). A syllable the dictionary lacks is kept only when seen at least
    twice in the catalogue text and in at least two sources (and, when it is
    a common English word, with the same evidence as above).
    Returns ({key: frequency}, {key: reason} for the doubtful ones).
    """
    n = len(source_pm)
    keys = set(inventory)
    for pm in source_pm:
        keys.update(pm)
    freq = {}
    doubtful = {}
    for key in sorted(keys):
        if not vi.key_is_well_formed(key):
            continue
        mean = sum(pm.get(key, 0.0) for pm in source_pm) / n
        raw = raw_counts.get(key, 0)
        reason = None
        if mean <= 0:
            reason = "not seen"
        elif is_unaccented(key) and english_levels.get(key[:-1], 99) <= common_english_level \
                and raw < common_english_evidence:
            reason = "common English word, seen %d times in Vietnamese sentences" % raw
        elif key not in inventory and (raw < 2 or sum(1 for pm in source_pm if pm.get(key, 0.0) > 0) < 2):
            reason = "not in the dictionary, seen %d times in %d sources" % (
                raw, sum(1 for pm in source_pm if pm.get(key, 0.0) > 0))
        elif raw == 1 and key not in subtitle_pm:
            reason = "seen once"
        if reason is None:
            freq[key] = frequency_of(mean)
        elif key in inventory:
            freq[key] = 1
            if reason != "not seen":
                doubtful[key] = reason
        else:
            doubtful[key] = reason + " (dropped)"
    return freq, doubtful


def d_flags(freq, margin=10):
    """Keys spelt with d whose đ counterpart is at least `margin` points more
    frequent (di against đi): probably a đ typed without its stroke."""
    out = set()
    for key, f in freq.items():
        if key.startswith("d"):
            other = freq.get("đ" + key[1:], 0)
            if other >= f + margin:
                out.add(key)
    return out


def r_flags(freq, english_levels, common_level=20, rare_below=10):
    """Hỏi keys of frequency below `rare_below` that Telex makes of a common
    English word (turn gives tủn, air gives ải). Returns {key: [words]}."""
    out = {}
    for word, level in sorted(english_levels.items()):
        if level > common_level:
            continue
        composed = vi.telex_compose(word)
        if composed is None:
            continue
        letters, tone = composed
        if tone != 3:
            continue
        key = letters + "3"
        if key in freq and freq[key] < rare_below:
            out.setdefault(key, []).append(word)
    return out


def telex_syllable(word, freq):
    """(written form, frequency) of the Vietnamese syllable that Telex makes
    of an English word's keys, when the keys change and spell a syllable of
    the list; else None."""
    composed = vi.telex_compose(word)
    if composed is None:
        return None
    letters, tone = composed
    if letters == word and tone == 0:
        return None
    key = letters + str(tone)
    if key not in freq:
        return None
    return vi.written_forms(key)[0], freq[key]
