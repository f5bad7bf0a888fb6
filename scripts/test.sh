#!/usr/bin/env bash
# Builds the game and runs every test: the unit and end-to-end tests, the
# same again under AddressSanitizer and UndefinedBehaviorSanitizer, once under
# Valgrind, the installed game and its Debian package, the fuzzers,
# clang-tidy, and the Windows build under Wine.
# Needs no terminal and no standard input.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
source "$root/scripts/deps.sh"

step() { printf '\n==== %s ====\n' "$*"; }

step "Installing what is missing"
need_build_tools
need_packages libgtest-dev valgrind clang libclang-rt-14-dev clang-tidy clang-format tmux python3

jobs=$(nproc 2>/dev/null || echo 2)

step "Build and test"
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-test -j "$jobs"
(cd build-test && ctest --output-on-failure -j "$jobs" --timeout 900)

step "Build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRAWLARIUM_SANITIZE=ON
cmake --build build-asan -j "$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -j "$jobs" --timeout 900)

step "Installing: the manual page, cmake --install and the Debian package"
bash scripts/install-check.sh build-test

step "Unit and end-to-end tests under Valgrind memcheck"
bash scripts/valgrind.sh build-test

step "Fuzzing"
bash scripts/fuzz.sh

step "clang-tidy and clang-format"
TIDY_TESTS=1 bash scripts/tidy.sh

step "Windows build under Wine"
bash scripts/windows-check.sh "$root/build-test/brawlarium"

step "All tests passed"
