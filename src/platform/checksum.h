// CRC-32 (the one zip and PNG use): the journals' check, so a damaged file is told from a game that went
// another way. Used by the finished journal and by the unfinished game's blocks.
#pragma once

#include <cstdint>
#include <string_view>

namespace crossfall {

// The checksum of the bytes; given the checksum of what came before them, the checksum of the whole.
std::uint32_t crc32(std::string_view bytes, std::uint32_t before = 0);

} // namespace crossfall
