#!/usr/bin/env python3
"""Checks data/mau-go-tat.xlsx, the sample abbreviation workbook, as a spreadsheet program reads it.

The workbook must be a zip whose entries are intact and stored uncompressed, whose parts are
well-formed UTF-8 XML, whose content types and relationships name only parts that exist, and whose
one sheet holds the column titles and the examples, in order, taking the shared strings in the
order they are listed. Every part must also be what make_sample_workbook.py writes today, so a
change to the writer that was not run shows here. Standard library only, offline.

Prints one line when the workbook is sound; otherwise each problem, and exits with status 1.

    python3 tools/workbook/check_sample_workbook.py [--workbook PATH]
"""

import argparse
import io
import pathlib
import posixpath
import sys
import zipfile
import xml.etree.ElementTree as ElementTree

import make_sample_workbook as writer

DEFAULT_WORKBOOK = pathlib.Path(__file__).resolve().parents[2] / "data" / "mau-go-tat.xlsx"

MAIN = "{%s}" % writer.MAIN_NS
OFFICE_REL = "{%s}" % writer.REL_NS
PACKAGE_REL = "{%s}" % writer.PACKAGE_REL_NS
CONTENT_TYPES = "{http://schemas.openxmlformats.org/package/2006/content-types}"

CONTENT_TYPES_PART = "[Content_Types].xml"
WORKBOOK_PART = "xl/workbook.xml"
REQUIRED_PARTS = (
    CONTENT_TYPES_PART,
    "_rels/.rels",
    WORKBOOK_PART,
    "xl/_rels/workbook.xml.rels",
    "xl/worksheets/sheet1.xml",
    "xl/sharedStrings.xml",
    "xl/styles.xml",
)


def rels_part(part):
    """xl/workbook.xml -> xl/_rels/workbook.xml.rels; "" (the package) -> _rels/.rels."""
    folder, name = posixpath.split(part)
    return posixpath.join(folder, "_rels", name + ".rels")


def resolve(folder, target):
    """A relationship's target as a part name: absolute from the package root, else from folder."""
    if target.startswith("/"):
        return posixpath.normpath(target[1:])
    return posixpath.normpath(posixpath.join(folder, target))


def relationships(parts, source):
    """{Id: target part} of a part's relationships, targets resolved against the part's folder."""
    root = parts.get(rels_part(source))
    if root is None:
        return {}
    folder = posixpath.dirname(source)
    return {
        rel.get("Id"): resolve(folder, rel.get("Target", ""))
        for rel in root.iter(PACKAGE_REL + "Relationship")
    }


def read_parts(archive, found):
    """Every entry parsed as XML, keyed by name; problems go to found."""
    parts = {}
    names = archive.namelist()
    if len(set(names)) != len(names):
        found.append("an entry name is repeated")
    for info in archive.infolist():
        name = info.filename
        if info.compress_type != zipfile.ZIP_STORED:
            found.append(f"{name}: compressed; the sample's entries are stored as they are")
        try:
            data = archive.read(info)
        except (zipfile.BadZipFile, OSError, EOFError) as error:
            found.append(f"{name}: damaged entry ({error})")
            continue
        try:
            data.decode("utf-8")
        except UnicodeDecodeError as error:
            found.append(f"{name}: not UTF-8 ({error})")
            continue
        try:
            parts[name] = ElementTree.fromstring(data)
        except ElementTree.ParseError as error:
            found.append(f"{name}: not well-formed XML ({error})")
    return parts


def extension(name):
    """xl/styles.xml -> xml; _rels/.rels -> rels (a name may be all extension)."""
    return posixpath.basename(name).rpartition(".")[2].lower()


def check_package(names, parts, found):
    """Content types cover every part and name no missing one; relationships point at parts."""
    types = parts.get(CONTENT_TYPES_PART)
    if types is None:
        return
    defaults = {d.get("Extension", "").lower() for d in types.iter(CONTENT_TYPES + "Default")}
    overrides = {o.get("PartName", "").lstrip("/") for o in types.iter(CONTENT_TYPES + "Override")}
    for name in sorted(overrides - set(names)):
        found.append(f"{CONTENT_TYPES_PART}: a content type for the missing part {name}")
    for name in sorted(set(names) - {CONTENT_TYPES_PART}):
        if name not in overrides and extension(name) not in defaults:
            found.append(f"{name}: no content type")
    for name in sorted(parts):
        if not name.endswith(".rels"):
            continue
        folder = posixpath.dirname(posixpath.dirname(name))
        for rel in parts[name].iter(PACKAGE_REL + "Relationship"):
            target = resolve(folder, rel.get("Target", ""))
            if target not in names:
                found.append(f"{name}: relationship {rel.get('Id')} to the missing part {target}")


