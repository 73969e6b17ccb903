#!/usr/bin/env bash
# Checks the Authenticode signatures of a build's packages and of the executables inside them:
# each verifies against the certificate authority, and a copy with one byte changed does not.
#   packaging/check_signatures.sh BUILD_DIR CA.pem
# Only osslsigncode's exit codes are read, never its wording (it differs between versions).
set -euo pipefail
build=$1
ca=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
files=("$build"/packaging/tonvira-*.msi "$build"/packaging/stage-*/tonvira.exe)
[[ -f ${files[0]} ]] || { echo "check_signatures: no package in $build/packaging" >&2; exit 1; }
failed=0
for file in "${files[@]}"; do
  name=${file#"$build"/packaging/}
  if ! osslsigncode verify -CAfile "$ca" -in "$file" >"$scratch/verify.log" 2>&1; then
    echo "FAIL $name: does not verify against $ca" >&2
    cat "$scratch/verify.log" >&2
    failed=1
    continue
  fi
  # One byte in the middle of the file, which lies inside what the signature covers.
  changed="$scratch/changed-$(basename "$file")"
  cp "$file" "$changed"
  python3 -c 'import sys
p = sys.argv[1]
b = bytearray(open(p, "rb").read())
b[len(b) // 2] ^= 0xFF
open(p, "wb").write(b)' "$changed"
  if osslsigncode verify -CAfile "$ca" -in "$changed" >/dev/null 2>&1; then
    echo "FAIL $name: a copy with one byte changed still verifies" >&2
    failed=1
    continue
  fi
  echo "signed: $name verifies; a copy with one byte changed does not"
done
exit $failed
