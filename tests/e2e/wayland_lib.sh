# Shared by the Wayland end-to-end scripts: sway's headless backend started as an unprivileged user
# (sway refuses root) with its own runtime folder, and the game played there: keys by wtype, outputs
# and windows by swaymsg, screenshots by grim, a pointer and a lasting keyboard by wayvnc. Source it
# after setting `game` and `data`; it sources lib.sh (Xvfb, which the X11 figures use) and skips (77)
# only when a tool is missing or sway cannot start.

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
vnc_pid=
stop_compositors() {
    local pid
    for pid in $vnc_pid $sway_pid $weston_pid; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
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

# wayvnc gives sway a pointer and a keyboard that stays while it runs (so wtype's going no longer
# takes the focus): started only where needed. `pointer` sends words to it (vnc_input.py).
start_vnc() {
    cp "$(dirname "${BASH_SOURCE[0]}")/vnc_input.py" "$work/"
    (exec "${as_user[@]}" "${on_wayland[@]}" wayvnc --unix-socket "$runtime/vnc.sock") >"$work/wayvnc.log" 2>&1 &
    vnc_pid=$!
    for _ in $(seq 50); do [ -S "$runtime/vnc.sock" ] && return 0; sleep 0.1; done
    fail "wayvnc did not start: $(tail -n 3 "$work/wayvnc.log")"
    return 1
}
stop_vnc() { kill "$vnc_pid" && wait "$vnc_pid" 2>/dev/null; vnc_pid=; }
pointer() { wl python3 "$work/vnc_input.py" "$runtime/vnc.sock" "$@"; }
