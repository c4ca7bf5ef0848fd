#!/usr/bin/env bash
# ./package.sh [BUILD_DIR]: builds the Debian package nivra-usb and prints the path of the .deb.
#
# Installs what is missing, then builds BUILD_DIR (default build-package: a Release tree without
# tests and benchmarks) and runs CPack in it. An existing tree is used as it is configured, so
# `./package.sh build` after ./test.sh packages the tested binaries without compiling again;
# debug and sanitizer trees are refused. Build output goes to standard error, the path of the
# package alone to standard output.
set -euo pipefail
cd "$(dirname "$0")"
dir=${1:-build-package}
case $dir in
/*) ;;
*) dir=$PWD/$dir ;;
esac

scripts/deps.sh >&2

cache_value() {
    sed -n "s/^$1:[A-Z]*=//p" "$dir/CMakeCache.txt"
}

if [ -f "$dir/CMakeCache.txt" ]; then
    build_type=$(cache_value CMAKE_BUILD_TYPE)
    case $build_type in
    Release | RelWithDebInfo | MinSizeRel) ;;
    *)
        echo "package.sh: $dir is a '$build_type' tree; package a Release tree" >&2
        exit 1
        ;;
    esac
    if [ -n "$(cache_value NIVRA_SANITIZE)" ] || [ "$(cache_value NIVRA_ONLY_CONCURRENCY)" = ON ]; then
        echo "package.sh: $dir is a sanitizer or concurrency-only tree; package a Release tree" >&2
        exit 1
    fi
    scripts/build.sh "$dir" >&2
else
    scripts/build.sh "$dir" -DCMAKE_BUILD_TYPE=Release -DNIVRA_TESTS=OFF -DNIVRA_BENCH=OFF >&2
fi

# Only the package made now may be found afterwards.
rm -f "$dir"/nivra-usb_*.deb
(cd "$dir" && cpack -G DEB) >&2
packages=("$dir"/nivra-usb_*.deb)
if [ ${#packages[@]} -ne 1 ] || [ ! -f "${packages[0]}" ]; then
    echo "package.sh: cpack made no package in $dir" >&2
    exit 1
fi
echo "${packages[0]}"
