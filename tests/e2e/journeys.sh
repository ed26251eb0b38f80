#!/usr/bin/env bash
# End-to-end journeys: the real game under Xvfb, driven with xdotool as a player would. For each
# mode: reach the menu, start the mode, drop pieces until the game ends, type initials, go back to
# the menu and leave by "Exit Crossfall". Also a start with no data files at all. Prints the start
# time, memory, idle CPU and game-step rate beside a minimal SDL program's.
# Usage: journeys.sh GAME MINIMAL_SDL DATA_DIR
set -uo pipefail

game=$(readlink -f "$1")
minimal=$(readlink -f "$2")
data=$(readlink -f "$3")

for tool in Xvfb xdotool import convert compare; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/crossfall-e2e-XXXXXX")
xvfb_pid=
game_pid=
failures=0

cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    if ((failures)); then
        echo "kept for a look: $work"
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

now_ms() { date +%s%3N; }

# Waits until the file holds a line matching the pattern; false after the timeout in seconds.
wait_for_line() {
    local file=$1 pattern=$2 deadline=$(($(now_ms) + $3 * 1000))
    until grep -q "$pattern" "$file" 2>/dev/null; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.005
    done
}

# ---- The display ----

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
if [ ! -s "$work/display" ]; then
    echo "SKIP: Xvfb did not start"
    exit 77
fi
export DISPLAY=":$(head -n1 "$work/display")"
export SDL_AUDIODRIVER=dummy

# ---- Playing as a player would ----

# Keys are polled once a frame: hold each long enough to be seen, and not long enough to repeat.
tap() {
    xdotool keydown "$1"
    sleep 0.06
    xdotool keyup "$1"
    sleep 0.04
}

# The game's cursor moves by relative motion from wherever it is; far up-left pins it at (0, 0).
cursor_to() {
    for _ in 1 2 3 4; do xdotool mousemove_relative -- -400 -400; done
    sleep 0.1
    xdotool mousemove_relative -- "$1" "$2"
    sleep 0.15
}

click_at() {
    cursor_to "$1" "$2"
    xdotool mousedown 1
    sleep 0.08
    xdotool mouseup 1
    sleep 0.1
}

shot() { import -window root "$work/$1.png"; }

# Mean brightness (0..1) of an area of a screenshot.
area_mean() { convert "$work/$1.png" -crop "$4x$5+$2+$3" +repage -format '%[fx:mean]' info:; }

