// The shell: which screen each pass runs, focus loss, quits, the pace, and start-up in awkward folders.
#include "platform/main_loop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "menus/controls_file.h"
#include "menus/main_menu.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "platform/start_up.h"

using namespace crossfall;

namespace {

// What the recording screens saw; reset by the fixture.
struct Record {
    std::string screens; // one letter a pass: M menu, O options, E entry, G game step
    int shutDowns = 0, passesLeft = 0, quitCode = 0, menuResult = 1; // the pass taking passesLeft to 0 posts a quit
} record;

void pass(char screen) {
    record.screens += screen;
    if (--record.passesLeft == 0) postQuit(record.quitCode);
}

struct Shell : testing::Test {
    void SetUp() override {
        null_backend::reset();
        record = Record{};
        inMenu = 1;
        inOptions = inScoreEntry = showScoreList = 0;
    }
    int run(int passes) {
        record.passesLeft = passes;
        return runMainLoop({[] { pass('M'); return record.menuResult; }, [] { pass('O'); }, [] { pass('E'); },
                            [] { pass('G'); }, [] { ++record.shutDowns; }});
    }
};

} // namespace

TEST_F(Shell, TheFlagsChooseOneScreenPerPass) {
    const struct {
        int inMenu, inOptions, inScoreEntry, menuResult;
        bool focusLost;
        const char* screens;
    } cases[] = {
        {1, 1, 1, 1, false, "OO"}, {0, 0, 1, 1, false, "EE"}, {0, 0, 0, 1, false, "GG"}, // options win inside the menu
        {1, 0, 0, 0, false, "MG"}, {1, 0, 1, 0, false, "ME"}, // the menu's result decides the next pass
        // The menu is the pause screen for a game left in the background, not for the others.
        {0, 0, 0, 1, true, "MM"},  {0, 0, 1, 1, true, "EE"},  {1, 1, 0, 1, true, "OO"},
    };
    for (const auto& c : cases) {
        SetUp();
        inMenu = c.inMenu, inOptions = c.inOptions, inScoreEntry = c.inScoreEntry;
        record.menuResult = c.menuResult;
        setKeyDown(37, true);
        if (c.focusLost) null_backend::loseFocus();
        run(2);
        EXPECT_EQ(record.screens, c.screens);
        EXPECT_EQ(keyHeld(37), !c.focusLost) << c.screens << ": losing the focus lets go of every key";
    }
}

TEST_F(Shell, AQuitIsTakenBeforeThatPassesScreenAndPassesKeepTheirPace) {
    null_backend::requestQuit();
    EXPECT_EQ(run(5), 0);
    EXPECT_EQ(record.screens, "");
    SetUp();
    record.quitCode = 7;
    EXPECT_EQ(run(61), 7) << "the posted code is the exit code";
    EXPECT_EQ(record.screens, std::string(61, 'M')) << "a quit posted during a pass ends the loop at the next one";
    EXPECT_EQ(record.shutDowns, 1);
    EXPECT_NEAR(static_cast<double>(null_backend::sleptMs()), 1000.0, 17.0) << "sixty passes a second: no screen spins";
    // After a long stall the next passes are paced again, not rushed to catch up.
    null_backend::advanceClock(5000);
    std::uint64_t before = null_backend::sleptMs();
    run(10);
    EXPECT_GE(null_backend::sleptMs() - before, 150u);
}

TEST_F(Shell, StartUpReachesTheMenuWhateverTheFolderHolds) {
    // A folder in the way fails the write even for a user who may write anywhere.
    std::filesystem::create_directory("allLengths.txt");
    std::ofstream("colors.txt") << "old\nlines\nhere\n";
    std::ofstream("myControls.txt") << "65\n";
    std::ofstream("bg1.bmp") << "BM not really a bitmap";
    std::ofstream("sound1_x.wav") << std::string(64, '\xff');
    std::ofstream("scores_classic.txt") << std::string("\x00\xff\xfe binary", 10);
    inMenu = 0;
    ASSERT_TRUE(startUp());
    EXPECT_EQ(inMenu, 1);
    EXPECT_EQ(runMainMenu(), 1);
    EXPECT_EQ(readFile("colors.txt", 100).value(), "63488,2016,31\r\n");
    EXPECT_EQ(keyRotateCCW, 65) << "the controls are read";
    EXPECT_TRUE(std::filesystem::is_directory("allLengths.txt")) << "nothing of the player's is replaced";
}
