#!/usr/bin/env bash
# Authenticode-signs one file (an executable or an MSI) with osslsigncode:
#   packaging/sign_file.sh IN OUT
# The build passes its signing inputs in the environment: TONVIRA_SIGN_CERT (the certificate,
# PEM, with the chain to the authority after it), TONVIRA_SIGN_KEY (its private key, PEM),
# TONVIRA_TIMESTAMP_URL (an RFC 3161 time-stamping service; without one the signature stops
# verifying when the certificate expires) and, for an encrypted key, TONVIRA_SIGN_KEY_PASSPHRASE.
# Without a certificate OUT is an unsigned copy of IN (a build that signs nothing).
# Only osslsigncode's exit code is read, never its wording (it differs between versions).
set -euo pipefail
in=$1
out=$2
rm -f "$out"
if [[ -z ${TONVIRA_SIGN_CERT:-} ]]; then
  cp "$in" "$out"
  exit 0
fi
args=(sign -certs "$TONVIRA_SIGN_CERT" -key "$TONVIRA_SIGN_KEY" -h sha256 -n Tonvira)
if [[ -n ${TONVIRA_TIMESTAMP_URL:-} ]]; then args+=(-ts "$TONVIRA_TIMESTAMP_URL"); fi
if [[ -n ${TONVIRA_SIGN_KEY_PASSPHRASE:-} ]]; then
  # Read from a pipe, never from the command line that every process can see.
  args+=(-readpass /dev/stdin)
fi
if ! printf '%s' "${TONVIRA_SIGN_KEY_PASSPHRASE:-}" | osslsigncode "${args[@]}" -in "$in" -out "$out" >"$out.log" 2>&1; then
  cat "$out.log" >&2
  rm -f "$out" "$out.log"
  echo "sign_file.sh: osslsigncode could not sign $in" >&2
  exit 1
fi
rm -f "$out.log"
