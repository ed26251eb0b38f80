// The game journal: live games played through the shell replay frame for frame, headless and on the
// play screen, without touching the player's files; the best replay follows the table; bad journals
// are refused with one line and exit code 2; the golden games still end exactly as pinned.
#include "app/journal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/game_frames.h"
#include "app/main_loop.h"
#include "app/start_up.h"
#include "platform/files.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "rules/game_state.h"
#include "scores/high_scores.h"
#include "golden/bot_player.h"

namespace crossfall {
namespace {

namespace fs = std::filesystem;

std::string fileText(const char* name) { return readFile(name, 1 << 24).value_or("<missing>"); }

// What verifyReplay prints and returns, and what it wrote to "moves.txt" and "debug.txt".
struct Verified {
    int code = -1;
    std::string printed, moves, debug;
};

Verified verify(const Journal& journal) {
    fs::remove("moves.txt");
    fs::remove("debug.txt");
    std::FILE* out = std::tmpfile();
    Verified v;
    v.code = verifyReplay(journal, out);
    std::rewind(out);
    for (int c; (c = std::fgetc(out)) != EOF;) v.printed += static_cast<char>(c);
    std::fclose(out);
    v.moves = fileText("moves.txt");
    v.debug = fileText("debug.txt");
    return v;
}

struct JournalTest : testing::Test {
    void SetUp() override {
        for (const char* sound : {"sound1_x.wav", "clevel1_sound.wav"})
            fs::copy_file(fs::path(CROSSFALL_SOURCE_DIR) / "data" / sound, sound);
        null_backend::reset();
        null_backend::setAudioAvailable(true);
        ASSERT_TRUE(startUp());
    }
};

TEST_F(JournalTest, EveryModePlayedLiveReplaysFrameForFrameAndTheBestIsKeptWithItsTable) {
    // Cross-fall with advanced controls and obstacles; a pause in each game.
    const bot::GameSetup games[] = {{MODE_CLASSIC, false, false, 300, 900},
                                   {MODE_RUBIK, false, false, 200, 900},
                                   {MODE_4WAY, true, true, 100, 900},
                                   {MODE_DUOFALL, false, false, 250, 900},
                                   {MODE_TIME, false, false, 400, 900}};
    for (const bot::GameSetup& game : games) {
        SCOPED_TRACE(game.mode);
        fs::remove("moves.txt");
        const long frames = bot::playGame(game);
        const std::string liveMoves = fileText("moves.txt");
        const JournalResult live = currentResult();
        const std::string table = fileText(scoreFileName(game.mode));
        const std::string journal = fileText("lastgame.cfr");
        EXPECT_EQ(fileText(bestReplayName(game.mode)), journal) << "the first result of a mode is its best";

        const JournalRead read = parseJournal(journal);
        ASSERT_TRUE(read.journal) << read.error;
        EXPECT_EQ(std::tuple(read.journal->frameCount, read.journal->result), std::tuple(std::uint32_t(frames), live));
        const Verified v = verify(*read.journal);
        EXPECT_EQ(v.code, 0) << v.printed;
        EXPECT_EQ(v.moves, liveMoves) << "every tick as it was played";
        HighScoreEntry best;
        readScoreRows(scoreFileName(game.mode), &best, 1, TABLE_NAME_LENGTH);
        EXPECT_NE(v.printed.find("total: " + std::to_string(best.total) + "\n"), std::string::npos) << v.printed;
        EXPECT_EQ(std::tuple(fileText(scoreFileName(game.mode)), fileText("lastgame.cfr")), std::tuple(table, journal))
            << "a replay writes neither";
    }
}

TEST_F(JournalTest, AReplayOnThePlayScreenShowsEveryFrameAtItsSpeedThenTheMenuWithThePlayersSettings) {
    bot::playGame({MODE_4WAY, false, true, 150, 700});
    const JournalRead read = parseJournal(fileText("lastgame.cfr"));
    ASSERT_TRUE(read.journal);
    const Journal journal = *read.journal;
    advanced4Way = 0;
    obstacleMode = 1;
    const std::string before = fileText("lastgame.cfr") + fileText(scoreFileName(MODE_4WAY));
    startReplay(journal, 3);
    static int passes;
    passes = 0;
    const int shown = null_backend::picturesShown();
    runMainLoop({[] { return (postQuit(0), 1); }, [] { postQuit(1); }, [] { postQuit(2); },
                 [] { ++passes, playGameFrame(); }, [] {}});
    EXPECT_EQ(passes, int(journal.frameCount) / 3 + 1) << "three frames a pass; the pass past the last ends it";
    EXPECT_GE(null_backend::picturesShown() - shown, int(journal.frameCount)) << "each frame presented, and flashes";
    EXPECT_EQ(currentResult(), journal.result);
    EXPECT_EQ(std::tuple(advanced4Way, obstacleMode, inMenu), std::tuple(0, 1, 1)) << "the player's settings back";
    EXPECT_EQ(fileText("lastgame.cfr") + fileText(scoreFileName(MODE_4WAY)), before);
}

TEST(Journal, BadFilesAreRefusedWithOneLineAndExitCode2) {
    const std::string good = fileText(CROSSFALL_SOURCE_DIR "/tests/golden/2p.cfr");
    ASSERT_TRUE(parseJournal(good).journal);
    const auto changed = [&](std::size_t at, char byte) { return good.substr(0, at) + byte + good.substr(at + 1); };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "not a Crossfall replay"},
        {"RIFF\x04\0\0\0WAVEfmt ", "not a Crossfall replay"},
        {changed(4, 2), "made by a newer Crossfall (replay version 2, this one reads 1)"},
        {changed(4, 0), "damaged (replay version 0)"},
        {good.substr(0, 20), "cut short"},
        {good.substr(0, good.size() - 1), "cut short"},
        {good + '\0', "damaged (bytes after the end)"},
        {changed(9, 5), "damaged (a start value out of range)"},
        {changed(good.size() - 9, char(good[good.size() - 9] ^ 1)), "damaged (checksum mismatch)"},
        {std::string(MAX_JOURNAL_BYTES + 1, 'C'), "too large to be a replay"},
    };
    for (const auto& [bytes, error] : cases) {
        const JournalRead read = parseJournal(bytes);
        EXPECT_FALSE(read.journal);
        EXPECT_EQ(read.error, error) << bytes.size();
    }
    // Every cut and every single flipped bit is refused, never read as another game.
    for (std::size_t size = 0; size < good.size(); ++size) EXPECT_FALSE(parseJournal(good.substr(0, size)).journal);
    for (std::size_t at = 0; at < good.size(); ++at)
        for (int bit = 0; bit < 8; ++bit) EXPECT_FALSE(parseJournal(changed(at, char(good[at] ^ (1 << bit)))).journal);

