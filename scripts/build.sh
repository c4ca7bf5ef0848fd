#!/usr/bin/env bash
# scripts/build.sh BUILD_DIR [CMAKE OPTIONS...]: configures (once) and builds a tree with Ninja.
set -euo pipefail
dir=$1
shift
cd "$(dirname "$0")/.."
mkdir -p "$dir"
cmake -S . -B "$dir" -G Ninja "$@" > "$dir/configure.log" 2>&1 || { cat "$dir/configure.log"; exit 1; }
cmake --build "$dir" -j "$(nproc)"
