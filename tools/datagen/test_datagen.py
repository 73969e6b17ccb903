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

import collisions  # noqa: E402
import english  # noqa: E402
import generate  # noqa: E402
import pairs  # noqa: E402
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
                   {"text": "Lưu", "source": "Save as", "file": "y"},
                   {"text": "Save the file", "source": None, "file": "z"}]
        counted = []
        counts, stats, _held = syllables.count_entries(entries, holdout=False, counted=counted)
        self.assertEqual((stats["untranslated"], stats["repeated"], counts["lưu0"]), (1, 1, 1))
        self.assertEqual(counted, [("Lưu", "Save as")])  # what the word pairs are counted from


class TechnicalTest(unittest.TestCase):
    def test_selection(self):
        lo = "usr/lib/libreoffice/program/resource/vi/LC_MESSAGES/"
        help_root = "usr/share/libreoffice/help/vi/text/"
        cases = [
            ("libreoffice-ui", lo + "basctl.mo", True), ("libreoffice-ui", lo + "dba.mo", True),
            ("libreoffice-ui", lo + "sw.mo", False), ("libreoffice-ui", lo + "sba.mo", False),
            ("libreoffice-ui", "usr/lib/libreoffice/share/registry_vi.xcd#DbuCommands", True),
            ("libreoffice-ui", "usr/lib/libreoffice/share/registry_vi.xcd#TableWizard", False),
            ("libreoffice-ui", "usr/lib/libreoffice/share/registry_vi.xcd#", False),
            ("libreoffice-help", help_root + "sbasic/shared/03010101.html", True),
            ("libreoffice-help", help_root + "sdatabase/main.html", True),
            ("libreoffice-help", help_root + "swriter/main0000.html", False),
            ("firefox", "browser/chrome/vi/locale/vi/devtools/client/debugger.properties", True),
            ("thunderbird", "chrome/vi/locale/vi/devtools/shared/webconsole.properties", True),
            ("firefox", "browser/localization/vi/browser/preferences/preferences.ftl", False),
            ("wesnoth", "usr/share/games/wesnoth/translations/vi/LC_MESSAGES/dba.mo", False),
            ("manpages", "usr/share/man/vi/man1/devtools/x.1.gz", False),
        ]
        for source, path, want in cases:
            self.assertEqual(sources.is_technical(source, path), want, (source, path))
            self.assertEqual(sources.technical_catalogue(source, path) is not None, want, (source, path))

    def test_xcd_labels_carry_their_component(self):
        xcd = ('<oor:data><oor:component-data oor:name="GenericCommands" oor:package="x">'
               '<value xml:lang="vi">Mở</value></oor:component-data>'
               '<oor:component-data xmlns:a="b" oor:name="DbuCommands" oor:package="x">'
               '<value xml:lang="vi">Truy vấn</value><value xml:lang="vi">Bảng</value>'
               '</oor:component-data></oor:data>')
        with tempfile.TemporaryDirectory() as root:
            with open(os.path.join(root, "registry_vi.xcd"), "w", encoding="utf-8") as f:
                f.write(xcd)
            got = [(e["text"], e["file"]) for e in sources.xcd_entries(root)]
        self.assertEqual(got, [("Mở", "registry_vi.xcd#GenericCommands"),
                               ("Truy vấn", "registry_vi.xcd#DbuCommands"),
                               ("Bảng", "registry_vi.xcd#DbuCommands")])
        self.assertEqual([sources.is_technical("libreoffice-ui", f) for _t, f in got], [False, True, True])

    def test_technical_entries_are_set_apart_and_written_once(self):
        dba = "usr/lib/libreoffice/program/resource/vi/LC_MESSAGES/dba.mo"
        devtools = "browser/chrome/vi/locale/vi/devtools/client/debugger.properties"
        entries = [{"text": "Gỡ lỗi", "source": None, "file": devtools},
                   {"text": "Mở tệp", "source": "Open file", "file": "usr/x/vi/sw.mo"},
                   {"text": "Mã nguồn", "source": "Source code", "file": dba},
                   {"text": "Gỡ lỗi", "source": "Debug", "file": dba},
                   {"text": "Query", "source": "Query", "file": dba}]
        technical, stats = [], Counter()
        kept = list(generate.without_technical("libreoffice-ui", entries, technical, stats))
        # a devtools path is no LibreOffice catalogue
        self.assertEqual([e["text"] for e in kept], ["Gỡ lỗi", "Mở tệp"])
        self.assertEqual(stats["technical"], 3)
        technical.insert(0, ("Firefox devtools", entries[0]))
        lines, per_catalogue = generate.technical_text(technical)
        # entries with an English original first, so tech_en.txt lines up with the head of tech_vi.txt
        self.assertEqual(lines, [("Source code", "Mã nguồn"), ("Debug", "Gỡ lỗi")])
        self.assertEqual(per_catalogue["LibreOffice dba.mo"]["entries"], 3)
        self.assertEqual(per_catalogue["Firefox devtools"]["lines"], 0)  # its text was already written

    def test_sample_keeps_order_and_limit(self):
        lines = [("", "dòng %d" % i) for i in range(50)]
        sample = generate.sample_heldout(lines, 10)
        self.assertEqual(len(sample), 10)
        self.assertEqual(sample, sorted(sample, key=lines.index))
        self.assertEqual(sample, generate.sample_heldout(list(reversed(lines)), 10)[::-1])


