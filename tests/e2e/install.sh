#!/usr/bin/env bash
# Installs the game into a temporary prefix and unpacks its Debian package, then starts each
# through the `crossfall` launcher under Xvfb as a new player with files of their own: the game
# reaches the menu in ~/.local/share/crossfall, the art arrives there, the player's controls and
# scores stay as they were, and "Exit Crossfall" ends it with code 0.
# Usage: install.sh BUILD_DIR
set -uo pipefail

build=$(readlink -f "$1")
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Plays one start through a launcher for a fresh player whose folder already holds their files.
check_launcher() {
    local name=$1 failures_before=$failures
    game=$2
    export HOME="$work/$name-home"
    unset XDG_DATA_HOME
    local player="$HOME/.local/share/crossfall"
    mkdir -p "$player"
    printf '38\r\n' >"$player/myControls.txt"
    printf 'ZZZ 4242\r\n' >"$player/scores_classic.txt"
    cp "$player/myControls.txt" "$player/scores_classic.txt" "$work/"
    start_game "$name" none || return
    [ -s "$player/bg1.bmp" ] && [ -s "$player/clevel1_sound.wav" ] || fail "$name: the art and sound were not copied"
    [ -s "$player/colors.txt" ] || fail "$name: the game did not run in the player's folder"
    exit_by_menu "$name"
    cmp -s "$work/myControls.txt" "$player/myControls.txt" || fail "$name: the player's controls were overwritten"
    cmp -s "$work/scores_classic.txt" "$player/scores_classic.txt" || fail "$name: the player's scores were overwritten"
    ((failures == failures_before)) && echo "ok: $name"
}

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { fail "cmake --install"; exit 1; }
for file in bin/crossfall libexec/crossfall/crossfall share/crossfall/bg1.bmp \
    share/applications/org.crossfall.Crossfall.desktop share/metainfo/org.crossfall.Crossfall.metainfo.xml \
    share/icons/hicolor/256x256/apps/org.crossfall.Crossfall.png; do
    [ -e "$prefix/$file" ] || fail "install: $file is missing"
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/org.crossfall.Crossfall.desktop" ||
        fail "install: the desktop entry is not valid"
fi
check_launcher installed "$prefix/bin/crossfall"

if command -v cpack >/dev/null && command -v dpkg-deb >/dev/null; then
    (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1) ||
        fail "cpack: $(tail -5 "$work/cpack.log")"
    deb=$(ls "$work"/package/*.deb 2>/dev/null | head -n1)
    if [ -n "$deb" ]; then
        dpkg-deb -x "$deb" "$work/unpacked"
        dpkg-deb -f "$deb" Depends | grep -q libsdl2 || fail "package: Depends lacks SDL"
        check_launcher package "$work/unpacked/usr/bin/crossfall"
    else
        fail "cpack made no package"
    fi
fi

((failures == 0))
