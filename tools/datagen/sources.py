"""Readers for the Vietnamese text inside the unpacked packages.

Every reader yields entries in a fixed order (files sorted by path, entries in
file order). An entry is a dict with:
  text   the Vietnamese text (raw: markup and accelerators still in it)
  source the English original when the catalogue has one, else None
  file   the path inside the package (for the record only)
"""

import bisect
import gzip
import html
import html.parser
import os
import re
import struct
import zipfile


def _walk(root, suffixes):
    found = []
    for dirpath, _dirs, files in os.walk(root):
        for name in files:
            if name.endswith(suffixes):
                found.append(os.path.join(dirpath, name))
    return sorted(found)


# --- gettext .mo catalogues --------------------------------------------------

def read_mo(path):
    """(context, msgid, msgstr) of each entry, in file order; plural entries
    give their singular forms."""
    with open(path, "rb") as f:
        data = f.read()
    magic = struct.unpack("<I", data[:4])[0]
    order = "<" if magic == 0x950412DE else ">"
    _rev, count, orig_off, trans_off = struct.unpack(order + "4I", data[4:20])
    entries = []
    for i in range(count):
        olen, ooff = struct.unpack(order + "2I", data[orig_off + 8 * i:orig_off + 8 * i + 8])
        tlen, toff = struct.unpack(order + "2I", data[trans_off + 8 * i:trans_off + 8 * i + 8])
        msgid = data[ooff:ooff + olen].decode("utf-8", "replace")
        msgstr = data[toff:toff + tlen].decode("utf-8", "replace")
        if not msgid:
            continue  # the catalogue header
        context = ""
        if "\x04" in msgid:
            context, msgid = msgid.split("\x04", 1)
        entries.append((context, msgid.split("\x00")[0], msgstr.split("\x00")[0]))
    return entries


_WESNOTH_CONTEXT = re.compile(r"^[A-Za-z0-9_ ]{1,40}\^")


def catalogue_source_text(msgid):
    """The English text of a catalogue entry, without the a^b context prefix
    that Wesnoth writes into its message ids."""
    return _WESNOTH_CONTEXT.sub("", msgid, count=1)


def mo_entries(root):
    for path in _walk(root, (".mo",)):
        rel = os.path.relpath(path, root)
        if "/vi/" not in "/" + rel:
            continue
        for _ctx, msgid, msgstr in read_mo(path):
            if msgstr:
                yield {"text": msgstr, "source": catalogue_source_text(msgid), "file": rel}


# --- Mozilla language packs --------------------------------------------------

_FTL_MESSAGE = re.compile(r"^-?[A-Za-z][\w-]*\s*=\s?(.*)$")
_FTL_ATTRIBUTE = re.compile(r"^\s+\.[\w-]+\s*=\s?(.*)$")
_FTL_VARIANT = re.compile(r"^\s+\*?\[[^\]]*\]\s?(.*)$")
_FTL_SELECT = re.compile(r"->\s*$")


def _ftl_values(text):
    """Message values, attribute values and select variants of a Fluent file."""
    values = []
    current = None
    for line in text.split("\n"):
        if not line.strip() or line.startswith("#"):
            current = None if not line.strip() else current
            continue
        m = _FTL_MESSAGE.match(line)
        if m and not line[0].isspace():
            current = [m.group(1)]
            values.append(current)
            continue
        m = _FTL_ATTRIBUTE.match(line) or _FTL_VARIANT.match(line)
        if m:
            current = [m.group(1)]
            values.append(current)
            continue
        if line[0].isspace() and current is not None:
            stripped = line.strip()
            if stripped == "}" or _FTL_SELECT.search(stripped):
                continue
            current.append(stripped)
    return [" ".join(v) for v in values]


def _properties_values(text):
    values = []
    lines = text.split("\n")
    i = 0
    while i < len(lines):
        line = lines[i].strip()
        i += 1
        if not line or line[0] in "#!":
            continue
        while line.endswith("\\") and i < len(lines):
            line = line[:-1] + lines[i].strip()
            i += 1
        m = re.match(r"^[^=:\s]+\s*[=:]\s*(.*)$", line)
        if not m:
            continue
        value = re.sub(r"\\u([0-9a-fA-F]{4})", lambda u: chr(int(u.group(1), 16)), m.group(1))
        value = value.replace("\\n", "\n").replace("\\t", " ")
        # plural forms are written as one value separated by semicolons
        values.extend(value.split(";"))
    return values


