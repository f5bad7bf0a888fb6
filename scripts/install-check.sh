#!/usr/bin/env bash
# Checks the game as people install it:
#
#   1. The manual page: groff and lexgrog find nothing to say about it, and it
#      renders within 80 columns.
#   2. `cmake --install --prefix` to a temporary prefix other than the one
#      configured: the installed game, started from an empty folder with an
#      empty HOME, finds its installed lists beside its own folder and plays a
#      piped session exactly as the build tree's game does in data/, and so
#      does the tree moved elsewhere and started through a link; --help,
#      --version and a bad option give the right status and stream.
#   3. The Debian package: `cpack -G DEB` from the `deb` preset, its file
#      list, lintian with no error and no warning, and (as root) `dpkg -i`,
#      the installed /usr/games/brawlarium, then `dpkg -r` again.
#
# Usage: scripts/install-check.sh [BUILD_DIR]   (default: build-test, built)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/deps.sh"
need_packages lintian dpkg-dev groff-base man-db bsdextrautils file

build="$(cd "${1:-$root/build-test}" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/brawlarium-install-check.XXXXXX")"
installed_package=""
cleanup() {
    if [ -n "$installed_package" ]; then
        dpkg -r brawlarium >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

tally_name=install-check
source "$root/scripts/tally.sh"
same_file() { cmp -s "$1" "$2" || { diff "$1" "$2" | head -n 20 >&2; return 1; }; }

# A session that draws random numbers, shops and views the statistics; no
# fight, so no pauses.
session='a a bob b n b n r y c b a 1 r b b 1 r c q'
seed=31337

# Runs the game with nothing but PATH and an empty HOME: no XDG variable, no
# terminal, the session on standard input.
play() {  # play BINARY FOLDER OUTPUT [OPTION...]
    local binary=$1 folder=$2 output=$3
    shift 3
    (cd "$folder" && printf '%s\n' "$session" |
        env -i PATH="$PATH" HOME="$work/home" setsid "$binary" --seed "$seed" "$@" >"$output" 2>&1)
}

mkdir -p "$work/home" "$work/empty"
play "$build/brawlarium" "$root/data" "$work/expected.txt"
check "the build tree's game plays the session" grep -q 'Quitting?? Shlub' "$work/expected.txt"

# --- 1. The manual page ------------------------------------------------------
man_page="$build/brawlarium.6"
check "groff -man -ww -z is silent on the manual page" \
    test -z "$(groff -man -ww -z "$man_page" 2>&1)"
check "lexgrog reads the manual page's NAME" lexgrog "$man_page" >/dev/null
widest=$(MANWIDTH=80 man -l "$man_page" 2>&1 | col -b | expand | awk '{ if (length($0) > m) m = length($0) } END { print m + 0 }')
check "the manual page renders within 80 columns (widest: $widest)" test "$widest" -le 80

# --- 2. cmake --install --------------------------------------------------------
# Configured for one prefix, installed to another, as in `cmake --install
# build --prefix ~/.local`: the configured folder does not exist.
prefix="$work/prefix"
cmake -S "$root" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRAWLARIUM_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX="$work/configured" >/dev/null
cmake --build "$work/build" --target brawlarium >/dev/null
cmake --install "$work/build" --prefix "$prefix" >/dev/null
for file in games/brawlarium share/games/brawlarium/weaponlist.txt share/games/brawlarium/armorlist.txt \
    share/man/man6/brawlarium.6 share/doc/brawlarium/README.md share/doc/brawlarium/LICENSE; do
    check "cmake --install put $file in place" test -f "$prefix/$file"
done
play "$prefix/games/brawlarium" "$work/empty" "$work/installed.txt"
check "the installed game, started from an empty folder, plays as the build tree's" \
    same_file "$work/expected.txt" "$work/installed.txt"
mkdir -p "$work/links"
ln -s "$work/moved/games/brawlarium" "$work/links/brawlarium"
mv "$prefix" "$work/moved"
play "$work/links/brawlarium" "$work/empty" "$work/moved.txt"
check "the installed tree, moved and started through a link, plays as the build tree's" \
    same_file "$work/expected.txt" "$work/moved.txt"
mv "$work/moved" "$prefix"

# run_game ARG...: the installed game's status, standard output and error.
run_game() {
    status=0
    "$prefix/games/brawlarium" "$@" >"$work/out" 2>"$work/err" </dev/null || status=$?
}
run_game --help
check "--help: status 0" test "$status" -eq 0
check "--help: the usage on standard output" grep -q '^Usage: brawlarium' "$work/out"
check "--help: nothing on standard error" test ! -s "$work/err"
run_game --version
check "--version: status 0" test "$status" -eq 0
check "--version: 'brawlarium VERSION' on standard output" grep -qxE 'brawlarium [0-9]+\.[0-9]+\.[0-9]+' "$work/out"
check "--version: nothing on standard error" test ! -s "$work/err"
run_game --seed abc
check "a bad option: status 2" test "$status" -eq 2
check "a bad option: nothing on standard output" test ! -s "$work/out"
check "a bad option: the problem and the hint on standard error" test "$(cat "$work/err")" = \
    "brawlarium: invalid seed 'abc': a whole number from 0 to 4294967295 is needed
Try 'brawlarium --help'."

# --- 3. The Debian package -------------------------------------------------
cmake --preset deb -S "$root" >/dev/null
cmake --build --preset deb >/dev/null
version=$(sed -n 's/^brawlarium \(.*\)$/\1/p' <<<"$("$root/build-deb/brawlarium" --version)")
deb="$root/build-deb/brawlarium_${version}_$(dpkg --print-architecture).deb"
rm -f "$deb"
(cd "$root/build-deb" && cpack -G DEB >/dev/null)
check "cpack made $(basename "$deb")" test -f "$deb"
dpkg-deb -c "$deb" | awk '{ print $1, $2, $6 }' | sort -k3 >"$work/contents.txt"
for entry in '-rwxr-xr-x root/root ./usr/games/brawlarium' \
    '-rw-r--r-- root/root ./usr/share/games/brawlarium/weaponlist.txt' \
    '-rw-r--r-- root/root ./usr/share/games/brawlarium/armorlist.txt' \
    '-rw-r--r-- root/root ./usr/share/man/man6/brawlarium.6.gz' \
    '-rw-r--r-- root/root ./usr/share/doc/brawlarium/copyright' \
    '-rw-r--r-- root/root ./usr/share/doc/brawlarium/changelog.gz'; do
    check "the package holds $entry" grep -qxF -- "$entry" "$work/contents.txt"
done
check "the package holds no file outside /usr/games and /usr/share" \
    test -z "$(awk '$1 !~ /^d/ && $3 !~ /^\.\/usr\/(games|share)\//' "$work/contents.txt")"
check "the package's binary is stripped" \
    sh -c "dpkg-deb --fsys-tarfile '$deb' | tar -xO ./usr/games/brawlarium >'$work/bin' && ! file '$work/bin' | grep -q 'not stripped'"
lintian --fail-on error,warning "$deb" >"$work/lintian.txt" 2>&1 || true
check "lintian reports no error and no warning" test -z "$(grep -E '^[EW]: ' "$work/lintian.txt")"
grep -E '^[EW]: ' "$work/lintian.txt" >&2 || true

if [ "$(id -u)" -eq 0 ]; then
    if dpkg-query -W -f='${Status}' brawlarium 2>/dev/null | grep -q 'ok installed'; then
        echo "install-check: brawlarium is already installed; not touching it" >&2
        failed=$((failed + 1))
    else
        installed_package=yes
        dpkg -i "$deb" >/dev/null
        check "/usr/games/brawlarium --version" test "$(/usr/games/brawlarium --version)" = "brawlarium $version"
        play /usr/games/brawlarium "$work/empty" "$work/from-package.txt"
        check "the packaged game, started from an empty folder, plays as the build tree's" \
            same_file "$work/expected.txt" "$work/from-package.txt"
        check "man finds the packaged manual page" sh -c 'man -w 6 brawlarium | grep -q brawlarium.6.gz'
        dpkg -r brawlarium >/dev/null
        installed_package=""
        check "dpkg -r leaves no file of the package" test ! -e /usr/games/brawlarium -a ! -e /usr/share/games/brawlarium
    fi
else
    echo "install-check: not root, so the package is not installed (run as root to check dpkg -i)" >&2
fi

tally_report
