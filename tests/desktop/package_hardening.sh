#!/usr/bin/env bash
# The packaged game is built hardened as Debian builds its own: hardening-check passes every
# line it can decide (position-independent, stack protector, fortified functions, full RELRO,
# immediate binding, stack-clash probes, control-flow marks).
# Usage: package_hardening.sh <folder holding the .deb> <fortified: 1 or 0> <C++ compiler>
set -euo pipefail
debs=("$1"/*.deb)
fortified=$2 compiler=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "${debs[0]}" "$scratch"
game=$scratch/usr/games/kovelint
[ -f "$game" ] || fail "no usr/games/kovelint in ${debs[0]}"

# The linker marks a program as fit for control-flow enforcement (IBT and the shadow stack) only
# if every object in it is marked, the C library's start files among them. Where those carry no
# mark (Debian 12: crti.o's _init has no landing pad), no program linked against them can pass
# that line, however its own code is compiled; it is then not asked for.
options=()
if [ "$fortified" != 1 ]; then
    options+=(--nofortify)
    echo "not required: fortified functions (not a fortified build)"
fi
crti=$("$compiler" -print-file-name=crti.o)
if ! readelf -n "$crti" | grep -q 'x86 feature: IBT, SHSTK'; then
    options+=(--nocfprotection)
    echo "not required: control flow integrity ($crti is not marked for it)"
fi

status=0
hardening-check "${options[@]}" "$game" || status=$?
[ "$status" -eq 0 ] || fail "hardening-check ended with status $status"
echo "hardening-check: passed"
