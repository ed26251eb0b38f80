// Live frames recorded, journals replayed on the play screen or checked headless.
#include "app/game_frames.h"

#include <array>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>

#include "app/command_line.h"
#include "app/journal_playback.h"
#include "app/race_best.h"
#include "app/unfinished_game.h"
#include "audio/sound.h"
#include "menus/controls_file.h"
#include "menus/main_menu.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/screen_flags.h"
#include "play/flash_row.h"
#include "play/game_step.h"
#include "play/panel.h"
#include "rules/game_snapshot.h"
#include "rules/game_state.h"
#include "rules/modes.h"
#include "scores/high_score_entry.h"
#include "scores/high_scores.h"

namespace crossfall {
namespace {

// The menu's one frame when Escape pauses a game; the menu takes over from the next pass. The
// press that paused is spent: the menu must not take it as its own Escape and resume.
void pauseIntoMenu() {
    inMenu = 1;
    clearKeyPresses();
    runMainMenu();
}

// A replay reads the tables (and logs their names) as the game did, but never enters or saves a result.
void replayScoreCheck() {
    checkHighScore();
    inScoreEntry = 0;
}

const char* const MODE_NAMES[] = {"Classic", "Rubik's", "Cross-fall", "Duofall", "Time Attack"};

// What --verify and --info print of a result and a length, a line each.
void printResult(std::FILE* out, int mode, const JournalResult& r) {
    std::fprintf(out, "mode: %s\nscore: %d\nbonuses: %d\ntotal: %d\nlevel: %d\nbest combo: %d\n",
                 MODE_NAMES[mode], r.score, r.comboBonuses, totalOf(r.score, r.comboBonuses), r.level,
                 r.bestCombo);
    std::fprintf(out, "fields: %016" PRIx64 "\n", r.fieldsHash);
}

void printLength(std::FILE* out, std::uint32_t frames) {
    std::fprintf(out, "frames: %u (%u:%02u of play)\n", frames, frames / 3600, frames / 60 % 60);
}

// The journal being played back and where it is; one at a time.
struct Playback {
    Journal journal;
    std::size_t nextEvent = 0;
    std::uint32_t frame = 0;
    int speed = 1;
    bool fromList = false; // its end goes back to the list of all tables
    // What the player had before the replay, put back after it: the controls, the game (paused or not),
    // the combo label's number, the race beside it and the rules' seam.
    std::array<std::int32_t, CONTROL_VALUES> controls{};
    GameSnapshot game;
    std::int32_t comboLabel = 0;
    bool raceShown = false;
    RulesSeam seam;
};
std::optional<Playback> playback;

void setAllControls(const std::array<std::int32_t, CONTROL_VALUES>& values) {
    setControlValues(values);
}

// Plays the journal's game from its start to its last frame, with no picture.
void playWholeJournal(const Journal& j) {
    startFromHeader(j.header, setAllControls);
    std::size_t next = 0;
    for (std::uint32_t frame = 0; frame < j.frameCount; ++frame) {
        applyEvents(j, next, frame, setAllControls);
        runGameFrame();
    }
}

// A replay's seam: no recording, no pause; the play screen and the music when shown.
RulesSeam replaySeam(bool shown) {
    if (!shown) return {nullptr, nullptr, nullptr, replayScoreCheck, nullptr, nullptr, nullptr};
    return {nullptr, nullptr, drawGameFrame, replayScoreCheck, flashRow, writeComboLabel, setLevelMusic};
}

void endReplay() {
    setControlValues(playback->controls);
    restoreSnapshot(playback->game);
    writeComboLabel(playback->comboLabel);
    showRace(playback->raceShown);
    showScoreList = playback->fromList ? 1 : 0;
    rulesSeam = playback->seam;
    playback.reset();
    panelCaption.clear();
    setLevelMusic(level);
    releaseAllKeys();
    inMenu = 1;
}

// A replay shown is no game played: the logs get none of its lines.
void replayPass() {
    // Escape on the keyboard stops the replay; the recorded Escapes only show what was pressed.
    bool over = keyHeld(VK_ESCAPE);
    const bool quiet = setLogsQuiet(true);
    for (int k = 0; k < playback->speed && !over; ++k) {
        over = playback->frame == playback->journal.frameCount;
        if (over) break;
        applyEvents(playback->journal, playback->nextEvent, playback->frame, setAllControls);
        gameStep();
        playback->frame += 1;
    }
    setLogsQuiet(quiet);
    if (over) endReplay();
}

void liveGameStarting(int mode) {
    beginRecording(mode);
    raceGameStarting(mode);
}

// Only the journal of the game that earned this result; a save of another game's keeps the old file.
bool keepLastEndedGame(const char* fileName, int mode, std::int32_t total) {
    const JournalRead last = parseJournal(lastEndedJournal());
    if (!last.journal || last.journal->header.mode != mode) return false;
    const JournalResult& r = last.journal->result;
    if (totalOf(r.score, r.comboBonuses) != total) return false;
    return saveFile(fileName, lastEndedJournal());
}

} // namespace

RulesSeam liveRulesSeam() {
    keepEndedGame = keepLastEndedGame;
    return {liveGameStarting, pauseIntoMenu,   drawGameFrame, checkHighScore,
            flashRow,         writeComboLabel, setLevelMusic};
}

void playGameFrame() {
    if (playback) {
        replayPass();
        return;
    }
    // The pads press the player's bindings only while a live frame reads them and the journal records it.
    setPadPlayKeys(padKeysForPlay());
    raceOneFrame();
    gameStep();
    recordFrame();
    settleRecordedGame();
    setPadPlayKeys(PadPlayKeys{});
}

std::optional<Journal> loadReplay(const std::string& fileName) {
    const std::optional<std::string> bytes = readFile(fileName.c_str(), MAX_JOURNAL_BYTES + 1);
    if (!bytes) {
        std::fprintf(stderr, "crossfall: %s: cannot be read\n", fileName.c_str());
        return std::nullopt;
    }
    JournalRead read = parseJournal(*bytes);
    if (!read.journal) std::fprintf(stderr, "crossfall: %s: %s\n", fileName.c_str(), read.error.c_str());
    return std::move(read.journal);
}

int verifyReplay(const Journal& j, std::FILE* out) {
    const RulesSeam seam = rulesSeam;
    initGameState();
    rulesSeam = replaySeam(false);
    playWholeJournal(j);
    rulesSeam = seam;
    frameInput = FrameInput{};
    const JournalResult r = currentResult();
    printResult(out, gameMode, r);
    printLength(out, j.frameCount);
    if (gameOver != 0 && r == j.result) return 0;
    std::fprintf(stderr, "crossfall: the replay ends otherwise than the recorded game (score %d, recorded %d)\n",
                 r.score, j.result.score);
    return 1;
}

void startReplay(Journal journal, int speed, const std::string& caption) {
    playback.emplace();
    getControlValues(playback->controls);
    playback->game = takeSnapshot();
    playback->comboLabel = comboLabelValue;
    playback->raceShown = hideRace();
    playback->seam = rulesSeam;
    playback->speed = speed;
    playback->fromList = showScoreList != 0;
    playback->journal = std::move(journal);
    panelCaption = caption;
    rulesSeam = replaySeam(true);
    startFromHeader(playback->journal.header, setAllControls);
    releaseAllKeys(); // only a fresh Escape stops it
    inMenu = 0;
}

bool replayRunning() {
    return playback.has_value();
}

bool playRowReplay(const char* fileName, int mode, const HighScoreEntry& row) {
    std::optional<Journal> journal = loadReplay(fileName);
    if (!journal) return false;
    if (journal->header.mode != mode ||
        totalOf(journal->result.score, journal->result.comboBonuses) != row.total) {
        std::fprintf(stderr, "crossfall: %s: the game of another result\n", fileName);
        return false;
    }
    const std::string caption =
        std::string(row.name) + "  -  " + MODE_NAMES[mode] + "  -  " + std::to_string(row.total);
    startReplay(std::move(*journal), 1, caption);
    return true;
}

int printJournalInfo(const std::string& fileName, std::FILE* out) {
    const std::optional<Journal> journal = loadReplay(fileName);
    if (!journal) return EXIT_BAD_USAGE;
    printResult(out, journal->header.mode, journal->result);
    printLength(out, journal->frameCount);
    // A date the calendar cannot show (0, before 1970, past its years) is told as not recorded.
    const std::time_t started = static_cast<std::time_t>(journal->header.startedAt);
    std::tm utc{};
    char date[64];
    const bool dated = started > 0 && gmtime_r(&started, &utc) != nullptr &&
                       std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S UTC", &utc) > 0;
    std::fprintf(out, "date: %s\n", dated ? date : "not recorded");
    return 0;
}

bool resumeUnfinishedGame() {
    const std::optional<std::string> bytes = readFile(UNFINISHED_GAME_FILE, MAX_UNFINISHED_BYTES + 1);
    if (!bytes) return false;
    UnfinishedRead read = bytes->size() > MAX_UNFINISHED_BYTES ? UnfinishedRead{std::nullopt, "too large"}
                                                             : parseUnfinishedGame(*bytes);
    JournalRead journal{std::nullopt, read.error};
    if (read.game) journal = parseJournalSoFar(read.game->journal, read.game->frames);
    if (!journal.journal) {
        const std::optional<std::string> aside = setAsideFile(UNFINISHED_GAME_FILE);
        std::fprintf(stderr, "crossfall: %s: %s; %s, and the game starts as usual\n", UNFINISHED_GAME_FILE,
                     journal.error.c_str(), aside ? ("set aside as " + *aside).c_str() : "left where it is");
        return false;
    }
    // Played again headless to its last frame, logging nothing it logged when it was played.
    const Journal& j = *journal.journal;
    rulesSeam = RulesSeam{};
    setLogsQuiet(true);
    const std::int32_t obstacles = obstacleMode; // the menu's switch stays as the player finds it
    playWholeJournal(j);
    setLogsQuiet(false);
    obstacleMode = obstacles;
    raceResumedGame(j.header.mode, j.frameCount);
    rulesSeam = liveRulesSeam();
    // The picture's own state as that frame left it, and the music at the game's level.
    const ScreenState& screen = read.game->screen;
    blinkCount = screen.blinkCount;
    comboLabelTimer = screen.comboLabelTimer;
    comboLabelPoints[0] = screen.comboLabelPoints[0];
    comboLabelPoints[1] = screen.comboLabelPoints[1];
    writeComboLabel(screen.comboLabelValue);
    setLevelMusic(level);
    resumeRecording(j, std::move(read.game->journal), frameInput.held, frameInput.voicesBusy);
    frameInput = FrameInput{};
    // An ended game whose initials were still wanted asks for them again.
    if (gameOver != 0 && scoreCheckDone == 0) checkHighScore();
    inMenu = 1;
    return true;
}

} // namespace crossfall
