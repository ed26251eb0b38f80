// Bitmaps: loading any depth the decoder reads, scaled to the surface; bad files leaving the surface
// as it was; reloading after a display loss; and the shipped art, rendered once into a file to look at.
#include "platform/bitmaps.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/text.h"

using namespace crossfall;

namespace {

struct Rgb {
    int r, g, b;
};

void put16(std::string& out, int v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, std::int64_t v) {
    put16(out, static_cast<int>(v & 0xFFFF));
    put16(out, static_cast<int>((v >> 16) & 0xFFFF));
}

// A BMP of 8 (palette of the pixels' colours), 24 or 32 bits; negative height stores rows top-down.
std::string bmp(int width, int height, const std::vector<Rgb>& pixels, int bits = 24) {
    int rows = height < 0 ? -height : height;
    int rowBytes = ((width * bits / 8) + 3) & ~3;
    int paletteBytes = bits == 8 ? 256 * 4 : 0;
    std::string out = "BM";
    put32(out, 54 + paletteBytes + rowBytes * rows);
    put32(out, 0);
    put32(out, 54 + paletteBytes);
    put32(out, 40);
    put32(out, width);
    put32(out, height);
    put16(out, 1);
    put16(out, bits);
    for (int i = 0; i < 6; ++i) put32(out, i == 1 ? rowBytes * rows : 0);
    if (bits == 8)
        for (int i = 0; i < 256; ++i) {
            Rgb c = i < static_cast<int>(pixels.size()) ? pixels[static_cast<std::size_t>(i)] : Rgb{0, 0, 0};
            out += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r), 0};
        }
    for (int stored = 0; stored < rows; ++stored) {
        int y = height < 0 ? stored : rows - 1 - stored;
        std::string row;
        for (int x = 0; x < width; ++x) {
            int index = y * width + x;
            const Rgb& c = pixels[static_cast<std::size_t>(index)];
            if (bits == 8) {
                row += static_cast<char>(index);
                continue;
            }
            row += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r)};
            if (bits == 32) row += '\xFF';
        }
        row.resize(static_cast<std::size_t>(rowBytes), '\0');
        out += row;
    }
    return out;
}

void writeFile(const char* name, const std::string& bytes) {
    std::FILE* f = std::fopen(name, "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::uint16_t at(const Surface& s, int x, int y) { return s.pixels[static_cast<std::size_t>(y * s.width + x)]; }

const std::vector<Rgb> QUAD = {{255, 0, 0}, {0, 0, 255}, {255, 255, 255}, {0, 255, 0}};

// The surface as a 24-bit BMP a person can open.
void saveSurface(const Surface& s, const std::string& path) {
    std::vector<Rgb> pixels;
    for (std::uint16_t p : s.pixels)
        pixels.push_back({(p >> 11) * 255 / 31, ((p >> 5) & 0x3F) * 255 / 63, (p & 0x1F) * 255 / 31});
    writeFile(path.c_str(), bmp(s.width, s.height, pixels));
}

} // namespace

TEST(LoadBitmap, ReadsEveryDepthTruncatedToFiveSixFive) {
    for (int bits : {8, 24, 32}) {
        for (int height : {2, -2}) {
            Surface s = createSurface(2, 2);
            ASSERT_TRUE(loadBitmapFromMemory(s, bmp(2, height, QUAD, bits).data(), bmp(2, height, QUAD, bits).size()))
                << bits << " bits";
            EXPECT_EQ(at(s, 0, 0), 0xF800) << bits << " bits, height " << height;
            EXPECT_EQ(at(s, 1, 0), 0x001F);
            EXPECT_EQ(at(s, 0, 1), 0xFFFF);
            EXPECT_EQ(at(s, 1, 1), 0x07E0);
        }
    }
    // A colour too dark for 5-6-5 becomes 0, transparent like black.
    Surface s = createSurface(1, 1);
    std::string dark = bmp(1, 1, {{7, 3, 7}});
    ASSERT_TRUE(loadBitmapFromMemory(s, dark.data(), dark.size()));
    EXPECT_EQ(at(s, 0, 0), 0);
}

TEST(LoadBitmap, ScalesAFileOfAnotherSizeToTheSurface) {
    writeFile("quad.bmp", bmp(2, 2, QUAD));
    Surface big = createSurface(6, 4);
    loadBitmap(big, "quad.bmp");
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(at(big, x, y), at(big, x < 3 ? 0 : 5, y < 2 ? 0 : 3)) << x << "," << y;
    EXPECT_EQ(at(big, 0, 0), 0xF800);
    EXPECT_EQ(at(big, 5, 3), 0x07E0);

    std::vector<Rgb> stripes;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) stripes.push_back(x < 4 ? Rgb{255, 0, 0} : Rgb{0, 0, 255});
    writeFile("stripes.bmp", bmp(8, 8, stripes));
    Surface small = createSurface(2, 1);
    loadBitmap(small, "stripes.bmp");
    EXPECT_EQ(at(small, 0, 0), 0xF800);
    EXPECT_EQ(at(small, 1, 0), 0x001F);
}

