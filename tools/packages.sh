# Sourced by play.sh and test.sh: installs the Debian packages that are missing, with apt-get
# (through sudo when not root).
ensure_packages() {
    local package missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    ((${#missing[@]})) || return 0
    echo "Installing: ${missing[*]}"
    local sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
}

# What building and running the game needs.
GAME_PACKAGES=(cmake g++ make pkg-config libsdl2-dev libsdl2-ttf-dev libwayland-dev libfontconfig-dev fontconfig fonts-dejavu-core)
# What the tests add: unit tests and benchmarks, the end-to-end runs under Xvfb (and openbox) and under
# sway (with grim, wtype, wayvnc for a pointer, zenity for the message box SDL shows under Wayland,
# XWayland for a comparison, and weston for a display without a seat), building
# and checking the packages and the manual page, fuzzing, the mutation run, the block colours' figures.
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool x11-utils imagemagick openbox
               sway grim wtype wayvnc zenity xwayland weston
               desktop-file-utils dpkg-dev file binutils lintian groff-base appstream clang clang-tidy
               libclang-rt-14-dev valgrind python3 python3-colorspacious python3-skimage)
