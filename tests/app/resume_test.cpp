// Nothing played is lost: a game killed at any frame, or half-way through any file write, comes back at the
// next start as it was at its last recorded frame, at most a second earlier, and shows that frame's next
// picture. Each point is a game in a process of its own (tests/support/game_probe). The points are drawn at
// random; CROSSFALL_CRASH_POINTS sets how many (1000 in the full run) and CROSSFALL_CRASH_SEED the draw.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/game_frames.h"
#include "app/main_loop.h"
#include "app/start_up.h"
#include "app/unfinished_game.h"
#include "platform/bytes.h"
#include "platform/checksum.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "rules/bindings.h"
#include "rules/game_state.h"
#include "scores/high_scores.h"
#include "golden/bot_player.h"
#include "support/power_cut.h"

namespace {

namespace fs = std::filesystem;

// What a command printed, and whether SIGKILL ended it.
std::pair<std::string, bool> run(const std::string& command) {
    std::string printed;
    std::FILE* out = popen((command + " 2>/dev/null").c_str(), "r");
    for (int c; out != nullptr && (c = std::fgetc(out)) != EOF;) printed += static_cast<char>(c);
    const int status = out != nullptr ? pclose(out) : -1;
    const bool killed = (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) ||
                        (WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGKILL);
    return {printed, killed};
}

struct Frame {
    std::string state, picture;
    int voices = 0;
};

TEST(CrashPoints, AGameKilledAnywhereComesBackAsItWasAtItsLastRecordedFrameAtMostASecondEarlier) {
    const char* count = std::getenv("CROSSFALL_CRASH_POINTS");
    const char* seedText = std::getenv("CROSSFALL_CRASH_SEED");
    const unsigned seed = seedText != nullptr ? unsigned(std::strtoul(seedText, nullptr, 10)) : std::random_device{}();
    RecordProperty("crash_seed", std::to_string(seed));
    std::mt19937 draw(seed);
    const int points = count != nullptr ? std::atoi(count) : 24;
    int resumed = 0, pictures = 0;
    for (int point = 0; point < points; ++point) {
        // A frame to be killed at, with the keys let go of a second and a half before it, or a write to die in.
        const bool atWrite = draw() % 3 == 0;
        const long frame = atWrite ? 0 : long(draw() % 2400) + 1, write = atWrite ? long(draw() % 4000) + 1 : 0;
        const long quietFrom = atWrite ? 0 : std::max(1L, frame - 90);
        const std::string args = std::to_string(draw() % 5) + " " + std::to_string(draw()) + " " +
                                 std::to_string(frame) + " " + std::to_string(write) + " " + std::to_string(quietFrom);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", game_probe play " + args);
        const fs::path folder = fs::current_path() / std::to_string(point);
        fs::create_directory(folder);
        const std::string inFolder = "cd " + folder.string() + " && " + CROSSFALL_GAME_PROBE;
        const auto [played, killed] = run(inFolder + " play " + args);
        std::map<long, Frame> log;
        std::istringstream lines(played);
        long last = 0;
        for (Frame f; lines >> last >> f.state >> f.picture >> f.voices;) log[last] = f;
        const auto [told, _] = run(inFolder + " resume");
        // Nothing to resume: the game ended and was settled before the kill came, or had not begun.
        if (told.empty() || !killed) {
            EXPECT_TRUE(told.empty() && (!killed || last == 0)) << told;
            continue;
        }
        std::istringstream back(told);
        std::string word, state, then, picture;
        long at = -1;
        int over = 0;
        back >> word >> at >> state >> over >> then >> picture;
        ASSERT_EQ(word, "resumed") << told;
        // Back at a frame recorded before the kill, at most a second before the last one played; the frame
        // the kill cut short counts only where it ended the game (its end is written before the results).
        EXPECT_TRUE(at <= last || (at == last + 1 && over == 1)) << at << " after " << last;
        EXPECT_GE(at, last - 60);
        if (at == 0 || at > last) continue;
        EXPECT_EQ(state, log[at].state) << "frame " << at;
        resumed += 1;
        // With no key held and no row sound going on, the next picture is the one the game would have shown.
        if (quietFrom == 0 || !log.contains(at + 1) || log[at].voices != 0 || at + 1 <= quietFrom) continue;
        EXPECT_EQ(picture, log[at + 1].picture) << "frame " << at + 1;
        pictures += 1;
    }
    RecordProperty("resumed", resumed);
    RecordProperty("pictures", pictures);
    std::printf("crash points: %d tried, %d resumed and compared, %d next pictures compared (seed %u)\n", points,
                resumed, pictures, seed);
}

} // namespace

