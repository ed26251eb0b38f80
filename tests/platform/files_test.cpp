// Text files (CR LF line ends, saves that keep the old file on failure, bounded reads) and the
// token reading of their contents, where the first failed read ends the reading.
#include "platform/files.h"
#include "platform/folder_lock.h"
#include "platform/tokens.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <iomanip>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
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

TEST(Files, TextModeEndsEveryLineInCrLf) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"\n", "\r\n"}, {"a", "a"}, {"\na\n\nb", "\r\na\r\n\r\nb"}, {"a\r\n", "a\r\r\n"},
        {std::string("\0\n", 2), std::string("\0\r\n", 3)},
    };
    for (const auto& [text, stored] : cases) EXPECT_EQ(toTextMode(text), stored) << testing::PrintToString(text);
}

// Only regular files are read: a pipe or a device could block or never end.
TEST(Files, RegularFilesAreReadUpToTheBoundAndNothingElseIsOpened) {
    ASSERT_TRUE(writeTextFile("plain.txt", "abcdef"));
    std::filesystem::create_directory("folder");
    ASSERT_EQ(::mkfifo("pipe", 0644), 0);
    const struct {
        const char* name;
        std::size_t bound;
        FileRead result;
        const char* bytes;
    } cases[] = {
        {"plain.txt", 100, FileRead::Done, "abcdef"}, {"plain.txt", 6, FileRead::Done, "abcdef"},
        {"plain.txt", 5, FileRead::Done, "abcde"},    {"plain.txt", 0, FileRead::Done, ""},
        {"missing", 10, FileRead::NotOpened, ""},     {"folder", 10, FileRead::NotOpened, ""},
        {"pipe", 10, FileRead::NotOpened, ""},
    };
    for (const auto& c : cases) {
        std::string bytes = "left over";
        EXPECT_EQ(readRegularFile(c.name, c.bound, bytes), c.result) << c.name << " " << c.bound;
        EXPECT_EQ(bytes, c.bytes) << c.name << " " << c.bound;
    }
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

// The reader against a string stream's extraction (base detection for AnyBase, decimal otherwise):
// five reads from the same starting values must agree in every result and every value left.
TEST(Tokens, IntegersReadExactlyAsAStreamExtractsThem) {
    const std::string texts[] = {
        "0x", "0X", "0xg", "0X z", "0x 1", "0xx1", "0x-1", "0x1g", "0x0x1", "00x1", "x1", "0x1F -7 +5 0x",
        "08", "09", "0009", "010", "-010", "+012", "0a", "07 8", "-0x1A", "+0XaBc", "0x00000000001",
        "0", "-0", "00", "+", "-", "- 5", "--1", "+-1", "1e5", "0.5", "0,5", "12abc", "abc 5", "",
        " \t\r\n\v\f", "\v7\f8\r9", "\xa0" "5", std::string("4\0" "5", 3), "5\xff",
        "2147483647 -2147483648 2147483648", "-2147483649", "99999999999999999999999999",
        "-99999999999999999999999999", "0x7FFFFFFF 0xFFFFFFFF", "0x80000000", "-0x80000000", "-0x80000001",
        "017777777777 020000000000", "037777777777", "0xFFFFFFFFFFFFFFFFF", "-0000000000000000000000001",
    };
    for (IntSyntax syntax : {IntSyntax::AnyBase, IntSyntax::Decimal}) {
        for (const std::string& text : texts) {
            SCOPED_TRACE(testing::PrintToString(text) + (syntax == IntSyntax::AnyBase ? " any base" : " decimal"));
            std::istringstream stream(text);
            stream >> std::setbase(syntax == IntSyntax::AnyBase ? 0 : 10);
            TokenReader reader(text);
            for (int read = 0; read < 5; ++read) {
                int streamValue = 1000 + read;
                std::int32_t ourValue = 1000 + read;
                stream >> streamValue;
                EXPECT_EQ(reader.readInt(ourValue, syntax), !stream.fail()) << "read " << read;
                EXPECT_EQ(ourValue, streamValue) << "read " << read;
            }
            std::string word;
            if (stream.fail()) {
                EXPECT_FALSE(reader.readWord(word, 5)) << "no word after a failed read";
            }
        }
    }
}
