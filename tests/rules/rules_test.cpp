// The game rules driven frame by frame: pieces and their tick, rows and speed, and what each mode adds.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <utility>

#include "audio/sound.h"
#include "menus/controls_file.h"
#include "platform/input.h"
#include "rules/bindings.h"
#include "rules/game_frame.h"
#include "rules/game_snapshot.h"
#include "rules/modes.h"
#include "rules/moving.h"
#include "rules/random.h"
#include "rules/rows.h"
#include "support/picture.h"

namespace crossfall {

struct RulesTest : ::testing::Test {
    void SetUp() override {
        releaseAllKeys();
        resetControlsToDefaults();
        seedRandom(12345);
        combo = comboBonuses = bestCombo = voicesBusy = comboLabelTimer = obstacleMode = gameOver = 0;
        scoreCheckDone = 1; // the rest is set by each test or its game start
        rulesSeam = RulesSeam{};
        rulesSeam.levelMusic = setLevelMusic; // the music follows the level only through the seam
        initGameState();
    }

    static void frame(int count = 1) {
        for (int n = 0; n < count; ++n) runGameFrame();
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
        for (const auto& column : field.cells) n += PLAY_ROWS - std::count(column.begin(), column.begin() + PLAY_ROWS, EMPTY);
        return n;
    }