_DTD_ENTITY = re.compile(r'<!ENTITY\s+[\w.\-]+\s+(["\'])(.*?)\1\s*>', re.S)


def xpi_entries(root):
    for path in _walk(root, (".xpi",)):
        with zipfile.ZipFile(path) as z:
            for name in sorted(z.namelist()):
                if name.endswith(".ftl"):
                    values = _ftl_values(z.read(name).decode("utf-8", "replace"))
                elif name.endswith(".properties"):
                    values = _properties_values(z.read(name).decode("utf-8", "replace"))
                elif name.endswith(".dtd"):
                    values = [m.group(2) for m in _DTD_ENTITY.finditer(z.read(name).decode("utf-8", "replace"))]
                else:
                    continue
                for value in values:
                    if value.strip():
                        yield {"text": value, "source": None, "file": name}


# --- LibreOffice help pages --------------------------------------------------

_BLOCKS = {"p", "h1", "h2", "h3", "h4", "h5", "h6", "td", "th", "li", "dt", "dd", "title", "caption"}
_SKIPPED = {"script", "style", "pre", "code", "noscript"}
_SKIPPED_CLASSES = ("code", "input", "literal", "bascode", "pycode")
_VOID = {"br", "img", "input", "meta", "link", "hr", "col", "area", "base", "wbr", "source", "param", "embed"}


