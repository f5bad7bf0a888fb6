#!/usr/bin/env bash
# Builds the game and runs every test: the WebAssembly build, the linters
# of the JavaScript, CSS, shell and Python files (eslint, shellcheck,
# pyflakes), the unit and end-to-end tests (the end-to-end ones against the
# native game and the WebAssembly build under Node), the page in headless
# Chromium, the tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, once under Valgrind, the installed game and its
# Debian package, the release made twice and compared byte for byte, the npm
# package installed and played, the fuzzers, clang-tidy and clang-format, and
# the Windows build under Wine.
# Needs no terminal and no standard input.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
source "$root/scripts/deps.sh"

step() { printf '\n==== %s ====\n' "$*"; }

step "Installing what is missing"
need_build_tools
need_packages libgtest-dev valgrind clang libclang-rt-14-dev clang-tidy clang-format tmux python3 \
    emscripten chromium shellcheck pyflakes3 asciinema
command -v npm >/dev/null 2>&1 || need_packages npm

jobs=$(nproc 2>/dev/null || echo 2)

step "WebAssembly build and the page"
cmake --preset web
cmake --build --preset web -j "$jobs"

step "The JavaScript, CSS, shell and Python linters: eslint, shellcheck, pyflakes"
bash scripts/lint.sh

step "Build and test"
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBRAWLARIUM_WEB_RUNNER="$root/build-web/brawlarium.js"
cmake --build build-test -j "$jobs"
(cd build-test && ctest --output-on-failure -j "$jobs" --timeout 900)

step "The page in headless Chromium"
(cd build-web && ctest --output-on-failure --timeout 900)

step "The release, made twice and compared; the npm package installed and played"
bash scripts/release-check.sh "$root/build-release"
bash scripts/npm-check.sh "$root"/build-release/brawlarium-*.tgz build-test

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
