#!/usr/bin/env bash
# tests/windows/windows_stage.sh LINUX_BIN: CI's Windows stage. Builds the Windows program and
# the core's test programs (scripts/build-windows.sh), runs the test programs under Wine in a
# throw-away prefix, then the Windows nivra-cli.exe against the Linux simulator through a COM
# port (com_port_end_to_end.sh; LINUX_BIN holds the Linux nivra-cli and nivra-counter-sim).
set -euo pipefail
linux_bin=$(cd "$1" && pwd)
cd "$(dirname "$0")/../.."
root=$PWD

scripts/build-windows.sh

source tests/windows/wine_prefix.sh
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/nivra-wine-tests-XXXXXX)
trap stop_wine_prefix EXIT
start_wine_prefix "$WINEPREFIX"
(cd build-windows && ctest --output-on-failure -L windows)

tests/windows/com_port_end_to_end.sh "$linux_bin" "$root/build-windows/bin"
