// Drawing: colour packing, unclipped fills and frames, keyed and stretching copies, bitmap loading
// and its bad files, presenting, display loss, and text (widths, alignment, clipping, no font).
#include "platform/video.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/bitmaps.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/text.h"

using namespace crossfall;
using namespace std::string_literals;

namespace {

struct Rgb { int r, g, b; };

// An uncompressed 24-bit BMP, rows stored bottom-up.
std::string bmp(int width, int height, const std::vector<Rgb>& pixels) {
    int pad = (4 - width * 3 % 4) % 4, size = (width * 3 + pad) * height;
    std::string out = "BM";
    auto put = [&](std::int64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put(54 + size, 4), put(0, 4), put(54, 4), put(40, 4), put(width, 4), put(height, 4);
    put(1, 2), put(24, 2), put(0, 4), put(size, 4);
    out.append(16, '\0');
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgb& c = pixels[static_cast<std::size_t>(y * width + x)];
            out += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r)};
        }
        out.append(static_cast<std::size_t>(pad), '\0');
    }
    return out;
}

void writeFile(const char* name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }
std::uint16_t at(const Surface& s, int x, int y) { return s.pixels[static_cast<std::size_t>(y * s.width + x)]; }
long count(const Surface& s, std::uint16_t value) { return std::count(s.pixels.begin(), s.pixels.end(), value); }
long inked(const Surface& s) { return static_cast<long>(s.pixels.size()) - count(s, 0); }
std::string file(const char* name) { return readFile(name, 1 << 20).value_or("missing"); }

// A surface whose every pixel tells where it is (never 0, so keyed copies keep it).
Surface numbered(int w, int h) {
    Surface s = createSurface(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.pixels[static_cast<std::size_t>(y * w + x)] = static_cast<std::uint16_t>(1 + y * 256 + x);
    return s;
}

struct Video : testing::Test {
    void SetUp() override {
        null_backend::reset();
        ASSERT_TRUE(initVideo());
        createAndLoadBitmaps();
    }
};

struct Text : testing::Test {
    void SetUp() override {
        null_backend::reset();
        ASSERT_TRUE(createFont()) << "the test machine needs fontconfig and a bold sans face";
    }
    Surface surface = createSurface(200, 40);
};

} // namespace

// ---- Bitmaps ----

TEST(LoadBitmap, ReadsFiveSixFiveTruncatedAndScaledByPixelCentres) {
    // A colour too dark for 5-6-5 becomes 0, transparent like black.
    writeFile("stripes.bmp", bmp(4, 1, {{7, 3, 7}, {255, 0, 0}, {0, 0, 255}, {0, 255, 0}}));
    Surface small = createSurface(2, 1), big = createSurface(8, 1);
    loadBitmap(small, "stripes.bmp");
    loadBitmap(big, "stripes.bmp");
    EXPECT_EQ(small.pixels, (std::vector<std::uint16_t>{0xF800, 0x07E0}));
    EXPECT_EQ(big.pixels, (std::vector<std::uint16_t>{0, 0, 0xF800, 0xF800, 0x1F, 0x1F, 0x7E0, 0x7E0}));
}

TEST(LoadBitmap, BadFilesLeaveTheSurfaceAsItWas) {
    const std::string good = bmp(4, 4, std::vector<Rgb>(16, {255, 255, 255}));
    std::string huge = good;
    huge.replace(18, 8, "\0\0\1\0\0\0\1\0"s); // 65536 x 65536 claimed by a tiny file
    const std::pair<const char*, std::string> files[] = {
        {"empty.bmp", ""}, {"garbage.bmp", "this is not a picture at all, just words and more words"},
        {"truncated.bmp", good.substr(0, good.size() - 20)}, {"header.bmp", good.substr(0, 30)}, {"huge.bmp", huge}};
    auto expectUnchanged = [](const char* name) {
        Surface s = createSurface(4, 4);
        clearSurface(s, 0x1234);
        loadBitmap(s, name);
        EXPECT_EQ(count(s, 0x1234), 16) << name;
    };
    for (const auto& [name, bytes] : files) writeFile(name, bytes), expectUnchanged(name);
    expectUnchanged("missing.bmp");
    expectUnchanged(".");
}