namespace crossfall {
namespace {

// The file read back from any cut, or with any byte changed, is the game to its last whole block before it.
TEST(UnfinishedGame, ReadsBackToItsLastWholeBlockFromAnyCutOrChangedByte) {
    std::string journal = "header";
    std::vector<std::pair<std::size_t, UnfinishedGame>> ends; // where each block ends, and the game to there
    startUnfinishedGame(journal, 0, ScreenState{7, 0, {}, 0});
    const std::size_t first = std::filesystem::file_size(UNFINISHED_GAME_FILE);
    for (std::uint32_t frame = 1; frame <= 4; ++frame) {
        const ScreenState screen{int(frame), 50 - int(frame), {{1, 2}, {3, -4}}, int(frame * 3)};
        journal += std::string(frame % 3, char('a' + frame)); // frame 3 adds nothing but asks for a sync
        addToUnfinishedGame(journal, frame, screen, frame == 3);
        ends.emplace_back(std::filesystem::file_size(UNFINISHED_GAME_FILE), UnfinishedGame{journal, frame, screen});
    }
    const std::string file = readFile(UNFINISHED_GAME_FILE, 1 << 16).value();
    const auto expected = [&](std::size_t whole) -> std::optional<UnfinishedGame> {
        std::optional<UnfinishedGame> game;
        if (whole >= first) game = UnfinishedGame{"header", 0, ScreenState{7, 0, {}, 0}};
        for (const auto& [end, g] : ends)
            if (end <= whole) game = g;
        return game;
    };
    const auto same = [](const std::optional<UnfinishedGame>& a, const std::optional<UnfinishedGame>& b) {
        return a.has_value() == b.has_value() &&
               (!a || (a->journal == b->journal && a->frames == b->frames &&
                       std::memcmp(&a->screen, &b->screen, sizeof a->screen) == 0));
    };
    for (std::size_t size = 0; size <= file.size(); ++size)
        EXPECT_TRUE(same(parseUnfinishedGame(file.substr(0, size)).game, expected(size))) << "cut at " << size;
    for (std::size_t at = 5; at < file.size(); ++at) {
        std::string changed = file;
        changed[at] = char(changed[at] ^ 0x20);
        std::size_t whole = 0; // the end of the last block wholly before the change
        for (std::size_t end : {first, ends[0].first, ends[1].first, ends[2].first, ends[3].first})
            if (end <= at) whole = end;
        EXPECT_TRUE(same(parseUnfinishedGame(changed).game, expected(whole))) << "changed at " << at;
    }
    EXPECT_EQ(parseUnfinishedGame("CFRJ" + file.substr(4)).error, "not an unfinished game");
    EXPECT_EQ(parseUnfinishedGame(file.substr(0, 4) + '\2' + file.substr(5)).error,
              "an unfinished game of another version (2)");
    // The shortest block holds the frames and all seven numbers: a byte less is no block.
    const auto onlyBlock = [](std::uint32_t payload) {
        std::string bytes = "CFRU\1";
        putU32(bytes, payload);
        bytes.append(payload, '\0');
        putU32(bytes, crc32(bytes));
        return bytes;
    };
    EXPECT_EQ(parseUnfinishedGame(onlyBlock(31)).error, "damaged (no whole block)");
    EXPECT_TRUE(parseUnfinishedGame(onlyBlock(32)).game);
    // A game whose file cannot replace the last one's removes that one and writes nothing more.
    fileSystemCalls.mkstemp = [](char*) { return errno = EDQUOT, -1; };
    testing::internal::CaptureStderr();
    startUnfinishedGame(journal, 0, ScreenState{});
    addToUnfinishedGame(journal + "more", 1, ScreenState{}, true);
    fileSystemCalls = systemFileCalls();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "crossfall: unfinished.cfr: not saved (Disk quota exceeded)\n");
    EXPECT_FALSE(std::filesystem::exists(UNFINISHED_GAME_FILE));
    // With standard input closed the file may open as descriptor 0: the next game still closes it.
    const int input = ::dup(0);
    ::close(0);
    startUnfinishedGame(journal, 0, ScreenState{});
    startUnfinishedGame(journal, 0, ScreenState{});
    endUnfinishedGame();
    EXPECT_EQ(::fcntl(0, F_GETFD), -1) << "no descriptor left open";
    ::dup2(input, 0);
    ::close(input);
    EXPECT_FALSE(std::filesystem::exists(UNFINISHED_GAME_FILE));
}

// A damaged, foreign or newer file is set aside under a name of its own, never deleted, and the game
// starts as usual; a game that ended while its initials were wanted asks for them again when it comes back.
TEST(UnfinishedGame, ADamagedOneIsSetAsideAndAnEndedOneStillWantsItsInitials) {
    null_backend::reset();
    ASSERT_TRUE(startUp());
    testing::internal::CaptureStderr();
    for (const std::string& bytes : {"CFRJ" + std::string(60, 'x'), std::string("CFRU\2"), std::string("CFRU\1\0\0", 7)}) {
        ASSERT_TRUE(saveFile(UNFINISHED_GAME_FILE, bytes));
        EXPECT_FALSE(resumeUnfinishedGame());
        EXPECT_FALSE(std::filesystem::exists(UNFINISHED_GAME_FILE));
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "crossfall: unfinished.cfr: not an unfinished game; set aside as unfinished.cfr.damaged, and the game "
              "starts as usual\n"
              "crossfall: unfinished.cfr: an unfinished game of another version (2); set aside as "
              "unfinished.cfr.damaged-2, and the game starts as usual\n"
              "crossfall: unfinished.cfr: damaged (no whole block); set aside as unfinished.cfr.damaged-3, and the "
              "game starts as usual\n");
    // A game played to its end, every piece dropped where it enters; its initials are wanted.
    startGame(MODE_CLASSIC);
    inMenu = 0;
    for (int frame = 0; gameOver == 0; ++frame) {
        setKeyDown(keyDrop, frame % 2 == 0);
        playGameFrame();
    }
    releaseAllKeys();
    ASSERT_EQ(inScoreEntry, 1);
    const std::int32_t total = finalTotal();
    const std::string journal = readFile("lastgame.cfr", 1 << 20).value_or("");
    ASSERT_TRUE(std::filesystem::exists(UNFINISHED_GAME_FILE));
    std::filesystem::remove("lastgame.cfr");
    ASSERT_TRUE(startUp()); // as the next start would begin, its last ended game not yet known
    ASSERT_TRUE(resumeUnfinishedGame());
    EXPECT_EQ(std::tuple(gameOver, inScoreEntry, inMenu, finalTotal()), std::tuple(1, 1, 1, total));
    shutDown(); // left from the menu: the result is saved with no initials, and the game is settled
    const std::string table = readFile(scoreFileName(MODE_CLASSIC), 99).value_or("");
    EXPECT_TRUE(table.starts_with("??? " + std::to_string(total) + "\r\n")) << table;
    EXPECT_FALSE(std::filesystem::exists(UNFINISHED_GAME_FILE)) << "settled: it goes";
    // The game is journaled whole again, to the byte, and kept as its row's and as the mode's best.
    const std::string row = "replays/classic_" + std::to_string(total) + "_%3F%3F%3F.cfr";
    for (const std::string& file : {std::string("lastgame.cfr"), row, std::string("best_classic.cfr")})
        EXPECT_TRUE(readFile(file.c_str(), 1 << 20) == journal) << file;
}

} // namespace
} // namespace crossfall

