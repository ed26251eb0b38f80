// The journals kept with the tables' rows, played from the list of all tables; the best game raced
// beside the player's; --info. Whole games are played by the scripted player through the real screens.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "app/game_frames.h"
#include "app/journal.h"
#include "app/start_up.h"
#include "audio/mixer.h"
#include "golden/bot_player.h"
#include "menus/main_menu.h"
#include "menus/settings_file.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "platform/video.h"
#include "play/flash_row.h"
#include "play/panel.h"
#include "play/race_view.h"
#include "rules/game_snapshot.h"
#include "rules/game_state.h"
#include "rules/random.h"
#include "scores/high_scores.h"
#include "scores/row_replays.h"
#include "support/picture.h"

namespace crossfall {
namespace {

namespace fs = std::filesystem;

std::string fileText(const std::string& name) {
    return readFile(name.c_str(), 1 << 24).value_or("<missing>");
}

struct Replays : testing::Test {
    void SetUp() override {
        for (const char* file : {"sound1_x.wav", "clevel1_sound.wav", "replayMark.bmp"})
            fs::copy_file(fs::path(CROSSFALL_SOURCE_DIR) / "data" / file, file);
        null_backend::reset();
        null_backend::setAudioAvailable(true);
        ASSERT_TRUE(startUp());
    }
};

// What verifyReplay prints of the journal in the file, and its code.
std::pair<int, std::string> verifyFile(const std::string& file) {
    const std::optional<Journal> journal = loadReplay(file);
    if (!journal) return {-1, ""};
    std::FILE* out = std::tmpfile();
    const int code = verifyReplay(*journal, out);
    std::string printed;
    std::rewind(out);
    for (int c; (c = std::fgetc(out)) != EOF;) printed += static_cast<char>(c);
    std::fclose(out);
    return {code, printed};
}

struct Row {
    std::string name;
    std::int32_t total;
    bool earned; // played here, so its journal was kept
};

// The table as the rules keep it: a result goes below every row it does not beat.
int enter(std::vector<Row>& table, const Row& row) {
    const auto at =
        std::find_if(table.begin(), table.end(), [&](const Row& r) { return r.total < row.total; });
    const int rank = static_cast<int>(at - table.begin());
    if (rank >= HIGH_SCORE_ROWS) return -1;
    table.insert(at, row);
    table.resize(std::min<std::size_t>(table.size(), HIGH_SCORE_ROWS));
    return rank;
}

TEST_F(Replays, EveryRankOfAFullTableAndOutOfItKeepsOneJournalPerEarnedRowEachTheGameOfItsRow) {
    std::vector<Row> table;
    std::string seeded;
    for (std::int32_t total : {160, 150, 115, 112, 105, 90, 50, 40, 30, 20}) {
        table.push_back({"OLD", total, false});
        seeded += "OLD " + std::to_string(total) + "\n";
    }
    ASSERT_TRUE(saveTextFile("scores_classic.txt", seeded));
    // Files the save must leave: not our names, another mode's, a spelling we never write. One of ours
    // that names no row goes at the first save.
    ASSERT_TRUE(makeFolder(ROW_REPLAYS_FOLDER));
    const std::vector<std::string> foreign = {"notes.txt",           "classic_50_OLD.cfr.bak",
                                              "rubik_10_X.cfr",      "classic_+50_OLD.cfr",
                                              "classic_050_OLD.cfr", "classic_50_%4FLD.cfr"};
    for (const std::string& file : foreign) ASSERT_TRUE(saveFile(("replays/" + file).c_str(), "x"));
    ASSERT_TRUE(saveFile("replays/classic_123_ZZZ.cfr", "x"));
    std::vector<int> ranks;
    int twins = 0;
    for (const auto& [seed, steer] : {std::pair{11u, 0L},
                                      {12u, 200L},
                                      {11u, 0L},
                                      {13u, 2500L},
                                      {14u, 60L},
                                      {15u, 900L},
                                      {16u, 400L},
                                      {11u, 0L},
                                      {17u, 1500L},
                                      {18u, 120L},
                                      {19u, 30L}}) {
        seedRandom(seed);
        bot::playGame({MODE_CLASSIC, false, false, -1, steer});
        ranks.push_back(enter(table, {"BOT", finalTotal(), true}));
        std::vector<std::string> want = foreign;
        HighScoreEntry rows[HIGH_SCORE_ROWS];
        ASSERT_EQ(parseScoreRows(fileText("scores_classic.txt"), rows, HIGH_SCORE_ROWS, TABLE_NAME_LENGTH),
                  10);
        for (int k = 0; k < HIGH_SCORE_ROWS; ++k) {
            ASSERT_EQ(std::pair(std::string(rows[k].name), rows[k].total),
                      std::pair(table[k].name, table[k].total));
            if (table[k].earned) want.push_back(rowReplayPath(MODE_CLASSIC, rows, k).substr(8));
        }
        std::sort(want.begin(), want.end());
        EXPECT_EQ(folderFileNames(ROW_REPLAYS_FOLDER), want) << "after " << seed << "/" << steer;
        for (const std::string& file : want) twins += file.ends_with("_2.cfr") || file.ends_with("_3.cfr");
    }
    // The games crossed every edge: the top, the last row, rows between, out of the table, twins.
    const auto entered = [&](int rank) { return std::count(ranks.begin(), ranks.end(), rank) > 0; };
    EXPECT_TRUE(entered(0) && entered(9) && entered(4) && entered(-1) && twins > 0) << twins;
    HighScoreEntry rows[HIGH_SCORE_ROWS];
    parseScoreRows(fileText("scores_classic.txt"), rows, HIGH_SCORE_ROWS, TABLE_NAME_LENGTH);
    for (int k = 0; k < HIGH_SCORE_ROWS; ++k) {
        if (!table[k].earned) continue;
        const auto [code, printed] = verifyFile(rowReplayPath(MODE_CLASSIC, rows, k));
        EXPECT_EQ(code, 0) << k;
        EXPECT_NE(printed.find("\ntotal: " + std::to_string(rows[k].total) + "\n"), std::string::npos)
            << printed;
    }
}

// One pass of the loop's screens as the flags choose them, the keys held for it.
void pass(std::initializer_list<int> held = {}) {
    releaseAllKeys();
    for (int code : held) setKeyDown(code, true);
    if (inMenu != 0)
        inMenu = runMainMenu();
    else
        playGameFrame();
    clearKeyPresses();
}

void pointAt(int x, int y) {
    addMouseMotion(x - mouseX, y - mouseY);
}

// The middle of the mark after row k of column c, and a point on the row's name.
constexpr int markX(int c) {
    return 160 * c + 149;
}
constexpr int rowY(int k) {
    return 150 + 30 * k + 7;
}

TEST_F(Replays, AMarkedRowPlaysItsGameFromTheListAndEscapeOrItsEndReturnsThereWithThePausedGameWhole) {
    ASSERT_TRUE(saveTextFile("scores_rubik.txt", "OLD 99999\n"));
    for (unsigned seed : {21u, 22u}) {
        seedRandom(seed);
        bot::playGame({MODE_CLASSIC, false, false, -1, 300});
    }
    seedRandom(23);
    bot::playGame({MODE_RUBIK, false, false, -1, 300});
    HighScoreEntry rows[HIGH_SCORE_ROWS];
    ASSERT_EQ(parseScoreRows(fileText("scores_classic.txt"), rows, HIGH_SCORE_ROWS, TABLE_NAME_LENGTH), 10);
    ASSERT_EQ(std::pair(std::string(rows[2].name), rows[2].total), std::pair(std::string("???"), 0))
        << "rows left empty";
    const Journal first = *parseJournal(fileText(rowReplayPath(MODE_CLASSIC, rows, 0))).journal;
    // A Time Attack game paused after 200 frames is what the replays must leave as they found it.
    inMenu = 1;
    pointAt(200, bot::MENU_MODE_Y[MODE_TIME]);
    pass({VK_LBUTTON});
    for (int k = 0; k < 200; ++k) pass({k % 8 < 4 ? keyLeft : keyRotateCW});
    pass({VK_ESCAPE});
    ASSERT_EQ(inMenu, 1);
    const std::uint64_t paused = gameStateDigest();
    // What the game screen needs besides the rules: the seam in force (a test's own here) and the label's number.
    rulesSeam.gameStarting = [](int) {};
    writeComboLabel(7);
    const RulesSeam seam = rulesSeam;
    const std::string moves = fileText("moves.txt"), unfinished = fileText("unfinished.cfr");
    // The list: marks after the two Classic rows and the Rubik's one, none after the row kept from before.
    showScoreList = 1;
    pointAt(5000, 5000);
    pass();
    const std::vector<std::uint16_t> list(null_backend::lastPicture(),
                                          null_backend::lastPicture() + 800 * 600);
    const auto marked = [&list](int c, int k) {
        int lit = 0;
        for (int x = markX(c) - 5; x < markX(c) + 5; ++x) lit += list[(rowY(k) - 2) * 800 + x] != 0;
        return lit;
    };
    EXPECT_EQ(std::tuple(marked(0, 0), marked(0, 1), marked(0, 2), marked(1, 0), marked(1, 1)),
              std::tuple(3, 3, 0, 0, 3))
        << "the mark's middle row is three pixels of its triangle wide";
    // Pointed at, a marked row lights its frame and says what a click does; the picture as it stands.
    pointAt(30, rowY(1));
    pass();
    picture::expectPicture(null_backend::lastPicture(), 0x373dc48cfbda8c35, "list-hover");
    // A click on the second Classic row plays its game, its caption over the panel, the logs untouched.
    picture::paintSprites(); // the blocks seen
    pointAt(30, rowY(1));
    pass({VK_LBUTTON});
    ASSERT_EQ(std::pair(inMenu, panelCaption),
              std::pair(0, std::string("BOT  -  Classic  -  ") + std::to_string(rows[1].total)));
    std::vector<std::uint64_t> pictures;
    for (int k = 0; k < 300; ++k) {
        pass({VK_LBUTTON});
        pictures.push_back(picture::digest(null_backend::lastPicture()));
    }
    std::sort(pictures.begin(), pictures.end());
    EXPECT_GT(std::unique(pictures.begin(), pictures.end()) - pictures.begin(), 5) << "the game moves on";
    EXPECT_EQ(std::tuple(inMenu, showScoreList, fileText("moves.txt") == moves), std::tuple(0, 0, true));
    pass({VK_ESCAPE});
    EXPECT_EQ(std::tuple(inMenu, showScoreList, gameStateDigest(), panelCaption),
              std::tuple(1, 1, paused, std::string()));
    EXPECT_EQ(std::tuple(rulesSeam.gameStarting, rulesSeam.draw, comboLabelValue), std::tuple(seam.gameStarting, seam.draw, 7));
    // By the keyboard: Down reaches the first marked row; Enter plays it to its end, and the list follows.
    releaseAllKeys();
    pass({VK_DOWN});
    EXPECT_EQ(std::pair(mouseX, mouseY), std::pair(markX(0) - 1, rowY(0)));
    pass({VK_RETURN});
    ASSERT_EQ(inMenu, 0);
    std::uint32_t passes = 0;
    while (inMenu == 0 && passes <= first.frameCount) pass(), ++passes;
    EXPECT_EQ(passes, first.frameCount + 1) << "each frame, then the pass that ends it";
    EXPECT_EQ(std::tuple(inMenu, showScoreList, gameStateDigest(), fileText("moves.txt") == moves,
                         fileText("unfinished.cfr") == unfinished),
              std::tuple(1, 1, paused, true, true));
    // A journal damaged, or another result's, is said on stderr and the list stays.
    ASSERT_TRUE(saveFile(rowReplayPath(MODE_CLASSIC, rows, 0).c_str(), fileText("lastgame.cfr")));
    HighScoreEntry rubik[HIGH_SCORE_ROWS];
    parseScoreRows(fileText("scores_rubik.txt"), rubik, HIGH_SCORE_ROWS, TABLE_NAME_LENGTH);
    ASSERT_TRUE(saveFile(rowReplayPath(MODE_RUBIK, rubik, 1).c_str(), "CFRJ"));
    for (const auto& [c, said] :
         {std::pair{0, "the game of another result"}, {1, "damaged (replay version 0)"}}) {
        testing::internal::CaptureStderr();
        pointAt(30 + 160 * c, rowY(c));
        pass({VK_LBUTTON});
        EXPECT_NE(testing::internal::GetCapturedStderr().find(said), std::string::npos) << said;
        EXPECT_EQ(std::pair(inMenu, showScoreList), std::pair(1, 1));
        pass(); // let go: a click counts when the button goes down
    }
    pass({VK_ESCAPE});
    EXPECT_EQ(std::pair(inMenu, showScoreList), std::pair(1, 0));
}

// The best game's state after this many of its frames, as the race must show it: its field with the
// falling piece, and its total.
std::pair<std::array<std::array<std::int32_t, PLAY_ROWS>, FIELD_COLUMNS>, std::int32_t>
bestAfter(Journal best, std::uint32_t frames) {
    best.frameCount = std::min(best.frameCount, frames);
    const GameSnapshot live = takeSnapshot();
    std::FILE* out = std::tmpfile();
    testing::internal::CaptureStderr();
    verifyReplay(best, out);
    testing::internal::GetCapturedStderr();
    std::fclose(out);
    std::array<std::array<std::int32_t, PLAY_ROWS>, FIELD_COLUMNS> cells{};
    for (int c = 0; c < FIELD_COLUMNS; ++c)
        for (int r = 0; r < PLAY_ROWS; ++r) cells[c][r] = fields[0].cells[c][r];
    if (gameOver == 0)
        for (int i = 0; i < 5; ++i)
            for (int j = 0; j < 5; ++j) {
                const int c = currentPiece.x + i, r = currentPiece.y + j;
                if (currentPiece.shape[i][j] != 0 && c >= 0 && c < FIELD_COLUMNS && r >= 0 && r < PLAY_ROWS)
                    cells[c][r] = currentPiece.kind + 1;
            }
    const std::int32_t total = finalTotal();
    restoreSnapshot(live);
    return {cells, total};
}

TEST_F(Replays, TheRacedBestRunsFrameForFrameBesideThePlayerAndChangesNothingOfTheGameOrItsJournal) {
    for (const int mode : {MODE_CLASSIC, MODE_RUBIK, MODE_TIME}) {
        SCOPED_TRACE(mode);
        seedRandom(31);
        bot::playGame({mode, false, false, -1, 2000});
        const Journal best = *parseJournal(fileText(bestReplayName(mode))).journal;
        // The same short game unraced and raced: the same journal to the byte, the same result.
        std::string journals[2];
        const GameSnapshot start = takeSnapshot();
        for (const int raced : {0, 1}) {
            raceYourBest = raced;
            restoreSnapshot(start);
            null_backend::setClock(0);
            // The last game's row sound heard out, so that both games start to the same silence.
            std::vector<std::int16_t> samples(44100 * 2 * 4);
            mixAudio(samples.data(), 44100 * 4);
            seedRandom(32);
            const long frames = bot::playGame({mode, false, false, 90, 200});
            journals[raced] = fileText("lastgame.cfr");
            EXPECT_EQ(raceView.shown, raced == 1);
            if (raced == 0) continue;
            // What the race shows is the best game after as many frames as the player's took.
            const auto [cells, total] = bestAfter(best, static_cast<std::uint32_t>(frames));
            EXPECT_EQ(std::tuple(raceView.cells == cells, raceView.total, raceView.ended),
                      std::tuple(true, total, std::uint32_t(frames) >= best.frameCount));
        }
        EXPECT_TRUE(journals[0] == journals[1]) << "the race records nothing";
    }
    // The first frame's picture shows the race already; a game resumed after a kill has its race caught
    // up to exactly the frame it left, one at which the best game's picture changes, so that a frame more
    // would show.
    const Journal bestTime = *parseJournal(fileText(bestReplayName(MODE_TIME))).journal;
    std::uint32_t stop = 200;
    while (bestAfter(bestTime, stop) == bestAfter(bestTime, stop + 1)) ++stop;
    raceYourBest = 1;
    ASSERT_TRUE(saveSettings()); // as the menu's switch keeps it for the next start
    inMenu = 1;
    pointAt(200, bot::MENU_MODE_Y[MODE_TIME]);
    pass({VK_LBUTTON});
    pass();
    EXPECT_EQ(null_backend::lastPicture()[150 * SCREEN_WIDTH + 598], packColor(255, 255, 255));
    for (std::uint32_t k = 2; k < stop; ++k) pass({k % 6 < 3 ? keyRight : keyRotateCW});
    pass({VK_ESCAPE});
    ASSERT_EQ(std::pair(inMenu, gameOver), std::pair(1, 0));
    raceView = RaceView{};
    ASSERT_TRUE(startUp() && resumeUnfinishedGame());
    const auto [cells, total] = bestAfter(bestTime, stop);
    EXPECT_EQ(std::tuple(raceView.shown, raceView.cells == cells, raceView.total),
              std::tuple(true, true, total))
        << "after " << stop << " frames";
    // Cross-fall and Duofall are not raced, and nothing is raced without the mode's best.
    raceYourBest = 1;
    for (const int mode : {MODE_4WAY, MODE_DUOFALL}) {
        bot::playGame({mode, false, false, -1, 100});
        bot::playGame({mode, false, false, -1, 100});
        EXPECT_FALSE(raceView.shown) << mode;
    }
    fs::remove(bestReplayName(MODE_CLASSIC));
    bot::playGame({MODE_CLASSIC, false, false, -1, 100});
    EXPECT_FALSE(raceView.shown) << "no best game";
    raceYourBest = 0;
}

TEST(ReplayInfo, TellsModeResultLengthAndDateWithoutPlayingAndRefusesWhatCannotBePlayed) {
    const auto info = [](const std::string& file) {
        std::FILE* out = std::tmpfile();
        const int code = printJournalInfo(file, out);
        std::string printed;
        std::rewind(out);
        for (int c; (c = std::fgetc(out)) != EOF;) printed += static_cast<char>(c);
        std::fclose(out);
        return std::pair(code, printed);
    };
    // A journal from before the date was kept: everything but the date.
    const auto [code, printed] = info(CROSSFALL_SOURCE_DIR "/tests/golden/classic.cfr");
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(printed.starts_with("mode: Classic\nscore: ") &&
                printed.ends_with(" of play)\ndate: not recorded\n"))
        << printed;
    // Dates at the edges of a day and of the calendar's range, as the game wrote them.
    Journal j = *parseJournal(fileText(CROSSFALL_SOURCE_DIR "/tests/golden/time.cfr")).journal;
    for (const auto& [at, told] :
         {std::pair<std::int64_t, const char*>{1796688000, "2026-12-08 00:00:00 UTC"},
          {1796774399, "2026-12-08 23:59:59 UTC"},
          {1, "1970-01-01 00:00:01 UTC"},
          {0, "not recorded"},
          {-5, "not recorded"},
          {INT64_MAX, "not recorded"}}) {
        j.header.startedAt = at;
        ASSERT_TRUE(saveFile("dated.cfr", encodeJournal(j)));
        const auto [dated, text] = info("dated.cfr");
        EXPECT_EQ(text.substr(text.find("date: ")), std::string("date: ") + told + "\n") << at;
        EXPECT_TRUE(text.starts_with("mode: Time Attack\n")) << text;
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(info("missing.cfr"), std::pair(2, std::string()));
    ASSERT_TRUE(saveFile("bad.cfr", "CFRJ\x02"));
    EXPECT_EQ(info("bad.cfr"), std::pair(2, std::string()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "crossfall: missing.cfr: cannot be read\ncrossfall: bad.cfr: cut short\n");
}

} // namespace
} // namespace crossfall
