// The main loop with recording screens: which screen each pass runs, when a quit is taken,
// focus loss pausing a game, and the pace of one frame per pass.
#include "platform/main_loop.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"

using namespace crossfall;

namespace {

// What the recording screens saw; reset by the fixture.
struct Record {
    std::string screens; // one letter a pass: M menu, O options, E entry, G game step
    int shutDowns = 0;
    int passesLeft = 0;  // the pass that takes this to 0 posts a quit
    int quitCode = 0;
    int menuResult = 1;
};
Record record;

void countPass() {
    if (--record.passesLeft == 0) postQuit(record.quitCode);
}

const LoopScreens recordingScreens{
    [] { record.screens += 'M'; countPass(); return record.menuResult; },
    [] { record.screens += 'O'; countPass(); },
    [] { record.screens += 'E'; countPass(); },
    [] { record.screens += 'G'; countPass(); },
    [] { ++record.shutDowns; },
};

struct MainLoopTest : testing::Test {
    void SetUp() override {
        null_backend::reset();
        releaseAllKeys();
        record = Record{};
        inMenu = 1;
        inOptions = inScoreEntry = showScoreList = 0;
    }
    int run(int passes) {
        record.passesLeft = passes;
        return runMainLoop(recordingScreens);
    }
};

} // namespace

TEST_F(MainLoopTest, TheFlagsChooseOneScreenPerPass) {
    inOptions = 1;
    inScoreEntry = 1;
    run(2);
    EXPECT_EQ(record.screens, "OO") << "options run while in the menu, whatever the entry flag";

    SetUp();
    inMenu = 0;
    inScoreEntry = 1;
    run(2);
    EXPECT_EQ(record.screens, "EE");

    SetUp();
    inMenu = 0;
    run(2);
    EXPECT_EQ(record.screens, "GG");
}

TEST_F(MainLoopTest, TheMenusResultDecidesTheNextPass) {
    record.menuResult = 0;
    run(2);
    EXPECT_EQ(record.screens, "MG");
    EXPECT_EQ(inMenu, 0);

    SetUp();
    record.menuResult = 0;
    inScoreEntry = 1;
    run(2);
    EXPECT_EQ(record.screens, "ME");
}

TEST_F(MainLoopTest, AQuitIsTakenBeforeThatPassesScreen) {
    null_backend::requestQuit();
    EXPECT_EQ(run(5), 0);
    EXPECT_EQ(record.screens, "");
    EXPECT_EQ(record.shutDowns, 1);

    SetUp();
    record.quitCode = 7;
    EXPECT_EQ(run(3), 7) << "the posted code is the exit code";
    EXPECT_EQ(record.screens, "MMM") << "a quit posted during a pass ends the loop at the next one";
    EXPECT_EQ(record.shutDowns, 1);
}

TEST_F(MainLoopTest, LosingFocusPausesARunningGameAndLetsGoOfKeys) {
    inMenu = 0;
    setKeyDown(37, true);
    null_backend::loseFocus();
    run(1);
    EXPECT_EQ(record.screens, "M") << "the menu is the pause screen";
    EXPECT_FALSE(keyHeld(37));

    SetUp();
    inMenu = 0;
    inScoreEntry = 1;
    null_backend::loseFocus();
    run(1);
    EXPECT_EQ(record.screens, "E") << "an initials entry is not interrupted";
    EXPECT_EQ(inMenu, 0);

    SetUp();
    inOptions = 1;
    null_backend::loseFocus();
    run(1);
    EXPECT_EQ(record.screens, "O");
}

TEST_F(MainLoopTest, EveryPassWaitsForItsFrame) {
    run(1);
    std::uint64_t before = null_backend::sleptMs();
    run(60);
    std::uint64_t slept = null_backend::sleptMs() - before;
    EXPECT_GE(slept, 990u) << "sixty passes take a second: no screen spins";
    EXPECT_LE(slept, 1010u);
}
