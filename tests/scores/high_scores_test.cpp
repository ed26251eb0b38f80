// Score files, the initials entry and the list page: ranks, stored bytes, bad files, the way out.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <utility>

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
#include "support/picture.h"

using namespace crossfall;

namespace {


class Scores : public testing::Test {
  protected:
    void SetUp() override {
        initVideo();
        null_backend::reset();
        releaseAllKeys();
        initInput();
        typedInitials[0] = '\0';
    }
    // Ends a game of this mode with this result, runs the check and returns the ten names in memory.
    static std::string checkEndedGame(int mode, std::int32_t points, std::int32_t bonuses = 0) {
        gameMode = mode;
        score = points;
        comboBonuses = bonuses;
        inScoreEntry = 0;
        newEntryRank = -1;
        checkHighScore();
        std::string names;
        for (const HighScoreEntry& row : highScoreTable) names += row.name + std::string(" ");
        return names;
    }
    static void passWith(std::initializer_list<int> keys) {
        releaseAllKeys();
        for (int key : keys) setKeyDown(key, true);
        runHighScoreEntry();
    }
};

} // namespace

TEST_F(Scores, ResultEntersStrictlyAboveLowerTotalsAndSavesTenRows) {
    writeTextFile("scores_4way.txt", "A 900\nB 500\nC 500\nD 300\nE 200\nF 100\nG 90\nH 80\nI 70\nJ 60\n");
    const struct {
        std::int32_t points, rank;
        const char* names;
    } cases[] = {{500, 3, "A B C D D E F G H I "},
                 {501, 1, "A B B C D E F G H I "},
                 {60, -1, "A B C D E F G H I J "},
                 {61, 9, "A B C D E F G H I J "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.points);
        EXPECT_EQ(checkEndedGame(2, c.points), c.names);
        EXPECT_EQ(newEntryRank, c.rank);
        EXPECT_EQ(inScoreEntry, c.rank >= 0);
    }

    checkEndedGame(3, 5);
    std::strcpy(highScoreTable[0].name, "Q");
    ASSERT_TRUE(saveHighScores());
    std::string saved = "Q 0\r\n";
    for (int k = 1; k < HIGH_SCORE_ROWS; ++k) saved += "??? 0\r\n";
    EXPECT_EQ(readFile("scores_2p.txt", 1000).value(), saved);

    checkEndedGame(3, 2147483000, 2000);
    EXPECT_EQ(finalTotal(), 2147483647);

    // Whatever a table holds, the saved file reads back as that table.
    const HighScoreEntry odd[] = {{2147483647, "ABCDEFGHIJK"}, {0, "\xfe\x01"}, {-2147483647 - 1, "Q"}, {-1, "???"}};
    std::copy(std::begin(odd), std::end(odd), highScoreTable);
    ASSERT_TRUE(saveHighScores());
    HighScoreEntry back[HIGH_SCORE_ROWS];
    EXPECT_EQ(readScoreRows("scores_2p.txt", back, HIGH_SCORE_ROWS, TABLE_NAME_LENGTH), HIGH_SCORE_ROWS);
    for (int k = 0; k < HIGH_SCORE_ROWS; ++k) {
        EXPECT_EQ(back[k].total, highScoreTable[k].total) << k;
        EXPECT_STREQ(back[k].name, highScoreTable[k].name) << k;
    }
}

