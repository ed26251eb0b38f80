#!/usr/bin/env bash
# Runs clang-tidy with the project's check set (.clang-tidy) over every source file; fails on any finding.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-tidy"
cmake -S "$root" -B "$build" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DCROSSFALL_TESTS=OFF -DCROSSFALL_BENCH=OFF >/dev/null
run-clang-tidy -p "$build" -quiet -j "$(nproc)" "$root/src/.*\.cpp" >"$build/tidy.log" 2>&1 || true
if grep -E "(warning|error):" "$build/tidy.log"; then
    echo "clang-tidy: findings above"
    exit 1
fi
echo "clang-tidy: $(grep -c '^clang-tidy' "$build/tidy.log" || true) files, no findings"
