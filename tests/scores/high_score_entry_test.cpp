// The initials entry: typing, deleting and finishing by held keys pass by pass, the pauses that
// stand in for key repeat, what gets saved, and that only the box reaches the screen.
#include "scores/high_score_entry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/files.h"
#include "scores/score_test_support.h"

using namespace crossfall;

namespace {

constexpr int VK_BACK = 8;
constexpr int VK_RETURN = 13;
constexpr int VK_DELETE = 46;

// A qualifying game of the classic mode has just been checked; null initials keep the last entry's.
void beginEntry(const char* initials, int points) {
    startScreenTest();
    if (initials != nullptr) std::strcpy(typedInitials, initials);
    startEndedGame(0, points, 0);
    checkHighScore();
    ASSERT_EQ(inScoreEntry, 1);
}

// One pass with exactly these keys held.
void passWith(std::initializer_list<int> keys) {
    releaseAllKeys();
    for (int key : keys) setKeyDown(key, true);
    runHighScoreEntry();
}

} // namespace

TEST(HighScoreEntry, LettersAreTakenInCodeOrderEachWithItsPauseUpToThree) {
    beginEntry("", 100);
    passWith({'B', 'A'});
    EXPECT_STREQ(typedInitials, "AB");
    EXPECT_EQ(null_backend::sleptMs(), 300u);

    passWith({'A', 'B'});
    EXPECT_STREQ(typedInitials, "ABA");
    EXPECT_EQ(null_backend::sleptMs(), 450u);

    passWith({'Z'});
    EXPECT_STREQ(typedInitials, "ABA") << "a fourth letter is ignored";
    EXPECT_EQ(null_backend::sleptMs(), 450u);

    passWith({VK_BACK, VK_DELETE});
    EXPECT_STREQ(typedInitials, "AB") << "one character per pass";
    passWith({VK_DELETE, 'Z'});
    EXPECT_STREQ(typedInitials, "AB") << "the letter goes in before the deletion takes it out again";
    EXPECT_EQ(null_backend::sleptMs(), 900u);
    EXPECT_EQ(inScoreEntry, 1);
}

TEST(HighScoreEntry, DeletingFromNothingNeitherChangesNorPauses) {
    beginEntry("", 100);
    passWith({VK_BACK});
    passWith({VK_DELETE});
    EXPECT_STREQ(typedInitials, "");
    EXPECT_EQ(null_backend::sleptMs(), 0u);
}

TEST(HighScoreEntry, EnterOnTheFirstPassSavesQuestionMarksAndTheNextEntryStartsFromThem) {
    beginEntry("", 300);
    passWith({VK_RETURN});
    EXPECT_EQ(inScoreEntry, 0);
    EXPECT_STREQ(typedInitials, "???");
    std::string file = readFile("scores_classic.txt", 1000).value();
    EXPECT_EQ(file.substr(0, 9), "??? 300\r\n");

    beginEntry(nullptr, 400);
    passWith({'Q'});
    EXPECT_STREQ(typedInitials, "???") << "the kept initials fill the field";
    passWith({VK_BACK});
    passWith({'Q'});
    passWith({VK_RETURN});
    EXPECT_STREQ(typedInitials, "??Q");
    file = readFile("scores_classic.txt", 1000).value();
    EXPECT_EQ(file.substr(0, 18), "??Q 400\r\n??? 300\r\n");
}

TEST(HighScoreEntry, SavedEntryTakesItsRowAndPushesTheRestDown) {
    startScreenTest();
    writeTextFile("scores_classic.txt", "A 900\nB 800\nC 700\nD 600\nE 500\nF 400\nG 300\nH 200\nI 100\nJ 50\n");
    std::strcpy(typedInitials, "");
    startEndedGame(0, 650, 100);
    checkHighScore();
    ASSERT_EQ(newEntryRank, 2);
    passWith({'X'});
    passWith({'Y'});
    passWith({VK_RETURN});
    EXPECT_EQ(readFile("scores_classic.txt", 1000).value(),
              "A 900\r\nB 800\r\nXY 750\r\nC 700\r\nD 600\r\nE 500\r\nF 400\r\nG 300\r\nH 200\r\nI 100\r\n");
}

TEST(HighScoreEntry, OnlyTheBoxAndItsFrameReachTheScreen) {
    beginEntry("", 100);
    const std::uint16_t before = static_cast<std::uint16_t>(packColor(200, 0, 0));
    clearSurface(frontSurface, before);
    clearSurface(backSurface, packColor(0, 200, 0));
    passWith({});

    const Rect box{278, 368, 522, 462};
    const std::uint16_t* shown = null_backend::lastPicture();
    EXPECT_EQ(null_backend::picturesShown(), 1);
    int changedOutside = 0;
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            bool inside = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            std::uint16_t p = shown[y * SCREEN_WIDTH + x];
            if (inside)
                ASSERT_EQ(p, backSurface.pixels[y * SCREEN_WIDTH + x]) << x << "," << y;
            else
                changedOutside += p != before;
        }
    }
    EXPECT_EQ(changedOutside, 0);
    EXPECT_EQ(shown[368 * SCREEN_WIDTH + 278], packColor(50, 50, 255)) << "the frame's outer corner";
    EXPECT_EQ(shown[380 * SCREEN_WIDTH + 285], 0) << "the box is black inside";
    EXPECT_TRUE(textInColour(shown, Rect{282, 420, 518, 436}, 0, 255, 0)) << "the prompt";
}
