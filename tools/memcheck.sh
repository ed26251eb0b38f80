#!/usr/bin/env bash
# Runs the headless soak (a short one: 2000 game frames per mode) under valgrind memcheck: any
# memory error or leak fails (but fontconfig's own, tools/valgrind-suppressions.supp). Needs the
# Release build of tools/test.sh (build/test_soak).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
soak=${1:-$root/build/test_soak}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
CROSSFALL_SOAK_FRAMES=${CROSSFALL_SOAK_FRAMES:-2000} valgrind --error-exitcode=1 --leak-check=full \
    --errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect \
    --suppressions="$root/tools/valgrind-suppressions.supp" "$soak" 2>&1 | tail -20
