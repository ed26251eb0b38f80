#!/usr/bin/env bash
# The game natively under Wayland: sway's headless backend (run as an unprivileged user when we are
# root, since sway refuses root), keys by wtype, outputs and windows by swaymsg, screenshots by grim.
# The menu journey, a game to its end with initials, focus loss pausing a game, Alt+Enter both ways
# with the window's size kept, the picture at scale 1, 1.5 and 2 against the ideal, the one-copy
# message box, a display without a seat (weston), and the mouse at scale 2 through wayvnc's pointer;
# then the figures: the idle menu's CPU beside a minimal SDL program in the same compositor, and the
# first frame and resident memory under Wayland and under Xvfb. Skips (77) only when the compositor
# cannot start.
# Usage: wayland.sh GAME MINIMAL_SDL DATA_DIR
set -uo pipefail

game=$(readlink -f "$1")
minimal=$(readlink -f "$2")
data=$(readlink -f "$3")

for tool in sway swaymsg grim wtype python3 setpriv; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# ---- The compositor, as a user of its own ----

as_user=()
wl_user=$(id -un)
if (($(id -u) == 0)); then
    wl_user=crossfall-wl
    if ! id "$wl_user" >/dev/null 2>&1 &&
        ! useradd --system --create-home --shell /usr/sbin/nologin "$wl_user"; then
        fail "could not make the user $wl_user to run sway"
        exit 1
    fi
    as_user=(setpriv --reuid="$wl_user" --regid="$(id -g "$wl_user")" --init-groups)
fi
home=$(getent passwd "$wl_user" | cut -d: -f6)
chmod 755 "$work"
runtime="$work/runtime"
mkdir -m 700 "$runtime"
chown "$wl_user" "$runtime"

sway_pid=
weston_pid=
stop_compositors() {
    local pid
    for pid in $sway_pid $weston_pid; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
}
trap 'stop_compositors; cleanup' EXIT

# XWayland, where installed, only for the figures the choice of driver rests on.
xwayland=disable
command -v Xwayland >/dev/null && xwayland=enable
cat >"$work/sway.conf" <<EOF
output HEADLESS-1 resolution 800x600 scale 1
default_border none
default_floating_border none
xwayland $xwayland
# A window left full screen floats at the size it asks for, as on a desktop.
for_window [app_id="org.crossfall.Crossfall"] floating enable
EOF
"${as_user[@]}" env -i PATH="$PATH" HOME="$home" XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
sway_pid=$!
for _ in $(seq 100); do
    compgen -G "$runtime/sway-ipc.*" >/dev/null && compgen -G "$runtime/wayland-*.lock" >/dev/null && break
    sleep 0.1
done
if ! compgen -G "$runtime/sway-ipc.*" >/dev/null; then
    echo "SKIP: sway did not start"
    tail -n 5 "$work/sway.log"
    exit 77
fi
wayland_socket=$(basename "$(compgen -G "$runtime/wayland-*.lock" | head -n1)" .lock)
on_wayland=(env -u DISPLAY HOME="$home" XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$wayland_socket"
            SWAYSOCK="$(compgen -G "$runtime/sway-ipc.*" | head -n1)")
wl() { "${as_user[@]}" "${on_wayland[@]}" "$@"; }
launch_prefix=("${as_user[@]}" "${on_wayland[@]}")

output() { wl swaymsg output HEADLESS-1 resolution "$1" scale "$2" >/dev/null; }
shot() { wl grim - >"$work/$1.png"; }

