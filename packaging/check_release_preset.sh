#!/usr/bin/env bash
# The windows-release preset refuses to configure without its inputs, naming each, and refuses
# test values it cannot ship (a plain http manifest, a loopback banner server); with real-looking
# inputs it configures. Each run uses a fresh build folder, so no cached value carries over.
#   packaging/check_release_preset.sh KEYS_FILE SIGNING_DIR
set -uo pipefail
keys=$1
signing=$2
scratch=$(mktemp -d /tmp/tonvira-release-preset.XXXXXX)
trap '[[ -n ${KEEP:-} ]] || rm -rf "$scratch"' EXIT
failed=0

# configure NAME ARGS...: configures the preset in a folder of its own; its output in $scratch/NAME.log.
configure() {
  local name=$1
  shift
  cmake --preset windows-release -B "$scratch/$name" "$@" >"$scratch/$name.log" 2>&1
}
# refused NAME WHAT ARGS...: the configuration fails and its message names WHAT.
refused() {
  local name=$1 what=$2
  shift 2
  if configure "$name" "$@"; then
    echo "FAIL release preset $name: configured" >&2
    failed=1
  elif ! grep -q "$what" "$scratch/$name.log"; then
    echo "FAIL release preset $name: the message does not name $what" >&2
    cat "$scratch/$name.log" >&2
    failed=1
  else
    echo "release preset $name: refused, naming $what"
  fi
}

inputs=(-DTONVIRA_UPDATE_KEYS="$keys" -DTONVIRA_SIGN_CERT="$signing/signer.pem" -DTONVIRA_SIGN_KEY="$signing/signer.key"
  -DTONVIRA_TIMESTAMP_URL=http://timestamp.example.test -DTONVIRA_SIGNER_1="$(cat "$signing/signer.sha256")")
# Without inputs: one refusal that names every missing one.
refused without-inputs TONVIRA_UPDATE_KEYS
for what in TONVIRA_SIGN_CERT TONVIRA_SIGN_KEY TONVIRA_TIMESTAMP_URL TONVIRA_SIGNER_1; do
  grep -q "$what" "$scratch/without-inputs.log" || { echo "FAIL release preset without-inputs: $what not named" >&2; failed=1; }
done
refused http-manifest TONVIRA_MANIFEST_URL "${inputs[@]}" -DTONVIRA_MANIFEST_URL=http://127.0.0.1:18093/cap-nhat.txt
refused loopback-banner TONVIRA_BANNER_HOST "${inputs[@]}" -DTONVIRA_BANNER_HOST=127.0.0.1:18090
refused no-timestamp TONVIRA_TIMESTAMP_URL "${inputs[@]}" -DTONVIRA_TIMESTAMP_URL=
if configure with-inputs "${inputs[@]}"; then
  echo "release preset with-inputs: configured"
else
  echo "FAIL release preset with-inputs: did not configure" >&2
  tail -n 20 "$scratch/with-inputs.log" >&2
  failed=1
fi
exit $failed
