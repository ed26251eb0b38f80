// Score files, the initials entry and the list page: ranks, stored bytes, bad files, the way out.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "platform/text.h"
#include "platform/video.h"
#include "rules/game_state.h"
#include "scores/high_score_entry.h"
#include "scores/high_score_list.h"
#include "scores/high_scores.h"
#include "scores/row_replays.h"
#include "support/picture.h"

using namespace crossfall;

namespace {

struct Scores : testing::Test {
    void SetUp() override {
        initVideo();
        null_backend::reset();
        releaseAllKeys();
        initInput();
        typedInitials[0] = '\0';
    }
};

// Ends a game of this mode with this result, runs the check and returns the ten names in memory.
std::string checkEndedGame(int mode, std::int32_t points, std::int32_t bonuses = 0) {
    gameMode = mode;
    score = points;
    comboBonuses = bonuses;
    inScoreEntry = scoreCheckDone = 0;
    newEntryRank = -1;
    checkHighScore();
    EXPECT_EQ(scoreCheckDone, 1);
    std::string names;
    for (const HighScoreEntry& row : highScoreTable) names += row.name + std::string(" ");
    return names;
}

// One pass of the entry holding these codes alone: keys as their codes ('\b' Backspace, '.' Delete,
// '\r' Enter, capitals) and the second pad's buttons as small letters: u, d, r up, down, right on the
// d-pad, s south, w west, l the left shoulder, g Start.
void pass(const std::string& held) {
    using P = PadButton;
    const std::map<char, P> pad = {{'u', P::DpadUp}, {'d', P::DpadDown},     {'r', P::DpadRight},
                                   {'s', P::South},  {'w', P::West},         {'l', P::LeftShoulder},
                                   {'g', P::Start}};
    releaseAllKeys();
    for (char c : held) pad.contains(c) ? setPadButton(1, pad.at(c), true) : setKeyDown(c, true);
    runHighScoreEntry();
}

const std::string TEN_ROWS = "A 900\nB 500\nC 500\nD 300\nE 200\nF 100\nG 90\nH 80\nI 70\nJ 60\n";

} // namespace

TEST_F(Scores, FilesReadUpToTheFirstFailureAndAResultEntersStrictlyAboveLowerTotals) {
    // Two rows whose second score starts at 4091 or 4092; blanks only before the 4 KiB read bound.
    const std::string lead = "AAA 40 BBB" + std::string(4081, ' ');
    // The lowest result enters nowhere, so the rows stay as read: the names, the first three totals.
    const std::tuple<std::string, std::string, std::array<std::int32_t, 3>> files[] = {
        {"AAA 40\nBBB\t-30\n\n  CCC x20\nDDD 10\n", "AAA BBB CCC ", {40, -30, 0}},
        {std::string(1, '\0') + "AB 12 \xfe\x01 3 ABCDEFGHIJKLMNOP", "??? \xfe\x01 ABCDEFGHIJK ", {12, 3, 0}},
        {"\r\n \t\r\n", "", {0}},
        {lead + "12345", "AAA BBB ", {40, 12345}},        // a score ending at the bound is whole,
        {lead + " 12345 CCC 9", "AAA BBB ", {40, 0}},     // one running on past it is not read
    };
    for (const auto& [text, names, totals] : files) {
        saveTextFile("scores_classic.txt", text);
        const std::string shown = checkEndedGame(MODE_CLASSIC, -2147483647 - 1);
        EXPECT_EQ(shown.substr(0, names.size()), names);
        EXPECT_EQ(shown.find_first_not_of("? ", names.size()), std::string::npos) << names;
        for (int k = 0; k < HIGH_SCORE_ROWS; ++k) EXPECT_EQ(highScoreTable[k].total, k < 3 ? totals[k] : 0);
    }
    // Only complete rows count, names cut to the length asked for; no file, no rows.
    HighScoreEntry list[3];
    EXPECT_EQ(readScoreRows("scores_classic.txt", list, 3, LIST_NAME_LENGTH), 1);
    list[2] = HighScoreEntry{7, "OLD"}; // rows not read are emptied, the last as well
    EXPECT_EQ(parseScoreRows("ABCDEFGHIJKLM 5 B", list, 3, LIST_NAME_LENGTH), 1);
    EXPECT_EQ(std::tuple(std::string(list[0].name), list[1].name[0], list[1].total, list[2].name[0], list[2].total),
              std::tuple("ABCDEFGHI", 'B', 0, '\0', 0));
    EXPECT_EQ(readScoreRows(scoreFileName(-1), list, 3, TABLE_NAME_LENGTH), 0);

    saveTextFile("scores_4way.txt", TEN_ROWS);
    const std::tuple<std::int32_t, std::int32_t, const char*> results[] = {
        {500, 3, "A B C D D E F G H I "}, {501, 1, "A B B C D E F G H I "},
        {60, -1, "A B C D E F G H I J "}, {61, 9, "A B C D E F G H I J "}};
    for (const auto& [points, rank, names] : results) {
        EXPECT_EQ(checkEndedGame(MODE_4WAY, points), names) << points;
        EXPECT_EQ(std::pair(newEntryRank, inScoreEntry), std::pair(rank, int(rank >= 0))) << points;
    }
    const std::string debug = readFile("debug.txt", 1 << 16).value(); // each check logs the names it read
    EXPECT_EQ(debug.substr(debug.size() - 30), "A\r\nB\r\nC\r\nD\r\nE\r\nF\r\nG\r\nH\r\nI\r\nJ\r\n");
    checkEndedGame(MODE_DUOFALL, 2147483000, 2000);
    EXPECT_EQ(finalTotal(), 2147483647);
    EXPECT_EQ(scoreFileName(MODE_COUNT), nullptr);
}

