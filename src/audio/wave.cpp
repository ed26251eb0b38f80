// The RIFF WAVE reader on a file's bytes in memory. Chunk sizes are never trusted: every read is
// bounded by the bytes there are, and a lying size only makes a search or a read run into the end.
#include "audio/wave.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "platform/files.h"

namespace crossfall {
namespace {

// A chunk's four-letter id, or the form type after "RIFF".
using ChunkId = std::array<std::uint8_t, 4>;

// ---- Bytes ------------------------------------------------------------------------------------

// Copies up to count bytes from the read position; fewer only at the end of the file.
std::size_t readBytes(WaveFile& file, std::uint8_t* destination, std::size_t count) {
    std::uint64_t left = waveBytesLeft(file);
    std::size_t done = static_cast<std::size_t>(std::min<std::uint64_t>(count, left));
    if (done > 0) std::memcpy(destination, file.bytes.data() + file.position, done);
    file.position += done;
    return done;
}

// Reads up to count bytes, none past chunkEnd.
std::size_t readWithin(WaveFile& file, std::uint8_t* destination, std::size_t count, std::uint64_t chunkEnd) {
    std::uint64_t room = file.position < chunkEnd ? chunkEnd - file.position : 0;
    return readBytes(file, destination, static_cast<std::size_t>(std::min<std::uint64_t>(count, room)));
}

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// ---- Chunks ----------------------------------------------------------------------------------

// Reads the chunk header at the read position and stops at the chunk's data.
int descend(WaveFile& file, ChunkId& id, WaveChunk& chunk) {
    std::uint8_t header[8];
    std::uint64_t start = file.position;
    if (readBytes(file, header, 8) < 8) return WAVE_ERR_CHUNK_NOT_FOUND;
    std::memcpy(id.data(), header, id.size());
    chunk.dataStart = start + 8;
    chunk.size = le32(header + 4);
    return 0;
}

std::uint64_t chunkEnd(const WaveChunk& chunk) { return chunk.dataStart + chunk.size; }

// Past the chunk's data and its padding byte.
void ascend(WaveFile& file, const WaveChunk& chunk) { file.position = chunkEnd(chunk) + (chunk.size & 1u); }

// Searches the parent's sub-chunks from the read position for the id; stops at its data.
int findChunk(WaveFile& file, const char* wanted, std::uint64_t parentEnd, WaveChunk& found) {
    while (file.position + 8 <= parentEnd) {
        ChunkId id;
        int error = descend(file, id, found);
        if (error != 0) return error;
        if (std::memcmp(id.data(), wanted, id.size()) == 0) return 0;
        ascend(file, found);
    }
    return WAVE_ERR_CHUNK_NOT_FOUND;
}

int failOpen(WaveFile& file, WaveFormatBlock& format, int result) {
    closeWaveFile(file, format);
    return result;
}

// Parses the bytes as an opened file: the first chunk must be RIFF/WAVE, then its format block.
int parseWave(std::span<const std::uint8_t> bytes, WaveFile& file, WaveFormatBlock& format, WaveChunk& riff) {
    // The read position is 0: both openings close the last file first.
    file.bytes = bytes;
    file.open = true;

    // A whole first chunk header that is not RIFF is no WAVE file; a RIFF cut before its form type is a
    // chunk not found.
    ChunkId id;
    int error = descend(file, id, riff);
    if (error != 0) return failOpen(file, format, error);
    if (std::memcmp(id.data(), "RIFF", id.size()) != 0) return failOpen(file, format, WAVE_ERR_NOT_WAVE);
    ChunkId formType;
    if (readBytes(file, formType.data(), formType.size()) < formType.size())
        return failOpen(file, format, WAVE_ERR_CHUNK_NOT_FOUND);
    if (std::memcmp(formType.data(), "WAVE", formType.size()) != 0) return failOpen(file, format, WAVE_ERR_NOT_WAVE);

    WaveChunk fmt;
    error = findChunk(file, "fmt ", chunkEnd(riff), fmt);
    if (error != 0) return failOpen(file, format, error);
    if (fmt.size < 16) return failOpen(file, format, WAVE_ERR_NOT_WAVE);

    // Reads stay inside the "fmt " chunk, so the next chunk's header is never taken for format data.
    std::uint8_t header[WAVE_FORMAT_HEADER_BYTES] = {};
    if (readWithin(file, header, 16, chunkEnd(fmt)) < 16) return failOpen(file, format, WAVE_ERR_READ);
    std::uint16_t extra = 0;
    if (le16(header) != WAVE_FORMAT_PCM) {
        if (readWithin(file, header + 16, 2, chunkEnd(fmt)) < 2) return failOpen(file, format, WAVE_ERR_READ);
        extra = le16(header + 16);
    }

    std::size_t size = WAVE_FORMAT_HEADER_BYTES + extra;
    format.bytes = static_cast<std::uint8_t*>(std::malloc(size));
    if (format.bytes == nullptr) return failOpen(file, format, WAVE_ERR_MEMORY);
    format.size = size;
    std::memcpy(format.bytes, header, WAVE_FORMAT_HEADER_BYTES);
    if (extra != 0 && readWithin(file, format.bytes + WAVE_FORMAT_HEADER_BYTES, extra, chunkEnd(fmt)) < extra)
        return failOpen(file, format, WAVE_ERR_NOT_WAVE);

    ascend(file, fmt);
    return 0;
}

} // namespace

// ---- Reader ----------------------------------------------------------------------------------

int openWaveFile(const char* fileName, WaveFile& file, WaveFormatBlock& format, WaveChunk& riff) {
    closeWaveFile(file, format);
    FileRead read = readRegularFile(fileName, WAVE_FILE_READ_LIMIT, file.storage);
    if (read != FileRead::Done)
        return failOpen(file, format, read == FileRead::NotOpened ? WAVE_ERR_OPEN : WAVE_ERR_FILE_READ);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(file.storage.data()),
                                              file.storage.size());
    return parseWave(bytes, file, format, riff);
}

