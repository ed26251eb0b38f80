// Drawing: unclipped fills and frames, keyed and stretching copies, bitmaps and their bad files,
// display loss, and text (width file, blending, clipping, no font).
#include "platform/video.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <tuple>

#include "platform/backend.h"
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

// An uncompressed 24-bit BMP from 0xRRGGBB pixels, rows stored bottom-up; widths of 4 need no padding.
std::string bmp(int width, int height, const std::vector<std::uint32_t>& pixels) {
    std::string out = "BM";
    auto put = [&](std::int64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    for (auto [v, bytes] : {std::pair{54 + width * height * 3, 4}, {0, 4}, {54, 4}, {40, 4}, {width, 4},
                            {height, 4}, {1, 2}, {24, 2}, {0, 4}, {width * height * 3, 4}, {0, 8}, {0, 8}})
        put(v, bytes);
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x) put(pixels[static_cast<std::size_t>(y * width + x)], 3);
    return out;
}

// A 1-bit BMP whose every pixel is the palette's white, under a Windows (40-byte) or an OS/2 (12-byte) header;
// a negative height stores the rows top down.
std::string whiteBmp(int width, int height, bool os2) {
    const int row = (width + 31) / 32 * 4, header = os2 ? 12 : 40, palette = os2 ? 6 : 8, rows = std::abs(height);
    std::string out = "BM";
    auto put = [&](std::int64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put(14 + header + palette + std::int64_t{row} * rows, 4), put(0, 4), put(14 + header + palette, 4);
    put(header, 4), put(width, os2 ? 2 : 4), put(height, os2 ? 2 : 4), put(1, 2), put(1, 2);
    if (!os2) put(0, 8), put(0, 8), put(0, 8);
    put(0, palette / 2), put(0xFFFFFF, palette / 2);
    out.append(std::size_t(row) * std::size_t(rows), '\xFF');
    return out;
}

void writeFile(const char* name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }
std::uint16_t at(const Surface& s, int x, int y) { return s.pixels[std::size_t(y * s.width + x)]; }
long count(const Surface& s, std::uint16_t v) { return std::count(s.pixels.begin(), s.pixels.end(), v); }

struct Video : testing::Test {
    void SetUp() override {
        null_backend::reset();
        ASSERT_TRUE(initVideo());
        createAndLoadBitmaps();
    }
};

} // namespace

TEST(LoadBitmap, ReadsFiveSixFiveTruncatedScaledByPixelCentresAndBadFilesChangeNothing) {
    // Each channel just under and at its lowest 5-6-5 step; a colour too dark for 5-6-5 is 0, like black.
    const Pixels read = {0, 0x0800, 0x0020, 0x0001, 0xF800, 0x07E0, 0x001F, 0xFFFF};
    writeFile("steps.bmp", bmp(8, 1, {0x070307, 0x080000, 0x400, 0x8, 0xFF0000, 0xFF00, 0xFF, 0xFFFFFF}));
    Surface narrow = createSurface(2, 1), wide = createSurface(16, 2);
    loadBitmap(narrow, "steps.bmp");
    loadBitmap(wide, "steps.bmp");
    EXPECT_EQ(narrow.pixels, (Pixels{0x0020, 0x001F}));
    for (int x = 0; x < 32; ++x) EXPECT_EQ(wide.pixels[x], read[x % 16 / 2]) << x;
    const std::string good = bmp(4, 4, std::vector<std::uint32_t>(16, 0xFFFFFF));
    std::string tiny = good, huge = good.substr(0, 54);
    tiny.replace(18, 8, "\0\0\1\0\0\0\1\0"s); // 65536 x 65536 claimed by a tiny file
    // A whole 1-bit picture of 4097 x 4096, just past the largest a bitmap may be.
    huge.replace(10, 4, "\x3E\0\0\0"s).replace(18, 8, "\x01\x10\0\0\0\x10\0\0"s).replace(28, 2, "\x01\0"s);
    huge += std::string(8 + 516 * 4096, '\0');
    for (const auto& [name, bytes] : {std::pair{"empty.bmp", ""s}, {"words.bmp", "not a picture"s},
                                      {"cut.bmp", good.substr(0, good.size() - 20)}, {"tiny.bmp", tiny},
                                      {"huge.bmp", huge}, {"short.bmp", good.substr(0, 25)}, {".", ""s},
                                      {"no/such.bmp", ""s}}) {
        writeFile(name, bytes); // a folder and a file in no folder stay unwritten
        Surface s = createSurface(4, 4);
        clearSurface(s, 0x1234);
        loadBitmap(s, name);
        EXPECT_EQ(count(s, 0x1234), 16) << name;
    }
    // Whatever the header's kind, a size up to 4096 x 4096 pixels is read and one past it is not.
    const std::tuple<int, int, bool, bool> sizes[] = {
        {4096, 4096, false, true}, {4096, 4096, true, true},  {4097, 4096, true, false}, {4096, 4097, true, false},
        {65536, 1, false, true},   {1, 65536, false, true},   {65535, 257, true, false},
        {4096, -4096, false, true}, {4097, -4096, false, false}}; // a negative height: rows top down
    for (const auto& [width, height, os2, read] : sizes) {
        const std::string bytes = whiteBmp(width, height, os2);
        Surface s = createSurface(4, 4);
        EXPECT_EQ(loadBitmapFromMemory(s, bytes.data(), bytes.size()), read) << width << " x " << height;
        EXPECT_EQ(count(s, 0xFFFF), read ? 16 : 0) << width << " x " << height;
    }
}