// Keys type letters in code order up to three and delete one; a pad's up and down (not both) run its
// letter round A..Z or start one past the end, right or south go on to the next while there is one
// and three are not reached; each change pauses 150 ms; Enter or Start saves.
TEST_F(Scores, TheEntryShowsOnlyItsBoxTakesKeysAndAPadAndSavesInTheRowKept) {
    ASSERT_TRUE(createFont());
    static std::vector<std::pair<int, std::int32_t>> best;
    keepEndedGame = [](const char* file, int mode, std::int32_t total) {
        if (std::string_view(file).starts_with("best_")) best.emplace_back(mode, total);
        return true;
    };
    saveTextFile("scores_classic.txt", TEN_ROWS);
    checkEndedGame(MODE_CLASSIC, 450, 50);
    clearSurface(frontSurface, packColor(200, 0, 0));
    clearSurface(backSurface, packColor(0, 200, 0));
    pass(""); // only the box is shown over the frozen picture
    picture::expectPicture(null_backend::lastPicture(), 0xf027d5dcce651e49, "entry-box");
    // Each pass, then the initials and the time paused so far.
    const std::tuple<const char*, const char*, unsigned> passes[] = {
        {"\b", "", 0}, {"BA", "AB", 300}, {"AB", "ABA", 450}, {"Z", "ABA", 450}, {"\b.", "AB", 600},
        {".Z", "AB", 900}, {"u", "BB", 1050}, {"d", "AB", 1200}, {"d", "ZB", 1350}, {"d", "YB", 1500},
        {"u", "ZB", 1650}, {"u", "AB", 1800}, {"ud", "AB", 1800}, {"r", "AB", 1950}, {"d", "AA", 2100},
        {"s", "AA", 2250}, {"s", "AA", 2250}, {"d", "AAZ", 2400}, {"r", "AAZ", 2400}, {"\bu", "AAA", 2700},
        {"\b", "AA", 2850}, {"\b", "A", 3000}, {"s", "A", 3000}, {"u", "AA", 3150}, {"ur", "AB", 3450},
        {"d", "ABZ", 3600}, {"wl", "ABZ", 3600}};
    for (const auto& [held, initials, slept] : passes) {
        pass(held);
        EXPECT_EQ(std::pair(std::string(typedInitials), null_backend::sleptMs()),
                  std::pair(std::string(initials), std::uint64_t(slept)))
            << held;
        if (slept == 900) picture::expectPicture(null_backend::lastPicture(), 0xf7ea35a12ce49c69, "entry");
    }
    // The letter the pad changes is underlined in green: the third one.
    picture::expectPicture(null_backend::lastPicture(), 0x301f749dd7f8a149, "entry-pad");
    pass("g");
    // The next entries keep the initials, start at the first letter and, left blank, save as "???".
    checkEndedGame(MODE_CLASSIC, 500);
    for (const char* held : {"u", "\r"}) pass(held);
    checkEndedGame(MODE_CLASSIC, 500);
    for (const char* held : {"\b", "\b", "\b", "\r"}) pass(held);
    EXPECT_EQ(readFile("scores_classic.txt", 999).value(), "A 900\r\nB 500\r\nC 500\r\nABZ 500\r\nBBZ 500\r\n"
                                                           "??? 500\r\nD 300\r\nE 200\r\nF 100\r\nG 90\r\n");
    // A first row that cannot be saved is not told to the shell; one saved is. The pad turns '?' to A.
    std::filesystem::create_directory("scores_time.txt");
    checkEndedGame(MODE_TIME, 1000);
    pass("u");
    EXPECT_STREQ(typedInitials, "A??");
    pass("\r");
    checkEndedGame(MODE_RUBIK, 7);
    pass("g");
    EXPECT_EQ(best, (std::vector<std::pair<int, std::int32_t>>{{MODE_RUBIK, 7}}));
    keepEndedGame = nullptr;
}

