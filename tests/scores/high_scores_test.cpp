// Score files: reading tables from well-formed, short, broken and hostile files, where a result
// enters, the debug log, and saves that keep the old file when the disk is full.
#include "scores/high_scores.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>

#include "platform/files.h"
#include "platform/screen_flags.h"
#include "rules/game_state.h"
#include "scores/score_test_support.h"

using namespace crossfall;

namespace {

std::string defaultRows(int count) {
    std::string text;
    for (int k = 0; k < count; ++k) text += "??? 0\r\n";
    return text;
}

} // namespace

TEST(HighScoreFiles, FirstEntryOfAModeGoesToRowZeroAndSavesNineDefaultRows) {
    startEndedGame(1, 800, 70);
    checkHighScore();
    EXPECT_EQ(scoreCheckDone, 1);
    EXPECT_EQ(inScoreEntry, 1);
    EXPECT_EQ(newEntryRank, 0);

    highScoreTable[0].total = 870;
    std::strcpy(highScoreTable[0].name, "ABC");
    ASSERT_TRUE(saveHighScores());
    EXPECT_EQ(readFile("scores_rubik.txt", 10000).value(), "ABC 870\r\n" + defaultRows(9));
    EXPECT_FALSE(std::filesystem::exists("scores_classic.txt"));
}

TEST(HighScoreFiles, ZeroNeverEntersAndAFailedCheckTouchesNoScoreFile) {
    startEndedGame(0, 0, 0);
    checkHighScore();
    EXPECT_EQ(scoreCheckDone, 1);
    EXPECT_EQ(inScoreEntry, 0);
    EXPECT_FALSE(std::filesystem::exists("scores_classic.txt"));
    for (const HighScoreEntry& row : highScoreTable) {
        EXPECT_STREQ(row.name, "???");
        EXPECT_EQ(row.total, 0);
    }
}

TEST(HighScoreFiles, ResultsEnterBelowEqualTotalsAndTheShiftDropsTheLastRow) {
    const char* table = "A 900\nB 500\nC 500\nD 300\nE 200\nF 100\nG 90\nH 80\nI 70\nJ 60\n";
    writeTextFile("scores_4way.txt", table);

    startEndedGame(2, 450, 50);
    checkHighScore();
    ASSERT_EQ(inScoreEntry, 1);
    EXPECT_EQ(newEntryRank, 3);
    EXPECT_EQ(tableNames(), "A B C D D E F G H I");
    EXPECT_EQ(highScoreTable[4].total, 300);
    EXPECT_EQ(highScoreTable[9].total, 70);

    startEndedGame(2, 501, 0);
    checkHighScore();
    EXPECT_EQ(newEntryRank, 1);
    EXPECT_EQ(tableNames(), "A B B C D E F G H I");

    startEndedGame(2, 60, 0);
    checkHighScore();
    EXPECT_EQ(inScoreEntry, 0) << "equal to the tenth row";
    startEndedGame(2, 61, 0);
    checkHighScore();
    EXPECT_EQ(newEntryRank, 9);
    EXPECT_EQ(tableNames(), "A B C D E F G H I J") << "the tenth row is replaced, nothing moves";
}

