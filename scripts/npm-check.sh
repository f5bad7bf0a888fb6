#!/usr/bin/env bash
# Installs the npm package as a player does, `npm install -g` of the release's
# brawlarium-VERSION.tgz (here with --prefix into a temporary folder, and
# --offline: the package needs nothing from the registry), and plays the
# `brawlarium` command it installs:
#
#   1. The package: name, version, the bin entry, engines, licence and README;
#      no install script, nothing but the game and its papers.
#   2. Piped: a seeded session with a fight prints what the WebAssembly
#      build's Node runner prints; --version, --help, --check-data (lists
#      that pass, that are refused, that warn) and sessions with --data and
#      --batch print what the native game prints, with its exit status;
#      started in a folder without lists, it plays its built-in sample lists,
#      which --help and --check-data name as built in and --sample-lists
#      writes out.
#   3. In a pseudo-terminal: the end-to-end terminal sessions (single keys,
#      colours, the title, Ctrl-C, Ctrl-\ and Ctrl-Z, the terminal handed
#      back) against the installed command, once as it is and once with a
#      PATH that has node but no stty.
#
# Usage: scripts/npm-check.sh TGZ [BUILD_DIR]
#   BUILD_DIR: the tests' build (default build-test) with the native game and
#   the end-to-end tests; build-web beside it holds the Node runner.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
tgz="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
build="$(cd "${2:-$root/build-test}" && pwd)"
native="$build/brawlarium"
runner="$root/build-web/brawlarium.js"

work="$(mktemp -d "${TMPDIR:-/tmp}/brawlarium-npm-check.XXXXXX")"
trap 'rm -rf "$work"' EXIT

tally_name=npm-check
source "$root/scripts/tally.sh"
same_file() { cmp -s "$1" "$2" || { diff "$1" "$2" | head -n 20 >&2; return 1; }; }

# --- 1. The package ----------------------------------------------------------
prefix="$work/prefix"
npm install -g --prefix "$prefix" --offline --no-audit --no-fund --loglevel=error "$tgz" >"$work/npm.log" 2>&1 ||
    { cat "$work/npm.log" >&2; exit 1; }
installed="$prefix/lib/node_modules/brawlarium"
game="$prefix/bin/brawlarium"
check "npm install -g made the brawlarium command" test -x "$game"

package_field() { node -e 'const p = require(process.argv[1]); console.log(JSON.stringify(eval("p." + process.argv[2])))' \
    "$installed/package.json" "$1"; }
version=$("$native" --version | sed 's/^brawlarium //')
check "package.json: name brawlarium" test "$(package_field name)" = '"brawlarium"'
check "package.json: version $version" test "$(package_field version)" = "\"$version\""
check "package.json: the bin entry brawlarium" test "$(package_field bin)" = '{"brawlarium":"brawlarium.js"}'
check "package.json: engines node >=18" test "$(package_field engines)" = '{"node":">=18"}'
check "package.json: the licence" test "$(package_field license)" = '"MIT"'
check "package.json: no install script" test "$(package_field scripts)" = 'undefined'
check "the package holds the game, the README and the licence, nothing else" \
    test "$(tar -tzf "$tgz" | LC_ALL=C sort | tr '\n' ' ')" = \
    "package/ package/LICENSE package/README.md package/brawlarium.js package/package.json "
check "the README tells npm users how to install" grep -q 'npm install -g brawlarium' "$installed/README.md"

# --- 2. Piped -------------------------------------------------------------------
# play OUTPUT COMMAND...: standard input from $input, in $folder, without a
# terminal; standard output and error in OUTPUT, the exit status after them.
play() {
    local output=$1
    shift
    local status=0
    (cd "$folder" && env -i PATH="$PATH" HOME="$work/home" setsid -w "$@" <"$input" >"$output" 2>&1) || status=$?
    echo "[status $status]" >>"$output"
}
mkdir -p "$work/home" "$work/empty"

input="$work/seeded.in"
folder="$root/data"
printf '%s\n' a a bob r y d 1 r c q >"$input"
play "$work/seeded.runner" node "$runner" --seed 7 --batch
play "$work/seeded.npm" "$game" --seed 7 --batch
check "a seeded session with a fight prints what the Node runner prints" same_file "$work/seeded.runner" "$work/seeded.npm"
check "the seeded session played a fight" grep -q 'Round 1 - Bob' "$work/seeded.npm"

