#!/usr/bin/env bash
# Installs the Debian packages VELK needs to build, run and test; does nothing when
# they are all there already. Uses sudo when not run as root.
set -euo pipefail

packages=(
    build-essential cmake ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6printsupport6 qt6-translations-l10n libgl1-mesa-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    zip unzip console-data
    clang libclang-rt-14-dev
    xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installation des paquets manquants : ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo -E apt-get install -y -qq --no-install-recommends "${missing[@]}"
