#!/usr/bin/env python3
"""The vendor side of the update manifest: keys, signing and a check of signed documents.

    export TONVIRA_KEY_PASSPHRASE=...     # the private keys' passphrase, for keygen, encrypt-key and sign
    tonvira_release.py keygen --private p1.pem --public p1.blob
    tonvira_release.py encrypt-key --private old.pem --encrypted p1.pem
    tonvira_release.py keys-file --p1 p1.blob [--b1 b1.blob] > update-keys.txt
    tonvira_release.py sign --private p1.pem --package tonvira-1.5.0-x64.msi
                            (--last-seq-file seq.txt | --published cap-nhat.txt) MANIFEST SIGNED
    tonvira_release.py verify --public p1.blob [--public b1.blob] SIGNED

keygen makes a P-256 key pair: the private key as PKCS#8 PEM encrypted with the passphrase in
TONVIRA_KEY_PASSPHRASE (created new, mode 600, never overwriting a file) and the public key as the
program's 72-byte blob ("ECS1", the key length 32 little-endian, X, Y). encrypt-key writes an
unencrypted private key (from an older keygen) anew, encrypted. keys-file writes the build's key
file (the CMake cache variable TONVIRA_UPDATE_KEYS).

sign refuses, writing nothing, a manifest that the program would refuse or quietly ignore in
part, a package whose file name, size, SHA-256 or ProductVersion (read with msiinfo) differ from
the manifest's, a version outside Windows Installer's limits (major and minor at most 255, build
at most 65535, no fourth field), and a seq that is not above the last published one or is more
than 1000000 past it. The last published seq comes from --last-seq-file (one decimal number; write
0 there before the first publication), from --published (the signed manifest now online), or from
the larger of both. sign then appends "sig=" and the Base64 of r and s (32 bytes each, big-endian),
replaces SIGNED whole, and only then writes the new seq to the state file.

verify prints "accepted" (exit 0) when a document's envelope and signature check out and its
signed part passes the program's parse, else "refused" (exit 1). The program's own check,
with its own code, is `tonvira-manifest verify`.

Keep private keys off the repository and off build machines that do not sign.
"""

import argparse
import base64
import os
import struct
import sys
import tempfile

sys.dont_write_bytecode = True  # keep the tool's folder free of caches, whoever runs it

from cryptography.exceptions import InvalidSignature
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.hazmat.primitives.asymmetric.utils import decode_dss_signature, encode_dss_signature

import release_checks
from manifest_rules import ACCEPTED, parse_manifest

PASSPHRASE_VARIABLE = "TONVIRA_KEY_PASSPHRASE"
BLOB_HEADER = b"ECS1" + struct.pack("<I", 32)
MARKER = b"\nsig="
MAX_DOCUMENT = 16384


class Refused(Exception):
    """A problem the maintainer must fix; the tool stops and writes nothing."""


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
    """The envelope, the signature and the parse of the signed part, as the program checks them."""
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
        except InvalidSignature:
            continue
        return parse_manifest(signed_part)[0] == ACCEPTED
    return False


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write_new(path, data, mode):
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, mode)
    with os.fdopen(fd, "wb") as f:
        f.write(data)


def write_replacing(path, data):
    """Writes the whole file or leaves the old one: a reader never sees half a manifest."""
    fd, temporary = tempfile.mkstemp(dir=os.path.dirname(os.path.abspath(path)), prefix=".tonvira-")
    try:
        with os.fdopen(fd, "wb") as f:
            f.write(data)
            f.flush()
            os.fsync(f.fileno())
        os.chmod(temporary, 0o644)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def passphrase():
    value = os.environ.get(PASSPHRASE_VARIABLE, "")
    if not value:
        raise Refused("set %s to the passphrase of the private keys" % PASSPHRASE_VARIABLE)
    return value.encode("utf-8")


def encrypted_pem(key):
    return key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                             serialization.BestAvailableEncryption(passphrase()))