TEST_F(Scores, TheListLeavesOnAClickExactlyInsideTheButtonOrOnEscapeAndShowsTenRowsDarkeningDown) {
    setKeyDown(VK_LBUTTON, true);
    for (auto [x, y, stays] :
         {std::tuple{199, 515, 1}, {200, 528, 1}, {600, 508, 1}, {599, 527, 0}, {200, 508, 0}}) {
        mouseX = x;
        mouseY = y;
        EXPECT_EQ(runHighScoreList(), stays) << x << "," << y;
    }
    EXPECT_EQ(null_backend::picturesShown(), 3) << "a click leaves before the frame is shown";
    EXPECT_EQ(std::pair(mouseX, mouseY), std::pair(405, 105)) << "where the menu expects the cursor";
    std::string twelve;
    for (int k = 0; k < 12; ++k) twelve += "AAA " + std::to_string(900 - k) + "\n";
    ASSERT_TRUE(saveTextFile("scores_classic.txt", twelve));
    ASSERT_TRUE(saveTextFile("scores_time.txt", "Tim 77\nAbcdefghijk 123456789\n"));
    ASSERT_TRUE(createFont());
    releaseAllKeys();
    setKeyDown(VK_ESCAPE, true);
    mouseY = 520; // over the button, not clicking
    EXPECT_EQ(runHighScoreList(), 0) << "Escape leaves once the frame is shown";
    picture::expectPicture(frontSurface.pixels.data(), 0xdd9de2380552665f, "list");
    releaseAllKeys();
    for (const auto& [dx, dy, x, y] : {std::tuple{-5000, -5000, 0, 0}, {5000, 5000, 784, 584}}) {
        addMouseMotion(dx, dy);
        runHighScoreList();
        EXPECT_EQ(std::pair(mouseX, mouseY), std::pair(x, y)) << "the cursor stays on screen, to its edge";
    }
}

namespace crossfall {
namespace {

// A row's journal name: every name a table can hold (any bytes but blanks, up to 11), every total and
// every place reads back as written, with no slash; only that one spelling reads back at all.
TEST(RowReplayNames, EveryRowReadsBackFromItsOneSpellingAndNoOtherNameReads) {
    const std::tuple<RowReplayName, const char*> rows[] = {
        {{MODE_CLASSIC, 4210, "ABC", 1}, "classic_4210_ABC.cfr"},
        {{MODE_RUBIK, 0, "z9", 2}, "rubik_0_z9_2.cfr"},
        {{MODE_4WAY, -1, "???", 10}, "4way_-1_%3F%3F%3F_10.cfr"},
        {{MODE_DUOFALL, INT32_MAX, "@`/.\x7F", 1}, "2p_2147483647_%40%60%2F%2E%7F.cfr"},
        {{MODE_TIME, INT32_MIN, "\xC0\x80\x01_%", 3}, "time_-2147483648_%C0%80%01%5F%25_3.cfr"},
        {{MODE_TIME, 5, "ABCDEFGHIJK", 1}, "time_5_ABCDEFGHIJK.cfr"},
    };
    for (const auto& [row, file] : rows) {
        EXPECT_EQ(rowReplayFileName(row), file);
        EXPECT_EQ(parseRowReplayFileName(file), row) << file;
    }
    for (const char* file : {"classic_4210_ABC.cf",
                             "classic_4210_ABC",
                             "classic_4210_ABC_1.cfr",
                             "classic_4210_ABC_11.cfr",
                             "classic_4210_ABC_0.cfr",
                             "classic_4210_ABC_02.cfr",
                             "classic_04210_ABC.cfr",
                             "classic_+4210_ABC.cfr",
                             "classic_-0_ABC.cfr",
                             "classic_2147483648_ABC.cfr",
                             "classic_-2147483649_ABC.cfr",
                             "classic_4210_.cfr",
                             "classic__ABC.cfr",
                             "Classic_4210_ABC.cfr",
                             "best_4210_ABC.cfr",
                             "classic_4210_ABCDEFGHIJKL.cfr",
                             "classic_4210_%41BC.cfr",
                             "classic_4210_A%3f.cfr",
                             "classic_4210_A%3.cfr",
                             "classic_4210_A%.cfr",
                             "classic_4210_A%G0.cfr",
                             "classic_4210_A%0G.cfr",
                             "classic_4210_A B.cfr",
                             "classic_4210_AB_2_2.cfr",
                             "classic_x_ABC.cfr",
                             ".cfr",
                             ""})
        EXPECT_FALSE(parseRowReplayFileName(file)) << file;
    // Twins: the second "BOT 50" of a table is _2, the third _3, whatever rows lie between.
    HighScoreEntry table[HIGH_SCORE_ROWS] = {{90, "BOT"}, {50, "BOT"}, {50, "ZED"},
                                             {50, "BOT"}, {50, "BOT"}, {40, "BOT"}};
    const char* paths[] = {"replays/classic_90_BOT.cfr",   "replays/classic_50_BOT.cfr",
                           "replays/classic_50_ZED.cfr",   "replays/classic_50_BOT_2.cfr",
                           "replays/classic_50_BOT_3.cfr", "replays/classic_40_BOT.cfr"};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(rowReplayPath(MODE_CLASSIC, table, k), paths[k]) << k;
    EXPECT_STREQ(bestReplayName(MODE_TIME), "best_time.cfr");
    EXPECT_EQ(bestReplayName(MODE_COUNT), nullptr);
}

} // namespace
} // namespace crossfall
