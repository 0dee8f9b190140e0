#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Installs only what is missing, so a second run costs nothing.
set -euo pipefail

packages=(
    cmake ninja-build g++ python3 googletest libbenchmark-dev
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64 mingw-w64-tools
    wine wine64 fonts-wine xvfb xauth x11-utils xdotool imagemagick clang clang-format libclang-rt-14-dev
    nasm dosbox
    nsis zip file desktop-file-utils xdg-utils shared-mime-info
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
