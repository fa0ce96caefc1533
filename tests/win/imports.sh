#!/usr/bin/env bash
# Each Windows program imports only libraries that every Windows has:
#   imports.sh OBJDUMP PROGRAM...
# A runtime DLL of the compiler (libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll) or any
# other library would have to ship beside the program, which then no longer runs on its own.
set -euo pipefail
objdump=$1
shift
system='^(kernel32|user32|gdi32|msvcrt|advapi32|shell32|comctl32|ole32|uxtheme)\.dll$'
failed=0
for program in "$@"; do
    names=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
    if [ -z "$names" ]; then
        echo "FAIL $program: no imports found (not a PE program?)"
        failed=1
        continue
    fi
    others=$(grep -viE "$system" <<<"$names" || true)
    if [ -n "$others" ]; then
        echo "FAIL $program imports" $others
        failed=1
    else
        echo "ok   $program:" $names
    fi
done
exit $failed