# How many pixels of an area differ between two screenshots.
area_changes() {
    convert "$work/$1.png" -crop "$5x$6+$3+$4" +repage "$work/a.png"
    convert "$work/$2.png" -crop "$5x$6+$3+$4" +repage "$work/b.png"
    local count
    count=$(compare -metric AE -fuzz 4% "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1)
    [[ $count =~ ^[0-9]+$ ]] && echo "$count" || echo -1
}

above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# Starts the game in a new folder holding a copy of the data (or none); sets game_pid and dir.
start_game() {
    dir="$work/$1"
    mkdir -p "$dir"
    [ "$2" = with-data ] && cp "$data"/*.bmp "$data"/*.wav "$dir"/ 2>/dev/null
    started_ms=$(now_ms)
    (cd "$dir" && CROSSFALL_TRACE=1 exec "$game") 2>"$dir/stderr" &
    game_pid=$!
    if ! wait_for_line "$dir/stderr" "screen M" 15; then
        fail "$1: the menu never showed"
        cat "$dir/stderr"
        return 1
    fi
    first_frame_ms=$(($(now_ms) - started_ms))
    sleep 0.3
}

# Clicks "Exit Crossfall" and expects the game to end by itself with code 0 within a few seconds.
exit_by_menu() {
    click_at 200 478
    local waited=0
    while kill -0 "$game_pid" 2>/dev/null && ((waited < 50)); do
        sleep 0.1
        waited=$((waited + 1))
    done
    if kill -0 "$game_pid" 2>/dev/null; then
        fail "$1: still running 5 s after Exit Crossfall"
        kill "$game_pid"
    fi
    wait "$game_pid"
    local code=$?
    game_pid=
    ((code == 0)) || fail "$1: exit code $code"
}

resident_kib() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$game_pid/status"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$game_pid/stat"; }

# The menu entry and the best-scores row of each mode.
declare -A entry_y=([classic]=205 [rubik]=242 [4way]=278 [2p]=314 [time]=389)
declare -A row_y=([classic]=200 [rubik]=240 [4way]=280 [2p]=320 [time]=360)

play_mode() {
    local mode=$1 failures_before=$failures
    start_game "$mode" with-data || return
    shot "$mode-menu"
    [ -s "$dir/colors.txt" ] || fail "$mode: no colors.txt"
    [ -s "$dir/allLengths.txt" ] || fail "$mode: no allLengths.txt"
    above "$(area_mean "$mode-menu" 100 100 200 400)" 0.02 || fail "$mode: the left panel is dark"
    above "$(area_mean "$mode-menu" 410 190 300 190)" 0.01 || fail "$mode: the best-scores panel is empty"

    if [ "$mode" = classic ]; then
        local before after
        before=$(cpu_ticks)
        sleep 10
        after=$(cpu_ticks)
        menu_cpu=$(awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.1f", 100 * t / hz / 10 }')
    fi

    click_at 200 "${entry_y[$mode]}"
    wait_for_line "$dir/stderr" "screen G" 5 || { fail "$mode: clicking the entry started no game"; return; }
    if [ "$mode" = classic ]; then
        sleep 3 # a few seconds of falling before the drops, for the frame rate
        play_rss=$(resident_kib VmRSS)
    fi

    local score_file="$dir/scores_$mode.txt"
    for _ in $(seq 15); do
        for _ in $(seq 10); do tap space; done
        tap a
        tap Return
        [ -s "$score_file" ] && break
    done
    [ -s "$score_file" ] || { fail "$mode: no game over with a saved score after many drops"; return; }
    [ "$mode" = classic ] && play_hwm=$(resident_kib VmHWM)
    grep -q "^A [1-9]" "$score_file" || fail "$mode: the saved table lacks the new row: $(head -c 200 "$score_file")"

    tap Escape
    sleep 0.3
    cursor_to 0 0
    sleep 0.2
    shot "$mode-back"
    local changed
    changed=$(area_changes "$mode-menu" "$mode-back" 100 100 200 400)
    ((changed >= 0 && changed < 200)) || fail "$mode: the menu did not come back ($changed pixels of the left panel differ)"
    changed=$(area_changes "$mode-menu" "$mode-back" 515 $((row_y[$mode] - 2)) 190 18)
    ((changed > 10)) || fail "$mode: the best-scores row does not show the new score"

    if [ "$mode" = classic ]; then
        game_rate=$(awk '/screen G/ { p = $3; t = $5; next } p && /screen/ { printf "%.2f", ($3 - p) * 1000 / ($5 - t); exit }' \
            "$dir/stderr")
        classic_first_frame=$first_frame_ms
    fi
    exit_by_menu "$mode"
    ((failures == failures_before)) && echo "ok: $mode (menu after ${first_frame_ms} ms)"
}

# ---- The yardstick ----

minimal_times=()
for run in 1 2 3; do
    out="$work/minimal-$run.txt"
    started_ms=$(now_ms)
    "$minimal" >"$out" 2>&1 &
    pid=$!
    wait_for_line "$out" shown 15 && minimal_times+=($(($(now_ms) - started_ms)))
    wait "$pid"
done
minimal_ms=$(printf '%s\n' "${minimal_times[@]:-0}" | sort -n | sed -n 2p)
minimal_peak=$(awk '/^peak/ { print $2 }' "$work/minimal-1.txt")

# ---- The journeys ----

for mode in classic rubik 4way 2p time; do
    play_mode "$mode"
done

start_game no-data none && {
    [ -s "$dir/colors.txt" ] || fail "no data: no colors.txt"
    local_failures=$failures
    exit_by_menu no-data
    ((failures == local_failures)) && echo "ok: no data files"
}

# No display at all: a clear word on stderr and exit code 1, not a crash or a hang.
mkdir -p "$work/no-display"
(cd "$work/no-display" && env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 timeout 10 "$game") 2>"$work/no-display/stderr"
code=$?
if ((code == 1)) && grep -q "display" "$work/no-display/stderr"; then
    echo "ok: no display"
else
    fail "no display: exit code $code, said: $(head -c 300 "$work/no-display/stderr")"
fi

echo "figures:"
echo "  start to first menu frame: ${classic_first_frame:-?} ms; minimal SDL program: ${minimal_ms:-?} ms (budget: minimal + 100 ms)"
echo "  resident while playing: ${play_rss:-?} KiB (peak ${play_hwm:-?} KiB); minimal peak: ${minimal_peak:-?} KiB (budget: minimal + 24576 KiB)"
echo "  CPU with the menu open for 10 s: ${menu_cpu:-?} % of one core (budget: 5 %)"
echo "  game steps per second: ${game_rate:-?} (budget: 60 within 0.5)"

((failures == 0))
