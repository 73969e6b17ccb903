#!/usr/bin/env python3
"""Writes data/mau-go-tat.xlsx, the sample abbreviation workbook that the settings window opens.

One sheet "Gõ tắt" with the column titles "Khoá" and "Bản khai triển" and a dozen examples, in the
layout the import expects once the user saves the sheet as CSV UTF-8. The workbook is written by
hand (zipfile and plain XML, no spreadsheet library), with fixed dates and uncompressed entries, so
the file is the same byte for byte on every run and a test can read it without a zip library.

    python3 tools/workbook/make_sample_workbook.py [--output PATH]
"""

import argparse
import io
import pathlib
import xml.dom.minidom
import zipfile
from xml.sax.saxutils import escape

SHEET_NAME = "Gõ tắt"
HEADER = ("Khoá", "Bản khai triển")
EXAMPLES = (
    ("chxhcnvn", "Cộng hòa Xã hội Chủ nghĩa Việt Nam"),
    ("dltdhp", "Độc lập - Tự do - Hạnh phúc"),
    ("ubnd", "Ủy ban nhân dân"),
    ("tphcm", "Thành phố Hồ Chí Minh"),
    ("kgui", "Kính gửi"),
    ("trtr", "Trân trọng"),
    ("cbcc", "cán bộ, công chức"),
    ("cty", "công ty"),
    ("sdt", "số điện thoại"),
    ("dchi", "địa chỉ"),
    ("ko", "không"),
    ("dc", "được"),
)
FIXED_DATE = (2024, 1, 1, 0, 0, 0)

XML_DECLARATION = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
MAIN_NS = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL_NS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PACKAGE_REL_NS = "http://schemas.openxmlformats.org/package/2006/relationships"
DOC_TYPES = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
CONTENT_TYPE = "application/vnd.openxmlformats-officedocument.spreadsheetml"


def content_types():
    return (
        XML_DECLARATION
        + '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
        '<Default Extension="xml" ContentType="application/xml"/>'
        f'<Override PartName="/xl/workbook.xml" ContentType="{CONTENT_TYPE}.sheet.main+xml"/>'
        f'<Override PartName="/xl/worksheets/sheet1.xml" ContentType="{CONTENT_TYPE}.worksheet+xml"/>'
        f'<Override PartName="/xl/sharedStrings.xml" ContentType="{CONTENT_TYPE}.sharedStrings+xml"/>'
        f'<Override PartName="/xl/styles.xml" ContentType="{CONTENT_TYPE}.styles+xml"/>'
        '<Override PartName="/docProps/core.xml" '
        'ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>'
        '<Override PartName="/docProps/app.xml" '
        'ContentType="application/vnd.openxmlformats-officedocument.extended-properties+xml"/>'
        "</Types>"
    )


def package_rels():
    return (
        XML_DECLARATION + f'<Relationships xmlns="{PACKAGE_REL_NS}">'
        f'<Relationship Id="rId1" Type="{DOC_TYPES}/officeDocument" Target="xl/workbook.xml"/>'
        '<Relationship Id="rId2" '
        'Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" '
        'Target="docProps/core.xml"/>'
        f'<Relationship Id="rId3" Type="{DOC_TYPES}/extended-properties" Target="docProps/app.xml"/>'
        "</Relationships>"
    )


def core_properties():
    return (
        XML_DECLARATION
        + "<cp:coreProperties "
        'xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" '
        'xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" '
        'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">'
        "<dc:title>Mẫu gõ tắt Tonvira</dc:title><dc:creator>Tonvira</dc:creator>"
        '<dcterms:created xsi:type="dcterms:W3CDTF">2024-01-01T00:00:00Z</dcterms:created>'
        "</cp:coreProperties>"
    )


def app_properties():
    return (
        XML_DECLARATION
        + '<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties">'
        "<Application>Tonvira</Application></Properties>"
    )


def workbook():
    return (
        XML_DECLARATION + f'<workbook xmlns="{MAIN_NS}" xmlns:r="{REL_NS}">'
        f'<sheets><sheet name="{escape(SHEET_NAME)}" sheetId="1" r:id="rId1"/></sheets>'
        "</workbook>"
    )


