#!/usr/bin/env bash
# lintian accepts the package: no error, no warning, and no override left over from a tag that
# no longer fires.
# Usage: package_lintian.sh <folder holding the .deb>
set -euo pipefail
debs=("$1"/*.deb)
status=0
report=$(lintian "${debs[0]}" 2>&1) || status=$?
echo "$report"
[ "$status" -eq 0 ] || { echo "FAIL: lintian ended with status $status" >&2; exit 1; }
if grep -E '^[EW]: |^I: .* unused-override ' <<<"$report" >&2; then
    echo "FAIL: lintian reports the lines above" >&2
    exit 1
fi
echo "lintian: no error, no warning"
