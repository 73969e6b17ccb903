#!/usr/bin/env bash
# Installs the Debian packages named as arguments that are not installed yet.
# Quiet when everything is there; all output goes to standard error.
set -euo pipefail
missing=()
for pkg in "$@"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q >&2
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
