#!/usr/bin/env python3
"""Collect real domain names and user names (the part of an e-mail address before the @)
from the packages the data generator unpacks, for tools/eval/kept.py.

    python3 tools/eval/names.py --work /tmp/datagen-work

writes tools/eval/names.txt: one name a line, domains first, each part sorted. Only the
generator's own packages are read (tools/datagen/fetch.py); nothing is downloaded here.
"""

import argparse
import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))

TLDS = ("com|org|net|io|de|vn|info|edu|gov|uk|fr|jp|eu|ca|ch|it|nl|ru|cz|pl|br|au|me|us|tv|cc|co|"
        "dev|app")
DOMAIN = re.compile(rb"(?<![A-Za-z0-9@._-])((?:[a-z0-9][a-z0-9-]*\.)+(?:" + TLDS.encode() +
                    rb"))(?![A-Za-z0-9-])")
USER = re.compile(rb"(?<![A-Za-z0-9._+-])([a-z][a-z0-9._-]{1,30})@(?:[a-z0-9-]+\.)+[a-z]{2,}")
SKIPPED_MAGIC = (b"\x89PNG", b"OggS", b"RIFF")
MAX_FILE = 8_000_000


def collect(root):
    domains, users = set(), set()
    for folder, _dirs, files in os.walk(root):
        for name in sorted(files):
            path = os.path.join(folder, name)
            if os.path.islink(path) or os.path.getsize(path) > MAX_FILE:
                continue
            with open(path, "rb") as f:
                data = f.read()
            if data[:4] in SKIPPED_MAGIC:
                continue
            domains.update(m.decode() for m in DOMAIN.findall(data))
            users.update(m.decode() for m in USER.findall(data))
    return sorted(domains), sorted(users - set(domains))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--work", required=True, help="the data generator's work folder")
    parser.add_argument("--out", default=os.path.join(HERE, "names.txt"))
    args = parser.parse_args()
    domains, users = collect(os.path.join(args.work, "root"))
    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(n + "\n" for n in domains + users))
    print("%d domain names, %d user names -> %s" % (len(domains), len(users), args.out))


if __name__ == "__main__":
    main()
