#!/usr/bin/env bash
# Installs the game into a temporary prefix, and builds its Debian packages as a distribution
# would (the games layout, the distribution's build flags) and unpacks them; then starts each
# through the `crossfall` launcher under Xvfb as a new player with files of their own: the
# launcher passes options through, the game reaches the menu in ~/.local/share/crossfall, the art
# arrives there, the player's controls and scores stay as they were, and "Exit Crossfall" ends it
# with code 0. Where the tools are installed, the desktop entry, the AppStream metadata, the
# manual page and the packages (lintian) must pass their checkers without an error or a warning.
# Usage: install.sh BUILD_DIR SOURCE_DIR VERSION [no-package]
set -uo pipefail

build=$(readlink -f "$1")
source_dir=$(readlink -f "$2")
version=$3
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
    local said code
    said=$("$game" --version 2>&1)
    code=$?
    [ "$said" = "crossfall $version" ] && ((code == 0)) || fail "$name: --version said '$said', exit code $code"
    "$game" --bogus >/dev/null 2>&1
    code=$?
    ((code == 2)) || fail "$name: an unknown option gave exit code $code, expected 2"
    # A replay named relative to where the command is typed, though the game runs in the player's folder.
    cp "$(dirname "${BASH_SOURCE[0]}")/../golden/time.cfr" "$work/time.cfr"
    said=$(cd "$work" && "$game" --replay time.cfr --verify 2>&1 && "$game" --replay="time.cfr" --verify 2>&1)
    code=$?
    [ "$(grep -c '^total: 873$' <<<"$said")" = 2 ] && ((code == 0)) || fail "$name: --replay through the launcher: $said"
    start_game "$name" none || return
    [ -s "$player/bg1.bmp" ] && [ -s "$player/clevel1_sound.wav" ] || fail "$name: the art and sound were not copied"
    [ -s "$player/colors.txt" ] || fail "$name: the game did not run in the player's folder"
    exit_by_menu "$name"
    cmp -s "$work/myControls.txt" "$player/myControls.txt" || fail "$name: the player's controls were overwritten"
    cmp -s "$work/scores_classic.txt" "$player/scores_classic.txt" || fail "$name: the player's scores were overwritten"
    ((failures == failures_before)) && echo "ok: $name"
}

# Fails unless every path exists under the root.
expect_files() {
    local root=$1 what=$2 file
    shift 2
    for file in "$@"; do
        [ -e "$root/$file" ] || fail "$what: $file is missing"
    done
}

# Runs a checker that must print nothing at all; fails with what it said.
expect_silent() {
    local what=$1 said
    shift
    said=$("$@" 2>&1) || fail "$what: exit code $?"
    [ -z "$said" ] || fail "$what: $said"
}

# ---- Installed with cmake --install ----

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { fail "cmake --install"; exit 1; }
expect_files "$prefix" install bin/crossfall libexec/crossfall/crossfall share/crossfall/bg1.bmp \
    share/applications/org.crossfall.Crossfall.desktop share/metainfo/org.crossfall.Crossfall.metainfo.xml \
    share/icons/hicolor/256x256/apps/org.crossfall.Crossfall.png share/man/man6/crossfall.6.gz \
    share/doc/crossfall/README.md share/doc/crossfall/LICENSE
if command -v desktop-file-validate >/dev/null; then
    expect_silent "desktop entry" desktop-file-validate "$prefix/share/applications/org.crossfall.Crossfall.desktop"
fi
if command -v appstreamcli >/dev/null; then
    # No network here: the screenshots' URLs are not fetched.
    appstreamcli validate --pedantic --no-net "$prefix/share/metainfo/org.crossfall.Crossfall.metainfo.xml" \
        >"$work/appstream.log" 2>&1 || fail "AppStream metadata: $(cat "$work/appstream.log")"
fi
if command -v groff >/dev/null; then
    expect_silent "manual page" bash -c "zcat '$prefix/share/man/man6/crossfall.6.gz' | groff -ww -z -man"
fi
check_launcher installed "$prefix/bin/crossfall"

# ---- The distribution's packages ----

if [ "${4:-}" = no-package ]; then
    echo "skip: the packages (checked by the plain build)"
elif command -v cpack >/dev/null && command -v dpkg-deb >/dev/null; then
    flags=()
    if command -v dpkg-buildflags >/dev/null; then
        export DEB_BUILD_MAINT_OPTIONS=hardening=+all
        flags=(-DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
               -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)")
    fi
    package_build="$build/package-build"
    if ! cmake -S "$source_dir" -B "$package_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCROSSFALL_DISTRO_LAYOUT=ON \
        -DCROSSFALL_TESTS=OFF -DCROSSFALL_BENCH=OFF "${flags[@]}" >"$work/package-build.log" 2>&1 ||
        ! cmake --build "$package_build" -j "$(nproc)" --target crossfall >>"$work/package-build.log" 2>&1; then
        fail "package build: $(tail -5 "$work/package-build.log")"
        exit 1
    fi
    (cd "$work" && cpack -G DEB --config "$package_build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1) ||
        fail "cpack: $(tail -5 "$work/cpack.log")"
    game_deb=$(ls "$work"/package/crossfall_"$version"_*.deb 2>/dev/null)
    data_deb="$work/package/crossfall-data_${version}_all.deb"
    if [ -f "$game_deb" ] && [ -f "$data_deb" ]; then
        dpkg-deb -x "$game_deb" "$work/unpacked"
        dpkg-deb -x "$data_deb" "$work/unpacked"
        depends=$(dpkg-deb -f "$game_deb" Depends)
        grep -q libsdl2 <<<"$depends" || fail "package: Depends lacks SDL: $depends"
        grep -qF "crossfall-data (= $version)" <<<"$depends" || fail "package: Depends lacks its data: $depends"
        expect_files "$work/unpacked" package usr/games/crossfall usr/libexec/crossfall/crossfall \
            usr/share/games/crossfall/bg1.bmp usr/share/man/man6/crossfall.6.gz \
            usr/share/doc/crossfall/copyright usr/share/doc/crossfall/changelog.gz \
            usr/share/doc/crossfall-data/copyright usr/share/doc/crossfall-data/changelog.gz
        for stray in usr/bin usr/share/crossfall; do
            [ -e "$work/unpacked/$stray" ] && fail "package: $stray is outside the games layout"
        done
        readelf -S "$work/unpacked/usr/libexec/crossfall/crossfall" | grep -qE '\.(symtab|comment)' &&
            fail "package: the program is not stripped"
        # One version everywhere: the build, the changelog and the AppStream release.
        changelog=$(zcat "$work/unpacked/usr/share/doc/crossfall/changelog.gz" | head -n1)
        [[ $changelog == "crossfall ($version) "* ]] || fail "package: the changelog starts '$changelog'"
        release=$(grep -o -m1 '<release version="[^"]*"' "$source_dir/dist/org.crossfall.Crossfall.metainfo.xml")
        [ "$release" = "<release version=\"$version\"" ] || fail "AppStream: the latest release is $release"
        if command -v lintian >/dev/null; then
            # Errors and warnings fail; what it says beyond them is shown.
            lintian --info --pedantic --fail-on error,warning "$game_deb" "$data_deb" >"$work/lintian.log" 2>&1
            code=$?
            said=$(grep -v 'running with root privileges' "$work/lintian.log")
            if ((code == 0)); then
                echo "lintian: ${said:-no tags}"
            else
                fail "lintian: $said"
            fi
        fi
        check_launcher package "$work/unpacked/usr/games/crossfall"
    else
        fail "cpack made no packages: $(ls "$work/package")"
    fi
fi

((failures == 0))