    ASSERT_TRUE(writeTextFile("cut.cfr", good.substr(0, 30)));
    CommandLine line;
    line.replayFile = "cut.cfr";
    line.verify = true;
    testing::internal::CaptureStderr();
    EXPECT_EQ(runGame(line), EXIT_BAD_USAGE);
    line.replayFile = "missing.cfr";
    EXPECT_EQ(runGame(line), EXIT_BAD_USAGE);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "crossfall: cut.cfr: cut short\ncrossfall: missing.cfr: cannot be read\n");
}

// The golden games: several minutes of each mode played by the scripted player (tests/golden,
// build/record_golden). Any change to how the game plays changes one of these pins.
TEST(Journal, TheGoldenGamesEndExactlyAsPinned) {
    const struct {
        const char *file, *mode;
        int score, bonuses, level, bestCombo;
        const char *fields, *length;
        std::uint64_t movesHash;
        std::size_t movesBytes;
        const char* debugFirst; // before the ten names the score check logs
    } games[] = {
        {"classic", "Classic", 850, 84, 1, 8, "e93ac11026154534", "14011 (3:53", 4572816261277128356u, 54097, ""},
        {"rubik", "Rubik's", 660, 26, 1, 6, "395a036fde2a5fc0", "10476 (2:54", 16033212622601465396u, 40444, ""},
        {"4way", "Cross-fall", 1346, 170, 2, 13, "8139a12ddc935bd6", "11204 (3:06", 4508506193761309561u, 42465,
         "Exited due to game over...\r\n"},
        {"2p", "Duofall", 430, 0, 1, 0, "08d6a8a934d06835", "12011 (3:20", 9477723263423287661u, 102172, ""},
        {"time", "Time Attack", 830, 43, 1, 5, "2d845468e6183b24", "11138 (3:05", 10110333050795395447u, 42892, ""},
    };
    for (const auto& game : games) {
        SCOPED_TRACE(game.file);
        const std::optional<Journal> journal =
            loadReplay(std::string(CROSSFALL_SOURCE_DIR "/tests/golden/") + game.file + ".cfr");
        ASSERT_TRUE(journal);
        const Verified v = verify(*journal);
        std::uint64_t hash = 0xCBF29CE484222325ull;
        for (char c : v.moves) hash = (hash ^ static_cast<std::uint8_t>(c)) * 0x100000001B3ull;
        EXPECT_EQ(v.code, 0);
        EXPECT_EQ(v.printed, std::string("mode: ") + game.mode + "\nscore: " + std::to_string(game.score) +
                                 "\nbonuses: " + std::to_string(game.bonuses) +
                                 "\ntotal: " + std::to_string(game.score + game.bonuses) +
                                 "\nlevel: " + std::to_string(game.level) + "\nbest combo: " +
                                 std::to_string(game.bestCombo) + "\nfields: " + game.fields + "\nframes: " +
                                 game.length + " of play)\n");
        EXPECT_EQ(std::pair(hash, v.moves.size()), std::pair(game.movesHash, game.movesBytes));
        std::string debug = game.debugFirst;
        for (int row = 0; row < HIGH_SCORE_ROWS; ++row) debug += "???\r\n";
        EXPECT_EQ(v.debug, debug) << "the score check read an empty table once";
    }
}

} // namespace
} // namespace crossfall