TEST(HighScoreFiles, ShortAndBrokenFilesReadUpToTheFirstFailure) {
    struct Case {
        const char* text;
        const char* names;
        std::int32_t totals[4];
    };
    const Case cases[] = {
        {"AAA 40\r\nBBB 30\r\nCCC 20\r\nDDD 10\r\n", "AAA BBB CCC DDD ??? ??? ??? ??? ??? ???", {40, 30, 20, 10}},
        {"AAA 40\nBBB 30\nCCC x20\nDDD 10\n", "AAA BBB CCC ??? ??? ??? ??? ??? ??? ???", {40, 30, 0}},
        {"AAA 40 BBB\t30\n\n   CCC 99999999999 DDD 10", "AAA BBB CCC ??? ??? ??? ??? ??? ??? ???", {40, 30, 0}},
        {"AAA -7 BBB +3 CCC", "AAA BBB CCC ??? ??? ??? ??? ??? ??? ???", {-7, 3, 0}},
        {"", "??? ??? ??? ??? ??? ??? ??? ??? ??? ???", {0, 0, 0}},
        {"\r\n \t\r\n", "??? ??? ??? ??? ??? ??? ??? ??? ??? ???", {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        writeTextFile("scores_classic.txt", c.text);
        // The lowest result enters no table, so the rows stay as read.
        startEndedGame(0, -2147483647 - 1, 0);
        checkHighScore();
        EXPECT_EQ(tableNames(), c.names);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(highScoreTable[k].total, c.totals[k]);
        for (int k = 4; k < HIGH_SCORE_ROWS; ++k) EXPECT_EQ(highScoreTable[k].total, 0);
    }
}

TEST(HighScoreFiles, ListReaderCountsOnlyCompleteRowsAndCutsNamesToItsField) {
    writeTextFile("s.txt", "ABCDEFGHIJKLMNOP 7 XY 5 Z nope");
    HighScoreEntry rows[10];
    rows[4].total = 99;
    EXPECT_EQ(readScoreRows("s.txt", rows, 10, LIST_NAME_LENGTH), 2);
    EXPECT_STREQ(rows[0].name, "ABCDEFGHI");
    EXPECT_EQ(rows[0].total, 7);
    EXPECT_STREQ(rows[2].name, "Z") << "the name of the failed row is still there for the menu";
    EXPECT_EQ(rows[2].total, 0);
    EXPECT_EQ(rows[4].total, 0) << "rows not read are reset";

    EXPECT_EQ(readScoreRows("s.txt", rows, 1, 99), 1);
    EXPECT_STREQ(rows[0].name, "ABCDEFGHIJK") << "never more than the table's field";
    EXPECT_EQ(readScoreRows("missing.txt", rows, 10, 9), 0);
    EXPECT_EQ(readScoreRows(scoreFileName(5), rows, 10, 9), 0);
}

TEST(HighScoreFiles, OverlongNamesAreCutToElevenAndSaveAsRowsThatReadBack) {
    writeTextFile("scores_2p.txt", "ABCDEFGHIJKLMNOPQRSTUVWXYZ 500\n");
    startEndedGame(3, 600, 0);
    checkHighScore();
    std::strcpy(highScoreTable[0].name, "Q");
    highScoreTable[0].total = 600;
    ASSERT_TRUE(saveHighScores());
    EXPECT_EQ(readFile("scores_2p.txt", 10000).value(), "Q 600\r\nABCDEFGHIJK 500\r\n" + defaultRows(8));
}

TEST(HighScoreFiles, EachCheckLogsTheTenNamesToDebugTxt) {
    appendLine("debug.txt", "earlier line");
    writeTextFile("scores_classic.txt", "AAA 40\nBBB 30\n");
    startEndedGame(0, 1, 0);
    checkHighScore();
    checkHighScore();
    std::string log = readFile("debug.txt", 10000).value();
    std::string expected = "earlier line\r\n";
    for (int check = 0; check < 2; ++check) {
        expected += "AAA\r\nBBB\r\n";
        for (int k = 0; k < 8; ++k) expected += "???\r\n";
    }
    EXPECT_EQ(log, expected);
}

TEST(HighScoreFiles, HugeFilesAreReadOnlyAtTheirStartAndNoTokenIsCutInHalf) {
    // Blanks only before the cut, so the text-mode write moves no byte across it.
    std::string text = "AAA 40 BBB 30 ";
    text += std::string(4096 - text.size() - 6, ' ') + "CCC 12345 DDD 7 ";
    text += std::string(8 << 20, 'x');
    writeTextFile("scores_classic.txt", text);
    startEndedGame(0, 0, 0);
    checkHighScore();
    EXPECT_EQ(tableNames(), "AAA BBB CCC ??? ??? ??? ??? ??? ??? ???");
    EXPECT_EQ(highScoreTable[2].total, 0) << "12345 straddles the read limit: no part of it is taken";
}

TEST(HighScoreFiles, BinaryGarbageGivesPrintableLengthBoundedNames) {
    std::string garbage;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage += static_cast<char>(seed >> 24);
    }
    garbage.insert(0, std::string("\0\0AB 12 ", 8));
    writeTextFile("scores_classic.txt", garbage);
    startEndedGame(0, 5, 0);
    checkHighScore();
    EXPECT_STREQ(highScoreTable[0].name, "???") << "a name that starts with NUL reads as empty";
    for (const HighScoreEntry& row : highScoreTable) {
        std::size_t length = strnlen(row.name, sizeof row.name);
        EXPECT_GE(length, 1u);
        EXPECT_LE(length, 11u);
    }
}

TEST(HighScoreFiles, AFailedSaveLeavesTheOldFileAndTheTableAsTheyWere) {
    writeTextFile("scores_classic.txt", "OLD 10\n");
    startEndedGame(0, 20, 0);
    checkHighScore();
    ASSERT_EQ(newEntryRank, 0);
    std::strcpy(highScoreTable[0].name, "NEW");
    highScoreTable[0].total = 20;
    std::string before = tableNames();

    // A file-size limit makes the write fail part-way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    bool saved = saveHighScores();
    setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_FALSE(saved);
    EXPECT_EQ(readFile("scores_classic.txt", 1000).value(), "OLD 10\r\n");
    EXPECT_EQ(tableNames(), before);
    EXPECT_EQ(highScoreTable[0].total, 20);
}

TEST(HighScoreFiles, ResultsBeyondThirtyTwoBitsAreHeldAtTheLimit) {
    startEndedGame(0, 2147483000, 2000);
    EXPECT_EQ(finalTotal(), 2147483647);
    startEndedGame(0, -2147483000, -2000);
    EXPECT_EQ(finalTotal(), -2147483647 - 1);
}
