#!/usr/bin/env bash
# lintian has nothing at all to say about the package, at every level it can report (errors,
# warnings, info, pedantic and experimental tags, and overrides left over from a tag that no
# longer fires). The only tags allowed are those overridden in packaging/lintian-overrides, each
# with the reason in a comment above it; and in a build that is not fortified (unoptimised, or
# under AddressSanitizer) the tag saying so.
# Usage: package_lintian.sh <folder holding the .deb> <fortified: 1 or 0>
set -euo pipefail
debs=("$1"/*.deb)
fortified=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

options=(-I -E --pedantic --fail-on "error,warning,info,pedantic,experimental")
[ "$fortified" = 1 ] || options+=(--suppress-tags hardening-no-fortify-functions)
status=0
report=$(lintian "${options[@]}" "${debs[0]}" 2>&1) || status=$?
echo "$report"
if grep -E '^[A-Z]: ' <<<"$report" >&2; then
    fail "lintian reports the lines above"
fi
[ "$status" -eq 0 ] || fail "lintian ended with status $status"

# Every override the package ships says why, in the comment lines just above it.
overrides=$(dpkg-deb --fsys-tarfile "${debs[0]}" | tar -xO ./usr/share/lintian/overrides/kovelint)
awk '/^#/ { reason = 1; next } /^[[:space:]]*$/ { reason = 0; next }
     !reason { print "override without a reason: " $0; bad = 1 } END { exit bad }' \
    <<<"$overrides" >&2 || fail "packaging/lintian-overrides"
echo "lintian: no tag at any level; $(grep -c '^[^#]' <<<"$overrides") override(s), each with its reason"
