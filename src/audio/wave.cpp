// The RIFF WAVE reader on a file descriptor with our own read buffer. Chunk sizes are never
// trusted: every read is bounded by the buffer, and a lying size only makes a search or a read
// run into the end of the file.
#include "audio/wave.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace crossfall {
namespace {

// ---- Buffered file layer ---------------------------------------------------------------------

std::uint64_t positionOf(const WaveFile& file) { return file.bufferStart + file.bufferNext; }

void seekTo(WaveFile& file, std::uint64_t position) {
    if (position >= file.bufferStart && position <= file.bufferStart + file.bufferEnd) {
        file.bufferNext = static_cast<std::size_t>(position - file.bufferStart);
        return;
    }
    file.bufferStart = position;
    file.bufferNext = 0;
    file.bufferEnd = 0;
}

// Refills the buffer from the read position; an empty buffer afterwards means the end of the file.
int refill(WaveFile& file) {
    std::uint64_t position = positionOf(file);
    file.bufferStart = position;
    file.bufferNext = 0;
    file.bufferEnd = 0;
    if (position > static_cast<std::uint64_t>(INT64_MAX)) return 0;
    ssize_t got;
    do {
        got = pread(file.descriptor, file.buffer, WAVE_BUFFER_BYTES, static_cast<off_t>(position));
    } while (got < 0 && errno == EINTR);
    if (got < 0) return WAVE_ERR_FILE_READ;
    file.bufferEnd = static_cast<std::size_t>(got);
    return 0;
}

// Reads up to count bytes; fewer only at the end of the file or on a read error.
std::size_t readBytes(WaveFile& file, std::uint8_t* destination, std::size_t count, int& error) {
    error = 0;
    std::size_t done = 0;
    while (done < count) {
        if (file.bufferNext == file.bufferEnd) {
            error = refill(file);
            if (error != 0 || file.bufferEnd == 0) break;
        }
        std::size_t piece = std::min(count - done, file.bufferEnd - file.bufferNext);
        std::memcpy(destination + done, file.buffer + file.bufferNext, piece);
        file.bufferNext += piece;
        done += piece;
    }
    return done;
}

// Reads up to count bytes, none past chunkEnd.
std::size_t readWithin(WaveFile& file, std::uint8_t* destination, std::size_t count, std::uint64_t chunkEnd) {
    std::uint64_t position = positionOf(file);
    std::uint64_t room = position < chunkEnd ? chunkEnd - position : 0;
    int error = 0;
    return readBytes(file, destination, static_cast<std::size_t>(std::min<std::uint64_t>(count, room)), error);
}

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// ---- Chunks ----------------------------------------------------------------------------------

// Reads the chunk header at the read position and stops at the chunk's data.
int descend(WaveFile& file, std::uint8_t id[4], WaveChunk& chunk) {
    std::uint8_t header[8];
    int error = 0;
    std::uint64_t start = positionOf(file);
    if (readBytes(file, header, 8, error) < 8) return error != 0 ? error : WAVE_ERR_CHUNK_NOT_FOUND;
    std::memcpy(id, header, 4);
    chunk.dataStart = start + 8;
    chunk.size = le32(header + 4);
    return 0;
}

std::uint64_t chunkEnd(const WaveChunk& chunk) { return chunk.dataStart + chunk.size; }

// Past the chunk's data and its padding byte.
void ascend(WaveFile& file, const WaveChunk& chunk) { seekTo(file, chunkEnd(chunk) + (chunk.size & 1u)); }

// Searches the parent's sub-chunks from the read position for the id; stops at its data.
int findChunk(WaveFile& file, const char* wanted, std::uint64_t parentEnd, WaveChunk& found) {
    while (positionOf(file) + 8 <= parentEnd) {
        std::uint8_t id[4];
        int error = descend(file, id, found);
        if (error != 0) return error;
        if (std::memcmp(id, wanted, 4) == 0) return 0;
        ascend(file, found);
    }
    return WAVE_ERR_CHUNK_NOT_FOUND;
}

int failOpen(WaveFile& file, WaveFormatBlock& format, int result) {
    closeWaveFile(file, format);
    return result;
}

} // namespace

// ---- Reader ----------------------------------------------------------------------------------

int openWaveFile(const char* fileName, WaveFile& file, WaveFormatBlock& format, WaveChunk& riff) {
    closeWaveFile(file, format);
    int descriptor = open(fileName, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return WAVE_ERR_OPEN;
    struct stat info {};
    // Only plain files: a pipe or device could block or never end.
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(descriptor);
        return WAVE_ERR_OPEN;
    }
    file.descriptor = descriptor;

    std::uint8_t id[4];
    int error = descend(file, id, riff);
    if (error != 0) return failOpen(file, format, error);
    std::uint8_t formType[4];
    if (readBytes(file, formType, 4, error) < 4) return failOpen(file, format, error != 0 ? error : WAVE_ERR_CHUNK_NOT_FOUND);
    if (std::memcmp(id, "RIFF", 4) != 0 || std::memcmp(formType, "WAVE", 4) != 0)
        return failOpen(file, format, WAVE_ERR_NOT_WAVE);

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
    header[16] = static_cast<std::uint8_t>(extra & 0xFF);
    header[17] = static_cast<std::uint8_t>(extra >> 8);

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

int startWaveData(WaveFile& file, const WaveChunk& riff, WaveChunk& data) {
    if (file.descriptor < 0) return WAVE_ERR_BUFFER_STATE;
    seekTo(file, riff.dataStart + 4);
    return findChunk(file, "data", chunkEnd(riff), data);
}

int readWaveData(WaveFile& file, std::uint32_t count, std::uint8_t* destination, WaveChunk& data,
                 std::uint32_t& copied) {
    copied = 0;
    if (file.descriptor < 0) return WAVE_ERR_BUFFER_STATE;
    std::uint32_t n = std::min(count, data.size);
    data.size -= n;
    int error = 0;
    if (readBytes(file, destination, n, error) < n) return error != 0 ? error : WAVE_ERR_CORRUPT;
    copied = n;
    return 0;
}

int closeWaveFile(WaveFile& file, WaveFormatBlock& format) {
    std::free(format.bytes);
    format = WaveFormatBlock{};
    if (file.descriptor >= 0) close(file.descriptor);
    file.descriptor = -1;
    file.bufferStart = 0;
    file.bufferNext = 0;
    file.bufferEnd = 0;
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
    struct stat info {};
    if (file.descriptor < 0 || fstat(file.descriptor, &info) != 0 || info.st_size < 0) return 0;
    std::uint64_t size = static_cast<std::uint64_t>(info.st_size);
    std::uint64_t position = positionOf(file);
    return position < size ? size - position : 0;
}

} // namespace crossfall
