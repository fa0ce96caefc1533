#!/usr/bin/env bash
# Runs a command with QEMU registered for i386 programs, for a kernel that runs no 32-bit code:
#   i386.sh COMMAND [ARGS...]
# The registration is made in a private user and mount namespace, with binfmt_misc mounted there
# alone, so the rest of the machine never sees it; every program the command starts inherits it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ "${1:-}" != --inside ]; then
    qemu=$("$here/qemu_i386.sh") || {
        echo "i386.sh: this kernel runs no 32-bit code and there is no QEMU 8.1 or later" \
            "to run it (make win32-deps installs one)" >&2
        exit 1
    }
    exec unshare --user --map-root-user --mount "$0" --inside "$qemu" "$@"
fi
qemu=$2
shift 2
mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
# ELF, 32-bit, little-endian, an executable or a position-independent one, for the i386. F: the
# interpreter is opened now, so that it need not be found again inside each program's root.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
echo ":kovelint-i386:M::$magic:$mask:$qemu:F" >/proc/sys/fs/binfmt_misc/register
exec "$@"
