#!/usr/bin/env bash
# Failure paths a player can meet, each tried for real with the game under Xvfb: no sound device,
# a folder the game may not write to, a disk that is full when the score table is saved, a
# controls file edited into nonsense, a second copy started in the same folder, and a game killed
# mid-play. The game must keep running and lose nothing it had.
# Usage: failures.sh GAME DATA_DIR
set -uo pipefail

game=$(readlink -f "$1")
data=$(readlink -f "$2")
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# A table whose first row no short game beats, so any positive result enters at row 1.
write_old_files() {
    { printf 'ZZZ 99999\r\n'; for _ in $(seq 9); do printf '??? 0\r\n'; done; } >"$1/scores_classic.txt"
    { printf '%s\r\n' 162 163 32 9 37 39 37 39 0 1 1 1 1
      printf 'This file contains control settings.  Do not delete or edit it!'; } >"$1/myControls.txt"
    cp "$1/scores_classic.txt" "$1/myControls.txt" "$work/"
}

# Starts Classic, drops pieces until the initials entry shows, types A and Enter; back in the menu.
play_to_entry() {
    click_at 200 205
    wait_for_line "$err" "screen G" 5 || { fail "$1: no game started"; return 1; }
    for _ in $(seq 40); do
        for _ in $(seq 10); do tap space; done
        grep -q "screen E" "$err" && break
    done
    grep -q "screen E" "$err" || { fail "$1: the initials entry never showed"; return 1; }
    tap a
    tap Return
    sleep 0.3
    tap Escape
    sleep 0.3
}

# The old files must be byte for byte as they were, and the game must end by its menu with code 0.
expect_old_files_and_exit() {
    cmp -s "$work/scores_classic.txt" "$dir/scores_classic.txt" || fail "$1: the old score table was changed"
    cmp -s "$work/myControls.txt" "$dir/myControls.txt" || fail "$1: the old controls file was changed"
    kill -0 "$game_pid" 2>/dev/null || fail "$1: the game died"
    exit_by_menu "$1"
}

# ---- No sound device ----
failures_before=$failures
SDL_AUDIODRIVER=no-such-driver start_game no-sound none && {
    grep -q "no sound device" "$err" || fail "no sound: the game did not say it runs silent"
    play_to_entry no-sound
    grep -q "^A " "$dir/scores_classic.txt" || fail "no sound: the entry was not saved"
    exit_by_menu no-sound
}
((failures == failures_before)) && echo "ok: no sound device"

# ---- A folder the game may not write to (run as another user: root writes anywhere) ----
failures_before=$failures
mkdir -p "$work/read-only"
write_old_files "$work/read-only"
chmod 755 "$work" "$work/read-only"
if setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$game" 2>/dev/null; then
    launch_prefix=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    start_game read-only none && {
        play_to_entry read-only
        expect_old_files_and_exit read-only
    }
    launch_prefix=()
    ((failures == failures_before)) && echo "ok: unwritable folder"
else
    echo "skipped: unwritable folder (another user cannot run $game here)"
fi

# ---- A full disk when the table is saved ----
failures_before=$failures
mkdir -p "$work/full-disk"
if mount -t tmpfs -o size=256k tmpfs "$work/full-disk" 2>/dev/null; then
    write_old_files "$work/full-disk"
    dd if=/dev/zero of="$work/full-disk/filler" bs=4k 2>/dev/null
    start_game full-disk none && {
        play_to_entry full-disk
        expect_old_files_and_exit full-disk
    }
    umount "$work/full-disk"
    ((failures == failures_before)) && echo "ok: full disk"
else
    echo "skipped: full disk (cannot mount a small tmpfs here)"
fi

# ---- A controls file edited into nonsense ----
failures_before=$failures
mkdir -p "$work/nonsense"
printf '0x\377\000 -99999999999 abc\r\n\r\n%%%%\n077 12 x' >"$work/nonsense/myControls.txt"
start_game nonsense none && {
    play_to_entry nonsense
    exit_by_menu nonsense
}
((failures == failures_before)) && echo "ok: nonsense controls file"

# ---- A second copy started in the same folder ----
failures_before=$failures
start_game twice none && {
    before=$(folder_state)
    (cd "$dir" && exec "$game") 2>"$work/second.stderr" &
    second_pid=$!
    wait_for_line "$work/second.stderr" "already running in this folder" 10 || fail "twice: no message on stderr"
    # The message box is the "Crossfall" window with no class; OK (Return) closes it.
    box=
    for _ in $(seq 50); do
        box=$(xwininfo -root -children | awk '/"Crossfall": \(\)/ { print $1; exit }')
        [ -n "$box" ] && break
        sleep 0.1
    done
    [ -n "$box" ] || fail "twice: no message box showed"
    sleep 0.3 # mapped before it can take the focus
    [ -n "$box" ] && xdotool windowfocus --sync "$box" && xdotool key Return
    expect_second_copy_ended "$second_pid" "$before"
    exit_by_menu twice
}
((failures == failures_before)) && echo "ok: a second copy in the same folder"

# ---- A game killed mid-play, and the next start ----
failures_before=$failures
start_game killed with-data && {
    click_at 200 205
    wait_for_line "$err" "screen G" 5 || fail "killed: no game started"
    for _ in $(seq 8); do tap Left; tap space; done
    sleep 1.5 # past a second's sync
    shot killed-before
    kill -9 "$game_pid"
    wait "$game_pid" 2>/dev/null
    game_pid=
    [ -s "$dir/unfinished.cfr" ] || fail "killed: no unfinished game on disk"
    start_game killed with-data && {
        ! grep -q "screen G" "$err" || fail "killed: the game went on by itself"
        click_at 200 150 # Resume
        wait_for_line "$err" "screen G" 5 || fail "killed: Resume played nothing"
        shot killed-after
        # The same pieces stand in the field (eight dropped: over 8000 pixels); the falling one is a row off at most.
        changed=$(area_changes killed-before killed-after 320 60 160 320)
        ((changed >= 0 && changed < 2600)) || fail "killed: $changed pixels of the field differ from before the kill"
        changed=$(area_changes killed-before killed-after 520 440 240 30)
        ((changed == 0)) || fail "killed: the score panel differs from before the kill"
        for _ in $(seq 40); do
            for _ in $(seq 10); do tap space; done
            grep -q "screen E" "$err" && break
        done
        tap a
        tap Return
        sleep 0.3
        tap Escape
        sleep 0.3
        exit_by_menu killed
        # Journaled whole from its first frame, before the kill and after: it checks out to the table's total.
        total=$(head -n1 "$dir/scores_classic.txt" | tr -d '\r' | awk '{ print $2 }')
        verified=$(cd "$dir" && "$game" --replay lastgame.cfr --verify) || fail "killed: --verify exited with $?"
        grep -qx "total: $total" <<<"$verified" || fail "killed: --verify gives another total than $total: $verified"
        [ ! -e "$dir/unfinished.cfr" ] || fail "killed: the unfinished game is still there after its end"
    }
}
((failures == failures_before)) && echo "ok: a game killed mid-play resumes where it was and plays on to a verified end"

((failures == 0))
