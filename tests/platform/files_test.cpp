// Text files: CR LF line ends, saves that replace the end of a link chain and keep its permissions,
// bounded reads of regular files only, the folder lock's file, and the token reader's failures.
#include "platform/files.h"
#include "platform/folder_lock.h"
#include "platform/tokens.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>
#include <filesystem>
#include <sys/stat.h>
#include <iomanip>
#include <sstream>
#include <tuple>
#include <utility>

using namespace crossfall;
namespace fs = std::filesystem;

namespace {

long entries() { return std::distance(fs::recursive_directory_iterator("."), {}); }

} // namespace

TEST(Files, LinesEndInCrLfNewFilesAre0644AndOnlyRegularFilesAreReadUpToTheBound) {
    const std::pair<std::string, std::string> texts[] = {
        {"", ""}, {"\n", "\r\n"}, {"\na\n\nb", "\r\na\r\n\r\nb"}, {"a\r\n", "a\r\r\n"},
        {{"\0\n", 2}, {"\0\r\n", 3}}};
    for (const auto& [text, stored] : texts) EXPECT_EQ(toTextMode(text), stored) << text.size();
    ::umask(022);
    appendLine("log.txt", "first");
    appendLine("log.txt", "");
    ASSERT_TRUE(saveTextFile("text.txt", "a\nb") && saveTextFile("text.txt", "c\n") && lockGameFolder());
    EXPECT_FALSE(lockGameFolder()) << "a second copy finds the folder locked";
    ASSERT_TRUE(saveTextFile("saved.txt", "new\n") && saveFile("big.txt", std::string(5000, 'x')));
    EXPECT_EQ(std::tuple(readFile("log.txt", 99), readFile("text.txt", 99), readFile("saved.txt", 99)),
              std::tuple("first\r\n\r\n", "c\r\n", "new\r\n")) << "written, replaced, saved";
    for (const char* name : {"log.txt", "text.txt", "saved.txt", "big.txt", FOLDER_LOCK_FILE})
        EXPECT_EQ(fs::status(name).permissions(), fs::perms(0644)) << name;
    EXPECT_EQ(entries(), 5) << "no temporary file is left behind";
    fs::create_directory("folder");
    ASSERT_EQ(::mkfifo("pipe", 0644), 0);
    const std::tuple<const char*, std::size_t, FileRead, std::size_t> reads[] = {
        {"big.txt", 5001, FileRead::Done, 5000},
        {"big.txt", 5000, FileRead::Done, 5000},
        {"big.txt", 4999, FileRead::Done, 4999},
        {"big.txt", 0, FileRead::Done, 0},
        {"missing", 10, FileRead::NotOpened, 0},
        {"folder", 10, FileRead::NotOpened, 0},
        {"pipe", 10, FileRead::NotOpened, 0},
        // A regular file whose every read fails: said to have failed, not tried for ever.
        {"/proc/self/mem", 10, FileRead::ReadFailed, 0}};
    testing::internal::CaptureStderr();
    for (const auto& [name, bound, result, size] : reads) {
        errno = EINTR; // left over from an earlier call: no read was interrupted
        std::string bytes = "left over";
        EXPECT_EQ(readRegularFile(name, bound, bytes), result) << name << " " << bound;
        EXPECT_EQ(bytes, std::string(size, 'x')) << name << " " << bound;
    }
    // Nothing waits on a pipe or writes into a folder or a device named like one of the game's files, and
    // each is said once; a file that is not there is removed already.
    fs::create_symlink("/dev/null", "device");
    for (int twice = 0; twice < 2; ++twice) appendLine("pipe", "line"), appendLine("folder", "line");
    EXPECT_EQ(openAppended("folder"), -1);
    EXPECT_EQ(openAppended("device"), -1);
    EXPECT_TRUE(removeFile("missing"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "crossfall: folder: is no regular file and is not read\n"
              "crossfall: pipe: is no regular file and is not read\n"
              "crossfall: pipe: cannot be written; its lines are lost (No such device or address)\n"
              "crossfall: folder: cannot be written; its lines are lost (Is a directory)\n"
              "crossfall: folder: cannot be written (Is a directory)\n"
              "crossfall: device: is no regular file and is not written\n");
}

// A log that has reached its limit is kept as ".1", replacing the one before, and starts afresh; no line is cut.
TEST(Files, ALogAtItsLimitStartsAfreshBesideTheOneBefore) {
    for (const std::uintmax_t size : {LOG_LIMIT_BYTES - 1, LOG_LIMIT_BYTES}) {
        ASSERT_TRUE(saveFile("moves.txt", std::string(size, 'x')) && saveFile("moves.txt.1", "older"));
        appendLine("moves.txt", "1");
        const bool afresh = size == LOG_LIMIT_BYTES;
        EXPECT_EQ(std::pair(fs::file_size("moves.txt"), fs::file_size("moves.txt.1")),
                  std::pair(afresh ? 3 : size + 3, afresh ? size : 5)) << size;
    }
    // The line that carries a log past its limit is written whole, and the next one starts afresh.
    ASSERT_TRUE(saveFile("debug.txt", std::string(LOG_LIMIT_BYTES - 2, 'x')));
    appendLine("debug.txt", "abcdef");
    appendLine("debug.txt", "g");
    EXPECT_EQ(std::pair(fs::file_size("debug.txt.1"), readFile("debug.txt", 99)),
              std::pair(std::uintmax_t(LOG_LIMIT_BYTES + 6), std::optional<std::string>("g\r\n")));
}

TEST(Files, ASaveReplacesTheEndOfALinkChainAndKeepsItsPermissions) {
    fs::create_directories("real/deeper");
    for (const char* name : {"plain.txt", "real/target.txt", "real/deeper/end.txt", "s"})
        ASSERT_TRUE(saveTextFile(name, "old\n"));
    // Relative, absolute and one-letter links; a link is read from the folder that holds it.
    const std::pair<const char*, const char*> links[] = {{"real/target.txt", "link.txt"},
        {"end.txt", "real/deeper/hop.txt"}, {"../plain.txt", "real/up.txt"}, {"s", "short"}};
    for (const auto& [target, link] : links) fs::create_symlink(target, link);
    fs::create_symlink(fs::absolute("real/deeper/hop.txt"), "chain.txt");
    // What the save names, the file that must receive the text, and its permissions before.
    const std::tuple<const char*, const char*, int> cases[] = {
        {"plain.txt", "plain.txt", 0600},    {"link.txt", "real/target.txt", 0755},
        {"chain.txt", "real/deeper/end.txt", 0444}, {"real/up.txt", "plain.txt", 0600}, {"short", "s", 0640}};
    for (const auto& [name, target, mode] : cases) {
        if (fs::exists(target)) fs::permissions(target, fs::perms(mode));
        const bool linked = fs::is_symlink(name);
        ASSERT_TRUE(saveTextFile(name, std::string("saved\n") + name));
        EXPECT_EQ(readFile(target, 100), std::string("saved\r\n") + name) << name;
        const int kept = int(fs::status(target).permissions());
        EXPECT_EQ(std::pair(fs::is_symlink(name), kept), std::pair(linked, mode)) << name;
    }
    EXPECT_EQ(entries(), 11) << "no temporary file is left behind";
    // A save follows 40 links, as the system does when it opens a file; past them it replaces the link reached.
    for (const int links : {40, 41}) {
        const std::string end = "end" + std::to_string(links);
        ASSERT_TRUE(saveTextFile(end.c_str(), "old\n"));
        std::string name = end;
        for (int k = 0; k < links; ++k) {
            const std::string link = end + "-" + std::to_string(k);
            fs::create_symlink(std::exchange(name, link), link);
        }
        ASSERT_TRUE(saveTextFile(name.c_str(), "new\n"));
        EXPECT_EQ(std::pair(readFile(end.c_str(), 9), fs::is_symlink(end + "-0")),
                  std::pair(std::optional<std::string>(links == 40 ? "new\r\n" : "old\r\n"), links == 40))
            << links;
    }
}

// Started with standard input closed, the game's files open as descriptor 0 and work all the same.
TEST(Files, WithStandardInputClosedAFileOpenedAsDescriptorZeroWorks) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::string folder = (fs::temp_directory_path() / "crossfall-fd0-XXXXXX").string();
            if (mkdtemp(folder.data()) == nullptr || chdir(folder.c_str()) != 0) std::exit(99);
            ::close(0);
            appendLine("log.txt", "line");
            const bool saved = ::close(0) != 0 && saveTextFile("saved.txt", "x") && ::fcntl(0, F_GETFD) == -1;
            std::string bytes;
            const bool read = ::close(0) != 0 && readRegularFile("log.txt", 99, bytes) == FileRead::Done;
            const bool locked = ::close(0) != 0 && lockGameFolder() && ::fcntl(0, F_GETFD) != -1;
            const bool second = lockGameFolder(); // as a second copy would try
            ::close(0);
            // A device refused as descriptor 0 is closed again, and a log then opens there.
            const bool refused = openAppended("/dev/null") == -1 && ::fcntl(0, F_GETFD) == -1;
            const int appended = openAppended("log.txt");
            const bool appending = refused && appended == 0 && appendBytes(appended, "log.txt", "more");
            fs::remove_all(folder);
            std::exit((bytes == "line\r\n" ? 0 : 1) + (read ? 0 : 2) + (locked ? 0 : 4) + (second ? 8 : 0) +
                      (saved ? 0 : 16) + (appending ? 0 : 32));
        },
        testing::ExitedWithCode(0), "");
}