// ---- Drawing ----

TEST(PackColor, FollowsTheDoublePrecisionRuleOnFiveSixFive) {
    const int cases[][4] = {{0, 0, 0, 0},        {255, 255, 255, 0xFFFF}, {255, 0, 0, 0xF800}, {0, 0, 255, 0x001F},
                            {128, 128, 128, 0x8080}, {170, 170, 170, 0xAAA9}, {255, 128, 0, 0xFBF3}};
    for (const auto& c : cases) EXPECT_EQ(packColor(c[0], c[1], c[2]), static_cast<std::uint32_t>(c[3])) << c[0];
}

TEST_F(Video, FillsAndFramesDrawExactlyAndNothingReachingOutside) {
    fillRect(10, 20, 13, 24, 0x1234, backSurface);
    EXPECT_EQ(count(backSurface, 0x1234), 3 * 4);
    EXPECT_EQ(at(backSurface, 12, 23), 0x1234);
    // Empty, inverted or one pixel outside: nothing at all, not a clipped part.
    const int bad[][4] = {{5, 5, 5, 9},      {9, 5, 5, 9},      {-1, 0, 10, 10},      {0, -1, 10, 10},
                          {790, 0, 801, 10}, {0, 590, 10, 601}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                          {INT_MAX, 0, INT_MIN, 10}, {0, INT_MAX - 1, 10, INT_MAX}};
    for (const auto& r : bad) {
        fillRect(r[0], r[1], r[2], r[3], 0x5555, backSurface);
        frameRect(r[0], r[1], r[2], r[3], INT_MAX, 0x5555);
    }
    EXPECT_EQ(count(backSurface, 0x5555), 0);

    frameRect(100, 50, 140, 60, 3, 0xFFFF);
    EXPECT_EQ(count(backSurface, 0xFFFF), 2 * 3 * (40 + 10) + 4 * 3 * 3);
    EXPECT_EQ(at(backSurface, 97, 47), 0xFFFF);
    EXPECT_EQ(at(backSurface, 142, 62), 0xFFFF);
    EXPECT_EQ(at(backSurface, 100, 50), 0) << "the inside stays untouched";
    // A bar that would leave the screen is dropped on its own; the others are still drawn.
    frameRect(0, 10, 20, 30, 2, 0x6666);
    EXPECT_EQ(count(backSurface, 0x6666), 40 + 48 + 40);
}

TEST_F(Video, CopiesAreKeyedOnBlackScaledByPixelCentresAndFailOutside) {
    Surface sprite = createSurface(4, 4);
    fillRect(0, 0, 4, 2, 0xABCD, sprite);
    clearSurface(backSurface, 0x1111);
    EXPECT_EQ(blitSprite(backSurface, Rect{8, 8, 12, 12}, sprite, nullptr, true), BlitResult::Done);
    EXPECT_TRUE(count(backSurface, 0xABCD) == 8 && at(backSurface, 8, 10) == 0x1111);
    blitSprite(backSurface, Rect{8, 8, 16, 16}, sprite, nullptr, true);
    EXPECT_EQ(at(backSurface, 8, 12), 0x1111) << "stretched copies are keyed too";
    blitSprite(backSurface, Rect{8, 8, 12, 12}, sprite, nullptr, false);
    EXPECT_EQ(at(backSurface, 8, 10), 0);

    // Shrinking 8 x 8 to 2 x 4 takes columns 2 and 6, rows 1, 3, 5 and 7; a source area picks its part.
    Surface source = numbered(8, 8);
    Rect part{3, 4, 6, 6};
    blitSprite(backSurface, Rect{100, 100, 102, 104}, source, nullptr, false);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(at(backSurface, 100 + x, 100 + y), at(source, 2 + 4 * x, 1 + 2 * y));
    EXPECT_EQ(blitSprite(backSurface, Rect{20, 30, 23, 32}, source, &part, false), BlitResult::Done);
    EXPECT_TRUE(at(backSurface, 20, 30) == at(source, 3, 4) && at(backSurface, 22, 31) == at(source, 5, 5));
    long unchanged = count(backSurface, 0x1111);
    for (const Rect& r : {Rect{5, 5, 9, 8}, Rect{5, 5, 5, 8}, Rect{-1, 0, 5, 3}})
        EXPECT_EQ(blitSprite(backSurface, Rect{0, 0, 6, 3}, source, &r, false), BlitResult::Failed);
    EXPECT_EQ(blitSprite(backSurface, Rect{795, 0, 805, 10}, source, nullptr, false), BlitResult::Failed);
    EXPECT_EQ(count(backSurface, 0x1111), unchanged);

    // Within one surface, overlapping areas copy from the picture as it was.
    Surface column = numbered(1, 4);
    Rect top{0, 0, 1, 3};
    EXPECT_EQ(blitSprite(column, Rect{0, 1, 1, 4}, column, &top, false), BlitResult::Done);
    EXPECT_EQ(column.pixels, (std::vector<std::uint16_t>{1, 1, 257, 513}));
}

