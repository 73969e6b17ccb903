"""Vietnamese letters, syllable keys, syllable structure and tone placement.

These mirror the engine's own character model so that the generated list
agrees with what the engine looks up: a syllable is stored under its key
(untoned letters plus a tone digit), only well-formed syllables are written,
and the written form puts the tone where the engine would show it.
"""

import unicodedata

# Tone forms, row by row, tones 0-5 (none, acute, grave, hook above, tilde,
# dot below).
VOWEL_ROWS = [
    "aáàảãạ", "ăắằẳẵặ", "âấầẩẫậ", "eéèẻẽẹ", "êếềểễệ", "iíìỉĩị",
    "oóòỏõọ", "ôốồổỗộ", "ơớờởỡợ", "uúùủũụ", "ưứừửữự", "yýỳỷỹỵ",
]
BASE_VOWELS = "".join(row[0] for row in VOWEL_ROWS)

# toned (or plain) vowel -> (untoned vowel, tone)
_TONE_OF = {}
for _row in VOWEL_ROWS:
    for _tone, _ch in enumerate(_row):
        _TONE_OF[_ch] = (_row[0], _tone)

_TONED = {(row[0], tone): ch for row in VOWEL_ROWS for tone, ch in enumerate(row)}

CONSONANTS = "bcdđghklmnpqrstvx"
# Every lower-case letter a Vietnamese word may contain.
VI_LETTERS = frozenset(CONSONANTS) | frozenset(_TONE_OF)
# Letters that only Vietnamese writing uses (a word holding one is Vietnamese).
VI_ONLY = frozenset(ch for ch in _TONE_OF if _TONE_OF[ch][1] != 0) | frozenset("ăâêôơưđ")

STRICT_ONSETS = ["ngh", "ng", "nh", "ch", "gh", "kh", "ph", "th", "tr", "b", "c",
                 "d", "đ", "g", "h", "k", "l", "m", "n", "p", "r", "s", "t", "v", "x"]

RHYMES = frozenset("""a ac ach ai am an ang anh ao ap at au ay e ec em en eng eo ep et
i ia ic ich im in inh ip it iu iêc iêm iên iêng iêp iêt iêu o oa oac oach oai oam oan
oang oanh oao oap oat oay oc oe oen oeo oet oi om on ong oong op ot oăc oăm oăn oăng
oăt u ua uc uen ui um un ung up ut uy uya uych uynh uyp uyt uyu uyên uyêt uân uâng
uât uây uê uêch uêh uênh uôc uôi uôm uôn uông uôt uơ y ya yêm yên yêt yêu âc âm ân
âng âp ât âu ây ê êch êm ên ênh êp êt êu ô ôc ôi ôm ôn ông ôp ôt ôông ăc ăm ăn ăng
ăp ăt ơ ơi ơm ơn ơp ơt ư ưa ưc ưi ưng ưt ưu ươc ươi ươm ươn ương ươp ươt ươu""".split())


def normalize_text(text):
    """NFC, with the look-alike eth letters that some texts use for Đ/đ."""
    text = unicodedata.normalize("NFC", text)
    return text.replace("\u00d0", "\u0110").replace("\u00f0", "\u0111")


def lower_vi(text):
    """Lower case, Vietnamese capitals included (Ấ -> ấ, Đ -> đ)."""
    return text.lower()


def strip_tone(word):
    """(letters without tone, tone) of a lower-case word.

    The tone is that of the last toned vowel; None when two vowels carry a
    tone (not one syllable).
    """
    letters = []
    tone = 0
    toned = 0
    for ch in word:
        base, t = _TONE_OF.get(ch, (ch, 0))
        letters.append(base)
        if t:
            tone = t
            toned += 1
    if toned > 1:
        return None
    return "".join(letters), tone


def syllable_key(word):
    """Key of a word: lowered, untoned letters followed by the tone digit."""
    parts = strip_tone(lower_vi(word))
    if parts is None:
        return None
    return parts[0] + str(parts[1])


def is_vi_word(word):
    """True when every character of the lowered word is a Vietnamese letter."""
    return bool(word) and all(ch in VI_LETTERS for ch in word)


def parse_syllable(letters):
    """(onset, rhyme) of untoned lower-case letters, or None."""
    if not letters:
        return None
    if letters.startswith("gi") and len(letters) > 2:
        rest = letters[2:]
        if rest in RHYMES:
            return "gi", rest
        return ("gi", letters[1:]) if letters[1:] in RHYMES else None
    if letters == "gi":
        return "gi", "i"
    if letters.startswith("q"):
        rest = letters[1:]
        if rest.startswith("u") and rest in RHYMES:
            return "q", rest
        # qu before a rhyme that the list only holds without the glide
        # (quan, quên, quay, quai)
        if rest.startswith("u") and len(rest) > 1 and rest[1] not in "uưoôơ" and rest[1:] in RHYMES:
            return "qu", rest[1:]
        return None
    onset = ""
    for cand in STRICT_ONSETS:
        if letters.startswith(cand):
            onset = cand
            break
    rhyme = letters[len(onset):]
    return (onset, rhyme) if rhyme in RHYMES else None


