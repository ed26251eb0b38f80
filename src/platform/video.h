// Video: our own 16-bit 5-6-5 surfaces in memory, the front surface the window shows, the back
// surface every frame is drawn into, and the drawing primitives all screens use. Rectangles are
// exclusive and never clipped: one that reaches outside its surface, or is empty, draws nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace crossfall {

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// A point is inside when left <= x < right and top <= y < bottom.
constexpr bool contains(const Rect& rect, int x, int y) {
    return rect.left <= x && x < rect.right && rect.top <= y && y < rect.bottom;
}

struct Surface {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint16_t> pixels; // row-major, width * height
    bool lost = false;                 // set when the display lost it; cleared by restoring
};

enum class BlitResult { Done, SurfaceLost, Failed };

constexpr int SCREEN_WIDTH = 800;
constexpr int SCREEN_HEIGHT = 600;

// Created once per run by initVideo; swapped by every flip.
extern Surface frontSurface; // what the window shows
extern Surface backSurface;  // drawn into every frame
// The display's 5-6-5 channel masks, fixed for the whole run.
extern std::uint32_t redMask, greenMask, blueMask;

// Creates the 800 x 600 front and back surfaces and opens the display; false when there is none.
bool initVideo();
// A new off-screen surface cleared to black (black is the colour key of keyed copies).
Surface createSurface(int width, int height);
// Replaces the surface with the BMP file scaled to its size; a missing or unreadable file leaves it black.
void loadBitmap(Surface& surface, const char* fileName);
// The same from BMP bytes in memory; false (surface unchanged) when they are no readable bitmap.
bool loadBitmapFromMemory(Surface& surface, const void* bytes, std::size_t size);
// The pixel value of (r, g, b) by the display's masks, computed in double precision and truncated.
std::uint32_t packColor(int r, int g, int b);
int fillRect(int left, int top, int right, int bottom, std::uint32_t color, Surface& target);
// A frame of the given thickness around the outside of the rectangle, on the back surface.
int frameRect(int left, int top, int right, int bottom, int thickness, std::uint32_t color);
int clearSurface(Surface& target, std::uint32_t color);
// Copies the source area (the whole source when sourceRect is null) stretched to destRect;
// keyed copies leave the destination unchanged where the source pixel is 0.
BlitResult blitSprite(Surface& dest, const Rect& destRect, const Surface& source, const Rect* sourceRect,
                      bool keyed);
// Swaps front and back and shows the front surface.
void presentFrame(bool wait);
// Copies the rectangle of the back surface onto the front surface and shows it.
BlitResult presentRect(const Rect& rect);
// Shows the front surface as it is now; the row flash draws straight onto it.
void showFrontSurface();
// Counts every picture shown and every restore of the surfaces: unchanged, the screen shows what the
// caller last showed.
std::uint64_t screenChanges();
bool surfaceLost(const Surface& surface);
// Marks every surface lost when the backend reported a display loss since the last check.
void checkDisplayLoss();
void restoreSurface(Surface& surface, const char* fileName);
// Restores every surface after a display loss, reloads the bitmaps and puts the cursor at (50, 50).
void restoreAllSurfaces();
// Holds the main loop to 60 passes a second on any display, without spinning.
void waitForNextFrame();

} // namespace crossfall
