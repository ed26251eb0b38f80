// The video driver: native Wayland where a Wayland compositor runs, X11 otherwise, and never a
// Wayland display without a seat, on which SDL 2.26 crashes in its start-up.
#include "platform/sdl/sdl_driver.h"

#include <SDL.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace crossfall::sdl {
namespace {

enum class Wayland { Absent, WithSeat, WithoutSeat };

void noteGlobal(void* data, wl_registry*, std::uint32_t, const char* interface, std::uint32_t) {
    if (std::strcmp(interface, "wl_seat") == 0) *static_cast<bool*>(data) = true;
}
void forgetGlobal(void*, wl_registry*, std::uint32_t) {}

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// Wayland is looked at when asked for, when named, or when no X11 display is named (SDL then tries it).
bool waylandInPlay(const char* asked) {
    if (asked != nullptr) return std::strstr(asked, "wayland") != nullptr;
    return isSet("WAYLAND_DISPLAY") || !isSet("DISPLAY");
}

// Connects as SDL would (WAYLAND_DISPLAY, else wayland-0) and looks for a seat among the globals.
Wayland probeWayland() {
    // Without a runtime folder there is no socket to find, and libwayland would complain on stderr.
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (!isSet("XDG_RUNTIME_DIR") && (name == nullptr || name[0] != '/')) return Wayland::Absent;
    wl_display* connection = wl_display_connect(nullptr);
    if (connection == nullptr) return Wayland::Absent;
    bool seat = false;
    static const wl_registry_listener listener = {noteGlobal, forgetGlobal};
    wl_registry* registry = wl_display_get_registry(connection);
    wl_registry_add_listener(registry, &listener, &seat);
    // A display that stops answering is left to SDL, as one that never answered.
    const bool answered = wl_display_roundtrip(connection) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(connection);
    if (!answered) return Wayland::Absent;
    return seat ? Wayland::WithSeat : Wayland::WithoutSeat;
}

} // namespace

bool chooseVideoDriver() {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (!waylandInPlay(asked)) return true;
    switch (probeWayland()) {
    case Wayland::Absent: return true;
    case Wayland::WithSeat:
        // Natively the window gets the display's real pixels at any scale; through XWayland the
        // compositor enlarges a picture already scaled once.
        if (asked == nullptr) SDL_SetHint(SDL_HINT_VIDEODRIVER, "wayland,x11");
        return true;
    case Wayland::WithoutSeat: break;
    }
    if (asked == nullptr && isSet("DISPLAY")) {
        std::fprintf(stderr, "Crossfall: the Wayland display offers no seat (no keyboard or mouse); using X11\n");
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
        return true;
    }
    std::fprintf(stderr, "Crossfall: the Wayland display offers no seat (no keyboard or mouse), and SDL cannot "
                         "run a window on it; use a desktop with a seat, or X11\n");
    return false;
}

bool windowsCanBePlaced() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "x11") == 0;
}

} // namespace crossfall::sdl
