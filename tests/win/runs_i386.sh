#!/usr/bin/env bash
# Whether this machine's kernel runs 32-bit x86 programs: a 96-byte i386 program that only ends
# with status 42, written and started here. Ends 0 if it ran, 1 if not (an x86-64 kernel built or
# booted without IA-32 emulation says "Exec format error").
set -u
dir=$(mktemp -d "${TMPDIR:-/tmp}/kovelint-i386.XXXXXX")
trap 'rm -rf "$dir"' EXIT
python3 - "$dir/exit42" <<'PY'
import struct, sys
code = bytes([0xB8, 1, 0, 0, 0, 0xBB, 42, 0, 0, 0, 0xCD, 0x80])  # exit(42) by int 0x80
base, ehdr, phdr = 0x08048000, 52, 32
size = ehdr + phdr + len(code)
header = b"\x7fELF" + bytes([1, 1, 1]) + bytes(9)
header += struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, base + ehdr + phdr, ehdr, 0, 0, ehdr, phdr, 1, 0, 0, 0)
segment = struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000)
with open(sys.argv[1], "wb") as f:
    f.write(header + segment + code)
PY
chmod +x "$dir/exit42"
"$dir/exit42" 2>/dev/null
[ $? = 42 ]
