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
};

const char* const DEFAULT_FILE = "162\r\n163\r\n32\r\n9\r\n37\r\n39\r\n37\r\n39\r\n0\r\n1\r\n1\r\n1\r\n1\r\n"
                                 "This file contains control settings.  Do not delete or edit it!";

TEST_F(ControlsFileTest, WithoutAFileTheDefaultsStayAndTheFirstSaveWritesThem) {
    loadControls();
    EXPECT_EQ(keyRotateCCW, 162);
    EXPECT_EQ(musicOn, 1);
    ASSERT_TRUE(saveControls());
    EXPECT_EQ(readFile("myControls.txt", 4096).value_or(""), DEFAULT_FILE);
}

TEST_F(ControlsFileTest, SavingAndLoadingGivesBackEveryValue) {
    for (int i = 0; i < 8; ++i) keyBindings[i] = 200 + i;
    keyHurry = -5;
    advanced4Way = 1;
    showPiecePreview = 0;
    showGridPreview = 7;
    showCurrentGrid = 0;
    musicOn = 0;
    ASSERT_TRUE(saveControls());
    resetControlsToDefaults();
    loadControls();
    EXPECT_EQ(keyRotateCCW, 200);
    EXPECT_EQ(keyDrop, 202);
    EXPECT_EQ(keyHurry, -5);
    EXPECT_EQ(keyDown, 207);
    EXPECT_EQ(advanced4Way, 1);
    EXPECT_EQ(showPiecePreview, 0);
    EXPECT_EQ(showGridPreview, 7);
    EXPECT_EQ(showCurrentGrid, 0);
    EXPECT_EQ(musicOn, 0);
}

TEST_F(ControlsFileTest, LeadingZeroIsOctalAndZeroXIsHexadecimal) {
    ASSERT_TRUE(writeTextFile("myControls.txt", "010\n0x41\n  -3\n"));
    loadControls();
    EXPECT_EQ(keyRotateCCW, 8);
    EXPECT_EQ(keyRotateCW, 65);
    EXPECT_EQ(keyDrop, -3);
    EXPECT_EQ(keyHurry, 9); // the file ended: the rest keep their values
}

TEST_F(ControlsFileTest, AWordStopsTheReadingWithThatValueZero) {
    ASSERT_TRUE(writeTextFile("myControls.txt", "1\n2\n3\n4\n5\n6\nabc\n8\n1\n0\n0\n0\n0\n"));
    showPiecePreview = 5;
    loadControls();
    EXPECT_EQ(keyRotateCCW, 1);
    EXPECT_EQ(keyRight, 6);
    EXPECT_EQ(keyUp, 0);
    EXPECT_EQ(keyDown, 39);
    EXPECT_EQ(advanced4Way, 0);
    EXPECT_EQ(showPiecePreview, 5);
    EXPECT_EQ(musicOn, 1);
}

TEST_F(ControlsFileTest, HugeNumbersHugeFilesAndBinaryFilesStaySafe) {
    ASSERT_TRUE(writeTextFile("myControls.txt", "99999999999999999999\n5\n"));
    loadControls();
    EXPECT_EQ(keyRotateCCW, 2147483647);
    EXPECT_EQ(keyRotateCW, 163);

    // Only the head of a huge file is read: numbers far past it never arrive.
    resetControlsToDefaults();
    ASSERT_TRUE(writeTextFile("myControls.txt", std::string(1 << 20, ' ') + "1 2 3"));
    loadControls();
    EXPECT_EQ(keyRotateCCW, 162);

    ASSERT_TRUE(writeTextFile("myControls.txt", std::string("\x01\xff\x00", 3)));
    loadControls();
    EXPECT_EQ(keyRotateCCW, 0);
    EXPECT_EQ(keyRotateCW, 163);
}

} // namespace
} // namespace crossfall
