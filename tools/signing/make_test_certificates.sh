#!/usr/bin/env bash
# Makes a throw-away certificate authority and two code-signing certificates it issued, for the
# tests only: OUT/test-ca.pem (the authority, to verify against), OUT/signer.{pem,key} (the
# certificate test builds sign with and pin), OUT/other.{pem,key} (a second one, same authority,
# that the pin must refuse), and OUT/signer.sha256 and OUT/other.sha256 (each certificate's
# SHA-256 thumbprint: the digest of its DER form, 64 lower-case hex digits).
#   tools/signing/make_test_certificates.sh build/signing
# The authority's own key is thrown away once both are issued; the signing keys are unprotected:
# never use any of this for a release.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cat >"$scratch/ca.cnf" <<'CNF'
[req]
distinguished_name = dn
prompt = no
[dn]
CN = Tonvira Test CA (not for release)
O = Tonvira tests
[ca]
basicConstraints = critical, CA:true
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[signer]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
CNF

openssl req -x509 -new -newkey rsa:2048 -nodes -sha256 -days 3650 -config "$scratch/ca.cnf" \
  -extensions ca -keyout "$scratch/ca.key" -out test-ca.pem 2>/dev/null
for name in signer other; do
  openssl req -new -newkey rsa:2048 -nodes -subj "/CN=Tonvira Test ${name^} (not for release)/O=Tonvira tests" \
    -keyout "$name.key" -out "$scratch/$name.csr" 2>/dev/null
  openssl x509 -req -in "$scratch/$name.csr" -CA test-ca.pem -CAkey "$scratch/ca.key" -CAcreateserial \
    -CAserial "$scratch/serial" -days 3650 -sha256 -extfile "$scratch/ca.cnf" -extensions signer \
    -out "$name.pem" 2>/dev/null
  openssl x509 -in "$name.pem" -outform DER | sha256sum | cut -c1-64 >"$name.sha256"
done
chmod 600 ./*.key