def load_private(path, encrypted=True):
    try:
        key = serialization.load_pem_private_key(read(path), password=passphrase() if encrypted else None)
    except TypeError:
        if encrypted:
            raise Refused("%s is not encrypted: write it anew with encrypt-key" % path)
        raise Refused("%s is already encrypted" % path)
    except ValueError:
        raise Refused("%s: not a private key, or not this passphrase" % path)
    if not isinstance(key, ec.EllipticCurvePrivateKey) or key.curve.name != "secp256r1":
        raise Refused("%s is not a P-256 key" % path)
    return key


def last_published_seq(args):
    """The larger of the seq in the state file and the one of the manifest now published."""
    if not args.last_seq_file and not args.published:
        raise Refused("sign needs the last published seq: --last-seq-file or --published")
    seqs = []
    for path, read_seq in ((args.last_seq_file, release_checks.last_seq_from_file),
                           (args.published, release_checks.last_seq_from_published)):
        if not path:
            continue
        try:
            seqs.append(read_seq(read(path)))
        except FileNotFoundError:
            raise Refused("%s does not exist (before the first publication, write 0 there)" % path)
        except ValueError as error:
            raise Refused("%s: %s" % (path, error))
    return max(seqs)


def sign_release(args):
    manifest_text = read(args.manifest)
    problems, manifest = release_checks.manifest_problems(manifest_text)
    if manifest is not None:
        problems += release_checks.seq_problems(manifest.seq, last_published_seq(args))
        name = os.path.basename(args.package).encode("utf-8", "surrogateescape")
        problems += release_checks.package_problems(manifest, args.package, name)
    if problems:
        raise Refused("%s not signed:\n  %s" % (args.manifest, "\n  ".join(problems)))
    key = load_private(args.private)
    document = sign_document(key, manifest_text)
    # The document as a client will see it, checked before it replaces anything.
    if not verify_document(document, [key.public_key()]):
        raise Refused("the signed document does not verify")
    write_replacing(args.signed, document)
    if args.last_seq_file:
        write_replacing(args.last_seq_file, b"%d\n" % manifest.seq)
    print("%s: version %s, seq %d" % (args.signed, manifest.version.decode(), manifest.seq))


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    keygen = commands.add_parser("keygen", help="make a key pair")
    keygen.add_argument("--private", required=True, help="where the private key goes (a new file)")
    keygen.add_argument("--public", required=True, help="where the 72-byte public blob goes")
    encrypt = commands.add_parser("encrypt-key", help="write an unencrypted private key anew, encrypted")
    encrypt.add_argument("--private", required=True, help="the unencrypted key")
    encrypt.add_argument("--encrypted", required=True, help="where the encrypted key goes (a new file)")
    keys_file = commands.add_parser("keys-file", help="print the build's key file")
    keys_file.add_argument("--p1", required=True)
    keys_file.add_argument("--b1")
    sign = commands.add_parser("sign", help="check a manifest and its package, then sign it")
    sign.add_argument("--private", required=True)
    sign.add_argument("--package", required=True, help="the MSI the manifest offers")
    sign.add_argument("--last-seq-file", help="holds the last published seq; updated after signing")
    sign.add_argument("--published", help="the signed manifest now published")
    sign.add_argument("manifest")
    sign.add_argument("signed")
    verify = commands.add_parser("verify", help="check a signed document as the program does")
    verify.add_argument("--public", action="append", required=True)
    verify.add_argument("document")
    args = parser.parse_args(argv)

    try:
        return run_command(args)
    except (Refused, OSError) as problem:
        sys.stderr.write("tonvira_release.py: %s\n" % problem)
        return 1


def run_command(args):
    if args.command == "keygen":
        key = ec.generate_private_key(ec.SECP256R1())
        pem = encrypted_pem(key)
        write_new(args.private, pem, 0o600)
        write_new(args.public, public_blob(key.public_key()), 0o644)
        return 0
    if args.command == "encrypt-key":
        write_new(args.encrypted, encrypted_pem(load_private(args.private, encrypted=False)), 0o600)
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
        sign_release(args)
        return 0
    keys = [public_key_from_blob(read(path)) for path in args.public]
    accepted = verify_document(read(args.document), keys)
    print("accepted" if accepted else "refused")
    return 0 if accepted else 1


if __name__ == "__main__":
    sys.exit(main())
