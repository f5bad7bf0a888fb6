#!/usr/bin/env bash
# Builds the game and starts it with the sample price lists from data/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/deps.sh"
need_build_tools

echo "Building Brawlarium in build-play (the first build takes a minute)..."
cmake -S "$root" -B "$root/build-play" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRAWLARIUM_TESTS=OFF >/dev/null
cmake --build "$root/build-play" >/dev/null
cd "$root/data"
exec "$root/build-play/brawlarium"
