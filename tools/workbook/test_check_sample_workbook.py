"""The committed sample workbook passes its check, and the check catches each kind of damage.

    python3 -B -m unittest discover -s tools/workbook -p 'test_*.py'
"""

import io
import unittest
import zipfile

import check_sample_workbook as check
import make_sample_workbook as writer


def workbook(replace=None, drop=(), compress=(), extra=None):
    """The sample as the writer makes it, with some parts replaced, dropped, compressed or added."""
    replace = replace or {}
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as archive:
        for name, make in writer.PARTS:
            if name in drop:
                continue
            text = replace.get(name, make())
            data = text if isinstance(text, bytes) else text.encode("utf-8")
            info = zipfile.ZipInfo(name, date_time=writer.FIXED_DATE)
            info.compress_type = zipfile.ZIP_DEFLATED if name in compress else zipfile.ZIP_STORED
            archive.writestr(info, data)
        for name, text in (extra or {}).items():
            archive.writestr(zipfile.ZipInfo(name, date_time=writer.FIXED_DATE), text)
    return buffer.getvalue()


def without_last_row(text):
    return text.replace(text[text.rindex("<row ") : text.rindex("</row>") + len("</row>")], "")


class SampleWorkbookTest(unittest.TestCase):
    def test_committed_workbook_is_sound(self):
        self.assertEqual(check.problems(check.DEFAULT_WORKBOOK.read_bytes()), [])

    def test_the_writer_output_is_sound(self):
        self.assertEqual(check.problems(writer.build()), [])
        self.assertEqual(check.problems(workbook()), [])

    def test_damage_is_reported(self):
        sheet = "xl/worksheets/sheet1.xml"
        strings = "xl/sharedStrings.xml"
        good = workbook()
        # A letter of the first shared string changed in place: the entry's CRC no longer matches.
        at = good.index(b"<t>Kho") + len("<t>")
        flipped = good[:at] + b"k" + good[at + 1 :]
        # The á of Khoá in Latin-1.
        latin1 = writer.shared_strings().encode().replace(b"\xc3\xa1", b"\xe1")
        cases = {
            "not a zip": good[:100],
            "damaged entry": flipped,
            "compressed": workbook(compress={sheet}),
            "not well-formed XML": workbook(replace={sheet: writer.sheet().replace("</row>", "", 1)}),
            "not UTF-8": workbook(replace={strings: latin1}),
            "xl/styles.xml: missing": workbook(drop={"xl/styles.xml"}),
            "no content type": workbook(extra={"xl/notes.txt": "x"}),
            "relationship rId2 to the missing part xl/sharedStrings.xml": workbook(drop={strings}),
            "differ from the 13 of the writer": workbook(replace={sheet: without_last_row(writer.sheet())}),
            "column titles": workbook(replace={strings: writer.shared_strings().replace("Khoá", "Key")}),
            "not what make_sample_workbook.py writes": workbook(
                replace={"docProps/app.xml": writer.app_properties().replace("Tonvira", "Other")}
            ),
            "shared strings once each, in order": workbook(
                replace={sheet: writer.sheet().replace("<v>2</v>", "<v>0</v>", 1)}
            ),
        }
        for expected, data in cases.items():
            with self.subTest(expected):
                found = check.problems(data)
                self.assertTrue(any(expected in problem for problem in found), found)


if __name__ == "__main__":
    unittest.main()
