// "myControls.txt": its exact bytes, reading it back, and what odd or missing files do.
#include "menus/controls_file.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>
#include <vector>

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

TEST(ControlsFile, SavesItsExactBytesAndReadsEveryValueBackInOrder) {
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
        SCOPED_TRACE(text.substr(0, 24));
        resetControlsToDefaults();
        Values expected = DEFAULTS;
        std::copy(leading.begin(), leading.end(), expected.begin());
        ASSERT_TRUE(writeTextFile("myControls.txt", text));
        loadControls();
        EXPECT_EQ(current(), expected);
    }
}

} // namespace
} // namespace crossfall