input=/dev/null
folder="$work/empty"
for option in --version --help; do
    play "$work/native$option" "$native" "$option"
    play "$work/npm$option" "$game" "$option"
    # Where the lists are looked up is each build's own: installed natively,
    # built into the package.
    cp "$work/npm$option" "$work/npm$option.whole"
    sed -i '/^Without --data/,/^$/d' "$work/native$option" "$work/npm$option"
    check "$option as natively" same_file "$work/native$option" "$work/npm$option"
done
names_built_in_lists() {  # names_built_in_lists HELP
    ! grep -q share/games/brawlarium "$1" && grep -q "sample lists built into the game" "$1" &&
        grep -q "brawlarium --sample-lists DIR writes a copy" "$1"
}
check "--help names no installed folder, but the lists built in and --sample-lists" \
    names_built_in_lists "$work/npm--help.whole"
play "$work/npm-check-built-in" "$game" --check-data
check "--check-data on the built-in lists names them as such, with how to get a copy" test \
    "$(head -n 1 "$work/npm-check-built-in")" = \
    "Checking the sample lists built into the game (brawlarium --sample-lists DIR writes a copy)"
play "$work/npm-sample-lists" "$game" --sample-lists "$work/samples"
check "--sample-lists writes the sample lists, those of data/" \
    same_file "$root/data/weaponlist.txt" "$work/samples/weaponlist.txt"
check "--sample-lists writes the sample armor list too" same_file "$root/data/armorlist.txt" "$work/samples/armorlist.txt"
play "$work/npm-sample-lists-again" "$game" --sample-lists "$work/samples"
check "--sample-lists again: refused, status 1" test "$(tail -n 1 "$work/npm-sample-lists-again")" = "[status 1]"

lists() {  # lists FOLDER WEAPON_FIXTURE ARMOR_FIXTURE: sample lists, one replaced by a fixture's
    mkdir -p "$1"
    cp "$root/data/weaponlist.txt" "$root/data/armorlist.txt" "$1/"
    if [ -n "$2" ]; then cp "$root/tests/price_lists/$2/weaponlist.txt" "$1/"; fi
    if [ -n "$3" ]; then cp "$root/tests/price_lists/$3/armorlist.txt" "$1/"; fi
}
lists "$work/lists/passing" "" ""
lists "$work/lists/refused" three_bad_lines ""
lists "$work/lists/warned" "" level_7_armor_too_dear
for kind in passing refused warned; do
    play "$work/native-check-$kind" "$native" --check-data --data "$work/lists/$kind"
    play "$work/npm-check-$kind" "$game" --check-data --data "$work/lists/$kind"
    check "--check-data --data with lists $kind: as natively" same_file "$work/native-check-$kind" "$work/npm-check-$kind"
done
check "--check-data: status 0, 1 and 3" test "$(tail -qn1 "$work"/npm-check-{passing,refused,warned})" = \
    "$(printf '[status 0]\n[status 1]\n[status 3]')"

# Sessions that draw no random number, so that every platform plays them alike.
for input in "$root"/tests/windows/*.in; do
    name=$(basename "$input" .in)
    play "$work/native-$name" "$native" --data "$root/data" --batch
    play "$work/npm-$name" "$game" --data "$root/data" --batch
    check "--data DIR --batch, session $name: as natively" same_file "$work/native-$name" "$work/npm-$name"
done
input="$root/tests/windows/name-stats-shop.in"
folder="$work/empty"
play "$work/npm-built-in" "$game"
folder="$root/data"
play "$work/native-data" "$native"
check "started where there are no lists, it plays its built-in sample lists" \
    same_file "$work/native-data" "$work/npm-built-in"

# --- 3. In a pseudo-terminal ------------------------------------------------------
mkdir -p "$work/node-without-stty"
ln -s "$(command -v node)" "$work/node-without-stty/node"
terminal_sessions() {  # terminal_sessions PATH
    PATH="$1" BRAWLARIUM_E2E_GAME="$game" "$build/tests/brawlarium_e2e_tests" \
        --gtest_filter='*Terminal*:-*PipedIntoHead*' --gtest_brief=1 >"$work/terminal.log" 2>&1 ||
        { tail -n 40 "$work/terminal.log" >&2; return 1; }
}
check "in a pseudo-terminal: keys, colours, the title, signals, the terminal handed back" terminal_sessions "$PATH"
check "the same without stty on PATH, in Node's raw mode" terminal_sessions "$work/node-without-stty"

tally_report
