#!/usr/bin/env bash
# End-to-end journeys: the real game under Xvfb, driven with xdotool as a player would. For each
# mode: reach the menu, start the mode, drop pieces until the game ends, type initials, go back to
# the menu and leave by "Exit Crossfall". Also the list of all tables and a row's replay played from it,
# the best game raced beside a new one, rebinding a key on the options screen, a start with no data files at all and one with no display. Prints the start
# time, memory, idle CPU and game-step rate beside a minimal SDL program's.
# Usage: journeys.sh GAME MINIMAL_SDL DATA_DIR
set -uo pipefail

game=$(readlink -f "$1")
minimal=$(readlink -f "$2")
data=$(readlink -f "$3")

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

resident_kib() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$game_pid/status"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$game_pid/stat"; }

# The menu entry and the best-scores row of each mode.
declare -A entry_y=([classic]=205 [rubik]=242 [4way]=278 [2p]=314 [time]=389)
declare -A row_y=([classic]=200 [rubik]=240 [4way]=280 [2p]=320 [time]=360)

play_mode() {
    local mode=$1 failures_before=$failures
    start_game "$mode" with-data || return
    shot "$mode-menu"
    [ "$mode" = classic ] && keep_shot classic-menu menu
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
    wait_for_line "$err" "screen G" 5 || { fail "$mode: clicking the entry started no game"; return; }
    if [ "$mode" = classic ]; then
        sleep 3 # a few seconds of falling before the drops, for the frame rate
        play_rss=$(resident_kib VmRSS)
    fi

    # A few pieces in the field, for a look at the mode being played.
    for _ in 1 2 3 4 5 6; do tap Left; tap space; done
    tap Right
    sleep 0.5
    shot "$mode-play"
    keep_shot "$mode-play" "play-$mode"

    local score_file="$dir/scores_$mode.txt"
    for _ in $(seq 15); do
        for _ in $(seq 10); do tap space; done
        tap a
        tap Return
        [ -s "$score_file" ] && break
    done
    [ -s "$score_file" ] || { fail "$mode: no game over with a saved score after many drops"; return; }
    [ "$mode" = classic ] && play_hwm=$(resident_kib VmHWM)
    # Ten CR LF lines: the new row, then the nine empty rows of a first table.
    local total
    total=$(head -n1 "$score_file" | tr -d '\r' | awk '$1 == "A" && $2 ~ /^[1-9][0-9]*$/ { print $2 }')
    if [ -z "$total" ]; then
        fail "$mode: the saved table lacks the new row: $(head -c 200 "$score_file")"
    else
        { printf 'A %s\r\n' "$total"; for _ in $(seq 9); do printf '??? 0\r\n'; done; } >"$dir/expected-scores"
        cmp -s "$dir/expected-scores" "$score_file" || fail "$mode: the score file differs from ten CR LF rows"
    fi

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
        # The list of all tables shows the new row in the Classic column, and Escape leaves it.
        click_at 560 426
        sleep 0.3
        cursor_to 780 580
        shot classic-list
        keep_shot classic-list score-list
        above "$(area_mean classic-list 5 150 140 20)" 0.02 || fail "classic: the score list shows no first row"
        # The new row carries the replay mark; a click plays its game, writing no log, and Escape comes back.
        above "$(area_mean classic-list 146 155 6 6)" 0.15 || fail "classic: the new row has no replay mark"
        local games moves_size
        games=$(grep -c "screen G" "$err")
        moves_size=$(stat -c %s "$dir/moves.txt")
        click_at 30 157
        sleep 1
        (($(grep -c "screen G" "$err") > games)) || fail "classic: clicking the row played nothing"
        shot classic-replay-1
        sleep 1
        shot classic-replay-2
        keep_shot classic-replay-2 replay-from-list
        changed=$(area_changes classic-replay-1 classic-replay-2 320 60 160 320)
        ((changed > 0)) || fail "classic: the replay's field did not move"
        [ "$(stat -c %s "$dir/moves.txt")" = "$moves_size" ] || fail "classic: the replay wrote to moves.txt"
        tap Escape
        sleep 0.3
        cursor_to 780 580
        shot classic-list-again
        changed=$(area_changes classic-list classic-list-again 0 0 800 600)
        ((changed >= 0 && changed < 100)) || fail "classic: Escape did not bring the list back ($changed pixels differ)"
        tap Escape
        sleep 0.3
        game_rate=$(awk '/screen G/ { p = $3; t = $5; next } p && /screen/ { printf "%.2f", ($3 - p) * 1000 / ($5 - t); exit }' \
            "$err")
        classic_first_frame=$first_frame_ms
    fi
    exit_by_menu "$mode"

    # The game's journal replays headless to the total the table holds, and writes no table.
    cmp -s "$dir/lastgame.cfr" "$dir/best_$mode.cfr" || fail "$mode: best_$mode.cfr is not the game just saved"
    local verified
    verified=$(cd "$dir" && "$game" --replay lastgame.cfr --verify) || fail "$mode: --verify exited with $?"
    grep -qx "total: $total" <<<"$verified" || fail "$mode: --verify reports another total than $total: $verified"
    cmp -s "$dir/expected-scores" "$score_file" || fail "$mode: --verify changed the score file"
    ((failures == failures_before)) && echo "ok: $mode (menu after ${first_frame_ms} ms, replay verified)"
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

# Controls/Options: hover "Drop Piece" holding D, finish, and D then drops the piece in a game.
options_cursor_to() { cursor_to $(($1 - 400)) $(($2 - 100)); }
start_game options with-data && {
    local_failures=$failures
    click_at 200 424
    sleep 0.3
    xdotool keydown d
    options_cursor_to 500 190
    sleep 0.3
    xdotool keyup d
    shot options-screen
    keep_shot options-screen options
    options_cursor_to 560 485
    xdotool mousedown 1
    sleep 0.08
    xdotool mouseup 1
    sleep 0.3
    { printf '%s\r\n' 162 163 68 9 37 39 37 39 0 1 1 1 1
      printf 'This file contains control settings.  Do not delete or edit it!'; } >"$dir/expected-controls"
    cmp -s "$dir/expected-controls" "$dir/myControls.txt" ||
        fail "options: myControls.txt is not the expected thirteen lines: $(od -c "$dir/myControls.txt" | head -5)"
    click_at 200 205
    wait_for_line "$err" "screen G" 5 || fail "options: no game started"
    sleep 0.3
    shot options-before-drop
    tap d
    sleep 0.3
    shot options-after-drop
    changed=$(area_changes options-before-drop options-after-drop 320 316 160 64)
    ((changed > 50)) || fail "options: D did not drop the piece ($changed pixels of the field's floor changed)"
    tap Escape
    sleep 0.3
    exit_by_menu options
    ((failures == local_failures)) && echo "ok: options (D bound to Drop Piece and drops)"
}

# Race your best: in the Classic folder, whose best game is kept, the switch on, then a Classic game
# shows that game beside the player's field.
start_game classic with-data && {
    local_failures=$failures
    click_at 560 455
    sleep 0.3
    grep -q "^race-your-best=1" "$XDG_CONFIG_HOME/crossfall/settings.txt" || fail "race: the switch was not kept"
    games=$(grep -c "screen G" "$err")
    click_at 200 205
    sleep 0.5
    (($(grep -c "screen G" "$err") > games)) || fail "race: no game started"
    for _ in 1 2 3; do tap Left; tap space; done
    sleep 0.5
    shot race
    keep_shot race play-race
    above "$(area_mean race 598 100 2 160)" 0.9 || fail "race: no raced field's white frame beside the player's"
    tap Escape
    sleep 0.3
    exit_by_menu race
    ((failures == local_failures)) && echo "ok: race your best (the raced field shows)"
}

# No display at all: a clear word on stderr and exit code 1, not a crash or a hang.
mkdir -p "$work/no-display"
(cd "$work/no-display" && env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$game") 2>"$work/no-display/stderr"
code=$?
if ((code == 1)) && grep -q "display" "$work/no-display/stderr"; then
    echo "ok: no display"
else
    fail "no display: exit code $code, said: $(head -c 300 "$work/no-display/stderr")"
fi

echo "figures:"
echo "  start to first menu frame: ${classic_first_frame:-?} ms; minimal SDL program: ${minimal_ms:-?} ms (budget: minimal + 100 ms)"
echo "  resident while playing: ${play_rss:-?} KiB (peak ${play_hwm:-?} KiB); minimal peak: ${minimal_peak:-?} KiB (budget: minimal + 24576 KiB)"
echo "  CPU with the menu open for 10 s: ${menu_cpu:-?} % of one core (budget: minimal SDL program + 1 %, checked by screens.sh)"
echo "  game steps per second: ${game_rate:-?} (budget: 60 within 0.5)"

((failures == 0))