def workbook_rels():
    return (
        XML_DECLARATION + f'<Relationships xmlns="{PACKAGE_REL_NS}">'
        f'<Relationship Id="rId1" Type="{DOC_TYPES}/worksheet" Target="worksheets/sheet1.xml"/>'
        f'<Relationship Id="rId2" Type="{DOC_TYPES}/sharedStrings" Target="sharedStrings.xml"/>'
        f'<Relationship Id="rId3" Type="{DOC_TYPES}/styles" Target="styles.xml"/>'
        "</Relationships>"
    )


def styles():
    # Style 0: the default font; style 1: bold, for the column titles.
    return (
        XML_DECLARATION + f'<styleSheet xmlns="{MAIN_NS}">'
        '<fonts count="2"><font><sz val="11"/><name val="Calibri"/></font>'
        '<font><b/><sz val="11"/><name val="Calibri"/></font></fonts>'
        '<fills count="2"><fill><patternFill patternType="none"/></fill>'
        '<fill><patternFill patternType="gray125"/></fill></fills>'
        '<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>'
        '<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>'
        '<cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>'
        '<xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1"/></cellXfs>'
        '<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>'
        "</styleSheet>"
    )


def rows():
    return (HEADER,) + EXAMPLES


def shared_strings():
    texts = [text for row in rows() for text in row]
    items = "".join(f"<si><t>{escape(text)}</t></si>" for text in texts)
    count = len(texts)
    return XML_DECLARATION + f'<sst xmlns="{MAIN_NS}" count="{count}" uniqueCount="{count}">{items}</sst>'


def sheet():
    cells = []
    index = 0
    for number, row in enumerate(rows(), start=1):
        style = ' s="1"' if number == 1 else ""
        row_cells = []
        for column, _ in zip("AB", row):
            row_cells.append(f'<c r="{column}{number}" t="s"{style}><v>{index}</v></c>')
            index += 1
        cells.append(f'<row r="{number}">{"".join(row_cells)}</row>')
    last = len(rows())
    return (
        XML_DECLARATION + f'<worksheet xmlns="{MAIN_NS}" xmlns:r="{REL_NS}">'
        f'<dimension ref="A1:B{last}"/>'
        '<sheetViews><sheetView workbookViewId="0"><pane ySplit="1" topLeftCell="A2" activePane="bottomLeft" '
        'state="frozen"/></sheetView></sheetViews>'
        '<sheetFormatPr defaultRowHeight="15"/>'
        '<cols><col min="1" max="1" width="18" customWidth="1"/>'
        '<col min="2" max="2" width="50" customWidth="1"/></cols>'
        f'<sheetData>{"".join(cells)}</sheetData>'
        "</worksheet>"
    )


PARTS = (
    ("[Content_Types].xml", content_types),
    ("_rels/.rels", package_rels),
    ("docProps/core.xml", core_properties),
    ("docProps/app.xml", app_properties),
    ("xl/workbook.xml", workbook),
    ("xl/_rels/workbook.xml.rels", workbook_rels),
    ("xl/styles.xml", styles),
    ("xl/sharedStrings.xml", shared_strings),
    ("xl/worksheets/sheet1.xml", sheet),
)


def build():
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", compression=zipfile.ZIP_STORED) as archive:
        for name, make in PARTS:
            text = make()
            xml.dom.minidom.parseString(text.encode("utf-8"))  # well-formed, or this raises
            info = zipfile.ZipInfo(name, date_time=FIXED_DATE)
            info.compress_type = zipfile.ZIP_STORED
            info.external_attr = 0o644 << 16
            archive.writestr(info, text.encode("utf-8"))
    return buffer.getvalue()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    default = pathlib.Path(__file__).resolve().parents[2] / "data" / "mau-go-tat.xlsx"
    parser.add_argument("--output", type=pathlib.Path, default=default)
    args = parser.parse_args()
    data = build()
    with zipfile.ZipFile(io.BytesIO(data)) as archive:
        if archive.testzip() is not None:
            raise SystemExit("the workbook failed its own check")
    args.output.write_bytes(data)
    print(f"{args.output}: {len(data)} bytes, {len(EXAMPLES)} examples")


if __name__ == "__main__":
    main()
