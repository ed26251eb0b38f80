// The game journal: everything a game reads from outside the rules, so that it can be played again
// exactly. A header (format version, the random state and the waiting pieces at the start, the mode,
// the Obstacle switch, the thirteen control values, the date) and, per game frame, only what changed: a key
// the frame reads went down or up, the voice sweep's answer flipped, the controls were changed from
// the pause menu. The shell records every game, keeps it on disk as it goes (app/unfinished_game) and
// writes "lastgame.cfr" when one ends; --replay reads one back, resuming reads an unfinished one. The
// bytes are laid out in the README.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "menus/controls_file.h"

namespace crossfall {

// 2 added the date the game started; version 1 journals read with no date.
constexpr std::uint8_t JOURNAL_VERSION = 2;
// A day of play at 60 frames a second; a longer journal is refused as damaged.
constexpr std::uint32_t MAX_JOURNAL_FRAMES = 60u * 60u * 60u * 24u;
// Far more than a day of play takes; a larger file is not read.
constexpr std::size_t MAX_JOURNAL_BYTES = 16u << 20;

// The state a game starts from, taken just before startGame.
struct JournalHeader {
    std::uint32_t randomState = 0;
    std::int32_t mode = 0;
    std::int32_t obstacles = 0;
    std::int32_t controls[CONTROL_VALUES] = {};
    std::int32_t nextKind = 0, nextField = 0;   // the waiting piece
    std::int32_t next2Kind = 0, next2Field = 0; // the Duofall right field's waiting piece
    std::int32_t voicesBusy = 0;                 // the last sweep before the game: a first-frame lock reads it
    std::int64_t startedAt = 0;                  // seconds since 1970 (UTC) as the game started; 0: not known
};

// How the game ended, as the recording saw it.
struct JournalResult {
    std::int32_t score = 0;
    std::int32_t comboBonuses = 0;
    std::int32_t level = 0;
    std::int32_t bestCombo = 0;
    std::uint64_t fieldsHash = 0;

    bool operator==(const JournalResult&) const = default;
};

enum class JournalEventKind : std::uint8_t { KeyToggled = 1, VoicesToggled = 2, ControlsChanged = 3 };

// A change that applies before the frame with this index runs.
struct JournalEvent {
    std::uint32_t frame = 0;
    JournalEventKind kind = JournalEventKind::KeyToggled;
    std::uint8_t code = 0;       // KeyToggled: the virtual-key code
    std::uint32_t controls = 0;  // ControlsChanged: index into Journal::controlSets
};

struct Journal {
    JournalHeader header;
    std::vector<JournalEvent> events; // in frame order
    std::vector<std::array<std::int32_t, CONTROL_VALUES>> controlSets;
    std::uint32_t frameCount = 0;
    JournalResult result;
};

// The journal's bytes, or why they are not a journal we can play (one line, no file name).
struct JournalRead {
    std::optional<Journal> journal;
    std::string error;
};
JournalRead parseJournal(std::string_view bytes);
// The same for a journal still being written: no end record, frames played so far.
JournalRead parseJournalSoFar(std::string_view bytes, std::uint32_t frames);
std::string encodeJournal(const Journal& journal);

// A hash of the play rows of the fields the running mode plays on: equal fields, equal hash.
std::uint64_t hashFields();
// The running game's result now.
JournalResult currentResult();

// ---- Recording the live game ----

// startGame is about to run: a new journal starts from the state now, and a new unfinished game on disk.
void beginRecording(int mode);
// After each live game frame: what it read from outside goes in, and out to the unfinished game; when
// the frame ended the game, the journal is finished, "lastgame.cfr" is saved and the journal is kept as
// the last ended game's.
void recordFrame();
// Carries on recording a game rebuilt from its unfinished journal (bytes, played to its frameCount), with
// the keys held and the voice sweep's answer as the rebuilt last frame left them; a game that had ended is
// finished at once, as the last ended game's journal and "lastgame.cfr".
void resumeRecording(const Journal& journal, std::string bytes, const std::array<std::uint8_t, 32>& held,
                     std::int32_t voicesBusyNow);
// The game was paused from outside its frame (the window lost the focus): what is recorded is made durable.
void pauseRecording();
// Once the ended game's result is settled (no initials wanted, or given), its unfinished journal goes.
void settleRecordedGame();
// The last ended game's journal, empty before any game ended.
const std::string& lastEndedJournal();

} // namespace crossfall