namespace crossfall {
namespace {

// A game cut off mid-play, resumed at the next start and played on to its end is journaled whole, from its
// first frame: its lastgame.cfr plays back to the result played. Its frames count must pass its last record.
TEST(UnfinishedGame, AResumedGamePlayedOnIsJournaledWholeFromItsFirstFrame) {
    null_backend::reset();
    ASSERT_TRUE(startUp());
    // Synced whole at its start (the file, then its folder), then after its 60th frame.
    static std::vector<int> syncedAt;
    static int frameNow = -1;
    fileSystemCalls.fsync = [](int fd) { return syncedAt.push_back(frameNow), ::fsync(fd); };
    startGame(MODE_TIME);
    inMenu = 0;
    for (frameNow = 0; frameNow < 150; ++frameNow) {
        setKeyDown(keyDrop, frameNow % 8 == 0);
        playGameFrame();
    }
    fileSystemCalls = systemFileCalls();
    syncedAt.resize(3);
    EXPECT_EQ(syncedAt, (std::vector<int>{-1, -1, 59}));
    // Cut back to the frame of its last record, which that frame never read: refused; a frame later it
    // comes back, with the screen state the block holds.
    const UnfinishedGame cut = parseUnfinishedGame(readFile(UNFINISHED_GAME_FILE, 1 << 20).value_or("")).game.value();
    const std::uint32_t lastRecord = parseJournalSoFar(cut.journal, cut.frames).journal->events.back().frame;
    const ScreenState screen{5, 40, {{11, 22}, {33, 44}}, 3};
    ASSERT_TRUE(startUp());
    testing::internal::CaptureStderr();
    startUnfinishedGame(cut.journal, lastRecord, screen);
    EXPECT_FALSE(resumeUnfinishedGame());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("damaged (a record past the frames played)"),
              std::string::npos);
    startUnfinishedGame(cut.journal, lastRecord + 1, screen);
    const std::string moves = readFile("moves.txt", 1 << 24).value_or("");
    ASSERT_TRUE(startUp() && resumeUnfinishedGame());
    EXPECT_TRUE(readFile("moves.txt", 1 << 24).value_or("") == moves)
        << "the frames rebuilt are not logged again";
    const ScreenState now = screenStateNow();
    EXPECT_EQ(std::memcmp(&now, &screen, sizeof now), 0);
    inMenu = 0;
    for (int frame = 0; gameOver == 0; ++frame) {
        setKeyDown(keyDrop, frame % 2 == 0);
        playGameFrame();
    }
    releaseAllKeys();
    const JournalResult played = currentResult();
    const JournalRead read = parseJournal(readFile("lastgame.cfr", 1 << 20).value_or(""));
    ASSERT_TRUE(read.journal) << read.error;
    std::FILE* sink = std::tmpfile();
    EXPECT_EQ(std::pair(verifyReplay(*read.journal, sink), read.journal->result == played), std::pair(0, true));
    std::fclose(sink);
}

// What each power cut left: a table, the unfinished game.
struct Cuts {
    int count = 0;
    std::vector<std::string> tables, unfinished;
} cuts;

void cutPower() {
    cuts.count += 1;
    const auto left = power_cut::survivors();
    cuts.tables.push_back(left.contains("scores_classic.txt") ? left.at("scores_classic.txt") : "<none>");
    cuts.unfinished.push_back(left.contains(UNFINISHED_GAME_FILE) ? left.at(UNFINISHED_GAME_FILE) : "<none>");
}

// A power cut at every sync, rename and removal of a game that earns a new best, with a random part of what
// was appended and not synced kept: the table is the old one or the new one, never a mix nor empty, and the
// unfinished game reads back to a prefix of the game played.
TEST(PowerCut, EveryCutLeavesTheTableOldOrNewAndTheUnfinishedGameAPrefixOfThePlayedOne) {
    null_backend::reset();
    ASSERT_TRUE(startUp());
    const std::string old = "OLD 5\r\n";
    ASSERT_TRUE(saveFile("scores_classic.txt", old));
    cuts = Cuts{};
    power_cut::start(std::random_device{}());
    power_cut::disk.beforeSync = cutPower;
    bot::playGame({MODE_CLASSIC, false, false, 200, 900});
    cutPower(); // once it is all over
    power_cut::stop();
    const std::string table = readFile("scores_classic.txt", 999).value(), played = readFile("lastgame.cfr", 1 << 20).value();
    ASSERT_NE(table, old);
    // Once the new table has survived a cut, every later cut keeps it; the last keeps no unfinished game.
    EXPECT_EQ(std::pair(cuts.tables.back(), cuts.unfinished.back()), std::pair(table, std::string("<none>")));
    int torn = 0, prefixes = 0;
    for (int k = 0; k < cuts.count; ++k) {
        torn += cuts.tables[k] != old && cuts.tables[k] != table;
        EXPECT_TRUE(k == 0 || cuts.tables[k - 1] != table || cuts.tables[k] == table) << "cut " << k;
        if (cuts.unfinished[k] == "<none>") continue;
        const UnfinishedRead read = parseUnfinishedGame(cuts.unfinished[k]);
        EXPECT_TRUE(read.game && played.starts_with(read.game->journal)) << "cut " << k << ": " << read.error;
        prefixes += read.game ? 1 : 0;
    }
    EXPECT_EQ(torn, 0);
    EXPECT_GT(prefixes, 10);
    std::printf("power cuts: %d tried, %d tables torn, %d unfinished games read back to a prefix\n", cuts.count, torn,
                prefixes);
}

} // namespace
} // namespace crossfall

