// "myControls.txt": its exact bytes, reading it back, odd or missing files, and the key names shown.
#include "menus/controls_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <string>
#include <vector>

#include "menus/key_names.h"
#include "platform/files.h"

namespace crossfall {
namespace {

using Values = std::array<std::int32_t, 13>;
constexpr Values DEFAULTS = {162, 163, 32, 9, 37, 39, 37, 39, 0, 1, 1, 1, 1};

Values current() {
    return {keyBindings[0],  keyBindings[1],  keyBindings[2], keyBindings[3], keyBindings[4],
            keyBindings[5],  keyBindings[6],  keyBindings[7], advanced4Way,   showPiecePreview,
            showGridPreview, showCurrentGrid, musicOn};
}
const Values atStart = current(); // before any test: what a first run without a file plays with

TEST(ControlsFile, SavesItsExactBytesAndReadsEveryValueBackInOrder) {
    EXPECT_EQ(atStart, DEFAULTS);
    resetControlsToDefaults();
    keyDrop = 77;
    loadControls();
    EXPECT_EQ(keyDrop, 77) << "a missing file changes nothing";
    for (int i = 0; i < 8; ++i) keyBindings[i] = 200 - 10 * i;
    advanced4Way = 1;
    showPiecePreview = 0;
    musicOn = 7;
    ASSERT_TRUE(saveControls());
    EXPECT_EQ(readFile("myControls.txt", 4096).value_or(""),
              "200\r\n190\r\n180\r\n170\r\n160\r\n150\r\n140\r\n130\r\n1\r\n0\r\n1\r\n1\r\n7\r\n"
              "This file contains control settings.  Do not delete or edit it!");
    resetControlsToDefaults();
    loadControls();
    EXPECT_EQ(current(), (Values{200, 190, 180, 170, 160, 150, 140, 130, 1, 0, 1, 1, 7}));
}

// Each file sets the leading values; reading stops at its end or at the first bad value, set to 0.
TEST(ControlsFile, OddFilesReadAsAStreamWouldAndStopAtTheFirstBadValue) {
    const std::pair<std::string, std::vector<std::int32_t>> cases[] = {
        {"010\n0x41\n  -3\n", {8, 65, -3}},
        {"1\n2\n3\n4\n5\n6\nabc\n8\n1\n0\n", {1, 2, 3, 4, 5, 6, 0}},
        {"99999999999999999999\n5\n", {INT_MAX}},
        {std::string("\x01\xff\x00", 3), {0}},
        {std::string(1 << 20, ' ') + "1 2 3", {}}, // only the head of a huge file is read
    };
    for (const auto& [text, leading] : cases) {
        resetControlsToDefaults();
        Values expected = DEFAULTS;
        std::copy(leading.begin(), leading.end(), expected.begin());
        ASSERT_TRUE(writeTextFile("myControls.txt", text));
        loadControls();
        EXPECT_EQ(current(), expected) << text.substr(0, 24);
    }
}

TEST(KeyName, CharactersFixedNamesAndQuestionMarksWithKeypadNamesWinning) {
    const std::pair<int, const char*> cases[] = {
        {47, "/"},      {65, "A"},         {94, "^"},      {95, "?"},           {96, "Num0"},
        {97, "Num1"},   {105, "Num9"},     {106, "j"},     {126, "~"},          {127, "?"},
        {9, "Tab Key"}, {32, "Space Bar"}, {38, "Up Key"},  {46, "Delete"},      {160, "Left Shift"},
        {163, "Right Control"},
        {0, "?"},       {16, "?"},         {164, "?"},     {INT_MIN, "?"},      {INT_MAX, "?"},
    };
    for (const auto& [code, name] : cases) {
        char out[KEY_NAME_SIZE];
        std::fill_n(out, KEY_NAME_SIZE, 'x'); // an unterminated name cannot pass
        keyName(code, out);
        EXPECT_STREQ(out, name) << code;
    }
}

} // namespace
} // namespace crossfall
