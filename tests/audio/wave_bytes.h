// Builds RIFF WAVE files byte by byte for the audio test fixtures, broken ones included.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

struct WaveBytes {
    static std::string le16(std::uint16_t v) { return {char(v & 0xFF), char(v >> 8)}; }
    static std::string le32(std::uint32_t v) { return le16(std::uint16_t(v)) + le16(std::uint16_t(v >> 16)); }
    // A chunk with its padding byte; the size written may lie.
    static std::string chunk(const std::string& id, const std::string& body, std::int64_t claimed = -1) {
        std::string out = id + le32(std::uint32_t(claimed < 0 ? std::int64_t(body.size()) : claimed)) + body;
        return body.size() % 2 == 1 ? out + '\0' : out;
    }
    static std::string riff(const std::string& chunks) { return chunk("RIFF", "WAVE" + chunks); }
    // The 16 bytes every format starts with; the reader ignores the two derived fields.
    static std::string fields(std::uint16_t tag, std::uint16_t ch, std::uint32_t rate, std::uint16_t bits) {
        return le16(tag) + le16(ch) + le32(rate) + le32(0) + le16(0) + le16(bits);
    }
    // A file of one format chunk and the given chunks after it.
    static std::string wav(const std::string& fmt, const std::string& rest) {
        return riff(chunk("fmt ", fmt) + rest);
    }
    static std::string pcm16(const std::vector<std::int16_t>& samples) {
        std::string out;
        for (std::int16_t s : samples) out += le16(static_cast<std::uint16_t>(s));
        return out;
    }
    static void write(const std::string& name, const std::string& bytes) {
        std::ofstream(name, std::ios::binary) << bytes;
    }
};
