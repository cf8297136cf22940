#!/usr/bin/env bash
# Installs the Debian packages the build, the tools and the tests need, when any is missing.
# Safe to run again: it does nothing when everything is there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    libtinyxml-dev libplist-dev
    libfreetype-dev libfontconfig-dev fonts-dejavu-core
    libpng-dev libjpeg-dev
    libx11-dev libxcursor-dev libgl-dev libepoxy-dev libxtst-dev libxres-dev
    libsndfile1-dev libcairo2-dev
    xvfb xauth libgl1-mesa-dri x11-utils
    valgrind binutils
    locales
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"
fi
