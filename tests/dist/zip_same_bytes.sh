#!/usr/bin/env bash
# packaging/zip.py makes the same bytes from the same files, whatever their times on disk, the
# umask they were written under, the clock's time zone or the order the folder lists them in;
# and the entries are sorted, dated from SOURCE_DATE_EPOCH, 0644 or 0755 as the file is
# executable, under the folder's own name.
# Usage: zip_same_bytes.sh <packaging/zip.py>
set -euo pipefail
zip_py=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

make_folder() { # <folder> <umask> <order of creation>
    (
        umask "$2"
        mkdir -p "$1/pkg/sub"
        for name in $3; do printf 'contents of %s\n' "$name" >"$1/pkg/$name"; done
        chmod +x "$1/pkg/run.exe"
    )
}
make_folder "$work/a" 022 "run.exe b.txt sub/z.txt A.txt"
make_folder "$work/b" 002 "A.txt sub/z.txt b.txt run.exe"
touch -d '2001-02-03 04:05:06' "$work/b/pkg/"*

SOURCE_DATE_EPOCH=1700000001 TZ=UTC python3 "$zip_py" "$work/a.zip" "$work/a/pkg"
SOURCE_DATE_EPOCH=1700000001 TZ=EST+5 LC_ALL=C python3 "$zip_py" "$work/b.zip" "$work/b/pkg"
cmp "$work/a.zip" "$work/b.zip" || fail "two zips of the same files differ"

listing=$(python3 - "$work/a.zip" <<'PY'
import sys, zipfile
for e in zipfile.ZipFile(sys.argv[1]).infolist():
    print(e.filename, oct(e.external_attr >> 16), "%04d-%02d-%02d %02d:%02d:%02d" % e.date_time)
PY
)
# 1700000001 is 2023-11-14 22:13:21 UTC; zip dates count seconds in twos.
expected="pkg/A.txt 0o100644 2023-11-14 22:13:20
pkg/b.txt 0o100644 2023-11-14 22:13:20
pkg/run.exe 0o100755 2023-11-14 22:13:20
pkg/sub/z.txt 0o100644 2023-11-14 22:13:20"
[ "$listing" = "$expected" ] || fail "entries:
$listing
expected:
$expected"

# Another date makes another zip: the date is taken, not fixed.
SOURCE_DATE_EPOCH=1700086401 python3 "$zip_py" "$work/c.zip" "$work/a/pkg"
cmp -s "$work/a.zip" "$work/c.zip" && fail "SOURCE_DATE_EPOCH does not reach the entries"

# A link in the folder is refused, not followed.
ln -s /etc/passwd "$work/a/pkg/link"
if SOURCE_DATE_EPOCH=1700000001 python3 "$zip_py" "$work/d.zip" "$work/a/pkg" 2>/dev/null; then
    fail "a link was packed"
fi
[ ! -e "$work/d.zip" ] && [ ! -e "$work/d.zip.part" ] || fail "a refused zip was left behind"
echo "zip.py: same bytes, sorted, dated and marked as expected"
