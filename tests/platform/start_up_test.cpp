// Start-up in an empty folder and in awkward ones: it always reaches the menu, and it leaves
// "colors.txt" and "allLengths.txt" behind.
#include "platform/start_up.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "menus/controls_file.h"
#include "menus/main_menu.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "platform/text.h"

using namespace crossfall;

namespace {

std::string readAll(const char* name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct StartUpTest : testing::Test {
    void SetUp() override {
        null_backend::reset();
        inMenu = 0;
        inOptions = 0;
    }
};

} // namespace

TEST_F(StartUpTest, WithNoDataFilesItReachesTheMenu) {
    ASSERT_TRUE(startUp());
    EXPECT_EQ(inMenu, 1);
    EXPECT_EQ(runMainMenu(), 1);
    EXPECT_EQ(null_backend::picturesShown(), 1);
}

TEST_F(StartUpTest, ColorsFileHoldsOneLineOfTheMasksWhateverWasThere) {
    std::ofstream("colors.txt") << "old\nlines\nhere\n";
    ASSERT_TRUE(startUp());
    ASSERT_TRUE(startUp());
    EXPECT_EQ(readAll("colors.txt"), "63488,2016,31\r\n");
}

TEST_F(StartUpTest, TheFontsWidthsAreMeasuredAndWritten) {
    ASSERT_TRUE(startUp());
    EXPECT_FALSE(readAll("allLengths.txt").empty());
    EXPECT_GT(charWidths['W'], 0) << "the test machine has the game's font";
}

TEST_F(StartUpTest, TheControlsFileIsReadOverTheDefaults) {
    std::ofstream("myControls.txt") << "65\n66\n67\n";
    resetControlsToDefaults();
    ASSERT_TRUE(startUp());
    EXPECT_EQ(keyRotateCCW, 65);
    EXPECT_EQ(keyDrop, 67);
    EXPECT_EQ(keyHurry, 9) << "values the file lacks keep their defaults";
}

TEST_F(StartUpTest, FilesThatCannotBeWrittenStopNothing) {
    // A folder in the way fails the write even for a user who may write anywhere.
    std::filesystem::create_directory("colors.txt");
    std::filesystem::create_directory("allLengths.txt");
    std::ofstream("bg1.bmp") << "BM not really a bitmap";
    std::ofstream("sound1_x.wav") << std::string(64, '\xff');
    std::ofstream("scores_classic.txt") << std::string("\x00\xff\xfe binary", 10);
    ASSERT_TRUE(startUp());
    EXPECT_EQ(inMenu, 1);
    EXPECT_EQ(runMainMenu(), 1);
    EXPECT_TRUE(std::filesystem::is_directory("colors.txt")) << "nothing of the player's is replaced";
}
