#!/usr/bin/env bash
# package_test.sh BUILD: builds the Debian package from a build directory and checks its
# name, contents and dependencies, that lintian finds no error nor warning in it, that its
# programs are hardened, and that its "velk"
# lays out a user's ~/VELK at the first start and never overwrites the user's files after.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/testlib.sh"
build=$1
needs cpack dpkg-deb dpkg-shlibdeps file lintian

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

if ! (cd "$build" && cpack -G DEB -B "$work/out") > "$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    fail "cpack -G DEB"
    finish
fi
deb=$work/out/velk_${version}_amd64.deb
[ -f "$deb" ] || { fail "no $(basename "$deb") in: $(ls "$work/out")"; finish; }

contents=$(dpkg-deb --contents "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }')
for f in ./usr/bin/velk "./usr/bin/velk-cli -> ../lib/velk/velk-cli" \
    ./usr/lib/velk/velk ./usr/lib/velk/velk-cli ./usr/lib/velk/velk-ansi \
    ./usr/lib/velk/layout-program.sh \
    ./usr/share/velk/velkfont.ttf ./usr/share/velk/VELKFONT.LICENSE ./usr/share/velk/VELK.HLP \
    ./usr/share/velk/ENTETES.INI ./usr/share/velk/PIEDPAGE.INI ./usr/share/velk/TAGLINES.INI \
    ./usr/share/velk/AMIS.INI ./usr/share/velk/DEMO.QWK \
    ./usr/share/applications/velk.desktop ./usr/share/icons/hicolor/scalable/apps/velk.svg \
    ./usr/share/mime/packages/velk.xml \
    ./usr/share/doc/velk/copyright ./usr/share/doc/velk/changelog.gz \
    ./usr/share/man/man1/velk.1.gz ./usr/share/man/man1/velk-cli.1.gz; do
    grep -qxF -- "$f" <<< "$contents" || fail "$f not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for p in zip unzip qt6-qpa-plugins libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6; do
    expect_contains "Depends" " $depends," " $p"
done

lintian --fail-on error,warning "$deb" > "$work/lintian" 2>&1 ||
    fail "lintian:"$'\n'"$(< "$work/lintian")"

# The first start from the launcher ("velk", a packet named relative to where it runs),
# with the packaged program swapped for its test entry point, which answers every box,
# prints the titles of the windows it shows and ends.
dpkg-deb -x "$deb" "$work/root"
cp "$build/tests/velk-driver" "$work/root/usr/lib/velk/velk"
export HOME=$work/home QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME/Téléchargements"
cp "$build/DEMO.QWK" "$HOME/Téléchargements/MONBBS.QWK"
start() {
    (cd "$HOME/Téléchargements" && "$work/root/usr/bin/velk" MONBBS.QWK) > "$work/run.out" \
        2> "$work/run.err"
}
start || fail "first start: $(< "$work/run.err")"
for f in velk velk-cli velk-ansi VELKFONT.FON VELK.HLP VELK.INI ENTETES.INI PIEDPAGE.INI TAGLINES.INI \
    AMIS.INI QWK/DEMO.QWK WORK REP; do
    [ -e "$HOME/VELK/$f" ] || fail "first start: no ~/VELK/$f"
done
expect_contains "settings name ~/VELK" "$(< "$HOME/VELK/VELK.INI")" "WorkPath=$HOME/VELK/WORK"
# The packet window, then the main window: no message came before.
expect_eq "windows shown" "Velk"$'\n'"VELK" "$(< "$work/run.out")"

# The user's own use counts and settings.
sed -i 's/ALL;1/ALL;7/' "$HOME/VELK/AMIS.INI"
sed -i 's/FirstUse=0/FirstUse=0\r\nMaxCar=72/' "$HOME/VELK/VELK.INI"
before=$(cd "$HOME/VELK" && md5sum AMIS.INI VELK.INI)
rm "$HOME/VELK/velk-cli"
start || fail "second start: $(< "$work/run.err")"
expect_eq "the user's files after a start" "$before" "$(cd "$HOME/VELK" && md5sum AMIS.INI VELK.INI)"
expect_contains "the user's settings" "$(< "$HOME/VELK/VELK.INI")" "MaxCar=72"
[ -x "$HOME/VELK/velk-cli" ] || fail "second start: velk-cli not put back"

finish