// The one step of a save that fails, under a layer over the system's calls; 0 none.
enum Step { NONE, MKSTEMP, WRITE, STALL, FSYNC, CLOSE, RENAME, FOLDER_SYNC };
Step failing = NONE;
int fail(Step step, int result) { return step == failing ? (errno = EIO, -1) : result; }
bool isFolder(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

TEST(Files, ASaveWithAnyStepFailingSaysSoOnceAndKeepsTheOldFileUntilTheNewOneIsInPlace) {
    FileSystemCalls faulty = systemFileCalls();
    faulty.mkstemp = [](char* pattern) { return failing == MKSTEMP ? fail(MKSTEMP, 0) : ::mkstemp(pattern); };
    faulty.write = [](int fd, const void* b, size_t n) -> ssize_t {
        // A write that takes nothing, an interruption's errno left from before: no progress, no endless
        // retry.
        if (failing == STALL) return errno = EINTR, 0;
        return fail(WRITE, int(::write(fd, b, n)));
    };
    faulty.fsync = [](int fd) { return fail(isFolder(fd) ? FOLDER_SYNC : FSYNC, ::fsync(fd)); };
    faulty.close = [](int fd) { return fail(CLOSE, ::close(fd)); }; // a late write error, as NFS reports it
    faulty.rename = [](const char* from, const char* to) { return failing == RENAME ? fail(RENAME, 0) : ::rename(from, to); };
    ASSERT_TRUE(saveTextFile("table.txt", "old\n"));
    testing::internal::CaptureStderr();
    for (const Step step : {MKSTEMP, WRITE, STALL, FSYNC, CLOSE, RENAME, RENAME, FOLDER_SYNC, NONE}) {
        failing = step;
        fileSystemCalls = faulty;
        const bool saved = saveTextFile("table.txt", step == FOLDER_SYNC ? "newer\n" : "new\n");
        fileSystemCalls = systemFileCalls();
        // A failed folder sync leaves the new file in place, but not for good: still a failed save.
        const char* kept = step == NONE ? "new\r\n" : step == FOLDER_SYNC ? "newer\r\n" : "old\r\n";
        EXPECT_EQ(std::tuple(saved, readFile("table.txt", 9).value_or(""), entries()),
                  std::tuple(step == NONE, kept, 1L)) << step;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "crossfall: table.txt: not saved (Input/output error)\n"
              "crossfall: table.txt: not saved (Interrupted system call)\n"
              "crossfall: table.txt: not saved for good (Input/output error)\n")
        << "each kind of failure said once";
}

// A number reads as a stream extraction in base 0 (the controls) or 10 (the scores) reads it: the value, or
// the failure and what the value is left at.
TEST(Tokens, EveryNumberReadsAsTheStreamReadsIt) {
    for (const char* text : {"0", "-0", "+7", "12", "007", "08", "0x1F", "0X1f", "0xAbC", "0XfE", "0xg", "0X", "-0x10",
                             "+-3", "--3", "2147483647", "2147483648", "-2147483648", "-2147483649", "0x7FFFFFFF",
                             "0x80000000", "017777777777", "020000000000", "99999999999999999999", "-0x80000001",
                             " \t\n 42", "4 2", "x", "", " ", "9a", "0x1g", "0777", "0678"}) {
        for (const auto& [syntax, base] : {std::pair{IntSyntax::AnyBase, 0}, {IntSyntax::Decimal, 10}}) {
            std::istringstream stream(text);
            std::int32_t expected = 7, got = 7;
            stream >> std::setbase(base) >> expected;
            TokenReader reader(text);
            const bool read = reader.readInt(got, syntax);
            EXPECT_EQ(std::pair(read, got), std::pair(!stream.fail(), expected)) << "'" << text << "' " << base;
        }
    }
}

TEST(Tokens, TheRangesEdgesReadANumberPastThemOrNoNumberFailsAndSoDoesEveryLaterRead) {
    const std::tuple<const char*, bool, std::int32_t> cases[] = {
        {"2147483647 5", true, INT_MAX}, {"-2147483648 5", true, INT_MIN}, {"2147483648 5", false, INT_MAX},
        {"-2147483649 5", false, INT_MIN}, {"0x7fffffff 5", true, INT_MAX}, {"0x 5", false, 0},
        {"- 5", false, 0}, {"x 5", false, 0}};
    for (const auto& [text, good, value] : cases) {
        TokenReader reader(text);
        std::int32_t got = 7, next = 7;
        std::string word = "w";
        const bool first = reader.readInt(got, IntSyntax::AnyBase);
        const bool second = reader.readInt(next, IntSyntax::AnyBase), third = reader.readWord(word, 9);
        EXPECT_EQ(std::tuple(first, got, second, next, third, word),
                  std::tuple(good, value, good, good ? 5 : 7, false, std::string("w")))
            << text;
    }
}
