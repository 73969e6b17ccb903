#!/usr/bin/env bash
# Builds the fcitx5 input method and its Debian package on Debian 12; prints the package's path.
#   fcitx5/build_package.sh   then   sudo apt install ./build/release/packages/tonvira-fcitx5_*_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup/ensure_packages.sh cmake ninja-build g++ libssl-dev libcurl4-openssl-dev \
  libfcitx5core-dev libfcitx5utils-dev libfcitx5config-dev fcitx5-modules-dev
cmake --preset release >&2
cmake --build --preset release --target tonvira_fcitx5 >&2
(cd build/release && cpack -G DEB >&2)
ls "$PWD"/build/release/packages/tonvira-fcitx5_*_amd64.deb
