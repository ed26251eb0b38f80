#!/usr/bin/env bash
# The whole game by keyboard alone, under Xvfb, the mouse never moved: Block Symbols switched on
# (and kept in the config folder), each mode started from the menu, paused and resumed with Escape;
# Drop Piece bound to the Down arrow and Hurry Piece to Enter on the options screen and saved; the
# list of all tables opened and left; Exit with code 0.
# Usage: keyboard.sh GAME DATA_DIR
set -uo pipefail

game=$(readlink -f "$1")
data=$(readlink -f "$2")

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Taps Enter (or the key given) and expects the game to go to that screen.
enter_to() {
    local before
    before=$(screens "$1")
    tap "${2:-Return}"
    wait_for_screen "$1" "$before" || fail "$3: no change to screen $1"
    sleep 0.3
}

# The menu's stops, 1 to 12: the ten entries, then the link to all tables and the race switch. `at` is where the arrows
# left the cursor (0: on none yet); Down from none goes to the first.
at=0
menu_to() {
    local presses=$(((${1} - at + 12) % 12))
    ((at == 0)) && presses=$1
    for _ in $(seq "$presses"); do tap Down; done
    at=$1
}

start_game keyboard with-data || exit 1
menu_to 9
tap Return
sleep 0.3
[ "$(cat "$XDG_CONFIG_HOME/crossfall/settings.txt" 2>/dev/null)" = $'block-symbols=1\nrace-your-best=0' ] ||
    fail "symbols: settings.txt holds: $(head -c 100 "$XDG_CONFIG_HOME/crossfall/settings.txt" 2>&1)"
declare -A stop=([classic]=2 [rubik]=3 [4way]=4 [2p]=5 [time]=7)
for mode in classic rubik 4way 2p time; do
    menu_to "${stop[$mode]}"
    enter_to G Return "$mode: start"
    if [ "$mode" = 4way ]; then
        for _ in 1 2 3 4 5 6 7 8; do tap space; done
        sleep 0.3
        shot symbols-4way
        keep_shot symbols-4way play-symbols
    fi
    enter_to M Escape "$mode: pause"
    enter_to G Escape "$mode: resume"
    tap Left
    enter_to M Escape "$mode: pause again"
done

menu_to 8
enter_to O Return "options: open"
# From the panel's corner: the fourth Down reaches Drop Piece, where Enter waits for the key.
for _ in 1 2 3; do tap Down; done
tap Return
shot options-waiting
keep_shot options-waiting options-waiting
tap Down
tap Down
tap Return
tap Return
# Up from Hurry Piece past the first row wraps to the finish link.
for _ in 1 2 3 4; do tap Up; done
enter_to M Return "options: finish"
{ printf '%s\r\n' 162 163 40 13 37 39 37 39 0 1 1 1 1
  printf 'This file contains control settings.  Do not delete or edit it!'; } >"$dir/expected-controls"
cmp -s "$dir/expected-controls" "$dir/myControls.txt" ||
    fail "options: myControls.txt is not the expected thirteen lines: $(od -c "$dir/myControls.txt" | head -5)"

# The cursor was left on the options' link, no menu stop: Down from none, eleven times, reaches the link.
at=0
shot menu-before-list
menu_to 11
tap Return
sleep 0.3
shot list
changed=$(area_changes menu-before-list list 0 0 800 100)
((changed > 500)) || fail "list: the list of all tables did not open ($changed pixels changed)"
tap Escape
sleep 0.3
shot menu-after-list
changed=$(area_changes menu-before-list menu-after-list 100 100 200 400)
((changed >= 0 && changed < 200)) || fail "list: Escape did not bring the menu back ($changed pixels differ)"

menu_to 10
tap Return
expect_exit exit
[ -n "$(grep -v crossfall-trace "$err")" ] && fail "the game said: $(grep -v crossfall-trace "$err" | head -5)"
((failures == 0)) && echo "ok: block symbols, five modes, pause and resume, two keys rebound, the tables and Exit, by keyboard alone"
((failures == 0))
