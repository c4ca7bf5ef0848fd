#!/usr/bin/env bash
# scripts/build-windows.sh: builds nivra-cli.exe and the core's test programs for 64-bit Windows
# with Debian's MinGW-w64 cross compiler, into build-windows/:
#
#   build-windows/bin/nivra-cli.exe            the command-line tool (no DLLs needed)
#   build-windows/bin/nivra-*-tests.exe        the test programs of base, model, storage, engine
#   build-windows/nivra-cli-windows.zip        nivra-cli.exe, its manual page as text, a README
#
# Installs what it needs with apt-get. SQLite is built from Debian's own source package (a
# deb-src entry is added for it) and kept in build-windows/sqlite/, so a second run is quick.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build-windows
mkdir -p "$out"

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo

scripts/deps.sh g++-mingw-w64-x86-64-posix cmake ninja-build libboost-dev libgtest-dev \
    libgmock-dev dpkg-dev tcl zip groff-base wine64

# ---- SQLite from Debian's source package ---------------------------------------------------------
sqlite=$out/sqlite
if [ ! -f "$sqlite/lib/libsqlite3.a" ] || [ ! -f "$sqlite/include/sqlite3.h" ]; then
    if ! apt-get source --print-uris sqlite3 >/dev/null 2>&1; then
        # The sources of the same archives as the binary packages, with the same keys.
        list=/etc/apt/sources.list.d/nivra-deb-src.sources
        if [ -f /etc/apt/sources.list.d/debian.sources ]; then
            sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
                $SUDO tee "$list" >/dev/null
        else
            grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
                $SUDO tee /etc/apt/sources.list.d/nivra-deb-src.list >/dev/null
        fi
        $SUDO apt-get update -qq
    fi
    rm -rf "$out/sqlite-src"
    mkdir -p "$out/sqlite-src"
    # apt downloads as its own user _apt where it may write there.
    if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then
        chown _apt "$out/sqlite-src"
    fi
    (cd "$out/sqlite-src" && apt-get source -qq sqlite3 >/dev/null)
    src=$(find "$out/sqlite-src" -mindepth 1 -maxdepth 1 -type d -name 'sqlite3-*' | head -1)
    # The amalgamation is made natively (it needs tclsh), then compiled for Windows.
    (cd "$src" && ./configure --quiet >/dev/null && make -s sqlite3.c >/dev/null)
    mkdir -p "$sqlite/lib" "$sqlite/include"
    x86_64-w64-mingw32-gcc-posix -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_FTS5 \
        -DSQLITE_DEFAULT_FOREIGN_KEYS=0 -c "$src/sqlite3.c" -o "$sqlite/sqlite3.o"
    x86_64-w64-mingw32-ar rcs "$sqlite/lib/libsqlite3.a" "$sqlite/sqlite3.o"
    cp "$src/sqlite3.h" "$src/sqlite3ext.h" "$sqlite/include/"
    rm -rf "$out/sqlite-src" "$sqlite/sqlite3.o"
fi

# Debian's header-only Boost, seen by the cross compiler without the rest of /usr/include.
mkdir -p "$out/host-headers"
ln -sfn /usr/include/boost "$out/host-headers/boost"

# ---- The programs ------------------------------------------------------------------------------
cmake -S . -B "$out" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DNIVRA_GUI=OFF -DNIVRA_BENCH=OFF -DNIVRA_FUZZ=OFF \
    -DNIVRA_POSTGRES=OFF -DNIVRA_TESTS=ON \
    -DSQLite3_INCLUDE_DIR="$sqlite/include" -DSQLite3_LIBRARY="$sqlite/lib/libsqlite3.a" \
    -DBoost_INCLUDE_DIR="$out/host-headers" >"$out/configure.log" 2>&1 ||
    { cat "$out/configure.log"; exit 1; }
cmake --build "$out" -j "$(nproc)" --target nivra-cli nivra-windows-test-programs

# ---- The zip -----------------------------------------------------------------------------------
stage=$out/zip/nivra-cli-windows
rm -rf "$out/zip"
mkdir -p "$stage"
cp "$out/bin/nivra-cli.exe" "$stage/"
# The manual page as plain text with Windows line ends.
MANWIDTH=80 groff -man -Tutf8 -P-cbou "$root/docs/man/nivra-cli.1" 2>/dev/null |
    sed 's/$/\r/' >"$stage/nivra-cli.txt"
sed 's/$/\r/' "$root/packaging/windows/README.txt" >"$stage/README.txt"
rm -f "$out/nivra-cli-windows.zip"
(cd "$out/zip" && zip -q -r -X "$out/nivra-cli-windows.zip" nivra-cli-windows)
echo "built $out/bin/nivra-cli.exe and $out/nivra-cli-windows.zip"
