// The game rules driven frame by frame: pieces and their tick, rows and speed, and what each mode adds.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "audio/sound.h"
#include "menus/controls_file.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/video.h"
#include "play/flash_row.h"
#include "rules/game_frame.h"
#include "rules/modes.h"
#include "rules/moving.h"
#include "rules/random.h"
#include "rules/rows.h"

namespace crossfall {

struct RulesTest : ::testing::Test {
    void SetUp() override {
        null_backend::reset();
        initVideo(); // the row flash draws on the front surface
        rulesSeam = {nullptr, nullptr, nullptr, nullptr, flashRow, writeComboLabel};
        releaseAllKeys();
        resetControlsToDefaults();
        for (SoundRecord& voice : voices) voice = SoundRecord{};
        seedRandom(12345);
        gameMode = score = comboBonuses = combo = bestCombo = gameOver = spinCount = 0;
        riseCount = comboLabelTimer = voicesBusy = duoDropPending = obstacleMode = 0;
        level = scoreCheckDone = 1;
        initGameState();
    }

    // The rules' part of one game-step frame: place, step, then the mode timers.
    static void frame(int count = 1) {
        for (int n = 0; n < count && gameOver == 0; ++n) {
            placeFallingPieces();
            stepFallingPieces();
            tickTimeAttackRise();
            tickRubikSpin();
        }
    }

    // Holds or releases the key, runs the ticks and checks the value, for each {ticks, held, expected}.
    static void expectSteps(int key, std::initializer_list<std::array<int, 3>> steps, const int& value) {
        for (const auto& [ticks, held, expected] : steps) {
            setKeyDown(key, held != 0);
            frame(ticks);
            EXPECT_EQ(value, expected) << "after " << ticks << " ticks";
        }
    }

    static int countBlocks(const Field& field) {
        int n = 0;
        for (const auto& column : field.cells) n += PLAY_ROWS - std::count(column, column + PLAY_ROWS, EMPTY);
        return n;
    }

    // True when every 4-Way arm's centre cell (c, r) shows field 0's block drawn at the same screen pixel.
    static bool centresAgree() {
        for (int d = 1; d < 4; ++d)
            for (int c = 0; c < 10; ++c)
                for (int r = 10; r < 20; ++r) {
                    const int col[4] = {c, 19 - r, 9 - c, r - 10}, row[4] = {r, c + 10, 29 - r, 19 - c};
                    if (fields[d].cells[c][r] != fields[0].cells[col[d]][row[d]]) return false;
                }
        return true;
    }

