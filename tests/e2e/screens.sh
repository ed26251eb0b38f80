#!/usr/bin/env bash
# Screens other than 800 x 600 and the window: the sharp-bilinear picture at 1920 x 1080, 2560 x 1440
# and 1280 x 800 against the ideal area-weighted picture; the window journeys (Alt+Enter there and
# back, a resize and a move, a restart restoring them, a damaged state file) on bare Xvfb and under
# openbox; and the CPU an idle menu costs beside a minimal SDL program standing as long.
# Usage: screens.sh GAME MINIMAL_SDL DATA_DIR   (CROSSFALL_COMPARE_WITH=another build's game adds
# that game's idle CPU, for a before-and-after figure)
set -uo pipefail

game=$(readlink -f "$1")
minimal=$(readlink -f "$2")
data=$(readlink -f "$3")

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

wm_pid=
stop_wm() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
    wm_pid=
}
trap 'stop_wm; cleanup' EXIT

# The game's window (by the class the desktop entry names) and its geometry as "X Y W H".
game_window() { xdotool search --sync --class org.crossfall.Crossfall 2>/dev/null | head -n1; }
geometry() {
    local x y w h
    eval "$(xdotool getwindowgeometry --shell "$(game_window)" 2>/dev/null)"
    x=${X:-?} y=${Y:-?} w=${WIDTH:-?} h=${HEIGHT:-?}
    echo "$x $y $w $h"
}
# Until the window has this width and height (the window manager takes its time); false after 5 s.
wait_for_size() {
    for _ in $(seq 50); do
        read -r _ _ w h <<<"$(geometry)"
        [ "$w $h" = "$1 $2" ] && return 0
        sleep 0.1
    done
    return 1
}
# Screen pixels per picture pixel, as the game scales relative motion: set for each screen and window.
scale=1
set_scale() { scale=$(awk -v w="$1" -v h="$2" 'BEGIN { s = w / 800; if (h / 600 < s) s = h / 600; print s }'); }
# The lib's cursor_to, with the motion scaled to the picture.
cursor_to() {
    for _ in 1 2 3 4 5 6; do xdotool mousemove_relative -- -1000 -1000; done
    sleep 0.1
    xdotool mousemove_relative -- $(awk -v x="$1" -v y="$2" -v s="$scale" 'BEGIN { printf "%d %d", x * s + 0.5, y * s + 0.5 }')
    sleep 0.15
}
leave() { exit_by_menu "$1"; }

# ---- The picture at three sizes ----

menu_shot() { # size name: the menu at rest, the cursor pinned in the bottom-right corner
    start_display "$1"
    set_scale "${1%x*}" "${1#*x}"
    start_game "scale-$2" with-data || return 1
    cursor_to 5000 5000
    sleep 0.3
    shot "$2"
    leave "scale-$2"
}

