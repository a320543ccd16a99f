#!/usr/bin/env bash
# Installs the Debian packages the program, its tests and its test peers need, when any is missing.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-private-dev qt6-serialport-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev
    libtelnet-dev libsimpleini-dev
    libgtest-dev libgmock-dev
    socat lrzsz srecord binutils sox xvfb python3
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
