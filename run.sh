#!/usr/bin/env bash
# Installs what is missing, builds, lays out the program directory (default ~/VELK, or
# the one given as first argument) and starts VELK on the demo packet.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
build=${VELK_BUILD_DIR:-$root/build}
target=${1:-$HOME/VELK}
bash "$root/scripts/install-program.sh" "$build" "$target"
cd "$target"
packet=()
[ -f "$target/QWK/DEMO.QWK" ] && packet=("$target/QWK/DEMO.QWK")
exec "$target/velk" "${packet[@]}"
