"""The program's rules for an update manifest, over bytes, as the updater applies them.

parse_manifest gives the same outcome as the program's parser for the same signed part, and the
URL and version helpers answer as the program's do. The release tool signs nothing these rules
refuse; test_tonvira_release.py holds a table of manifests on which this file and the native
`tonvira-manifest` must agree.
"""

ACCEPTED = "accepted"
NOT_A_MANIFEST = "not a manifest"
UNSUPPORTED_VERSION = "unsupported format version"
INVALID_CONTENT = "invalid content"
MALFORMED = "malformed"

MAGIC = b"TONVIRA-UPDATE "
FORMAT_LINE = b"TONVIRA-UPDATE 1"
KEYS = (b"product", b"channel", b"version", b"min", b"published", b"msi", b"sha256", b"seq", b"size", b"note")
MAX_NOTES = 12
MAX_NOTE_BYTES = 400
MAX_PACKAGE_SIZE = 52428800  # 50 MiB
MAX_COMPONENT = 65535
DIGITS = b"0123456789"


class Manifest:
    """The fields of an accepted manifest; text fields stay bytes, as the program keeps them."""

    def __init__(self):
        self.product = self.channel = self.version = self.published = self.msi = self.sha256 = b""
        self.min = None
        self.seq = self.size = 0
        self.notes = []


def is_short_decimal(value):
    return 1 <= len(value) <= 19 and all(c in DIGITS for c in value)


def dotted_parts(text):
    """The four components of a dotted version (missing ones are 0), or None."""
    parts = text.split(b".")
    if len(parts) > 4:
        return None
    values = []
    for part in parts:
        if not part or any(c not in DIGITS for c in part) or int(part) > MAX_COMPONENT:
            return None
        values.append(int(part))
    return tuple(values + [0] * (4 - len(values)))


def is_dotted_version(text):
    return dotted_parts(text) is not None


def compare_versions(a, b):
    """-1, 0 or 1; None when either is not a dotted version."""
    left, right = dotted_parts(a), dotted_parts(b)
    if left is None or right is None:
        return None
    return (left > right) - (left < right)


def is_showable_note(value):
    # Notes are shown in the update window: printable bytes, no markup.
    return 1 <= len(value) <= MAX_NOTE_BYTES and all(c >= 0x20 and c != 0x7F and c not in b"<>" for c in value)


def _apply_field(manifest, key, value):
    """Applies one key=value line; False when the line breaks the framing."""
    if key in (b"seq", b"size"):
        if not is_short_decimal(value):
            return False
        setattr(manifest, key.decode(), int(value))
    elif key == b"note":
        # A note that cannot be shown, or one past the twelfth, is dropped; the manifest stands.
        if len(manifest.notes) < MAX_NOTES and is_showable_note(value):
            manifest.notes.append(value)
    elif key in KEYS:
        setattr(manifest, key.decode(), value)
    return True


def _check_fields(m):
    if m.product != b"tonvira":
        return INVALID_CONTENT, "product must be exactly tonvira"
    if m.seq == 0:
        return INVALID_CONTENT, "seq is missing or 0"
    if not is_dotted_version(m.version):
        return INVALID_CONTENT, "version is missing or not a dotted version (1 to 4 numbers up to 65535)"
    if not m.msi:
        return INVALID_CONTENT, "msi is missing"
    if m.size == 0:
        return INVALID_CONTENT, "size is missing or 0"
    if len(m.sha256) != 64 or any(c not in b"0123456789abcdef" for c in m.sha256):
        return INVALID_CONTENT, "sha256 must be 64 lower-case hex digits"
    if m.min is not None and not is_dotted_version(m.min):
        return MALFORMED, "min is not a dotted version"
    if m.size > MAX_PACKAGE_SIZE:
        return MALFORMED, "size is above 52428800 bytes (50 MiB)"
    return ACCEPTED, ""


def parse_manifest(text):
    """(outcome, Manifest or None, why) for a signed part, why naming the first rule broken."""
    if b"\r" in text or b"\0" in text:
        return MALFORMED, None, "a CR or NUL byte (lines end in LF alone)"
    if not text.endswith(b"\n"):
        return MALFORMED, None, "the last line does not end in LF"
    if text.startswith(b"\n") or b"\n\n" in text:
        return MALFORMED, None, "an empty line"
    lines = text[:-1].split(b"\n")
    if not lines[0].startswith(MAGIC):
        return NOT_A_MANIFEST, None, "the first line is not TONVIRA-UPDATE 1"
    if lines[0] != FORMAT_LINE:
        return UNSUPPORTED_VERSION, None, "the first line is not TONVIRA-UPDATE 1"
    manifest = Manifest()
    for number, line in enumerate(lines[1:], start=2):
        key, equals, value = line.partition(b"=")
        if not equals or not key:
            return MALFORMED, None, "line %d is not key=value" % number
        if not _apply_field(manifest, key, value):
            return MALFORMED, None, "line %d: %s takes 1 to 19 digits" % (number, key.decode())
    outcome, why = _check_fields(manifest)
    return outcome, manifest if outcome == ACCEPTED else None, why


def url_origin(url):
    scheme, separator, rest = url.partition(b"://")
    if not separator or scheme not in (b"https", b"http"):
        return b""
    authority, slash, _ = rest.partition(b"/")
    if not slash or not authority:
        return b""
    authority = bytes(c + 32 if 0x41 <= c <= 0x5A else c for c in authority)
    if any(c not in b"abcdefghijklmnopqrstuvwxyz0123456789:-." for c in authority):
        return b""
    return scheme + b"://" + authority + b"/"


def url_allowed(url):
    """https anywhere; plain http only to this machine (127.0.0.1 or localhost, any port)."""
    if url.startswith(b"https://"):
        return True
    origin = url_origin(url)
    for host in (b"http://127.0.0.1", b"http://localhost"):
        rest = origin[len(host):] if origin.startswith(host) else None
        if rest == b"/":
            return True
        if rest and len(rest) >= 3 and rest.startswith(b":") and rest.endswith(b"/"):
            if all(c in DIGITS for c in rest[1:-1]):
                return True
    return False


def installer_file_name(url):
    """The package's file name at the end of the msi URL, or b"" when the program would refuse it."""
    name = url.rpartition(b"/")[2]
    allowed = b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_."
    if not 5 <= len(name) <= 80 or not name.endswith(b".msi") or any(c not in allowed for c in name):
        return b""
    return name
