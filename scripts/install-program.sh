#!/usr/bin/env bash
# install-program.sh BUILD TARGET: lays out a program directory from a build (see
# layout-program.sh: a user's settings and libraries are never overwritten).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/layout-program.sh" "$2" "$1" "$root/data"
echo "VELK installé dans $(cd "$2" && pwd)"
