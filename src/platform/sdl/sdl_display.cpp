// The window and the picture on SDL: one full-screen-desktop window, the 800 x 600 picture scaled to
// fit with its aspect kept, shown through one streaming 5-6-5 texture and, where the scale is not a
// whole number, a target texture holding its whole-factor enlargement ("sharp bilinear").
#include "platform/sdl/sdl_display.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/picture_place.h"
#include "platform/sdl/sdl_driver.h"
#include "platform/sdl/sdl_pads.h"
#include "platform/window_state.h"

namespace crossfall {
namespace {

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;

// Once per run: openDisplay to closeDisplay.
struct Display {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    SDL_Texture* enlarged = nullptr; // the picture enlarged by a whole factor, reduced linearly to the window
    int enlargedFactor = 0;
    bool videoUp = false;
    bool lossPending = false;
    bool textureStale = false;
    bool redrawPending = true;
    std::vector<std::uint16_t> shown; // the picture last put on screen
    WindowState kept;                 // read at opening, saved at each toggle and at closing
};
Display display;

bool makeTexture() {
    if (display.texture != nullptr) SDL_DestroyTexture(display.texture);
    if (display.enlarged != nullptr) SDL_DestroyTexture(display.enlarged);
    display.enlarged = nullptr;
    display.enlargedFactor = 0;
    display.texture = SDL_CreateTexture(display.renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                        WIDTH, HEIGHT);
    if (display.texture != nullptr) SDL_SetTextureScaleMode(display.texture, SDL_ScaleModeNearest);
    return display.texture != nullptr;
}

// The target texture for this factor, made when the factor changes; null where targets are missing.
SDL_Texture* enlargedTexture(int factor) {
    if (display.enlargedFactor == factor) return display.enlarged;
    if (display.enlarged != nullptr) SDL_DestroyTexture(display.enlarged);
    display.enlarged = nullptr;
    display.enlargedFactor = factor;
    if (!SDL_RenderTargetSupported(display.renderer)) return nullptr;
    display.enlarged = SDL_CreateTexture(display.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET,
                                         WIDTH * factor, HEIGHT * factor);
    if (display.enlarged != nullptr) SDL_SetTextureScaleMode(display.enlarged, SDL_ScaleModeLinear);
    return display.enlarged;
}

// A reduction steeper than 4:3 samples two linear texels per pixel, narrower than the pixel's
// footprint: four copies a quarter pixel apart, a quarter of the light each, cover it.
void addQuarterSamples(SDL_Texture* enlarged, const SDL_Rect& rect) {
    constexpr float QUARTER = 0.25F;
    // 64 + 64 + 64 + 63 = 255: the four add up to the picture's own brightness.
    constexpr Uint8 SHARES[4] = {64, 64, 64, 63};
    SDL_SetTextureBlendMode(enlarged, SDL_BLENDMODE_ADD);
    for (int q = 0; q < 4; ++q) {
        SDL_SetTextureColorMod(enlarged, SHARES[q], SHARES[q], SHARES[q]);
        const SDL_FRect shifted = {static_cast<float>(rect.x) + ((q & 1) != 0 ? QUARTER : -QUARTER),
                                   static_cast<float>(rect.y) + ((q & 2) != 0 ? QUARTER : -QUARTER),
                                   static_cast<float>(rect.w), static_cast<float>(rect.h)};
        SDL_RenderCopyF(display.renderer, enlarged, nullptr, &shifted);
    }
}

// Draws the texture letterboxed: nearest up by the whole factor, then linear down to the rectangle.
void renderPicture() {
    int width = WIDTH, height = HEIGHT;
    if (SDL_GetRendererOutputSize(display.renderer, &width, &height) != 0) return;
    const PicturePlace place = placePicture(width, height);
    const SDL_Rect rect = {place.x, place.y, place.width, place.height};
    SDL_Texture* enlarged = place.exact ? nullptr : enlargedTexture(place.factor);
    if (enlarged != nullptr && SDL_SetRenderTarget(display.renderer, enlarged) == 0) {
        SDL_RenderCopy(display.renderer, display.texture, nullptr, nullptr);
        SDL_SetRenderTarget(display.renderer, nullptr);
    } else {
        enlarged = nullptr;
    }
    SDL_SetRenderDrawColor(display.renderer, 0, 0, 0, 255);
    SDL_RenderClear(display.renderer);
    if (enlarged != nullptr && place.supersample) {
        addQuarterSamples(enlarged, rect);
    } else {
        if (enlarged != nullptr) SDL_SetTextureBlendMode(enlarged, SDL_BLENDMODE_NONE);
        SDL_RenderCopy(display.renderer, enlarged != nullptr ? enlarged : display.texture, nullptr, &rect);
    }
    SDL_RenderPresent(display.renderer);
}

// The icon sits beside the bitmaps in the working directory; black is its transparent background.
void setIcon() {
    SDL_Surface* icon = SDL_LoadBMP("icon.bmp");
    if (icon == nullptr) return;
    SDL_SetColorKey(icon, SDL_TRUE, SDL_MapRGB(icon->format, 0, 0, 0));
    SDL_SetWindowIcon(display.window, icon);
    SDL_FreeSurface(icon);
}

bool fullScreen() {
    return (SDL_GetWindowFlags(display.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

// Notes the window's size and place while it is a window (full screen keeps the last ones).
void noteWindowPlace() {
    if (display.window == nullptr) return;
    display.kept.fullScreen = fullScreen();
    if (display.kept.fullScreen || (SDL_GetWindowFlags(display.window) & SDL_WINDOW_MAXIMIZED) != 0) return;
    int w = WIDTH, h = HEIGHT;
    SDL_GetWindowSize(display.window, &w, &h);
    if (w < WINDOW_MIN_SIDE || h < WINDOW_MIN_SIDE || w > WINDOW_MAX_SIDE || h > WINDOW_MAX_SIDE) return;
    display.kept.width = w;
    display.kept.height = h;
    // Under Wayland the window's place is the compositor's: the one kept under X11 stays for X11.
    if (!sdl::windowsCanBePlaced()) return;
    // Kept by the frame's corner: a new window is placed by its frame, so it opens where it was left.
    int top = 0, left = 0;
    SDL_GetWindowBordersSize(display.window, &top, &left, nullptr, nullptr);
    SDL_GetWindowPosition(display.window, &display.kept.x, &display.kept.y);
    display.kept.x -= left;
    display.kept.y -= top;
    display.kept.placed = true;
}

// A kept place is used only when the window's top-left corner lands on a display attached now.
bool placeOnAnyDisplay(const WindowState& kept) {
    if (!kept.placed || !sdl::windowsCanBePlaced()) return false;
    const SDL_Rect corner = {kept.x, kept.y, 64, 64};
    for (int d = 0; d < SDL_GetNumVideoDisplays(); ++d) {
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(d, &bounds) == 0 && SDL_HasIntersection(&corner, &bounds)) return true;
    }
    return false;
}

void putWindowInPlace() {
    SDL_SetWindowSize(display.window, display.kept.width, display.kept.height);
    int top = 0, left = 0;
    SDL_GetWindowBordersSize(display.window, &top, &left, nullptr, nullptr);
    // Moving a window goes by the picture's corner, inside the frame.
    if (placeOnAnyDisplay(display.kept))
        SDL_SetWindowPosition(display.window, display.kept.x + left, display.kept.y + top);
    else
        SDL_SetWindowPosition(display.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

bool fail(const char* what) {
    std::fprintf(stderr, "Crossfall: %s: %s\n", what, SDL_GetError());
    backend::closeDisplay();
    return false;
}

} // namespace

namespace sdl {

void toggleFullscreen() {
    if (display.window == nullptr) return;
    noteWindowPlace();
    const bool full = fullScreen();
    SDL_SetWindowFullscreen(display.window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    display.redrawPending = true;
    if (full) putWindowInPlace();
    display.kept.fullScreen = !full;
    saveWindowState(display.kept);
}

double pictureScale() {
    if (display.window == nullptr) return 1.0;
    // Relative motion arrives in window points, the unit of the window's size.
    int w = WIDTH, h = HEIGHT;
    SDL_GetWindowSize(display.window, &w, &h);
    return std::max(1e-3, std::min(static_cast<double>(w) / WIDTH, static_cast<double>(h) / HEIGHT));
}

void requestRedraw() {
    display.redrawPending = true;
}

void redrawIfPending() {
    // The last picture again, for a window exposed or resized while the game shows nothing new.
    if (!display.redrawPending || display.renderer == nullptr || display.shown.empty() ||
        display.textureStale)
        return;
    display.redrawPending = false;
    renderPicture();
}

void reportDisplayLoss(bool deviceLost) {
    display.lossPending = true;
    display.redrawPending = true;
    if (deviceLost) display.textureStale = true;
}

} // namespace sdl

namespace backend {

bool openDisplay() {
    if (display.window != nullptr) return true;
    SDL_SetHint(SDL_HINT_APP_NAME, "Crossfall");
    // We scale relative motion ourselves, so the cursor crosses the picture at the same speed in a window.
    SDL_SetHint(SDL_HINT_MOUSE_RELATIVE_SCALING, "0");
    // The desktop entry's id, so desktops show our icon and name for the window.
    setenv("SDL_VIDEO_X11_WMCLASS", "org.crossfall.Crossfall", 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", "org.crossfall.Crossfall", 0);
    if (!sdl::chooseVideoDriver()) return false;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "Crossfall: no display to open a window on (%s)\n", SDL_GetError());
        return false;
    }
    display.videoUp = true;
    // SDL falls back to drivers that show nothing; a player without a display must hear about it.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) &&
        (asked == nullptr || std::strcmp(asked, driver) != 0)) {
        std::fprintf(stderr, "Crossfall: no display to open a window on (set DISPLAY or WAYLAND_DISPLAY)\n");
        backend::closeDisplay();
        return false;
    }
    // Created at the desktop's size, so the renderer never starts on a window that is resized under it.
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0 || desktop.w <= 0 || desktop.h <= 0) {
        desktop.w = WIDTH;
        desktop.h = HEIGHT;
    }
    display.kept = loadWindowState();
    const Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    if (display.kept.fullScreen) {
        display.window = SDL_CreateWindow("Crossfall", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          desktop.w, desktop.h, flags | SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        const bool placed = placeOnAnyDisplay(display.kept);
        display.window = SDL_CreateWindow("Crossfall", placed ? display.kept.x : SDL_WINDOWPOS_CENTERED,
                                          placed ? display.kept.y : SDL_WINDOWPOS_CENTERED,
                                          display.kept.width, display.kept.height, flags);
    }
    if (display.window == nullptr) return fail("could not create the window");

    setIcon();
    display.renderer = SDL_CreateRenderer(display.window, -1, 0);
    if (display.renderer == nullptr) return fail("could not create a renderer");
    if (!makeTexture()) return fail("could not create the picture texture");
    SDL_SetRelativeMouseMode(SDL_TRUE);
    SDL_ShowCursor(SDL_DISABLE);
    sdl::openPads();
    return true;
}

void showPicture(const std::uint16_t* pixels) {
    if (display.renderer == nullptr) return;
    if (display.textureStale) {
        display.textureStale = false;
        if (!makeTexture()) return;
    }
    // An unchanged picture is not drawn again: a menu left open then costs next to nothing.
    const std::size_t count = static_cast<std::size_t>(WIDTH) * HEIGHT;
    if (!display.redrawPending && display.shown.size() == count &&
        std::memcmp(display.shown.data(), pixels, count * sizeof(std::uint16_t)) == 0)
        return;
    display.redrawPending = false;
    display.shown.assign(pixels, pixels + count);
    SDL_UpdateTexture(display.texture, nullptr, pixels, WIDTH * static_cast<int>(sizeof(std::uint16_t)));
    renderPicture();
}

bool takeDisplayLoss() {
    bool lost = display.lossPending;
    display.lossPending = false;
    return lost;
}

void showSystemCursor(bool visible) {
    if (display.window != nullptr) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void closeDisplay() {
    sdl::closePads();
    if (display.window != nullptr) {
        noteWindowPlace();
        saveWindowState(display.kept);
    }
    if (display.enlarged != nullptr) SDL_DestroyTexture(display.enlarged);
    if (display.texture != nullptr) SDL_DestroyTexture(display.texture);
    if (display.renderer != nullptr) SDL_DestroyRenderer(display.renderer);
    if (display.window != nullptr) SDL_DestroyWindow(display.window);
    bool videoUp = display.videoUp;
    display = Display{};
    if (videoUp) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

void showErrorMessage(const char* message) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Crossfall", message, display.window);
}

} // namespace backend
} // namespace crossfall