class _HelpText(html.parser.HTMLParser):
    """Text of the block elements of a help page; code, program input and
    hidden alternatives (the other platform's menu names) are left out."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.blocks = []
        self._stack = []  # (tag, skip)
        self._buf = None

    def _skipping(self):
        return any(skip for _tag, skip in self._stack)

    def handle_starttag(self, tag, attrs):
        if tag in _VOID:
            if tag == "br" and self._buf is not None:
                self._buf.append(" ")
            return
        attrs = dict(attrs)
        cls = attrs.get("class") or ""
        skip = tag in _SKIPPED or "hidden" in attrs or any(c in cls.split() for c in _SKIPPED_CLASSES)
        self._stack.append((tag, skip))
        if tag in _BLOCKS:
            self._flush()
            self._buf = []

    def handle_endtag(self, tag):
        if tag in _VOID:
            return
        while self._stack:
            top, _skip = self._stack.pop()
            if top == tag:
                break
        if tag in _BLOCKS:
            self._flush()

    def handle_data(self, data):
        if self._buf is not None and not self._skipping():
            self._buf.append(data)

    def _flush(self):
        if self._buf:
            text = "".join(self._buf).strip()
            if text:
                self.blocks.append(text)
        self._buf = None

    def close(self):
        super().close()
        self._flush()


def help_entries(root):
    for path in _walk(root, (".html", ".xhp")):
        rel = os.path.relpath(path, root)
        parser = _HelpText()
        with open(path, encoding="utf-8", errors="replace") as f:
            parser.feed(f.read())
        parser.close()
        for block in parser.blocks:
            yield {"text": block, "source": None, "file": rel}


# --- manual pages ------------------------------------------------------------

_TEXT_MACROS = {"B", "I", "BI", "IB", "BR", "RB", "IR", "RI", "SB", "SM", "SH", "SS", "IP", "TP", "TQ", "UR", "MT", "OP", "Nm", "Nd", "Sh", "Ss", "Em", "Ar"}
_PARAGRAPH_MACROS = {"PP", "P", "LP", "SH", "SS", "TP", "IP", "HP", "TQ", "sp", "br", "RS", "RE", "EX", "EE", "nf", "fi", "Pp", "Bl", "El", "It"}
_GROFF_ESCAPES = [
    (re.compile(r"\\f(\[[^\]]*\]|\(..|.)"), ""),    # font changes
    (re.compile(r"\\s[+-]?\d+"), ""),               # size changes
    (re.compile(r"\\\*(\[[^\]]*\]|\(..|.)"), " "),  # strings
    (re.compile(r"\\\((aq|cq|oq)"), "'"),
    (re.compile(r"\\\((dq|lq|rq)"), '"'),
    (re.compile(r"\\\((em|en|hy)"), "-"),
    (re.compile(r"\\\(..|\\\[[^\]]*\]"), " "),     # other special characters
    (re.compile(r"\\[-e]"), "-"),
    (re.compile(r"\\[&,/|^:%]"), ""),
    (re.compile(r"\\[ 0~]"), " "),
    (re.compile(r"\\."), ""),
]


def _groff_text(line):
    for pattern, repl in _GROFF_ESCAPES:
        line = pattern.sub(repl, line)
    return line


def man_entries(root):
    for path in _walk(root, (".gz",)):
        rel = os.path.relpath(path, root)
        if "/man/vi/" not in "/" + rel:
            continue
        with gzip.open(path, "rt", encoding="utf-8", errors="replace") as f:
            lines = f.read().split("\n")
        para = []
        for line in lines:
            if line.startswith((".", "'")):
                parts = line[1:].split(None, 1)
                macro = parts[0] if parts else ""
                if macro in _PARAGRAPH_MACROS and para:
                    yield {"text": " ".join(para), "source": None, "file": rel}
                    para = []
                if macro in _TEXT_MACROS and len(parts) > 1:
                    para.append(_groff_text(parts[1].replace('"', " ")))
                continue
            if not line.strip():
                if para:
                    yield {"text": " ".join(para), "source": None, "file": rel}
                    para = []
                continue
            para.append(_groff_text(line))
        if para:
            yield {"text": " ".join(para), "source": None, "file": rel}


# --- plain text documents ----------------------------------------------------

def text_doc_entries(root):
    for path in _walk(root, (".vi.txt.gz",)):
        rel = os.path.relpath(path, root)
        with gzip.open(path, "rt", encoding="utf-8", errors="replace") as f:
            text = f.read()
        for para in re.split(r"\n\s*\n", text):
            if para.strip():
                yield {"text": para, "source": None, "file": rel}


# --- cleaning ----------------------------------------------------------------

_PLACEHOLDERS = [
    re.compile(r"%\(\w+\)[a-zA-Z]"),                     # %(name)s
    re.compile(r"%\d+\$[a-zA-Z]"),                        # %1$s
    re.compile(r"%[A-Z][A-Z0-9_]+%?"),                    # %PRODUCTNAME
    re.compile(r"%[-+ #0]*\d*(?:\.\d+)?(?:ll|l|h|z)?[sSdiufxXcpgeE@]"),  # %s %d %ld
    re.compile(r"%\d+"),                                  # %1
    re.compile(r"\$\([^()]*\)"),                          # $(var)
    re.compile(r"\$\{[^{}]*\}"),                          # ${var}
    re.compile(r"\$[A-Za-z_][\w.]*\|?"),                  # $var, $unit.name|
    re.compile(r"\$\d+"),                                 # $1
]
_BRACES = re.compile(r"\{[^{}]*\}")                       # {0} {name} { -brand }
_TAG = re.compile(r"<[^<>]{0,400}>")
_ACCEL_AMP = re.compile(r"&(?=[^\W\d_])(?![A-Za-z]+;|#\d+;|#x[0-9A-Fa-f]+;)")
_ACCEL_UNDERSCORE = re.compile(r"(?<![\w_])_(?=[^\W\d_])|(?<=[^\W\d_])_(?=[^\W\d_])")
_SPACES = re.compile(r"\s+")
# Wesnoth help markup: <ref>dst='unit_x' text='Loyal'</ref>
_HELP_LINK_TARGET = re.compile(r"\b(?:dst|src|color|font_size)='[^']*'")
_HELP_TEXT_ATTR = re.compile(r"\btext='([^']*)'")


# What a placeholder becomes for the word-pair counts: a word of its own that
# is no word of any language, so "Xóa %s tệp" gives no pair "xóa tệp".
PLACEHOLDER_MARK = " \ufffc "


def clean_text(text, placeholder=" "):
    """Text with markup, placeholders and menu accelerators taken out and
    white space collapsed. Placeholders become `placeholder` (a space by
    default, so they separate words but are not words themselves)."""
    text = _HELP_LINK_TARGET.sub(" ", text)
    text = _HELP_TEXT_ATTR.sub(r"\1", text)
    text = text.replace("~", "")
    text = _ACCEL_AMP.sub("", text)
    text = _TAG.sub(" ", text)
    text = html.unescape(text)
    text = _TAG.sub(" ", text)
    for pattern in _PLACEHOLDERS:
        text = pattern.sub(placeholder, text)
    previous = None
    while previous != text:
        previous = text
        text = _BRACES.sub(placeholder, text)
    text = _ACCEL_UNDERSCORE.sub("", text)
    return _SPACES.sub(" ", text).strip()


# --- LibreOffice configuration (menu and command labels) ---------------------

_XCD_VALUE = re.compile(r'<value xml:lang="vi">(.*?)</value>', re.S)
_XCD_COMPONENT = re.compile(r'<oor:component-data\b[^>]*?\boor:name="([^"]*)"')


def xcd_entries(root):
    """Vietnamese labels of the configuration; `file` is the path followed by
    "#" and the configuration component the label belongs to
    (registry_vi.xcd#DbuCommands)."""
    for path in _walk(root, (".xcd",)):
        rel = os.path.relpath(path, root)
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        starts = [(m.start(), m.group(1)) for m in _XCD_COMPONENT.finditer(text)]
        for m in _XCD_VALUE.finditer(text):
            at = bisect.bisect_right(starts, (m.start(), ""))
            component = starts[at - 1][1] if at else ""
            yield {"text": html.unescape(m.group(1)), "source": None, "file": rel + "#" + component}


# --- technical catalogues ----------------------------------------------------
#
# Whole catalogues of developer-facing software are kept apart: never counted,
# written as a third evaluation text, so the lists can be measured on the
# vocabulary of programmers (mã nguồn, gỡ lỗi, điểm ngắt) they were not built
# from.

# LibreOffice: the Basic IDE and runtime, the database front end, its report
# builder, form controls and their property browser.
TECHNICAL_MO = frozenset(["basctl.mo", "sb.mo", "dba.mo", "rpt.mo", "pcr.mo", "frm.mo"])
# The configuration labels of the same programs.
TECHNICAL_XCD = frozenset([
    "BasicIDECommands", "BasicIDEWindowState", "DbuCommands", "ReportCommands", "BaseWindowState",
    "DbBrowserWindowState", "DbQueryWindowState", "DbRelationWindowState", "DbReportWindowState",
    "DbTableDataWindowState", "DbTableWindowState", "DataAccess", "Drivers"])
# LibreOffice help: the Basic programming guide and the database pages.
TECHNICAL_HELP = ("/text/sbasic/", "/text/sdatabase/")
# Mozilla language packs: the developer tools.
TECHNICAL_MOZILLA = "/devtools/"


def technical_catalogue(source, file):
    """The name the technical catalogue of an entry is reported under, or
    None for an entry of no technical catalogue."""
    if not is_technical(source, file):
        return None
    if source == "libreoffice-ui":
        return "LibreOffice configuration labels" if "#" in file else "LibreOffice " + os.path.basename(file)
    if source == "libreoffice-help":
        return "LibreOffice help " + next(part.strip("/").split("/")[1] for part in TECHNICAL_HELP
                                          if part in "/" + file)
    return source.capitalize() + " devtools"


def is_technical(source, file):
    """Whether an entry of the named source, read from `file` (the path inside
    its package or language pack), belongs to a technical catalogue."""
    path = "/" + file
    if source == "libreoffice-ui":
        if "#" in file:
            return file.rsplit("#", 1)[1] in TECHNICAL_XCD
        return "/vi/" in path and os.path.basename(file) in TECHNICAL_MO
    if source == "libreoffice-help":
        return any(part in path for part in TECHNICAL_HELP)
    if source in ("firefox", "thunderbird"):
        return TECHNICAL_MOZILLA in path
    return False