TEST_F(Scores, BrokenAndHugeFilesReadUpToTheFirstFailure) {
    // Blanks only before the read limit, so the text-mode write moves no byte across it.
    // Two rows whose second score starts at the offset.
    const auto upTo = [](std::size_t offset, const std::string& tail) {
        return "AAA 40 BBB" + std::string(offset - 10, ' ') + tail;
    };
    std::string huge = "AAA 40 BBB 30 ";
    huge += std::string(4096 - huge.size() - 6, ' ') + "CCC 12345 DDD 7 " + std::string(8 << 20, 'x');
    const struct {
        std::string text, names;
        std::int32_t totals[3];
    } cases[] = {
        {"AAA 40\nBBB\t-30\n\n  CCC x20\nDDD 10\n", "AAA BBB CCC ", {40, -30, 0}},
        {std::string(1, '\0') + "AB 12 \xfe\x01 3 ABCDEFGHIJKLMNOP", "??? \xfe\x01 ABCDEFGHIJK ", {12, 3, 0}},
        {"\r\n \t\r\n", "", {0}},
        // A score ending at the 4 KiB read bound is whole; one running on past it is cut and not read.
        {upTo(4091, "12345"), "AAA BBB ", {40, 12345}},
        {upTo(4091, "12345 CCC 9"), "AAA BBB ", {40, 12345}},
        {upTo(4092, "12345 CCC 9"), "AAA BBB ", {40, 0}},
        {huge, "AAA BBB CCC ", {40, 30, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.names);
        writeTextFile("scores_classic.txt", c.text);
        // The lowest result enters nowhere, so the rows stay as read.
        std::string names = checkEndedGame(0, -2147483647 - 1);
        EXPECT_EQ(names.substr(0, c.names.size()), c.names);
        EXPECT_EQ(names.find_first_not_of("? ", c.names.size()), std::string::npos);
        for (int k = 0; k < HIGH_SCORE_ROWS; ++k) EXPECT_EQ(highScoreTable[k].total, k < 3 ? c.totals[k] : 0);
    }
    HighScoreEntry list[3];
    EXPECT_EQ(readScoreRows("scores_classic.txt", list, 3, LIST_NAME_LENGTH), 2)
        << "only complete rows count";
}

TEST_F(Scores, EntryShowsOnlyItsBoxAndTakesLettersInCodeOrderUpToThree) {
    ASSERT_TRUE(createFont());
    checkEndedGame(0, 100);
    const std::uint16_t frozen = static_cast<std::uint16_t>(packColor(200, 0, 0));
    clearSurface(frontSurface, frozen);
    clearSurface(backSurface, packColor(0, 200, 0));
    passWith({});
    picture::expectPicture(null_backend::lastPicture(), 0xf027d5dcce651e49, "entry-box"); // only the box, over the frozen picture
    const struct {
        std::initializer_list<int> keys;
        const char* initials;
        unsigned slept;
    } passes[] = {{{VK_BACK}, "", 0},  {{'B', 'A'}, "AB", 300},           {{'A', 'B'}, "ABA", 450},
                  {{'Z'}, "ABA", 450}, {{VK_BACK, VK_DELETE}, "AB", 600}, {{VK_DELETE, 'Z'}, "AB", 900}};
    for (const auto& pass : passes) {
        passWith(pass.keys);
        EXPECT_STREQ(typedInitials, pass.initials);
        EXPECT_EQ(null_backend::sleptMs(), pass.slept);
    }
    picture::expectPicture(null_backend::lastPicture(), 0xf7ea35a12ce49c69, "entry");
}

TEST_F(Scores, APadAloneChangesTheLetterGoesOnToTheNextAndStartSaves) {
    ASSERT_TRUE(createFont());
    checkEndedGame(0, 100);
    std::strcpy(typedInitials, "Q?");
    // The pad's buttons held in one pass, then the initials and the time paused.
    const struct { std::initializer_list<PadButton> held; const char* initials; unsigned slept; } passes[] = {
        {{}, "Q?", 0},
        {{PadButton::DpadUp}, "R?", 150},            {{PadButton::DpadDown}, "Q?", 300},
        {{PadButton::DpadUp, PadButton::DpadDown}, "Q?", 300}, // both at once: neither
        {{PadButton::DpadRight}, "Q?", 450},          {{PadButton::DpadUp}, "QA", 600}, // '?' becomes A
        {{PadButton::DpadDown}, "QZ", 750},           {{PadButton::DpadDown}, "QY", 900},
        {{PadButton::South}, "QY", 1050},             {{PadButton::South}, "QY", 1050}, // no letter to go past
        {{PadButton::DpadDown}, "QYZ", 1200},         {{PadButton::DpadUp}, "QYA", 1350},
        {{PadButton::DpadRight}, "QYA", 1350},        // three letters: the last stays current
        {{PadButton::DpadUp, PadButton::DpadRight}, "QYB", 1500},
        {{PadButton::West}, "QYB", 1500},             {{PadButton::LeftShoulder}, "QYB", 1500},
    };
    for (const auto& pass : passes) {
        releaseAllKeys();
        for (PadButton button : pass.held) setPadButton(1, button, true);
        runHighScoreEntry();
        EXPECT_STREQ(typedInitials, pass.initials) << &pass - passes;
        EXPECT_EQ(null_backend::sleptMs(), pass.slept) << &pass - passes;
    }
    // The stick does what the d-pad does; a drifting one nothing.
    releaseAllKeys();
    setPadAxis(0, PadAxis::LeftY, -7000);
    runHighScoreEntry();
    EXPECT_STREQ(typedInitials, "QYB");
    setPadAxis(0, PadAxis::LeftY, 30000);
    runHighScoreEntry();
    EXPECT_STREQ(typedInitials, "QYA");
    // The letter the pad changes is underlined in green, under the third letter's place.
    const std::uint16_t* shown = null_backend::lastPicture();
    int underline = 0;
    for (int x = 280; x < 520; ++x) underline += shown[435 * SCREEN_WIDTH + x] == packColor(0, 255, 0);
    EXPECT_TRUE(underline == textWidth("A") && underline > 0) << underline;
    releaseAllKeys();
    setPadButton(2, PadButton::Start, true);
    runHighScoreEntry();
    EXPECT_EQ(inScoreEntry, 0);
    EXPECT_EQ(readFile("scores_classic.txt", 100).value().substr(0, 9), "QYA 100\r\n");
    // The next entry starts at the first letter again, with nothing underlined until the pad is used.
    releaseAllKeys();
    checkEndedGame(0, 90);
    setPadButton(0, PadButton::DpadUp, true);
    runHighScoreEntry();
    EXPECT_STREQ(typedInitials, "RYA");
}

TEST_F(Scores, EnterSavesTheEntryInItsRowAndAFailedSaveLeavesTheFileWhole) {
    writeTextFile("scores_classic.txt",
                  "A 900\nB 800\nC 700\nD 600\nE 500\nF 400\nG 300\nH 200\nI 100\nJ 50\n");
    checkEndedGame(0, 700, 50);
    passWith({VK_RETURN});
    EXPECT_EQ(inScoreEntry, 0);
    // The next entry starts from the kept initials.
    checkEndedGame(0, 400);
    for (int key : {int('Q'), VK_BACK, int('Q'), VK_RETURN}) passWith({key});

    // A file-size limit makes the next save fail part-way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit tiny{16, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    checkEndedGame(0, 999);
    passWith({VK_RETURN});
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(
        readFile("scores_classic.txt", 1000).value(),
        "A 900\r\nB 800\r\n??? 750\r\nC 700\r\nD 600\r\nE 500\r\nF 400\r\n??Q 400\r\nG 300\r\nH 200\r\n");
}

TEST_F(Scores, ListLeavesAtOnceOnAClickExactlyInsideTheButton) {
    auto clickAt = [](int x, int y) {
        mouseX = x;
        mouseY = y;
        return runHighScoreList();
    };
    setKeyDown(VK_LBUTTON, true);
    EXPECT_EQ(clickAt(199, 515), 1);
    EXPECT_EQ(clickAt(200, 528), 1);
    EXPECT_EQ(clickAt(600, 508), 1);
    EXPECT_EQ(clickAt(599, 527), 0);
    EXPECT_EQ(clickAt(200, 508), 0);
    EXPECT_EQ(null_backend::picturesShown(), 3) << "a click leaves before the frame is shown";
    EXPECT_EQ(std::pair(mouseX, mouseY), std::pair(405, 105)) << "where the menu expects the cursor";
}

TEST_F(Scores, ListShowsAtMostTenRowsDarkeningDownTheColumn) {
    std::string twelve;
    for (int k = 0; k < 12; ++k) twelve += "AAA " + std::to_string(900 - k) + "\n";
    ASSERT_TRUE(writeTextFile("scores_classic.txt", twelve));
    ASSERT_TRUE(writeTextFile("scores_time.txt", "Tim 77\nAbcdefghijk 123456789\n"));
    ASSERT_TRUE(createFont());
    mouseX = mouseY = 0;
    EXPECT_EQ(runHighScoreList(), 1);
    picture::expectPicture(frontSurface.pixels.data(), 0x3a520f66faeaa80f, "list");
}
