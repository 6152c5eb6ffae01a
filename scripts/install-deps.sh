#!/usr/bin/env bash
# Installs the Debian packages VELK needs; does nothing when they are all there already.
# Always what building and running need; with --test, what the tests check with too;
# with --deb, what building the Debian package needs. As root apt-get runs directly
# (a container or a new server often has no sudo), otherwise through sudo.
set -euo pipefail

packages=(
    build-essential cmake ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6printsupport6 qt6-translations-l10n qt6-qpa-plugins
    libgl1-mesa-dev libfontconfig-dev libgtest-dev libgmock-dev
    zip unzip console-data
)
test_packages=(
    libbenchmark-dev libx11-dev xvfb xauth
    clang-format clang-tidy poppler-utils desktop-file-utils shared-mime-info libglib2.0-bin
    clang libclang-rt-14-dev
)
deb_packages=(dpkg-dev file lintian)

for arg in "$@"; do
    case $arg in
        --test) packages+=("${test_packages[@]}" "${deb_packages[@]}") ;;
        --deb) packages+=("${deb_packages[@]}") ;;
        *)
            echo "install-deps.sh : option inconnue : $arg" >&2
            exit 2
            ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    case " ${missing[*]} " in *" $p "*) continue ;; esac
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installation des paquets manquants : ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "Paquets manquants : ${missing[*]}" >&2
        echo "sudo n'est pas installé : installez-les en root (apt-get install ${missing[*]}), puis relancez." >&2
        exit 1
    fi
    as_root=(sudo)
fi

if ! "${as_root[@]}" apt-get update -qq; then
    echo "La liste des paquets d'apt n'a pas pu être mise à jour." >&2
    exit 1
fi

unknown=()
for p in "${missing[@]}"; do
    apt-cache show --no-all-versions "$p" >/dev/null 2>&1 || unknown+=("$p")
done
if [ ${#unknown[@]} -ne 0 ]; then
    for p in "${unknown[@]}"; do
        echo "Paquet introuvable dans les dépôts d'apt : $p" >&2
    done
    echo "Aucun paquet n'a été installé." >&2
    exit 1
fi

# env sets the variable after sudo has reset the environment.
status=0
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" || status=$?
if [ $status -ne 0 ]; then
    echo "L'installation des paquets a échoué (apt-get, code $status) : ${missing[*]}" >&2
    exit $status
fi
