#!/usr/bin/env bash
# ./run.sh [DIRECTORY]: installs what is missing, builds, lays out the program directory
# (default ~/VELK), adds VELK to the user's desktop and starts it on the demo packet.
# ./run.sh --deb: builds the Debian package instead.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
build=${VELK_BUILD_DIR:-$root/build}

if [ "${1:-}" = "--deb" ]; then
    bash "$root/scripts/install-deps.sh" --deb
    bash "$root/scripts/build.sh"
    (cd "$build" && cpack -G DEB)
    deb=$(ls -t "$build"/velk_*.deb | head -n 1)
    echo "Paquet Debian : $deb"
    echo "Pour l'installer (en root, ou avec sudo) : apt install $deb"
    exit 0
fi

bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
target=${1:-$HOME/VELK}
bash "$root/scripts/install-program.sh" "$build" "$target"
# The program runs without its launcher; the script has said why it could not add one.
bash "$root/scripts/install-desktop.sh" "$target" || true
cd "$target"
packet=()
[ -f "$target/QWK/DEMO.QWK" ] && packet=("$target/QWK/DEMO.QWK")
exec "$target/velk" "${packet[@]}"
