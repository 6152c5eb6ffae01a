#!/usr/bin/env bash
# Lays out a program directory from a build: the executables, the font and the help file
# are refreshed; VELK.INI and the library files are written only where none exists, so a
# user's settings and libraries are never overwritten.
set -euo pipefail
build=$1
target=$2
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$target" "$target/WORK" "$target/QWK" "$target/REP"
install -m 755 "$build/velk" "$build/velk-cli" "$target/"
install -m 644 "$build/VELKFONT.FON" "$target/"
install -m 644 "$root/data/VELKFONT.LICENSE" "$target/"
[ -f "$root/data/VELK.HLP" ] && install -m 644 "$root/data/VELK.HLP" "$target/"
for f in ENTETES.INI PIEDPAGE.INI TAGLINES.INI AMIS.INI; do
    [ -e "$target/$f" ] || install -m 644 "$root/data/$f" "$target/$f"
done
if [ ! -e "$target/VELK.INI" ]; then
    printf '[Repertoire]\r\nVELKPath=%s\r\nWorkPath=%s\r\nQWKPath=%s\r\nREPPath=%s\r\n[Divers]\r\nFirstUse=0\r\n' \
        "$target" "$target/WORK" "$target/QWK" "$target/REP" > "$target/VELK.INI"
fi
if [ -f "$build/DEMO.QWK" ] && [ ! -e "$target/QWK/DEMO.QWK" ]; then
    install -m 644 "$build/DEMO.QWK" "$target/QWK/DEMO.QWK"
fi
echo "VELK installé dans $target"
