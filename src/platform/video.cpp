// Our own 16-bit surfaces and the drawing primitives: plain loops over pixel arrays, exclusive
// rectangles that are never clipped, black as the only transparent value, nearest-pixel stretching.
#include "platform/video.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "platform/backend.h"
#include "platform/bitmaps.h"
#include "platform/files.h"
#include "platform/input.h"

namespace crossfall {

Surface frontSurface;
Surface backSurface;
std::uint32_t redMask = 0xF800;
std::uint32_t greenMask = 0x07E0;
std::uint32_t blueMask = 0x001F;

namespace {

// Bitmaps larger than this are refused before the decoder allocates for them.
constexpr std::int64_t MAX_BITMAP_PIXELS = 4096 * 4096;
constexpr std::size_t MAX_BITMAP_FILE_BYTES = 256u << 20;

struct Area {
    std::int64_t left, top, right, bottom;
    std::int64_t width() const { return right - left; }
    std::int64_t height() const { return bottom - top; }
};

// Non-empty and wholly inside the surface: the only rectangles any primitive draws.
bool fitsInside(const Surface& surface, const Area& a) {
    return a.left < a.right && a.top < a.bottom && a.left >= 0 && a.top >= 0 && a.right <= surface.width &&
           a.bottom <= surface.height;
}

Area areaOf(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

std::uint16_t* row(Surface& s, std::int64_t y) { return s.pixels.data() + y * s.width; }
const std::uint16_t* row(const Surface& s, std::int64_t y) { return s.pixels.data() + y * s.width; }

void fillArea(Surface& target, const Area& a, std::uint32_t color) {
    auto value = static_cast<std::uint16_t>(color);
    for (std::int64_t y = a.top; y < a.bottom; ++y) std::fill(row(target, y) + a.left, row(target, y) + a.right, value);
}

// Colour-fills a rectangle of any 64-bit extent; one outside the surface or empty draws nothing.
void fillChecked(const Area& a, std::uint32_t color, Surface& target) {
    checkDisplayLoss();
    if (target.lost) {
        restoreAllSurfaces();
        return;
    }
    if (fitsInside(target, a)) fillArea(target, a, color);
}

// Source index of each destination pixel along one axis, sampling pixel centres.
void nearestMap(std::vector<std::int32_t>& map, std::int64_t destSize, std::int64_t sourceStart,
                std::int64_t sourceSize) {
    map.resize(static_cast<std::size_t>(destSize));
    for (std::int64_t i = 0; i < destSize; ++i)
        map[static_cast<std::size_t>(i)] =
            static_cast<std::int32_t>(sourceStart + ((2 * i + 1) * sourceSize) / (2 * destSize));
}

void copyArea(Surface& dest, const Area& d, const Surface& source, const Area& s, bool keyed) {
    if (d.width() == s.width() && d.height() == s.height()) {
        for (std::int64_t y = 0; y < d.height(); ++y) {
            const std::uint16_t* from = row(source, s.top + y) + s.left;
            std::uint16_t* to = row(dest, d.top + y) + d.left;
            if (!keyed) {
                std::memmove(to, from, static_cast<std::size_t>(d.width()) * sizeof(std::uint16_t));
                continue;
            }
            // A select rather than a branch lets the compiler copy many pixels per step.
            for (std::int64_t x = 0; x < d.width(); ++x) to[x] = from[x] != 0 ? from[x] : to[x];
        }
        return;
    }
    static std::vector<std::int32_t> columns;
    static std::vector<std::int32_t> rows;
    nearestMap(columns, d.width(), s.left, s.width());
    nearestMap(rows, d.height(), s.top, s.height());
    for (std::int64_t y = 0; y < d.height(); ++y) {
        const std::uint16_t* from = row(source, rows[static_cast<std::size_t>(y)]);
        std::uint16_t* to = row(dest, d.top + y) + d.left;
        for (std::int64_t x = 0; x < d.width(); ++x) {
            std::uint16_t pixel = from[columns[static_cast<std::size_t>(x)]];
            to[x] = keyed && pixel == 0 ? to[x] : pixel;
        }
    }
}

void markEverySurfaceLost() {
    frontSurface.lost = true;
    backSurface.lost = true;
    for (int i = 0; i < BITMAP_COUNT; ++i) bitmap(static_cast<Bitmap>(i)).lost = true;
    comboLabelSurface.lost = true;
}

// Before initVideo there is no picture to show.
// Every picture put on screen and every restore; a screen compares it to know nothing else showed since.
std::uint64_t screenChangeCount = 0;

void show() {
    ++screenChangeCount;
    if (frontSurface.pixels.size() == static_cast<std::size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT)
        backend::showPicture(frontSurface.pixels.data());
}

// Width and height a BMP header claims, so oversized ones never reach the decoder.
std::optional<std::int64_t> claimedPixels(const unsigned char* b, std::size_t size) {
    if (size < 26 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
               static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
    };
    auto u16 = [&](std::size_t at) { return static_cast<std::int64_t>(b[at] | b[at + 1] << 8); };
    if (u32(14) == 12) return u16(18) * u16(20);
    std::int64_t width = static_cast<std::int32_t>(u32(18));
    std::int64_t height = static_cast<std::int32_t>(u32(22));
    return (width < 0 ? -width : width) * (height < 0 ? -height : height);
}

// The decoded image sampled to the surface's size, each pixel truncated to 5-6-5.
void scaleInto(Surface& surface, const SDL_Surface& image) {
    std::vector<std::int32_t> columns;
    std::vector<std::int32_t> rows;
    nearestMap(columns, surface.width, 0, image.w);
    nearestMap(rows, surface.height, 0, image.h);
    const auto* pixels = static_cast<const unsigned char*>(image.pixels);
    for (std::int32_t y = 0; y < surface.height; ++y) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(pixels + rows[static_cast<std::size_t>(y)] * image.pitch);
        std::uint16_t* to = row(surface, y);
        for (std::int32_t x = 0; x < surface.width; ++x) {
            std::uint32_t p = from[columns[static_cast<std::size_t>(x)]];
            to[x] = static_cast<std::uint16_t>(((p >> 8) & 0xF800) | ((p >> 5) & 0x07E0) | ((p >> 3) & 0x001F));
        }
    }
}

} // namespace

// ---- Surfaces ----

bool initVideo() {
    frontSurface = createSurface(SCREEN_WIDTH, SCREEN_HEIGHT);
    backSurface = createSurface(SCREEN_WIDTH, SCREEN_HEIGHT);
    return backend::openDisplay();
}

Surface createSurface(int width, int height) {
    Surface surface;
    surface.width = std::max(width, 0);
    surface.height = std::max(height, 0);
    surface.pixels.assign(static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height), 0);
    return surface;
}

