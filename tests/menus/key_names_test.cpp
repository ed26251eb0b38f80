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

} // namespace

TEST(KeyName, CharactersAndFixedNamesWithKeypadNamesWinningOverCharacters) {
    const std::pair<int, const char*> names[] = {
        {65, "A"},
        {47, "/"},
        {94, "^"},
        {112, "p"},
        {126, "~"},
        {96, "Num0"},
        {97, "Num1"},
        {105, "Num9"},
        {106, "j"},
        {9, "Tab Key"},
        {32, "Space Bar"},
        {40, "Down Key"},
        {160, "Left Shift"},
        {162, "Left Control"},
        {163, "Right Control"},
    };
    for (const auto& [code, name] : names) EXPECT_EQ(nameOf(code), name) << code;
}

TEST(KeyName, CodesWithoutANameAndOutOfRangeCodesShowAQuestionMark) {
    for (int code : {0, 1, 8, 16, 27, 95, 127, 164, 255, 256, -5, 100000, INT_MIN, INT_MAX})
        EXPECT_EQ(nameOf(code), "?") << code;
}

TEST(CaptureKey, TheLowestHeldCodeUpTo250Wins) {
    releaseAllKeys();
    EXPECT_EQ(captureKey(), 0);
    setKeyDown(251, true);
    EXPECT_EQ(captureKey(), 0) << "codes above 250 are never reported";
    setKeyDown('A', true);
    setKeyDown(VK_LBUTTON, true);
    EXPECT_EQ(captureKey(), VK_LBUTTON);
    releaseAllKeys();
}

TEST(CaptureKey, GenericModifiersAreSidedOnlyByTheirOwnHintWhichIsUsedUp) {
    releaseAllKeys();
    setKeyDown(17, true);
    setKeyDown(163, true);
    EXPECT_EQ(captureKey(), 17);

    leftShiftHeld = 1;
    rightCtrlHeld = 1;
    EXPECT_EQ(captureKey(), 163);
    EXPECT_EQ(rightCtrlHeld, 0);
    EXPECT_EQ(leftShiftHeld, 1) << "a Shift hint is left alone by a Control capture";

    leftCtrlHeld = rightCtrlHeld = 1;
    EXPECT_EQ(captureKey(), 162) << "left wins when both sides are hinted";
    EXPECT_EQ(rightCtrlHeld, 1);

    setKeyDown(16, true);
    EXPECT_EQ(captureKey(), 160);
    EXPECT_EQ(leftShiftHeld, 0);
    leftCtrlHeld = rightCtrlHeld = leftShiftHeld = rightShiftHeld = 0;
    releaseAllKeys();
}
