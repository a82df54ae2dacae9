#!/usr/bin/env bash
# Installs what the Windows build, its Wine runs and its tests need; only the
# missing packages, and apt's lists are refreshed only when something is.
set -euo pipefail

packages=(
    cmake
    make
    g++
    g++-mingw-w64-x86-64
    g++-mingw-w64-i686
    binutils-mingw-w64-x86-64
    binutils-mingw-w64-i686
    googletest
    libgtest-dev
    wine64
    xvfb
    fonts-ipafont-gothic
    fonts-wine
    locales
    imagemagick
    python3-pefile
    osslsigncode
    openssl
    xdotool
    clang
    clang-format
    libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if ((EUID != 0)); then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"