TEST_F(Video, FillsFramesAndCopiesDrawExactlyAndNothingReachingOutside) {
    fillRect(799, 0, 800, 600, 0x3333, backSurface);
    fillRect(0, 599, 800, 600, 0x4444, backSurface);
    EXPECT_EQ(count(backSurface, 0x3333), 599) << "up to the screen's edges";
    Surface small = createSurface(2, 2);
    EXPECT_EQ(std::tuple(fillRect(0, 0, 0, 0, 1, small), frameRect(0, 0, 1, 1, 9, 1), clearSurface(small, 0)),
              std::tuple(1, 1, 1)) << "whatever is drawn";
    // Empty, inverted or one pixel outside: nothing at all, not a clipped part.
    const int bad[][4] = {{5, 5, 5, 9}, {5, 5, 9, 5}, {9, 5, 5, 9}, {-1, 0, 10, 10}, {0, -1, 10, 10},
                          {790, 0, 801, 10}, {0, 590, 10, 601}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}};
    for (const auto& r : bad) {
        fillRect(r[0], r[1], r[2], r[3], 0x5555, backSurface);
        frameRect(r[0], r[1], r[2], r[3], INT_MAX, 0x5555);
    }
    EXPECT_EQ(count(backSurface, 0x5555), 0);
    Surface expected = backSurface;
    frameRect(100, 50, 140, 60, 3, 0xFFFF);
    fillRect(97, 47, 143, 63, 0xFFFF, expected);
    fillRect(100, 50, 140, 60, 0, expected);
    EXPECT_TRUE(expected.pixels == backSurface.pixels) << "a band of 3 around the outside";
    // A bar that would leave the screen is dropped on its own; the others are still drawn.
    frameRect(0, 10, 20, 30, 2, 0x6666);
    EXPECT_EQ(count(backSurface, 0x6666), 40 + 48 + 40);
    // Copies: keyed on black, scaled by pixel centres, none reaching outside.
    Surface source = createSurface(8, 8);
    for (std::size_t i = 0; i < 64; ++i) source.pixels[i] = std::uint16_t(i); // where it is; 0 is black
    clearSurface(backSurface, 0x1111);
    // To, from and keyed: the same size and stretched both ways, a part and the whole (from null).
    const std::tuple<Rect, Rect, bool> copies[] = {{{20, 30, 23, 32}, {3, 4, 6, 6}, false},
                                                   {{40, 40, 56, 48}, {0, 0, 8, 8}, true},
                                                   {{60, 60, 63, 66}, {0, 0, 6, 2}, false},
                                                   {{70, 70, 78, 78}, {0, 0, 8, 8}, true}};
    for (const auto& [to, from, keyed] : copies) {
        const Rect* part = to.left < 70 ? &from : nullptr;
        ASSERT_EQ(blitSprite(backSurface, to, source, part, keyed), BlitResult::Done);
        const int w = to.right - to.left, h = to.bottom - to.top, fw = from.right - from.left;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint16_t pixel = at(source, from.left + (2 * x + 1) * fw / (2 * w),
                                               from.top + (2 * y + 1) * (from.bottom - from.top) / (2 * h));
                ASSERT_EQ(at(backSurface, to.left + x, to.top + y), keyed && pixel == 0 ? 0x1111 : pixel);
            }
    }
    const Rect outside{5, 5, 9, 8}, flat{0, 0, 4, 0}, thin{0, 0, 0, 3};
    EXPECT_EQ(blitSprite(backSurface, Rect{0, 0, 4, 3}, source, &outside, false), BlitResult::Failed);
    EXPECT_EQ(blitSprite(backSurface, flat, source, &flat, false), BlitResult::Failed) << "empty";
    EXPECT_EQ(blitSprite(backSurface, thin, source, &thin, false), BlitResult::Failed) << "empty";
}

