// Surfaces and drawing primitives: colour packing, fills and frames without clipping, keyed and
// stretching copies, presenting, display loss and the frame pace.
#include "platform/video.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/backend.h"
#include "platform/bitmaps.h"
#include "platform/input.h"
#include "platform/null_backend.h"

using namespace crossfall;

namespace {

int countPixels(const Surface& s, std::uint16_t value) {
    int n = 0;
    for (std::uint16_t p : s.pixels) n += p == value;
    return n;
}

std::uint16_t at(const Surface& s, int x, int y) { return s.pixels[static_cast<std::size_t>(y * s.width + x)]; }

// A surface whose every pixel tells where it is (never 0, so keyed copies keep it).
Surface numbered(int w, int h) {
    Surface s = createSurface(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.pixels[static_cast<std::size_t>(y * w + x)] = static_cast<std::uint16_t>(1 + y * 256 + x);
    return s;
}

class Video : public testing::Test {
  protected:
    void SetUp() override {
        null_backend::reset();
        ASSERT_TRUE(initVideo());
        createAndLoadBitmaps();
    }
};

} // namespace

TEST(PackColor, FollowsTheDoublePrecisionRuleOnFiveSixFive) {
    EXPECT_EQ(packColor(0, 0, 0), 0u);
    EXPECT_EQ(packColor(255, 255, 255), 0xFFFFu);
    EXPECT_EQ(packColor(255, 0, 0), 0xF800u);
    EXPECT_EQ(packColor(0, 0, 255), 0x001Fu);
    EXPECT_EQ(packColor(128, 128, 128), 0x8080u);
    EXPECT_EQ(packColor(170, 170, 170), 0xAAA9u);
    EXPECT_EQ(packColor(255, 128, 0), 0xFBF3u);
}

TEST_F(Video, FillsExactlyTheExclusiveRectangleAndNothingReachingOutside) {
    fillRect(10, 20, 13, 24, 0x1234, backSurface);
    EXPECT_EQ(countPixels(backSurface, 0x1234), 3 * 4);
    EXPECT_EQ(at(backSurface, 10, 20), 0x1234);
    EXPECT_EQ(at(backSurface, 12, 23), 0x1234);
    EXPECT_EQ(at(backSurface, 13, 23), 0);

    // Empty, inverted or one pixel outside: nothing at all, not a clipped part.
    const int bad[][4] = {{5, 5, 5, 9},        {5, 5, 9, 5},          {9, 5, 5, 9},         {-1, 0, 10, 10},
                          {0, -1, 10, 10},     {790, 0, 801, 10},     {0, 590, 10, 601},    {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                          {INT_MAX, 0, INT_MIN, 10}, {0, INT_MAX - 1, 10, INT_MAX}};
    for (const auto& r : bad) EXPECT_EQ(fillRect(r[0], r[1], r[2], r[3], 0x5555, backSurface), 1);
    EXPECT_EQ(countPixels(backSurface, 0x5555), 0);

    fillRect(0, 0, 800, 600, 0x7777, backSurface);
    EXPECT_EQ(countPixels(backSurface, 0x7777), 800 * 600);
}

TEST_F(Video, FrameColoursTheBandAroundTheRectangle) {
    for (int t : {1, 3, 7}) {
        clearSurface(backSurface, 0);
        frameRect(100, 50, 140, 60, t, 0xFFFF);
        EXPECT_EQ(countPixels(backSurface, 0xFFFF), 2 * t * (40 + 10) + 4 * t * t) << t;
        EXPECT_EQ(at(backSurface, 100 - t, 50 - t), 0xFFFF);
        EXPECT_EQ(at(backSurface, 139 + t, 59 + t), 0xFFFF);
        EXPECT_EQ(at(backSurface, 100, 50), 0) << "the inside stays untouched";
    }
    clearSurface(backSurface, 0);
    frameRect(100, 50, 140, 60, 0, 0xFFFF);
    frameRect(100, 50, 140, 60, INT_MAX, 0xFFFF);
    frameRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 5, 0xFFFF);
    EXPECT_EQ(countPixels(backSurface, 0xFFFF), 0);

    // A bar that would leave the screen is dropped on its own; the others are still drawn.
    frameRect(0, 10, 20, 30, 2, 0xFFFF);
    EXPECT_EQ(countPixels(backSurface, 0xFFFF), 40 + 48 + 40);
}

TEST_F(Video, KeyedCopyLeavesBlackSourcePixelsOut) {
    Surface sprite = createSurface(4, 4);
    fillRect(0, 0, 4, 2, 0xABCD, sprite);
    clearSurface(backSurface, 0x1111);
    EXPECT_EQ(blitSprite(backSurface, Rect{8, 8, 12, 12}, sprite, nullptr, true), BlitResult::Done);
    EXPECT_EQ(countPixels(backSurface, 0xABCD), 8);
    EXPECT_EQ(at(backSurface, 8, 10), 0x1111);
    EXPECT_EQ(blitSprite(backSurface, Rect{8, 8, 12, 12}, sprite, nullptr, false), BlitResult::Done);
    EXPECT_EQ(at(backSurface, 8, 10), 0);
}

TEST_F(Video, CopiesStretchAndShrinkByNearestPixel) {
    Surface source = numbered(4, 2);
    EXPECT_EQ(blitSprite(backSurface, Rect{0, 0, 8, 4}, source, nullptr, false), BlitResult::Done);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(at(backSurface, x, y), at(source, x / 2, y / 2)) << x << "," << y;

    Surface big = numbered(8, 8);
    EXPECT_EQ(blitSprite(backSurface, Rect{100, 100, 102, 104}, big, nullptr, false), BlitResult::Done);
    // Each destination pixel takes a source pixel from the block it covers (4 columns x 2 rows).
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x) {
            std::uint16_t p = at(backSurface, 100 + x, 100 + y);
            int sx = (p - 1) & 0xFF, sy = (p - 1) >> 8;
            EXPECT_EQ(sx / 4, x);
            EXPECT_EQ(sy / 2, y);
        }
}

