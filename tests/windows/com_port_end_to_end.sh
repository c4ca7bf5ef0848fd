#!/usr/bin/env bash
# tests/windows/com_port_end_to_end.sh LINUX_BIN WINDOWS_BIN: the Windows nivra-cli.exe under
# Wine against the Linux simulator through a COM port.
#
# The simulator serves counter 1 on a pseudo-terminal; a throw-away Wine prefix maps its COM5 to
# that pseudo-terminal (dosdevices/com5 is a link to it). Under Wine nivra-cli.exe tells its
# version, discovers the counter on COM5, lists the port and probes it for a port list, runs three two-second points into run1.dax and the
# run history, and prints the statistics, the assessment and the history. The Linux nivra-cli
# then prints the same statistics, assessment and history from the same files, and the data
# file the Linux program writes from the run's record (history import, then history export) is
# the Windows program's byte for byte.
set -euo pipefail
source "$(dirname "$0")/wine_prefix.sh"
linux_bin=$(cd "$1" && pwd)
windows_bin=$(cd "$2" && pwd)

sandbox=$(mktemp -d /tmp/nivra-wine-e2e-XXXXXX)
sim_pid=""
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    WINEPREFIX=$sandbox/wine stop_wine_prefix
    rm -rf "$sandbox"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

start_wine_prefix "$sandbox/wine" || fail "Wine could not make its prefix"
wine=(wine "$windows_bin/nivra-cli.exe")
# Wine writes its text-mode standard output with CR LF line ends, as Windows programs do.
unix_lines() { tr -d '\r'; }

version=$("${wine[@]}" --version 2>"$sandbox/wine.log" | unix_lines) ||
    fail "Wine: $(cat "$sandbox/wine.log")"
[ "$version" = "$("$linux_bin/nivra-cli" --version)" ] || fail "version: $version"

"$linux_bin/nivra-counter-sim" --port "$sandbox/ttySIM0:1" --rate 20 --seed 7 >"$sandbox/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do
    grep -q '^ready' "$sandbox/sim.log" && break
    sleep 0.1
done
grep -q '^ready' "$sandbox/sim.log" || fail "the simulator did not start: $(cat "$sandbox/sim.log")"
map_wine_com_port 5 "$(readlink "$sandbox/ttySIM0")" || fail "Wine could not map COM5"

ws=$sandbox/ws
mkdir -p "$ws/assay_config" "$ws/counter_config" "$ws/backup_data"
cd "$ws"
printf '[CONFIG]\r\nPORT1=COM5\r\n' >port_config.pfx
printf '[COUNTER CONFIG]\r\nCOUNTER NAME=alpha 1\r\nDESCRIPTION 0=bench counter, left\r\nDETECTOR AREA=100\r\nDETECTOR EFFICIENCY=0.500000\r\n' \
    >counter_config/counter1.ccx
printf '[ASSAY CONFIG]\r\nNAME=check\r\nSAMPLE_AREA=100\r\nDWELL HOURS=0\r\nDWELL MINUTES=0\r\nDWELL SECONDS=2\r\nTOTAL HOURS=0\r\nTOTAL MINUTES=0\r\nTOTAL SECONDS=6\r\nBACKGROUND=2.000000\r\nBACKGROUND_HOURS=4.000000\r\n' \
    >assay_config/check.acx

discovered=$("${wine[@]}" discover | unix_lines)
[ "$discovered" = "1 COM5" ] || fail "discover: $discovered"

# The port is listed as Windows lists its COM ports, and a probe writes the port list that finds
# the counter there, byte for byte with its CR LF line ends.
"${wine[@]}" ports >ports.out 2>ports.err || fail "ports: $(cat ports.out ports.err)"
unix_lines <ports.out | grep -q '^COM5: serial port (\\Device\\Serial[0-9]*)$' ||
    fail "ports: $(cat ports.out ports.err)"
