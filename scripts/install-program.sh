#!/usr/bin/env bash
# Lays out a program directory from a build: the executables, the font and the help file
# are refreshed; VELK.INI and the library files are written only where none exists, so a
# user's settings and libraries are never overwritten.
set -euo pipefail
build=$1
target=$2
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$target"
target=$(cd "$target" && pwd)
mkdir -p "$target/WORK" "$target/QWK" "$target/REP"
install -m 755 "$build/velk" "$build/velk-cli" "$target/"
install -m 644 "$build/VELKFONT.FON" "$root/data/VELKFONT.LICENSE" "$root/data/VELK.HLP" "$target/"
for f in ENTETES.INI PIEDPAGE.INI TAGLINES.INI AMIS.INI; do
    [ -e "$target/$f" ] || install -m 644 "$root/data/$f" "$target/$f"
done
if [ ! -e "$target/VELK.INI" ]; then
    # Through a temporary file, so an interrupted run leaves no half-written settings.
    printf '[Repertoire]\r\nVELKPath=%s\r\nWorkPath=%s\r\nQWKPath=%s\r\nREPPath=%s\r\n[Divers]\r\nFirstUse=0\r\n' \
        "$target" "$target/WORK" "$target/QWK" "$target/REP" > "$target/VELK.INI.tmp"
    mv -n "$target/VELK.INI.tmp" "$target/VELK.INI"
    rm -f "$target/VELK.INI.tmp"
fi
if [ -f "$build/DEMO.QWK" ] && [ ! -e "$target/QWK/DEMO.QWK" ]; then
    install -m 644 "$build/DEMO.QWK" "$target/QWK/DEMO.QWK"
fi
echo "VELK installé dans $target"