// ---- Presenting and display loss ----

TEST_F(Video, PresentingShowsTheFrontSurface) {
    clearSurface(backSurface, 0x00FF);
    presentFrame(true);
    EXPECT_EQ(null_backend::lastPicture()[0], 0x00FF);
    clearSurface(backSurface, 0x2222);
    EXPECT_EQ(presentRect(Rect{400, 100, 705, 493}), BlitResult::Done);
    EXPECT_EQ(count(frontSurface, 0x2222), 305 * 393);
    EXPECT_EQ(null_backend::lastPicture()[100 * 800 + 704], 0x2222);
    EXPECT_EQ(presentRect(Rect{0, 0, 801, 600}), BlitResult::Failed);
    EXPECT_EQ(null_backend::picturesShown(), 2);

    frontSurface = backSurface = Surface{};
    showFrontSurface();
    presentFrame(true);
    EXPECT_EQ(null_backend::picturesShown(), 2) << "nothing is shown before the display exists";
}

TEST_F(Video, DisplayLossReloadsLostBitmapsAndPutsTheCursorAt50) {
    writeFile("redBox.bmp", bmp(1, 1, {{255, 0, 0}}));
    createAndLoadBitmaps();
    EXPECT_EQ(&blockSprite(8), &blockSprite(1)) << "a code without a sprite reads the first one";
    clearSurface(blockSprite(2), 0x1111);
    clearSurface(comboLabelSurface, 0x3333);
    mouseX = 300;
    null_backend::loseDisplay();
    EXPECT_TRUE(surfaceLost(backSurface) && bitmap(Bitmap::Mouse).lost && comboLabelSurface.lost);
    EXPECT_EQ(blitSprite(backSurface, Rect{0, 0, 2, 2}, comboLabelSurface, nullptr, true), BlitResult::SurfaceLost);

    // The fill that finds the loss restores everything and is itself skipped.
    fillRect(0, 0, 10, 10, 0x4444, backSurface);
    EXPECT_EQ(count(backSurface, 0x4444), 0);
    EXPECT_FALSE(surfaceLost(backSurface) || bitmap(Bitmap::Mouse).lost || comboLabelSurface.lost);
    EXPECT_EQ(count(blockSprite(2), 0xF800), 16 * 16) << "reloaded from its file";
    EXPECT_EQ(at(comboLabelSurface, 3, 3), 0x3333) << "no file: restored, not rebuilt";
    EXPECT_TRUE(mouseX == 50 && mouseY == 50);
    fillRect(0, 0, 10, 10, 0x4444, backSurface);
    EXPECT_EQ(count(backSurface, 0x4444), 100);
}

// ---- Text ----

TEST_F(Text, WidthTableFileHasOneRecordPerCodeWithCrLf) {
    measureCharWidths(surface);
    measureCharWidths(surface);
    std::string expected;
    for (int c = 0; c < 250; ++c)
        expected += std::to_string(charWidths[c]) + "--" + (c == '\n' ? "\r\n"s : std::string(1, static_cast<char>(c))) + "\r\n";
    EXPECT_EQ(file("allLengths.txt"), expected) << "rewritten, not appended";
    EXPECT_GT(charWidths['W'], charWidths['i']);
}