bool loadBitmapFromMemory(Surface& surface, const void* bytes, std::size_t size) {
    std::optional<std::int64_t> pixels = claimedPixels(static_cast<const unsigned char*>(bytes), size);
    if (!pixels || *pixels > MAX_BITMAP_PIXELS || surface.width <= 0 || surface.height <= 0) return false;
    SDL_Surface* decoded = SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes, static_cast<int>(size)), 1);
    if (decoded == nullptr) return false;
    SDL_Surface* image = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_XRGB8888, 0);
    SDL_FreeSurface(decoded);
    if (image == nullptr) return false;
    bool usable = image->w > 0 && image->h > 0;
    if (usable) scaleInto(surface, *image);
    SDL_FreeSurface(image);
    return usable;
}

void loadBitmap(Surface& surface, const char* fileName) {
    const std::optional<std::string> bytes = readFile(fileName, MAX_BITMAP_FILE_BYTES);
    if (!bytes) return;
    const std::string& file = *bytes;
    loadBitmapFromMemory(surface, file.data(), file.size());
}

bool surfaceLost(const Surface& surface) {
    checkDisplayLoss();
    return surface.lost;
}

void checkDisplayLoss() {
    if (backend::takeDisplayLoss()) markEverySurfaceLost();
}

void restoreSurface(Surface& surface, const char* fileName) {
    if (!surface.lost) return;
    surface.lost = false;
    loadBitmap(surface, fileName);
}

