#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz) and runs each one for a
# bounded time on a scratch copy of its seed corpus. Exits non-zero on any
# finding; the reproducer is kept in build-fuzz/findings/<target>/.
#
#   scripts/fuzz.sh                      every target, 60 s each
#   FUZZ_SECONDS=300 scripts/fuzz.sh     longer runs
#   scripts/fuzz.sh fuzz_game            one target
#
# Replaying a reproducer: build-fuzz/fuzz/fuzz_game path/to/crash-file
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-60}"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_data_files fuzz_game fuzz_save_file)
fi

# clang with its libFuzzer and sanitizer runtimes come from Debian.
if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a \
        >/dev/null 2>&1; then
    if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
        apt-get update -qq && apt-get install -y -qq clang libclang-rt-dev >/dev/null
    else
        echo "fuzz.sh: clang and libclang-rt-dev are needed" >&2
        exit 2
    fi
fi

generator=()
if command -v ninja >/dev/null && [ ! -f "$build/CMakeCache.txt" ]; then
    generator=(-G Ninja)
fi
CC=clang CXX=clang++ cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBRAWLARIUM_FUZZ=ON -DBRAWLARIUM_TESTS=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

failed=()
for target in "${targets[@]}"; do
    corpus="$scratch/$target"
    findings="$build/findings/$target"
    rm -rf "$findings"
    mkdir -p "$corpus" "$findings"
    cp "$root/fuzz/corpus/$target/." "$corpus/" -r
    # Earlier findings stay in the seeds, so a fixed bug stays fixed.
    if [ -d "$root/fuzz/regressions/$target" ]; then
        cp "$root/fuzz/regressions/$target/." "$corpus/" -r
    fi
    dict=()
    if [ -f "$root/fuzz/$target.dict" ]; then
        dict=(-dict="$root/fuzz/$target.dict")
    fi
    echo "== $target: ${seconds} s"
    # -timeout catches a hang or an endless game; -error_exitcode marks a finding.
    log="$build/findings/$target.log"
    if (cd "$scratch" && "$build/fuzz/$target" "$corpus" "${dict[@]}" -max_total_time="$seconds" \
            -timeout=10 -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
            -artifact_prefix="$findings/" -error_exitcode=77 -timeout_exitcode=78) >"$log" 2>&1; then
        grep -E '^(#[0-9]+ +DONE|Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || tail -n 5 "$log"
    else
        tail -n 80 "$log"
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzz.sh: findings in ${failed[*]} (reproducers in $build/findings/)" >&2
    exit 1
fi
echo "fuzz.sh: no findings"
