// Drawing: colour packing, unclipped fills and frames, keyed and stretching copies, bitmaps and their
// bad files, presenting, display loss, and text (width file, alignment, clipping, no font).
#include "platform/video.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "platform/bitmaps.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/text.h"
#include "support/picture.h"

using namespace crossfall;
using namespace std::string_literals;
using Pixels = std::vector<std::uint16_t>;

namespace {

// An uncompressed 24-bit BMP from 0xRRGGBB pixels, rows stored bottom-up; widths of 4 need no row padding.
std::string bmp(int width, int height, const std::vector<std::uint32_t>& pixels) {
    int size = width * 3 * height;
    std::string out = "BM";
    auto put = [&](std::int64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    for (auto [v, bytes] : {std::pair{54 + size, 4}, {0, 4}, {54, 4}, {40, 4}, {width, 4}, {height, 4}, {1, 2},
                            {24, 2}, {0, 4}, {size, 4}, {0, 4}, {0, 4}, {0, 4}, {0, 4}})
        put(v, bytes);
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x) put(pixels[static_cast<std::size_t>(y * width + x)], 3);
    return out;
}

void writeFile(const char* name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }
std::uint16_t at(const Surface& s, int x, int y) { return s.pixels[static_cast<std::size_t>(y * s.width + x)]; }
long count(const Surface& s, std::uint16_t value) { return std::count(s.pixels.begin(), s.pixels.end(), value); }
long inked(const Surface& s) { return static_cast<long>(s.pixels.size()) - count(s, 0); }

struct Video : testing::Test {
    void SetUp() override {
        null_backend::reset();
        ASSERT_TRUE(initVideo());
        createAndLoadBitmaps();
    }
};

struct Text : testing::Test {
    void SetUp() override { ASSERT_TRUE(createFont()) << "the test machine needs fontconfig and a bold sans face"; }
    Surface surface = createSurface(200, 40);
};

} // namespace

TEST(LoadBitmap, ReadsFiveSixFiveTruncatedScaledByPixelCentresAndBadFilesChangeNothing) {
    // A colour too dark for 5-6-5 becomes 0, transparent like black.
    writeFile("stripes.bmp", bmp(4, 1, {0x070307, 0xFF0000, 0x0000FF, 0x00FF00}));
    Surface small = createSurface(2, 1), big = createSurface(8, 1);
    loadBitmap(small, "stripes.bmp");
    loadBitmap(big, "stripes.bmp");
    EXPECT_EQ(small.pixels, (Pixels{0xF800, 0x07E0}));
    EXPECT_EQ(big.pixels, (Pixels{0, 0, 0xF800, 0xF800, 0x1F, 0x1F, 0x7E0, 0x7E0}));

    const std::string good = bmp(4, 4, std::vector<std::uint32_t>(16, 0xFFFFFF));
    std::string huge = good;
    huge.replace(18, 8, "\0\0\1\0\0\0\1\0"s); // 65536 x 65536 claimed by a tiny file
    for (const auto& [name, bytes] : {std::pair{"empty.bmp", ""s}, {"words.bmp", "not a picture, just words"s},
                                      {"truncated.bmp", good.substr(0, good.size() - 20)}, {"huge.bmp", huge},
                                      {".", ""s}, {"no/such.bmp", ""s}}) {
        writeFile(name, bytes); // a folder and a file in no folder stay unwritten
        Surface s = createSurface(4, 4);
        clearSurface(s, 0x1234);
        loadBitmap(s, name);
        EXPECT_EQ(count(s, 0x1234), 16) << name;
    }
}

TEST(PackColor, FollowsTheDoublePrecisionRuleOnFiveSixFive) {
    const int cases[][4] = {{255, 255, 255, 0xFFFF}, {170, 170, 170, 0xAAA9}, {255, 128, 0, 0xFBF3}};
    for (const auto& c : cases) EXPECT_EQ(packColor(c[0], c[1], c[2]), static_cast<std::uint32_t>(c[3])) << c[0];
}