class PairTest(unittest.TestCase):
    def vi_pairs(self, text):
        return pairs.adjacent_pairs(sources.clean_text(text, placeholder=sources.PLACEHOLDER_MARK), pairs.vi_token)

    def test_adjacency(self):
        cases = [
            ("Mở tệp mới", [("mở", "tệp"), ("tệp", "mới")]),
            ("Mở tệp, rồi đóng", [("mở", "tệp"), ("rồi", "đóng")]),      # the comma breaks
            ("Chọn (tệp) này", []),                                       # so do brackets
            ("Xem tệp/thư mục đó", [("xem", "tệp"), ("thư", "mục"), ("mục", "đó")]),  # a slash breaks
            ("Xem tệp/thư/mục đó", [("xem", "tệp"), ("mục", "đó")]),
            ("Xem — tệp", []), ("Xem -a tệp", []),                      # a dash, an option
            ("Tải 3 tệp về", [("tệp", "về")]),                           # a number breaks
            ("Chạy x86 mã", []), ("Gửi e-mail ngay", []),               # a digit or inner punctuation
            ("Xóa %s tệp", []), ("Mở {0} tệp", []),                      # a placeholder stands for a word
            ("Hoà bình THUỶ", [("hòa", "bình"), ("bình", "thủy")]),     # classic written form, lowered
            ("Mở file PDF", [("mở", "file"), ("file", "pdf")]),          # foreign words are words too
            ("<b>Đậm</b> nghiêng", [("đậm", "nghiêng")]),                # markup is not punctuation
        ]
        for text, want in cases:
            self.assertEqual(self.vi_pairs(text), want, text)

    def test_english_tokens(self):
        text = sources.clean_text("I don't know the max, use Max now", placeholder=sources.PLACEHOLDER_MARK)
        self.assertEqual(pairs.adjacent_pairs(text, pairs.en_token),
                         [("know", "the"), ("the", "max"), ("use", "max"), ("max", "now")])
        self.assertIsNone(pairs.en_token("café"))

    def test_score(self):
        cases = [((1, 10 ** 6), 1), ((9, 10 ** 6), 10), ((10, 10 ** 6), 11), ((1, 10 ** 7), 1), ((1, 1), 61),
                 ((1, 10000), 21), ((99, 10 ** 6), 20), ((100, 10 ** 6), 21)]
        for (count, total), want in cases:
            self.assertEqual(pairs.score(count, total), want, (count, total))

    def test_kept_and_written(self):
        counts = Counter({("là", "mã"): 2, ("của", "mã"): 1, ("mã", "nguồn"): 7, ("đây", "mã"): 90})
        kept = pairs.kept(counts, {"mã"})
        self.assertEqual(kept, {("là", "mã"): pairs.score(2, 100), ("đây", "mã"): pairs.score(90, 100)})
        text = pairs.render(kept, {("the", "max"): 30, ("a", "max"): 12})
        lines = text.split("\n")
        self.assertTrue(lines[0].startswith("# ") and lines[1].startswith("# ") and text.endswith("\n"))
        self.assertEqual([tuple(line.split("\t")[:3]) for line in lines[2:-1]],
                         [("e", "a", "max"), ("e", "the", "max"), ("v", "là", "mã"), ("v", "đây", "mã")])


