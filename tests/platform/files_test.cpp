// Text files (CR LF line ends, saves that keep the old file on failure, bounded reads) and the
// token reading of their contents, where the first failed read ends the reading.
#include "platform/files.h"
#include "platform/folder_lock.h"
#include "platform/tokens.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <filesystem>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <tuple>
#include <vector>

using namespace crossfall;

namespace {

long entriesInFolder() { return std::distance(std::filesystem::directory_iterator("."), {}); }

} // namespace

TEST(Files, LinesEndInCrLfSavesLeaveNoTemporaryFileAndReadsAreBounded) {
    appendLine("log.txt", "first");
    appendLine("log.txt", "");
    EXPECT_EQ(readFile("log.txt", 1000), "first\r\n\r\n");
    ASSERT_TRUE(writeTextFile("log.txt", "a\nb\n\nc"));
    EXPECT_EQ(readFile("log.txt", 1000), "a\r\nb\r\n\r\nc") << "replaced, not appended";
    ASSERT_TRUE(saveTextFile("log.txt", "new\n"));
    EXPECT_EQ(readFile("log.txt", 1000), "new\r\n");
    EXPECT_EQ(entriesInFolder(), 1) << "no temporary file is left behind";

    EXPECT_FALSE(readFile("missing.txt", 10).has_value());
    ASSERT_TRUE(writeTextFile("big.txt", std::string(5000, 'x')));
    EXPECT_EQ(readFile("big.txt", 4100).value().size(), 4100u) << "more than one read chunk, cut at the bound";
}

TEST(Files, FailedSavesLeaveTheOldFileWhole) {
    ASSERT_TRUE(writeTextFile("f.txt", "old\n"));
    // A file-size limit makes the write fail part-way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit tiny{16, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    bool saved = saveTextFile("f.txt", std::string(1000, 'n'));
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(saved);
    EXPECT_EQ(readFile("f.txt", 1000), "old\r\n");
    EXPECT_EQ(entriesInFolder(), 1) << "the temporary file is removed";
    EXPECT_FALSE(saveTextFile("no/such/folder/f.txt", "x\n"));
}

TEST(Files, ASaveReplacesTheEndOfALinkChainAndKeepsItsPermissions) {
    namespace fs = std::filesystem;
    fs::create_directories("real/deeper");
    // {what the save names, the file that must receive the text, its permissions before}
    const std::tuple<const char*, const char*, fs::perms> cases[] = {
        {"plain.txt", "plain.txt", fs::perms(0600)},
        {"link.txt", "real/target.txt", fs::perms(0640)},       // relative link into a folder
        {"chain.txt", "real/deeper/end.txt", fs::perms(0444)}, // link to a link, read-only end
        {"dangling.txt", "real/new.txt", fs::perms(0644)},     // the target does not exist yet
        {"real/up.txt", "plain.txt", fs::perms(0600)},          // relative to the link's own folder
    };
    ASSERT_TRUE(writeTextFile("plain.txt", "old\n"));
    ASSERT_TRUE(writeTextFile("real/target.txt", "old\n"));
    ASSERT_TRUE(writeTextFile("real/deeper/end.txt", "old\n"));
    fs::create_symlink("real/target.txt", "link.txt");
    fs::create_symlink(fs::absolute("real/deeper/hop.txt"), "chain.txt");
    fs::create_symlink("end.txt", "real/deeper/hop.txt");
    fs::create_symlink("real/new.txt", "dangling.txt");
    fs::create_symlink("../plain.txt", "real/up.txt");
    for (const auto& [name, target, mode] : cases) {
        if (fs::exists(target)) fs::permissions(target, mode);
        const bool linked = fs::is_symlink(name);
        ASSERT_TRUE(saveTextFile(name, std::string("saved ") + name));
        EXPECT_EQ(readFile(target, 100), std::string("saved ") + name) << name;
        EXPECT_EQ(fs::is_symlink(name), linked) << name;
        EXPECT_EQ(fs::status(target).permissions(), mode) << name;
    }
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator("."), {}), 11) << "no temporary file is left behind";
}

TEST(Files, OneProcessAtATimeHoldsAFoldersLock) {
    // A copy started while this one holds the lock is refused in this folder, not in another one.
    const auto lockInChild = [](const char* folder) {
        const pid_t child = fork();
        if (child == 0) _exit(chdir(folder) == 0 && lockGameFolder() ? 0 : 1);
        int status = -1;
        waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    std::filesystem::create_directory("other");
    EXPECT_TRUE(lockInChild(".")) << "free before this process takes it, and freed when the child ends";
    ASSERT_TRUE(lockGameFolder());
    EXPECT_FALSE(lockInChild("."));
    EXPECT_TRUE(lockInChild("other"));
}

TEST(Tokens, WordsAreRunsOfNonBlankBytesCutToTheField) {
    TokenReader reader("  ABC\r\n\tverylongname 12");
    std::string word;
    std::int32_t value = -1;
    EXPECT_TRUE(reader.readWord(word, 11) && word == "ABC");
    EXPECT_TRUE(reader.readWord(word, 4) && word == "very");
    EXPECT_TRUE(reader.readInt(value, IntSyntax::Decimal) && value == 12) << "the cut rest of a word is skipped";
    EXPECT_FALSE(reader.readWord(word, 11));
}

TEST(Tokens, IntegersReadLikeAStreamUntilTheFirstFailure) {
    constexpr int UNTOUCHED = 99;
    // The values of the reads that succeed, then what the first failed read leaves.
    const struct { const char* text; IntSyntax syntax; std::vector<int> values; int failed; } cases[] = {
        {"010 0x1F -7 +5 0x", IntSyntax::AnyBase, {8, 31, -7, 5, 0}, 0}, // "0x": the number 0, then junk
        {"010 -0", IntSyntax::Decimal, {10, 0}, UNTOUCHED},
        {"5 abc 7", IntSyntax::AnyBase, {5}, 0},
        {"2147483647 -2147483648 2147483648", IntSyntax::Decimal, {INT_MAX, INT_MIN}, INT_MAX},
        {"-99999999999999999999999999", IntSyntax::AnyBase, {}, INT_MIN},
        {"0x7FFFFFFF 0xFFFFFFFF", IntSyntax::AnyBase, {INT_MAX}, INT_MAX},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TokenReader reader(c.text);
        std::int32_t v = UNTOUCHED;
        for (int expected : c.values) EXPECT_TRUE(reader.readInt(v, c.syntax) && v == expected) << expected;
        v = UNTOUCHED;
        EXPECT_FALSE(reader.readInt(v, c.syntax));
        EXPECT_EQ(v, c.failed);
        v = UNTOUCHED;
        std::string word;
        EXPECT_FALSE(reader.readInt(v, c.syntax) || reader.readWord(word, 5));
        EXPECT_EQ(v, UNTOUCHED) << "a read after a failure leaves the value alone";
    }
}
