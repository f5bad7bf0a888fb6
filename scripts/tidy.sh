#!/usr/bin/env bash
# Static checks: clang-tidy with the checked-in .clang-tidy over the game's
# sources, the fuzz targets and the benchmark helpers, every warning an error;
# then clang-format --dry-run --Werror over src/ tests/ fuzz/ bench/. Uses the
# compile commands of build-tidy (configured here; nothing is built).
#
#   scripts/tidy.sh                   both checks
#   TIDY_TESTS=1 scripts/tidy.sh      clang-tidy over the test sources too
#   TIDY_FORMAT=0 scripts/tidy.sh     clang-tidy only
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TIDY_BUILD_DIR:-$root/build-tidy}"
with_tests="${TIDY_TESTS:-0}"
with_format="${TIDY_FORMAT:-1}"

missing=()
for tool in clang++:clang clang-tidy:clang-tidy clang-format:clang-format; do
    command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
if [ "$with_tests" = 1 ] && [ ! -f /usr/include/gtest/gtest.h ]; then
    missing+=(libgtest-dev)
fi
if [ ${#missing[@]} -ne 0 ]; then
    if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
        apt-get update -qq && apt-get install -y -qq "${missing[@]}" >/dev/null
    else
        echo "tidy.sh: missing ${missing[*]}" >&2
        exit 2
    fi
fi

tests_option=OFF
if [ "$with_tests" = 1 ]; then
    tests_option=ON
fi
generator=()
if command -v ninja >/dev/null && [ ! -f "$build/CMakeCache.txt" ]; then
    generator=(-G Ninja)
fi
# Configuring is enough: clang-tidy needs only the compile commands.
CC=clang CXX=clang++ cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug \
    -DBRAWLARIUM_TESTS="$tests_option" -DBRAWLARIUM_FUZZ=ON -DBRAWLARIUM_BENCH=ON >/dev/null

# Each source file of the project once, as the compile commands list it.
mapfile -t files < <(python3 - "$build/compile_commands.json" "$root" "$with_tests" <<'PY'
import json, os, sys
commands, root, with_tests = sys.argv[1], os.path.realpath(sys.argv[2]), sys.argv[3] == "1"
seen = set()
for entry in json.load(open(commands)):
    path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    relative = os.path.relpath(path, root)
    if relative.split(os.sep)[0] not in ("src", "tests", "fuzz", "bench"):
        continue
    is_test = relative.startswith("tests" + os.sep) or relative.endswith("_test.cpp")
    if is_test and not with_tests:
        continue
    if path not in seen:
        seen.add(path)
        print(path)
PY
)
echo "clang-tidy: ${#files[@]} files"
status=0
printf '%s\n' "${files[@]}" |
    xargs -P "$(nproc)" -n 1 clang-tidy -p "$build" --quiet --warnings-as-errors='*' 2>/dev/null || status=1

if [ "$with_format" = 1 ]; then
    mapfile -t sources < <(cd "$root" && find src tests fuzz bench \( -name '*.cpp' -o -name '*.h' \) \
        -not -path 'tests/windows/*' | sort)
    echo "clang-format: ${#sources[@]} files"
    (cd "$root" && clang-format --dry-run --Werror "${sources[@]}") || status=1
fi

if [ $status -ne 0 ]; then
    echo "tidy.sh: findings above" >&2
else
    echo "tidy.sh: clean"
fi
exit $status