def sheet_rows(parts, found):
    """The first sheet's rows as lists of texts, read through the shared strings."""
    workbook = parts.get(WORKBOOK_PART)
    if workbook is None:
        return None
    sheets = list(workbook.iter(MAIN + "sheet"))
    if len(sheets) != 1:
        found.append(f"{WORKBOOK_PART}: {len(sheets)} sheets, not one")
        return None
    if sheets[0].get("name") != writer.SHEET_NAME:
        found.append(f"{WORKBOOK_PART}: the sheet is called {sheets[0].get('name')!r}")
    targets = relationships(parts, WORKBOOK_PART)
    sheet = parts.get(targets.get(sheets[0].get(OFFICE_REL + "id"), ""))
    strings_part = next((t for t in targets.values() if t.endswith("sharedStrings.xml")), "")
    shared = parts.get(strings_part)
    if sheet is None or shared is None:
        found.append(f"{WORKBOOK_PART}: the sheet or its shared strings cannot be reached")
        return None

    strings = ["".join(item.itertext()) for item in shared.iter(MAIN + "si")]
    for attribute in ("count", "uniqueCount"):
        if shared.get(attribute) != str(len(strings)):
            found.append(f"{strings_part}: {attribute} is {shared.get(attribute)}, not {len(strings)}")

    rows = []
    indices = []
    for number, row in enumerate(sheet.iter(MAIN + "row"), start=1):
        if row.get("r") != str(number):
            found.append(f"sheet row {number} is numbered {row.get('r')}")
        cells = []
        for column, cell in zip("ABCDEFGHIJ", row.iter(MAIN + "c")):
            if cell.get("r") != f"{column}{number}":
                found.append(f"sheet cell {column}{number} is labelled {cell.get('r')}")
            value = cell.find(MAIN + "v")
            if cell.get("t") != "s" or value is None or not (value.text or "").isdigit():
                found.append(f"sheet cell {column}{number} is not a shared string")
                continue
            index = int(value.text)
            if index >= len(strings):
                found.append(f"sheet cell {column}{number} takes string {index} of {len(strings)}")
                continue
            indices.append(index)
            cells.append(strings[index])
        rows.append(cells)
    # The sample's rows can then be read from the shared strings alone, two to a row.
    if indices != list(range(len(strings))):
        found.append("the sheet does not take the shared strings once each, in order")
    return rows


def check_rows(parts, found):
    rows = sheet_rows(parts, found)
    if rows is None:
        return
    expected = [list(row) for row in writer.rows()]
    if rows[:1] != expected[:1]:
        found.append(f"the column titles are {rows[:1]}, not {expected[0]}")
    if rows != expected:
        found.append(f"the sheet holds {len(rows)} rows that differ from the {len(expected)} of the writer")


def check_against_writer(archive, found):
    written = dict(writer.PARTS)
    for name in archive.namelist():
        if name not in written:
            found.append(f"{name}: a part the writer does not write")
    for name, make in writer.PARTS:
        try:
            data = archive.read(name)
        except (KeyError, zipfile.BadZipFile, OSError, EOFError):
            continue  # missing or damaged: reported already
        if data != make().encode("utf-8"):
            found.append(f"{name}: not what make_sample_workbook.py writes; run it again")


def problems(data):
    """What is wrong with a workbook given as bytes; empty when it is sound."""
    try:
        archive = zipfile.ZipFile(io.BytesIO(data))
    except zipfile.BadZipFile as error:
        return [f"not a zip ({error})"]
    found = []
    with archive:
        parts = read_parts(archive, found)
        for name in REQUIRED_PARTS:
            if name not in archive.namelist():
                found.append(f"{name}: missing")
        check_package(archive.namelist(), parts, found)
        check_rows(parts, found)
        check_against_writer(archive, found)
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--workbook", type=pathlib.Path, default=DEFAULT_WORKBOOK)
    args = parser.parse_args()
    try:
        data = args.workbook.read_bytes()
    except OSError as error:
        print(f"{args.workbook}: cannot be read ({error.strerror})", file=sys.stderr)
        return 1
    found = problems(data)
    for problem in found:
        print(f"{args.workbook}: {problem}", file=sys.stderr)
    if found:
        return 1
    print(f"{args.workbook}: sound, {len(writer.rows())} rows")
    return 0


if __name__ == "__main__":
    sys.exit(main())