TEST_F(Video, FillsAndFramesDrawExactlyAndNothingReachingOutside) {
    fillRect(10, 20, 13, 24, 0x1234, backSurface);
    EXPECT_TRUE(count(backSurface, 0x1234) == 3 * 4 && at(backSurface, 12, 23) == 0x1234);
    // Empty, inverted or one pixel outside: nothing at all, not a clipped part.
    const int bad[][4] = {{5, 5, 5, 9},      {9, 5, 5, 9},      {-1, 0, 10, 10}, {790, 0, 801, 10}, {0, 590, 10, 601},
                          {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MAX, 0, INT_MIN, 10}, {0, INT_MAX - 1, 10, INT_MAX}};
    for (const auto& r : bad) {
        fillRect(r[0], r[1], r[2], r[3], 0x5555, backSurface);
        frameRect(r[0], r[1], r[2], r[3], INT_MAX, 0x5555);
    }
    EXPECT_EQ(count(backSurface, 0x5555), 0);

    frameRect(100, 50, 140, 60, 3, 0xFFFF);
    EXPECT_EQ(count(backSurface, 0xFFFF), 2 * 3 * (40 + 10) + 4 * 3 * 3);
    EXPECT_TRUE(at(backSurface, 97, 47) == 0xFFFF && at(backSurface, 142, 62) == 0xFFFF) << "around the outside";
    // A bar that would leave the screen is dropped on its own; the others are still drawn.
    frameRect(0, 10, 20, 30, 2, 0x6666);
    EXPECT_EQ(count(backSurface, 0x6666), 40 + 48 + 40);
}

TEST_F(Video, CopiesAreKeyedOnBlackScaledByPixelCentresAndFailOutside) {
    Surface sprite = createSurface(4, 4);
    fillRect(0, 0, 4, 2, 0xABCD, sprite);
    clearSurface(backSurface, 0x1111);
    EXPECT_EQ(blitSprite(backSurface, Rect{8, 8, 16, 16}, sprite, nullptr, true), BlitResult::Done);
    EXPECT_TRUE(count(backSurface, 0xABCD) == 32 && at(backSurface, 8, 12) == 0x1111);

    // A source area picks its part; one reaching outside either surface copies nothing.
    Surface source = createSurface(8, 8);
    std::iota(source.pixels.begin(), source.pixels.end(), 1); // every pixel tells where it is
    const Rect part{3, 4, 6, 6}, top{0, 0, 1, 3};
    EXPECT_EQ(blitSprite(backSurface, Rect{20, 30, 23, 32}, source, &part, false), BlitResult::Done);
    EXPECT_TRUE(at(backSurface, 20, 30) == at(source, 3, 4) && at(backSurface, 22, 31) == at(source, 5, 5));
    long unchanged = count(backSurface, 0x1111);
    for (const Rect& r : {Rect{5, 5, 9, 8}, Rect{5, 5, 5, 8}, Rect{-1, 0, 5, 3}})
        EXPECT_EQ(blitSprite(backSurface, Rect{0, 0, 6, 3}, source, &r, false), BlitResult::Failed);
    EXPECT_EQ(blitSprite(backSurface, Rect{795, 0, 805, 10}, source, nullptr, false), BlitResult::Failed);
    EXPECT_EQ(count(backSurface, 0x1111), unchanged);

    // Within one surface, overlapping areas copy from the picture as it was.
    Surface column = createSurface(1, 4);
    column.pixels = {1, 2, 3, 4};
    EXPECT_EQ(blitSprite(column, Rect{0, 1, 1, 4}, column, &top, false), BlitResult::Done);
    EXPECT_EQ(column.pixels, (Pixels{1, 1, 2, 3}));
}

TEST_F(Video, DisplayLossRestoresEverythingAndNothingIsShownOffScreenOrWithoutADisplay) {
    writeFile("redBox.bmp", bmp(4, 1, std::vector<std::uint32_t>(4, 0xFF0000)));
    createAndLoadBitmaps();
    EXPECT_EQ(&blockSprite(8), &blockSprite(1)) << "a code without a sprite reads the first one";
    for (int code = 1; code <= 7; ++code) EXPECT_EQ(blockSprite(code).width * blockSprite(code).height, 256);
    clearSurface(blockSprite(2), 0x1111);
    clearSurface(comboLabelSurface, 0x3333);
    null_backend::loseDisplay();
    fillRect(0, 0, 10, 10, 0x4444, backSurface);
    EXPECT_EQ(count(backSurface, 0x4444), 0) << "the fill that finds the loss restores all and is skipped";
    EXPECT_FALSE(surfaceLost(backSurface) || bitmap(Bitmap::Mouse).lost || comboLabelSurface.lost);
    EXPECT_EQ(count(blockSprite(2), 0xF800), 16 * 16) << "reloaded from its file";
    EXPECT_EQ(at(comboLabelSurface, 3, 3), 0x3333) << "no file: restored, not rebuilt";

    EXPECT_EQ(presentRect(Rect{0, 0, 801, 600}), BlitResult::Failed);
    presentFrame(true);
    frontSurface = backSurface = Surface{};
    showFrontSurface();
    presentFrame(true);
    EXPECT_EQ(null_backend::picturesShown(), 1);
}