class CollisionTest(unittest.TestCase):
    def test_telex_key_forms(self):
        cases = {
            "ma4": ["max"],
            "ngươi2": ["nguowfi", "nguowif", "nguwowfi", "nguwowif"],
            "hoa2": ["hoaf", "hofa"],                   # classic and modern tone places
            "tiêng1": ["tieengs", "tieesng"],
            "mưa0": ["muwa", "mwa"],
            "ư2": ["uwf", "wf"],
            "đi0": ["ddi"],
            "tin0": [],                                 # nothing changes: no collision
            "thuơ3": ["thuowr"],
        }
        for key, want in cases.items():
            self.assertEqual(collisions.telex_key_forms(key), sorted(want), key)
        # the composer reads every form back (it has no w alone after a consonant)
        for key in ("ngươi2", "đươc5", "khuya1", "quyên2", "hoa2", "tiêng1", "ăn0", "ư2"):
            for form in collisions.telex_key_forms(key):
                self.assertEqual(vi.telex_compose(form), (key[:-1], int(key[-1])), form)

    def test_understated(self):
        cases = [((None, 34), True), ((None, 15), True), ((None, 14), False), ((None, 1), False),
                 ((1, 20), True), ((2, 20), False), ((3, 5), False), ((0, 5), True), ((1, 5), False),
                 ((0, 1), False), ((0, 2), True)]  # frequency 1 is no evidence of use
        for (level, frequency), want in cases:
            self.assertEqual(collisions.is_understated(level, frequency), want, (level, frequency))

    def test_find(self):
        table = collisions.parse_table('{u"sẽ", 3},\n  {u"hoà", 2}, // modern placement\n{u"tủn",0}')
        self.assertEqual(table, {"se4": 3, "hoa2": 2, "tun3": 0})
        freq = {"ma4": 34, "se4": 38, "hoa2": 21, "tun3": 1, "tin0": 38}
        levels = {"max": 10, "sex": 8, "hoaf": 40, "turn": 7, "tin": 16}
        rows = {r["form"]: r for r in collisions.find(freq, levels, table)}
        self.assertEqual(sorted(rows), ["mã", "sẽ", "tủn"])   # hoaf is no English word; tin changes nothing
        self.assertEqual((rows["mã"]["words"], rows["mã"]["table"], rows["mã"]["understated"]),
                         ([("max", 10)], None, True))
        self.assertFalse(rows["sẽ"]["understated"])
        self.assertFalse(rows["tủn"]["understated"])          # the table says 0, and frequency 1 no more


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

    def test_programming_keywords_are_never_demoted(self):
        freq = {"de2": 30, "va3": 30}
        levels = {"def": 22, "var": 27, "dex": 30}
        subtlex = {"def": 2, "var": 2, "dex": 2}
        freq["de4"] = 30
        changed = english.demote_collisions(levels, subtlex, lambda w: syllables.telex_syllable(w, freq))
        self.assertEqual([c[0] for c in changed], ["dex"])   # an ordinary rare word still is
        self.assertEqual((levels["def"], levels["var"]), (22, 27))

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
