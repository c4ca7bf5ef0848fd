#!/usr/bin/env bash
# shellcheck disable=SC2016 # the guide's commands are matched as written, $ signs included
# guide_commands_test.sh SOURCE_DIR BIN_DIR: runs every command of the guide (README.md and
# docs/*.md) as written and compares the outputs the guide shows with what the programs print.
#
# The guide's conventions:
# - ```sh blocks hold commands, one per line; a line ending in \ continues on the next, and a
#   here-document (<<EOF or <<'EOF') runs to its end marker. Comment lines are not run, except
#   that "# in the source folder" runs the block's commands in the source folder.
# - A ```text block that follows a sh block with only blank lines or one-line HTML comments in
#   between is the output of that block's last command (standard output and standard error, as
#   a terminal shows them); a text block anywhere else fails the test, so no output shown goes
#   unchecked. ```ini blocks show file contents and are not run. Any other kind of code block
#   fails the test, so no command can escape it.
#
# The sandbox: one temporary home folder (HOME; the guide shows it as /home/lab), PATH with
# BIN_DIR first, NIVRA_LOCK_DIR a private folder, QT_QPA_PLATFORM=offscreen, and
# NIVRA_DEVICE_ROOT an empty folder that stands in for / where serial devices are looked for, so
# that COMn names and nivra-cli ports touch no device of the machine and read the same
# everywhere (outputs show its paths without the folder: /dev/ttyS2). The pages run in
# the order of PAGES, each starting in the home folder; `cd` carries over to the page's later
# commands. "build/bin/" in a command stands for BIN_DIR, the tree under test.
#
# Outputs are compared after normalising both sides: CR before a line end is dropped, the home
# folder reads /home/lab, pseudo-terminal numbers read /dev/pts/N, and time stamps of the form
# 12/09/26 05:14:52 match any time stamp. A line "..." in the expected output stands for any
# number of lines. When the HTML comment <!-- counts vary --> precedes the output block (counts
# from the simulator, which are random), every number matches any number.
#
# How each command is run (run_command): plainly, in its folder, with exit status 0 required,
# unless it is one of these:
# - nivra-counter-sim --port ... or --device-root ...: the guide starts it "in a second
#   terminal"; here it starts in the background, is waited for until it is ready, and runs
#   until the end of the test.
# - nivra-usb: started offscreen; once it has written its statistics display file into its start
#   directory (which it does when its window has come up there) and is still running half a
#   second later, it is ended.
# - ./run.sh [--hardware]: run as written from a copy of the source folder's run.sh whose
#   scripts/deps.sh and scripts/build.sh do nothing and whose build/bin is BIN_DIR, so it
#   neither installs packages nor reconfigures the tree the tests run from (./test.sh and
#   .ci/run exercise those two scripts). The window is ended as for nivra-usb; the prepared
#   workspace is checked, and the simulator must be gone with the window. With --hardware the workspace gets a port list naming a device that
#   does not exist, so that no serial port of the machine is touched.
# - ./test.sh: not run; it is what runs this test. Checked: .ci/run runs it.
# - ./package.sh and sudo apt install ./build-package/nivra-usb_VERSION_ARCH.deb: built,
#   inspected and (with CI=true, as root) installed by tests/packaging/package_test.sh, which
#   .ci/run runs; here the test checks that it does so and that the package name in the guide
#   carries the project's version and the machine's architecture.
# - sudo usermod -aG dialout $USER: not run (it changes the machine's accounts); the group must
#   exist.
# - export PATH=$PWD/build/bin:$PATH: the sandbox's PATH already starts with BIN_DIR.
# A command the test does not know how to run fails the test.
set -uo pipefail

source_dir=$(cd "$1" && pwd)
bin_dir=$(cd "$2" && pwd)
PAGES=(README.md docs/operators_guide.md docs/statistics_and_files.md docs/architecture.md)

failures=0
commands_run=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

sandbox=$(mktemp -d "${TMPDIR:-/tmp}/nivra-guide.XXXXXX")
background=()
cleanup() {
    local pid
    for pid in "${background[@]}"; do
        kill -INT "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$sandbox"
}
trap cleanup EXIT

export HOME=$sandbox/home
export PATH=$bin_dir:$PATH
export NIVRA_LOCK_DIR=$sandbox/lock
export NIVRA_DEVICE_ROOT=$sandbox/devices
export QT_QPA_PLATFORM=offscreen
export LC_ALL=C
unset NIVRA_USB_WORKSPACE XDG_DATA_HOME
mkdir -p "$HOME" "$NIVRA_LOCK_DIR" "$NIVRA_DEVICE_ROOT" "$sandbox/blocks" "$sandbox/out"

