#!/usr/bin/env bash
# The test command: installs what is missing (Debian), configures, builds and runs the whole suite
# through ctest. Extra arguments go to cmake's configure step. Exits non-zero on any failure.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${CROSSFALL_BUILD_DIR:-$root/build}
source "$root/tools/packages.sh"
ensure_packages "${GAME_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCROSSFALL_WERROR=ON "$@"
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
