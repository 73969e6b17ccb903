#!/usr/bin/env python3
"""Signs manifests for the tests exactly as they are given, including ones the program must refuse.

    TONVIRA_KEY_PASSPHRASE=... sign_for_tests.py --private KEY.pem MANIFEST SIGNED [MANIFEST SIGNED ...]

The release command (tonvira_release.py sign) signs only what the program would accept, with its
package at hand; the tests also need a CRLF manifest, a seq of 0 or a package that is not one.
This uses the release tool's own signing and key loading, so the bytes are the vendor's.
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "release"))

import tonvira_release  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--private", required=True)
    parser.add_argument("pairs", nargs="+", metavar="MANIFEST SIGNED")
    args = parser.parse_args()
    if len(args.pairs) % 2:
        parser.error("takes pairs of MANIFEST SIGNED")
    try:
        key = tonvira_release.load_private(args.private)
    except tonvira_release.Refused as problem:
        sys.exit("sign_for_tests.py: %s" % problem)
    for source, target in zip(args.pairs[0::2], args.pairs[1::2]):
        with open(target, "wb") as f:
            f.write(tonvira_release.sign_document(key, tonvira_release.read(source)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
