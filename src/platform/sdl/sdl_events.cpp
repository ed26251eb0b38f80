// The event pump on SDL: keys and buttons into the held-key table, relative mouse motion scaled to
// the picture, pads, quit and focus requests, renderer resets, and Alt+Enter between full screen and a window.
#include <SDL.h>

#include "platform/backend.h"
#include "platform/input.h"
#include "platform/key_map.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_pads.h"

namespace crossfall::backend {
namespace {

// Motion finer than a picture pixel, carried to the next event; once per run.
double motionRestX = 0.0;
double motionRestY = 0.0;

int wholePixels(double& rest, int motion, double scale) {
    rest += motion / scale;
    auto whole = static_cast<int>(rest);
    rest -= whole;
    return whole;
}

void keyboard(const SDL_KeyboardEvent& key, bool down) {
    bool altEnter = key.keysym.scancode == SDL_SCANCODE_RETURN && (key.keysym.mod & KMOD_ALT) != 0;
    if (altEnter) {
        // The toggle is the window's business; the game never sees this Enter.
        if (down && key.repeat == 0) sdl::toggleFullscreen();
        return;
    }
    keyEvent(key.keysym.scancode, key.keysym.sym, down);
}

} // namespace

Events pumpEvents() {
    Events events;
    double scale = sdl::pictureScale();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT: events.quit = true; break;
        case SDL_KEYDOWN: keyboard(event.key, true); break;
        case SDL_KEYUP: keyboard(event.key, false); break;
        case SDL_MOUSEBUTTONDOWN: mouseButtonEvent(event.button.button, true); break;
        case SDL_MOUSEBUTTONUP: mouseButtonEvent(event.button.button, false); break;
        case SDL_MOUSEMOTION:
            addMouseMotion(wholePixels(motionRestX, event.motion.xrel, scale),
                           wholePixels(motionRestY, event.motion.yrel, scale));
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                releaseAllHeldKeys();
                events.focusLost = true;
            } else if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                events.quit = true;
            } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                       event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                       event.window.event == SDL_WINDOWEVENT_RESTORED) {
                sdl::requestRedraw();
            }
            break;
        case SDL_RENDER_TARGETS_RESET: sdl::reportDisplayLoss(false); break;
        case SDL_RENDER_DEVICE_RESET: sdl::reportDisplayLoss(true); break;
        default:
            if (sdl::padEvent(event)) events.padLost = true;
            break;
        }
    }
    sdl::redrawIfPending();
    return events;
}

} // namespace crossfall::backend
