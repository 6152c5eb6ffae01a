#!/usr/bin/env bash
# hardening_test.sh BUILD: the programs are hardened as Debian's own are: position
# independent, relocations read-only and bound at start, the stack protector and the
# checked (FORTIFY) copies of the C library's functions linked in.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/testlib.sh"
needs readelf

# has WHAT PATTERN TEXT
has() {
    grep -qE -- "$2" <<< "$3" || fail "$program: $1"
}
for program in velk velk-cli velk-ansi; do
    elf=$1/$program
    dynamic=$(readelf -d "$elf")
    symbols=$(readelf --dyn-syms -W "$elf")
    has "PIE" "Type: +DYN \(Position-Independent" "$(readelf -h "$elf")"
    has "read-only relocations" "GNU_RELRO" "$(readelf -lW "$elf")"
    has "bound at start" "\(FLAGS\) +BIND_NOW" "$dynamic"
    has "bound at start" "Flags: NOW PIE" "$dynamic"
    has "stack protector" " __stack_chk_fail(@|$)" "$symbols"
done
# velk-cli reads packets without Qt's GUI libraries (a short run would take twice as long).
program=velk-cli
readelf -d "$1/velk-cli" | grep -q "libQt6Gui" && fail "velk-cli: links Qt's GUI library"
# velk-cli calls no C library function whose buffer size the compiler knows: only velk shows
# the checked copies.
program=velk
has "FORTIFY" " __[a-z_]+_chk(@|$)" "$(readelf --dyn-syms -W "$1/velk")"
finish
