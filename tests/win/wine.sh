#!/usr/bin/env bash
# Runs a Windows program under Debian's wine64 in the tests' own Wine prefix, made on first use:
#   wine.sh [--headless] PREFIX PROGRAM [ARGS...]
# A headless prefix has Wine's null display driver: its windows are sized, painted and sent
# messages as anywhere, on a screen that is not there, so the unit tests need no X.
# The prefix lives in the build folder, so nothing of the developer's own Wine is touched. Its
# windows are left unmanaged: without a window manager Wine would otherwise wait two seconds at
# exit for each window to be withdrawn. A crash ends the program instead of starting Wine's
# debugger, and Wine says nothing of its own.
set -euo pipefail
graphics=
[ "$1" != --headless ] || { graphics=null; shift; }
prefix=$1
shift
WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine)
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d;mscoree=;mshtml="
export WINEARCH=win64
# Tests running side by side make the prefix once between them.
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/.made" ]; then
    rm -rf "$prefix"
    DISPLAY= "$WINE" wineboot -i >/dev/null 2>&1 || true
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    [ -z "$graphics" ] ||
        "$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$graphics" /f >/dev/null 2>&1
    "$(dirname "$WINE")/wineserver" -w
    [ -f "$prefix/system.reg" ] || { echo "wine.sh: no Wine prefix made in $prefix" >&2; exit 1; }
    touch "$prefix/.made"
fi
flock -u 9
exec "$WINE" "$@"