TEST(Pace, EachPassWaitsForTheNextSixtiethALatePassCatchesUpAndOneLaterStillStartsAfresh) {
    // How late a pass comes after a fresh start (which sleeps to 1/3 ms past its deadline), and the
    // sleep before the next; from 100 ms late the pace starts afresh instead of rushing.
    const std::pair<std::uint64_t, std::uint64_t> passes[] = {{0, 17}, {16, 1}, {17, 0}, {99, 0}, {100, 17}};
    for (const auto& [late, sleep] : passes) {
        null_backend::advanceClock(1000);
        waitForNextFrame();
        null_backend::advanceClock(late);
        const std::uint64_t before = null_backend::sleptMs();
        waitForNextFrame();
        EXPECT_EQ(null_backend::sleptMs() - before, sleep) << late << " ms late";
    }
    // Come back early, with the deadline up to a period ahead the pace keeps it; further ahead (the clock
    // went back) it starts afresh. Two passes leave the clock 2/3 ms past the deadline.
    for (const auto& [early, sleep] : {std::pair{17u, 33u}, {18u, 17u}}) {
        null_backend::advanceClock(1000);
        waitForNextFrame();
        waitForNextFrame();
        null_backend::setClock(backend::nowMs() - early);
        const std::uint64_t before = null_backend::sleptMs();
        waitForNextFrame();
        EXPECT_EQ(null_backend::sleptMs() - before, sleep) << early << " ms early";
    }
}

TEST_F(Video, DisplayLossRestoresEverythingAndNothingIsShownOffScreenOrWithoutADisplay) {
    // Every surface has its picture's size, as the shipped art's headers say.
    for (int i = 0; i < BITMAP_COUNT; ++i) {
        const std::string name = CROSSFALL_SOURCE_DIR "/data/"s + bitmapFiles[i].fileName;
        const std::string art = readFile(name.c_str(), 26).value();
        const auto le16 = [&](int at) { return std::uint8_t(art[at]) | std::uint8_t(art[at + 1]) << 8; };
        const Surface& surface = bitmap(Bitmap(i));
        EXPECT_EQ(std::pair(surface.width, surface.height), std::pair(le16(18), le16(22))) << name;
        writeFile(bitmapFiles[i].fileName, bmp(4, 1, std::vector<std::uint32_t>(4, 0xFF0000)));
    }
    for (int code = -1; code <= 8; ++code)
        EXPECT_EQ(&blockSprite(code), &bitmap(Bitmap(code >= 1 && code <= 7 ? code - 1 : 0))) << code;
    clearSurface(comboLabelSurface, 0x3333);
    const std::uint64_t changes = screenChanges();
    null_backend::loseDisplay();
    EXPECT_TRUE(surfaceLost(frontSurface) && backSurface.lost && comboLabelSurface.lost && bitmap(Bitmap::Mouse).lost);
    fillRect(0, 0, 10, 10, 0x4444, backSurface);
    EXPECT_EQ(count(backSurface, 0x4444), 0) << "the fill that finds the loss restores all and is skipped";
    EXPECT_EQ(std::tuple(screenChanges(), mouseX, mouseY), std::tuple(changes + 1, 50, 50));
    EXPECT_FALSE(surfaceLost(backSurface) || surfaceLost(frontSurface) || comboLabelSurface.lost);
    for (int i = 0; i < BITMAP_COUNT; ++i)
        EXPECT_EQ(count(bitmap(Bitmap(i)), 0xF800), std::ssize(bitmap(Bitmap(i)).pixels)) << "reloaded " << i;
    EXPECT_EQ(std::tuple(comboLabelSurface.width, comboLabelSurface.height, at(comboLabelSurface, 47, 15)),
              std::tuple(48, 16, 0x3333)) << "no file: restored, not rebuilt";

    EXPECT_EQ(presentRect(Rect{0, 0, 801, 600}), BlitResult::Failed);
    EXPECT_EQ(presentRect(Rect{0, 0, 1, 1}), BlitResult::Done);
    frontSurface = backSurface = Surface{};
    presentFrame(true);
    EXPECT_EQ(std::tuple(null_backend::picturesShown(), screenChanges()), std::tuple(1, changes + 3));
}

