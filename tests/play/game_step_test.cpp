// The game step run frame by frame: what each frame shows, when rows go, the gauges, the panel,
// the previews, the end of a game and the pause.
#include "play_fixture.h"

#include "platform/files.h"
#include "rules/moving.h"

using namespace crossfall;
using namespace crossfall::testing_play;

namespace {

using GameStepTest = PlayTest;

constexpr int O_PIECE = 4;

TEST_F(GameStepTest, RowsRemovedByALockStillShowInThatFrameAndAreGoneFromTheNext) {
    start(MODE_CLASSIC);
    // Rows 18 and 19 full but for columns 4 and 5, with an O piece about to lock into the gap.
    for (int r : {18, 19}) {
        fillRow(fields[0], r, 3);
        fields[0].cells[4][r] = fields[0].cells[5][r] = EMPTY;
    }
    currentPiece = pieceAboutToLock(O_PIECE, 0, 3, 17);
    gameStep();
    const std::uint16_t* picture = null_backend::lastPicture();
    for (int r : {18, 19})
        for (int c = 0; c < 10; ++c)
            EXPECT_TRUE(
                squareShows(picture, expectedCellPixel(0, c, r), blockValue(c == 4 || c == 5 ? 5 : 3)))
                << c;
    EXPECT_EQ(fields[0].cells[0][19], EMPTY) << "removed in the same frame";
    EXPECT_EQ(null_backend::picturesShown(), 2 * 11 + 1) << "eleven flash images per row, then the frame";
    EXPECT_EQ(null_backend::sleptMs(), 2 * 165u);

    gameStep();
    for (int r : {18, 19})
        for (int c = 0; c < 10; ++c)
            EXPECT_TRUE(squareShows(null_backend::lastPicture(), expectedCellPixel(0, c, r), bgDirValue(0)));
}

const std::uint16_t YELLOW = static_cast<std::uint16_t>(packColor(255, 255, 0));
const std::uint16_t GREEN = static_cast<std::uint16_t>(packColor(0, 255, 0));

TEST_F(GameStepTest, TimeAttackGaugeCountsTowardTheRise) {
    start(MODE_TIME);
    riseCount = 1159; // half the level-1 period once this frame counts
    gameStep();
    EXPECT_TRUE(textShown("Time Attack!: 50 %", 640, 542, rgb(0, 255, 0), 0, {641, 543, 758, 558}));
    EXPECT_EQ(countShown(null_backend::lastPicture(), {500, 557, 800, 558}, YELLOW), 119)
        << "520..639, the frame on 520";
    EXPECT_EQ(shownAt(639, 557), YELLOW);

    riseCount = 2318;
    gameStep();
    EXPECT_TRUE(textShown("Time Attack!: 99 %", 640, 542, rgb(0, 255, 0), YELLOW, {641, 544, 759, 558}));
    EXPECT_EQ(shownAt(758, 557), YELLOW) << "a 239-pixel bar";
    EXPECT_EQ(shownAt(759, 557), 0);
}

TEST_F(GameStepTest, RefusedRubikSpinGaugePassesOneHundredWithAFullBar) {
    start(MODE_RUBIK);
    currentPiece.y = 12;        // lying on row 14, columns 3..6
    fields[0].cells[4][16] = 2; // the spin would turn this block onto the piece
    spinCount = 2599;
    gameStep();
    EXPECT_EQ(spinCount, 2600);
    EXPECT_EQ(fields[0].cells[4][16], 2) << "refused: nothing turned";
    EXPECT_TRUE(textShown("Rubik Spin!: 113 %", 640, 542, rgb(255, 255, 255), GREEN, {521, 544, 759, 558}));
    // The bar fills the whole gauge: 520..759, of which the frame covers both end columns.
    EXPECT_EQ(countShown(null_backend::lastPicture(), {521, 557, 560, 558}, GREEN), 39);
    EXPECT_EQ(countShown(null_backend::lastPicture(), {710, 557, 759, 558}, GREEN), 49);
}

// The occupied squares of a 5 x 5 preview whose top-left square is at (x, y).
std::string previewShape(int x, int y) {
    std::string shape;
    for (int j = 0; j < 5; ++j)
        for (int i = 0; i < 5; ++i)
            shape +=
                squareShows(null_backend::lastPicture(), {x + 16 * i, y + 16 * j}, blockValue(L_PIECE + 1))
                    ? '#'
                    : '.';
    return shape;
}

TEST_F(GameStepTest, PreviewFollowsItsSwitchAndTheModesPlaces) {
    start(MODE_CLASSIC);
    nextPiece = makePiece(L_PIECE, 0);
    gameStep();
    EXPECT_EQ(previewShape(608, 460), "........#..###...........");
    EXPECT_TRUE(textShown("Next Piece", 640, 525, rgb(0, 0, 255), 0, {600, 525, 608, 540}));

    showPiecePreview = 0;
    gameStep();
    EXPECT_EQ(previewShape(608, 460), ".........................");
    EXPECT_EQ(countShown(null_backend::lastPicture(), {522, 474, 758, 542}, 0), 236 * 68)
        << "no preview, no \"Next Piece\"";
    EXPECT_TRUE(textShown("Score: 0 / Level: 1", 640, 445, rgb(255, 255, 255), 0, {560, 447, 720, 456}));

    start(MODE_DUOFALL);
    showPiecePreview = 1;
    nextPiece = nextPiece2 = makePiece(L_PIECE, 0);
    gameStep();
    EXPECT_EQ(previewShape(320, 60), "........#..###...........");
    EXPECT_EQ(previewShape(416, 60), "........#..###...........");
    EXPECT_EQ(countShown(null_backend::lastPicture(), {522, 474, 758, 542}, 0), 236 * 68)
        << "no text in Duofall";
}

TEST_F(GameStepTest, FourWayPreviewIsTurnedAsThePieceWillLookInItsArm) {
    start(MODE_4WAY);
    const char* expected[4] = {
        "........#..###...........", // arm 0: as dealt
        ".......#....#....##......", // arm 1: a clockwise turn
        "...........###..#........", // arm 2: upside down
        "......##....#....#.......", // arm 3: a counter-clockwise turn
    };
    for (int arm = 0; arm < 4; ++arm) {
        nextPiece = makePiece(L_PIECE, arm);
        gameStep();
        EXPECT_EQ(previewShape(608, 460), expected[arm]) << arm;
    }
}

TEST_F(GameStepTest, FourWayFramesMarkTheCurrentArmAndBlinkTheNextOne) {
    start(MODE_4WAY);
    showCurrentGrid = showGridPreview = 1;
    currentPiece.fieldIndex = 1;
    nextPiece.fieldIndex = 3;
    const std::uint16_t blue = static_cast<std::uint16_t>(packColor(0, 0, 255));
    const struct {
        int blinkBefore;
        bool yellow;
    } frames[] = {{28, false}, {29, true}, {58, true}, {59, false}, {89, false}};
    for (const auto& frame : frames) {
        blinkCount = frame.blinkBefore;
        gameStep();
        EXPECT_EQ(shownAt(641, 300), blue) << "right edge of the right arm";
        EXPECT_EQ(shownAt(158, 300) == YELLOW, frame.yellow) << frame.blinkBefore;
    }
    EXPECT_EQ(blinkCount, 0);
}

TEST_F(GameStepTest, ComboEndsInTheFirstFrameWithNoEffectSounding) {
    start(MODE_CLASSIC);
    combo = bestCombo = 3;
    voices[0].active = 1;
    voices[0].loop = 1;
    gameStep();
    EXPECT_EQ(combo, 3);
    EXPECT_TRUE(textShown("Combo:  3x", 640, 425, rgb(255, 255, 0), 0, {560, 427, 720, 438}));
    voices[0] = SoundRecord{};
    gameStep();
    EXPECT_EQ(combo, 0);
    EXPECT_TRUE(textShown("Best Combo: 3x", 640, 425, rgb(0, 255, 0), 0, {560, 427, 720, 438}));
}

TEST_F(GameStepTest, AnEndedGameFreezesHidesItsPieceAndChecksTheScoresOnce) {
    for (int game = 1; game <= 2; ++game) {
        start(MODE_CLASSIC);
        currentPiece = pieceAboutToLock(I_PIECE, 0, 3, 17);
        nextPiece = makePiece(I_PIECE, 0);
        fields[0].cells[5][1] = 2; // the next piece cannot enter
        gameStep();
        ASSERT_EQ(gameOver, 1);
        for (int frame = 0; frame < 3; ++frame) gameStep();
        EXPECT_EQ(lineCount("debug.txt"), 10 * game) << "ten table rows logged per check";
        EXPECT_EQ(inScoreEntry, 0) << "a total of 0 enters no table";
        for (int c : {3, 4, 6})
            EXPECT_TRUE(squareShows(null_backend::lastPicture(), expectedCellPixel(0, c, 1), bgDirValue(0)));
        EXPECT_EQ(countShown(null_backend::lastPicture(), {368, 372, 384, 380}, blockValue(2)), 16 * 8)
            << "the locked piece stays, below the game-over box and its frame";
        EXPECT_TRUE(textShown("Final Score:  0", 400, 330, rgb(0, 255, 0), 0, {290, 330, 510, 345}));
    }
}

TEST_F(GameStepTest, EscapeRunsOneMenuFrameAndTheRestOfTheGameFrame) {
    start(MODE_CLASSIC);
    setKeyDown(27, true);
    gameStep();
    EXPECT_EQ(inMenu, 1);
    EXPECT_EQ(null_backend::picturesShown(), 2) << "the menu's frame, then the game's";
    EXPECT_EQ(shownAt(10, 10), bg1Value(10, 10)) << "the game's frame is the one left showing";
}

} // namespace
