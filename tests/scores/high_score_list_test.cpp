// The list of all tables: rows read afresh from the files each frame, at most ten per column in
// darkening colours, the return button's exact edges, and the two ways back to the menu.
#include "scores/high_score_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/files.h"
#include "scores/score_test_support.h"

using namespace crossfall;

namespace {

constexpr int VK_ESCAPE = 27;

// Where row k of column c draws its name and its score.
Rect nameArea(int c, int k) { return Rect{160 * c + 5, 150 + 30 * k, 160 * c + 60, 150 + 30 * k + 20}; }
Rect scoreArea(int c, int k) { return Rect{160 * c + 90, 150 + 30 * k, 160 * c + 141, 150 + 30 * k + 20}; }

bool buttonFramed(const std::uint16_t* picture) {
    return picture[520 * SCREEN_WIDTH + 199] == packColor(255, 255, 255) &&
           picture[527 * SCREEN_WIDTH + 601] == packColor(255, 255, 255);
}

} // namespace

TEST(HighScoreList, ColumnsShowAtMostTenRowsReadAfreshEachFrame) {
    startScreenTest();
    EXPECT_EQ(runHighScoreList(), 1);
    const std::uint16_t* shown = null_backend::lastPicture();
    EXPECT_EQ(litPixels(shown, Rect{0, 140, 800, 480}), 0) << "no files, no rows";
    EXPECT_TRUE(textInColour(shown, Rect{0, 100, 800, 118}, 255, 255, 255)) << "headings";
    EXPECT_TRUE(textInColour(shown, Rect{0, 30, 800, 48}, 0, 255, 0));
    EXPECT_TRUE(textInColour(shown, Rect{0, 550, 800, 568}, 255, 0, 0));

    std::string twelve;
    for (int k = 0; k < 12; ++k) {
        char row[32];
        std::snprintf(row, sizeof row, "N%d %d\n", k, 1000 - k);
        twelve += row;
    }
    writeTextFile("scores_classic.txt", twelve);
    writeTextFile("scores_time.txt", "AA 5\nBB 4\nCC x\nDD 2\n");
    EXPECT_EQ(runHighScoreList(), 1);
    shown = null_backend::lastPicture();
    for (int k = 0; k < 10; ++k) {
        SCOPED_TRACE(k);
        EXPECT_TRUE(textInColour(shown, nameArea(0, k), 55, 55, 255 - 15 * k));
        EXPECT_TRUE(textInColour(shown, scoreArea(0, k), 255 - 15 * k, 255 - 15 * k, 255 - 15 * k));
    }
    EXPECT_TRUE(textInColour(shown, nameArea(0, 9), 55, 55, 120)) << "the tenth row at y 420";
    EXPECT_EQ(litPixels(shown, Rect{0, 450, 160, 480}), 0) << "pairs past the tenth are not drawn";

    EXPECT_GT(litPixels(shown, nameArea(4, 1)), 0);
    EXPECT_EQ(litPixels(shown, Rect{640, 210, 800, 480}), 0) << "the row with a broken score and all after it";
    EXPECT_EQ(litPixels(shown, Rect{160, 140, 640, 480}), 0) << "missing files leave their columns empty";
}

TEST(HighScoreList, ButtonIsHoveredExactlyInsideItsRectangle) {
    const struct {
        int x, y;
        bool hovered;
    } points[] = {{200, 508, true}, {599, 527, true}, {600, 508, false}, {200, 528, false}, {199, 515, false}};
    for (const auto& point : points) {
        SCOPED_TRACE(std::to_string(point.x) + "," + std::to_string(point.y));
        startScreenTest();
        mouseX = point.x;
        mouseY = point.y;
        EXPECT_EQ(runHighScoreList(), 1);
        const std::uint16_t* shown = null_backend::lastPicture();
        EXPECT_EQ(buttonFramed(shown), point.hovered);
        const Rect text{202, 510, 598, 526};
        EXPECT_EQ(textInColour(shown, text, 150, 150, 255), point.hovered);
        EXPECT_EQ(textInColour(shown, text, 0, 0, 255), !point.hovered);
    }
}

TEST(HighScoreList, ClickOnTheButtonLeavesAtOnceWithTheCursorPlacedForTheMenu) {
    startScreenTest();
    addMouseMotion(5000, 5000);
    setKeyDown(VK_LBUTTON, true);
    EXPECT_EQ(runHighScoreList(), 1) << "held button away from the return button";
    EXPECT_EQ(mouseX, 784);
    EXPECT_EQ(mouseY, 584);
    EXPECT_EQ(null_backend::picturesShown(), 1);

    addMouseMotion(-384, -70);
    EXPECT_EQ(runHighScoreList(), 0);
    EXPECT_EQ(mouseX, 405);
    EXPECT_EQ(mouseY, 105);
    EXPECT_EQ(null_backend::picturesShown(), 1) << "the unfinished frame is not shown";
}

TEST(HighScoreList, EscapeLeavesAfterACompleteShownFrameAndKeepsTheCursor) {
    startScreenTest();
    writeTextFile("scores_rubik.txt", "ABC 870\n");
    mouseX = 400;
    mouseY = 515;
    setKeyDown(VK_ESCAPE, true);
    EXPECT_EQ(runHighScoreList(), 0);
    EXPECT_EQ(null_backend::picturesShown(), 1);
    const std::uint16_t* shown = null_backend::lastPicture();
    EXPECT_TRUE(buttonFramed(shown));
    EXPECT_GT(litPixels(shown, nameArea(1, 0)), 0);
    EXPECT_TRUE(textInColour(shown, Rect{0, 550, 800, 568}, 255, 0, 0));
    EXPECT_EQ(mouseX, 400);
    EXPECT_EQ(mouseY, 515);
}

TEST(HighScoreList, ALostSurfaceCostsOneFrameAndIsRestored) {
    startScreenTest();
    backSurface.lost = true;
    EXPECT_EQ(runHighScoreList(), 1);
    EXPECT_EQ(null_backend::picturesShown(), 0);
    EXPECT_FALSE(backSurface.lost);
    EXPECT_EQ(runHighScoreList(), 1);
    EXPECT_EQ(null_backend::picturesShown(), 1);
}
