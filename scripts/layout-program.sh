#!/usr/bin/env bash
# layout-program.sh TARGET SOURCE...: lays out a VELK program directory, each file taken
# from the first source directory that holds it. The executables, the font and the help
# file are refreshed; VELK.INI, the library files and the demo packet are written only
# where none exists, so a user's settings and libraries are never overwritten.
set -euo pipefail
target=$1
shift
sources=("$@")

source_of() {
    local d
    for d in "${sources[@]}"; do
        if [ -f "$d/$1" ]; then
            echo "$d/$1"
            return 0
        fi
    done
    echo "Fichier introuvable pour installer VELK : $1 (cherché dans ${sources[*]})" >&2
    return 1
}

mkdir -p "$target"
target=$(cd "$target" && pwd)
mkdir -p "$target/WORK" "$target/QWK" "$target/REP"
# -C leaves an unchanged file alone, so a start from the launcher copies nothing twice.
for f in velk velk-cli velk-ansi; do
    install -C -m 755 "$(source_of "$f")" "$target/$f"
done
for f in VELKFONT.LICENSE VELK.HLP; do
    install -C -m 644 "$(source_of "$f")" "$target/$f"
done
# The Debian package holds the font under the name Debian gives TrueType fonts.
font=$(source_of velkfont.ttf 2>/dev/null) || font=$(source_of VELKFONT.FON)
install -C -m 644 "$font" "$target/VELKFONT.FON"
for f in ENTETES.INI PIEDPAGE.INI TAGLINES.INI AMIS.INI; do
    [ -e "$target/$f" ] || install -m 644 "$(source_of "$f")" "$target/$f"
done
if [ ! -e "$target/VELK.INI" ]; then
    # Through a temporary file, so an interrupted run leaves no half-written settings.
    printf '[Repertoire]\r\nVELKPath=%s\r\nWorkPath=%s\r\nQWKPath=%s\r\nREPPath=%s\r\n[Divers]\r\nFirstUse=0\r\n' \
        "$target" "$target/WORK" "$target/QWK" "$target/REP" > "$target/VELK.INI.tmp"
    mv -n "$target/VELK.INI.tmp" "$target/VELK.INI"
    rm -f "$target/VELK.INI.tmp"
fi
if demo=$(source_of DEMO.QWK 2>/dev/null) && [ ! -e "$target/QWK/DEMO.QWK" ]; then
    install -m 644 "$demo" "$target/QWK/DEMO.QWK"
fi
