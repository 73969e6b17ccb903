"""Splitting cleaned text into words and deciding which words count as
Vietnamese syllables.

Word classes:
  V  a Vietnamese syllable written with a letter only Vietnamese uses
     (a toned vowel, ă â ê ô ơ ư or đ): counted.
  v  Vietnamese-looking but not one syllable (Nguyễnn, HĐND): not counted,
     but it is evidence that the text around it is Vietnamese.
  A  plain ASCII letters that also spell a Vietnamese syllable (tin, can,
     the): counted only inside Vietnamese text (see countable()).
  E  anything else with a letter: English and other foreign words, names,
     acronyms, identifiers, file names, URLs.
  N  no letter at all (numbers, symbols): ignored.
"""

import re

import vietnamese as vi

# Characters that split words (besides white space).
_SPLIT = re.compile(r"[\s/|()\[\]{}\"“”„«»‹›,;!?…:—–·•*+=<>]+")
# Punctuation that may end a word, or begin it.
_TRAIL = ".'’‘`-_"
_LEAD = ".'’‘`"
# A word beginning with one of these is an option, a format or code (-a,
# %A, $HOME, #include, @user, \\n).
_CODE_START = "-_#^~&%$@\\"


def words(text):
    """Words of a cleaned text, edge punctuation removed, empty ones dropped.
    A word that begins like code keeps that character (and so is no word of
    any language)."""
    out = []
    for raw in _SPLIT.split(text):
        w = raw.rstrip(_TRAIL) if raw[:1] in _CODE_START else raw.lstrip(_LEAD).rstrip(_TRAIL)
        if w:
            out.append(w)
    return out


def classify(word):
    """(class, key) of one word; key is the syllable key for V and A."""
    if not any(ch.isalpha() for ch in word):
        return "N", None
    if not all(ch.isalpha() for ch in word):
        return "E", None
    low = vi.lower_vi(word)
    if not vi.is_vi_word(low):
        return ("v", None) if vi.has_vi_only_letter(low) else ("E", None)
    parts = vi.strip_tone(low)
    ok = parts is not None and vi.is_well_formed(parts[0], parts[1])
    if vi.has_vi_only_letter(low):
        return ("V", parts[0] + str(parts[1])) if ok else ("v", None)
    if not ok:
        return "E", None
    if len(word) > 1 and word.isupper():
        return "E", None  # an acronym (PIN, TAB, CON)
    return "A", parts[0] + "0"


def classify_text(text):
    return [(w,) + classify(w) for w in words(text)]


def is_vietnamese(classes):
    """An entry is Vietnamese text when it holds a Vietnamese-only letter."""
    return any(c in "Vv" for c in classes)


def countable(tokens):
    """Keys of the words of one entry that count as Vietnamese syllables.

    V words always count. An A word counts only when the entry is mostly
    Vietnamese (more V/v words than E words), a V or v word stands right
    next to it and no E word does (numbers and symbols skipped), so English
    phrases inside Vietnamese sentences (Save the file, The Beast, Open
    Office) do not count.
    """
    classes = [c for _w, c, _k in tokens if c != "N"]
    if not is_vietnamese(classes):
        return []
    mostly_vi = sum(1 for c in classes if c in "Vv") > classes.count("E")
    kept = [(c, k) for _w, c, k in tokens if c != "N"]
    words_kept = [w for w, c, _k in tokens if c != "N"]
    out = []
    for i, (c, k) in enumerate(kept):
        if c == "V":
            out.append(k)
        elif c == "A" and mostly_vi:
            left = kept[i - 1][0] if i > 0 else ""
            right = kept[i + 1][0] if i + 1 < len(kept) else ""
            if len(words_kept[i]) == 1:
                # a lone letter is mostly a name (column A, option a); only a
                # lower-case one inside a Vietnamese phrase counts (y tế)
                if words_kept[i].islower() and left in ("V", "v") and right in ("V", "v"):
                    out.append(k)
            elif (left in ("V", "v") or right in ("V", "v")) and "E" not in (left, right):
                out.append(k)
    return out
