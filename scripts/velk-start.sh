#!/usr/bin/env bash
# The Debian package's "velk": lays out the user's program directory ~/VELK as run.sh
# does (programs refreshed, a user's settings and libraries never overwritten), then
# starts VELK there on the packet it is given.
set -euo pipefail
prefix=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)
target=$HOME/VELK
bash "$prefix/lib/velk/layout-program.sh" "$target" "$prefix/lib/velk" "$prefix/share/velk"
# The program reads its packet after the change of directory: relative names first.
arguments=()
for a in "$@"; do
    case $a in
        /*) arguments+=("$a") ;;
        *) arguments+=("$PWD/$a") ;;
    esac
done
cd "$target"
exec "$target/velk" "${arguments[@]}"