TEST_F(Text, WidthFileHasOneCrLfRecordPerCodeAndBytesBeyondTheTableAreLogged) {
    measureCharWidths(surface);
    measureCharWidths(surface);
    std::string expected;
    for (int c = 0; c < 250; ++c)
        expected += std::to_string(charWidths[c]) + "--" + (c == '\n' ? "\r\n"s : std::string(1, static_cast<char>(c))) + "\r\n";
    EXPECT_EQ(readFile("allLengths.txt", 1 << 20), expected) << "rewritten, not appended";

    EXPECT_EQ(textWidth("a\xFA" "b\xFF"), charWidths['a'] + charWidths['b']);
    drawText("x\xFB", 10, 10, 0xFFFFFF, surface);
    drawTextRight("x\xFB", 100, 10, 0xFFFFFF, surface);
    EXPECT_EQ(readFile("debug.txt", 100), "250\r\n255\r\n251\r\n") << "left-aligned text is never measured";
}

TEST_F(Text, CentredAndRightAlignedTextFollowTheWidthTable) {
    // Centred and right-aligned text start at the width, or half of it toward zero, before x.
    const std::int32_t saved = std::exchange(charWidths['!'], 5);
    Surface centred = surface, right = surface, left98 = surface;
    drawTextCentered("!", 100, 10, 0xFFFFFF, centred);
    drawTextRight("!", 100, 10, 0xFFFFFF, right);
    drawText("!", 98, 10, 0xFFFFFF, left98);
    drawText("!", 95, 10, 0xFFFFFF, surface);
    charWidths['!'] = saved;
    ASSERT_GT(inked(surface), 0);
    EXPECT_EQ(centred.pixels, left98.pixels);
    EXPECT_EQ(right.pixels, surface.pixels);
}

TEST_F(Text, EveryCharacterInFourColoursBlendsIntoAPatternedPage) {
    Surface page = createSurface(800, 600);
    for (std::size_t i = 0; i < page.pixels.size(); ++i) page.pixels[i] = static_cast<std::uint16_t>(i * 37);
    const ColorRef colours[] = {rgb(255, 128, 0), rgb(10, 200, 90), rgb(70, 20, 250), WHITE};
    for (int row = 0; row < 8; ++row) {
        std::string line;
        for (int c = std::max(1, 32 * row); c < 32 + 32 * row && c < 250; ++c) line += static_cast<char>(c);
        drawText(line.c_str(), 4, 4 + 20 * row, colours[row % 4], page);
    }
    picture::expectPicture(page.pixels.data(), 0xd17e6405057856ac, "text-page");
}

TEST_F(Text, TextIsClippedToTheSurfaceAndWithoutAFontInvisible) {
    Surface small = createSurface(30, 12);
    drawText("WWWWWWWW", 20, -4, 0xFFFFFF, small);
    ASSERT_GT(inked(small), 0);
    fillRect(20, 0, 30, 12, 0, small);
    EXPECT_EQ(inked(small), 0) << "cut at the right edge, nothing wraps into the next row";
    drawText("WWWWWWWW", -7, 6, 0xFFFFFF, small);
    long ink = inked(small);
    drawTextRight("WWWW", INT_MIN, INT_MIN, 0xFFFFFF, small);
    drawTextCentered("WWWW", INT_MAX, INT_MAX, 0xFFFFFF, small);
    drawText("WWWW", INT_MAX - 3, 0, 0xFFFFFF, small);
    EXPECT_EQ(inked(small), ink) << "text far outside draws nothing";

    EXPECT_FALSE(createFontFromFile("no-such-font.ttf", 0));
    drawTextCentered("Hello", 100, 10, 0xFFFFFF, surface);
    EXPECT_EQ(inked(surface), 0);
    EXPECT_EQ(textWidth("Hello"), 0);
}