def is_well_formed(letters, tone):
    """Whether untoned letters plus a tone spell a Vietnamese syllable."""
    parts = parse_syllable(letters)
    if parts is None:
        return False
    onset, rhyme = parts
    if rhyme.endswith(("c", "ch", "p", "t")) and tone not in (1, 5):
        return False
    front = rhyme[0] in "eêiy"
    if onset in ("k", "gh", "ngh") and not front:
        return False
    if onset in ("c", "g", "ng") and front:
        return False
    if onset in ("b", "m", "p", "ph", "v") and rhyme.startswith(("oa", "oă", "oe")):
        if tone != 0 or not ((onset == "v" and rhyme == "oan") or (onset == "m" and rhyme == "oay")):
            return False
    return True


def key_is_well_formed(key):
    return is_well_formed(key[:-1], int(key[-1]))


def tone_position(letters, classic):
    """Index of the letter of an untoned lower-case word that takes the tone."""
    n = len(letters)
    skip = -1
    if n > 2:
        if letters.startswith("qu"):
            skip = 1
        elif letters.startswith("gi") and letters[2] in BASE_VOWELS:
            skip = 1
    vowels = [i for i, ch in enumerate(letters) if ch in BASE_VOWELS and i != skip][:16]
    if not vowels:
        return -1
    for prio in "êôơăâ":
        idx = letters.find(prio)
        if idx >= 0:
            return idx
    if len(vowels) == 1:
        return vowels[0]
    if len(vowels) >= 3:
        return vowels[1]
    if vowels[1] != n - 1:
        return vowels[1]
    if classic:
        return vowels[0]
    pair = letters[vowels[0]] + letters[vowels[1]]
    return vowels[1] if pair in ("oa", "oe", "uy") else vowels[0]


def written_forms(key):
    """The written forms of a key: classic placement first, then the modern
    one when it differs (hòa, hoà)."""
    letters, tone = key[:-1], int(key[-1])
    forms = []
    for classic in (True, False):
        if tone == 0:
            form = letters
        else:
            pos = tone_position(letters, classic)
            form = letters[:pos] + _TONED[(letters[pos], tone)] + letters[pos + 1:]
        if form not in forms:
            forms.append(form)
    return forms


def has_vi_only_letter(word):
    return any(ch in VI_ONLY for ch in word)


# --- Telex, as the engine composes an English word (no optional transforms) --

_TONE_KEYS = {"s": 1, "f": 2, "r": 3, "x": 4, "j": 5}
_CIRCUMFLEX = {"a": "â", "e": "ê", "o": "ô"}


def telex_compose(keys):
    """Vietnamese form (letters, tone) that Telex makes of plain lower-case
    keys: doubled a/e/o/d, w for the horn and breve, s f r x j for tones after
    a vowel, z removing the tone; a repeated mark or tone key undoes itself
    and stays a letter. Returns None when the keys cannot be composed here."""
    letters = []
    tone = 0
    tone_key = ""
    for k in keys:
        has_vowel = any(ch in BASE_VOWELS for ch in letters)
        if k in _TONE_KEYS and has_vowel:
            if tone_key == k:
                tone, tone_key = 0, ""
                letters.append(k)
            else:
                tone, tone_key = _TONE_KEYS[k], k
            continue
        if k == "z" and has_vowel and tone:
            tone, tone_key = 0, ""
            continue
        if k in "aeo" and letters and letters[-1] == k:
            letters[-1] = _CIRCUMFLEX[k]
            continue
        if k in "aeo" and letters and letters[-1] == _CIRCUMFLEX[k]:
            letters[-1] = k
            letters.append(k)
            continue
        if k == "d" and letters and letters[-1] == "d":
            letters[-1] = "đ"
            continue
        if k == "d" and letters and letters[-1] == "đ":
            letters[-1] = "d"
            letters.append("d")
            continue
        if k == "w":
            word = "".join(letters)
            if word.endswith("uo"):
                letters[-2:] = ["ư", "ơ"]
                continue
            for i in range(len(letters) - 1, -1, -1):
                ch = letters[i]
                if ch in "aou":
                    letters[i] = {"a": "ă", "o": "ơ", "u": "ư"}[ch]
                    if ch == "o" and i > 0 and letters[i - 1] == "u" and not (i == 2 and letters[0] == "q"):
                        letters[i - 1] = "ư"
                    break
            else:
                if letters:
                    return None
                letters.append("ư")
            continue
        letters.append(k)
    return "".join(letters), tone