normalise() {
    sed -e 's/\r$//' -e "s#$NIVRA_DEVICE_ROOT/dev/#/dev/#g" -e "s#$HOME#/home/lab#g" \
        -e 's#/dev/pts/[0-9]\+#/dev/pts/N#g' \
        -e 's#[0-9]\{2\}/[0-9]\{2\}/[0-9]\{2\} [0-9]\{2\}:[0-9]\{2\}:[0-9]\{2\}#<time>#g'
}

# same_output EXPECTED ACTUAL VARY: the actual output matches the expected one (see the header).
same_output() {
    awk -v vary="$3" '
        function pattern(line,    s) {
            s = line
            if (vary) gsub(/[0-9]+/, "\001", s)
            gsub(/[][\\.^$*+?(){}|]/, "\\\\&", s)
            gsub(/\001/, "[0-9]+", s)
            return "^" s "$"
        }
        function matches(i, j) {
            if (i > ne) return j > na
            if (e[i] == "...") return matches(i + 1, j) || (j <= na && matches(i, j + 1))
            if (j > na || a[j] !~ p[i]) return 0
            return matches(i + 1, j + 1)
        }
        FNR == NR { e[++ne] = $0; p[ne] = pattern($0); next }
        { a[++na] = $0 }
        END { exit !matches(1, 1) }' <(normalise <"$1") <(normalise <"$2")
}

# The guide's code blocks: each becomes a file blocks/NNN.LANG, listed in blocks/index as
# "NNN LANG LINE FOLLOWS_PREVIOUS VARY".
split_blocks() {
    rm -f "$sandbox"/blocks/*
    awk -v dir="$sandbox/blocks" '
        /^```/ {
            if (!inside) {
                lang = substr($0, 4); if (lang == "") lang = "none"
                file = sprintf("%s/%03d.%s", dir, ++n, lang)
                printf "" > file
                printf "%03d %s %d %d %d\n", n, lang, NR, !gap, vary > (dir "/index")
                inside = 1
            } else {
                close(file); inside = 0; gap = 0; vary = 0
            }
            next
        }
        inside { print > file; next }
        /^<!--.*-->[ \t]*$/ { if ($0 ~ /counts vary/) vary = 1; next }
        /^[ \t]*$/ { next }
        { gap = 1; vary = 0 }
        END { if (inside) printf "unterminated code block\n" > (dir "/error") }' "$1"
    touch "$sandbox/blocks/index"
}

project_version() {
    sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt"
}

# The processes of the process group PGID, or only those of the program NAME.
group_member() {
    local stat pid comm pgrp
    for stat in /proc/[0-9]*/stat; do
        read -r pid comm _ _ pgrp _ <"$stat" 2>/dev/null || continue
        [ "$pgrp" = "$1" ] && { [ -z "${2:-}" ] || [ "$comm" = "($2)" ]; } && echo "$pid"
    done
}

