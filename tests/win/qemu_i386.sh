#!/usr/bin/env bash
# Prints the QEMU that runs i386 programs for the 32-bit Wine, and ends 1 if there is none new
# enough: 8.1 or later, for Wine maps its shared memory with MAP_FIXED_NOREPLACE, which 7.2
# ignores.
set -u
qemu=$(command -v qemu-i386) || exit 1
version=$("$qemu" --version | sed -n '1s/.*version \([0-9]*\)\.\([0-9]*\).*/\1 \2/p')
read -r major minor <<<"${version:-0 0}"
[ "$major" -gt 8 ] || { [ "$major" = 8 ] && [ "$minor" -ge 1 ]; } || exit 1
echo "$qemu"
