// Text in the game's one face: glyphs rasterised once into coverage masks, blended in the text's
// colour into a 16-bit surface, advancing by the measured widths. Text is the one drawing that clips.
#include "platform/text.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"

namespace crossfall {

std::int32_t charWidths[250];

namespace {

constexpr int FONT_PIXEL_SIZE = 13;

// A glyph's inked box relative to the cell's top-left, and where its coverage bytes start.
struct Glyph {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t advance = 0;
    std::size_t offset = 0;
};

// Filled once per run by createFont.
struct Face {
    bool ready = false;
    Glyph glyphs[256];
    std::vector<std::uint8_t> coverage;
};

Face face;

// Windows-1252 bytes 0x80..0x9F; the five unassigned ones keep their own code.
constexpr std::uint16_t WINDOWS_1252_HIGH[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The file of fontconfig's match for the face, and its face index there when it names one.
std::string findFontFile(int& index) {
    std::string path;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Verdana:bold"));
    if (pattern == nullptr) return path;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* file = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        path = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
    }
    if (match != nullptr) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    // The face is looked up once per run; fontconfig's caches are not needed after.
    FcFini();
    return path;
}

// Keeps only the inked part of one rendered glyph, its alpha as coverage.
void keepGlyph(Glyph& glyph, const SDL_Surface& image, int penX) {
    const auto* pixels = static_cast<const std::uint8_t*>(image.pixels);
    auto alpha = [&](int x, int y) {
        return static_cast<std::uint8_t>(reinterpret_cast<const std::uint32_t*>(pixels + y * image.pitch)[x] >> 24);
    };
    int minX = image.w, minY = image.h, maxX = -1, maxY = -1;
    for (int y = 0; y < image.h; ++y)
        for (int x = 0; x < image.w; ++x)
            if (alpha(x, y) != 0) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    if (maxX < 0) return;
    glyph.left = minX - penX;
    glyph.top = minY;
    glyph.width = maxX - minX + 1;
    glyph.height = maxY - minY + 1;
    glyph.offset = face.coverage.size();
    for (int y = minY; y <= maxY; ++y)
        for (int x = minX; x <= maxX; ++x) face.coverage.push_back(alpha(x, y));
}

void rasterise(TTF_Font* font) {
    const SDL_Color white{255, 255, 255, 255};
    for (int byte = 1; byte < 256; ++byte) {
        Glyph& glyph = face.glyphs[byte];
        std::uint32_t codePoint = windows1252CodePoint(static_cast<unsigned char>(byte));
        int minX = 0, advance = 0;
        if (TTF_GlyphMetrics32(font, codePoint, &minX, nullptr, nullptr, nullptr, &advance) == 0) glyph.advance = advance;
        SDL_Surface* rendered = TTF_RenderGlyph32_Blended(font, codePoint, white);
        if (rendered == nullptr) continue;
        SDL_Surface* image = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
        SDL_FreeSurface(rendered);
        if (image == nullptr) continue;
        // The renderer shifts the pen right by a glyph's negative left bearing.
        keepGlyph(glyph, *image, minX < 0 ? -minX : 0);
        SDL_FreeSurface(image);
    }
}

std::uint16_t blendChannel(std::uint32_t under, std::uint32_t over, std::uint32_t alpha) {
    auto d = static_cast<std::int32_t>(under);
    return static_cast<std::uint16_t>(d + (((static_cast<std::int32_t>(over) - d) * static_cast<std::int32_t>(alpha)) >> 8));
}

void drawGlyph(const Glyph& glyph, std::int64_t penX, std::int64_t y, std::uint32_t r5, std::uint32_t g6,
               std::uint32_t b5, Surface& target) {
    const std::uint16_t solid = static_cast<std::uint16_t>(r5 << 11 | g6 << 5 | b5);
    std::int64_t left = penX + glyph.left, top = y + glyph.top;
    std::int64_t fromX = std::max<std::int64_t>(0, -left), toX = std::min<std::int64_t>(glyph.width, target.width - left);
    std::int64_t fromY = std::max<std::int64_t>(0, -top), toY = std::min<std::int64_t>(glyph.height, target.height - top);
    for (std::int64_t gy = fromY; gy < toY; ++gy) {
        const std::uint8_t* mask = face.coverage.data() + glyph.offset + gy * glyph.width;
        std::uint16_t* out = target.pixels.data() + (top + gy) * target.width + left;
        for (std::int64_t gx = fromX; gx < toX; ++gx) {
            std::uint32_t a = mask[gx];
            if (a == 0) continue;
            if (a == 255) {
                out[gx] = solid;
                continue;
            }
            a += a >> 7; // 0..256, so full coverage keeps the colour exactly
            std::uint32_t d = out[gx];
            out[gx] = static_cast<std::uint16_t>(blendChannel(d >> 11, r5, a) << 11 |
                                                 blendChannel((d >> 5) & 0x3F, g6, a) << 5 |
                                                 blendChannel(d & 0x1F, b5, a));
        }
    }
}

void drawAt(const char* text, std::int64_t x, int y, ColorRef color, Surface& target) {
    if (!face.ready) return;
    std::uint32_t r5 = (color & 0xFF) >> 3, g6 = ((color >> 8) & 0xFF) >> 2, b5 = ((color >> 16) & 0xFF) >> 3;
    for (const auto* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        const Glyph& glyph = face.glyphs[*p];
        if (glyph.width > 0) drawGlyph(glyph, x, y, r5, g6, b5, target);
        x += glyph.advance;
    }
}

} // namespace

std::uint32_t windows1252CodePoint(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? WINDOWS_1252_HIGH[byte - 0x80] : byte;
}

bool createFontFromFile(const char* path, int index) {
    face = Face{};
    if (TTF_Init() != 0) return false;
    TTF_Font* font = path != nullptr && *path != 0 ? TTF_OpenFontIndex(path, FONT_PIXEL_SIZE, index) : nullptr;
    if (font != nullptr) {
        rasterise(font);
        TTF_CloseFont(font);
        face.ready = true;
    }
    TTF_Quit();
    for (int c = 0; c < 250; ++c) charWidths[c] = face.glyphs[c].advance;
    return face.ready;
}

bool createFont() {
    int index = 0;
    std::string path = findFontFile(index);
    if (createFontFromFile(path.c_str(), index)) return true;
    static bool told = false; // once per run
    if (!std::exchange(told, true))
        std::fprintf(stderr, "crossfall: no usable font found (looked for \"Verdana:bold\"); text will be invisible\n");
    return false;
}

void drawText(const char* text, int x, int y, ColorRef color, Surface& target) {
    checkDisplayLoss();
    if (target.lost) {
        restoreAllSurfaces();
        return;
    }
    drawAt(text, x, y, color, target);
}

void drawTextCentered(const char* text, int x, int y, ColorRef color, Surface& target) {
    checkDisplayLoss();
    if (target.lost) return;
    drawAt(text, static_cast<std::int64_t>(x) - textWidth(text) / 2, y, color, target);
}

void drawTextRight(const char* text, int x, int y, ColorRef color, Surface& target) {
    checkDisplayLoss();
    if (target.lost) return;
    drawAt(text, static_cast<std::int64_t>(x) - textWidth(text), y, color, target);
}

int textWidth(const char* text) {
    int total = 0;
    for (const auto* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        if (*p < 250)
            total += charWidths[*p];
        else
            appendLine("debug.txt", std::to_string(*p));
    }
    return total;
}

void measureCharWidths(Surface&) {
    std::string records;
    for (int c = 0; c < 250; ++c) {
        records += std::to_string(charWidths[c]);
        records += "--";
        records += static_cast<char>(c);
        records += '\n';
    }
    saveTextFile("allLengths.txt", records);
}

} // namespace crossfall
