"""What `tonvira_release.py sign` checks before it signs: each function returns a list of problems
(empty when all is well), worded for the maintainer who has to fix the manifest or the package.

Beyond the program's own parse, a release refuses what the program would quietly drop or never
act on: an unknown or repeated key (a typo such as "mni=" would lose the minimum), a note the
update window would not show, a channel other than "stable", an msi URL the updater would not
download, a seq that does not grow or jumps far ahead (a client never accepts a seq below the
highest it has seen, so a seq published by mistake far ahead ends updates for every client that
saw it), and a package that does not match the manifest.
"""

import hashlib
import subprocess

from manifest_rules import (ACCEPTED, KEYS, MAX_NOTES, compare_versions, dotted_parts, installer_file_name,
                            is_showable_note, is_short_decimal, parse_manifest, url_allowed)

# How far one publication may move seq ahead of the last one. Generous for any numbering a
# maintainer might use (counters, dates as 20250301), and small enough that a slip of the keyboard
# cannot spend the 19 digits a client will ever accept.
MAX_SEQ_STEP = 1000000

# Windows Installer reads ProductVersion as major.minor.build and ignores a fourth field, so two
# packages that differ only there are the same version to it and neither upgrades the other.
MAX_MAJOR = MAX_MINOR = 255
MAX_BUILD = 65535


def _text(value):
    return value.decode("utf-8", "replace")


def manifest_problems(text):
    """The program's parse, then what the program would drop or ignore. Returns (problems, manifest)."""
    problems = []
    try:
        text.decode("utf-8")
    except UnicodeDecodeError:
        problems.append("the manifest is not UTF-8 text")
    outcome, manifest, why = parse_manifest(text)
    if outcome != ACCEPTED:
        problems.append("the program would refuse it (%s): %s" % (outcome, why))
    seen, notes = set(), 0
    for line in text.split(b"\n")[1:]:
        key, equals, value = line.partition(b"=")
        if not equals:
            continue
        if key not in KEYS:
            problems.append("unknown key %r (the program ignores it)" % _text(key))
        elif key == b"note":
            notes += 1
            if not is_showable_note(value):
                problems.append("note %r: the program drops notes that are empty, over 400 bytes or hold a "
                                "control character, < or >" % _text(value))
        elif key in seen:
            problems.append("%s appears twice (the program keeps the last)" % _text(key))
        seen.add(key)
    if notes > MAX_NOTES:
        problems.append("%d notes: the program shows the first %d" % (notes, MAX_NOTES))
    if manifest is None:
        return problems, None
    if manifest.channel != b"stable":
        problems.append("channel is %r: the program only takes stable" % _text(manifest.channel))
    if not url_allowed(manifest.msi):
        problems.append("msi must be an https URL (plain http only to 127.0.0.1 or localhost)")
    if not installer_file_name(manifest.msi):
        problems.append("msi must end in a file name of 5 to 80 bytes, A-Z a-z 0-9 - _ ., ending in .msi")
    if manifest.min is not None and compare_versions(manifest.version, manifest.min) < 0:
        problems.append("min %s is above version %s: the program would not enforce it"
                        % (_text(manifest.min), _text(manifest.version)))
    major, minor, build, fourth = dotted_parts(manifest.version)
    if major > MAX_MAJOR or minor > MAX_MINOR or build > MAX_BUILD or fourth:
        problems.append("version %s is outside what Windows Installer compares: major and minor at most 255, "
                        "build at most 65535, no fourth field" % _text(manifest.version))
    return problems, manifest


def product_version(package):
    """The ProductVersion property of an MSI, read with msiinfo (msitools)."""
    try:
        run = subprocess.run(["msiinfo", "export", package, "Property"], capture_output=True)
    except FileNotFoundError:
        raise RuntimeError("msiinfo not found: apt-get install msitools")
    if run.returncode != 0:
        raise RuntimeError("%s: not an MSI package (msiinfo: %s)" % (package, _text(run.stderr).strip()))
    # An exported table: a header of three lines, then one row per line, columns tab-separated.
    for row in run.stdout.split(b"\n")[3:]:
        name, _, value = row.rstrip(b"\r").partition(b"\t")
        if name == b"ProductVersion":
            return value
    raise RuntimeError("%s has no ProductVersion" % package)


def package_problems(manifest, package, name):
    """The package as the updater would download and check it. name is the file's own name."""
    problems = []
    if name != installer_file_name(manifest.msi):
        problems.append("the package is %s but the msi URL names %s" % (_text(name), _text(manifest.msi)))
    digest, size = hashlib.sha256(), 0
    with open(package, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
            size += len(block)
    if manifest.size != size:
        problems.append("size=%d but the package holds %d bytes" % (manifest.size, size))
    if manifest.sha256 != digest.hexdigest().encode():
        problems.append("sha256=%s but the package's is %s" % (_text(manifest.sha256), digest.hexdigest()))
    try:
        version = product_version(package)
    except RuntimeError as error:
        return problems + [str(error)]
    # Compared as dotted versions: a ProductVersion of 1.4.13 is the manifest's 1.4.13.0. The
    # manifest's version is held to Windows Installer's limits, so an equal one is too.
    if compare_versions(version, manifest.version) != 0:
        problems.append("the package's ProductVersion is %s, the manifest's version %s"
                        % (_text(version), _text(manifest.version)))
    return problems


def seq_problems(seq, last):
    if seq <= last:
        return ["seq=%d does not grow: the last published is %d (clients refuse it as a replay)" % (seq, last)]
    if seq - last > MAX_SEQ_STEP:
        return ["seq=%d is more than %d past the last published %d" % (seq, MAX_SEQ_STEP, last)]
    return []


def last_seq_from_file(text):
    """The seq kept in a state file: one decimal number (0 before the first publication)."""
    value = text.strip()
    if not is_short_decimal(value):
        raise ValueError("not a decimal seq")
    return int(value)


def last_seq_from_published(document):
    """The seq of the manifest now published (a signed document)."""
    at = document.find(b"\nsig=")
    outcome, manifest, why = parse_manifest(document[:at + 1] if at >= 0 else document)
    if at < 0 or manifest is None:
        raise ValueError("not a signed manifest the program accepts (%s)" % (why or "no sig= line"))
    return manifest.seq
