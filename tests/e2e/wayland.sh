#!/usr/bin/env bash
# The game natively under Wayland, in sway's headless backend (wayland_lib.sh): the menu journey, a
# game to its end with initials, focus loss pausing a game, Alt+Enter both ways with the window's size
# kept, the picture at scale 1, 1.5 and 2 against the ideal, the one-copy message box, a display
# without a seat (weston), and the mouse at scale 2 through wayvnc's pointer.
# Usage: wayland.sh GAME DATA_DIR
set -uo pipefail

game=$(readlink -f "$1")
data=$(readlink -f "$2")
source "$(dirname "${BASH_SOURCE[0]}")/wayland_lib.sh"

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
    # The list of all tables is the eleventh stop of twelve (the race switch last), Exit the tenth.
    keys $(repeat 11 Down) Return wait=300
    shot list
    changed=$(area_changes reference list 0 0 800 100)
    ((changed > 500)) || fail "menu: the list of all tables did not open ($changed pixels changed)"
    keys Escape wait=300
    shot back
    changed=$(area_changes reference back 100 100 200 400)
    ((changed >= 0 && changed < 200)) || fail "menu: Escape did not bring the menu back ($changed pixels differ)"
    keys $(repeat 11 Down) Return
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

# ---- A second copy in the same folder: the message box ----

local_failures=$failures
game_folder twice
if start_game twice none; then
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
    expect_second_copy_ended "$second_pid" "$before"
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

if command -v wayvnc >/dev/null; then
    local_failures=$failures
    output 2560x1600 2
    fresh_config
    start_vnc
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
    stop_vnc
    ((failures == local_failures)) &&
        echo "ok: the mouse at scale 2: relative motion scaled to the picture, clicks on a mode and on Exit"
else
    fail "wayvnc is not installed (tools/packages.sh lists it)"
fi

echo "figures:"
for scale in 1 1.5 2; do
    echo "  RMS error against the area-weighted ideal at scale $scale: ${scale_rmse[$scale]:-?} % (budget 0.8 %)"
done

((failures == 0))