    static void startWith(int mode, int kind) { nextPiece = makePiece(kind, 0), startGame(mode); }
    template <class T> static bool same(const T& a, const T& b) { return !std::memcmp(&a, &b, sizeof a); }
};

// "Resume" before any game plays on what start-up left; only a fresh process still holds that state.
TEST(StartUpState, AGameResumedBeforeAnyStartIsClassicAtLevelOneAndItsFirstRemovalStartsAChain) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            initGameState();
            for (auto& column : fields[0].cells) column[19] = 2;
            clearFullRows(0);
            const auto state = std::tuple(RulesTest::same(currentPiece, makePiece(0, 0)), nextPiece.fieldIndex,
                                          nextPiece2.fieldIndex, gameMode, score, comboBonuses, level, combo,
                                          bestCombo, gameOver, blinkCount, comboLabelTimer, obstacleMode);
            std::exit(state == std::tuple(true, 0, 5, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0) ? 0 : 1); // the T waits on top
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(RulesTest, EveryStartResetsTheModesFieldsAndCountersBringsInTheShownPieceInItsFieldAndFillsObstacles) {
    const char* const clearedByMode[5] = {"0", "0", "0123", "045", "0"};
    for (int n = 0; n < 100; ++n) {
        const int mode = n % 5, shownKind = nextPiece.kind;
        score = comboBonuses = combo = bestCombo = gameOver = level = spinCount = riseCount = 7;
        nextPiece.fieldIndex = 3; // as a 4-Way deal leaves it
        for (Field& field : fields) field.cells[4][5] = 3;
        startGame(mode);
        const int modeCount = mode == MODE_RUBIK ? spinCount : mode == MODE_TIME ? riseCount : 0;
        const bool ownFields = mode == MODE_4WAY || mode == MODE_DUOFALL; // 4-Way: the first arm is drawn
        EXPECT_EQ(std::tuple(score + comboBonuses + combo + bestCombo + gameOver + modeCount, level,
                             currentPiece.kind, mode == MODE_4WAY ? 0 : currentPiece.fieldIndex,
                             nextPiece.fieldIndex),
                  std::tuple(0, 1, shownKind, mode == MODE_DUOFALL ? 4 : 0, ownFields ? 3 : 0));
        for (int f = 0; f < FIELD_COUNT; ++f)
            EXPECT_EQ(countBlocks(fields[f]), std::strchr(clearedByMode[mode], '0' + f) ? 0 : 1) << mode << f;
    }
    obstacleMode = 1; // Duofall draws each field's own, the left one first
    Field left = fields[4], right = fields[5];
    for (Field* f : {&left, &right}) clearField(*f);
    seedRandom(99);
    fillObstacles(left);
    fillObstacles(right);
    seedRandom(99);
    startGame(MODE_DUOFALL);
    EXPECT_TRUE(countBlocks(fields[4]) > 20 && same(fields[4], left) && same(fields[5], right));
}

TEST_F(RulesTest, GravityHurryAndSideKeysKeepTheirTicksAndAHardDropLocksAtOnceButWaitsForARepress) {
    musicSound.buffer = std::make_shared<SampleBuffer>();
    musicSound.baseFrequency = 20000;
    startWith(MODE_CLASSIC, 0);
    score = 870; // ten points a lock; 900 gives level 2, and the music 10 % faster
    expectSteps(keyHurry, {{99, 0, -1}, {1, 0, 0}, {9, 1, 0}, {1, 1, 1}, {0, 0, 1}}, currentPiece.y);
    // Both side keys cancel; a held one repeats after 45, then every 9 ticks, up to the wall.
    setKeyDown(keyRight, true);
    expectSteps(keyLeft, {{1, 1, 3}, {0, 0, 3}}, currentPiece.x);
    expectSteps(keyRight,
                {{8, 1, 3}, {1, 1, 4}, {1, 0, 4}, {1, 1, 5}, {44, 1, 5}, {1, 1, 6}, {9, 1, 6}, {0, 0, 6}},
                currentPiece.x);
    expectSteps(keyLeft, {{100, 1, -1}, {0, 0, -1}}, currentPiece.x);
    expectSteps(keyDrop, {{1, 1, 880}, {150, 1, 880}, {1, 1, 890}, {1, 0, 890}, {1, 1, 900}}, score);
    EXPECT_EQ(std::tuple(fields[0].cells[0][19], countBlocks(fields[0]), level, musicSound.frequency),
              std::tuple(1, 12, 2, 22000u));
    musicSound = SoundRecord{};
}

TEST_F(RulesTest, AtTheTopTheIPieceTurnsOnlyCounterClockwiseAndARefusedTurnStillWaits) {
    startWith(MODE_CLASSIC, 1);
    expectSteps(keyRotateCW, {{1, 1, 1}, {0, 0, 1}}, currentPiece.shape[0][2]);   // refused: above row 0
    expectSteps(keyRotateCCW, {{49, 1, 0}, {1, 1, 1}}, currentPiece.shape[2][4]); // now column 2, rows 1..4
    expectSteps(keyRotateCCW, {{49, 1, 0}, {1, 1, 1}}, currentPiece.shape[4][2]); // then row 2, columns 1..4
    expectSteps(keyDrop, {{1, 1, 2}}, fields[0].cells[7][19]); // its block in the box's last column too
    Piece below = makePiece(1, 0); // the bar lies in its box's third row
    below.y = FIELD_ROWS - 2;
    EXPECT_TRUE(collides(below) && collides(makePiece(1, FIELD_COUNT))) << "past the last wall row, or no field";
    const auto before = fields;
    placePiece(makePiece(1, FIELD_COUNT));
    erasePiece(makePiece(1, -1));
    EXPECT_TRUE(same(before, fields)) << "a piece in no field writes nowhere";
    // A piece written over the floor changes only its play rows: the walls stay.
    below.y = PLAY_ROWS - 2;
    placePiece(below);
    erasePiece(below);
    EXPECT_EQ(std::tuple(fields[0].cells[0][PLAY_ROWS - 1], fields[0].cells[0][PLAY_ROWS], fields[0].cells[3][PLAY_ROWS]),
              std::tuple(EMPTY, WALL, WALL));
}

TEST_F(RulesTest, ABlockedEntryEndsTheGameWithoutPointsAndOnTheLeftDuofallSideStopsBothPieces) {
    setKeyDown(keyLeft, true);
    for (int f : {0, 5, 4}) {
        startWith(f == 0 ? MODE_CLASSIC : MODE_DUOFALL, 0);
        Piece& piece = f == 5 ? currentPiece2 : currentPiece;
        piece.y = 17; // any kind locks on the floor
        piece.gravityCount = 200;
        fields[f].cells[5][1] = 3;                                          // under every kind as it enters
        if (f == 4) currentPiece2.y = 17, currentPiece2.gravityCount = 200; // never locks once it is over
        frame();
        EXPECT_EQ(std::tuple(f, gameOver, scoreCheckDone, score, currentPiece.gravityCount),
                  std::tuple(f, 1, 0, 0, 0)); // and the left piece's gravity restarts, whichever locked
        EXPECT_TRUE(f != 4 || currentPiece2.y == 17) << "the right piece stays where the end found it";
    }
    EXPECT_EQ(std::pair(currentPiece.x, currentPiece.dropLock), std::pair(3, 0)); // no move, no drop lock
}

TEST_F(RulesTest, ADuofallHardDropOnTheLeftPullsTheRightPieceOneRowOnceEvenWhileItsOwnDropWaits) {
    startWith(MODE_DUOFALL, 0);
    const int top = currentPiece2.y;
    currentPiece2.dropLock = 5;
    setKeyDown(keyDrop, true);
    frame(); // left drops and locks; right, still locked out, is pulled
    frame(); // left now waits too: no second pull
    EXPECT_EQ(std::tuple(countBlocks(fields[4]), currentPiece2.y, duoDropPending), std::tuple(4, top + 1, 0));
    setKeyDown(keyDrop, false);
    frame();
    setKeyDown(keyDrop, true);
    currentPiece.dropLock = 5; // the right piece's drop pulls nothing on the left
    const int leftTop = currentPiece.y;
    frame();
    EXPECT_EQ(std::tuple(countBlocks(fields[5]), currentPiece.y), std::tuple(4, leftTop));
}

TEST_F(RulesTest, FullRowsAnywhereGoAndRemovalsWhileASoundPlaysBuildTheChain) {
    for (int r : {0, 1, 12, 19})
        for (auto& column : fields[0].cells) column[r] = 2;
    fields[0].cells[7][5] = 6;
    fields[0].cells[0][18] = 5;
    for (int link = 1; link <= 3; ++link) {
        clearFullRows(0); // with no voice sounding before, a chain starts at 1 and earns nothing
        EXPECT_EQ(std::tuple(countBlocks(fields[0]), fields[0].cells[7][7], fields[0].cells[0][19], combo),
                  std::tuple(2, 6, 5, link));
        voicesBusy = 1;
        for (auto& column : fields[0].cells) column[0] = column[1] = 1;
    }
    EXPECT_EQ(std::tuple(comboBonuses, bestCombo, comboLabelTimer), std::tuple(2 + 3, 3, 50));
    // A live frame's sweep: while a voice sounds the chain goes on; once none does, it ends.
    startWith(MODE_CLASSIC, 0);
    combo = 3;
    for (const int sounding : {1, 0}) {
        voices[0] = SoundRecord{};
        voices[0].active = voices[0].loop = sounding;
        frame();
        EXPECT_EQ(std::pair(frameInput.voicesBusy, combo), std::pair(sounding, sounding != 0 ? 3 : 0));
    }
}

TEST_F(RulesTest, FallDelaysAndModePeriodsFollowModeLevelChainAndGameOver) {
    // Ticks per row at levels 1..9 without a chain, by mode: Classic, Rubik's, 4-Way, Duofall, Time Attack.
    const int delays[5][9] = {{100, 90, 75, 60, 50, 40, 25, 15, 8},
                              {100, 90, 75, 60, 50, 40, 25, 15, 12},
                              {100, 90, 75, 60, 50, 44, 30, 25, 21},
                              {150, 140, 125, 110, 100, 90, 75, 65, 62},
                              {100, 90, 75, 60, 50, 40, 25, 15, 12}};
    const int spins[9] = {2300, 2100, 1900, 1700, 1500, 1300, 1100, 900, 700};
    const int rises[9] = {2320, 2140, 1960, 1780, 1600, 1420, 1240, 1060, 880};
    for (int mode = 0; mode < 5; ++mode)
        for (level = 1, gameMode = mode; level <= MAX_LEVEL; ++level)
            EXPECT_EQ(std::tuple(currentFallDelay(), spinPeriod(), risePeriod()),
                      std::tuple(delays[mode][level - 1], spins[level - 1], rises[level - 1]))
                << mode << level;
    // {mode, level, combo, over, delay}: chains of 3 up slow levels 6 up; game over drops the mode's part.
    const int cases[][5] = {{0, 9, 4, 0, 12}, {0, 5, 4, 0, 50}, {0, 6, 2, 0, 40}, {3, 6, 3, 0, 93},
                            {2, 9, 0, 1, 12}, {3, 2, 0, 1, 90}, {2, 5, 3, 0, 50}};
    for (const auto& [mode, lvl, chain, over, delay] : cases) {
        gameMode = mode, level = lvl, combo = chain, gameOver = over;
        EXPECT_EQ(currentFallDelay(), delay) << mode << "/" << lvl << "/" << chain << "/" << over;
    }
    // Each level from its score on, not a point before; the level never falls back.
    const int thresholds[] = {200, 900, 1500, 2500, 3150, 3600, 4000, 4300, 4900};
    for (int d = 1; d < 9; ++d)
        for (auto [points, expected] : {std::pair{thresholds[d] - 1, d}, {thresholds[d], d + 1}}) {
            level = 1, score = points;
            updateLevel();
            EXPECT_EQ(level, expected) << points;
        }
}

TEST(FrameInput, AReplayedFrameHoldsExactlyTheRecordedCodesAndNothingOutside) {
    frameInput = FrameInput{true, {}, 0};
    const int recorded[] = {0, 7, 8, 255};
    for (int code : recorded) frameInput.held[code >> 3] |= std::uint8_t(1 << (code & 7));
    for (int code = -1; code <= 256; ++code)
        EXPECT_EQ(frameKeyHeld(code), std::count(recorded, recorded + 4, code) == 1) << code;
    frameInput = FrameInput{};
}

TEST_F(RulesTest, FourWayArmsTakeTheKeysAsSeenFromTheirEdgesAndTheNextFreeArmAndPayLessAsTheyClose) {
    // {left, right, counter-clockwise, clockwise, hurry, drop} by arm, bindings 1..8 in file order, plain
    // then advanced. Other modes, and a piece outside the four arms, keep the bindings as they are.
    const PieceKeys byArm[2][4] = {
        {{5, 6, 1, 2, 4, 3}, {7, 8, 1, 2, 4, 3}, {6, 5, 1, 2, 4, 3}, {8, 7, 1, 2, 4, 3}},
        {{37, 39, 38, 40, 4, 3}, {38, 40, 39, 37, 4, 3}, {39, 37, 40, 38, 4, 3}, {40, 38, 37, 39, 4, 3}}};
    std::iota(keyBindings, keyBindings + 8, 1);
    for (int mode : {MODE_CLASSIC, MODE_4WAY})
        for (advanced4Way = 0, gameMode = mode; advanced4Way < 2; ++advanced4Way)
            for (int arm = 0; arm <= 4; ++arm) {
                const bool turned = mode == MODE_4WAY && arm < 4;
                const PieceKeys& want = turned ? byArm[advanced4Way][arm] : byArm[0][0];
                EXPECT_TRUE(same(keysForPiece(makePiece(0, arm)), want)) << mode << advanced4Way << arm;
            }
    // Advanced controls (still on) move Hurry and Drop off the arrows to Control and Space, pads alike.
    for (auto [bound, hurry, drop] : {std::array{36, 36, 36}, {37, 17, 32}, {40, 17, 32}, {41, 41, 41}}) {
        keyHurry = keyDrop = bound;
        const PieceKeys key = keysForPiece(makePiece(0, 2));
        const PadPlayKeys pad = padKeysForPlay();
        EXPECT_EQ(std::tuple(key.hurry, key.drop, pad.hurry, pad.drop), std::tuple(hurry, drop, hurry, drop));
    }
    // Entering pieces take the next free arm; locks earn less as arms close; no free arm ends the game.
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
    EXPECT_EQ(std::pair(gameOver, scoreCheckDone), std::pair(1, 0));
}

TEST_F(RulesTest, ADueRubikSpinWaitsForTheFallingPieceThenTurnsAFullColumnIntoARemovedRow) {
    startWith(MODE_RUBIK, 0);
    currentPiece.y = 9;                                 // the T's bar on row 11, columns 4..6
    fields[0].cells[1][14] = fields[0].cells[3][9] = 5; // turns to (5, 11); the upper half never turns
    const Field before = fields[0], unused = fields[1];
    spinCount = spinPeriod() - 1;
    frame(2);
    EXPECT_EQ(std::pair(spinCount, same(before.cells, fields[0].cells)), std::pair(spinPeriod() + 1, true));
    currentPiece.y = -1;
    fields[0].cells[1][14] = EMPTY;
    for (int r = 10; r < 20; ++r) fields[0].cells[2][r] = 3;
    fields[0].cells[0][19] = 6; // the square's bottom-left turns to its top-left
    frame();
    EXPECT_EQ(std::tuple(spinCount, countBlocks(fields[0]), fields[0].cells[0][11], same(unused, fields[1])),
              std::tuple(0, 2, 6, true)); // a spin touches field 0 only
}

TEST_F(RulesTest, ARiseLiftsEverythingAndThePieceOrEndsTheGameWithTheFieldKept) {
    // Row 0 holds a block; the entering T cannot be lifted clear; the T one row lower is lifted back.
    for (int n : {0, 1, 2}) {
        startWith(MODE_TIME, 0);
        riseCount = risePeriod() - 1;
        fields[0].cells[9][0] = n == 0;
        fields[0].cells[4][n == 1 ? 2 : 3] = n == 0 ? EMPTY : 5; // just under the T's bar
        fields[0].cells[5][19] = 4;
        currentPiece.y = n == 2 ? 0 : -1; // the empty top row of its box is above the field
        const Field unused = fields[1];
        frame();
        EXPECT_EQ(std::tuple(gameOver, currentPiece.y, fields[0].cells[5][18], fields[0].cells[5][19],
                             same(unused, fields[1])), // a rise touches field 0 only
                  n < 2 ? std::tuple(1, -1, 0, 4, true) : std::tuple(0, -1, 4, 0, true));
    }
}

// Every value goes into a snapshot and comes back: each set to a value of its own, taken, overwritten, put
// back.
TEST_F(RulesTest, ASnapshotPutsBackEveryValueItTook) {
    std::int32_t* const values[] = {&gameMode,
                                    &score,
                                    &comboBonuses,
                                    &level,
                                    &combo,
                                    &bestCombo,
                                    &gameOver,
                                    &scoreCheckDone,
                                    &spinCount,
                                    &riseCount,
                                    &blinkCount,
                                    &comboLabelTimer,
                                    &voicesBusy,
                                    &duoDropPending,
                                    &obstacleMode,
                                    &advanced4Way,
                                    &keyBindings[0],
                                    &keyBindings[7],
                                    &comboLabelPoints[1].y,
                                    &currentPiece.x,
                                    &currentPiece2.y,
                                    &nextPiece.kind,
                                    &nextPiece2.dropLock,
                                    &directionProbes[3].fieldIndex,
                                    &fields[5].cells[9][19],
                                    &frameInput.voicesBusy};
    const auto fill = [&values](std::int32_t from) {
        for (std::int32_t* v : values) *v = from++;
        randomState = static_cast<std::uint32_t>(from);
        frameInput.held[31] = static_cast<std::uint8_t>(from);
    };
    fill(100);
    const GameSnapshot kept = takeSnapshot();
    fill(500);
    restoreSnapshot(kept);
    std::int32_t want = 100;
    for (std::int32_t* v : values) EXPECT_EQ(*v, want++);
    EXPECT_EQ(std::pair(randomState, int{frameInput.held[31]}), std::pair(std::uint32_t(want), want));
}

// A snapshot puts back every value a frame reads: two games played by turns, each a frame at a time on
// its own snapshot, end exactly as each played alone. Each game is a different mode, so a value one of
// them leaves behind shows in the other.
TEST_F(RulesTest, GamesPlayedByTurnsOnTheirOwnSnapshotsEndAsEachPlayedAlone) {
    // Each game: its mode, start, held keys by frame, and (for the second) other bindings and switches.
    const auto start = [](int mode, std::uint32_t seed, bool obstacles) {
        seedRandom(seed);
        initGameState(); // the first waiting piece drawn from the seed
        // What a start leaves as the last game had it, so that each game starts alike alone or by turns.
        combo = bestCombo = voicesBusy = comboLabelTimer = spinCount = riseCount = duoDropPending = gameOver =
            0;
        scoreCheckDone = 1;
        currentPiece2 = Piece{};
        std::fill(std::begin(directionProbes), std::end(directionProbes), Piece{});
        comboLabelPoints[0] = comboLabelPoints[1] = ScreenPoint{};
        obstacleMode = obstacles ? 1 : 0;
        advanced4Way = mode == MODE_4WAY ? 1 : 0;
        keyBindings[4] = mode == MODE_TIME ? 'J' : VK_LEFT;
        startGame(mode);
        frameInput = FrameInput{true, {}, 0};
    };
    const auto frame = [](int n) {
        frameInput.held = {};
        for (const int code : {VK_LEFT, VK_RIGHT, int{'J'}, VK_CONTROL, VK_SPACE, 9})
            if ((n / 7 + code) % 3 == 0)
                frameInput.held[code >> 3] |= static_cast<std::uint8_t>(1 << (code & 7));
        frameInput.voicesBusy = n / 40 % 2;
        runGameFrame();
    };
    struct Game {
        int mode;
        std::uint32_t seed;
        bool obstacles;
        std::uint64_t digest = 0;
        GameSnapshot end{};
    };
    Game games[] = {
        {MODE_TIME, 5, true}, {MODE_RUBIK, 6, false}, {MODE_4WAY, 7, true}, {MODE_DUOFALL, 8, false}};
    constexpr int FRAMES = 1500;
    for (Game& g : games) {
        start(g.mode, g.seed, g.obstacles);
        for (int n = 0; n < FRAMES; ++n) frame(n);
        g.digest = gameStateDigest();
        g.end = takeSnapshot();
    }
    for (std::size_t a = 0; a < std::size(games); ++a) {
        Game& first = games[a];
        Game& second = games[(a + 1) % std::size(games)];
        start(first.mode, first.seed, first.obstacles);
        GameSnapshot one = takeSnapshot();
        start(second.mode, second.seed, second.obstacles);
        GameSnapshot two = takeSnapshot();
        for (int n = 0; n < FRAMES; ++n) {
            restoreSnapshot(one);
            frame(n);
            one = takeSnapshot();
            restoreSnapshot(two);
            frame(n);
            two = takeSnapshot();
        }
        restoreSnapshot(one);
        EXPECT_EQ(gameStateDigest(), first.digest) << first.mode << " beside " << second.mode;
        restoreSnapshot(two);
        EXPECT_EQ(gameStateDigest(), second.digest) << second.mode << " beside " << first.mode;
        // And the values the digest leaves out: the score check, the sweep, the switches and bindings.
        for (const Game* g : {&first, &second}) {
            restoreSnapshot(g == &first ? one : two);
            EXPECT_EQ(std::tuple(scoreCheckDone, voicesBusy, obstacleMode, advanced4Way, keyBindings[4],
                                 frameInput.voicesBusy, directionProbes[1].fieldIndex, directionProbes[3].x),
                      std::tuple(g->end.scoreCheckDone, g->end.voicesBusy, g->end.obstacleMode,
                                 g->end.advanced4Way, g->end.keyBindings[4], g->end.frameInput.voicesBusy,
                                 g->end.directionProbes[1].fieldIndex, g->end.directionProbes[3].x))
                << g->mode;
        }
    }
}

} // namespace crossfall
