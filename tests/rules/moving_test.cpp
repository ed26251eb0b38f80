// The piece tick: gravity, hurry, hard drop, side and rotate repeats, locking and game over.
#include <optional>

#include "rules_fixture.h"

namespace crossfall {
namespace {

using namespace testing_rules;

class PieceStepTest : public RulesTest {
  protected:
    void SetUp() override {
        RulesTest::SetUp();
        startWith(MODE_CLASSIC, 0);
    }
    static void hold(int code) { setKeyDown(code, true); }
    static void let(int code) { setKeyDown(code, false); }
};

TEST_F(PieceStepTest, GravityFallsEveryHundredthTickAndHurryEveryTenth) {
    frames(99);
    EXPECT_EQ(currentPiece.y, -1);
    frame();
    EXPECT_EQ(currentPiece.y, 0);
    frames(100);
    EXPECT_EQ(currentPiece.y, 1);

    hold(keyHurry);
    frames(9);
    EXPECT_EQ(currentPiece.y, 1);
    frame();
    EXPECT_EQ(currentPiece.y, 2);
    frames(10);
    EXPECT_EQ(currentPiece.y, 3);
}

TEST_F(PieceStepTest, MovesLogHasTheCountBeforeEachTick) {
    frames(3);
    EXPECT_EQ(readFile("moves.txt", 1000).value_or(""), "0\r\n1\r\n2\r\n");
}

TEST_F(PieceStepTest, HardDropLocksInTheSameTickAndHeldDropWaitsForTheLockTime) {
    hold(keyDrop);
    frame();
    EXPECT_EQ(countBlocks(fields[0]), 4);
    EXPECT_EQ(fields[0].cells[4][19], 1); // the T's bar lies on the floor
    EXPECT_EQ(score, 10);
    EXPECT_EQ(currentPiece.y, -1);
    EXPECT_EQ(currentPiece.dropLock, 150);

    frames(150);
    EXPECT_EQ(countBlocks(fields[0]), 4);
    frame();
    EXPECT_EQ(countBlocks(fields[0]), 8);

    // Let go for one tick and press again: the next piece drops at once.
    let(keyDrop);
    frame();
    hold(keyDrop);
    frame();
    EXPECT_EQ(countBlocks(fields[0]), 12);
}

TEST_F(PieceStepTest, SideKeyMovesAtOnceThenAfterFortyFiveThenEveryNine) {
    hold(keyLeft);
    frame();
    EXPECT_EQ(currentPiece.x, 2);
    frames(44);
    EXPECT_EQ(currentPiece.x, 2);
    frame();
    EXPECT_EQ(currentPiece.x, 1);
    frames(8);
    EXPECT_EQ(currentPiece.x, 1);
    frame();
    EXPECT_EQ(currentPiece.x, 0);
    frames(9);
    EXPECT_EQ(currentPiece.x, -1); // the T's box may overhang; its blocks stay in column 0
    frames(9);
    EXPECT_EQ(currentPiece.x, -1);
}

TEST_F(PieceStepTest, LeftAndRightTogetherCancelAndTheNextMoveComesNineTicksLater) {
    hold(keyLeft);
    hold(keyRight);
    frame();
    EXPECT_EQ(currentPiece.x, 3);
    EXPECT_EQ(currentPiece.sideRepeat, 9);
    let(keyRight);
    frames(8);
    EXPECT_EQ(currentPiece.x, 3);
    frame();
    EXPECT_EQ(currentPiece.x, 2);
}

TEST_F(PieceStepTest, TheIPieceAtTheTopTurnsOnlyCounterClockwiseAndARefusedTurnStillWaits) {
    startWith(MODE_CLASSIC, 1);
    const Piece flat = currentPiece;
    hold(keyRotateCW);
    frame();
    EXPECT_TRUE(sameShape(currentPiece, flat));
    EXPECT_EQ(currentPiece.rotateRepeat, 50);

    // Switching straight to the other key: the refused turn's timer still holds it back.
    let(keyRotateCW);
    hold(keyRotateCCW);
    frames(49);
    EXPECT_TRUE(sameShape(currentPiece, flat));
    frame();
    Piece turned = flat;
    rotatePiece(turned, +1);
    EXPECT_TRUE(sameShape(currentPiece, turned));
}

TEST_F(PieceStepTest, TurnsRepeatEveryFiftyTicksAndTheSquareNeverTurns) {
    const Piece start = currentPiece;
    hold(keyRotateCCW);
    frame();
    EXPECT_FALSE(sameShape(currentPiece, start));
    frames(49);
    Piece once = start;
    rotatePiece(once, +1);
    EXPECT_TRUE(sameShape(currentPiece, once));
    frame();
    EXPECT_FALSE(sameShape(currentPiece, once));

    startWith(MODE_CLASSIC, KIND_O);
    frame();
    EXPECT_EQ(currentPiece.rotateRepeat, 0);
}

TEST_F(PieceStepTest, TurnsAgainstAWallOrABlockAreRefused) {
    startWith(MODE_CLASSIC, 1);
    currentPiece.y = 5;
    Piece standing = currentPiece;
    rotatePiece(standing, +1);
    currentPiece = standing;
    currentPiece.x = -2; // the standing bar in column 0
    hold(keyRotateCCW);
    frame();
    EXPECT_TRUE(sameShape(currentPiece, standing));

    let(keyRotateCCW);
    frame();
    currentPiece.x = 3;
    fields[0].cells[3][7] = 5; // where the flat bar would lie
    hold(keyRotateCW);
    frame();
    EXPECT_TRUE(sameShape(currentPiece, standing));
    EXPECT_EQ(fields[0].cells[3][7], 5);
}

TEST_F(PieceStepTest, ABlockedEntryEndsTheGameWithoutPoints) {
    fields[0].cells[4][1] = 2;
    currentPiece.x = 6;
    hold(keyDrop);
    frame();
    EXPECT_EQ(gameOver, 1);
    EXPECT_EQ(scoreCheckDone, 0);
    EXPECT_EQ(score, 0);
    frames(5); // nothing runs once the game is over
    EXPECT_EQ(countBlocks(fields[0]), 5);
}

class DuofallStepTest : public PieceStepTest {
  protected:
    void SetUp() override {
        RulesTest::SetUp();
        startWith(MODE_DUOFALL, 0);
        nextPiece2 = makePiece(0, 5);
        currentPiece2 = makePiece(0, 5);
    }
};

TEST_F(DuofallStepTest, BothPiecesFallWithTheLongerDelay) {
    frames(149);
    EXPECT_EQ(currentPiece.y, -1);
    EXPECT_EQ(currentPiece2.y, -1);
    frame();
    EXPECT_EQ(currentPiece.y, 0);
    EXPECT_EQ(currentPiece2.y, 0);
}

TEST_F(DuofallStepTest, TheRightLockRestartsTheLeftGravity) {
    currentPiece.gravityCount = 70;
    currentPiece2.y = 17;
    currentPiece2.gravityCount = 149;
    frame();
    EXPECT_EQ(countBlocks(fields[5]), 4);
    EXPECT_EQ(currentPiece.gravityCount, 0);
    EXPECT_EQ(score, 10);
}

TEST_F(DuofallStepTest, AHardDropPullsTheRightPieceDownEvenWhileItsDropIsLocked) {
    currentPiece2.dropLock = 100;
    currentPiece2.y = 4;
    hold(keyDrop);
    frame();
    EXPECT_EQ(countBlocks(fields[4]), 4);
    EXPECT_EQ(currentPiece2.y, 5);
    EXPECT_EQ(duoDropPending, 0);
}

TEST_F(DuofallStepTest, AHardDropOfAnEarlierGameDoesNotPullTheNewRightPiece) {
    startWith(MODE_CLASSIC, 0);
    hold(keyDrop);
    frame();
    let(keyDrop);
    startWith(MODE_DUOFALL, 0);
    frame();
    EXPECT_EQ(currentPiece2.y, -1);
}

TEST_F(DuofallStepTest, EitherFieldBlockedAtItsEntryEndsTheGame) {
    fields[5].cells[4][1] = 3;
    currentPiece2.x = 6;
    currentPiece2.y = 17;
    currentPiece2.gravityCount = 149;
    frame();
    EXPECT_EQ(gameOver, 1);
    EXPECT_EQ(score, 0);

    startWith(MODE_DUOFALL, 0);
    fields[4].cells[4][1] = 3;
    currentPiece.x = 6;
    currentPiece.y = 17;
    currentPiece.gravityCount = 149;
    hold(keyLeft);
    frame();
    EXPECT_EQ(gameOver, 1);
    // The tick ended at the blocked entry: the new piece neither moved nor got its drop lock.
    EXPECT_EQ(currentPiece.x, 3);
    EXPECT_EQ(currentPiece.dropLock, 0);
}

} // namespace
} // namespace crossfall
