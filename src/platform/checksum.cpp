// CRC-32 by a table built at compile time.
#include "platform/checksum.h"

#include <array>

namespace crossfall {
namespace {

constexpr std::array<std::uint32_t, 256> CRC_TABLE = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

} // namespace

std::uint32_t crc32(std::string_view bytes, std::uint32_t before) {
    std::uint32_t c = before ^ 0xFFFFFFFFu;
    for (char b : bytes) c = CRC_TABLE[(c ^ static_cast<std::uint8_t>(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

} // namespace crossfall
