#!/usr/bin/env bash
# Runs scripts/install-deps.sh against stand-ins for dpkg-query, apt-cache, apt-get, sudo
# and id, and checks the exact commands it runs and its exit code: root or not, with sudo
# or without, everything missing or nothing, and a package apt does not know.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/testlib.sh"
script="$here/../../scripts/install-deps.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Only these real programs are reachable, so a sudo installed on this machine stays unseen.
mkdir -p "$work/tools" "$work/standins"
for t in bash env grep; do
    ln -s "$(command -v "$t")" "$work/tools/$t"
done

# Each stand-in logs "uid:command arguments" and behaves as its package state says:
# STANDIN_UID (id -u), STANDIN_MISSING ("all" or names), STANDIN_UNKNOWN (names apt-cache
# does not know), STANDIN_INSTALL_FAILS.
cat > "$work/standins/id" <<'EOF'
#!/usr/bin/env bash
[ "$1" = "-u" ] && echo "$STANDIN_UID"
EOF
cat > "$work/standins/dpkg-query" <<'EOF'
#!/usr/bin/env bash
p=${!#}
echo "$p" >> "$STANDIN_QUERIED"
case " $STANDIN_MISSING " in
    " all " | *" $p "*) echo "dpkg-query: no packages found matching $p" >&2; exit 1 ;;
esac
printf 'install ok installed'
EOF
cat > "$work/standins/apt-cache" <<'EOF'
#!/usr/bin/env bash
echo "$STANDIN_UID:apt-cache $*" >> "$STANDIN_LOG"
case " $STANDIN_UNKNOWN " in *" ${!#} "*) exit 100 ;; esac
echo "Package: ${!#}"
EOF
cat > "$work/standins/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "$STANDIN_UID:apt-get $* [DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-}]" >> "$STANDIN_LOG"
[ "$STANDIN_UID" = 0 ] || { echo "E: Could not open lock file" >&2; exit 100; }
[ "$1" = install ] && [ -n "${STANDIN_INSTALL_FAILS:-}" ] && exit 100
exit 0
EOF
cat > "$work/standins/sudo" <<'EOF'
#!/usr/bin/env bash
echo "$STANDIN_UID:sudo $*" >> "$STANDIN_LOG"
# sudo resets the environment: only what its command line sets reaches the command.
exec env -u DEBIAN_FRONTEND STANDIN_UID=0 "$@"
EOF
chmod +x "$work/standins/"*

# run NAME UID SUDO(yes|no) MISSING UNKNOWN [ARGS...]: sets status, log, queried, errors.
run() {
    local name=$1 uid=$2 sudo=$3 missing=$4 unknown=$5
    shift 5
    local bin="$work/$name"
    mkdir -p "$bin"
    cp "$work/standins/"* "$bin/"
    [ "$sudo" = yes ] || rm "$bin/sudo"
    : > "$work/$name.log"
    : > "$work/$name.queried"
    env -i HOME="$work" PATH="$bin:$work/tools" DEBIAN_FRONTEND=readline \
        STANDIN_UID="$uid" STANDIN_MISSING="$missing" STANDIN_UNKNOWN="$unknown" \
        STANDIN_INSTALL_FAILS="${INSTALL_FAILS:-}" \
        STANDIN_LOG="$work/$name.log" STANDIN_QUERIED="$work/$name.queried" \
        bash "$script" "$@" > "$work/$name.out" 2> "$work/$name.err"
    status=$?
    log=$(< "$work/$name.log")
    queried=$(< "$work/$name.queried")
    errors=$(< "$work/$name.err")
}

# The commands that install $1 (space-separated) as uid $2, with "sudo" prefix $3.
install_log() {
    local packages=$1 uid=$2 sudo=$3 p
    if [ -n "$sudo" ]; then
        echo "$uid:sudo apt-get update -qq"
        echo "0:apt-get update -qq [DEBIAN_FRONTEND=]"
    else
        echo "0:apt-get update -qq [DEBIAN_FRONTEND=readline]"
    fi
    for p in $packages; do
        echo "$uid:apt-cache show --no-all-versions $p"
    done
    if [ -n "$sudo" ]; then
        echo "$uid:sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $packages"
    fi
    echo "0:apt-get install -y -qq --no-install-recommends $packages [DEBIAN_FRONTEND=noninteractive]"
}

# Nothing missing: nothing runs, whoever runs it.
for uid in 0 1000; do
    run "none-$uid" "$uid" yes "" "" --test
    expect_eq "nothing missing as $uid: exit code" 0 "$status"
    expect_eq "nothing missing as $uid: commands" "" "$log"
done

# Which packages each choice checks: its words, in the script's order.
run none-base 0 no "" ""
base=$(echo $queried)
run none-test 0 no "" "" --test
all=$(echo $queried)
run none-deb 0 no "" "" --deb
deb=$(echo $queried)
for p in cmake qt6-base-dev zip unzip console-data libgtest-dev; do
    expect_contains "build and run packages" " $base " " $p "
done
for p in clang-format clang-tidy poppler-utils desktop-file-utils libglib2.0-bin lintian dpkg-dev; do
    expect_contains "test tools with --test" " $all " " $p "
    case " $base " in *" $p "*) fail "$p installed for a plain run" ;; esac
done
for p in dpkg-dev file lintian; do
    expect_contains "packaging tools with --deb" " $deb " " $p "
done
expect_eq "no package checked twice" "" "$(sort <<< "$queried" | uniq -d)"

# Everything missing: root installs directly, a user through sudo.
run all-root 0 no all "" --test
expect_eq "root without sudo: exit code" 0 "$status"
expect_eq "root without sudo: commands" "$(install_log "$all" 0 "")" "$log"
expect_contains "root: announces what it installs" "$(< "$work/all-root.out")" \
    "Installation des paquets manquants : $all"

run all-user 1000 yes all "" --test
expect_eq "user with sudo: exit code" 0 "$status"
expect_eq "user with sudo: commands" "$(install_log "$all" 1000 sudo)" "$log"

run all-nosudo 1000 no all "" --test
expect_eq "user without sudo: exit code" 1 "$status"
expect_eq "user without sudo: commands" "" "$log"
expect_contains "user without sudo: says what to do" "$errors" \
    "sudo n'est pas installé : installez-les en root (apt-get install $all)"

# A package apt does not know: named in French, nothing installed, non-zero exit.
for uid in 0 1000; do
    run "unknown-$uid" "$uid" yes "lintian cmake" "lintian" --test
    expect_eq "unknown package as $uid: exit code" 1 "$status"
    expect_contains "unknown package as $uid: named" "$errors" \
        "Paquet introuvable dans les dépôts d'apt : lintian"
    case $log in *"apt-get install"*) fail "unknown package as $uid: something installed" ;; esac
done
expect_eq "unknown package: commands" \
    "$(install_log "cmake lintian" 0 "" | grep -v install)" "$(< "$work/unknown-0.log")"

# apt-get failing: its code, and a French message naming the packages.
INSTALL_FAILS=1 run fails 0 no "zip unzip" ""
expect_eq "failed install: exit code" 100 "$status"
expect_contains "failed install: message" "$errors" \
    "L'installation des paquets a échoué (apt-get, code 100) : zip unzip"

run option 0 no "" "" --everything
expect_eq "unknown option: exit code" 2 "$status"

finish
