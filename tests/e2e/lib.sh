# Shared by the end-to-end scripts: a private Xvfb display, a scratch folder, and playing the game
# as a player would (keys, relative mouse motion, clicks, screenshots). Source it after setting
# `game` (the binary or launcher to start) and, for start_game with-data, `data`.

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

# Starts a private Xvfb screen of this size (in place of one started before); skips without one.
start_display() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
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
}
start_display 800x600
export SDL_AUDIODRIVER=dummy
# The kept window state goes to the scratch folder, never the player's own.
export XDG_CONFIG_HOME="$work/config"

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

# With CROSSFALL_SCREENSHOTS set to a folder, keeps a screenshot there under a name (for the README).
keep_shot() {
    [ -n "${CROSSFALL_SCREENSHOTS:-}" ] || return 0
    mkdir -p "$CROSSFALL_SCREENSHOTS"
    convert "$work/$1.png" -strip "$CROSSFALL_SCREENSHOTS/$2.png"
}

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

# The letterboxed rectangle of the picture on a W x H screen, as the game places it: "W H X Y".
picture_rect() {
    awk -v w="$1" -v h="$2" 'BEGIN {
        if (w * 600 <= h * 800) { pw = w; ph = int((w * 1200 + 800) / 1600) }
        else { ph = h; pw = int((h * 1600 + 600) / 1200) }
        printf "%d %d %d %d", pw, ph, int((w - pw) / 2), int((h - ph) / 2) }'
}

# RMS error in percent of the picture in a W x H screenshot against the ideal enlargement of the
# 800 x 600 reference: each screen pixel the area-weighted mean of the game pixels it covers.
picture_rmse() { # shot reference W H
    local pw ph px py rmse
    read -r pw ph px py <<<"$(picture_rect "$3" "$4")"
    convert "$work/$1.png" -crop "${pw}x${ph}+${px}+${py}" +repage "$work/$1-picture.png"
    convert "$work/$2.png" -sample 900% -filter box -resize "${pw}x${ph}!" "$work/$1-ideal.png"
    rmse=$(compare -metric RMSE "$work/$1-picture.png" "$work/$1-ideal.png" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p')
    awk -v r="$rmse" 'BEGIN { if (r == "") print "?"; else printf "%.2f", 100 * r }'
}

cpu_percent() { # pid seconds: the share of one core the process used over that many seconds
    local before after
    before=$(awk '{ print $14 + $15 }' "/proc/$1/stat")
    sleep "$2"
    after=$(awk '{ print $14 + $15 }' "/proc/$1/stat")
    awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$2" 'BEGIN { printf "%.2f", 100 * t / hz / s }'
}

# Starts the game in a folder (made if missing) holding a copy of the data (or none); sets game_pid,
# dir and err (its stderr). A command in the array launch_prefix (e.g. to run as another user) goes
# before the game.
launch_prefix=()
start_game() {
    dir="$work/$1"
    err="$work/$1.stderr" # beside the folder, which may be full or unwritable
    mkdir -p "$dir"
    [ "$2" = with-data ] && cp "$data"/*.bmp "$data"/*.wav "$dir"/ 2>/dev/null
    started_ms=$(now_ms)
    (cd "$dir" && CROSSFALL_TRACE=1 exec "${launch_prefix[@]}" "$game") 2>"$err" &
    game_pid=$!
    if ! wait_for_line "$err" "screen M" 15; then
        fail "$1: the menu never showed"
        cat "$err"
        return 1
    fi
    first_frame_ms=$(($(now_ms) - started_ms))
    sleep 0.3
}

# How many changes to this screen the game's trace has told.
screens() { grep -c "screen $1" "$err"; }

# Waits until the trace has told more than `count` changes to this screen; false after 5 s.
wait_for_screen() {
    local screen=$1 count=$2 deadline=$(($(now_ms) + 5000))
    until (($(screens "$screen") > count)); do
        (($(now_ms) < deadline)) || return 1
        sleep 0.02
    done
}

# Clicks "Exit Crossfall" and expects the game to end by itself with code 0 within a few seconds.
exit_by_menu() {
    click_at 200 478
    expect_exit "$1"
}

# Expects the game, just told to exit, to end by itself with code 0 within a few seconds.
expect_exit() {
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

# The game folder's names, sizes, times and contents: a second copy must leave it as it was.
folder_state() { (cd "$dir" && find . -printf '%p %s %T@\n' | sort && md5sum ./*); }

# The second copy (pid) ends by itself within 5 s with code 1, the folder as it was (the state before).
expect_second_copy_ended() {
    for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$1" 2>/dev/null && { fail "twice: the second copy did not end"; kill "$1"; }
    wait "$1"
    local code=$?
    ((code == 1)) || fail "twice: the second copy exited with $code, not 1"
    [ "$(folder_state)" = "$2" ] || fail "twice: the second copy changed the folder"
}
