// Builds RIFF WAVE files byte by byte for the audio tests, broken ones included.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

using Bytes = std::string;

struct WaveBytes {
    static Bytes le16(std::uint16_t v) { return {char(v & 0xFF), char(v >> 8)}; }
    static Bytes le32(std::uint32_t v) { return le16(std::uint16_t(v)) + le16(std::uint16_t(v >> 16)); }
    // A chunk with its padding byte; the size written may lie.
    static Bytes chunk(const Bytes& id, const Bytes& body, std::int64_t claimed = -1) {
        Bytes out = id + le32(std::uint32_t(claimed < 0 ? std::int64_t(body.size()) : claimed)) + body;
        return body.size() % 2 == 1 ? out + '\0' : out;
    }
    // The 16 bytes every format starts with; the reader ignores the two derived fields.
    static Bytes fields(std::uint16_t tag, std::uint16_t ch, std::uint32_t rate, std::uint16_t bits) {
        return le16(tag) + le16(ch) + le32(rate) + le32(0) + le16(0) + le16(bits);
    }
    static Bytes riff(const Bytes& chunks) { return chunk("RIFF", "WAVE" + chunks); }
    static Bytes wav(const Bytes& fmt, const Bytes& rest) { return riff(chunk("fmt ", fmt) + rest); }
    static void write(const char* name, const Bytes& data) { std::ofstream(name, std::ios::binary) << data; }
};
