#!/usr/bin/env bash
# launcher_test.sh LAUNCHER: the menu entry's launcher, run with sh against a stand-in program
# (NIVRA_USB_PROGRAM) in temporary home folders whose paths hold spaces.
set -uo pipefail

launcher=$(realpath -- "$1")
failures=0
scratch=$(mktemp -d "${TMPDIR:-/tmp}/nivra launcher.XXXXXX")
trap 'chmod -R u+rwx "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The stand-in records where it ran and its arguments, one a line, outside the workspace, and
# exits with status 7 so that the launcher is seen to hand over the exit status.
standin="$scratch/bin dir/nivra-usb"
mkdir -p "${standin%/*}"
cat >"$standin" <<'EOF'
#!/bin/sh
{ pwd; for a in "$@"; do printf '%s\n' "$a"; done; } >"$NIVRA_TEST_RECORD"
exit 7
EOF
chmod +x "$standin"
record=$scratch/record

# run_launcher HOME [VAR=VALUE...] -- ARGS...: runs the launcher in a clean environment.
run_launcher() {
    local vars=()
    [ -z "$1" ] || vars+=(HOME="$1")
    shift
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        vars+=("$1")
        shift
    done
    shift
    rm -f "$record"
    (cd "$scratch" && env -i PATH=/usr/bin:/bin \
        NIVRA_TEST_RECORD="$record" "${vars[@]}" sh "$launcher" "$@") 2>"$scratch/stderr"
}

# The entries below a folder, as relative paths, sorted.
listing() {
    (cd "$1" && find . -mindepth 1 | LC_ALL=C sort)
}

first_run_prepares_the_workspace_and_starts_the_program_there() {
    local home="$scratch/home one"
    mkdir -p "$home"
    run_launcher "$home" NIVRA_USB_PROGRAM="$standin" -- "an argument" --second
    local status=$?
    [ $status -eq 7 ] || fail "first run: exit status $status, expected the program's 7"
    local workspace="$home/.local/share/nivra-usb"
    local expected
    expected=$(printf '%s\n' ./assay_config ./backup_data ./counter_config)
    [ "$(listing "$workspace")" = "$expected" ] ||
        fail "first run: the workspace holds $(listing "$workspace" | tr '\n' ' ')"
    [ "$(listing "$home" | grep -v '^./.local')" = "" ] ||
        fail "first run: the home folder got more than .local"
    [ "$(cat "$record" 2>/dev/null)" = "$(printf '%s\n' "$workspace" "an argument" --second)" ] ||
        fail "first run: the program ran as '$(cat "$record" 2>/dev/null)'"
}

later_runs_keep_the_operators_files_and_restore_missing_folders() {
    local home="$scratch/home two"
    mkdir -p "$home"
    run_launcher "$home" NIVRA_USB_PROGRAM="$standin" --
    local workspace="$home/.local/share/nivra-usb"
    printf '[CONFIG]\r\nPORT1=/dev/ttyUSB0\r\n' >"$workspace/port_config.pfx"
    printf 'Name=alpha 1\r\n' >"$workspace/counter_config/counter1.ccx"
    printf 'P0=12\r\n' >"$workspace/backup_data/backup_1.dax"
    touch -d '2020-01-01 00:00' "$workspace/port_config.pfx" "$workspace/counter_config/counter1.ccx"
    rmdir "$workspace/assay_config"
    local before
    before=$(cd "$workspace" && find . -type f -exec stat -c '%n %s %Y %a' {} + | LC_ALL=C sort;
        find . -type f -exec md5sum {} + | LC_ALL=C sort)

    run_launcher "$home" NIVRA_USB_PROGRAM="$standin" --
    local after
    after=$(cd "$workspace" && find . -type f -exec stat -c '%n %s %Y %a' {} + | LC_ALL=C sort;
        find . -type f -exec md5sum {} + | LC_ALL=C sort)
    [ "$before" = "$after" ] || fail "second run: files changed: $before // $after"
    [ -d "$workspace/assay_config" ] || fail "second run: the removed assay_config was not restored"
    [ "$(listing "$workspace" | grep -c -v -e '\.pfx$' -e '\.ccx$' -e '\.dax$')" = 3 ] ||
        fail "second run: the workspace holds $(listing "$workspace" | tr '\n' ' ')"
}

the_workspace_follows_the_data_directory_settings() {
    local home="$scratch/home three"
    mkdir -p "$home"
    run_launcher "$home" XDG_DATA_HOME="$scratch/data home" NIVRA_USB_PROGRAM="$standin" --
    [ "$(head -n 1 "$record" 2>/dev/null)" = "$scratch/data home/nivra-usb" ] ||
        fail "XDG_DATA_HOME: the program ran in '$(head -n 1 "$record" 2>/dev/null)'"

    # A relative XDG_DATA_HOME is not valid and is ignored.
    run_launcher "$home" XDG_DATA_HOME="relative" NIVRA_USB_PROGRAM="$standin" --
    [ "$(head -n 1 "$record" 2>/dev/null)" = "$home/.local/share/nivra-usb" ] ||
        fail "relative XDG_DATA_HOME: the program ran in '$(head -n 1 "$record" 2>/dev/null)'"
    [ ! -e "$scratch/relative" ] || fail "relative XDG_DATA_HOME: a folder was made below the cwd"

    run_launcher "$home" NIVRA_USB_WORKSPACE="$scratch/lab bench" NIVRA_USB_PROGRAM="$standin" --
    [ "$(head -n 1 "$record" 2>/dev/null)" = "$scratch/lab bench" ] ||
        fail "NIVRA_USB_WORKSPACE: the program ran in '$(head -n 1 "$record" 2>/dev/null)'"
    [ -d "$scratch/lab bench/backup_data" ] || fail "NIVRA_USB_WORKSPACE: no backup_data"
}

