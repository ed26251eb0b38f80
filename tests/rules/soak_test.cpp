// Long seeded games of random key states in every mode, checking the field's invariants every tick.
#include <string>

#include "rules_fixture.h"

namespace crossfall {
namespace {

using namespace testing_rules;

struct SoakStats {
    int locks = 0;
    int chainLinks = 0;
    int games = 0;
};

// What must hold after any tick of any game.
void expectSound(int mode, int tick) {
    for (int f = 0; f < FIELD_COUNT; ++f)
        for (int c = 0; c < FIELD_COLUMNS; ++c) {
            for (int r = 0; r < PLAY_ROWS; ++r) {
                const std::int32_t cell = fields[f].cells[c][r];
                ASSERT_TRUE(cell >= 0 && cell <= 7) << "mode " << mode << " tick " << tick << " field " << f;
            }
            for (int r = PLAY_ROWS; r < FIELD_ROWS; ++r)
                ASSERT_EQ(fields[f].cells[c][r], WALL) << "mode " << mode << " tick " << tick;
        }
    ASSERT_GE(score, 0);
    ASSERT_GE(comboBonuses, 0);
    ASSERT_GE(level, 1);
    ASSERT_LE(level, 9);
    if (gameOver == 0) {
        ASSERT_FALSE(collides(currentPiece)) << "mode " << mode << " tick " << tick;
        if (mode == MODE_DUOFALL) {
            ASSERT_FALSE(collides(currentPiece2)) << "mode " << mode << " tick " << tick;
        }
    }
}

// The soak's own random source, so the game's draws stay those of the rules alone.
struct SoakDraw {
    std::uint32_t state;
    std::uint32_t operator()(std::uint32_t n) {
        state = state * 1103515245u + 12345u;
        return ((state >> 16) & 0x7FFF) % n;
    }
};

// Starts at a random level with the spin or rise close, so short random games still reach them.
void beginGame(int mode, SoakDraw& draw) {
    startGame(mode);
    score = static_cast<std::int32_t>(draw(5200));
    updateLevel();
    spinCount = spinPeriod() - static_cast<std::int32_t>(draw(300));
    riseCount = risePeriod() - static_cast<std::int32_t>(draw(300));
}

// Fills the gaps of a row below the piece but one, so locks now and then complete rows.
void nearlyFillRow(const Piece& piece, SoakDraw& draw) {
    const int lowest = piece.y + 5;
    if (lowest >= PLAY_ROWS) return;
    const int r = lowest + static_cast<int>(draw(static_cast<std::uint32_t>(PLAY_ROWS - lowest)));
    const int gap = static_cast<int>(draw(FIELD_COLUMNS));
    Field& field = fields[piece.fieldIndex];
    for (int c = 0; c < FIELD_COLUMNS; ++c)
        if (c != gap && field.cells[c][r] == EMPTY) field.cells[c][r] = 1 + static_cast<int>(draw(7));
}

SoakStats soak(int mode, bool advanced, int ticks, std::uint32_t seed) {
    resetRules(seed);
    SoakDraw draw{seed * 2654435761u + 1};
    obstacleMode = 1;
    advanced4Way = advanced ? 1 : 0;
    beginGame(mode, draw);
    SoakStats stats;
    const int keys[] = {keyRotateCCW, keyRotateCW, keyDrop, keyHurry, keyLeft, keyRight, 38, 40};
    int levelBefore = level;
    for (int tick = 0; tick < ticks; ++tick) {
        for (int key : keys) setKeyDown(key, draw(256) < (key == keyDrop ? 3u : 40u));
        voicesBusy = draw(2) == 0 ? 1 : 0;
        if (tick % 30 == 0) {
            if (mode != MODE_4WAY || currentPiece.fieldIndex == 0) nearlyFillRow(currentPiece, draw);
            if (mode == MODE_4WAY) shareCentre(0);
            if (mode == MODE_DUOFALL) nearlyFillRow(currentPiece2, draw);
        }
        const std::int32_t scoreBefore = score;
        const std::int32_t bonusesBefore = comboBonuses;
        frame();
        if (voicesBusy == 0) combo = 0;
        if (score != scoreBefore) ++stats.locks;
        if (comboBonuses != bonusesBefore) ++stats.chainLinks;
        expectSound(mode, tick);
        if (::testing::Test::HasFatalFailure()) return stats;
        if (mode == MODE_4WAY) {
            EXPECT_TRUE(centresAgree()) << "tick " << tick;
            if (::testing::Test::HasFailure()) return stats;
        }
        EXPECT_GE(level, levelBefore);
        levelBefore = level;
        if (gameOver != 0) {
            ++stats.games;
            beginGame(mode, draw);
            levelBefore = level;
        }
    }
    return stats;
}

class SoakTest : public ::testing::TestWithParam<int> {};

TEST_P(SoakTest, RandomKeysKeepTheFieldsSound) {
    // The sixth run is 4-Way with the advanced controls.
    const int mode = GetParam() == 5 ? MODE_4WAY : GetParam();
    const SoakStats stats = soak(mode, GetParam() == 5, 20000, 1000 + static_cast<std::uint32_t>(GetParam()));
    // The run must have played: pieces locked, chains grew and games ended.
    EXPECT_GT(stats.locks, 100);
    EXPECT_GT(stats.chainLinks, 5);
    EXPECT_GT(stats.games, 3);
}

std::string runName(const ::testing::TestParamInfo<int>& info) {
    static const char* const names[] = {"Classic", "Rubik", "FourWay", "Duofall", "TimeAttack", "FourWayAdvanced"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(EveryMode, SoakTest, ::testing::Range(0, 6), runName);

} // namespace
} // namespace crossfall