# The game's folder with the data, and a fresh config folder, both the user's.
game_folder() {
    mkdir -p "$work/$1" "$XDG_CONFIG_HOME"
    cp "$data"/*.bmp "$data"/*.wav "$work/$1"/
    chown -R "$wl_user" "$work/$1" "$XDG_CONFIG_HOME"
}
fresh_config() { rm -rf "$XDG_CONFIG_HOME"; }

# A window of this app id in sway's tree: "shell full-screen-mode width height title", or nothing.
view_of() {
    wl swaymsg -t get_tree | python3 -c '
import json, sys
def views(node):
    if node.get("app_id") == sys.argv[1]:
        yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from views(child)
for v in views(json.load(sys.stdin)):
    print(v["shell"], v["fullscreen_mode"], v["rect"]["width"], v["rect"]["height"], v["name"])
    break' "$1"
}
game_view() { view_of org.crossfall.Crossfall; }
# Until the view starts with the words given (sway takes its time); false after 5 s.
wait_for_view() { # app-id words
    for _ in $(seq 50); do
        [[ "$(view_of "$1") " == "$2 "* ]] && return 0
        sleep 0.1
    done
    return 1
}
close_game() { # label: the window closed as a desktop closes it, and the game ends with code 0
    wl swaymsg '[app_id="org.crossfall.Crossfall"] kill' >/dev/null
    expect_exit "$1"
}

# wtype's keyboard lives as long as wtype runs, and its going takes the window's focus with it: a run
# of keys is one wtype, which first waits for the window to take the new keyboard. Words: a key name,
# alt+KEY, or wait=MS.
wtype_args() {
    args=(-s 300)
    local k
    for k in "$@"; do
        case $k in
        alt+*) args+=(-M alt -P "${k#alt+}" -s 60 -p "${k#alt+}" -m alt -s 40) ;;
        wait=*) args+=(-s "${k#wait=}") ;;
        *) args+=(-P "$k" -s 60 -p "$k" -s 40) ;;
        esac
    done
    args+=(-s 100)
}
keys() { wtype_args "$@" && wl wtype "${args[@]}"; }
keys_pid=
keys_in_background() {
    wtype_args "$@"
    (exec "${as_user[@]}" "${on_wayland[@]}" wtype "${args[@]}") &
    keys_pid=$!
}
repeat() { local i; for ((i = 0; i < $1; i++)); do printf '%s\n' "${@:2}"; done; }

# The passes between two trace lines, the one after the nth change to screen A and the next, against
# sixty a second of the time between them: "passes expected".
pass_span() { # screen-letter n
    awk -v s="screen $1" -v n="$2" 'index($0, s) && ++seen == n { p = $3; t = $5; next }
        p && /screen/ { printf "%d %.0f", $3 - p, ($5 - t) * 60 / 1000; exit }' "$err"
}
# A present held at either end may be made up after it: up to the 100 ms (6 passes) the pace makes up.
span_keeps_pace() { [ -n "$1" ] && awk -v a="${1% *}" -v b="${1#* }" 'BEGIN { exit !(a - b <= 6 && b - a <= 6) }'; }

# ---- The menu, natively, and the picture it is measured against ----

game_folder menu
if start_game menu none; then
    view=$(game_view)
    [[ "$view " == "xdg_shell 1 800 600 Crossfall "* ]] ||
        fail "menu: the window is \"$view\", not a native full-screen window with our app id"
    grep -v crossfall-trace "$err" | grep -q . && fail "menu: the game said: $(grep -v crossfall-trace "$err" | head -3)"
    shot reference
    above "$(area_mean reference 100 100 200 400)" 0.02 || fail "menu: the left panel is dark"
    # The list of all tables is the eleventh stop, Exit the tenth.
    keys $(repeat 11 Down) Return wait=300
    shot list
    changed=$(area_changes reference list 0 0 800 100)
    ((changed > 500)) || fail "menu: the list of all tables did not open ($changed pixels changed)"
    keys Escape wait=300
    shot back
    changed=$(area_changes reference back 100 100 200 400)
    ((changed >= 0 && changed < 200)) || fail "menu: Escape did not bring the menu back ($changed pixels differ)"
    keys $(repeat 10 Down) Return
    expect_exit menu
fi
game_folder options
if start_game options none; then
    keys $(repeat 8 Down) Return wait=300
    wait_for_screen O 0 || fail "options: Enter on Controls/Options opened nothing"
    keys Escape wait=300
    wait_for_screen M 1 || fail "options: Escape did not lead back to the menu"
    close_game options
fi
((failures == 0)) && echo "ok: menu journey (native window with our app id, the tables, options, Exit, closed by the desktop)"

# ---- A game to its end, the initials, and the table ----

local_failures=$failures
game_folder classic
if start_game classic none; then
    # Thirty hard drops at the entry column overflow any field, whatever the pieces; then the initials
    # (a typed letter holds the entry 150 ms, so Enter comes after that).
    keys Down Down Return wait=500 $(repeat 30 space) wait=1000 a wait=300 Return wait=1000
    score_file="$dir/scores_classic.txt"
    total=$(head -n1 "$score_file" 2>/dev/null | tr -d '\r' | awk '$1 == "A" && $2 ~ /^[1-9][0-9]*$/ { print $2 }')
    [ -n "$total" ] || fail "classic: no saved result with the initials A: $(head -c 200 "$score_file" 2>&1)"
    sleep 0.3
    close_game classic
    verified=$(cd "$dir" && "$game" --replay lastgame.cfr --verify) || fail "classic: --verify exited with $?"
    grep -qx "total: $total" <<<"$verified" || fail "classic: --verify reports another total than $total: $verified"
fi
((failures == local_failures)) && echo "ok: a game to its end, initials typed, table saved, replay verified"

# ---- Focus lost while playing, the window hidden meanwhile ----

local_failures=$failures
game_folder focus
if start_game focus none; then
    keys_in_background Down Down Return wait=6000
    wait_for_screen G 0 || fail "focus: no game started"
    sleep 1
    # Another workspace takes the focus and hides the window, while the keyboard stays.
    wl swaymsg workspace 2 >/dev/null
    wait_for_screen M 1 || fail "focus: the game went on with its window in the background"
    kill -0 "$keys_pid" 2>/dev/null || fail "focus: the keyboard had gone before the pause, which proves nothing"
    sleep 3
    wl swaymsg workspace 1 >/dev/null
    wait "$keys_pid"
    sleep 0.5
    ((($(screens G)) == 1)) || fail "focus: the game resumed by itself"
    keys Escape wait=3000
    wait_for_screen G 1 || fail "focus: Escape did not resume the game"
    wait_for_screen M 2 || fail "focus: the keyboard's going did not pause the game"
    hidden=$(pass_span M 2)
    playing=$(pass_span G 2)
    span_keeps_pace "$hidden" || fail "focus: hidden in the menu, ${hidden% *} passes where the time had ${hidden#* }"
    span_keeps_pace "$playing" || fail "focus: playing again, ${playing% *} passes where the time had ${playing#* }"
    close_game focus
fi
((failures == local_failures)) &&
    echo "ok: focus loss pauses the game; passes against sixty a second: ${hidden/ / of } hidden, ${playing/ / of } playing"

# ---- Alt+Enter both ways, and the window's size kept (its place is the compositor's) ----

local_failures=$failures
output 1280x800 1
fresh_config
game_folder window
if start_game window none; then
    wait_for_view org.crossfall.Crossfall "xdg_shell 1 1280 800" || fail "window: the game starts as \"$(game_view)\""
    shot window-full
    keys alt+Return
    wait_for_view org.crossfall.Crossfall "xdg_shell 0 800 600" ||
        fail "window: Alt+Enter gave \"$(game_view)\", not an 800 x 600 window"
    wl swaymsg '[app_id="org.crossfall.Crossfall"] resize set 1000 700' >/dev/null
    wait_for_view org.crossfall.Crossfall "xdg_shell 0 1000 700" || fail "window: not resized: \"$(game_view)\""
    sleep 0.3
    shot window-resized
    # Centred by sway: the picture fills the window's 4:3 rectangle (933 x 700 at 140, 50).
    above "$(area_mean window-resized 200 60 800 680)" 0.02 || fail "window: the resized window shows no picture"
    keys alt+Return
    wait_for_view org.crossfall.Crossfall "xdg_shell 1 1280 800" || fail "window: back to full screen gave \"$(game_view)\""
    sleep 0.5
    shot window-full-again
    changed=$(area_changes window-full window-full-again 0 0 1280 800)
    ((changed >= 0 && changed < 2000)) || fail "window: full screen again differs from the first ($changed pixels)"
    keys alt+Return
    wait_for_view org.crossfall.Crossfall "xdg_shell 0 1000 700" ||
        fail "window: the window came back as \"$(game_view)\", not 1000 x 700"
    close_game window
    kept=$(tr '\n' ' ' <"$XDG_CONFIG_HOME/crossfall/window.txt" 2>/dev/null)
    [ "$kept" = "fullscreen=0 width=1000 height=700 " ] || fail "window: window.txt is \"$kept\", not the size without a place"
    for start in 1 2; do
        start_game window none || break
        wait_for_view org.crossfall.Crossfall "xdg_shell 0 1000 700" || fail "window: restart $start gave \"$(game_view)\""
        close_game window
    done
fi
((failures == local_failures)) && echo "ok: Alt+Enter both ways, the window's size kept over two restarts"

# ---- The picture at scale 1, 1.5 and 2 against the ideal ----

declare -A scale_rmse=()
for setting in 1280x800:1 1920x1200:1.5 2560x1600:2; do
    size=${setting%:*} scale=${setting#*:}
    output "$size" "$scale"
    fresh_config
    game_folder "scale-$scale"
    start_game "scale-$scale" none || continue
    wait_for_view org.crossfall.Crossfall "xdg_shell 1" || fail "scale $scale: not full screen: \"$(game_view)\""
    sleep 0.3
    shot "at-$scale"
    close_game "scale-$scale"
    scale_rmse[$scale]=$(picture_rmse "at-$scale" reference "${size%x*}" "${size#*x}")
done
# Full screen at 1.5, SDL 2.26 draws on the output's own pixels (a window there is drawn for 2).
for scale in 1 1.5 2; do
    above "${scale_rmse[$scale]:-?}" 0.8 && fail "scale $scale: RMS error ${scale_rmse[$scale]:-?} % (budget 0.8 %)"
done

# The same through XWayland (SDL's X11 driver), as SDL 2.26 would choose by itself: a figure.
declare -A xwayland_rmse=()
if [ "$xwayland" = enable ]; then
    wl swaymsg exec "printenv DISPLAY >$runtime/x-display" >/dev/null
    sleep 0.5
    native_prefix=("${launch_prefix[@]}")
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

# ---- A second copy in the same folder: the message box ----

local_failures=$failures
game_folder twice
if start_game twice none; then
    folder_state() { (cd "$dir" && find . -printf '%p %s %T@\n' | sort && md5sum ./*); }
    before=$(folder_state)
    (cd "$dir" && exec "${as_user[@]}" "${on_wayland[@]}" "$game") 2>"$work/second.stderr" &
    second_pid=$!
    wait_for_line "$work/second.stderr" "already running in this folder" 10 || fail "twice: no message on stderr"
    if wait_for_view zenity "xdg_shell 0"; then
        [[ "$(view_of zenity)" == *" Crossfall" ]] || fail "twice: the message box is \"$(view_of zenity)\""
        # Sway keeps a new window behind a full-screen one until it is focused; then it is closed as
        # a desktop closes it (the keys of wtype's short-lived keyboard do not reach GTK there).
        wl swaymsg '[app_id="zenity"] focus' >/dev/null
        sleep 0.3
        wl swaymsg '[app_id="zenity"] kill' >/dev/null
    else
        fail "twice: no message box showed"
    fi
    for _ in $(seq 50); do kill -0 "$second_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$second_pid" 2>/dev/null && { fail "twice: the second copy did not end"; kill "$second_pid"; }
    wait "$second_pid"
    code=$?
    ((code == 1)) || fail "twice: the second copy exited with $code, not 1"
    [ "$(folder_state)" = "$before" ] || fail "twice: the second copy changed the folder"
    close_game twice
fi
((failures == local_failures)) && echo "ok: a second copy shows its message box natively and ends with 1"

# ---- A Wayland display without a seat (weston's headless backend), where SDL 2.26 would crash ----

if command -v weston >/dev/null; then
    local_failures=$failures
    "${as_user[@]}" env -i PATH="$PATH" HOME="$home" XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so \
        --socket=seatless >"$work/weston.log" 2>&1 &
    weston_pid=$!
    for _ in $(seq 100); do [ -e "$runtime/seatless.lock" ] && break; sleep 0.1; done
    sleep 0.5
    game_folder seatless
    (cd "$work/seatless" && exec timeout 10 "${as_user[@]}" env -u DISPLAY HOME="$home" XDG_RUNTIME_DIR="$runtime" \
        WAYLAND_DISPLAY=seatless "$game") 2>"$work/seatless.stderr"
    code=$?
    ((code == 1)) && grep -q "offers no seat" "$work/seatless.stderr" ||
        fail "no seat: exit code $code, said: $(head -c 300 "$work/seatless.stderr")"
    # With an X11 display named too, the game takes it.
    native_prefix=("${launch_prefix[@]}")
    launch_prefix=("${as_user[@]}" env HOME="$home" XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=seatless DISPLAY="$DISPLAY")
    if start_game seatless none; then
        grep -q "offers no seat (no keyboard or mouse); using X11" "$err" || fail "no seat: X11 taken without a word"
        kill "$game_pid"
        wait "$game_pid"
        game_pid=
    fi
    launch_prefix=("${native_prefix[@]}")
    kill "$weston_pid" && wait "$weston_pid" 2>/dev/null
    weston_pid=
    ((failures == local_failures)) && echo "ok: a Wayland display without a seat: a clear word, or X11 where there is one"
else
    fail "weston is not installed (tools/packages.sh lists it)"
fi

# ---- The mouse on a display at scale 2, by wayvnc's pointer ----

# wayvnc's keyboard stays while it runs, so it runs only here: wtype's going takes the focus elsewhere.
if command -v wayvnc >/dev/null; then
    local_failures=$failures
    output 2560x1600 2
    fresh_config
    cp "$(dirname "${BASH_SOURCE[0]}")/vnc_input.py" "$work/"
    (exec "${as_user[@]}" "${on_wayland[@]}" wayvnc --unix-socket "$runtime/vnc.sock") >"$work/wayvnc.log" 2>&1 &
    vnc_pid=$!
    for _ in $(seq 50); do [ -S "$runtime/vnc.sock" ] && break; sleep 0.1; done
    pointer() { wl python3 "$work/vnc_input.py" "$runtime/vnc.sock" "$@"; }
    # The cursor pinned in the picture's corner, then moved to a picture point: the output has two
    # pixels a point, and the 1280 x 800 point window four points for every three picture pixels.
    pointer_to() {
        echo move 2559 1599 move 0 0 move 2559 1599 move 0 0 sleep 0.2 \
            move "$(($1 * 8 / 3))" "$(($2 * 8 / 3))" sleep 0.3
    }
    game_folder mouse
    if start_game mouse none; then
        pointer $(pointer_to 200 205) down sleep 0.1 up sleep 0.3
        wait_for_screen G 0 || fail "mouse: a click on Classic Brikka started no game"
        pointer key ff1b sleep 0.3
        wait_for_screen M 1 || fail "mouse: Escape did not pause the game"
        pointer $(pointer_to 200 478) down sleep 0.1 up
        expect_exit mouse
    fi
    # From a key to the picture it changes (the trace is told after the present): Enter starting a
    # game from the menu, where it acts when let go, and Escape pausing it, natively and through
    # XWayland, five of each.
    output 800x600 1
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
    kill "$vnc_pid" && wait "$vnc_pid" 2>/dev/null
    ((failures == local_failures)) &&
        echo "ok: the mouse at scale 2: relative motion scaled to the picture, clicks on a mode and on Exit"
else
    fail "wayvnc is not installed (tools/packages.sh lists it)"
fi

# ---- Figures: idle CPU, first frame and memory, Wayland and X11 ----

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
above "$(awk -v a="${menu_cpu:-100}" -v b="${minimal_cpu:-0}" 'BEGIN { print a - b }')" 1 &&
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
# The budgets of the X11 run, against the minimal program under the same compositor; a sanitized
# build (ctest sets ASAN_OPTIONS for it) starts slower and holds its shadow memory, so only a plain one.
if [ -z "${ASAN_OPTIONS:-}" ]; then
    ((${first[wayland]:-100000} - ${minimal_ms[wayland]:-0} <= 100)) ||
        fail "first frame under Wayland: ${first[wayland]:-?} ms, minimal SDL program ${minimal_ms[wayland]:-?} ms (budget: minimal + 100 ms)"
    ((${hwm[wayland]:-10000000} - ${minimal_peak[wayland]:-0} <= 24576)) ||
        fail "resident under Wayland: peak ${hwm[wayland]:-?} KiB, minimal ${minimal_peak[wayland]:-?} KiB (budget: minimal + 24576 KiB)"
fi

echo "figures (sway headless, and Xvfb for X11):"
for scale in 1 1.5 2; do
    echo "  RMS error against the area-weighted ideal at scale $scale: ${scale_rmse[$scale]:-?} % (budget 0.8 %)${xwayland_rmse[$scale]:+; through XWayland ${xwayland_rmse[$scale]} %}"
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
