// Text: the width table and its file, alignment by the table, colours, clipping at the surface's
// edges, logging of bytes the table does not cover, and a game that runs with no font.
#include "platform/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

#include "platform/files.h"
#include "platform/null_backend.h"

using namespace crossfall;
using namespace std::string_literals;

namespace {

class Text : public testing::Test {
  protected:
    void SetUp() override {
        null_backend::reset();
        static bool fontLoaded = createFont();
        ASSERT_TRUE(fontLoaded) << "the test machine needs fontconfig and a bold sans face";
        surface = createSurface(200, 40);
    }
    Surface surface;
};

struct Box {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    int count = 0;
};

// The bounding box of every pixel that is not the background.
Box inkBox(const Surface& s, std::uint16_t background = 0) {
    Box box;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (s.pixels[static_cast<std::size_t>(y * s.width + x)] != background) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
                ++box.count;
            }
    return box;
}

} // namespace

TEST_F(Text, WidthsAreTheFacesAdvances) {
    EXPECT_GT(charWidths[' '], 0);
    EXPECT_GT(charWidths['W'], charWidths['i']);
    EXPECT_EQ(charWidths['0'], charWidths['9']) << "a bold sans face has tabular digits";
    for (int c = 32; c < 250; ++c) EXPECT_LT(charWidths[c], 30) << c;
    EXPECT_EQ(textWidth(""), 0);
    EXPECT_EQ(textWidth("Wi"), charWidths['W'] + charWidths['i']);
}

TEST_F(Text, WidthTableFileHasOneRecordPerCodeWithCrLf) {
    measureCharWidths(surface);
    std::string file = readFile("allLengths.txt", 1 << 20).value();
    std::size_t at = 0;
    for (int c = 0; c < 250; ++c) {
        std::string record = std::to_string(charWidths[c]) + "--";
        record += c == '\n' ? std::string("\r\n") : std::string(1, static_cast<char>(c));
        record += "\r\n";
        ASSERT_EQ(file.compare(at, record.size(), record), 0) << "record " << c;
        at += record.size();
    }
    EXPECT_EQ(at, file.size());

    measureCharWidths(surface);
    EXPECT_EQ(readFile("allLengths.txt", 1 << 20).value(), file) << "rewritten, not appended";
}

TEST_F(Text, BytesBeyondTheTableCountNothingAndAreLoggedEachMeasurement) {
    EXPECT_EQ(textWidth("a\xFA" "b\xFF"), charWidths['a'] + charWidths['b']);
    EXPECT_EQ(readFile("debug.txt", 1000).value(), "250\r\n255\r\n");

    drawText("x\xFB", 10, 10, 0xFFFFFF, surface);
    EXPECT_EQ(readFile("debug.txt", 1000).value(), "250\r\n255\r\n") << "left-aligned text is never measured";
    drawTextCentered("x\xFB", 100, 10, 0xFFFFFF, surface);
    drawTextRight("x\xFB", 100, 10, 0xFFFFFF, surface);
    EXPECT_EQ(readFile("debug.txt", 1000).value(), "250\r\n255\r\n251\r\n251\r\n");
}

TEST_F(Text, DrawnTextStaysInItsBoxAndTakesTheColour) {
    const char* text = "Hello 42";
    drawText(text, 20, 5, rgb(255, 0, 0), surface);
    Box box = inkBox(surface);
    ASSERT_GT(box.count, 20);
    EXPECT_GE(box.left, 20);
    EXPECT_LE(box.right, 20 + textWidth(text) + 1);
    EXPECT_GE(box.top, 5);
    EXPECT_LE(box.bottom, 5 + 16);
    // Solid parts of the strokes are exactly the colour; red is the low byte of the reference.
    int red = 0, other = 0;
    for (std::uint16_t p : surface.pixels) {
        red += p == 0xF800;
        other += p != 0 && (p & 0x07FF) != 0;
    }
    EXPECT_GT(red, 10);
    EXPECT_EQ(other, 0) << "blending red over black never adds green or blue";

    clearSurface(surface, 0);
    drawText(text, 20, 5, 0xFF0000, surface);
    EXPECT_GT(std::count(surface.pixels.begin(), surface.pixels.end(), 0x001F), 10) << "0xFF0000 is blue";
}

TEST_F(Text, BackgroundShowsThroughAroundTheGlyphs) {
    clearSurface(surface, 0x1234);
    drawText("o", 10, 10, 0xFFFFFF, surface);
    Box box = inkBox(surface, 0x1234);
    ASSERT_GT(box.count, 0);
    // The inside of the 'o' keeps the background.
    int middleX = (box.left + box.right) / 2, middleY = (box.top + box.bottom) / 2;
    EXPECT_EQ(surface.pixels[static_cast<std::size_t>(middleY * surface.width + middleX)], 0x1234);
}

TEST_F(Text, CentringSubtractsHalfTheWidthRoundedDown) {
    const std::int32_t saved = charWidths['!'];
    Surface reference = createSurface(200, 40);
    for (int width : {5, 4}) {
        charWidths['!'] = width;
        clearSurface(surface, 0);
        clearSurface(reference, 0);
        drawTextCentered("!", 100, 10, 0xFFFFFF, surface);
        drawText("!", 98, 10, 0xFFFFFF, reference);
        EXPECT_EQ(surface.pixels, reference.pixels) << width;
        clearSurface(surface, 0);
        clearSurface(reference, 0);
        drawTextRight("!", 100, 10, 0xFFFFFF, surface);
        drawText("!", 100 - width, 10, 0xFFFFFF, reference);
        EXPECT_EQ(surface.pixels, reference.pixels) << width;
    }
    charWidths['!'] = saved;
    EXPECT_GT(inkBox(surface).count, 0);
}

TEST_F(Text, EmptyTextDrawsNothingAnywhere) {
    drawText("", 10, 10, 0xFFFFFF, surface);
    drawTextCentered("", 100, 10, 0xFFFFFF, surface);
    drawTextRight("", 100, 10, 0xFFFFFF, surface);
    EXPECT_EQ(inkBox(surface).count, 0);
}

TEST_F(Text, TextIsClippedToTheSurface) {
    Surface small = createSurface(30, 12);
    drawText("WWWWWWWW", -7, -4, 0xFFFFFF, small);
    EXPECT_GT(inkBox(small).count, 0);
    drawText("WWWWWWWW", 20, 8, 0xFFFFFF, small);
    drawTextRight("WWWW", INT_MIN, INT_MIN, 0xFFFFFF, small);
    drawTextCentered("WWWW", INT_MAX, INT_MAX, 0xFFFFFF, small);
    drawText("WWWW", INT_MAX - 3, 0, 0xFFFFFF, small);
    drawText("WWWW", 0, INT_MAX, 0xFFFFFF, small);
    EXPECT_EQ(small.pixels.size(), 30u * 12u);
}

TEST_F(Text, WithoutAFontTextIsInvisibleAndWidthsAreZero) {
    EXPECT_FALSE(createFontFromFile("no-such-font.ttf", 0));
    drawText("Hello", 10, 10, 0xFFFFFF, surface);
    drawTextCentered("Hello", 100, 10, 0xFFFFFF, surface);
    EXPECT_EQ(inkBox(surface).count, 0);
    EXPECT_EQ(textWidth("Hello"), 0);
    measureCharWidths(surface);
    EXPECT_EQ(readFile("allLengths.txt", 1 << 20).value().substr(0, 7), "0--\0\r\n0"s);
    ASSERT_TRUE(createFont());
    EXPECT_GT(textWidth("Hello"), 0);
}