# window_comes_up DIR READY_FILE WHERE COMMAND...: starts COMMAND in DIR in a process group of
# its own and waits until it (re)writes READY_FILE, which the window does when it has started in
# its start directory; the window must then stay up. Then the window is ended as if it had been
# closed (SIGTERM to nivra-usb), and COMMAND must end with it and leave no process behind.
window_comes_up() {
    local dir=$1 ready=$2 where=$3
    shift 3
    local marker=$sandbox/out/window.start log=$sandbox/out/window.log
    touch "$marker"
    (cd "$dir" && exec setsid "$@") >"$log" 2>&1 </dev/null &
    local pid=$! _
    for _ in $(seq 200); do
        [ "$ready" -nt "$marker" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ "$ready" -nt "$marker" ]; then
        sleep 0.5
        kill -0 "$pid" 2>/dev/null || fail "$where: '$*' ended by itself: $(tail -n 3 "$log")"
    else
        fail "$where: '$*' did not start its window in $dir: $(tail -n 3 "$log")"
    fi
    local window
    window=$(group_member "$pid" nivra-usb)
    [ -n "$window" ] && kill -TERM "$window" 2>/dev/null
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "$where: '$*' did not end with its window"
    for _ in $(seq 20); do
        [ -z "$(group_member "$pid")" ] && break
        sleep 0.1
    done
    [ -z "$(group_member "$pid")" ] || fail "$where: '$*' left processes running after its window"
    kill -TERM -- "-$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

# ./run.sh as written, from a copy of the source folder without its installing and building.
run_script() {
    local args=$1 where=$2
    local shadow=$sandbox/run-sh
    rm -rf "$shadow"
    mkdir -p "$shadow/scripts" "$shadow/build"
    cp "$source_dir/run.sh" "$shadow/run.sh"
    printf '#!/bin/sh\nexit 0\n' >"$shadow/scripts/deps.sh"
    printf '#!/bin/sh\nexit 0\n' >"$shadow/scripts/build.sh"
    chmod +x "$shadow/run.sh" "$shadow/scripts/deps.sh" "$shadow/scripts/build.sh"
    ln -s "$bin_dir" "$shadow/build/bin"
    local workspace=$shadow/workspace
    if [ "$args" = --hardware ]; then
        mkdir -p "$workspace"
        printf '[CONFIG]\r\nPORT1=%s/no-such-adapter\r\n' "$workspace" >"$workspace/port_config.pfx"
    fi
    # shellcheck disable=SC2086 # no argument at all when args is empty
    window_comes_up "$shadow" "$workspace/stats_display_config.pfx" "$where" ./run.sh $args
    local file _
    for file in assay_config/default.acx counter_config/counter1.ccx counter_config/counter2.ccx \
        stats_display_config.pfx; do
        [ -f "$workspace/$file" ] || fail "$where: ./run.sh $args left no workspace/$file"
    done
    if [ "$args" != --hardware ]; then
        grep -q "^PORT1=$workspace/ttySIM0" "$workspace/port_config.pfx" ||
            fail "$where: ./run.sh's port list does not name the simulator's port"
        for _ in $(seq 50); do
            [ -e "$workspace/ttySIM0" ] || break
            sleep 0.1
        done
        [ ! -e "$workspace/ttySIM0" ] || fail "$where: ./run.sh left the simulator running"
    fi
}

# run_command DIR COMMAND WHERE OUTPUT_FILE: runs one command of the guide in DIR; its output
# (if it has one worth comparing) goes to OUTPUT_FILE. Sets next_dir to the folder the next
# command runs in.
run_command() {
    local dir=$1 command=$2 where=$3 output=$4
    command=${command//build\/bin\//$bin_dir/}
    : >"$output"
    next_dir=$dir
    commands_run=$((commands_run + 1))
    case $command in
    "cd "*)
        local target
        target=$(cd "$dir" && eval "$command" && pwd) || fail "$where: $command failed"
        next_dir=${target:-$dir}
        ;;
    'export PATH=$PWD/build/bin:$PATH') ;;
    "./test.sh"*)
        grep -qx './test.sh' "$source_dir/.ci/run" || fail "$where: .ci/run does not run ./test.sh"
        ;;
    "./run.sh --hardware"*) run_script --hardware "$where" ;;
    "./run.sh"*) run_script "" "$where" ;;
    "./package.sh"*)
        grep -q '^tests/packaging/package_test.sh' "$source_dir/.ci/run" ||
            fail "$where: .ci/run does not build the package"
        grep -q '\./package\.sh' "$source_dir/tests/packaging/package_test.sh" ||
            fail "$where: package_test.sh does not use ./package.sh"
        ;;
    "sudo apt install ./build-package/nivra-usb_"*".deb")
        local wanted
        wanted=nivra-usb_$(project_version)_$(dpkg --print-architecture 2>/dev/null || echo amd64).deb
        [ "$command" = "sudo apt install ./build-package/$wanted" ] ||
            fail "$where: the package is called $wanted: $command"
        grep -q 'dir=${1:-build-package}' "$source_dir/package.sh" ||
            fail "$where: ./package.sh does not build into build-package/"
        grep -q 'apt-get install -y' "$source_dir/tests/packaging/package_test.sh" ||
            fail "$where: package_test.sh no longer installs the package"
        ;;
    'sudo usermod -aG dialout $USER')
        getent group dialout >/dev/null || fail "$where: there is no group dialout"
        ;;
    "nivra-counter-sim --port "* | "nivra-counter-sim --device-root "*)
        local log=$sandbox/out/sim.$commands_run.log
        (cd "$dir" && exec bash -c "exec $command") >"$log" 2>&1 </dev/null &
        background+=($!)
        local _
        for _ in $(seq 100); do
            grep -q '^ready' "$log" && break
            sleep 0.1
        done
        grep -q '^ready' "$log" || fail "$where: the simulator did not start: $(cat "$log")"
        cp "$log" "$output"
        ;;
    nivra-usb)
        window_comes_up "$dir" "$dir/stats_display_config.pfx" "$where" nivra-usb
        ;;
    nivra-cli\ * | "$bin_dir/nivra-cli "* | "nivra-counter-sim --help" | mkdir\ * | cat\ * | cp\ * | sed\ *)
        (cd "$dir" && timeout 60 bash -c "$command") >"$output" 2>&1
        local status=$?
        [ $status -eq 0 ] || fail "$where: '$command' failed (status $status): $(tail -n 3 "$output")"
        ;;
    *)
        fail "$where: the test does not know how to run '$command'"
        ;;
    esac
}

