// Key names shown beside the bindings, and the held key the capture scan picks.
#include "menus/key_names.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "platform/input.h"

using namespace crossfall;

namespace {

std::string nameOf(int code) {
    char out[KEY_NAME_SIZE];
    std::memset(out, 'x', sizeof out);
    keyName(code, out);
    EXPECT_NE(std::memchr(out, '\0', sizeof out), nullptr) << "name of " << code << " is terminated";
    return out;
}

struct CaptureTest : testing::Test {
    void SetUp() override {
        releaseAllKeys();
        leftCtrlHeld = rightCtrlHeld = leftShiftHeld = rightShiftHeld = 0;
    }
    void TearDown() override { releaseAllKeys(); }
};

} // namespace

TEST(KeyName, CharactersLettersAndTheFixedTable) {
    EXPECT_EQ(nameOf(65), "A");
    EXPECT_EQ(nameOf(90), "Z");
    EXPECT_EQ(nameOf(48), "0");
    EXPECT_EQ(nameOf(47), "/");
    EXPECT_EQ(nameOf(94), "^");
    EXPECT_EQ(nameOf(112), "p"); // F1 shows as its character
    EXPECT_EQ(nameOf(126), "~");
    EXPECT_EQ(nameOf(96), "Num0");
    EXPECT_EQ(nameOf(97), "Num1"); // the keypad name wins over the character
    EXPECT_EQ(nameOf(105), "Num9");
    EXPECT_EQ(nameOf(106), "j");
    EXPECT_EQ(nameOf(9), "Tab Key");
    EXPECT_EQ(nameOf(32), "Space Bar");
    EXPECT_EQ(nameOf(37), "Left Key");
    EXPECT_EQ(nameOf(40), "Down Key");
    EXPECT_EQ(nameOf(46), "Delete");
    EXPECT_EQ(nameOf(160), "Left Shift");
    EXPECT_EQ(nameOf(162), "Left Control");
    EXPECT_EQ(nameOf(163), "Right Control");
}

TEST(KeyName, CodesWithoutANameAndOutOfRangeCodesShowAQuestionMark) {
    for (int code : {0, 1, 8, 16, 17, 18, 27, 95, 127, 159, 164, 250, 255, 256, -5, 100000, INT_MIN, INT_MAX})
        EXPECT_EQ(nameOf(code), "?") << code;
}

TEST_F(CaptureTest, NothingHeldCapturesNothing) {
    EXPECT_EQ(captureKey(), 0);
}

TEST_F(CaptureTest, TheLowestHeldCodeWinsAndTheMouseButtonCounts) {
    setKeyDown('A', true);
    setKeyDown(VK_LBUTTON, true);
    EXPECT_EQ(captureKey(), 1);
    setKeyDown(VK_LBUTTON, false);
    setKeyDown(38, true);
    EXPECT_EQ(captureKey(), 38);
}

TEST_F(CaptureTest, CodesAbove250AreNeverReported) {
    setKeyDown(251, true);
    setKeyDown(255, true);
    EXPECT_EQ(captureKey(), 0);
    setKeyDown(250, true);
    EXPECT_EQ(captureKey(), 250);
}

TEST_F(CaptureTest, ControlIsSidedOnlyByItsHintWhichIsUsedUp) {
    setKeyDown(17, true);
    setKeyDown(163, true);
    EXPECT_EQ(captureKey(), 17);

    rightCtrlHeld = 1;
    EXPECT_EQ(captureKey(), 163);
    EXPECT_EQ(rightCtrlHeld, 0);

    leftCtrlHeld = rightCtrlHeld = 1;
    EXPECT_EQ(captureKey(), 162) << "left wins when both sides are hinted";
    EXPECT_EQ(leftCtrlHeld, 0);
    EXPECT_EQ(rightCtrlHeld, 1);
}

TEST_F(CaptureTest, ShiftHintsDoNotTouchControlAndViceVersa) {
    setKeyDown(16, true);
    setKeyDown(17, true);
    leftCtrlHeld = 1;
    rightShiftHeld = 1;
    EXPECT_EQ(captureKey(), 161);
    EXPECT_EQ(rightShiftHeld, 0);
    EXPECT_EQ(leftCtrlHeld, 1) << "the Control hint stays for a Control capture";

    setKeyDown(16, false);
    leftShiftHeld = 1;
    EXPECT_EQ(captureKey(), 162);
    EXPECT_EQ(leftShiftHeld, 1);
}