"${wine[@]}" ports --probe >probed.pfx 2>probe.err || fail "ports --probe: $(cat probe.err)"
cmp -s probed.pfx <(printf '[CONFIG]\r\nPORT1=COM5\r\n') ||
    fail "ports --probe: $(od -c probed.pfx) $(cat probe.err)"

"${wine[@]}" run --counter 1 --assay assay_config/check.acx --out run1.dax >run.out 2>run.err ||
    fail "run: $(cat run.out run.err)"
grep -q '^point 3 ' run.out || fail "run: three points expected: $(cat run.out)"
grep -q '^saved file="run1.dax" points=3 ' run.out || fail "run: $(cat run.out)"
total=$(unix_lines <run.out | sed -n 's/^saved .* total_counts=\([0-9]*\)$/\1/p')
[ "${total:-0}" -gt 0 ] || fail "run: no counts: $(cat run.out)"

# Ctrl+C stops a run as on Linux (Wine hands SIGINT to the console's Ctrl+C handler): the run
# ends at once, saves what it has counted and exits with status 0.
sed 's/TOTAL SECONDS=6/TOTAL SECONDS=600/' assay_config/check.acx >assay_config/long.acx
"${wine[@]}" run --counter 1 --assay assay_config/long.acx --out stopped.dax >stop.out 2>stop.err &
run_pid=$!
for _ in $(seq 300); do
    grep -q '^counts ' stop.out && break
    sleep 0.1
done
kill -INT "$run_pid"
wait "$run_pid" || fail "the stopped run: $(cat stop.out stop.err)"
grep -q '^finished by=stop' stop.out || fail "the stopped run: $(cat stop.out stop.err)"
grep -q '^saved file="stopped.dax"' stop.out || fail "the stopped run: $(cat stop.out)"
"$linux_bin/nivra-cli" stats stopped.dax >/dev/null || fail "the stopped run's file"

# The same figures from the Windows and the Linux program, from the same files.
for command in "stats run1.dax" "assess run1.dax" "history"; do
    # shellcheck disable=SC2086
    windows=$("${wine[@]}" $command | unix_lines) || fail "$command under Wine"
    # shellcheck disable=SC2086
    linux=$("$linux_bin/nivra-cli" $command) || fail "$command on Linux"
    [ "$windows" = "$linux" ] || fail "$command differs:
--- Windows
$windows
--- Linux
$linux"
done
# A file name beyond ASCII reaches the Windows program whole (its UTF-16 command line).
cp run1.dax "Z$(printf '\303\244')hlung 1.dax"
[ "$("${wine[@]}" stats "Z$(printf '\303\244')hlung 1.dax" | unix_lines)" = \
    "$("$linux_bin/nivra-cli" stats run1.dax)" ] || fail "stats of a file named beyond ASCII"
# So does a folder named beyond ASCII that history import walks (into a history of its own).
folder="Z$(printf '\303\244')hlungen"
mkdir "$folder"
cp run1.dax "$folder/run 2.dax"
imported=$(NIVRA_HISTORY=folder.sqlite "${wine[@]}" history import --counter 1 "$folder" 2>&1 |
    unix_lines) || true
[ "$imported" = "imported $folder\\run 2.dax as run 1
1 imported, 0 skipped as duplicates, 0 refused" ] || fail "import of a folder named beyond ASCII: $imported"
grep -q "^Total Counts: $total\$" <("$linux_bin/nivra-cli" stats run1.dax) ||
    fail "the Linux statistics do not hold the run's $total counts"

# The Linux program writes the same data file from the same record.
NIVRA_HISTORY=$sandbox/linux-history.sqlite "$linux_bin/nivra-cli" history import run1.dax >/dev/null
NIVRA_HISTORY=$sandbox/linux-history.sqlite "$linux_bin/nivra-cli" history export 1 --dax linux.dax \
    >/dev/null
cmp run1.dax linux.dax || fail "the Linux program writes the record otherwise"
echo "ok: nivra-cli.exe under Wine ran counter 1 on COM5 ($total counts); Linux reads the same"
