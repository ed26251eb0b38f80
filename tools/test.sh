#!/usr/bin/env bash
# The test command: installs what is missing (Debian), configures, builds and runs the whole suite
# through ctest. Extra arguments go to cmake's configure step. Exits non-zero on any failure.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${CROSSFALL_BUILD_DIR:-$root/build}

packages=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev libsdl2-dev libsdl2-ttf-dev
          libfontconfig-dev fontconfig fonts-dejavu-core xvfb xauth xdotool imagemagick clang
          libclang-rt-14-dev)
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

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCROSSFALL_WERROR=ON "$@"
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