# Every refusal: a clear message, a non-zero status, and the program never started.
refuses() {
    local what=$1 pattern=$2 status=$3
    [ "$status" -ne 0 ] || fail "$what: exit status 0"
    [ ! -e "$record" ] || fail "$what: the program was started"
    grep -q "^nivra-usb-launcher: .*$pattern" "$scratch/stderr" ||
        fail "$what: message '$(cat "$scratch/stderr")' does not mention '$pattern'"
}

refuses_without_a_place_for_the_workspace() {
    run_launcher "" NIVRA_USB_PROGRAM="$standin" --
    refuses "no HOME" "HOME" $?
    run_launcher "relative/home" NIVRA_USB_PROGRAM="$standin" --
    refuses "relative HOME" "HOME" $?
    [ ! -e "$scratch/relative" ] || fail "relative HOME: a folder was made below the cwd"
    run_launcher "$scratch" NIVRA_USB_WORKSPACE="lab" NIVRA_USB_PROGRAM="$standin" --
    refuses "relative NIVRA_USB_WORKSPACE" "absolute" $?
}

refuses_when_a_file_is_in_the_way() {
    local workspace="$scratch/in the way"
    mkdir -p "$workspace"
    echo "operator's notes" >"$workspace/backup_data"
    run_launcher "$scratch" NIVRA_USB_WORKSPACE="$workspace" NIVRA_USB_PROGRAM="$standin" --
    refuses "file in the way" "backup_data is in the way" $?
    [ "$(cat "$workspace/backup_data")" = "operator's notes" ] || fail "file in the way: changed"

    ln -s "$scratch/nowhere" "$scratch/dangling"
    run_launcher "$scratch" NIVRA_USB_WORKSPACE="$scratch/dangling" NIVRA_USB_PROGRAM="$standin" --
    refuses "dangling workspace link" "in the way" $?
    [ ! -e "$scratch/nowhere" ] || fail "dangling workspace link: its target was created"
}

refuses_a_workspace_it_cannot_write() {
    # root may write everywhere; nothing to see then.
    [ "$(id -u)" -ne 0 ] || return 0
    local workspace="$scratch/read only"
    mkdir -p "$workspace/assay_config" "$workspace/counter_config" "$workspace/backup_data"
    chmod a-w "$workspace/backup_data"
    run_launcher "$scratch" NIVRA_USB_WORKSPACE="$workspace" NIVRA_USB_PROGRAM="$standin" --
    refuses "read-only backup_data" "cannot write" $?
    chmod -R a-w "$scratch/read only"
    run_launcher "$scratch" NIVRA_USB_WORKSPACE="$workspace/new" NIVRA_USB_PROGRAM="$standin" --
    refuses "workspace in a read-only folder" "cannot create" $?
    chmod -R u+w "$scratch/read only"
}

finds_the_program_beside_itself_and_reports_a_missing_one() {
    # The installed layout: PREFIX/libexec/nivra-usb/nivra-usb-launcher and PREFIX/bin/nivra-usb.
    local prefix="$scratch/pre fix"
    mkdir -p "$prefix/libexec/nivra-usb" "$prefix/bin"
    cp "$launcher" "$prefix/libexec/nivra-usb/nivra-usb-launcher"
    local launcher="$prefix/libexec/nivra-usb/nivra-usb-launcher"
    run_launcher "$scratch" NIVRA_USB_WORKSPACE="$scratch/ws" --
    refuses "missing program" "nivra-usb is missing" $?
    # ... and nothing was prepared for it.
    [ ! -e "$scratch/ws" ] || fail "missing program: the workspace was created anyway"

    cp "$standin" "$prefix/bin/nivra-usb"
    (cd "$prefix" && env -i PATH=/usr/bin:/bin HOME="$scratch" NIVRA_USB_WORKSPACE="$scratch/ws" \
        NIVRA_TEST_RECORD="$record" sh libexec/nivra-usb/nivra-usb-launcher x) 2>"$scratch/stderr"
    [ $? -eq 7 ] || fail "installed layout: the program was not started ($(cat "$scratch/stderr"))"
    [ "$(cat "$record" 2>/dev/null)" = "$(printf '%s\n' "$scratch/ws" x)" ] ||
        fail "installed layout: the program ran as '$(cat "$record" 2>/dev/null)'"
}

first_run_prepares_the_workspace_and_starts_the_program_there
later_runs_keep_the_operators_files_and_restore_missing_folders
the_workspace_follows_the_data_directory_settings
refuses_without_a_place_for_the_workspace
refuses_when_a_file_is_in_the_way
refuses_a_workspace_it_cannot_write
finds_the_program_beside_itself_and_reports_a_missing_one

if [ $failures -ne 0 ]; then
    echo "$failures launcher check(s) failed" >&2
    exit 1
fi
echo "launcher: all checks passed"
