// Builds RIFF WAVE files byte by byte for the audio tests, including broken ones.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace wave_bytes {

inline std::string le16(std::uint16_t v) { return {char(v & 0xFF), char(v >> 8)}; }
inline std::string le32(std::uint32_t v) { return le16(std::uint16_t(v & 0xFFFF)) + le16(std::uint16_t(v >> 16)); }

// A chunk with its padding byte; the size written may lie.
inline std::string chunk(const std::string& id, const std::string& body, std::uint32_t claimedSize) {
    std::string out = id + le32(claimedSize) + body;
    if (body.size() % 2 == 1) out += '\0';
    return out;
}
inline std::string chunk(const std::string& id, const std::string& body) {
    return chunk(id, body, static_cast<std::uint32_t>(body.size()));
}

inline std::string riff(const std::string& chunks, const std::string& form = "WAVE") {
    return chunk("RIFF", form + chunks);
}

// The 16 bytes every format starts with.
inline std::string formatFields(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    return le16(tag) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits);
}

inline std::string pcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    return chunk("fmt ", formatFields(1, channels, rate, bits));
}

inline std::string pcm16(const std::vector<std::int16_t>& samples) {
    std::string out;
    for (std::int16_t s : samples) out += le16(static_cast<std::uint16_t>(s));
    return out;
}

// A well-formed 16-bit PCM file.
inline std::string pcm16Wave(std::uint32_t rate, const std::vector<std::int16_t>& samples, std::uint16_t channels = 1) {
    return riff(pcmFormat(channels, rate, 16) + chunk("data", pcm16(samples)));
}

inline void writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

} // namespace wave_bytes
