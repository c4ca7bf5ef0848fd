#!/usr/bin/env bash
# help_man_test.sh BIN_DIR MAN_DIR: the --help texts of nivra-cli and nivra-counter-sim and
# their manual pages tell the same: every command and option of a help is in the manual page,
# the manual page names no option the program does not know, and every help and manual page
# shows an example of every command.
set -uo pipefail
# No grep -q at the end of a pipe: it stops reading at the first match, and with pipefail the
# writer's SIGPIPE would then fail the check whenever the text is longer than one pipe write.

bin=$1
man=$2
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The manual page as plain text: troff's minus signs, font changes and quote escapes removed.
# (Its readers below read to the end, not grep -q: under pipefail, a reader that stops early
# would fail the pipeline with SIGPIPE once a page is longer than one pipe write.)
man_text() {
    sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e "s/\\\\(aq/'/g" -e 's/\\e/\\/g' "$1"
}

man_section() {
    man_text "$1" | awk -v name="$2" '/^\.SH / { inside = ($2 == name); next } inside'
}

options_in() {
    grep -o -E -- '(^|[^a-zA-Z0-9-])--[a-z][a-z0-9-]*' | sed 's/^[^-]*//' | LC_ALL=C sort -u
}

# Both directions: what the help names must be in the manual page, and the reverse.
same_options() {
    local program=$1 help=$2 page=$3
    local in_help in_man
    in_help=$(options_in <<<"$help")
    in_man=$(man_text "$page" | options_in)
    [ -n "$in_help" ] || fail "$program --help names no option"
    local missing stale
    missing=$(LC_ALL=C comm -23 <(echo "$in_help") <(echo "$in_man"))
    stale=$(LC_ALL=C comm -13 <(echo "$in_help") <(echo "$in_man"))
    [ -z "$missing" ] || fail "$page lacks option(s) of $program --help: $(echo $missing)"
    [ -z "$stale" ] || fail "$page names option(s) $program does not know: $(echo $stale)"
}

# The text after the first line starting with "Example" holds "PROGRAM COMMAND".
has_example() {
    awk -v want="$2" 'found && index($0, want) { ok = 1 } /^ *Example/ { found = 1
        if (index($0, want)) ok = 1 } END { exit !ok }' <<<"$1"
}

renders_cleanly() {
    command -v groff >/dev/null || return 0
    local warnings
    warnings=$(groff -man -ww -z -Tutf8 "$1" 2>&1)
    [ -z "$warnings" ] || fail "$1 does not render cleanly: $warnings"
}

check_cli() {
    local page=$man/nivra-cli.1 help commands
    help=$("$bin/nivra-cli" --help) || fail "nivra-cli --help failed"
    commands=$(sed -n '/^Commands:/,/^$/s/^  nivra-cli \([a-z-]*\).*/\1/p' <<<"$help")
    [ -n "$commands" ] || fail "nivra-cli --help lists no command"
    local examples
    examples=$(man_section "$page" EXAMPLES)
    for command in $commands; do
        local own
        own=$("$bin/nivra-cli" "$command" --help) || fail "nivra-cli $command --help failed"
        [ "$(head -n 1 <<<"$own" | cut -d' ' -f2)" = "$command" ] ||
            fail "nivra-cli $command --help begins '$(head -n 1 <<<"$own")'"
        has_example "$own" "nivra-cli $command" ||
            fail "nivra-cli $command --help has no example of the command"
        man_section "$page" SYNOPSIS | grep -- "^\.B nivra-cli $command" >/dev/null ||
            fail "the SYNOPSIS of $page lacks $command"
        man_section "$page" COMMANDS | grep -x -- "\.B $command" >/dev/null ||
            fail "the COMMANDS of $page lack $command"
        grep -q -- "nivra-cli $command" <<<"$examples" || fail "the EXAMPLES of $page lack $command"
        # Every option of the command has an entry of its own under the command.
        local entries
        entries=$(man_section "$page" COMMANDS | awk -v c="$command" '
            /^\.TP/ { tp = 1; next }
            tp { tp = 0; if ($0 ~ /^\.B [a-z]+$/) on = ($2 == c); else if (on) print }')
        for option in $(options_in <<<"$own"); do
            grep -q -E -- "^\.B[IR]? $option( |$)" <<<"$entries" ||
                fail "$page has no entry for $option under $command"
        done
    done
    same_options nivra-cli "$help" "$page"
}

check_sim() {
    local page=$man/nivra-counter-sim.1 help
    help=$("$bin/nivra-counter-sim" --help) || fail "nivra-counter-sim --help failed"
    has_example "$help" "nivra-counter-sim --port" || fail "nivra-counter-sim --help has no example"
    man_section "$page" EXAMPLES | grep -- "nivra-counter-sim --port" >/dev/null ||
        fail "the EXAMPLES of $page lack a simulator command line"
    same_options nivra-counter-sim "$help" "$page"
    local entries
    entries=$(man_section "$page" OPTIONS | awk '/^\.TP/ { tp = 1; next } tp { tp = 0; print }')
    for option in $(options_in <<<"$help"); do
        grep -q -E -- "^\.B[IR]? $option( |$)" <<<"$entries" ||
            fail "$page has no entry for $option under OPTIONS"
    done
    # The fault kinds and the commands read from standard input.
    local words
    words=$(sed -n '/^ *KIND is one of/,/^ *--verbose/s/^ \{20,\}\([a-z-]*\)[=[].*/\1/p;
                    /^Commands read/,/^$/s/^  \([a-z]*\).*/\1/p' <<<"$help")
    [ "$(wc -w <<<"$words")" -ge 6 ] || fail "found only '$(echo $words)' in nivra-counter-sim --help"
    for word in $words; do
        man_text "$page" | grep -E -- "^\.B[IR]? $word( |$|\[|=)" >/dev/null ||
            fail "$page does not describe '$word'"
    done
}

check_cli
check_sim
for page in "$man"/*.1; do
    renders_cleanly "$page"
done

if [ $failures -ne 0 ]; then
    echo "$failures help/manual check(s) failed" >&2
    exit 1
fi
echo "help and manual pages: all checks passed"
