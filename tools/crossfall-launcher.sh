#!/usr/bin/env bash
# Starts Crossfall in the player's own folder: copies the shipped bitmaps and sounds into
# ${XDG_DATA_HOME:-~/.local/share}/crossfall (always refreshed), never touches the player's
# controls and score files there, then runs the game from that folder.
#
# The data folder and the game binary are found next to this script (installed: ../share/crossfall
# and ../libexec/crossfall/crossfall, which the install rewrites for its layout; source tree: ../data
# and ../build-release/crossfall), or taken from CROSSFALL_DATA_DIR and CROSSFALL_BINARY. Arguments
# go to the game.
set -euo pipefail

here=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")" && pwd)

first_existing() {
    local test=$1 candidate
    shift
    for candidate in "$@"; do
        if [ "$test" "$candidate" ]; then
            echo "$candidate"
            return 0
        fi
    done
    return 1
}

installed_data="$here/../share/crossfall"
installed_binary="$here/../libexec/crossfall/crossfall"
data=${CROSSFALL_DATA_DIR:-$(first_existing -d "$installed_data" "$here/../data" || true)}
binary=${CROSSFALL_BINARY:-$(first_existing -x "$installed_binary" "$here/../build-release/crossfall" || true)}
if [ -z "$data" ] || [ ! -d "$data" ]; then
    echo "crossfall: cannot find the game's data folder (set CROSSFALL_DATA_DIR)" >&2
    exit 1
fi
if [ -z "$binary" ] || [ ! -x "$binary" ]; then
    echo "crossfall: cannot find the game program (set CROSSFALL_BINARY)" >&2
    exit 1
fi
binary=$(readlink -f "$binary")

player_dir=${XDG_DATA_HOME:-${HOME:?HOME is not set}/.local/share}/crossfall
mkdir -p "$player_dir"

# Only art and sound are ours to replace; a copy goes in under a temporary name so a cut-short
# copy never leaves a half file behind.
shopt -s nullglob
for file in "$data"/*.bmp "$data"/*.wav; do
    name=$(basename "$file")
    cp -f "$file" "$player_dir/.$name.part"
    mv -f "$player_dir/.$name.part" "$player_dir/$name"
done

# The game runs in the player's folder: a replay file named from here must still be found.
args=()
replay_next=false
for arg in "$@"; do
    if $replay_next && [[ $arg != /* ]]; then
        arg="$PWD/$arg"
    elif [[ $arg == --replay=* && ${arg#--replay=} != /* ]]; then
        arg="--replay=$PWD/${arg#--replay=}"
    fi
    replay_next=false
    [ "$arg" = --replay ] && replay_next=true
    args+=("$arg")
done

cd "$player_dir"
exec "$binary" "${args[@]}"
