#!/usr/bin/env bash
# Installs what is missing, builds a Release build into build/ and runs Nivra-USB in the
# workspace folder ./workspace with two simulated counters.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
scripts/deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=Release -DNIVRA_TESTS=OFF -DNIVRA_BENCH=OFF

workspace=$root/workspace
mkdir -p "$workspace/assay_config" "$workspace/counter_config" "$workspace/backup_data"
cd "$workspace"
printf '[CONFIG]\r\nPORT1=%s/ttySIM0\r\n' "$workspace" > port_config.pfx

"$root/build/bin/nivra-counter-sim" --port "$workspace/ttySIM0:1,2" --rate 3 < /dev/null &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$workspace/ttySIM0" ] && break; sleep 0.1; done

"$root/build/bin/nivra-cli" discover