void restoreAllSurfaces() {
    ++screenChangeCount;
    frontSurface.lost = false;
    backSurface.lost = false;
    for (int i = 0; i < BITMAP_COUNT; ++i) restoreSurface(bitmap(static_cast<Bitmap>(i)), bitmapFiles[i].fileName);
    comboLabelSurface.lost = false;
    mouseX = 50;
    mouseY = 50;
}

// ---- Drawing ----

std::uint32_t packColor(int r, int g, int b) {
    double t = (b / 255.0) * blueMask;
    t = t + (g / 255.0) * greenMask;
    t = t + (r / 255.0) * redMask;
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(t));
}

int fillRect(int left, int top, int right, int bottom, std::uint32_t color, Surface& target) {
    fillChecked({left, top, right, bottom}, color, target);
    return 1;
}

int frameRect(int left, int top, int right, int bottom, int thickness, std::uint32_t color) {
    const std::int64_t l = left, t = top, r = right, b = bottom, k = thickness;
    fillChecked({l, t - k, r, t}, color, backSurface);
    fillChecked({r, t - k, r + k, b + k}, color, backSurface);
    fillChecked({l, b, r, b + k}, color, backSurface);
    fillChecked({l - k, t - k, l, b + k}, color, backSurface);
    return 1;
}

int clearSurface(Surface& target, std::uint32_t color) {
    std::fill(target.pixels.begin(), target.pixels.end(), static_cast<std::uint16_t>(color));
    return 1;
}

BlitResult blitSprite(Surface& dest, const Rect& destRect, const Surface& source, const Rect* sourceRect,
                      bool keyed) {
    checkDisplayLoss();
    if (dest.lost || source.lost) return BlitResult::SurfaceLost;
    Area d = areaOf(destRect);
    Area s = sourceRect ? areaOf(*sourceRect) : Area{0, 0, source.width, source.height};
    if (!fitsInside(dest, d) || !fitsInside(source, s)) return BlitResult::Failed;
    if (&dest == &source) {
        // Copying within one surface reads from a snapshot so overlapping areas stay whole.
        const Surface snapshot = source; // NOLINT(performance-unnecessary-copy-initialization): dest aliases it
        copyArea(dest, d, snapshot, s, keyed);
    } else {
        copyArea(dest, d, source, s, keyed);
    }
    return BlitResult::Done;
}

// ---- Presenting ----

void presentFrame(bool) {
    checkDisplayLoss();
    std::swap(frontSurface.pixels, backSurface.pixels);
    show();
}

BlitResult presentRect(const Rect& rect) {
    BlitResult result = blitSprite(frontSurface, rect, backSurface, &rect, false);
    if (result == BlitResult::Done) show();
    return result;
}

void showFrontSurface() { show(); }

std::uint64_t screenChanges() { return screenChangeCount; }

// ---- Pace ----

void waitForNextFrame() {
    constexpr double PERIOD_MS = 1000.0 / 60.0;
    // Further behind than this, the pace starts afresh instead of rushing to catch up.
    constexpr double RESYNC_MS = 100.0;
    static double deadline = -1.0; // once per run: the first pass sets it
    auto now = static_cast<double>(backend::nowMs());
    bool clockJumped = now - deadline > RESYNC_MS || deadline - now > PERIOD_MS;
    if (deadline < 0.0 || clockJumped) deadline = now;
    deadline += PERIOD_MS;
    double wait = deadline - now;
    if (wait > 0.0) backend::sleepMs(static_cast<int>(wait + 0.999));
}

} // namespace crossfall
