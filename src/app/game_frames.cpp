// Live frames recorded, journals replayed on the play screen or checked headless.
#include "app/game_frames.h"

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>

#include "app/unfinished_game.h"
#include "audio/sound.h"
#include "menus/controls_file.h"
#include "menus/main_menu.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/screen_flags.h"
#include "play/flash_row.h"
#include "play/game_step.h"
#include "rules/game_state.h"
#include "rules/modes.h"
#include "rules/random.h"
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
const char* const BEST_REPLAY_NAMES[] = {"best_classic.cfr", "best_rubik.cfr", "best_4way.cfr", "best_2p.cfr",
                                         "best_time.cfr"};

// The journal being played back and where it is; one at a time.
struct Playback {
    Journal journal;
    std::size_t nextEvent = 0;
    std::uint32_t frame = 0;
    int speed = 1;
    // What the player had before the replay, put back after it.
    std::int32_t controls[CONTROL_VALUES] = {};
    std::int32_t obstacles = 0;
};
std::optional<Playback> playback;

// Sets the rules to the state the journal's game started from and starts it.
void startFromHeader(const JournalHeader& h) {
    setControlValues(h.controls);
    obstacleMode = h.obstacles;
    randomState = h.randomState;
    nextPiece = makePiece(h.nextKind, h.nextField);
    nextPiece2 = makePiece(h.next2Kind, h.next2Field);
    voicesBusy = h.voicesBusy;
    frameInput = FrameInput{true, {}, h.voicesBusy};
    startGame(h.mode);
}

// Applies the changes recorded for this frame to frameInput and the controls.
void applyEvents(const Journal& j, std::size_t& next, std::uint32_t frame) {
    for (; next < j.events.size() && j.events[next].frame == frame; ++next) {
        const JournalEvent& e = j.events[next];
        if (e.kind == JournalEventKind::KeyToggled)
            frameInput.held[e.code >> 3] ^= static_cast<std::uint8_t>(1 << (e.code & 7));
        else if (e.kind == JournalEventKind::VoicesToggled)
            frameInput.voicesBusy ^= 1;
        else
            setControlValues(j.controlSets[e.controls]);
    }
}

// Plays the journal's game from its start to its last frame, with no picture.
void playWholeJournal(const Journal& j) {
    startFromHeader(j.header);
    std::size_t next = 0;
    for (std::uint32_t frame = 0; frame < j.frameCount; ++frame) {
        applyEvents(j, next, frame);
        runGameFrame();
    }
}

// A replay's seam: no recording, no pause, the play screen when shown.
RulesSeam replaySeam(bool shown) {
    if (!shown) return {nullptr, nullptr, nullptr, replayScoreCheck, nullptr, nullptr};
    return {nullptr, nullptr, drawGameFrame, replayScoreCheck, flashRow, writeComboLabel};
}

void endReplay() {
    setControlValues(playback->controls);
    obstacleMode = playback->obstacles;
    playback.reset();
    frameInput = FrameInput{};
    rulesSeam = liveRulesSeam();
    releaseAllKeys();
    inMenu = 1;
}

void replayPass() {
    // Escape on the keyboard stops the replay; the recorded Escapes only show what was pressed.
    if (keyHeld(VK_ESCAPE)) {
        endReplay();
        return;
    }
    for (int k = 0; k < playback->speed; ++k) {
        if (playback->frame == playback->journal.frameCount) {
            endReplay();
            return;
        }
        applyEvents(playback->journal, playback->nextEvent, playback->frame);
        gameStep();
        playback->frame += 1;
    }
}

void keepBestReplay(int mode, std::int32_t total) {
    // Only the journal of the game that earned this result; a save of another game's keeps the old one.
    const JournalRead last = parseJournal(lastEndedJournal());
    if (!last.journal || last.journal->header.mode != mode) return;
    const JournalResult& r = last.journal->result;
    const std::int64_t earned = std::int64_t{r.score} + r.comboBonuses;
    if (std::clamp<std::int64_t>(earned, INT32_MIN, INT32_MAX) != total) return;
    saveFile(bestReplayName(mode), lastEndedJournal());
}

} // namespace

RulesSeam liveRulesSeam() {
    bestResultSaved = keepBestReplay;
    return {beginRecording, pauseIntoMenu, drawGameFrame, checkHighScore, flashRow, writeComboLabel};
}

void playGameFrame() {
    if (playback) {
        replayPass();
        return;
    }
    // The pads press the player's bindings only while a live frame reads them and the journal records it.
    setPadPlayKeys(padKeysForPlay());
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
    std::fprintf(out, "mode: %s\nscore: %d\nbonuses: %d\ntotal: %d\nlevel: %d\nbest combo: %d\n", MODE_NAMES[gameMode],
                 r.score, r.comboBonuses, finalTotal(), r.level, r.bestCombo);
    std::fprintf(out, "fields: %016" PRIx64 "\nframes: %u (%u:%02u of play)\n", r.fieldsHash, j.frameCount,
                 j.frameCount / 3600, j.frameCount / 60 % 60);
    if (gameOver != 0 && r == j.result) return 0;
    std::fprintf(stderr, "crossfall: the replay ends otherwise than the recorded game (score %d, recorded %d)\n",
                 r.score, j.result.score);
    return 1;
}

void startReplay(Journal journal, int speed) {
    playback.emplace();
    getControlValues(playback->controls);
    playback->obstacles = obstacleMode;
    playback->speed = speed;
    playback->journal = std::move(journal);
    rulesSeam = replaySeam(true);
    startFromHeader(playback->journal.header);
    releaseAllKeys(); // only a fresh Escape stops it
    inMenu = 0;
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

const char* bestReplayName(int mode) {
    return mode >= 0 && mode < MODE_COUNT ? BEST_REPLAY_NAMES[mode] : nullptr;
}

} // namespace crossfall
