#!/usr/bin/env bash
# package_test.sh [BUILD_DIR | FILE.deb]: builds the Debian package with ./package.sh (from
# BUILD_DIR, by default build-package) or takes the one given, and inspects it: control fields,
# computed dependencies, the exact file list, the menu entry, the manual pages and the programs.
# With CI=true, as root, it also installs the package with apt, runs the installed programs and
# removes the package again; elsewhere apt only simulates the installation.
set -uo pipefail
cd "$(dirname "$0")/../.."
source_dir=$PWD
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

case ${1:-} in
*.deb) deb=$(realpath -- "$1") ;;
*) deb=$(./package.sh "${1:-}") || {
    echo "FAIL: ./package.sh did not build the package" >&2
    exit 1
} ;;
esac
echo "inspecting $deb"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

field() {
    dpkg-deb -f "$deb" "$1"
}

# The program window is part of the package once its source is.
with_window=false
[ -f "$source_dir/ui/main_window/main.cpp" ] && with_window=true

check_control_fields() {
    local version
    version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
    [ "$(field Package)" = nivra-usb ] || fail "Package is '$(field Package)'"
    [ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
    [ "$(field Section)" = science ] || fail "Section is '$(field Section)'"
    [ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
        fail "Architecture is '$(field Architecture)'"
    [[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^\>]+@[^\>]+\>$ ]] ||
        fail "Maintainer '$(field Maintainer)' is not 'name <e-mail>'"
    [ "$(field Description | wc -l)" -gt 2 ] || fail "the Description has no long text"

    # Computed by dpkg-shlibdeps from the programs: versioned, and naming what they link.
    local depends
    depends=$(field Depends)
    local wanted=(libc6 libstdc++6 libsqlite3-0 libpq5)
    if $with_window; then
        wanted+=(libqt6core6 libqt6widgets6)
        for font in fonts-wine fonts-liberation; do
            [[ ", $depends," == *", $font,"* ]] || fail "Depends '$depends' lacks $font"
        done
    fi
    for library in "${wanted[@]}"; do
        [[ ", $depends" == *", $library (>= "* ]] ||
            fail "Depends '$depends' lacks a versioned $library"
    done
}

check_file_list() {
    local expected=(
        ./usr/bin/nivra-cli
        ./usr/bin/nivra-counter-sim
        ./usr/share/man/man1/nivra-cli.1.gz
        ./usr/share/man/man1/nivra-counter-sim.1.gz
        ./usr/libexec/nivra-usb/nivra-usb-launcher
        ./usr/share/applications/nivra-usb.desktop
        ./usr/share/icons/hicolor/scalable/apps/nivra-usb.svg
        ./usr/share/man/man1/nivra-usb.1.gz
    )
    if $with_window; then
        expected+=(./usr/bin/nivra-usb)
    fi
    # Exactly these files: nothing of the build tree (tests, benchmarks) and nothing outside /usr.
    local listed
    listed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort)
    local want
    want=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
    [ "$listed" = "$want" ] ||
        fail "file list differs: $(diff <(echo "$want") <(echo "$listed") | grep '^[<>]' | tr '\n' ' ')"
    # Programs executable by all, data files not executable, everything owned by root.
    while read -r mode owner _ _ _ path; do
        case $path in
        ./usr/bin/* | ./usr/libexec/*) [ "$mode" = -rwxr-xr-x ] || fail "$path has mode $mode" ;;
        *) [ "$mode" = -rw-r--r-- ] || fail "$path has mode $mode" ;;
        esac
        [ "$owner" = root/root ] || fail "$path is owned by $owner"
    done < <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/')
}

check_contents() {
    local root=$scratch/root
    dpkg-deb -x "$deb" "$root"

    local entry=$root/usr/share/applications/nivra-usb.desktop
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$entry" || fail "desktop-file-validate rejects the menu entry"
    else
        echo "note: desktop-file-validate is missing; the menu entry is not validated"
    fi
    [ "$(sed -n 's/^Exec=//p' "$entry")" = /usr/libexec/nivra-usb/nivra-usb-launcher ] ||
        fail "the menu entry's Exec is '$(sed -n 's/^Exec=//p' "$entry")'"
    [ "$(sed -n 's/^TryExec=//p' "$entry")" = /usr/bin/nivra-usb ] ||
        fail "the menu entry's TryExec is '$(sed -n 's/^TryExec=//p' "$entry")'"
    [ "$(sed -n 's/^Icon=//p' "$entry")" = nivra-usb ] || fail "the menu entry's Icon is wrong"
    grep -q -x 'Terminal=false' "$entry" || fail "the menu entry would open a terminal"
    grep -q '<svg ' "$root/usr/share/icons/hicolor/scalable/apps/nivra-usb.svg" ||
        fail "the icon is no SVG"

    # The packaged manual pages are the current ones.
    for page in nivra-cli nivra-counter-sim nivra-usb; do
        gzip -dc "$root/usr/share/man/man1/$page.1.gz" | cmp -s - "docs/man/$page.1" ||
            fail "the packaged manual page $page.1 differs from docs/man/$page.1"
    done

    # The packaged programs run (stripped, with their libraries found).
    "$root/usr/bin/nivra-cli" --help >/dev/null || fail "the packaged nivra-cli --help fails"
    "$root/usr/bin/nivra-counter-sim" --help >/dev/null ||
        fail "the packaged nivra-counter-sim --help fails"
    if file "$root/usr/bin/nivra-cli" 2>/dev/null | grep -q 'not stripped'; then
        fail "the packaged programs are not stripped"
    fi
}

# apt resolves the dependencies without changing the machine.
check_apt_simulation() {
    command -v apt-get >/dev/null || return 0
    apt-get install -s "$deb" >"$scratch/apt.log" 2>&1 && grep -q '^Inst nivra-usb ' "$scratch/apt.log" ||
        fail "apt cannot install the package: $(tail -n 5 "$scratch/apt.log")"
}

# Only on a throwaway CI machine: the real installation, the installed programs, the removal.
check_installation() {
    [ "${CI:-}" = true ] && [ "$(id -u)" -eq 0 ] || return 0
    echo "installing the package with apt (CI)"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$scratch/apt.log" 2>&1 || {
        fail "apt-get install failed: $(tail -n 5 "$scratch/apt.log")"
        return
    }
    /usr/bin/nivra-cli --help >/dev/null || fail "the installed nivra-cli --help fails"
    /usr/bin/nivra-counter-sim --help >/dev/null || fail "the installed nivra-counter-sim --help fails"
    if command -v man >/dev/null; then
        for page in nivra-cli nivra-counter-sim; do
            man -w "$page" >/dev/null 2>&1 || fail "man does not find $page"
        done
    fi
    if $with_window; then
        # Started from the menu: through the launcher, in a fresh home. Still running after a
        # few seconds means it came up; the workspace must then be there.
        local home=$scratch/home
        mkdir -p "$home"
        env -i PATH=/usr/bin:/bin HOME="$home" QT_QPA_PLATFORM=offscreen \
            timeout 5 /usr/libexec/nivra-usb/nivra-usb-launcher >"$scratch/usb.log" 2>&1
        local status=$?
        [ $status -eq 124 ] || [ $status -eq 0 ] ||
            fail "nivra-usb did not start from the menu entry (status $status): $(tail -n 5 "$scratch/usb.log")"
        [ -d "$home/.local/share/nivra-usb/backup_data" ] || fail "the launcher made no workspace"
    fi
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq nivra-usb >/dev/null 2>&1 ||
        fail "apt-get remove failed"
}

check_control_fields
check_file_list
check_contents
check_apt_simulation
check_installation

if [ $failures -ne 0 ]; then
    echo "$failures package check(s) failed" >&2
    exit 1
fi
echo "package: all checks passed ($deb)"
