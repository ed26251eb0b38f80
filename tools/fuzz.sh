#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds (default 30) on a
# scratch copy of its committed seed corpus in fuzz/corpus/<target>/. Fails on any crash.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-30}
build="$root/build-fuzz"

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCROSSFALL_FUZZ=ON -DCROSSFALL_TESTS=OFF -DCROSSFALL_BENCH=OFF
cmake --build "$build" -j "$(nproc)"

shopt -s nullglob
targets=("$root"/fuzz/fuzz_*.cpp)
if ((${#targets[@]} == 0)); then
    echo "no fuzz targets"
    exit 0
fi
for source in "${targets[@]}"; do
    name=$(basename "$source" .cpp)
    scratch=$(mktemp -d)
    work=$(mktemp -d)
    [ -d "$root/fuzz/corpus/$name" ] && cp -r "$root/fuzz/corpus/$name/." "$scratch/"
    echo "== $name for ${seconds}s"
    (cd "$work" && "$build/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -print_final_stats=1 "$scratch")
    rm -rf "$scratch" "$work"
done
echo "fuzzing: ${#targets[@]} targets, no crashes"
