"""The release tool's own round trip: keys, signing and its signature check."""

import os
import subprocess
import sys
import tempfile
import unittest

TOOL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "tonvira_release.py")
MANIFEST = b"TONVIRA-UPDATE 1\nproduct=tonvira\nseq=1\n"


def run(*args):
    return subprocess.run([sys.executable, "-B", TOOL] + list(args), capture_output=True)


class ReleaseToolTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.path = lambda name: os.path.join(self.folder.name, name)
        for key in ("p1", "b1"):
            self.assertEqual(run("keygen", "--private", self.path(key + ".pem"), "--public",
                                 self.path(key + ".blob")).returncode, 0)
        with open(self.path("manifest"), "wb") as f:
            f.write(MANIFEST)

    def tearDown(self):
        self.folder.cleanup()

    def test_key_files(self):
        with open(self.path("p1.blob"), "rb") as f:
            blob = f.read()
        self.assertEqual(len(blob), 72)
        self.assertEqual(blob[:8], b"ECS1\x20\x00\x00\x00")
        self.assertEqual(os.stat(self.path("p1.pem")).st_mode & 0o777, 0o600)
        # An existing private key is never overwritten.
        again = run("keygen", "--private", self.path("p1.pem"), "--public", self.path("other.blob"))
        self.assertNotEqual(again.returncode, 0)
        keys = run("keys-file", "--p1", self.path("p1.blob"), "--b1", self.path("b1.blob")).stdout.decode()
        self.assertEqual(keys.splitlines()[0], "p1=" + blob.hex())
        self.assertEqual(len(keys.splitlines()[1]), 3 + 144)

    def test_sign_and_verify(self):
        self.assertEqual(run("sign", "--private", self.path("b1.pem"), self.path("manifest"),
                             self.path("signed")).returncode, 0)
        with open(self.path("signed"), "rb") as f:
            signed = f.read()
        self.assertTrue(signed.startswith(MANIFEST + b"sig="))
        self.assertEqual(len(signed), len(MANIFEST) + 4 + 88 + 1)
        both = ["--public", self.path("p1.blob"), "--public", self.path("b1.blob")]
        self.assertEqual(run("verify", *both, self.path("signed")).stdout, b"accepted\n")
        self.assertEqual(run("verify", "--public", self.path("p1.blob"), self.path("signed")).returncode, 1)
        with open(self.path("tampered"), "wb") as f:
            f.write(signed.replace(b"seq=1", b"seq=2"))
        self.assertEqual(run("verify", *both, self.path("tampered")).stdout, b"refused\n")

    def test_refuses_a_manifest_it_cannot_sign(self):
        with open(self.path("no-lf"), "wb") as f:
            f.write(MANIFEST[:-1])
        self.assertNotEqual(run("sign", "--private", self.path("p1.pem"), self.path("no-lf"),
                                self.path("out")).returncode, 0)


if __name__ == "__main__":
    unittest.main()
