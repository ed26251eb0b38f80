// Little-endian numbers in a byte string, written and read back: the journals' and the unfinished game's
// layout. A read past the end marks the whole read as cut short instead of reading past the bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace crossfall {

void putU8(std::string& out, std::uint32_t value);
void putU32(std::string& out, std::uint32_t value);
void putU64(std::string& out, std::uint64_t value);
// Seven bits a byte, low first: a frame gap of under 128 takes one byte.
void putVarint(std::string& out, std::uint32_t value);

// Reads from the front of the bytes; the first read past the end marks the whole read as cut short.
struct ByteReader {
    std::string_view bytes;
    bool cut = false;

    std::uint32_t u8();
    std::uint32_t u32();
    std::int32_t i32();
    std::uint64_t u64();
    // False for a number that does not fit 32 bits: the fifth byte holds the top four bits and ends it.
    bool varint(std::uint32_t& value);
};

} // namespace crossfall
