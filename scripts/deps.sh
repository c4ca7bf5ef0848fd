#!/usr/bin/env bash
# scripts/deps.sh [PACKAGE...]: installs the Debian packages the build and the tests need, or
# the packages named, when they are missing.
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgtest-dev libgmock-dev
          libbenchmark-dev libboost-dev fonts-wine fonts-liberation poppler-utils libsqlite3-dev libpq-dev postgresql clang libclang-rt-14-dev dpkg-dev desktop-file-utils)
[ $# -gt 0 ] && packages=("$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
