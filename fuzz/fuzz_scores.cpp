// Any bytes as a score file's contents, in memory: with any name limit, the rows read must be what a
// string stream's extraction of name and decimal score pairs gives, names cut to the limit.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>

#include "scores/high_scores.h"

using namespace crossfall;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Every limit from none to past the field (the table's 11, the list's 9), picked without touching the bytes.
    const int nameLimit = static_cast<int>(size % (TABLE_NAME_LENGTH + 2));
    const std::size_t kept = static_cast<std::size_t>(std::min(nameLimit, TABLE_NAME_LENGTH));
    HighScoreEntry rows[HIGH_SCORE_ROWS];
    const int complete = parseScoreRows(bytes, rows, HIGH_SCORE_ROWS, nameLimit);

    std::istringstream stream{std::string(bytes)};
    int expected = 0;
    for (const HighScoreEntry& row : rows) {
        std::string name;
        std::int32_t total = 0;
        if (stream >> name) {
            name.resize(std::min(name.size(), kept));
            name.resize(std::strlen(name.c_str())); // a name is a C string: it ends at its first zero byte
            if (!(stream >> total)) total = 0; // a score not read leaves the row's 0
        }
        // Past the first failure both leave the row empty: a name not read is empty, a score not read 0.
        if (std::memcmp(row.name, name.data(), name.size()) != 0 || row.name[name.size()] != '\0' ||
            row.total != total)
            std::abort();
        if (stream) ++expected;
    }
    if (complete != expected) std::abort();
    return 0;
}
