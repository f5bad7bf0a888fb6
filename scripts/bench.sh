#!/usr/bin/env bash
# Builds a Release game with the benchmark helpers (build-bench) and prints the
# benchmark table: start-up and peak memory next to a minimal C++ menu
# program, processor time while waiting, the pause between fight rounds,
# piped answers handled per second and the write calls each costs, and the
# time --check-data takes on the sample lists; then the WebAssembly build
# (build-web): its start-up under Node, its size, its piped answers per second
# and their write calls, and the page in headless Chromium: load time on a
# desktop and as a slow phone (a Pixel 7 on a slowed processor and network),
# each beside the floor of an xterm.js page that only prints the game's first
# screen, and where the page's time goes; its size, memory after a fight and
# idle processor time, and as a Pixel 7 phone, load time and the terminal's
# font size and columns. Takes about ten minutes. Natively and under Node it
# also continues a saved game of 600 fights, beside the start alone, and
# plays under Node a whole game until its hero reaches level 20: its save
# file's bytes per fight and the length of its share link.
#
#   scripts/bench.sh                       the full run (30 start-ups, 20,000 answers)
#   scripts/bench.sh --runs 10             fewer start-ups; see bench/bench.py --help
#   scripts/bench.sh --saved-games-only    only the saved games, without the page
#
# The WebAssembly rows stand beside the figures of the build before Asyncify
# was narrowed and the page bundled by esbuild, as measured once; to measure
# that build again beside this one, build it and name its build folder:
#
#   git worktree add /tmp/before 681e602 && (cd /tmp/before && cmake --preset web && cmake --build --preset web)
#   BENCH_BEFORE_WEB=/tmp/before/build-web scripts/bench.sh
#
# The native piped answers stand beside the build before standard output was
# handed to the system a screen at a time, as measured once; to measure it
# again in turn with this one, build it and name its program:
#
#   git worktree add /tmp/before f8c288c && (cd /tmp/before && cmake -S . -B build-bench \
#       -DCMAKE_BUILD_TYPE=Release -DBRAWLARIUM_TESTS=OFF && cmake --build build-bench --target brawlarium)
#   BENCH_BEFORE_GAME=/tmp/before/build-bench/brawlarium BENCH_BEFORE_WEB=/tmp/before/build-web scripts/bench.sh
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build-bench}"

if ! command -v python3 >/dev/null; then
    if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
        apt-get update -qq && apt-get install -y -qq python3 >/dev/null
    else
        echo "bench.sh: python3 is needed" >&2
        exit 2
    fi
fi

generator=()
if command -v ninja >/dev/null && [ ! -f "$build/CMakeCache.txt" ]; then
    generator=(-G Ninja)
fi
cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DBRAWLARIUM_TESTS=OFF \
    -DBRAWLARIUM_SANITIZE=OFF -DBRAWLARIUM_FUZZ=OFF -DBRAWLARIUM_BENCH=ON >/dev/null
cmake --build "$build" --target brawlarium bench_baseline_menu bench_skip_sleep >/dev/null

echo "machine: $(nproc) CPUs, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1), Linux $(uname -r)"
echo "compiler: $(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt") \
$("$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")" -dumpfullversion 2>/dev/null)"
# Other work on the machine slows every timing: the load is shown with them.
echo "load average at the start: $(cut -d ' ' -f 1-3 /proc/loadavg)"
web=()
page_before=()
if command -v emcc >/dev/null && command -v node >/dev/null; then
    (cd "$root" && cmake --preset web >/dev/null && cmake --build --preset web >/dev/null)
    web=(--web-runner "$root/build-web/brawlarium.js")
    if [ -n "${BENCH_BEFORE_WEB:-}" ]; then
        web+=(--web-runner-before "$BENCH_BEFORE_WEB/brawlarium.js")
        page_before=(--before "$BENCH_BEFORE_WEB/brawlarium.html")
    fi
else
    echo "bench.sh: no emcc or node: the WebAssembly figures are left out" >&2
fi
before_game=()
if [ -n "${BENCH_BEFORE_GAME:-}" ]; then
    before_game=(--game-before "$BENCH_BEFORE_GAME")
fi
python3 "$root/bench/bench.py" --game "$build/brawlarium" "${before_game[@]}" \
    --baseline "$build/bench/bench_baseline_menu" --shim "$build/bench/libbench_skip_sleep.so" \
    --data "$root/data" "${web[@]}" "$@"
saved_games_only=false
for argument in "$@"; do
    if [ "$argument" = --saved-games-only ]; then
        saved_games_only=true
    fi
done
if [ ${#web[@]} -gt 0 ] && [ -x /usr/bin/chromium ] && ! $saved_games_only; then
    echo
    echo "The page in headless Chromium:"
    node "$root/bench/page_bench.mjs" "$root/build-web/brawlarium.html" "${page_before[@]}"
fi
echo "load average at the end: $(cut -d ' ' -f 1-3 /proc/loadavg)"
