"""Tests of the generator's rules on small inputs (no download).

    python3 -m unittest discover -s tools/datagen -p 'test_*.py'
"""

import io
import os
import struct
import sys
import tempfile
import unittest
from collections import Counter

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import english  # noqa: E402
import sources  # noqa: E402
import syllables  # noqa: E402
import tokens  # noqa: E402
import vietnamese as vi  # noqa: E402


class SyllableTest(unittest.TestCase):
    def test_keys_join_tone_placements_and_case(self):
        for a, b in [("hòa", "hoà"), ("HÒA", "hoà"), ("thủy", "THUỶ"), ("Đi", "đi")]:
            self.assertEqual(vi.syllable_key(a), vi.syllable_key(b))
        self.assertEqual(vi.syllable_key("Việt"), "viêt5")
        self.assertEqual(vi.syllable_key("ĐỒNG"), "đông2")
        self.assertIsNone(vi.syllable_key("hóà"))  # two tones: not one syllable

    def test_well_formed(self):
        good = ["tiếng", "người", "khuya", "quốc", "gìn", "xoong", "thuở", "ách", "quên", "quan", "gi", "y"]
        bad = ["ach", "ce", "ka", "gha", "ngi", "fa", "tr", "bc", "ươ", "voán", "boa", "q"]
        for word in good:
            self.assertTrue(vi.key_is_well_formed(vi.syllable_key(word)), word)
        for word in bad:
            key = vi.syllable_key(word)
            self.assertFalse(key and vi.key_is_well_formed(key), word)

    def test_written_forms(self):
        cases = {"hoa2": ["hòa", "hoà"], "khoe3": ["khỏe", "khoẻ"], "thuy3": ["thủy", "thuỷ"],
                 "hoan2": ["hoàn"], "mua1": ["múa"], "qua1": ["quá"], "gia1": ["giá"], "gin2": ["gìn"],
                 "khuya1": ["khuýa"], "nguyên2": ["nguyền"], "ươi1": ["ưới"], "oong1": ["oóng"], "a0": ["a"]}
        for key, forms in cases.items():
            self.assertEqual(vi.written_forms(key), forms, key)

    def test_telex(self):
        cases = {"turn": ("tun", 3), "air": ("ai", 3), "car": ("ca", 3), "ddi": ("đi", 0),
                 "tieesng": ("tiêng", 1), "nguoiwf": ("ngươi", 2), "sass": ("sas", 0), "tuz": ("tuz", 0)}
        for keys, want in cases.items():
            self.assertEqual(vi.telex_compose(keys), want, keys)


class CleaningTest(unittest.TestCase):
    def test_clean_text(self):
        cases = [
            ("~Tệp", "Tệp"), ("&Mở tệp", "Mở tệp"), ("Cuộn _mịn", "Cuộn mịn"), ("Tệ_p", "Tệp"),
            ("Xóa %s tệp", "Xóa tệp"), ("Xóa %1$s và %(n)d", "Xóa và"), ("Mở {0} { $name }", "Mở"),
            ("Chạy $(ARG1) ${x} $HOME", "Chạy"), ("<b>Đậm</b> &amp; nghiêng", "Đậm & nghiêng"),
            ("%PRODUCTNAME đã lưu", "đã lưu"), ("<ref>dst='x' text='Trung thành'</ref>", "Trung thành"),
        ]
        for raw, want in cases:
            self.assertEqual(sources.clean_text(raw), want, raw)

    def test_words_and_classes(self):
        self.assertEqual(tokens.words("Mở (tệp), -a %A e-mail."), ["Mở", "tệp", "-a", "%A", "e-mail"])
        self.assertEqual(tokens.classify("Việt")[0], "V")
        self.assertEqual(tokens.classify("tin"), ("A", "tin0"))
        self.assertEqual(tokens.classify("PIN")[0], "E")
        self.assertEqual(tokens.classify("file")[0], "E")
        self.assertEqual(tokens.classify("HĐND")[0], "v")
        self.assertEqual(tokens.classify("123")[0], "N")

    def test_countable(self):
        def keys(text):
            return tokens.countable(tokens.classify_text(text))
        self.assertEqual(keys("Mở tập tin mới"), ["mơ3", "tâp5", "tin0", "mơi1"])
        self.assertNotIn("tin0", keys("Mở tập tin PDF"))        # next to a foreign word
        self.assertNotIn("the0", keys("Nhấn Save the file"))   # inside an English phrase
        self.assertNotIn("the0", keys("Đã đọc The Beast"))
        self.assertEqual(keys("Save the file"), [])               # not Vietnamese at all
        self.assertIn("y0", keys("ngành y tế"))
        self.assertNotIn("a0", keys("cột A và B"))
        self.assertNotIn("a0", keys("tùy chọn -a và mỗi"))
        self.assertEqual(keys("the file to open on save"), [])


