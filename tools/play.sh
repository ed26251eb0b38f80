#!/usr/bin/env bash
# Builds and starts the game on a Debian machine: installs what the build needs if missing,
# builds in Release into build-release/, then runs the game through the launcher, which plays
# in ${XDG_DATA_HOME:-~/.local/share}/crossfall. Arguments go to the game.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-release

source "$root/tools/packages.sh"
ensure_packages "${GAME_PACKAGES[@]}"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCROSSFALL_TESTS=OFF -DCROSSFALL_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target crossfall

CROSSFALL_DATA_DIR="$root/data" CROSSFALL_BINARY="$build/crossfall" exec "$root/tools/crossfall-launcher.sh" "$@"
