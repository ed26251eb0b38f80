// The byte layout's writers and reader.
#include "platform/bytes.h"

namespace crossfall {

void putU8(std::string& out, std::uint32_t value) { out.push_back(static_cast<char>(value & 0xFF)); }

void putU32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) putU8(out, value >> shift);
}

void putU64(std::string& out, std::uint64_t value) {
    putU32(out, static_cast<std::uint32_t>(value));
    putU32(out, static_cast<std::uint32_t>(value >> 32));
}

void putVarint(std::string& out, std::uint32_t value) {
    for (; value >= 0x80; value >>= 7) putU8(out, (value & 0x7F) | 0x80);
    putU8(out, value);
}

std::uint32_t ByteReader::u8() {
    if (bytes.empty()) {
        cut = true;
        return 0;
    }
    const auto value = static_cast<std::uint8_t>(bytes.front());
    bytes.remove_prefix(1);
    return value;
}

std::uint32_t ByteReader::u32() {
    std::uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8) value |= u8() << shift;
    return value;
}

std::int32_t ByteReader::i32() { return static_cast<std::int32_t>(u32()); }

std::uint64_t ByteReader::u64() {
    const std::uint64_t low = u32();
    return low | std::uint64_t{u32()} << 32;
}

bool ByteReader::varint(std::uint32_t& value) {
    value = 0;
    for (int shift = 0;; shift += 7) {
        const std::uint32_t b = u8();
        if (shift == 28 && b > 0x0F) return false;
        value |= (b & 0x7F) << shift;
        if ((b & 0x80) == 0) return true;
    }
}

} // namespace crossfall
