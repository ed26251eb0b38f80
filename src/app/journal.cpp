// The journal's bytes, their reader, and the recorder that follows the live game frame by frame.
#include "app/journal.h"

#include <algorithm>

#include "app/unfinished_game.h"
#include "platform/backend.h"
#include "platform/bytes.h"
#include "platform/checksum.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/screen_flags.h"
#include "rules/bindings.h"
#include "rules/game_frame.h"
#include "rules/game_state.h"
#include "rules/random.h"

namespace crossfall {
namespace {

constexpr char MAGIC[4] = {'C', 'F', 'R', 'J'};
constexpr std::uint8_t END_OF_FRAMES = 0;
// A second of play: the unfinished game is made durable this often.
constexpr std::uint32_t SYNC_FRAMES = 60;

void putControls(std::string& out, const std::int32_t* values) {
    for (int i = 0; i < CONTROL_VALUES; ++i) putU32(out, static_cast<std::uint32_t>(values[i]));
}

void putHeader(std::string& out, const JournalHeader& h) {
    out.append(MAGIC, sizeof MAGIC);
    putU8(out, JOURNAL_VERSION);
    putU32(out, h.randomState);
    putU8(out, static_cast<std::uint32_t>(h.mode));
    putU8(out, static_cast<std::uint32_t>(h.obstacles));
    putControls(out, h.controls);
    for (std::int32_t v : {h.nextKind, h.nextField, h.next2Kind, h.next2Field}) putU8(out, static_cast<std::uint32_t>(v));
    putU8(out, static_cast<std::uint32_t>(h.voicesBusy));
    putU64(out, static_cast<std::uint64_t>(h.startedAt));
}

void putEvent(std::string& out, std::uint32_t gap, JournalEventKind kind) {
    putVarint(out, gap);
    putU8(out, static_cast<std::uint32_t>(kind));
}

void putEnd(std::string& out, std::uint32_t gap, const JournalResult& r) {
    putVarint(out, gap);
    putU8(out, END_OF_FRAMES);
    for (std::int32_t v : {r.score, r.comboBonuses, r.level, r.bestCombo}) putU32(out, static_cast<std::uint32_t>(v));
    putU64(out, r.fieldsHash);
    putU32(out, crc32(out));
}

bool validPiece(std::int32_t kind, std::int32_t field) {
    return kind >= 0 && kind < PIECE_KINDS && field >= 0 && field < FIELD_COUNT;
}

std::optional<std::string> readHeader(ByteReader& in, JournalHeader& h) {
    if (!in.bytes.starts_with(std::string_view(MAGIC, sizeof MAGIC))) return "not a Crossfall replay";
    in.bytes.remove_prefix(sizeof MAGIC);
    const std::uint32_t version = in.u8();
    if (version > JOURNAL_VERSION)
        return "made by a newer Crossfall (replay version " + std::to_string(version) + ", this one reads " +
               std::to_string(JOURNAL_VERSION) + ")";
    if (version == 0) return "damaged (replay version 0)";
    h.randomState = in.u32();
    h.mode = static_cast<std::int32_t>(in.u8());
    h.obstacles = static_cast<std::int32_t>(in.u8());
    for (std::int32_t& value : h.controls) value = in.i32();
    h.nextKind = static_cast<std::int32_t>(in.u8());
    h.nextField = static_cast<std::int32_t>(in.u8());
    h.next2Kind = static_cast<std::int32_t>(in.u8());
    h.next2Field = static_cast<std::int32_t>(in.u8());
    h.voicesBusy = static_cast<std::int32_t>(in.u8());
    if (version >= 2) h.startedAt = static_cast<std::int64_t>(in.u64());
    if (in.cut) return "cut short";
    // Each is one byte, so none is below 0.
    if (h.mode > MODE_TIME || h.obstacles > 1 || h.voicesBusy > 1 ||
        !validPiece(h.nextKind, h.nextField) || !validPiece(h.next2Kind, h.next2Field))
        return "damaged (a start value out of range)";
    return std::nullopt;
}

// The records to the end record; a journal still being written has none and is read to its last byte.
std::optional<std::string> readEvents(ByteReader& in, Journal& j, bool ended) {
    std::uint32_t frame = 0;
    for (;;) {
        if (!ended && in.bytes.empty()) return std::nullopt;
        std::uint32_t gap = 0;
        if (!in.varint(gap)) return in.cut ? "cut short" : "damaged (a frame count too large)";
        if (gap > MAX_JOURNAL_FRAMES - frame) return "damaged (longer than a day of play)";
        frame += gap;
        const std::uint32_t kind = in.u8();
        if (in.cut) return "cut short";
        if (kind == END_OF_FRAMES) {
            j.frameCount = frame;
            return ended ? std::nullopt : std::optional<std::string>("damaged (an end before the last frame)");
        }
        JournalEvent event{frame, static_cast<JournalEventKind>(kind), 0, 0};
        if (event.kind == JournalEventKind::KeyToggled) {
            event.code = static_cast<std::uint8_t>(in.u8());
        } else if (event.kind == JournalEventKind::ControlsChanged) {
            event.controls = static_cast<std::uint32_t>(j.controlSets.size());
            auto& values = j.controlSets.emplace_back();
            for (std::int32_t& value : values) value = in.i32();
        } else if (event.kind != JournalEventKind::VoicesToggled) {
            return "damaged (an unknown record " + std::to_string(kind) + ")";
        }
        if (in.cut) return "cut short";
        j.events.push_back(event);
    }
}

} // namespace

JournalRead parseJournalSoFar(std::string_view bytes, std::uint32_t frames) {
    if (bytes.size() > MAX_JOURNAL_BYTES) return {std::nullopt, "too large"};
    Journal j;
    ByteReader in{bytes};
    if (auto error = readHeader(in, j.header)) return {std::nullopt, *error};
    if (auto error = readEvents(in, j, false)) return {std::nullopt, *error};
    if (frames > MAX_JOURNAL_FRAMES || (!j.events.empty() && j.events.back().frame >= frames))
        return {std::nullopt, "damaged (a record past the frames played)"};
    j.frameCount = frames;
    return {std::move(j), ""};
}

JournalRead parseJournal(std::string_view bytes) {
    if (bytes.size() > MAX_JOURNAL_BYTES) return {std::nullopt, "too large to be a replay"};
    if (bytes.starts_with("CFRU")) return {std::nullopt, "an unfinished game: start Crossfall to resume it"};
    Journal j;
    ByteReader in{bytes};
    if (auto error = readHeader(in, j.header)) return {std::nullopt, *error};
    if (auto error = readEvents(in, j, true)) return {std::nullopt, *error};
    JournalResult& r = j.result;
    for (std::int32_t* v : {&r.score, &r.comboBonuses, &r.level, &r.bestCombo}) *v = in.i32();
    r.fieldsHash = in.u64();
    const std::size_t checked = bytes.size() - in.bytes.size();
    const std::uint32_t checksum = in.u32();
    if (in.cut) return {std::nullopt, "cut short"};
    if (!in.bytes.empty()) return {std::nullopt, "damaged (bytes after the end)"};
    if (checksum != crc32(bytes.substr(0, checked))) return {std::nullopt, "damaged (checksum mismatch)"};
    return {std::move(j), ""};
}

std::string encodeJournal(const Journal& j) {
    std::string out;
    putHeader(out, j.header);
    std::uint32_t frame = 0;
    for (const JournalEvent& event : j.events) {
        putEvent(out, event.frame - frame, event.kind);
        frame = event.frame;
        if (event.kind == JournalEventKind::KeyToggled) putU8(out, event.code);
        if (event.kind == JournalEventKind::ControlsChanged) putControls(out, j.controlSets[event.controls].data());
    }
    putEnd(out, j.frameCount - frame, j.result);
    return out;
}

std::uint64_t hashFields() {
    // FNV-1a over every play cell of the fields the mode plays on, field by field.
    const int first = gameMode == MODE_DUOFALL ? 4 : 0;
    const int last = gameMode == MODE_DUOFALL ? 5 : gameMode == MODE_4WAY ? 3 : 0;
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (int f = first; f <= last; ++f)
        for (const auto& column : fields[f].cells)
            for (int r = 0; r < PLAY_ROWS; ++r)
                for (int shift = 0; shift < 32; shift += 8) {
                    hash ^= static_cast<std::uint32_t>(column[r]) >> shift & 0xFF;
                    hash *= 0x100000001B3ull;
                }
    return hash;
}

JournalResult currentResult() { return {score, comboBonuses, level, bestCombo, hashFields()}; }

// ---- Recording ----

namespace {

// The game being recorded; restarted at every game start.
struct Recorder {
    bool active = false;
    std::string bytes;             // the header and the events so far
    std::uint32_t frames = 0;      // frames recorded
    std::uint32_t lastEvent = 0;   // the frame of the last event written
    std::array<std::uint8_t, 32> held{}; // the key states as recorded
    std::int32_t voicesBusy = 0;
    std::int32_t controls[CONTROL_VALUES] = {};
};
Recorder recorder;
std::string lastEnded; // once per run: the last ended game's journal

void event(JournalEventKind kind) {
    putEvent(recorder.bytes, recorder.frames - recorder.lastEvent, kind);
    recorder.lastEvent = recorder.frames;
}

// A key the frame could read changed since it was last recorded; a code named twice is recorded once,
// since the first call brings the record up to date.
void recordKey(int code) {
    if (code < 0 || code > 255) return;
    const bool was = (recorder.held[code >> 3] >> (code & 7) & 1) != 0;
    if (keyHeld(code) == was) return;
    recorder.held[code >> 3] ^= static_cast<std::uint8_t>(1 << (code & 7));
    event(JournalEventKind::KeyToggled);
    putU8(recorder.bytes, static_cast<std::uint32_t>(code));
}

// The game has ended: its journal is whole, kept as the last ended game's and saved as "lastgame.cfr".
void finishRecording() {
    putEnd(recorder.bytes, recorder.frames - recorder.lastEvent, currentResult());
    lastEnded = std::move(recorder.bytes);
    recorder = Recorder{};
    saveFile("lastgame.cfr", lastEnded);
}

} // namespace

void beginRecording(int mode) {
    recorder = Recorder{};
    recorder.active = true;
    JournalHeader h;
    h.randomState = randomState;
    h.mode = mode;
    h.obstacles = obstacleMode != 0 ? 1 : 0;
    getControlValues(h.controls);
    std::copy(std::begin(h.controls), std::end(h.controls), recorder.controls);
    h.nextKind = nextPiece.kind;
    h.nextField = nextPiece.fieldIndex;
    h.next2Kind = nextPiece2.kind;
    h.next2Field = nextPiece2.fieldIndex;
    h.voicesBusy = recorder.voicesBusy = voicesBusy;
    h.startedAt = backend::calendarSeconds();
    putHeader(recorder.bytes, h);
    startUnfinishedGame(recorder.bytes, 0, screenStateNow());
}

void resumeRecording(const Journal& journal, std::string bytes, const std::array<std::uint8_t, 32>& held,
                     std::int32_t voicesBusyNow) {
    recorder = Recorder{};
    recorder.active = true;
    recorder.bytes = std::move(bytes);
    recorder.frames = journal.frameCount;
    recorder.lastEvent = journal.events.empty() ? 0 : journal.events.back().frame;
    recorder.held = held;
    recorder.voicesBusy = voicesBusyNow;
    getControlValues(recorder.controls);
    startUnfinishedGame(recorder.bytes, recorder.frames, screenStateNow());
    // A game that had ended is journaled whole again, so that the result it still settles keeps its game.
    if (gameOver != 0) finishRecording();
}

void recordFrame() {
    if (!recorder.active) return;
    std::int32_t controls[CONTROL_VALUES];
    getControlValues(controls);
    if (!std::equal(std::begin(controls), std::end(controls), recorder.controls)) {
        std::copy(std::begin(controls), std::end(controls), recorder.controls);
        event(JournalEventKind::ControlsChanged);
        putControls(recorder.bytes, controls);
    }
    // Only the keys a frame can read: Escape, the bindings, and the arrows, Control and Space that
    // advanced 4-Way controls use.
    recordKey(VK_ESCAPE);
    for (std::int32_t code : keyBindings) recordKey(code);
    for (int code : {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_CONTROL, VK_SPACE}) recordKey(code);
    if (frameInput.voicesBusy != recorder.voicesBusy) {
        recorder.voicesBusy = frameInput.voicesBusy;
        event(JournalEventKind::VoicesToggled);
    }
    recorder.frames += 1;
    // On disk as it goes: durable every second of play, at a pause and at the end.
    const bool sync = recorder.frames % SYNC_FRAMES == 0 || inMenu != 0 || gameOver != 0;
    addToUnfinishedGame(recorder.bytes, recorder.frames, screenStateNow(), sync);
    if (gameOver != 0) finishRecording();
}

void pauseRecording() {
    if (recorder.active) addToUnfinishedGame(recorder.bytes, recorder.frames, screenStateNow(), true);
}

void settleRecordedGame() {
    if (gameOver != 0 && scoreCheckDone != 0 && inScoreEntry == 0) endUnfinishedGame();
}

const std::string& lastEndedJournal() { return lastEnded; }

} // namespace crossfall
