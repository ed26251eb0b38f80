// The generator, the seven kinds and their turns, dealing and the start of a game.
#include "rules_fixture.h"

namespace crossfall {
namespace {

using namespace testing_rules;

using PiecesTest = RulesTest;
using GameStartTest = RulesTest;

TEST(RandomTest, FollowsTheLinearCongruentialSequence) {
    seedRandom(1);
    EXPECT_EQ(nextRandom(), 41);
    EXPECT_EQ(nextRandom(), 18467);
    EXPECT_EQ(nextRandom(), 6334);
    seedRandom(0xFFFFFFFFu);
    for (int i = 0; i < 1000; ++i) {
        std::int32_t value = nextRandom();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

TEST_F(PiecesTest, EveryKindHasFourBlocksInRowsZeroAndOneAtTheEntry) {
    for (int k = 0; k < PIECE_KINDS; ++k) {
        Piece piece = makePiece(k, 0);
        int blocks = 0;
        for (int i = 0; i < 5; ++i)
            for (int j = 0; j < 5; ++j)
                if (piece.shape[i][j] != 0) {
                    ++blocks;
                    EXPECT_TRUE(j == 1 || j == 2) << "kind " << k;
                }
        EXPECT_EQ(blocks, 4) << "kind " << k;
        EXPECT_FALSE(collides(piece)) << "kind " << k;
    }
}

TEST_F(PiecesTest, FourTurnsEitherWayAndOneTurnEachWayGiveTheShapeBack) {
    for (int k = 0; k < PIECE_KINDS; ++k) {
        const Piece start = makePiece(k, 0);
        Piece piece = start;
        for (int d : {+1, -1}) {
            for (int t = 0; t < 4; ++t) rotatePiece(piece, d);
            EXPECT_TRUE(sameShape(piece, start)) << "kind " << k << " d " << d;
        }
        rotatePiece(piece, +1);
        EXPECT_FALSE(sameShape(piece, start)) << "kind " << k;
        rotatePiece(piece, -1);
        EXPECT_TRUE(sameShape(piece, start)) << "kind " << k;
    }
}

TEST_F(PiecesTest, TheIPieceWalksThroughItsFourPlacementsClockwise) {
    Piece piece = makePiece(1, 0);
    rotatePiece(piece, -1);
    for (int j = 0; j < 4; ++j) EXPECT_NE(piece.shape[2][j], 0);
    rotatePiece(piece, -1);
    for (int i = 1; i < 5; ++i) EXPECT_NE(piece.shape[i][2], 0);
    rotatePiece(piece, -1);
    for (int j = 1; j < 5; ++j) EXPECT_NE(piece.shape[2][j], 0);
}

TEST_F(PiecesTest, DealtPiecesStartWithEveryCounterAtZero) {
    gameMode = MODE_CLASSIC;
    nextPiece.gravityCount = nextPiece.sideRepeat = nextPiece.sideHeld = 7;
    nextPiece.rotateRepeat = nextPiece.dropLock = 7;
    int kindsSeen[PIECE_KINDS] = {};
    for (int n = 0; n < 200; ++n) {
        dealPiece(0);
        ASSERT_EQ(nextPiece.gravityCount + nextPiece.sideRepeat + nextPiece.sideHeld + nextPiece.rotateRepeat +
                      nextPiece.dropLock,
                  0);
        ASSERT_EQ(nextPiece.fieldIndex, 0);
        ASSERT_EQ(nextPiece.x, 3);
        ASSERT_EQ(nextPiece.y, -1);
        ++kindsSeen[nextPiece.kind];
    }
    for (int k = 0; k < PIECE_KINDS; ++k) EXPECT_GT(kindsSeen[k], 0) << "kind " << k;
}

TEST_F(PiecesTest, TheDuofallRightLockDealsOnlyTheRightWaitingPiece) {
    gameMode = MODE_DUOFALL;
    const Piece before = nextPiece;
    dealPiece(5);
    EXPECT_EQ(nextPiece.kind, before.kind);
    EXPECT_EQ(nextPiece.fieldIndex, before.fieldIndex);
    EXPECT_EQ(nextPiece2.fieldIndex, 5);
    dealPiece(4);
    EXPECT_GE(nextPiece.fieldIndex, 0);
    EXPECT_LE(nextPiece.fieldIndex, 3);
}

TEST_F(GameStartTest, TheFirstPieceIsTheOneThePreviewShowed) {
    const int shownKind = nextPiece.kind;
    startGame(MODE_CLASSIC);
    EXPECT_EQ(currentPiece.kind, shownKind);
    EXPECT_EQ(nextPiece.kind, shownKind); // the following piece is dealt only at the first lock
    EXPECT_EQ(currentPiece.x, 3);
    EXPECT_EQ(currentPiece.y, -1);
}

TEST_F(GameStartTest, EveryGameStartsFromZeroClearsItsOwnFieldsAndKeepsTheWalls) {
    const std::string clearedByMode[5] = {"0", "0", "0123", "045", "0"};
    for (int mode = 0; mode < 5; ++mode) {
        score = 4321;
        comboBonuses = 55;
        level = 7;
        combo = 3;
        bestCombo = 4;
        gameOver = 1;
        for (int f = 0; f < FIELD_COUNT; ++f) fillRow(fields[f], 5, 3);
        startGame(mode);
        EXPECT_EQ(score + comboBonuses + combo + bestCombo + gameOver, 0) << "mode " << mode;
        EXPECT_EQ(level, 1);
        for (int f = 0; f < FIELD_COUNT; ++f) {
            bool cleared = clearedByMode[mode].find(static_cast<char>('0' + f)) != std::string::npos;
            EXPECT_EQ(countBlocks(fields[f]), cleared ? 0 : 10) << "mode " << mode << " field " << f;
            for (int c = 0; c < 10; ++c)
                for (int r = 20; r < FIELD_ROWS; ++r) ASSERT_EQ(fields[f].cells[c][r], WALL);
        }
    }
}

TEST_F(GameStartTest, FourWayEntersAtTheTopOfARandomArmAfterAnotherGame) {
    startWith(MODE_CLASSIC, 0);
    frames(300);
    ASSERT_GT(currentPiece.y, 0);
    int armsSeen[4] = {};
    for (int n = 0; n < 40; ++n) {
        startGame(MODE_4WAY);
        EXPECT_EQ(currentPiece.x, 3);
        EXPECT_EQ(currentPiece.y, -1);
        ++armsSeen[currentPiece.fieldIndex];
    }
    for (int arm = 0; arm < 4; ++arm) EXPECT_GT(armsSeen[arm], 0);
}

TEST_F(GameStartTest, TheStartReloadsTheControlsFile) {
    ASSERT_TRUE(writeTextFile("myControls.txt", "65\n66\n67\n"));
    keyLeft = 90;
    startGame(MODE_CLASSIC);
    EXPECT_EQ(keyRotateCCW, 65);
    EXPECT_EQ(keyDrop, 67);
    EXPECT_EQ(keyLeft, 90); // a short file leaves the rest
}

TEST_F(GameStartTest, ObstaclesFillOnlyTheLowerHalfAndFourWaySharesThem) {
    obstacleMode = 1;
    startGame(MODE_CLASSIC);
    int blocks = 0;
    for (int c = 0; c < 10; ++c) {
        for (int r = 0; r < 10; ++r) EXPECT_EQ(fields[0].cells[c][r], EMPTY);
        for (int r = 10; r < 20; ++r) {
            EXPECT_GE(fields[0].cells[c][r], 0);
            EXPECT_LE(fields[0].cells[c][r], 7);
            blocks += fields[0].cells[c][r] != EMPTY ? 1 : 0;
        }
    }
    // 7/16 of 100 cells on average.
    EXPECT_GT(blocks, 20);
    EXPECT_LT(blocks, 70);

    startGame(MODE_4WAY);
    EXPECT_GT(countBlocks(fields[0]), 0);
    EXPECT_TRUE(centresAgree());

    startGame(MODE_DUOFALL);
    EXPECT_GT(countBlocks(fields[4]), 0);
    EXPECT_GT(countBlocks(fields[5]), 0);
    bool differ = false;
    for (int c = 0; c < 10; ++c)
        for (int r = 10; r < 20; ++r) differ |= fields[4].cells[c][r] != fields[5].cells[c][r];
    EXPECT_TRUE(differ);
}

} // namespace
} // namespace crossfall
