// "myControls.txt": its exact bytes, reading it back, odd or missing files, and the key names shown.
#include "menus/controls_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <string>
#include <vector>

#include "app/start_up.h"
#include "menus/key_names.h"
#include "platform/files.h"
#include "platform/null_backend.h"

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
    for (std::int32_t* value : {&keyBindings[0], &keyBindings[7], &advanced4Way, &musicOn}) *value = 5;
    null_backend::reset();
    ASSERT_TRUE(startUp());
    EXPECT_EQ(current(), DEFAULTS) << "what a first run without a file plays with";
    keyDrop = 77;
    loadControls();
    EXPECT_EQ(keyDrop, 77) << "a missing file changes nothing";
    for (int i = 0; i < 8; ++i) keyBindings[i] = 200 - 10 * i;
    keyBindings[7] = INT_MIN;
    advanced4Way = 1;
    showPiecePreview = 0;
    musicOn = INT_MAX;
    ASSERT_TRUE(saveControls());
    EXPECT_EQ(readFile("myControls.txt", 4096).value_or(""),
              "200\r\n190\r\n180\r\n170\r\n160\r\n150\r\n140\r\n-2147483648\r\n1\r\n0\r\n1\r\n1\r\n"
              "2147483647\r\nThis file contains control settings.  Do not delete or edit it!");
    resetControlsToDefaults();
    loadControls();
    EXPECT_EQ(current(), (Values{200, 190, 180, 170, 160, 150, 140, INT_MIN, 1, 0, 1, 1, INT_MAX}));
}

// Each file sets the leading values; reading stops at its end, at the first bad value (set to 0), or
// at the 64 KiB read bound, where a number running on past the bound is cut and so not read at all.
TEST(ControlsFile, OddFilesReadAsAStreamWouldUpToTheBoundAndTheFirstBadValue) {
    constexpr std::size_t BOUND = 64 * 1024;
    const auto at = [](std::size_t offset, const std::string& tail) { return std::string(offset, ' ') + tail; };
    const std::pair<std::string, std::vector<std::int32_t>> cases[] = {
        {"010\n0x41\n  -3\n", {8, 65, -3}},
        {"1\n2\n3\n4\n5\n6\nabc\n8\n1\n0\n", {1, 2, 3, 4, 5, 6, 0}},
        {"99999999999999999999\n5\n", {INT_MAX}},
        {std::string("\x01\xff\x00", 3), {0}},
        {"7 0xg 9", {7, 0}},   // "0x" with no hex digit is one bad item
        {"0X z 9", {0}},
        {"0x1g 9", {1, 0}},
        {"08 -0x1A +012", {0, 8, -26, 10}},
        {"5 0x", {5, 0}},
        {at(BOUND - 5, "12345"), {12345}},   // ends at the bound with the file
        {at(BOUND - 5, "12345 7"), {12345}}, // ends at the bound, a blank after it
        {at(BOUND - 6, "12345\t7"), {12345}},
        {at(BOUND - 4, "12345"), {}},        // cut after "1234"
        {at(BOUND - 2, "12345"), {}},        // cut after "12"
        {at(BOUND - 1, "12345"), {}},
        {at(BOUND, "12345"), {}},
        {"1 2\t" + at(BOUND - 9, "0x7FFF 9"), {1, 2}}, // cut after "0x7FF"
        {std::string(1 << 20, ' ') + "1 2 3", {}},
    };
    for (const auto& [text, leading] : cases) {
        resetControlsToDefaults();
        Values expected = DEFAULTS;
        std::copy(leading.begin(), leading.end(), expected.begin());
        ASSERT_TRUE(writeTextFile("myControls.txt", text));
        loadControls();
        EXPECT_EQ(current(), expected) << text.substr(0, 24) << " (" << text.size() << " bytes)";
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
