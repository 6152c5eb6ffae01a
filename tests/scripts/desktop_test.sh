#!/usr/bin/env bash
# desktop_test.sh BUILD: lays out a program directory with an awkward name in a temporary
# home and brings it onto the desktop as run.sh does. The launchers pass
# desktop-file-validate; the desktop's own launching runs the program in its directory on
# the packet given; packets of every name boards use are QWK packets opened by VELK.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/testlib.sh"
root=$(cd "$here/../.." && pwd)
build=$1
needs desktop-file-validate update-mime-database update-desktop-database gio

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home
unset XDG_DATA_HOME XDG_CONFIG_HOME
export XDG_DATA_DIRS=/usr/local/share:/usr/share
export PATH=/usr/local/bin:/usr/bin:/bin
apps=$HOME/.local/share/applications
# Every character the launcher's format reserves, and a space.
program="$HOME/Mes programmes/VELK \$a \"b\" \`c\` d\\e"

bash "$root/scripts/install-program.sh" "$build" "$program" > /dev/null ||
    fail "install-program.sh"
out=$(bash "$root/scripts/install-desktop.sh" "$program" 2>&1) || fail "install-desktop.sh: $out"
expect_contains "says where the launcher is" "$out" "Lanceur VELK installé : $apps/velk.desktop"
expect_contains "says velk-cli is not on PATH yet" "$out" \
    "velk-cli est dans $HOME/.local/bin, qui n'est pas encore dans votre PATH."

for launcher in "$apps/velk.desktop" "$root/data/desktop/velk.desktop"; do
    result=$(desktop-file-validate "$launcher" 2>&1)
    expect_eq "desktop-file-validate $launcher" "" "$result"
done
launcher=$(< "$apps/velk.desktop")
expect_contains "launcher command line" "$launcher" \
    'Exec="'"$HOME"'/Mes programmes/VELK \\$a \\"b\\" \\`c\\` d\\\\e/velk" %f'
expect_contains "launcher directory" "$launcher" \
    "Path=$HOME/Mes programmes/VELK \$a \"b\" \`c\` d\\\\e"
expect_contains "launcher name" "$launcher" "GenericName=Lecteur de courrier QWK"
expect_contains "launcher categories" "$launcher" "Categories=Network;Email;"
expect_contains "launcher packet type" "$launcher" "MimeType=application/x-qwk;"

# The desktop's own launching, with a stand-in that tells where and on what it ran.
mkdir -p "$work/paquets"
packet="$work/paquets/Mon BBS.QW3"
cp "$build/DEMO.QWK" "$packet"
mv "$program/velk" "$program/velk.real"
printf '#!/bin/sh\n{ pwd; for a; do echo "$a"; done; } > "%s.tmp" && mv "%s.tmp" "%s"\n' \
    "$work/launched" "$work/launched" "$work/launched" > "$program/velk"
chmod +x "$program/velk"
gio launch "$apps/velk.desktop" "$packet" 2> "$work/gio.err" || fail "gio launch: $(< "$work/gio.err")"
for _ in $(seq 100); do
    [ -f "$work/launched" ] && break
    sleep 0.1
done
expect_eq "launched in the program directory on the packet" "$program"$'\n'"$packet" \
    "$(cat "$work/launched" 2> /dev/null)"
mv "$program/velk.real" "$program/velk"

# The packet type: every name boards use, in either case; other archives stay ZIP files.
for name in a.qwk B.QWK C.QW0 D.qw5 E.QW9 F.QWX G.REP; do
    cp "$build/DEMO.QWK" "$work/paquets/$name"
    type=$(gio info -a standard::content-type "$work/paquets/$name" |
        sed -n 's/^ *standard::content-type: //p')
    case $name in
        F.QWX | G.REP) expect_eq "type of $name" application/zip "$type" ;;
        *) expect_eq "type of $name" application/x-qwk "$type" ;;
    esac
done
expect_contains "VELK opens QWK packets" "$(gio mime application/x-qwk 2>&1)" \
    "Default application for “application/x-qwk”: velk.desktop"
[ -f "$HOME/.local/share/icons/hicolor/scalable/apps/velk.svg" ] || fail "icon not installed"
for page in velk velk-cli; do
    [ -f "$HOME/.local/share/man/man1/$page.1" ] || fail "manual page $page(1) not installed"
done
if command -v man >/dev/null; then
    expect_eq "man finds velk-cli(1)" "$HOME/.local/share/man/man1/velk-cli.1" \
        "$(PATH="$HOME/.local/bin:$PATH" env -u MANPATH man -w velk-cli 2>&1)"
fi

# velk-cli on the PATH, through a link a second run replaces but a user's own file stops.
cli="$HOME/.local/bin/velk-cli"
expect_eq "velk-cli link" "$program/velk-cli" "$(readlink "$cli")"
PATH="$HOME/.local/bin:$PATH" velk-cli info "$packet" > /dev/null 2>&1 || fail "velk-cli from PATH"
out=$(PATH="$HOME/.local/bin:$PATH" bash "$root/scripts/install-desktop.sh" "$program" 2>&1) ||
    fail "second run: $out"
case $out in *PATH*) fail "second run: velk-cli said to be off PATH" ;; esac
expect_eq "velk-cli link after a second run" "$program/velk-cli" "$(readlink "$cli")"
rm "$cli"
echo "mon script" > "$cli"
out=$(bash "$root/scripts/install-desktop.sh" "$program" 2>&1) || fail "third run: $out"
expect_eq "the user's own velk-cli" "mon script" "$(< "$cli")"
expect_contains "says it left it" "$out" \
    "$cli existe déjà et n'est pas un lien : laissé tel quel."

# A directory no launcher can name is refused, with nothing written.
odd="$work/VELK 100%"
mkdir -p "$odd"
rm -rf "$HOME/.local"
out=$(bash "$root/scripts/install-desktop.sh" "$odd" 2>&1)
expect_eq "a directory holding %: exit code" 1 "$?"
expect_eq "a directory holding %: message" \
    "Ce répertoire ne peut pas figurer dans un lanceur du bureau : $odd" "$out"
[ -e "$HOME/.local" ] && fail "a directory holding %: files written"

finish
