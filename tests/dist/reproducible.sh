#!/usr/bin/env bash
# The same commit makes the same release: two clones of the last commit, in folders of different
# names and depths, each make their release (make dist-files) one after the other with a
# different umask, locale and time zone, and every file in the two dist/ folders must be the same
# bytes. A file that differs is named, with diffoscope's account of what differs in it.
# Usage: tests/dist/reproducible.sh <repository>
set -euo pipefail
repo=$(cd "$1" && pwd)
commit=$(git -C "$repo" rev-parse HEAD)
work=$(mktemp -d "${TMPDIR:-/tmp}/kovelint-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
first=$work/a/kovelint
second=$work/second-build/nested/kovelint-$commit
# The browser tests' Node modules the web build expects, from npm's cache when it has them.
npm_cache=$(npm config get cache 2>/dev/null || true)

release() { # <folder> <umask> <locale> <time zone>
    local dir=$1
    git clone -q --no-hardlinks "$repo" "$dir"
    git -C "$dir" checkout -q "$commit"
    local start=$SECONDS
    (
        umask "$2"
        cd "$dir"
        env LC_ALL="$3" LANG="$3" TZ="$4" ${npm_cache:+npm_config_cache="$npm_cache"} \
            make dist-files >"$dir.log" 2>&1
    ) || { tail -40 "$dir.log" >&2; echo "FAIL: the release in $dir did not build" >&2; exit 1; }
    echo "built in $dir: $((SECONDS - start)) s (umask $2, LC_ALL=$3, TZ=$4)"
}

release "$first" 022 C.UTF-8 UTC
release "$second" 002 C EST+5

a=$first/dist b=$second/dist
listed=$(diff <(cd "$a" && find . -type f | sort) <(cd "$b" && find . -type f | sort)) ||
    { echo "$listed" >&2; echo "FAIL: the two dist/ folders hold different files" >&2; exit 1; }
[ -s "$a/SHA256SUMS" ] || { echo "FAIL: no SHA256SUMS in $a" >&2; exit 1; }
failed=0
while read -r f; do
    if cmp -s "$a/$f" "$b/$f"; then
        echo "same: $f"
    else
        failed=1
        echo "FAIL: $f differs between the two builds:" >&2
        diffoscope --text - --max-text-report-size 20000 "$a/$f" "$b/$f" >&2 || true
    fi
done < <(cd "$a" && find . -type f | sed 's|^\./||' | sort)
# The sums are the files'.
(cd "$a" && sha256sum --quiet -c SHA256SUMS) || { echo "FAIL: SHA256SUMS does not match" >&2; exit 1; }
echo "SHA256SUMS of $commit:"
cat "$a/SHA256SUMS"
exit $failed