TEST(LoadBitmap, BadFilesLeaveTheSurfaceAsItWas) {
    std::string good = bmp(4, 4, std::vector<Rgb>(16, {255, 255, 255}));
    std::string huge = good;
    huge[18] = '\x00';
    huge[19] = '\x00';
    huge[20] = '\x01'; // 65536 x 65536 claimed by a tiny file
    huge[22] = '\x00';
    huge[23] = '\x00';
    huge[24] = '\x01';
    std::string wrongDepth = good;
    wrongDepth[28] = 13;
    writeFile("empty.bmp", "");
    writeFile("garbage.bmp", "this is not a picture at all, just words and more words");
    writeFile("truncated.bmp", good.substr(0, good.size() - 20));
    writeFile("header.bmp", good.substr(0, 30));
    writeFile("huge.bmp", huge);
    writeFile("depth.bmp", wrongDepth);
    for (const char* name : {"missing.bmp", "empty.bmp", "garbage.bmp", "truncated.bmp", "header.bmp", "huge.bmp",
                             "depth.bmp", "."}) {
        Surface s = createSurface(4, 4);
        clearSurface(s, 0x1234);
        loadBitmap(s, name);
        EXPECT_EQ(std::count(s.pixels.begin(), s.pixels.end(), 0x1234), 16) << name;
    }
    Surface fresh = createSurface(4, 4);
    loadBitmap(fresh, "missing.bmp");
    EXPECT_EQ(std::count(fresh.pixels.begin(), fresh.pixels.end(), 0), 16) << "a missing file leaves it black";
    Surface none = createSurface(0, 0);
    EXPECT_FALSE(loadBitmapFromMemory(none, good.data(), good.size()));
}

TEST(Bitmaps, LostBitmapsAreReloadedFromTheirFilesInTheRestore) {
    null_backend::reset();
    initVideo();
    writeFile("redBox.bmp", bmp(1, 1, {{255, 0, 0}}));
    writeFile("mouse.bmp", bmp(1, 1, {{0, 0, 255}}));
    createAndLoadBitmaps();
    EXPECT_EQ(at(blockSprite(2), 15, 15), 0xF800);
    EXPECT_EQ(at(blockSprite(1), 0, 0), 0) << "no green file: black";
    EXPECT_EQ(&blockSprite(0), &blockSprite(1)) << "a code without a sprite reads the first one";
    EXPECT_EQ(comboLabelSurface.width, 48);
    EXPECT_EQ(comboLabelSurface.height, 16);

    clearSurface(blockSprite(2), 0x1111);
    clearSurface(bitmap(Bitmap::Mouse), 0x2222);
    clearSurface(comboLabelSurface, 0x3333);
    bitmap(Bitmap::RedBox).lost = true;
    comboLabelSurface.lost = true;
    mouseX = 700;
    restoreAllSurfaces();
    EXPECT_EQ(at(blockSprite(2), 3, 3), 0xF800) << "reloaded";
    EXPECT_EQ(at(bitmap(Bitmap::Mouse), 3, 3), 0x2222) << "not lost, not reloaded";
    EXPECT_EQ(at(comboLabelSurface, 3, 3), 0x3333) << "no file: restored, not rebuilt";
    EXPECT_FALSE(bitmap(Bitmap::RedBox).lost);
    EXPECT_EQ(mouseX, 50);
}