TEST_F(Video, SourceRectanglePicksItsAreaAndBadRectanglesFail) {
    Surface source = numbered(10, 10);
    Rect part{3, 4, 6, 6};
    EXPECT_EQ(blitSprite(backSurface, Rect{20, 30, 23, 32}, source, &part, false), BlitResult::Done);
    EXPECT_EQ(at(backSurface, 20, 30), at(source, 3, 4));
    EXPECT_EQ(at(backSurface, 22, 31), at(source, 5, 5));
    EXPECT_EQ(at(backSurface, 23, 31), 0);

    clearSurface(backSurface, 0);
    Rect outsideSource{5, 5, 11, 8};
    Rect emptySource{5, 5, 5, 8};
    EXPECT_EQ(blitSprite(backSurface, Rect{0, 0, 6, 3}, source, &outsideSource, false), BlitResult::Failed);
    EXPECT_EQ(blitSprite(backSurface, Rect{0, 0, 6, 3}, source, &emptySource, false), BlitResult::Failed);
    EXPECT_EQ(blitSprite(backSurface, Rect{795, 0, 805, 10}, source, nullptr, false), BlitResult::Failed);
    EXPECT_EQ(blitSprite(backSurface, Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, source, nullptr, false),
              BlitResult::Failed);
    EXPECT_EQ(blitSprite(backSurface, Rect{10, 10, 0, 20}, source, nullptr, false), BlitResult::Failed);
    EXPECT_EQ(countPixels(backSurface, 0), 800 * 600);
}

TEST_F(Video, PresentFrameSwapsAndShowsTheFront) {
    clearSurface(backSurface, 0x00FF);
    clearSurface(frontSurface, 0x0F0F);
    presentFrame(true);
    EXPECT_EQ(null_backend::picturesShown(), 1);
    EXPECT_EQ(null_backend::lastPicture()[0], 0x00FF);
    EXPECT_EQ(at(frontSurface, 0, 0), 0x00FF);
    EXPECT_EQ(at(backSurface, 0, 0), 0x0F0F);
    presentFrame(false);
    EXPECT_EQ(null_backend::picturesShown(), 2);
    EXPECT_EQ(null_backend::lastPicture()[799 + 599 * 800], 0x0F0F);
}

TEST_F(Video, PresentRectCopiesExactlyTheRectangle) {
    clearSurface(backSurface, 0x2222);
    clearSurface(frontSurface, 0x3333);
    EXPECT_EQ(presentRect(Rect{400, 100, 705, 493}), BlitResult::Done);
    EXPECT_EQ(countPixels(frontSurface, 0x2222), 305 * 393);
    EXPECT_EQ(at(frontSurface, 400, 100), 0x2222);
    EXPECT_EQ(at(frontSurface, 399, 100), 0x3333);
    EXPECT_EQ(null_backend::picturesShown(), 1);
    EXPECT_EQ(null_backend::lastPicture()[100 * 800 + 704], 0x2222);
    EXPECT_EQ(presentRect(Rect{0, 0, 801, 600}), BlitResult::Failed);
    EXPECT_EQ(null_backend::picturesShown(), 1);
}

TEST_F(Video, DisplayLossIsRepairedAndPutsTheCursorAt50) {
    mouseX = 300;
    mouseY = 7;
    null_backend::loseDisplay();
    EXPECT_TRUE(surfaceLost(backSurface));
    EXPECT_TRUE(bitmap(Bitmap::Mouse).lost);
    Surface sprite = createSurface(2, 2);
    EXPECT_EQ(blitSprite(backSurface, Rect{0, 0, 2, 2}, sprite, nullptr, true), BlitResult::SurfaceLost);

    // The fill that finds the loss restores everything and is itself skipped.
    fillRect(0, 0, 10, 10, 0x4444, backSurface);
    EXPECT_EQ(countPixels(backSurface, 0x4444), 0);
    EXPECT_FALSE(surfaceLost(backSurface));
    EXPECT_FALSE(comboLabelSurface.lost);
    EXPECT_EQ(mouseX, 50);
    EXPECT_EQ(mouseY, 50);
    fillRect(0, 0, 10, 10, 0x4444, backSurface);
    EXPECT_EQ(countPixels(backSurface, 0x4444), 100);
}

TEST_F(Video, PaceHoldsSixtyPassesASecondAndResyncsWhenFarBehind) {
    std::uint64_t start = backend::nowMs();
    waitForNextFrame();
    std::uint64_t first = backend::nowMs();
    for (int i = 0; i < 60; ++i) waitForNextFrame();
    EXPECT_NEAR(static_cast<double>(backend::nowMs() - first), 1000.0, 1.0);
    EXPECT_LE(first - start, 17u);

    // After a long stall the next passes are paced again, not rushed to catch up.
    null_backend::advanceClock(5000);
    std::uint64_t slept = null_backend::sleptMs();
    for (int i = 0; i < 10; ++i) waitForNextFrame();
    EXPECT_GE(null_backend::sleptMs() - slept, 150u);
}

TEST(VideoBeforeStart, NothingIsShownBeforeTheDisplayExists) {
    null_backend::reset();
    frontSurface = Surface{};
    backSurface = Surface{};
    showFrontSurface();
    presentFrame(true);
    EXPECT_EQ(null_backend::picturesShown(), 0);
}
