// The unfinished game's file: its blocks written as a game is recorded, and read back to the last whole one.
#include "app/unfinished_game.h"

#include "platform/bytes.h"
#include "platform/checksum.h"
#include "platform/files.h"
#include "play/flash_row.h"

namespace crossfall {
namespace {

constexpr char MAGIC[4] = {'C', 'F', 'R', 'U'};
constexpr std::size_t SCREEN_BYTES = 7 * 4; // the screen state's seven numbers

// The file of the game being recorded; once per game.
struct Writer {
    bool present = false;    // the file is this game's, to be removed once its result is settled
    int fd = -1;             // open for appending, until a write fails
    std::uint32_t crc = 0;   // of every byte written so far
    std::size_t written = 0; // journal bytes already in the file
};
Writer writer;

// A block of the journal's new bytes, its CRC continuing the file's so far.
std::string block(std::string_view journal, std::uint32_t frames, const ScreenState& screen, std::uint32_t& crc) {
    std::string payload;
    putU32(payload, frames);
    for (std::int32_t v : {screen.blinkCount, screen.comboLabelTimer, screen.comboLabelPoints[0].x,
                           screen.comboLabelPoints[0].y, screen.comboLabelPoints[1].x, screen.comboLabelPoints[1].y,
                           screen.comboLabelValue})
        putU32(payload, static_cast<std::uint32_t>(v));
    payload.append(journal);
    std::string out;
    putU32(out, static_cast<std::uint32_t>(payload.size()));
    out += payload;
    crc = crc32(out, crc);
    putU32(out, crc);
    crc = crc32(std::string_view(out).substr(out.size() - 4), crc);
    return out;
}

// Closes this game's file, if open, and forgets it.
void closeWriter() {
    if (writer.fd >= 0) closeFile(writer.fd);
    writer = Writer{};
}

} // namespace

ScreenState screenStateNow() {
    return {blinkCount, comboLabelTimer, {comboLabelPoints[0], comboLabelPoints[1]}, comboLabelValue};
}

UnfinishedRead parseUnfinishedGame(std::string_view bytes) {
    ByteReader in{bytes};
    if (!bytes.starts_with(std::string_view(MAGIC, sizeof MAGIC))) return {std::nullopt, "not an unfinished game"};
    in.bytes.remove_prefix(sizeof MAGIC);
    const std::uint32_t version = in.u8();
    if (version != UNFINISHED_GAME_VERSION)
        return {std::nullopt, "an unfinished game of another version (" + std::to_string(version) + ")"};
    UnfinishedGame game;
    bool whole = false;
    std::uint32_t crc = crc32(bytes.substr(0, sizeof MAGIC + 1));
    // Each block is taken only whole and with its CRC right; the first that is not ends the game read back.
    for (;;) {
        const std::string_view rest = in.bytes;
        const std::uint32_t length = in.u32();
        if (in.cut || length < 4 + SCREEN_BYTES || length > in.bytes.size() || in.bytes.size() - length < 4) break;
        const std::string_view payload = in.bytes.substr(0, length);
        in.bytes.remove_prefix(length);
        crc = crc32(rest.substr(0, 4 + length), crc);
        const std::uint32_t stored = in.u32();
        if (stored != crc) break;
        crc = crc32(rest.substr(4 + length, 4), crc);
        ByteReader p{payload};
        const std::uint32_t frames = p.u32();
        if (frames < game.frames) break;
        game.frames = frames;
        ScreenState& s = game.screen;
        for (std::int32_t* v : {&s.blinkCount, &s.comboLabelTimer, &s.comboLabelPoints[0].x, &s.comboLabelPoints[0].y,
                                &s.comboLabelPoints[1].x, &s.comboLabelPoints[1].y, &s.comboLabelValue})
            *v = p.i32();
        game.journal.append(p.bytes);
        whole = true;
    }
    if (!whole) return {std::nullopt, "damaged (no whole block)"};
    return {std::move(game), ""};
}

void startUnfinishedGame(std::string_view journal, std::uint32_t frames, const ScreenState& screen) {
    closeWriter();
    std::string bytes(MAGIC, sizeof MAGIC);
    putU8(bytes, UNFINISHED_GAME_VERSION);
    writer.crc = crc32(bytes);
    bytes += block(journal, frames, screen, writer.crc);
    // An unfinished game of before that cannot be replaced must not come back as this one: it goes.
    writer.present = saveFile(UNFINISHED_GAME_FILE, bytes) || !removeFile(UNFINISHED_GAME_FILE);
    if (writer.present) writer.fd = openAppended(UNFINISHED_GAME_FILE);
    writer.written = journal.size();
}

void addToUnfinishedGame(std::string_view journal, std::uint32_t frames, const ScreenState& screen, bool sync) {
    if (writer.fd < 0 || (!sync && journal.size() == writer.written)) return;
    std::uint32_t crc = writer.crc;
    // After a block that could not be written whole, nothing more is: the file reads back to the block before.
    if (!appendBytes(writer.fd, UNFINISHED_GAME_FILE, block(journal.substr(writer.written), frames, screen, crc))) {
        closeFile(writer.fd);
        writer.fd = -1;
        return;
    }
    writer.crc = crc;
    writer.written = journal.size();
    if (sync) syncFile(writer.fd, UNFINISHED_GAME_FILE);
}

void endUnfinishedGame() {
    if (!writer.present) return;
    closeWriter();
    removeFile(UNFINISHED_GAME_FILE);
}

} // namespace crossfall