namespace crossfall {
namespace {

std::mt19937 faults;

// One in ten writes, syncs and renames failing through a whole game with a new best: the game goes on to
// its end, the table is the old one or a whole new one, and each trouble is said once.
TEST(FileFaults, AGameWithFailingWritesSyncsAndRenamesEndsWithAWholeTableAndSaysEachTroubleOnce) {
    null_backend::reset();
    ASSERT_TRUE(startUp());
    const std::string old = "OLD 5\r\n";
    ASSERT_TRUE(saveFile("scores_classic.txt", old));
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    faults.seed(seed);
    FileSystemCalls calls = systemFileCalls();
    calls.write = [](int fd, const void* bytes, size_t count) -> ssize_t {
        return faults() % 10 == 0 ? (errno = ENOSPC, -1) : ::write(fd, bytes, count);
    };
    calls.fsync = [](int fd) { return faults() % 10 == 0 ? (errno = EIO, -1) : ::fsync(fd); };
    calls.rename = [](const char* from, const char* to) { return faults() % 10 == 0 ? (errno = EIO, -1) : ::rename(from, to); };
    fileSystemCalls = calls;
    testing::internal::CaptureStderr();
    bot::playGame({MODE_CLASSIC, false, false, 200, 900});
    fileSystemCalls = systemFileCalls();
    std::istringstream told(testing::internal::GetCapturedStderr());
    std::map<std::string, int> lines;
    for (std::string line; std::getline(told, line);) lines[line] += 1;
    for (const auto& [line, times] : lines) EXPECT_EQ(times, 1) << line;
    EXPECT_GT(lines.size(), 1u);
    const std::string table = readFile("scores_classic.txt", 999).value_or("");
    HighScoreEntry rows[HIGH_SCORE_ROWS];
    EXPECT_TRUE(table == old || parseScoreRows(table, rows, HIGH_SCORE_ROWS, TABLE_NAME_LENGTH) == HIGH_SCORE_ROWS)
        << table;
}

} // namespace
} // namespace crossfall