class HoldoutTest(unittest.TestCase):
    def test_stable_and_about_ten_percent(self):
        self.assertEqual(syllables.is_held_out("Open"), syllables.is_held_out("Open"))
        held = sum(syllables.is_held_out("entry %d" % i) for i in range(5000))
        self.assertTrue(400 < held < 600, held)

    def test_held_entries_are_not_counted(self):
        entries = [{"text": "Mở tệp %d" % i, "source": "Open file %d" % i, "file": "x"} for i in range(200)]
        counts, stats, held = syllables.count_entries(entries, holdout=True)
        self.assertEqual(stats["held_out"], len(held))
        self.assertEqual(counts["mơ3"], 200 - len(held))
        self.assertTrue(all(e.startswith("Open file") and v.startswith("Mở tệp") for e, v in held))

    def test_untranslated_and_repeated(self):
        entries = [{"text": "Save", "source": "Save", "file": "x"},
                   {"text": "Lưu", "source": "Save as", "file": "x"},
                   {"text": "Lưu", "source": "Save as", "file": "y"}]
        counts, stats, _held = syllables.count_entries(entries, holdout=False)
        self.assertEqual((stats["untranslated"], stats["repeated"], counts["lưu0"]), (1, 1, 1))


class FormulaTest(unittest.TestCase):
    def test_english_levels(self):
        self.assertEqual(english.level_of_count(1501908), 1)   # the
        self.assertEqual(english.level_of_count(1), 32)
        self.assertEqual(english.level_of_count(10 ** 12), 1)
        counts = {"the": 1501908, "don": 321085, "s": 1000, "a": 1000, "xyzzy": 50, "cat": 3000}
        levels, _stats = english.build_levels(counts, {"the", "don", "s", "a", "cat"}, {"don": 20, "dog": 10})
        self.assertEqual(levels, {"the": 1, "a": english.level_of_count(1000),
                                  "cat": english.level_of_count(3000), "don": 52, "dog": 51})

    def test_frequency(self):
        self.assertEqual([syllables.frequency_of(p) for p in (0, 0.5, 1, 9.99, 10, 1000, 1e30)],
                         [0, 1, 1, 10, 11, 31, 255])

    def test_rank_curve_turns_into_zipf(self):
        pooled = Counter({"k%d" % i: 1000 // (i + 1) + 1 for i in range(50)})
        curve = syllables.rank_curve(pooled, 200)
        self.assertEqual(len(curve), 200)
        self.assertTrue(all(a >= b for a, b in zip(curve, curve[1:])))
        harmonic = sum(1.0 / r for r in range(1, 201))
        self.assertAlmostEqual(curve[-1], 1e6 / (200 * harmonic))

    def test_combine_rules(self):
        inventory = {"the0", "đi0", "di0", "hoa2", "lê0"}
        source_pm = [{"đi0": 5000.0, "di0": 400.0, "the0": 50.0, "xoong0": 30.0, "lê0": 20.0},
                     {"đi0": 9000.0, "xoong0": 10.0, "lao0": 5.0}]
        raw = {"đi0": 50, "di0": 4, "the0": 2, "xoong0": 5, "lê0": 1, "lao0": 3}
        freq, doubtful = syllables.combine(source_pm, raw, source_pm[1], inventory, {"the": 1})
        self.assertEqual(freq["đi0"], syllables.frequency_of(7000.0))
        self.assertEqual(freq["the0"], 1)      # common English word, too little evidence
        self.assertEqual(freq["lê0"], 1)       # seen once
        self.assertEqual(freq["hoa2"], 1)      # dictionary only
        self.assertIn("xoong0", freq)          # not in the dictionary, two sources
        self.assertNotIn("lao0", freq)         # not in the dictionary, one source
        self.assertIn("lao0", doubtful)
        self.assertEqual(syllables.d_flags(freq), {"di0"})

    def test_collisions_demote_only_rare_words(self):
        freq = {"kêt1": 36, "no1": 36, "ca3": 35, "la1": 12}
        levels = {"keets": 32, "nos": 23, "car": 5, "las": 30, "kit": 25}
        subtlex = {"keets": 1, "nos": 40, "car": 12000, "las": 2, "kit": 300}
        changed = english.demote_collisions(levels, subtlex, lambda w: syllables.telex_syllable(w, freq))
        self.assertEqual([c[0] for c in changed], ["keets", "las", "nos"])
        self.assertEqual((levels["keets"], levels["car"], levels["kit"]), (36, 5, 25))

    def test_r_flags(self):
        freq = {"tun3": 4, "ai3": 20, "ca3": 3}
        self.assertEqual(syllables.r_flags(freq, {"turn": 7, "air": 9, "car": 30}), {"tun3": ["turn"]})


class ReaderTest(unittest.TestCase):
    def test_mo(self):
        pairs = [(b"", b"header"), (b"ctx\x04Open", "Mở".encode()), (b"file\x00files", "tệp\x00tệp".encode())]
        pairs.sort()
        ids = b"".join(k + b"\0" for k, _v in pairs)
        strs = b"".join(v + b"\0" for _k, v in pairs)
        n = len(pairs)
        start = 28 + 16 * n
        table_o, table_t, pos = [], [], start
        for k, _v in pairs:
            table_o.append((len(k), pos))
            pos += len(k) + 1
        for _k, v in pairs:
            table_t.append((len(v), pos))
            pos += len(v) + 1
        data = struct.pack("<7I", 0x950412DE, 0, n, 28, 28 + 8 * n, 0, 0)
        data += b"".join(struct.pack("<2I", *t) for t in table_o + table_t) + ids + strs
        with tempfile.NamedTemporaryFile(suffix=".mo", delete=False) as f:
            f.write(data)
        try:
            self.assertEqual(sources.read_mo(f.name), [("ctx", "Open", "Mở"), ("", "file", "tệp")])
        finally:
            os.unlink(f.name)

    def test_fluent_and_properties(self):
        ftl = io.StringIO("# c\nmsg = Mở tệp\n    .label = Nhãn\nsel =\n    { $n ->\n"
                          "        [one] Một thẻ\n       *[other] { $n } thẻ\n    }\n").getvalue()
        self.assertEqual(sources._ftl_values(ftl), ["Mở tệp", "Nhãn", "", "Một thẻ", "{ $n } thẻ"])
        props = "# c\nkey = Tải xuống \\u0111i\nplural = một tệp;#1 tệp\n"
        self.assertEqual(sources._properties_values(props), ["Tải xuống đi", "một tệp", "#1 tệp"])

    def test_wesnoth_context(self):
        self.assertEqual(sources.catalogue_source_text("female^regenerates"), "regenerates")
        self.assertEqual(sources.catalogue_source_text("What? ^_^"), "What? ^_^")


if __name__ == "__main__":
    unittest.main()
