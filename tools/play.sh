#!/usr/bin/env bash
# Builds and starts the game on a Debian machine: installs what the build needs if missing,
# builds in Release into build-release/, then runs the game through the launcher, which plays
# in ${XDG_DATA_HOME:-~/.local/share}/crossfall. Arguments go to the game.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-release

# What building and running the game needs; the test tools are left to tools/test.sh.
packages=(cmake g++ make pkg-config libsdl2-dev libsdl2-ttf-dev libfontconfig-dev fontconfig fonts-dejavu-core)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCROSSFALL_TESTS=OFF -DCROSSFALL_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target crossfall

CROSSFALL_DATA_DIR="$root/data" CROSSFALL_BINARY="$build/crossfall" exec "$root/tools/crossfall-launcher.sh" "$@"
