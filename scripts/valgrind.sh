#!/usr/bin/env bash
# Runs the unit tests, and the end-to-end tests with every game they start,
# under Valgrind memcheck: any memory error or leak fails the run.
# Usage: scripts/valgrind.sh BUILD_DIR   (a build without sanitizers)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:?usage: valgrind.sh BUILD_DIR}" && pwd)"
# shellcheck disable=SC2054  # the commas join the leak kinds of one option
memcheck=(valgrind --tool=memcheck --error-exitcode=99 --leak-check=full
          --errors-for-leak-kinds=definite,indirect --quiet)

echo "Unit tests under memcheck"
(cd "$root/data" && BRAWLARIUM_DATA_DIR="$root/data" "${memcheck[@]}" "$build/brawlarium_unit_tests" --gtest_brief=1)

echo "End-to-end tests with every game under memcheck"
logs="$(mktemp -d)"
trap 'rm -rf "$logs"' EXIT
valgrind_program="$(command -v valgrind)"
export BRAWLARIUM_E2E_WRAPPER="$valgrind_program --tool=memcheck --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect --log-file=$logs/game.%p.log"
(cd "$build" && ctest --output-on-failure -j 2 -L e2e --timeout 900) || status=$?
if grep -l "ERROR SUMMARY: [1-9]" "$logs"/*.log >/dev/null 2>&1; then
    echo "memcheck found errors:" >&2
    grep -l "ERROR SUMMARY: [1-9]" "$logs"/*.log | head -n 3 | xargs cat >&2
    exit 1
fi
exit "${status:-0}"
