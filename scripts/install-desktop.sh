#!/usr/bin/env bash
# install-desktop.sh PROGRAM_DIR: brings a laid-out program directory onto the user's
# desktop, without root: a launcher that starts VELK in that directory (on the packet it
# is given), its icon, the QWK packet type opened by VELK, and velk-cli in ~/.local/bin.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
desktop=$root/data/desktop
program=$(cd "$1" && pwd)
data_home=${XDG_DATA_HOME:-$HOME/.local/share}
bin_home=$HOME/.local/bin

# A launcher's line cannot hold a line break, and desktops look for the program before
# they turn "%%" back into "%".
case $program in
    *$'\n'* | *$'\r'* | *$'\t'* | *%*)
        echo "Ce répertoire ne peut pas figurer dans un lanceur du bureau : $program" >&2
        exit 1
        ;;
esac

# One argument of the Exec key, quoted: the format reserves " ` $ \ inside quotes, and
# string values escape the backslash once more.
exec_argument() {
    local s=$1 b='\'
    s=${s//"$b"/"$b$b$b$b"}
    s=${s//\"/"$b$b\""}
    s=${s//\`/"$b$b\`"}
    s=${s//\$/"$b$b\$"}
    printf '"%s"' "$s"
}

# A string value (the Path key): only the backslash is escaped.
string_value() {
    local b='\'
    printf '%s' "${1//"$b"/"$b$b"}"
}

mkdir -p "$data_home/applications" "$data_home/icons/hicolor/scalable/apps" \
    "$data_home/mime/packages" "$bin_home"

launcher=$data_home/applications/velk.desktop
while IFS= read -r line; do
    case $line in
        Exec=*)
            printf 'Exec=%s %%f\n' "$(exec_argument "$program/velk")"
            printf 'Path=%s\n' "$(string_value "$program")"
            ;;
        *) printf '%s\n' "$line" ;;
    esac
done < "$desktop/velk.desktop" > "$launcher.tmp"
mv "$launcher.tmp" "$launcher"
install -m 644 "$desktop/velk.svg" "$data_home/icons/hicolor/scalable/apps/velk.svg"
install -m 644 "$desktop/velk-mime.xml" "$data_home/mime/packages/velk.xml"
# man finds ~/.local/share/man from ~/.local/bin in the PATH.
mkdir -p "$data_home/man/man1"
install -m 644 "$root/data/man/velk.1" "$root/data/man/velk-cli.1" "$data_home/man/man1/"

# Without these tools the desktop finds the files at its next scan.
if command -v update-mime-database >/dev/null; then
    update-mime-database "$data_home/mime"
fi
if command -v update-desktop-database >/dev/null; then
    update-desktop-database "$data_home/applications"
fi

# A file of the user's own by that name stays; only our link is replaced.
if [ -e "$bin_home/velk-cli" ] && [ ! -L "$bin_home/velk-cli" ]; then
    echo "$bin_home/velk-cli existe déjà et n'est pas un lien : laissé tel quel." >&2
else
    ln -sfn "$program/velk-cli" "$bin_home/velk-cli"
fi
case ":$PATH:" in
    *":$bin_home:"*) ;;
    *) echo "velk-cli est dans $bin_home, qui n'est pas encore dans votre PATH." ;;
esac
echo "Lanceur VELK installé : $launcher"
