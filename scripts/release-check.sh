#!/usr/bin/env bash
# Makes the release of this clone's commit (HEAD) twice and checks that the
# two are the same bytes: from two fresh clones in folders of different names
# and depths, one after the other (so at different times), under different
# umasks, time zones and locales. On a difference it names each file, where
# the first differing byte is and the bytes around it in both, and shows
# diffoscope's report when Debian's diffoscope is installed. It also checks
# each release's SHA256SUMS against its files.
#
# Usage: scripts/release-check.sh [KEEP_DIR]
#   KEEP_DIR: where to leave the first release's files (for scripts/npm-check.sh)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
keep="${1:-}"

say() { printf 'release-check: %s\n' "$*"; }

tally_name=release-check
source "$root/scripts/tally.sh"

work="$(mktemp -d "${TMPDIR:-/tmp}/brawlarium-release-check.XXXXXX")"
trap 'rm -rf "$work"' EXIT
commit=$(git -C "$root" rev-parse --verify HEAD)

# A locale other than C that this machine has, for the second release.
other_locale=$(locale -a 2>/dev/null | grep -viE '^(C|POSIX)([.].*)?$' | head -n 1 || true)

# release NAME FOLDER UMASK TZ LOCALE: a fresh clone of the commit in FOLDER,
# and its release in $work/NAME.
release() {
    local name=$1 folder=$2 mask=$3 zone=$4 locale=$5 started
    mkdir -p "$(dirname "$folder")"
    git clone --quiet --no-checkout "$root" "$folder"
    git -C "$folder" checkout --quiet --detach "$commit"
    say "$name release in $folder (umask $mask, TZ=$zone, locale $locale)"
    started=$SECONDS
    (cd "$folder" && umask "$mask" && env TZ="$zone" LANG="$locale" LC_ALL="$locale" \
        bash scripts/release.sh "$work/$name") >"$work/$name.log" 2>&1 || {
        tail -n 40 "$work/$name.log" >&2
        fail "the $name release did not finish"
        return 1
    }
    say "$name release made in $((SECONDS - started)) s"
}

# show_bytes FILE OFFSET: 24 bytes around OFFSET (counted from 0), 8 before it.
show_bytes() {
    od -A d -t x1z -j "$(($2 > 8 ? $2 - 8 : 0))" -N 24 "$1" | head -n 2 | sed 's/^/    /'
}

compare() {  # compare DIR_A DIR_B
    local a=$1 b=$2 file first
    local names
    names=$( (cd "$a" && ls; cd "$b" && ls) | LC_ALL=C sort -u)
    for file in $names; do
        if [ ! -f "$a/$file" ] || [ ! -f "$b/$file" ]; then
            fail "$file is made by only one of the releases"
            continue
        fi
        if cmp -s "$a/$file" "$b/$file"; then
            pass "$file: the same $(wc -c <"$a/$file") bytes"
            continue
        fi
        first=$(cmp "$a/$file" "$b/$file" 2>&1 | sed -n 's/.* differ: byte \([0-9]*\).*/\1/p' || true)
        if [ -z "$first" ]; then
            fail "$file differs: one is a prefix of the other ($(wc -c <"$a/$file") and $(wc -c <"$b/$file") bytes)"
        else
            fail "$file differs ($(wc -c <"$a/$file") and $(wc -c <"$b/$file") bytes), first at offset $((first - 1))"
            printf '  first release:\n' >&2
            show_bytes "$a/$file" "$((first - 1))" >&2
            printf '  second release:\n' >&2
            show_bytes "$b/$file" "$((first - 1))" >&2
        fi
        if command -v diffoscope >/dev/null 2>&1; then
            diffoscope --text - "$a/$file" "$b/$file" 2>&1 | head -n 200 >&2 || true
        fi
    done
}

release first "$work/one/brawlarium" 022 UTC C || exit 1
release second "$work/two/a/deeper/folder/brawlarium-clone" 077 Pacific/Chatham "${other_locale:-C.UTF-8}" || exit 1

for name in first second; do
    if (cd "$work/$name" && sha256sum --quiet -c SHA256SUMS >&2); then
        pass "the $name release's files match its SHA256SUMS"
    else
        fail "the $name release's files do not match its SHA256SUMS"
    fi
done
compare "$work/first" "$work/second"

if [ -n "$keep" ]; then
    rm -rf "$keep"
    mkdir -p "$keep"
    cp "$work/first"/* "$keep/"
fi

tally_report
