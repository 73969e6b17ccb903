#!/usr/bin/env bash
# The main job: builds tonvira-sim and types ARGS (or standard input) through it.
# Standard output carries only tonvira-sim's output; everything else goes to standard error.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup/ensure_packages.sh cmake ninja-build g++ libssl-dev libcurl4-openssl-dev
{
  cmake --preset release
  cmake --build --preset release --target tonvira-sim
} >&2
exec build/release/sim/tonvira-sim "$@"
