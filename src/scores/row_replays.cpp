// Row journals' names, both ways, and the removal of those whose row has left its table.
#include "scores/row_replays.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "platform/files.h"

namespace crossfall {
namespace {

const char* const MODE_KEYS[MODE_COUNT] = {"classic", "rubik", "4way", "2p", "time"};
const char* const BEST_REPLAY_NAMES[MODE_COUNT] = {"best_classic.cfr", "best_rubik.cfr", "best_4way.cfr",
                                                   "best_2p.cfr", "best_time.cfr"};
constexpr const char* EXTENSION = ".cfr";
constexpr char HEX[] = "0123456789ABCDEF";

bool plain(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::string encodedName(const std::string& name) {
    std::string out;
    for (const char c : name) {
        if (plain(c)) {
            out += c;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        out += '%';
        out += HEX[byte >> 4];
        out += HEX[byte & 15];
    }
    return out;
}

int hexDigit(char c) {
    const char* at = std::strchr(HEX, c);
    return c != '\0' && at != nullptr ? static_cast<int>(at - HEX) : -1;
}

std::optional<std::string> decodedName(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = hexDigit(text[i + 1]), low = hexDigit(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high << 4 | low);
        i += 2;
    }
    return out;
}

std::optional<std::int64_t> number(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace

std::string rowReplayFileName(const RowReplayName& row) {
    std::string file = MODE_KEYS[row.mode];
    file.append("_").append(std::to_string(row.total)).append("_").append(encodedName(row.name));
    if (row.occurrence > 1) file.append("_").append(std::to_string(row.occurrence));
    return file.append(EXTENSION);
}

std::optional<RowReplayName> parseRowReplayFileName(const std::string& fileName) {
    if (!fileName.ends_with(EXTENSION)) return std::nullopt;
    const std::string_view stem =
        std::string_view(fileName).substr(0, fileName.size() - std::strlen(EXTENSION));
    const std::size_t first = stem.find('_');
    const std::size_t second = stem.find('_', first == std::string_view::npos ? first : first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const std::size_t third = stem.find('_', second + 1);
    RowReplayName row;
    const auto key = std::find(std::begin(MODE_KEYS), std::end(MODE_KEYS), stem.substr(0, first));
    const std::optional<std::int64_t> total = number(stem.substr(first + 1, second - first - 1));
    const std::optional<std::string> name = decodedName(stem.substr(second + 1, third - second - 1));
    const std::optional<std::int64_t> occurrence =
        third == std::string_view::npos ? std::optional<std::int64_t>(1) : number(stem.substr(third + 1));
    if (key == std::end(MODE_KEYS) || !total || !name || !occurrence || *occurrence < 1 ||
        *occurrence > HIGH_SCORE_ROWS || *total < INT32_MIN || *total > INT32_MAX || name->empty() ||
        name->size() > TABLE_NAME_LENGTH)
        return std::nullopt;
    row = {static_cast<int>(key - std::begin(MODE_KEYS)), static_cast<std::int32_t>(*total), *name,
           static_cast<int>(*occurrence)};
    // Only the one spelling this scheme writes: "007", "+5" or "%41" name no row.
    if (rowReplayFileName(row) != fileName) return std::nullopt;
    return row;
}

std::string rowReplayPath(int mode, const HighScoreEntry (&rows)[HIGH_SCORE_ROWS], int rank) {
    RowReplayName row{mode, rows[rank].total, rows[rank].name, 1};
    for (int k = 0; k < rank; ++k)
        if (rows[k].total == row.total && row.name == rows[k].name) ++row.occurrence;
    return std::string(ROW_REPLAYS_FOLDER) + "/" + rowReplayFileName(row);
}

void pruneRowReplays(int mode, const HighScoreEntry (&rows)[HIGH_SCORE_ROWS]) {
    std::vector<std::string> kept;
    kept.reserve(HIGH_SCORE_ROWS);
    for (int rank = 0; rank < HIGH_SCORE_ROWS; ++rank) kept.push_back(rowReplayPath(mode, rows, rank));
    for (const std::string& file : folderFileNames(ROW_REPLAYS_FOLDER)) {
        const std::optional<RowReplayName> row = parseRowReplayFileName(file);
        const std::string path = std::string(ROW_REPLAYS_FOLDER) + "/" + file;
        if (row && row->mode == mode && std::find(kept.begin(), kept.end(), path) == kept.end())
            removeFile(path.c_str());
    }
}

const char* bestReplayName(int mode) {
    return mode >= 0 && mode < MODE_COUNT ? BEST_REPLAY_NAMES[mode] : nullptr;
}

} // namespace crossfall
