// "myControls.txt": the saved form, reading it back, and what odd files do to the values.
#include <gtest/gtest.h>

#include <string>

#include "menus/controls_file.h"
#include "platform/files.h"

namespace crossfall {
namespace {

class ControlsFileTest : public ::testing::Test {
  protected:
    void SetUp() override { resetControlsToDefaults(); }
    void TearDown() override { resetControlsToDefaults(); }
    static void loadFrom(const std::string& text) {
        ASSERT_TRUE(writeTextFile("myControls.txt", text));
        loadControls();
    }
};

TEST_F(ControlsFileTest, WithoutAFileTheDefaultsStayAndTheFirstSaveWritesThem) {
    loadControls();
    EXPECT_EQ(keyRotateCCW, 162);
    ASSERT_TRUE(saveControls());
    EXPECT_EQ(readFile("myControls.txt", 4096).value_or(""),
              "162\r\n163\r\n32\r\n9\r\n37\r\n39\r\n37\r\n39\r\n0\r\n1\r\n1\r\n1\r\n1\r\n"
              "This file contains control settings.  Do not delete or edit it!");
}

TEST_F(ControlsFileTest, SavingAndLoadingGivesBackEveryValue) {
    for (int i = 0; i < 8; ++i) keyBindings[i] = 200 - 30 * i;
    advanced4Way = 1;
    showPiecePreview = showCurrentGrid = musicOn = 0;
    showGridPreview = 7;
    ASSERT_TRUE(saveControls());
    resetControlsToDefaults();
    loadControls();
    for (int i = 0; i < 8; ++i) EXPECT_EQ(keyBindings[i], 200 - 30 * i);
    EXPECT_EQ(advanced4Way + showPiecePreview + showCurrentGrid + musicOn, 1);
    EXPECT_EQ(showGridPreview, 7);
}

TEST_F(ControlsFileTest, OctalHexAndShortFilesReadAsAStreamWould) {
    loadFrom("010\n0x41\n  -3\n");
    EXPECT_EQ(keyRotateCCW, 8);
    EXPECT_EQ(keyRotateCW, 65);
    EXPECT_EQ(keyDrop, -3);
    EXPECT_EQ(keyHurry, 9); // the file ended: the rest keep their values
}

TEST_F(ControlsFileTest, AWordStopsTheReadingWithThatValueZero) {
    showPiecePreview = 5;
    loadFrom("1\n2\n3\n4\n5\n6\nabc\n8\n1\n0\n0\n0\n0\n");
    EXPECT_EQ(keyRight, 6);
    EXPECT_EQ(keyUp, 0);
    EXPECT_EQ(keyDown, 39);
    EXPECT_EQ(advanced4Way, 0);
    EXPECT_EQ(showPiecePreview, 5);
}

TEST_F(ControlsFileTest, HugeNumbersHugeFilesAndBinaryFilesStaySafe) {
    loadFrom("99999999999999999999\n5\n");
    EXPECT_EQ(keyRotateCCW, 2147483647);
    EXPECT_EQ(keyRotateCW, 163);
    resetControlsToDefaults();
    loadFrom(std::string(1 << 20, ' ') + "1 2 3"); // only the head of a huge file is read
    EXPECT_EQ(keyRotateCCW, 162);
    loadFrom(std::string("\x01\xff\x00", 3));
    EXPECT_EQ(keyRotateCCW, 0);
    EXPECT_EQ(keyRotateCW, 163);
}

} // namespace
} // namespace crossfall
