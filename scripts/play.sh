#!/usr/bin/env bash
# Builds the game and starts it with the sample price lists from data/. The
# build is quiet when it succeeds; when it fails, its output is shown.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/deps.sh"
need_build_tools

echo "Building Brawlarium in build-play (a few seconds the first time)..."
log="$(mktemp)"
if ! { cmake -S "$root" -B "$root/build-play" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRAWLARIUM_TESTS=OFF &&
    cmake --build "$root/build-play"; } >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "The build failed: fix the first error shown above, then run bash scripts/play.sh again." >&2
    exit 1
fi
rm -f "$log"
cd "$root/data"
exec "$root/build-play/brawlarium"
