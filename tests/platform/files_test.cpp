// Text files: CR LF line ends, appended lines, saves that keep the old file on failure, bounded reads.
#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <csignal>
#include <sys/resource.h>

using namespace crossfall;

TEST(Files, TextModeTurnsEveryNewlineIntoCrLf) {
    EXPECT_EQ(toTextMode("a\nb\n\n"), "a\r\nb\r\n\r\n");
    EXPECT_EQ(toTextMode("no newline"), "no newline");
}

TEST(Files, AppendLineAddsOneCrLfLinePerCall) {
    appendLine("log.txt", "first");
    appendLine("log.txt", "");
    appendLine("log.txt", "third");
    EXPECT_EQ(readFile("log.txt", 1000).value(), "first\r\n\r\nthird\r\n");
}

TEST(Files, SaveReplacesTheFileAndLeavesNoTemporaryBehind) {
    ASSERT_TRUE(writeTextFile("f.txt", "old\n"));
    ASSERT_TRUE(saveTextFile("f.txt", "new\nlines\n"));
    EXPECT_EQ(readFile("f.txt", 1000).value(), "new\r\nlines\r\n");
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(Files, SaveThatRunsOutOfSpaceLeavesTheOldFileWhole) {
    ASSERT_TRUE(writeTextFile("f.txt", "old\n"));
    // A file-size limit makes the write fail part-way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    bool saved = saveTextFile("f.txt", std::string(1000, 'n'));
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(saved);
    EXPECT_EQ(readFile("f.txt", 1000).value(), "old\r\n");
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "the temporary file is removed";
}

TEST(Files, SaveIntoAMissingFolderFailsCleanly) {
    EXPECT_FALSE(saveTextFile("no/such/folder/f.txt", "x\n"));
    EXPECT_FALSE(std::filesystem::exists("no"));
}

TEST(Files, ReadIsBoundedAndMissingFilesReadAsNothing) {
    EXPECT_FALSE(readFile("missing.txt", 10).has_value());
    ASSERT_TRUE(writeTextFile("big.txt", std::string(5000, 'x')));
    EXPECT_EQ(readFile("big.txt", 4100).value().size(), 4100u);
    ASSERT_TRUE(writeTextFile("empty.txt", ""));
    EXPECT_EQ(readFile("empty.txt", 10).value(), "");
}
