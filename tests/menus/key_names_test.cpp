// The names shown beside the bindings: characters, fixed names, and "?" for everything else.
#include "menus/key_names.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace crossfall {
namespace {

TEST(KeyName, CharactersFixedNamesAndQuestionMarksWithKeypadNamesWinning) {
    const std::pair<int, const char*> cases[] = {
        {47, "/"},      {65, "A"},         {94, "^"},      {95, "?"},           {96, "Num0"},
        {97, "Num1"},   {105, "Num9"},     {106, "j"},     {126, "~"},          {127, "?"},
        {9, "Tab Key"}, {32, "Space Bar"}, {46, "Delete"}, {160, "Left Shift"}, {163, "Right Control"},
        {0, "?"},       {16, "?"},         {164, "?"},     {INT_MIN, "?"},      {INT_MAX, "?"},
    };
    for (const auto& [code, name] : cases) {
        SCOPED_TRACE(code);
        char out[KEY_NAME_SIZE];
        std::memset(out, 'x', sizeof out);
        keyName(code, out);
        ASSERT_NE(std::memchr(out, '\0', sizeof out), nullptr);
        EXPECT_STREQ(out, name);
    }
}

} // namespace
} // namespace crossfall
