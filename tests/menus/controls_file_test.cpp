// "myControls.txt": its exact bytes, reading it back, odd or missing files, and the key names shown.
#include "menus/controls_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <map>
#include <string>
#include <vector>

#include "menus/key_names.h"
#include "platform/files.h"

namespace crossfall {
namespace {

using Values = std::array<std::int32_t, CONTROL_VALUES>;
constexpr Values DEFAULTS = {162, 163, 32, 9, 37, 39, 37, 39, 0, 1, 1, 1, 1};

Values current() {
    return {keyBindings[0],  keyBindings[1],  keyBindings[2], keyBindings[3], keyBindings[4],
            keyBindings[5],  keyBindings[6],  keyBindings[7], advanced4Way,   showPiecePreview,
            showGridPreview, showCurrentGrid, musicOn};
}

TEST(ControlsFile, SavesItsExactBytesAndReadsTheLeadingValuesBackUpToTheFirstBadOneOrTheBound) {
    const Values mine = {200, 190, 180, 170, 160, 150, 140, INT_MIN, 1, 0, 1, 1, INT_MAX};
    setControlValues(mine);
    loadControls();
    EXPECT_EQ(current(), mine) << "no file yet: nothing changes";
    ASSERT_TRUE(saveControls());
    EXPECT_EQ(readFile("myControls.txt", 4096).value_or(""),
              "200\r\n190\r\n180\r\n170\r\n160\r\n150\r\n140\r\n-2147483648\r\n1\r\n0\r\n1\r\n1\r\n"
              "2147483647\r\nThis file contains control settings.  Do not delete or edit it!");
    resetControlsToDefaults();
    EXPECT_EQ(current(), DEFAULTS);
    loadControls();
    EXPECT_EQ(current(), mine);
    // Each file sets the leading values in any base; reading stops at its end, at the first bad value
    // (set to 0), or at the 64 KiB read bound, where a number running on past the bound is not read.
    const std::pair<std::string, std::vector<std::int32_t>> cases[] = {
        {"010\n0x41\n  -3\n", {8, 65, -3}},
        {"1\n2\n3\n4\n5\n6\nabc\n8\n1\n0\n", {1, 2, 3, 4, 5, 6, 0}},
        {"7\n-", {7, 0}}, // a sign at the very end is a bad value
        {std::string(65536 - 5, ' ') + "12345 7", {12345}},
        {std::string(65536 - 4, ' ') + "12345", {}},
    };
    for (const auto& [text, leading] : cases) {
        resetControlsToDefaults();
        Values expected = DEFAULTS;
        std::copy(leading.begin(), leading.end(), expected.begin());
        ASSERT_TRUE(saveTextFile("myControls.txt", text));
        loadControls();
        EXPECT_EQ(current(), expected) << text.substr(0, 24) << " (" << text.size() << " bytes)";
    }
}

// A code shows its own name, else a printable character from '/' to '^' or 'a' to '~' shows itself.
TEST(KeyName, EveryCodeShowsItsNameItsCharacterOrAQuestionMark) {
    std::map<int, std::string> names = {
        {9, "Tab Key"},     {12, "Form Feed"},  {13, "Enter Key"},      {32, "Space Bar"},
        {33, "Page Up"},    {34, "Page Down"},  {35, "End"},            {36, "Home"},
        {37, "Left Key"},   {38, "Up Key"},     {39, "Right Key"},      {40, "Down Key"},
        {45, "Insert"},     {46, "Delete"},     {160, "Left Shift"},    {161, "Right Shift"},
        {162, "Left Control"}, {163, "Right Control"}, {47, "/"}, {65, "A"}, {94, "^"}, {106, "j"},
        {126, "~"}, {INT_MIN, "?"}, {0, "?"}, {8, "?"}, {41, "?"}, {44, "?"}, {95, "?"}, {127, "?"},
        {159, "?"}, {164, "?"}, {255, "?"}, {INT_MAX, "?"},
    };
    for (int k = 0; k < 10; ++k) names[96 + k] = "Num" + std::to_string(k);
    for (const auto& [code, name] : names) {
        char out[KEY_NAME_SIZE];
        std::fill_n(out, KEY_NAME_SIZE, 'x'); // an unterminated name cannot pass
        keyName(code, out);
        EXPECT_EQ(out, name) << code;
    }
}

} // namespace
} // namespace crossfall
