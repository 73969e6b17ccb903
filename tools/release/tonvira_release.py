#!/usr/bin/env python3
"""The vendor side of the update manifest: keys, signing and a signature check.

    tonvira_release.py keygen --private p1.pem --public p1.blob
    tonvira_release.py keys-file --p1 p1.blob [--b1 b1.blob] > update-keys.txt
    tonvira_release.py sign --private p1.pem MANIFEST SIGNED [MANIFEST SIGNED ...]
    tonvira_release.py verify --public p1.blob [--public b1.blob] SIGNED

keygen makes a P-256 key pair: the private key as PKCS#8 PEM (created new, mode 600, never
overwriting a file) and the public key as the program's 72-byte blob ("ECS1", the key length
32 little-endian, X, Y). keys-file writes the build's key file (the CMake cache variable
TONVIRA_UPDATE_KEYS). sign appends "sig=" and the Base64 of r and s (32 bytes each, big-endian)
to a manifest whose last line ends in LF. verify checks the envelope and the signature only and
prints "accepted" or "refused" (exit 0 or 1); the full check of the manifest, with the program's
own code, is `tonvira-manifest verify`.

Keep private keys off the repository and off build machines that do not sign.
"""

import argparse
import base64
import os
import struct
import sys

from cryptography.exceptions import InvalidSignature
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.hazmat.primitives.asymmetric.utils import decode_dss_signature, encode_dss_signature

BLOB_HEADER = b"ECS1" + struct.pack("<I", 32)
MARKER = b"\nsig="
MAX_DOCUMENT = 16384


def public_blob(public_key):
    numbers = public_key.public_numbers()
    return BLOB_HEADER + numbers.x.to_bytes(32, "big") + numbers.y.to_bytes(32, "big")


def public_key_from_blob(blob):
    if len(blob) != 72 or blob[:8] != BLOB_HEADER:
        raise ValueError("not a 72-byte P-256 public key blob")
    x = int.from_bytes(blob[8:40], "big")
    y = int.from_bytes(blob[40:72], "big")
    return ec.EllipticCurvePublicNumbers(x, y, ec.SECP256R1()).public_key()


def signature_text(private_key, signed_part):
    r, s = decode_dss_signature(private_key.sign(signed_part, ec.ECDSA(hashes.SHA256())))
    return base64.b64encode(r.to_bytes(32, "big") + s.to_bytes(32, "big"))


def sign_document(private_key, manifest):
    if not manifest.endswith(b"\n"):
        raise ValueError("the manifest's last line must end in LF")
    if MARKER in manifest or manifest.startswith(b"sig="):
        raise ValueError("the manifest already holds a sig= line")
    return manifest + b"sig=" + signature_text(private_key, manifest) + b"\n"


def verify_document(document, public_keys):
    """The envelope and the signature, as the program checks them."""
    if not 5 <= len(document) <= MAX_DOCUMENT:
        return False
    at = document.find(MARKER)
    if at < 0:
        return False
    signed_part, text = document[:at + 1], document[at + len(MARKER):]
    if text.endswith(b"\n"):
        text = text[:-1]
    if len(text) != 88 or not text.endswith(b"==") or b"\n" in text:
        return False
    alphabet = b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
    if any(c not in alphabet for c in text[:86]) or alphabet.index(text[85]) & 0x0F:
        return False
    raw = base64.b64decode(text, validate=True)
    der = encode_dss_signature(int.from_bytes(raw[:32], "big"), int.from_bytes(raw[32:], "big"))
    for key in public_keys:
        try:
            key.verify(der, signed_part, ec.ECDSA(hashes.SHA256()))
            return True
        except InvalidSignature:
            continue
    return False


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write_new(path, data, mode):
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, mode)
    with os.fdopen(fd, "wb") as f:
        f.write(data)


def load_private(path):
    return serialization.load_pem_private_key(read(path), password=None)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    keygen = commands.add_parser("keygen", help="make a key pair")
    keygen.add_argument("--private", required=True, help="where the private key goes (a new file)")
    keygen.add_argument("--public", required=True, help="where the 72-byte public blob goes")
    keys_file = commands.add_parser("keys-file", help="print the build's key file")
    keys_file.add_argument("--p1", required=True)
    keys_file.add_argument("--b1")
    sign = commands.add_parser("sign", help="sign manifests")
    sign.add_argument("--private", required=True)
    sign.add_argument("pairs", nargs="+", metavar="MANIFEST SIGNED")
    verify = commands.add_parser("verify", help="check a signed document's signature")
    verify.add_argument("--public", action="append", required=True)
    verify.add_argument("document")
    args = parser.parse_args(argv)

    if args.command == "keygen":
        key = ec.generate_private_key(ec.SECP256R1())
        pem = key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                                serialization.NoEncryption())
        write_new(args.private, pem, 0o600)
        write_new(args.public, public_blob(key.public_key()), 0o644)
        return 0
    if args.command == "keys-file":
        for slot in ("p1", "b1"):
            path = getattr(args, slot)
            if path:
                blob = read(path)
                public_key_from_blob(blob)
                sys.stdout.write("%s=%s\n" % (slot, blob.hex()))
        return 0
    if args.command == "sign":
        if len(args.pairs) % 2:
            parser.error("sign takes pairs of MANIFEST SIGNED")
        key = load_private(args.private)
        for source, target in zip(args.pairs[0::2], args.pairs[1::2]):
            with open(target, "wb") as f:
                f.write(sign_document(key, read(source)))
        return 0
    keys = [public_key_from_blob(read(path)) for path in args.public]
    accepted = verify_document(read(args.document), keys)
    print("accepted" if accepted else "refused")
    return 0 if accepted else 1


if __name__ == "__main__":
    sys.exit(main())
