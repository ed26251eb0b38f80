// Long seeded games of random key states in every mode, checking the invariants after every tick.
#include <string>

#include "rules_fixture.h"

namespace crossfall {
namespace {

using namespace testing_rules;

// What must hold after any tick: an empty string, or what broke.
std::string brokenInvariant(int mode, int levelBefore) {
    for (const Field& field : fields)
        for (const auto& column : field.cells)
            for (int r = 0; r < FIELD_ROWS; ++r)
                if (r < PLAY_ROWS ? column[r] < 0 || column[r] > 7 : column[r] != WALL) return "cell code";
    if (score < 0 || comboBonuses < 0) return "negative score";
    if (level < levelBefore || level > 9) return "level";
    if (mode == MODE_4WAY && !centresAgree()) return "4-Way centres differ";
    if (gameOver == 0 && (collides(currentPiece) || (mode == MODE_DUOFALL && collides(currentPiece2))))
        return "falling piece inside blocks";
    return "";
}

// The soak's own random source, so the game's draws stay those of the rules alone.
struct SoakDraw {
    std::uint32_t state;
    int operator()(int n) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) & 0x7FFF) % n;
    }
};

// A random level with the spin or rise close, so short random games still reach them.
void beginGame(int mode, SoakDraw& draw) {
    startGame(mode);
    score = draw(5200);
    updateLevel();
    spinCount = spinPeriod() - draw(300);
    riseCount = risePeriod() - draw(300);
}

// Fills a row below the piece but for one gap, so locks now and then complete rows.
void nearlyFillRow(const Piece& piece, SoakDraw& draw) {
    const int lowest = piece.y + 5;
    if (lowest >= PLAY_ROWS) return;
    const int r = lowest + draw(PLAY_ROWS - lowest);
    const int gap = draw(FIELD_COLUMNS);
    for (int c = 0; c < FIELD_COLUMNS; ++c) {
        std::int32_t& cell = fields[piece.fieldIndex].cells[c][r];
        if (c != gap && cell == EMPTY) cell = 1 + draw(7);
    }
}

class SoakTest : public ::testing::TestWithParam<int> {};

TEST_P(SoakTest, RandomKeysKeepTheFieldsSound) {
    const int mode = GetParam() == 5 ? MODE_4WAY : GetParam(); // the sixth run: advanced 4-Way controls
    resetRules(1000 + GetParam());
    SoakDraw draw{2654435761u * GetParam() + 1};
    obstacleMode = 1;
    advanced4Way = GetParam() == 5;
    beginGame(mode, draw);
    const int keys[] = {keyRotateCCW, keyRotateCW, keyDrop, keyHurry, 37, 38, 39, 40};
    int locks = 0, chainLinks = 0, games = 0;
    for (int tick = 0; tick < 20000; ++tick) {
        for (int key : keys) setKeyDown(key, draw(256) < (key == keyDrop ? 3 : 40));
        voicesBusy = draw(2);
        if (tick % 30 == 0 && (mode != MODE_4WAY || currentPiece.fieldIndex == 0)) {
            nearlyFillRow(currentPiece, draw);
            if (mode == MODE_4WAY) shareCentre(0);
            if (mode == MODE_DUOFALL) nearlyFillRow(currentPiece2, draw);
        }
        const int levelBefore = level, scoreBefore = score, bonusesBefore = comboBonuses;
        frame();
        if (voicesBusy == 0) combo = 0;
        locks += score != scoreBefore;
        chainLinks += comboBonuses != bonusesBefore;
        const std::string broken = brokenInvariant(mode, levelBefore);
        ASSERT_EQ(broken, "") << "tick " << tick;
        if (gameOver != 0) {
            ++games;
            beginGame(mode, draw);
        }
    }
    // The run must have played: pieces locked, chains grew and games ended.
    EXPECT_GT(locks, 100);
    EXPECT_GT(chainLinks, 5);
    EXPECT_GT(games, 3);
}

std::string runName(const ::testing::TestParamInfo<int>& info) {
    static const char* const names[] = {"Classic", "Rubik", "FourWay", "Duofall", "TimeAttack", "FourWayAdvanced"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(EveryMode, SoakTest, ::testing::Range(0, 6), runName);

} // namespace
} // namespace crossfall
