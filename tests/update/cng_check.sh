#!/usr/bin/env bash
# The signature check on real Windows APIs: tonvira-manifest.exe verifies, under Wine and so
# through CNG (bcrypt.dll), documents the release tool signed, and must print what the native
# build (libcrypto) prints for each: accepted with the same fields, or refused. Then the release
# tool's own tests run with the native build as the program's verifier, so the tool's field rules
# are checked against the program's.
#
#   tests/update/cng_check.sh build/windows/tools/manifest/tonvira-manifest.exe \
#                             build/release/tools/manifest/tonvira-manifest
set -euo pipefail
cd "$(dirname "$0")/../.."
windows_exe=$(realpath "$1")
native_exe=$(realpath "$2")
release_tool=tools/release/tonvira_release.py
# Throw-away keys; the tests' signer also signs what the release command would refuse.
signer=tests/update/sign_for_tests.py
export TONVIRA_KEY_PASSPHRASE=tonvira-cng-check
wine=/usr/lib/wine/wine64

dir=$(mktemp -d /tmp/tonvira-cng.XXXXXX)
export WINEPREFIX="$dir/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT

for key in p1 b1 stranger; do
  python3 -B "$release_tool" keygen --private "$dir/$key.pem" --public "$dir/$key.blob"
done
cat >"$dir/manifest" <<'TEXT'
TONVIRA-UPDATE 1
product=tonvira
channel=stable
version=1.5.0
min=1.4.12
published=2025-03-01
msi=https://updates.tonvira.test/tonvira-1.5.0.msi
sha256=9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08
seq=42
size=3145728
note=Gõ nhanh hơn trong Excel
TEXT
python3 -B "$signer" --private "$dir/p1.pem" "$dir/manifest" "$dir/by-p1"
python3 -B "$signer" --private "$dir/b1.pem" "$dir/manifest" "$dir/by-b1"
python3 -B "$signer" --private "$dir/stranger.pem" "$dir/manifest" "$dir/by-stranger"
sed 's/^seq=42$/seq=43/' "$dir/by-p1" >"$dir/tampered"
"$wine" wineboot -i >"$dir/wineboot.log" 2>&1

failures=0
check() {
  local name=$1 expected=$2 document=$3
  local windows native windows_rc=0 native_rc=0
  (cd "$dir" && "$wine" "$windows_exe" verify --key p1.blob --key b1.blob "$(basename "$document")") \
    >"$dir/windows.out" 2>"$dir/windows.err" || windows_rc=$?
  "$native_exe" verify --key "$dir/p1.blob" --key "$dir/b1.blob" "$document" >"$dir/native.out" || native_rc=$?
  windows=$(tr -d '\r' <"$dir/windows.out")
  native=$(cat "$dir/native.out")
  printf '%-32s CNG: %s (exit %d)   libcrypto: %s (exit %d)\n' "$name" "${windows%%$'\n'*}" "$windows_rc" \
    "${native%%$'\n'*}" "$native_rc"
  if [[ "${windows%%$'\n'*}" != "$expected" || "$windows" != "$native" || $windows_rc -ne $native_rc ]]; then
    echo "  FAILED: expected $expected, the same lines and exit code from both" >&2
    cat "$dir/windows.err" >&2
    failures=$((failures + 1))
  fi
}
check "signed by p1" accepted "$dir/by-p1"
check "signed by b1 (second slot)" accepted "$dir/by-b1"
check "tampered (seq 42 -> 43)" refused "$dir/tampered"
check "signed by a stranger" refused "$dir/by-stranger"

echo "release tool against the program's verifier:"
if ! TONVIRA_MANIFEST_TOOL="$native_exe" python3 -B -m unittest discover -q -s tools/release -p 'test_*.py' \
  >"$dir/release.out" 2>&1; then
  cat "$dir/release.out" >&2
  failures=$((failures + 1))
fi
tail -n 1 "$dir/release.out"
[[ $failures -eq 0 ]] || exit 1
