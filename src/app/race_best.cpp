// The raced best game: its journal, its own rules state, and one frame at a time swapped in.
#include "app/race_best.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "app/journal.h"
#include "app/journal_playback.h"
#include "platform/files.h"
#include "play/race_view.h"
#include "rules/bindings.h"
#include "rules/game_frame.h"
#include "rules/game_snapshot.h"
#include "rules/game_state.h"
#include "rules/moving.h"
#include "scores/high_scores.h"
#include "scores/row_replays.h"

namespace crossfall {
namespace {

struct Race {
    Journal journal;
    GameSnapshot game;
    std::size_t nextEvent = 0;
    std::uint32_t frame = 0;
};
std::optional<Race> race; // the race of the running game
bool pending = false;     // set up at the live game's first frame, once its start is complete
int pendingMode = MODE_CLASSIC;

// Only what the rules read: the eight bindings and the advanced switch lead the controls' order. The
// display switches and the music stay the player's.
void setRulesControls(const std::array<std::int32_t, CONTROL_VALUES>& values) {
    std::copy_n(values.begin(), 8, std::begin(keyBindings));
    advanced4Way = values[8];
}

bool racedMode(int mode) {
    return mode == MODE_CLASSIC || mode == MODE_RUBIK || mode == MODE_TIME;
}

// Runs work on the race's rules, the live game's put back after; nothing of it logged, drawn or heard.
template <typename Work> void onRaceRules(Work work) {
    const GameSnapshot live = takeSnapshot();
    const RulesSeam seam = std::exchange(rulesSeam, RulesSeam{});
    const bool quiet = setLogsQuiet(true);
    restoreSnapshot(race->game);
    work();
    race->game = takeSnapshot();
    // What is shown: the field with its falling piece, as the play screen draws a field.
    if (gameOver == 0) placeFallingPieces();
    for (int c = 0; c < FIELD_COLUMNS; ++c)
        std::copy_n(fields[0].cells[c].begin(), PLAY_ROWS, raceView.cells[c].begin());
    raceView.total = finalTotal();
    raceView.ended = gameOver != 0 || race->frame == race->journal.frameCount;
    raceView.shown = true;
    restoreSnapshot(live);
    setLogsQuiet(quiet);
    rulesSeam = seam;
}

void setUp(int mode) {
    const std::optional<std::string> bytes = readFile(bestReplayName(mode), MAX_JOURNAL_BYTES + 1);
    JournalRead read = parseJournal(bytes.value_or(""));
    if (!read.journal || read.journal->header.mode != mode) return;
    race.emplace();
    race->journal = std::move(*read.journal);
    race->game =
        takeSnapshot(); // the walls and templates as the live game has them; its start clears the rest
    onRaceRules([] { startFromHeader(race->journal.header, setRulesControls); });
}

void stepRace() {
    if (race->frame == race->journal.frameCount) return;
    onRaceRules([] {
        applyEvents(race->journal, race->nextEvent, race->frame, setRulesControls);
        runGameFrame();
        race->frame += 1;
    });
}

} // namespace

void raceGameStarting(int mode) {
    race.reset();
    raceView = RaceView{};
    pending = raceYourBest != 0 && racedMode(mode);
    pendingMode = mode;
}

void raceOneFrame() {
    if (std::exchange(pending, false)) setUp(pendingMode);
    if (race && gameOver == 0) stepRace();
}

void raceResumedGame(int mode, std::uint32_t frames) {
    raceGameStarting(mode);
    if (!std::exchange(pending, false)) return;
    setUp(mode);
    for (std::uint32_t k = 0; race && k < frames; ++k) stepRace();
}

bool hideRace() {
    return std::exchange(raceView.shown, false);
}
void showRace(bool shown) {
    raceView.shown = shown;
}

} // namespace crossfall
