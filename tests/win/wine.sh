#!/usr/bin/env bash
# Runs a Windows program under Debian's Wine in the tests' own Wine prefix, made on first use:
#   wine.sh [--headless] [--x86] [--dpi N] PREFIX PROGRAM [ARGS...]
# A headless prefix has Wine's null display driver: its windows are sized, painted and sent
# messages as anywhere, on a screen that is not there, so the unit tests need no X.
# --dpi N makes the prefix with a screen of N dots per inch (96 is 100 %), for a prefix of its own.
# --x86 runs a 32-bit program under 32-bit Wine in a 32-bit prefix, as on 32-bit Windows. Where
# the kernel runs no 32-bit code, QEMU runs Wine's i386 programs, registered for them only in a
# namespace of the tests' own (i386.sh), so nothing changes for the rest of the machine.
# The prefix lives in the build folder, so nothing of the developer's own Wine is touched. Its
# windows are left unmanaged: without a window manager Wine would otherwise wait two seconds at
# exit for each window to be withdrawn. A crash ends the program instead of starting Wine's
# debugger, and Wine says nothing of its own.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
graphics=
x86=
dpi=
while :; do
    case $1 in
        --headless) graphics=null ;;
        --x86) x86=1 ;;
        --dpi) dpi=$2; shift ;;
        *) break ;;
    esac
    shift
done
prefix=$1
shift
run=()
if [ -n "$x86" ]; then
    WINE=/usr/lib/wine/wine
    export WINEARCH=win32
    [ -x "$WINE" ] || { echo "wine.sh: no 32-bit Wine (make win32-deps)" >&2; exit 1; }
    "$here/runs_i386.sh" || run=("$here/i386.sh")
else
    WINE=/usr/lib/wine/wine64
    [ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine)
    export WINEARCH=win64
fi
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d;mscoree=;mshtml="
wine() { "${run[@]}" "$WINE" "$@"; }
# Tests running side by side make the prefix once between them.
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/.made" ]; then
    rm -rf "$prefix"
    DISPLAY= wine wineboot -i >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    [ -z "$graphics" ] ||
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$graphics" /f >/dev/null 2>&1
    [ -z "$dpi" ] ||
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
    [ -f "$prefix/system.reg" ] || { echo "wine.sh: no Wine prefix made in $prefix" >&2; exit 1; }
    touch "$prefix/.made"
fi
flock -u 9
exec "${run[@]}" "$WINE" "$@"