declare -A scale_rmse=()
if menu_shot 800x600 reference; then
    for size in 1920x1080 2560x1440 1280x800; do
        menu_shot "$size" "at-$size" || continue
        read -r _ _ px _ <<<"$(picture_rect "${size%x*}" "${size#*x}")"
        scale_rmse[$size]=$(picture_rmse "at-$size" reference "${size%x*}" "${size#*x}")
        above "${scale_rmse[$size]}" 0.8 && fail "scaling at $size: RMS error ${scale_rmse[$size]} % (budget 0.8 %)"
        # The bars stay black.
        if ((px > 0)); then
            above "$(area_mean "at-$size" 0 0 "$px" "${size#*x}")" 0.001 && fail "scaling at $size: the bars are not black"
        fi
    done
fi

# ---- The window journeys ----

window_journeys() { # label: on the display already started, with or without a window manager
    local label=$1 before local_failures=$failures
    rm -rf "$XDG_CONFIG_HOME"
    set_scale 1280 800
    start_game "window-$label" with-data || return
    read -r _ _ w h <<<"$(geometry)"
    [ "$w $h" = "1280 800" ] || fail "$label: the game starts at $w x $h, not full screen"
    shot "window-$label-full"

    xdotool key alt+Return
    wait_for_size 800 600 || fail "$label: Alt+Enter gave $(geometry), not an 800 x 600 window"
    sleep 0.3
    xdotool windowsize "$(game_window)" 1000 700
    wait_for_size 1000 700 || fail "$label: the window was not resized: $(geometry)"
    xdotool windowmove "$(game_window)" 60 40
    sleep 0.5
    local placed
    placed=$(geometry)
    shot "window-$label-resized"
    read -r x y _ _ <<<"$placed"
    # The picture fills the window's 4:3 rectangle (933 x 700 inside 1000 x 700).
    above "$(area_mean "window-$label-resized" $((x + 50)) $((y + 10)) 900 680)" 0.02 ||
        fail "$label: the resized window shows no picture"

    xdotool key alt+Return
    # With no window manager nobody makes a mapped window full screen: that half is the desktop's.
    if [ "$label" = openbox ]; then
        wait_for_size 1280 800 || fail "$label: back to full screen gave $(geometry)"
        sleep 0.5
        shot "window-$label-full-again"
        changed=$(area_changes "window-$label-full" "window-$label-full-again" 0 0 1280 800)
        ((changed >= 0 && changed < 2000)) ||
            fail "$label: full screen again differs from the first ($changed pixels)"
    else
        sleep 0.5
        echo "note: $label: back to full screen with no window manager the window is $(geometry)"
    fi

    xdotool key alt+Return
    wait_for_size 1000 700 || fail "$label: the window came back as $(geometry), not 1000 x 700"
    sleep 0.3
    [ "$(geometry)" = "$placed" ] || fail "$label: the window came back at $(geometry), not $placed"
    set_scale 1000 700
    leave "window-$label"
    grep -qx "fullscreen=0" "$XDG_CONFIG_HOME/crossfall/window.txt" &&
        grep -qx "width=1000" "$XDG_CONFIG_HOME/crossfall/window.txt" ||
        fail "$label: window.txt is $(tr '\n' ' ' <"$XDG_CONFIG_HOME/crossfall/window.txt" 2>/dev/null)"

    # The next start restores the window where it was left, and a second one again (no creeping).
    for start in 1 2; do
        start_game "window-$label" with-data || return
        wait_for_size 1000 700 || fail "$label: restart $start gave $(geometry)"
        sleep 0.3
        [ "$(geometry)" = "$placed" ] || fail "$label: restart $start put the window at $(geometry), not $placed"
        leave "window-$label"
    done

    # A damaged state file: said on stderr, and the game starts as new.
    printf 'fullscreen=0\nwidth=banana\n' >"$XDG_CONFIG_HOME/crossfall/window.txt"
    start_game "window-$label" with-data || return
    grep -q "window.txt is damaged" "$err" || fail "$label: a damaged window.txt was not mentioned"
    wait_for_size 1280 800 || fail "$label: after a damaged window.txt the game is $(geometry)"
    set_scale 1280 800
    leave "window-$label"
    ((failures == local_failures)) && echo "ok: window journeys ($label)"
}

start_display 1280x800
window_journeys bare-xvfb
if command -v openbox >/dev/null; then
    start_display 1280x800
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    sleep 1
    window_journeys openbox
    stop_wm
else
    fail "openbox is not installed (tools/packages.sh lists it)"
fi

# ---- Idle CPU ----

start_display 800x600
scale=1
idle_cpu() { # game label: sets idle to its menu's CPU standing 10 s with the mouse still
    local saved=$game
    idle=?
    game=$1
    if start_game "idle-$2" with-data; then
        sleep 1
        idle=$(cpu_percent "$game_pid" 10)
        leave "idle-$2"
    fi
    game=$saved
}
idle_cpu "$game" now
menu_cpu=$idle
if [ -n "${CROSSFALL_COMPARE_WITH:-}" ]; then
    idle_cpu "$(readlink -f "$CROSSFALL_COMPARE_WITH")" compared
    compare_cpu=$idle
fi
"$minimal" --idle 12 >"$work/minimal-idle.txt" 2>&1 &
minimal_pid=$!
wait_for_line "$work/minimal-idle.txt" shown 15 && sleep 1 && minimal_cpu=$(cpu_percent "$minimal_pid" 10)
wait "$minimal_pid"
# As every figure that depends on SDL itself, the budget is the difference to the minimal program.
above "$(awk -v a="$menu_cpu" -v b="${minimal_cpu:-0}" 'BEGIN { print a - b }')" 1 &&
    fail "idle menu: $menu_cpu % of one core, minimal SDL program ${minimal_cpu:-?} % (budget: minimal + 1 %)"

echo "figures:"
for size in 1920x1080 2560x1440 1280x800; do
    echo "  RMS error against the area-weighted ideal at $size: ${scale_rmse[$size]:-?} % (budget 0.8 %)"
done
echo "  CPU with the menu open for 10 s: $menu_cpu % of one core; minimal SDL program standing: ${minimal_cpu:-?} % (budget: minimal + 1 %)"
[ -n "${compare_cpu:-}" ] && echo "  the same for $CROSSFALL_COMPARE_WITH: $compare_cpu %"
echo "  load while measuring: $(cut -d' ' -f1-3 /proc/loadavg)"

((failures == 0))