int openWaveBytes(std::span<const std::uint8_t> bytes, WaveFile& file, WaveFormatBlock& format, WaveChunk& riff) {
    closeWaveFile(file, format);
    return parseWave(bytes, file, format, riff);
}

int startWaveData(WaveFile& file, const WaveChunk& riff, WaveChunk& data) {
    if (!file.open) return WAVE_ERR_BUFFER_STATE;
    file.position = riff.dataStart + 4;
    return findChunk(file, "data", chunkEnd(riff), data);
}

int readWaveData(WaveFile& file, std::uint32_t count, std::uint8_t* destination, WaveChunk& data,
                 std::uint32_t& copied) {
    copied = 0;
    if (!file.open) return WAVE_ERR_BUFFER_STATE;
    std::uint32_t n = std::min(count, data.size);
    data.size -= n;
    if (readBytes(file, destination, n) < n) return WAVE_ERR_CORRUPT;
    copied = n;
    return 0;
}

int closeWaveFile(WaveFile& file, WaveFormatBlock& format) {
    std::free(format.bytes);
    format = WaveFormatBlock{};
    // A loaded file's bytes are let go of, not kept for the next load (assigning would keep the buffer).
    std::string().swap(file.storage);
    file.bytes = {};
    file.position = 0;
    file.open = false;
    return 0;
}

WaveFormat decodeWaveFormat(const WaveFormatBlock& format) {
    WaveFormat decoded;
    if (format.bytes == nullptr || format.size < WAVE_FORMAT_HEADER_BYTES) return decoded;
    const std::uint8_t* p = format.bytes;
    decoded.formatTag = le16(p);
    decoded.channels = le16(p + 2);
    decoded.samplesPerSecond = le32(p + 4);
    decoded.averageBytesPerSecond = le32(p + 8);
    decoded.blockAlign = le16(p + 12);
    decoded.bitsPerSample = le16(p + 14);
    decoded.extraBytes = le16(p + 16);
    return decoded;
}

std::uint64_t waveBytesLeft(const WaveFile& file) {
    return file.position < file.bytes.size() ? file.bytes.size() - file.position : 0;
}

} // namespace crossfall