TEST(Text, EveryByteIsTheCharacterWindows1252GivesItAndAnUnassignedOneKeepsItsCode) {
    iconv_t decoder = iconv_open("UTF-32LE", "WINDOWS-1252");
    ASSERT_NE(decoder, iconv_t(-1));
    for (int byte = 0; byte < 256; ++byte) {
        char in = static_cast<char>(byte), *from = &in;
        std::uint32_t out = byte;
        char* to = reinterpret_cast<char*>(&out);
        std::size_t inLeft = 1, outLeft = sizeof out;
        iconv(decoder, &from, &inLeft, &to, &outLeft); // refused: out keeps the byte
        EXPECT_EQ(windows1252CodePoint(static_cast<unsigned char>(byte)), out) << byte;
    }
    iconv_close(decoder);
}

TEST(Text, WidthsAreWrittenAndSummedAndEveryCharacterBlendsIntoAPatternedPage) {
    ASSERT_TRUE(createFont()) << "the test machine needs fontconfig and a bold sans face";
    measureCharWidths(backSurface);
    std::string expected;
    for (int c = 0; c < 250; ++c)
        expected += std::to_string(charWidths[c]) + "--" + (c == '\n' ? "\r" : "") + char(c) + "\r\n";
    EXPECT_EQ(readFile("allLengths.txt", 1 << 20), expected);
    EXPECT_EQ(textWidth("a\xF9\xFA" "b\xFF"), charWidths['a'] + charWidths[0xF9] + charWidths['b']);
    EXPECT_EQ(std::pair(charWidths[0xF9], charWidths[0xE0]), std::pair(charWidths['u'], charWidths['a']))
        << "the last byte of the table and an accented one are as wide as their plain letters";
    EXPECT_EQ(readFile("debug.txt", 100), "250\r\n255\r\n") << "bytes past the table are logged";

    Surface page = createSurface(800, 600);
    for (std::size_t i = 0; i < page.pixels.size(); ++i) page.pixels[i] = static_cast<std::uint16_t>(i * 37);
    const ColorRef colours[] = {rgb(255, 128, 0), rgb(10, 200, 90), rgb(70, 20, 250), WHITE};
    for (int row = 0; row < 8; ++row) {
        std::string line;
        for (int c = std::max(1, 32 * row); c < 32 + 32 * row && c < 250; ++c) line += static_cast<char>(c);
        drawText(line.c_str(), 4, 4 + 20 * row, colours[row % 4], page);
    }
    picture::expectPicture(page.pixels.data(), 0xd17e6405057856ac, "text-page");

    Surface far = createSurface(30, 12);
    EXPECT_FALSE(createFontFromFile("no-such-font.ttf", 0));
    drawTextRight("Hello", 30, 1, WHITE, far);
    EXPECT_EQ(std::tuple(count(far, 0), textWidth("Hello")), std::tuple(30 * 12, 0)) << "no font: invisible";
}
