#!/usr/bin/env bash
# Installs what is missing, builds a Release build into build/ and runs Nivra-USB in the
# workspace folder ./workspace (its start directory).
#
#   ./run.sh              two simulated counters (Counter 1 and Counter 2) on a pseudo-terminal
#   ./run.sh --hardware   no simulator: the counters named in workspace/port_config.pfx
#
# Files the operator already has in the workspace are never overwritten.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
scripts/deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=Release -DNIVRA_TESTS=OFF -DNIVRA_BENCH=OFF

hardware=false
case "${1:-}" in
"") ;;
--hardware) hardware=true ;;
*)
    echo "usage: $0 [--hardware]" >&2
    exit 2
    ;;
esac

workspace=$root/workspace
link=$workspace/ttySIM0
mkdir -p "$workspace/assay_config" "$workspace/counter_config" "$workspace/backup_data"
cd "$workspace"

# Writes a profile file (CR LF line ends, as the program writes them) unless it exists.
write_if_missing() {
    local file=$1
    shift
    [ -e "$file" ] && return 0
    printf '%s\r\n' "$@" > "$file"
    echo "wrote $file"
}

# A short assay for trying things out: 10 s points for 2 minutes.
write_if_missing assay_config/default.acx \
    '[ASSAY CONFIG]' 'NAME=demo: 10 s dwell, 2 min' 'SAMPLE_AREA=1000' \
    'DWELL HOURS=0' 'DWELL MINUTES=0' 'DWELL SECONDS=10' \
    'TOTAL HOURS=0' 'TOTAL MINUTES=2' 'TOTAL SECONDS=0' \
    'BACKGROUND=1.000000' 'BACKGROUND_HOURS=4.000000'
for n in 1 2; do
    write_if_missing "counter_config/counter$n.ccx" \
        '[COUNTER CONFIG]' "COUNTER NAME=counter $n" "DESCRIPTION 0=counter $n" \
        'DETECTOR AREA=1000' 'DETECTOR EFFICIENCY=0.840000'
done

# Every statistic shown: without this file the program starts with all sixteen unchecked.
write_if_missing stats_display_config.pfx '[STATS SHOW]' \
    NumPoints=true TotalCounts=true Time=true Mean=true StdDev=true CPH=true \
    Netapercm2hr=true Netapercm2hrErr=true LLD=true DetEff=true Netcorr=true NetcorrErr=true \
    CDL95=true LOD900=true LOD950=true LOD997=true

if $hardware; then
    if [ ! -e port_config.pfx ]; then
        echo "No workspace/port_config.pfx: the program writes one naming COM1 to COM8"
        echo "(/dev/ttyS0 to /dev/ttyS7). Edit it to name your adapters, e.g. PORT1=/dev/ttyUSB0."
    fi
    exec "$root/build/bin/nivra-usb"
fi

# The port list must name the simulator's port. A list the program wrote itself (only its
# defaults COM1 to COM8) is replaced; a list of the operator's is left alone.
ports=""
[ -e port_config.pfx ] && ports=$(tr -d '\r' < port_config.pfx | sed -n 's/^PORT[1-8]=//p')
defaults=$(printf 'COM%s\n' 1 2 3 4 5 6 7 8)
if [ ! -e port_config.pfx ] || [ "$ports" = "$defaults" ]; then
    rm -f port_config.pfx
    write_if_missing port_config.pfx '[CONFIG]' "PORT1=$link"
elif ! grep -qxF "$link" <<< "$ports"; then
    echo "workspace/port_config.pfx does not name the simulator's port $link." >&2
    echo "Add a line PORTn=$link (n a number from 1 to 8 not yet used) to its [CONFIG]" >&2
    echo "section, or start with --hardware." >&2
    exit 1
fi

"$root/build/bin/nivra-counter-sim" --port "$link:1,2" --rate 3 < /dev/null &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
if [ ! -e "$link" ]; then
    echo "the counter simulator did not start" >&2
    exit 1
fi

"$root/build/bin/nivra-usb"
