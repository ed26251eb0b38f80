// The generator, turns and dealing, and the start of a game.
#include <string>

#include "rules_fixture.h"

namespace crossfall {
namespace {

using namespace testing_rules;

using PiecesTest = RulesTest;

TEST(RandomTest, FollowsTheLinearCongruentialSequence) {
    seedRandom(1);
    EXPECT_EQ(nextRandom(), 41);
    EXPECT_EQ(nextRandom(), 18467);
    EXPECT_EQ(nextRandom(), 6334);
}

TEST_F(PiecesTest, FourTurnsEitherWayOrOneEachWayGiveTheShapeBack) {
    for (int k = 0; k < PIECE_KINDS; ++k) {
        const Piece start = makePiece(k, 0);
        Piece piece = start;
        for (int d : {+1, -1}) {
            for (int t = 0; t < 4; ++t) rotatePiece(piece, d);
            EXPECT_TRUE(sameShape(piece, start)) << "kind " << k;
        }
        rotatePiece(piece, +1);
        EXPECT_FALSE(sameShape(piece, start)) << "kind " << k;
        rotatePiece(piece, -1);
        EXPECT_TRUE(sameShape(piece, start)) << "kind " << k;
    }
}

TEST_F(PiecesTest, DealtPiecesAreFreshAtTheEntryAndTheRightLockDealsOnlyTheRightPiece) {
    nextPiece.gravityCount = nextPiece.sideRepeat = nextPiece.rotateRepeat = nextPiece.dropLock = 7;
    dealPiece(0);
    EXPECT_EQ(nextPiece.gravityCount + nextPiece.sideRepeat + nextPiece.rotateRepeat + nextPiece.dropLock, 0);
    EXPECT_EQ(nextPiece.fieldIndex, 0);
    EXPECT_EQ(nextPiece.y, -1);
    const Piece left = nextPiece;
    gameMode = MODE_DUOFALL;
    dealPiece(5);
    EXPECT_EQ(nextPiece.kind, left.kind);
    EXPECT_EQ(nextPiece2.fieldIndex, 5);
}

TEST_F(PiecesTest, EveryStartZeroesTheCountersClearsTheModesFieldsAndKeepsTheWalls) {
    const std::string clearedByMode[5] = {"0", "0", "0123", "045", "0"};
    for (int mode = 0; mode < 5; ++mode) {
        score = comboBonuses = combo = bestCombo = gameOver = level = 7;
        for (Field& field : fields) fillRow(field, 5, 3);
        const int shownKind = nextPiece.kind;
        startGame(mode);
        EXPECT_EQ(score + comboBonuses + combo + bestCombo + gameOver, 0) << "mode " << mode;
        EXPECT_EQ(level, 1);
        EXPECT_EQ(currentPiece.kind, shownKind);
        for (int f = 0; f < FIELD_COUNT; ++f) {
            bool cleared = clearedByMode[mode].find(static_cast<char>('0' + f)) != std::string::npos;
            EXPECT_EQ(countBlocks(fields[f]), cleared ? 0 : 10) << "mode " << mode << " field " << f;
            for (int c = 0; c < 10; ++c) EXPECT_EQ(fields[f].cells[c][20] + fields[f].cells[c][31], 2 * WALL);
        }
    }
}

TEST_F(PiecesTest, FourWayEntersAtTheTopOfARandomArmAfterAnotherGame) {
    startWith(MODE_CLASSIC, 0);
    frame(300);
    int armsSeen[4] = {};
    for (int n = 0; n < 40; ++n) {
        startGame(MODE_4WAY);
        EXPECT_EQ(currentPiece.x * 10 + currentPiece.y, 29);
        ++armsSeen[currentPiece.fieldIndex];
    }
    for (int seen : armsSeen) EXPECT_GT(seen, 0);
}

TEST_F(PiecesTest, ObstaclesFillOnlyTheLowerHalfAndFourWaySharesThem) {
    obstacleMode = 1;
    startGame(MODE_CLASSIC);
    int lower = 0;
    for (const auto& column : fields[0].cells)
        for (int r = 10; r < 20; ++r) lower += column[r] != EMPTY;
    EXPECT_EQ(countBlocks(fields[0]), lower);
    EXPECT_GT(lower, 20); // 7/16 of 100 cells on average
    EXPECT_LT(lower, 70);
    startGame(MODE_4WAY);
    EXPECT_GT(countBlocks(fields[0]), 0);
    EXPECT_TRUE(centresAgree());
}

} // namespace
} // namespace crossfall