TEST_F(Text, BytesBeyondTheTableCountNothingAndAreLoggedEachMeasurement) {
    EXPECT_EQ(textWidth("a\xFA" "b\xFF"), charWidths['a'] + charWidths['b']);
    drawText("x\xFB", 10, 10, 0xFFFFFF, surface);
    EXPECT_EQ(file("debug.txt"), "250\r\n255\r\n") << "left-aligned text is never measured";
    drawTextCentered("x\xFB", 100, 10, 0xFFFFFF, surface);
    drawTextRight("x\xFB", 100, 10, 0xFFFFFF, surface);
    EXPECT_EQ(file("debug.txt"), "250\r\n255\r\n251\r\n251\r\n");
}

TEST_F(Text, DrawnTextStaysInItsBoxAndTakesTheColour) {
    drawText("Hello 42", 20, 5, rgb(255, 0, 0), surface);
    for (int y = 0; y < surface.height; ++y)
        for (int x = 0; x < surface.width; ++x)
            if (std::uint16_t p = surface.pixels[static_cast<std::size_t>(y * surface.width + x)]; p != 0) {
                EXPECT_EQ(p & 0x07FF, 0) << "blending red over black never adds green or blue";
                EXPECT_TRUE(x >= 20 && x <= 20 + textWidth("Hello 42") && y >= 5 && y < 5 + 16) << x << "," << y;
            }
    EXPECT_GT(std::count(surface.pixels.begin(), surface.pixels.end(), 0xF800), 10) << "solid strokes are the colour";
    drawText("Hello 42", 20, 5, 0xFF0000, surface);
    EXPECT_GT(std::count(surface.pixels.begin(), surface.pixels.end(), 0x001F), 10) << "0xFF0000 is blue";
}

TEST_F(Text, AlignmentSubtractsTheWidthOrHalfOfItRoundedDown) {
    const std::int32_t saved = std::exchange(charWidths['!'], 5);
    Surface centred = surface, right = surface;
    drawTextCentered("!", 100, 10, 0xFFFFFF, centred);
    drawTextRight("!", 100, 10, 0xFFFFFF, right);
    drawText("!", 98, 10, 0xFFFFFF, surface);
    ASSERT_GT(inked(surface), 0);
    EXPECT_EQ(centred.pixels, surface.pixels);
    surface = createSurface(200, 40);
    drawText("!", 95, 10, 0xFFFFFF, surface);
    EXPECT_EQ(right.pixels, surface.pixels);
    charWidths['!'] = saved;
}

TEST_F(Text, TextIsClippedToTheSurface) {
    Surface small = createSurface(30, 12);
    drawText("WWWWWWWW", 20, -4, 0xFFFFFF, small);
    long leftInk = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) leftInk += at(small, x, y) != 0;
    EXPECT_TRUE(inked(small) > 0 && leftInk == 0) << "cut at the right edge, nothing wraps into the next row";
    drawText("WWWWWWWW", -7, 6, 0xFFFFFF, small);
    long ink = inked(small);
    drawTextRight("WWWW", INT_MIN, INT_MIN, 0xFFFFFF, small);
    drawTextCentered("WWWW", INT_MAX, INT_MAX, 0xFFFFFF, small);
    drawText("WWWW", INT_MAX - 3, 0, 0xFFFFFF, small);
    drawText("WWWW", 0, INT_MAX, 0xFFFFFF, small);
    EXPECT_EQ(inked(small), ink) << "text far outside draws nothing";
}

TEST_F(Text, WithoutAFontTextIsInvisibleAndWidthsAreZero) {
    EXPECT_FALSE(createFontFromFile("no-such-font.ttf", 0));
    drawText("Hello", 10, 10, 0xFFFFFF, surface);
    drawTextCentered("Hello", 100, 10, 0xFFFFFF, surface);
    EXPECT_EQ(inked(surface), 0);
    EXPECT_EQ(textWidth("Hello"), 0);
}