# Runs the commands of one sh block; the output of its last command goes to OUTPUT_FILE.
run_block() {
    local block=$1 first_line=$2 page=$3 output=$4
    local block_dir=$cwd line command marker number=0
    local -a lines
    mapfile -t lines <"$block"
    local i=0
    while [ $i -lt ${#lines[@]} ]; do
        line=${lines[$i]}
        i=$((i + 1))
        case $line in
        "" | "#"*)
            [ "$line" = "# in the source folder" ] && block_dir=$source_dir
            continue
            ;;
        esac
        number=$((first_line + i))
        command=$line
        while [[ $command == *\\ ]] && [ $i -lt ${#lines[@]} ]; do
            command+=$'\n'"${lines[$i]}" # run as a terminal runs it
            i=$((i + 1))
        done
        if [[ $command =~ \<\<-?\'?([A-Za-z_]+)\'? ]]; then
            marker=${BASH_REMATCH[1]}
            while [ $i -lt ${#lines[@]} ]; do
                command+=$'\n'"${lines[$i]}"
                i=$((i + 1))
                [ "${lines[$((i - 1))]}" = "$marker" ] && break
            done
        fi
        run_command "$block_dir" "$command" "$page:$number" "$output"
        block_dir=$next_dir
        [ "$block_dir" = "$source_dir" ] || cwd=$block_dir
    done
}

for page in "${PAGES[@]}"; do
    [ -f "$source_dir/$page" ] || fail "the page $page is missing"
done
for page in "$source_dir"/docs/*.md; do
    [[ " ${PAGES[*]} " == *" docs/${page##*/} "* ]] || fail "docs/${page##*/} is not in PAGES of this test"
done

for page in "${PAGES[@]}"; do
    [ -f "$source_dir/$page" ] || continue
    split_blocks "$source_dir/$page"
    [ -f "$sandbox/blocks/error" ] && fail "$page: $(cat "$sandbox/blocks/error")"
    cwd=$HOME
    last_output=""
    last_where=""
    while read -r n lang line follows vary; do
        block=$sandbox/blocks/$n.$lang
        case $lang in
        sh)
            last_output=$sandbox/out/${page//\//_}.$n
            last_where="$page:$line"
            run_block "$block" "$line" "$page" "$last_output"
            ;;
        text)
            if [ "$follows" = 1 ] && [ -n "$last_output" ]; then
                same_output "$block" "$last_output" "$vary" || {
                    fail "$last_where: the output differs from the guide's:"
                    diff <(normalise <"$block") <(normalise <"$last_output") >&2
                }
            else
                fail "$page:$line: an output block that does not follow a sh block directly"
            fi
            last_output=""
            ;;
        ini) last_output="" ;;
        *)
            fail "$page:$line: a '$lang' code block; use sh for commands, text for output, ini for files"
            last_output=""
            ;;
        esac
    done <"$sandbox/blocks/index"
done

# Links and pictures of the pages lead to files of the source folder.
for page in "${PAGES[@]}"; do
    [ -f "$source_dir/$page" ] || continue
    while read -r target; do
        target=${target%%#*}
        [ -z "$target" ] && continue
        [ -e "$(dirname "$source_dir/$page")/$target" ] || fail "$page links to $target, which does not exist"
    done < <(grep -o '](\([^)]*\))' "$source_dir/$page" | sed 's/^](\(.*\))$/\1/' | grep -v '^[a-z]*:')
done

echo "$commands_run command(s) of the guide run or checked"
if [ $failures -ne 0 ]; then
    echo "$failures guide check(s) failed" >&2
    exit 1
fi
echo "guide: all commands ran as written"
