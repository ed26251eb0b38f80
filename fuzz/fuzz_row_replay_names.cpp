// Any bytes as a file name in the folder of the rows' journals: a name read back must be the one spelling
// the scheme writes for what it says (so only our own files are ever removed), with no slash or zero byte;
// and any row (a name of up to 11 bytes, any total, mode and place) must read back from the name made for it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "scores/row_replays.h"

using namespace crossfall;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<RowReplayName> read = parseRowReplayFileName(bytes);
    if (read) {
        if (rowReplayFileName(*read) != bytes || read->mode < 0 || read->mode >= MODE_COUNT ||
            read->occurrence < 1 || read->occurrence > HIGH_SCORE_ROWS || read->name.empty() ||
            read->name.size() > TABLE_NAME_LENGTH)
            std::abort();
        if (bytes.find('/') != std::string::npos || bytes.find('\0') != std::string::npos) std::abort();
    }
    // The first 11 bytes as a name, the next as the total and the place.
    if (size < 6) return 0;
    const std::string name = bytes.substr(0, size < 17 ? size - 5 : 11);
    const std::int32_t total = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(data[size - 5]) << 24 | static_cast<std::uint32_t>(data[size - 4]) << 16 |
        static_cast<std::uint32_t>(data[size - 3]) << 8 | data[size - 2]);
    const RowReplayName row{data[size - 1] % MODE_COUNT, total, name,
                            1 + data[size - 1] / MODE_COUNT % HIGH_SCORE_ROWS};
    const std::string file = rowReplayFileName(row);
    if (file.find('/') != std::string::npos || file.find('\0') != std::string::npos) std::abort();
    if (!parseRowReplayFileName(file) || *parseRowReplayFileName(file) != row) std::abort();
    return 0;
}
