#!/usr/bin/env bash
# Installs what building and testing Vulkara needs on Debian 12, skipping what is there.
# Runs as root (or through sudo when it is available).
set -eu

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libbenchmark-dev libpng-dev
    mingw-w64
    wine wine64 wine32:i386
    xserver-xorg-core xserver-xorg-video-dummy xdotool x11-apps imagemagick time
    xscreensaver-data-extra x11-xserver-utils libx11-dev libxdamage-dev python3
    libxext-dev xscreensaver
    nsis
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: everything is installed"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
fi
as_root apt-get update -q
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