TEST(Bitmaps, ShippedArtLoadsWholeAndRendersAMenuFrame) {
    null_backend::reset();
    initVideo();
    for (const BitmapFile& file : bitmapFiles)
        std::filesystem::copy_file(std::string(CROSSFALL_SOURCE_DIR "/data/") + file.fileName, file.fileName);
    createAndLoadBitmaps();
    for (int i = 0; i < BITMAP_COUNT; ++i) {
        const Surface& s = bitmap(static_cast<Bitmap>(i));
        auto transparent = std::count(s.pixels.begin(), s.pixels.end(), 0);
        bool cutOut = i == static_cast<int>(Bitmap::Mouse) || i == static_cast<int>(Bitmap::MainLogo);
        if (cutOut) {
            EXPECT_GT(transparent, 0) << bitmapFiles[i].fileName;
            EXPECT_LT(transparent, static_cast<long>(s.pixels.size())) << bitmapFiles[i].fileName;
        } else {
            EXPECT_EQ(transparent, 0) << bitmapFiles[i].fileName << " has pixels that keyed copies would drop";
        }
    }
    EXPECT_NE(at(bitmap(Bitmap::Mouse), 0, 0), 0) << "the hot spot is a visible pixel";
    // The flash steps rise in brightness to white.
    const Surface& flash = bitmap(Bitmap::AnimRow);
    for (int k = 1; k < 6; ++k) EXPECT_GT(at(flash, 80, 16 * k + 8) & 0x1F, 0) << k;
    EXPECT_EQ(at(flash, 80, 16 * 5 + 8), 0xFFFF);

    // A menu-like frame with text, the way the screens compose it.
    ASSERT_TRUE(createFont());
    clearSurface(backSurface, 0);
    blitSprite(backSurface, Rect{0, 0, 800, 600}, bitmap(Bitmap::Bg1), nullptr, true);
    blitSprite(backSurface, Rect{32, 10, 768, 90}, bitmap(Bitmap::MainLogo), nullptr, true);
    blitSprite(backSurface, Rect{100, 100, 300, 500}, bitmap(Bitmap::MenuLeft), nullptr, false);
    blitSprite(backSurface, Rect{400, 100, 720, 500}, bitmap(Bitmap::MenuRight), nullptr, false);
    const char* entries[] = {"Classic Mode", "Cross-fall", "Duofall", "Time Attack", "Controls/Options", "Exit"};
    for (int i = 0; i < 6; ++i) drawTextCentered(entries[i], 200, 130 + 40 * i, rgb(255, 255, 255), backSurface);
    drawText("Rows flash, combos chain: \xE9t\xE9 \x80 5", 420, 120, rgb(255, 200, 64), backSurface);
    for (int i = 0; i < 7; ++i)
        blitSprite(backSurface, Rect{420 + 16 * i, 460, 436 + 16 * i, 476}, blockSprite(i + 1), nullptr, true);
    blitSprite(backSurface, Rect{220, 140, 236, 156}, bitmap(Bitmap::Mouse), nullptr, true);
    presentFrame(true);
    EXPECT_EQ(null_backend::picturesShown(), 1);
    std::string path = (std::filesystem::temp_directory_path() / "crossfall-menu-frame.bmp").string();
    saveSurface(frontSurface, path);
    std::printf("menu frame written to %s\n", path.c_str());
    EXPECT_TRUE(std::filesystem::exists(path));
}
