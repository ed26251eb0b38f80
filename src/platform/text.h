// Text drawing in the game's one face (bold, 13-pixel em): left-aligned, centred and right-aligned,
// advancing by the width table measured once at start-up. Colours are 0x00BBGGRR references.
#pragma once

#include <cstdint>

#include "platform/video.h"

namespace crossfall {

using ColorRef = std::uint32_t;

constexpr ColorRef rgb(int r, int g, int b) {
    return static_cast<ColorRef>(r & 0xFF) | (static_cast<ColorRef>(g & 0xFF) << 8) |
           (static_cast<ColorRef>(b & 0xFF) << 16);
}

// Measured once per run by createFont: advance widths of bytes 0..249 read as Windows-1252.
// The plain text colours the screens share.
constexpr ColorRef WHITE = rgb(255, 255, 255);
constexpr ColorRef RED = rgb(255, 0, 0);
constexpr ColorRef GREEN = rgb(0, 255, 0);
constexpr ColorRef BLUE = rgb(0, 0, 255);
constexpr ColorRef YELLOW = rgb(255, 255, 0);

extern std::int32_t charWidths[250];

// The character a byte of text is drawn as: Windows-1252, whose five unassigned bytes keep their own code.
std::uint32_t windows1252CodePoint(unsigned char byte);
// Finds and opens the face and rasterises its glyphs once; false (said once on stderr) when there
// is no font: text is then invisible but everything else runs.
bool createFont();
// The same from one font file (a face index inside it); false leaves text invisible. Tests use it directly.
bool createFontFromFile(const char* path, int index);
void drawText(const char* text, int x, int y, ColorRef color, Surface& target);
// Starts at x - textWidth / 2 (toward zero).
void drawTextCentered(const char* text, int x, int y, ColorRef color, Surface& target);
// Ends at x.
void drawTextRight(const char* text, int x, int y, ColorRef color, Surface& target);
// Sum of charWidths; a byte of 250 or more adds nothing and appends its code to "debug.txt".
int textWidth(const char* text);
// Writes the width table createFont measured to "allLengths.txt".
void measureCharWidths(Surface& front);

} // namespace crossfall