    static void startWith(int mode, int kind) { nextPiece = makePiece(kind, 0), startGame(mode); }
    template <class T> static bool same(const T& a, const T& b) { return !std::memcmp(&a, &b, sizeof a); }
};

TEST(RandomTest, FollowsTheLinearCongruentialSequence) {
    seedRandom(1);
    for (int expected : {41, 18467, 6334}) EXPECT_EQ(nextRandom(), expected);
}

TEST_F(RulesTest, TheSevenKindsEnterWithTheirShapes) {
    // Rows 1 and 2 of the 5 x 5 box for T, I, J, L, O, S and Z; the other rows stay empty.
    const char* const rowsOneAndTwo[] = {"..#...###.", ".....####.", ".#....###.", "...#..###.",
                                         ".##...##..", "..##..##..", ".##....##."};
    for (int kind = 0; kind < PIECE_KINDS; ++kind) {
        std::string box;
        for (int j = 0; j < 5; ++j)
            for (int i = 0; i < 5; ++i) box += makePiece(kind, 0).shape[i][j] != 0 ? '#' : '.';
        EXPECT_EQ(box, std::string(5, '.') + rowsOneAndTwo[kind] + std::string(10, '.')) << kind;
    }
}

TEST_F(RulesTest, EveryStartResetsTheModesFieldsKeepsTheWallsBringsInTheShownPieceAndFillsObstaclesBelow) {
    const char* const clearedByMode[5] = {"0", "0", "0123", "045", "0"};
    for (int n = 0; n < 100; ++n) {
        const int mode = n % 5, shownKind = nextPiece.kind;
        score = comboBonuses = combo = bestCombo = gameOver = level = 7;
        for (Field& field : fields) field.cells[4][5] = 3;
        startGame(mode);
        EXPECT_EQ(std::tuple(score + comboBonuses + combo + bestCombo + gameOver, level, currentPiece.kind),
                  std::tuple(0, 1, shownKind));
        for (int f = 0; f < FIELD_COUNT; ++f) {
            EXPECT_EQ(countBlocks(fields[f]), std::strchr(clearedByMode[mode], '0' + f) ? 0 : 1) << mode << f;
            for (const auto& column : fields[f].cells) EXPECT_EQ(column[20] + column[31], 2 * WALL);
        }
    }
    obstacleMode = 1; // about 7 cells in 16 of the lower half, shared by the 4-Way arms
    startGame(MODE_4WAY);
    EXPECT_TRUE(countBlocks(fields[0]) > 20 && centresAgree());
    startGame(MODE_DUOFALL);
    EXPECT_TRUE(countBlocks(fields[4]) > 20 && countBlocks(fields[5]) > 20);
    for (const auto& column : fields[0].cells) EXPECT_EQ(std::count(column, column + 10, EMPTY), 10);
}

TEST_F(RulesTest, GravityEveryHundredthTickHurryEveryTenthAndAHardDropLocksAtOnceButWaitsForARepress) {
    startWith(MODE_CLASSIC, 0);
    score = 870;
    expectSteps(keyHurry, {{99, 0, -1}, {1, 0, 0}, {9, 1, 0}, {1, 1, 1}}, currentPiece.y);
    EXPECT_EQ(readFile("moves.txt", 1000).value_or("").substr(0, 12), "0\r\n1\r\n2\r\n3\r\n");
    setKeyDown(keyHurry, false);
    // Ten points a lock; 900 gives level 2.
    expectSteps(keyDrop, {{1, 1, 880}, {150, 1, 880}, {1, 1, 890}, {1, 0, 890}, {1, 1, 900}}, score);
    EXPECT_EQ(std::tuple(fields[0].cells[4][19], countBlocks(fields[0]), level), std::tuple(1, 12, 2));
}

TEST_F(RulesTest, BothSideKeysCancelAndAHeldMoveRepeatsAfterFortyFiveThenNineUpToTheWall) {
    startWith(MODE_CLASSIC, 0);
    setKeyDown(keyRight, true);
    expectSteps(keyLeft, {{1, 1, 3}, {0, 0, 3}}, currentPiece.x);
    expectSteps(keyRight,
                {{8, 1, 3}, {1, 1, 4}, {1, 0, 4}, {1, 1, 5}, {44, 1, 5}, {1, 1, 6}, {9, 1, 6}, {0, 0, 6}},
                currentPiece.x);
    expectSteps(keyLeft, {{100, 1, -1}}, currentPiece.x);
}

TEST_F(RulesTest, AtTheTopTheIPieceTurnsOnlyCounterClockwiseARefusedTurnStillWaitsAndTheONeverTurns) {
    startWith(MODE_CLASSIC, 1);
    setKeyDown(keyRotateCW, true);
    frame(); // its top block would be above row 0
    EXPECT_TRUE(same(currentPiece.shape, pieceTemplates[1].shape));
    setKeyDown(keyRotateCW, false);
    expectSteps(keyRotateCCW, {{49, 1, 0}, {1, 1, 1}}, currentPiece.shape[2][4]); // now column 2, rows 1..4
    startWith(MODE_CLASSIC, KIND_O);
    frame();
    EXPECT_TRUE(same(currentPiece.shape, pieceTemplates[KIND_O].shape));
}

TEST_F(RulesTest, ABlockedEntryEndsTheGameWithoutPointsAndOnTheLeftDuofallSideStopsBothPieces) {
    setKeyDown(keyLeft, true);
    for (int f : {0, 5, 4}) {
        startWith(f == 0 ? MODE_CLASSIC : MODE_DUOFALL, 0);
        Piece& piece = f == 5 ? currentPiece2 : currentPiece;
        piece.y = 17; // any kind locks on the floor
        piece.gravityCount = 200;
        fields[f].cells[5][1] = 3; // under every kind as it enters
        if (f == 4) currentPiece2.y = 17, currentPiece2.gravityCount = 200; // never locks once it is over
        frame();
        EXPECT_EQ(std::tuple(gameOver, scoreCheckDone, score), std::tuple(1, 0, 0)) << "field " << f;
        EXPECT_TRUE(f != 4 || currentPiece2.y == 17) << "the right piece stays where the end found it";
    }
    EXPECT_EQ(std::pair(currentPiece.x, currentPiece.dropLock), std::pair(3, 0)); // no move, no drop lock
}

TEST_F(RulesTest, DuofallRightLockDealsOnlyTheRightAndRestartsTheLeftGravityAndAHardDropPullsTheRight) {
    startWith(MODE_DUOFALL, 0);
    nextPiece.dropLock = nextPiece2.dropLock = 7; // a mark a fresh deal would clear
    currentPiece.gravityCount = 70;
    currentPiece2.y = 17;
    currentPiece2.gravityCount = 149;
    frame();
    EXPECT_EQ(std::tuple(countBlocks(fields[5]), currentPiece.gravityCount, score, nextPiece.dropLock,
                         nextPiece2.dropLock),
              std::tuple(4, 0, 10, 7, 0));
    setKeyDown(keyDrop, true); // the new right piece's own drop is locked
    frame();
    EXPECT_EQ(std::pair(countBlocks(fields[4]), currentPiece2.y), std::pair(4, 0));
    startWith(MODE_CLASSIC, 0); // a hard drop there must not reach the next Duofall game
    frame();
    setKeyDown(keyDrop, false);
    startWith(MODE_DUOFALL, 0);
    frame();
    EXPECT_EQ(currentPiece2.y, -1);
}

TEST_F(RulesTest, FullRowsAnywhereGoWithASoundEachAndRemovalsWhileASoundPlaysBuildTheChain) {
    for (int r : {0, 1, 12, 19})
        for (auto& column : fields[0].cells) column[r] = 2;
    fields[0].cells[7][5] = 6;
    fields[0].cells[0][18] = 5;
    clearFullRows(0);
    EXPECT_EQ(std::tuple(fields[0].cells[7][7], fields[0].cells[0][19]), std::tuple(6, 5));
    const auto sounding = std::count_if(voices, voices + VOICE_COUNT, [](auto& v) { return v.active; });
    // With no voice sounding before, a chain starts at 1 and earns nothing.
    EXPECT_EQ(std::tuple(countBlocks(fields[0]), sounding, combo, comboBonuses), std::tuple(2, 4, 1, 0));
    voicesBusy = 1;
    for (int link = 2; link <= 3; ++link) {
        for (auto& column : fields[0].cells) column[10] = column[11] = 1;
        clearFullRows(0);
        EXPECT_EQ(combo, link);
    }
    clearFullRows(0); // no full row: the chain stands
    EXPECT_EQ(std::tuple(comboBonuses, bestCombo, comboLabelTimer), std::tuple(2 + 3, 3, 50));
}

TEST_F(RulesTest, FallDelaysAndModePeriodsFollowModeLevelChainAndGameOver) {
    // {mode, level, combo, gameOver, delay}: long chains slow levels 6 up; a game over drops the mode's part.
    const int cases[][5] = {{0, 8, 0, 0, 15}, {0, 9, 0, 0, 8},  {1, 9, 0, 0, 12}, {4, 7, 0, 0, 25},
                            {2, 6, 0, 0, 44}, {2, 8, 0, 0, 25}, {2, 9, 0, 0, 21}, {3, 2, 0, 0, 140},
                            {0, 9, 4, 0, 12}, {0, 5, 4, 0, 50}, {2, 9, 0, 1, 12}, {3, 6, 3, 0, 93}};
    for (const auto& [mode, lvl, chain, over, delay] : cases) {
        gameMode = mode, level = lvl, combo = chain, gameOver = over;
        EXPECT_EQ(currentFallDelay(), delay) << mode << "/" << lvl << "/" << chain << "/" << over;
    }
    for (auto [lvl, spin, rise] : {std::array{1, 2300, 2320}, {9, 700, 880}}) { // the Rubik spin and Time Attack rise
        level = lvl;
        EXPECT_EQ(std::pair(spinPeriod(), risePeriod()), std::pair(spin, rise)) << lvl;
    }
    // Each level from its score on, not a point before; the level never falls back.
    const int thresholds[] = {200, 900, 1500, 2500, 3150, 3600, 4000, 4300, 4900};
    for (int d = 1; d < 9; ++d)
        for (auto [points, expected] : {std::pair{thresholds[d] - 1, d}, {thresholds[d], d + 1}}) {
            level = 1, score = points;
            updateLevel();
            EXPECT_EQ(level, expected) << points;
        }
    level = 1, score = 199;
    updateLevel();
    EXPECT_EQ(level, 1);
}

TEST(FrameInput, AReplayedFrameHoldsExactlyTheRecordedCodesAndNothingOutside) {
    frameInput = FrameInput{true, {}, 0};
    for (int code : {0, 7, 8, 255}) frameInput.held[code >> 3] |= std::uint8_t(1 << (code & 7));
    for (auto [code, held] : {std::pair{-1, false}, {0, true}, {1, false}, {7, true}, {8, true}, {9, false},
                              {254, false}, {255, true}, {256, false}})
        EXPECT_EQ(frameKeyHeld(code), held) << code;
    frameInput = FrameInput{};
}

TEST_F(RulesTest, AFullCentreColumnIsRemovedThroughTheNeighbourArmButTheOppositeArmIsLeft) {
    startWith(MODE_4WAY, 0);
    currentPiece.fieldIndex = 0;
    for (int r = 11; r < 20; ++r) fields[0].cells[5][r] = 4;
    shareCentre(0);
    fields[1].cells[3][9] = 7;                          // arm 1's own strip, next to the centre
    for (auto& column : fields[2].cells) column[3] = 5; // a full row of the opposite arm's strip
    setKeyDown(keyDrop, true);
    frame(); // the T's bar lands on row 10, closing column 5
    // Arm 0 keeps the T's stem, its left block, its right block moved into column 5, and the 7.
    EXPECT_EQ(std::tuple(centresAgree(), countBlocks(fields[0]), fields[0].cells[5][10],
                         fields[1].cells[3][10], fields[2].cells[9][3]),
              std::tuple(true, 4, 1, 7, 5));
}

TEST_F(RulesTest, FourWayPiecesTakeAFreeArmLocksEarnLessAsArmsCloseAndNoFreeArmEndsTheGame) {
    startWith(MODE_4WAY, 0);
    fields[0].cells[5][0] = fields[1].cells[5][0] = 2;
    chooseNextArm(); // two arms blocked
    addLockPoints();
    fields[3].cells[5][0] = 2;
    Piece piece = makePiece(0, 3);
    enterFreeArm(piece); // wraps past arm 0 once
    nextPiece.fieldIndex = 0;
    chooseNextArm(); // three arms blocked
    addLockPoints();
    EXPECT_EQ(std::tuple(piece.fieldIndex, nextPiece.fieldIndex, score), std::tuple(2, 2, 10 + 2));
    fields[2].cells[5][0] = 2;
    enterFreeArm(piece);
    EXPECT_EQ(gameOver, 1);
    gameOver = 0;
    chooseNextArm();
    EXPECT_EQ(std::pair(gameOver, scoreCheckDone), std::pair(1, 0));
    EXPECT_EQ(readFile("debug.txt", 1000).value_or(""), "Exited due to game over...\r\n");
}

TEST_F(RulesTest, EachFourWayArmMovesTheWayItsArrowAndAdvancedControlsTurnTheArrowsForThatGameOnly) {
    startWith(MODE_4WAY, 0);
    keyUp = 38;
    keyDown = 40;
    for (int arm = 0; arm < 4; ++arm) {
        currentPiece = makePiece(0, arm);
        expectSteps(37 + arm, {{1, 1, 2}, {0, 0, 2}}, currentPiece.x); // Left, Up, Right, Down
    }
    ASSERT_TRUE(writeTextFile("myControls.txt", "162\n163\n38\n40\n37\n39\n37\n39\n1\n"));
    loadControls();
    startWith(MODE_4WAY, 0);
    currentPiece.fieldIndex = 1;
    Piece turned = currentPiece;
    rotatePiece(turned, +1);
    expectSteps(39, {{1, 1, 3}, {0, 0, 3}}, currentPiece.x); // Right turns counter-clockwise in arm 1
    EXPECT_TRUE(same(currentPiece.shape, turned.shape));
    const PieceKeys keys = keysForPiece(currentPiece);
    EXPECT_EQ(std::pair(keys.hurry, keys.drop), std::pair(17, 32));
    expectSteps(38, {{1, 1, 2}}, currentPiece.x); // Up moves toward column 0
    // With no file to read back, the next game still has the player's own bindings.
    std::remove("myControls.txt");
    loadControls();
    startWith(MODE_CLASSIC, 0);
    expectSteps(38, {{1, 1, 3}, {0, 0, 3}}, currentPiece.x);
    EXPECT_TRUE(same(keyBindings, {162, 163, 38, 40, 37, 39, 37, 39}));
}

TEST_F(RulesTest, ADueRubikSpinWaitsForTheFallingPieceThenTurnsAFullColumnIntoARemovedRow) {
    startWith(MODE_RUBIK, 0);
    currentPiece.y = 9;         // the T's bar on row 11, columns 4..6
    fields[0].cells[1][14] = 5; // turns to (5, 11)
    const Field before = fields[0];
    spinCount = spinPeriod() - 1;
    frame(2);
    EXPECT_EQ(std::pair(spinCount, same(before.cells, fields[0].cells)), std::pair(spinPeriod() + 1, true));
    currentPiece.y = -1;
    fields[0].cells[1][14] = EMPTY;
    for (int r = 10; r < 20; ++r) fields[0].cells[2][r] = 3;
    fields[0].cells[0][19] = 6; // the square's bottom-left turns to its top-left
    frame();
    EXPECT_EQ(std::tuple(spinCount, countBlocks(fields[0]), fields[0].cells[0][11]), std::tuple(0, 1, 6));
}

TEST_F(RulesTest, ARiseLiftsEverythingAndThePieceOrEndsTheGameWithTheFieldKept) {
    // Row 0 holds a block; the entering T cannot be lifted clear; a rise that fits.
    for (int n : {0, 1, 2}) {
        startWith(MODE_TIME, 0);
        riseCount = risePeriod() - 1;
        fields[0].cells[9][0] = n == 0;
        fields[0].cells[4][2] = n == 1 ? 5 : EMPTY; // under the entering T's bar
        fields[0].cells[5][19] = 4;
        currentPiece.y = n == 2 ? 16 : -1; // then the T's bar rests on that block
        frame();
        EXPECT_EQ(std::tuple(gameOver, currentPiece.y, fields[0].cells[5][18], fields[0].cells[5][19]),
                  n < 2 ? std::tuple(1, -1, 0, 4) : std::tuple(0, 15, 4, 0));
    }
}

} // namespace crossfall
