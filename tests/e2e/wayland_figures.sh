#!/usr/bin/env bash
# Figures under Wayland, in sway's headless backend (wayland_lib.sh), beside X11: the picture through
# XWayland at scale 1, 1.5 and 2 against the ideal (the native one is wayland.sh's), the delay from a
# key to the picture it changes natively and through XWayland, the idle menu's CPU beside a minimal
# SDL program in the same compositor, and the first frame and resident memory under Wayland and
# under Xvfb.
# Usage: wayland_figures.sh GAME MINIMAL_SDL DATA_DIR
set -uo pipefail

game=$(readlink -f "$1")
minimal=$(readlink -f "$2")
data=$(readlink -f "$3")
source "$(dirname "${BASH_SOURCE[0]}")/wayland_lib.sh"

# ---- Through XWayland (SDL's X11 driver), as SDL 2.26 would choose by itself ----

# The menu at 800 x 600, natively: the picture the others are measured against.
game_folder reference
start_game reference none || exit 1
shot reference
close_game reference

declare -A xwayland_rmse=()
native_prefix=("${launch_prefix[@]}")
if [ "$xwayland" = enable ]; then
    wl swaymsg exec "printenv DISPLAY >$runtime/x-display" >/dev/null
    sleep 0.5
    xwayland_prefix=("${as_user[@]}" env -u WAYLAND_DISPLAY HOME="$home" XDG_RUNTIME_DIR="$runtime"
                     DISPLAY="$(cat "$runtime/x-display")" SDL_VIDEODRIVER=x11)
    launch_prefix=("${xwayland_prefix[@]}")
    for setting in 1280x800:1 1920x1200:1.5 2560x1600:2; do
        size=${setting%:*} scale=${setting#*:}
        output "$size" "$scale"
        fresh_config
        game_folder "xwayland-$scale"
        start_game "xwayland-$scale" none || continue
        sleep 1
        shot "xwayland-at-$scale"
        kill "$game_pid"
        wait "$game_pid"
        game_pid=
        xwayland_rmse[$scale]=$(picture_rmse "xwayland-at-$scale" reference "${size%x*}" "${size#*x}")
    done
    launch_prefix=("${native_prefix[@]}")
fi
output 800x600 1

# ---- From a key to the picture it changes ----

start_vnc
# The trace is told after the present: Enter starting a game from the menu, where it acts when let
# go, and Escape pausing it, natively and through XWayland, five of each; keys by wayvnc.
declare -A latency=()
for way in native xwayland; do
    [ "$way" = xwayland ] && { [ "$xwayland" = enable ] || continue; launch_prefix=("${xwayland_prefix[@]}"); }
    game_folder "latency-$way"
    start_game "latency-$way" none || continue
    chmod 644 "$err"
    pointer key ff54 key ff54 sleep 0.3 $(repeat 5 timed ff0d release "$err" G sleep 0.4 \
        timed ff1b press "$err" M sleep 0.4) >"$work/latency-$way.txt"
    latency[$way]=$(awk '/^latency/ { print $2 }' "$work/latency-$way.txt" | sort -n | awk '{ v[NR] = $1 }
        END { if (NR == 10) printf "median %.0f ms, %.0f to %.0f ms", (v[5] + v[6]) / 2, v[1], v[10] }')
    [ -n "${latency[$way]}" ] || fail "latency: $way: $(tr '\n' ' ' <"$work/latency-$way.txt")"
    kill "$game_pid"
    wait "$game_pid"
    game_pid=
    launch_prefix=("${native_prefix[@]}")
done
stop_vnc

# ---- Idle CPU, first frame and memory, Wayland and X11 ----

fresh_config
game_folder idle
if start_game idle none; then
    sleep 1
    menu_cpu=$(cpu_percent "$game_pid" 10)
    close_game idle
fi
(exec "${as_user[@]}" "${on_wayland[@]}" SDL_VIDEODRIVER=wayland "$minimal" --idle 12) >"$work/minimal-idle.txt" 2>&1 &
minimal_pid=$!
wait_for_line "$work/minimal-idle.txt" shown 15 && sleep 1 && minimal_cpu=$(cpu_percent "$minimal_pid" 10)
wait "$minimal_pid"
# A sanitized build (ctest sets ASAN_OPTIONS for it) costs more of everything: the budgets are
# a plain build's.
plain=1
[ -n "${ASAN_OPTIONS:-}" ] && plain=0
((plain)) && above "$(awk -v a="${menu_cpu:-100}" -v b="${minimal_cpu:-0}" 'BEGIN { print a - b }')" 1 &&
    fail "idle menu: ${menu_cpu:-?} % of one core, minimal SDL program ${minimal_cpu:-?} % (budget: minimal + 1 %)"

# The first menu frame, and the memory after three seconds of Classic (started by the keys).
declare -A first=() rss=() hwm=() minimal_ms=() minimal_peak=()
measure_start() { # label start-keys...
    local label=$1
    shift
    game_folder "$label"
    start_game "$label" none || return
    first[$label]=$first_frame_ms
    "$@"
    wait_for_screen G 0 || fail "$label: no game started"
    sleep 3
    read -r rss[$label] hwm[$label] <<<"$(awk '$1 == "VmRSS:" { r = $2 } $1 == "VmHWM:" { h = $2 } END { print r, h }' \
        "/proc/$game_pid/status")"
}
# The minimal program's start to its first picture (the median of three, in ms) and its peak memory.
minimal_figures() { # label command...
    local label=$1 times=() started
    shift
    for _ in 1 2 3; do
        started=$(now_ms)
        "$@" "$minimal" >"$work/minimal-first.txt" 2>&1 &
        wait_for_line "$work/minimal-first.txt" shown 15 && times+=($(($(now_ms) - started)))
        wait $!
    done
    minimal_ms[$label]=$(printf '%s\n' "${times[@]:-0}" | sort -n | sed -n 2p)
    minimal_peak[$label]=$(awk '/^peak/ { print $2 }' "$work/minimal-first.txt")
}
fresh_config
measure_start wayland keys_in_background Down Down Return wait=4000
close_game wayland
wait "$keys_pid"
minimal_figures wayland "${as_user[@]}" "${on_wayland[@]}" SDL_VIDEODRIVER=wayland
launch_prefix=(env -u WAYLAND_DISPLAY)
x11_keys() { tap Down; tap Down; tap Return; }
measure_start x11 x11_keys
tap Escape
exit_by_menu x11
minimal_figures x11 env -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11
# The budgets of the X11 run, against the minimal program under the same compositor.
if ((plain)); then
    ((${first[wayland]:-100000} - ${minimal_ms[wayland]:-0} <= 100)) ||
        fail "first frame under Wayland: ${first[wayland]:-?} ms, minimal SDL program ${minimal_ms[wayland]:-?} ms (budget: minimal + 100 ms)"
    ((${hwm[wayland]:-10000000} - ${minimal_peak[wayland]:-0} <= 24576)) ||
        fail "resident under Wayland: peak ${hwm[wayland]:-?} KiB, minimal ${minimal_peak[wayland]:-?} KiB (budget: minimal + 24576 KiB)"
fi

echo "figures (sway headless, and Xvfb for X11):"
for scale in 1 1.5 2; do
    echo "  RMS error against the area-weighted ideal at scale $scale through XWayland: ${xwayland_rmse[$scale]:-?} %"
done
echo "  a key to the picture it changes (Enter to a game, Escape to the menu; ten): native ${latency[native]:-?}," \
    "through XWayland ${latency[xwayland]:-?}"
echo "  CPU with the menu open for 10 s: ${menu_cpu:-?} % of one core; minimal SDL program: ${minimal_cpu:-?} % (budget: minimal + 1 %)"
for label in wayland x11; do
    echo "  $label: start to first menu frame ${first[$label]:-?} ms, minimal SDL program ${minimal_ms[$label]:-?} ms;" \
        "resident after 3 s of Classic ${rss[$label]:-?} KiB (peak ${hwm[$label]:-?} KiB), minimal's peak ${minimal_peak[$label]:-?} KiB"
done
echo "  load while measuring: $(cut -d' ' -f1-3 /proc/loadavg)"

((failures == 0))
