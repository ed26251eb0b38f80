// The RIFF WAVE reader: reads a file whole (or takes bytes already in memory) and parses its format
// block, positions at the sample data and copies sample bytes, reporting failures as result codes.
// Called by the sound bank's loadSound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace crossfall {

// ---- Result codes (0 is success) -------------------------------------------------------------

constexpr int WAVE_ERR_BUFFER_STATE = 1; // read on a closed handle
constexpr int WAVE_ERR_MEMORY = 0xE000;
constexpr int WAVE_ERR_OPEN = 0xE100;
constexpr int WAVE_ERR_NOT_WAVE = 0xE101;
constexpr int WAVE_ERR_READ = 0xE102;
constexpr int WAVE_ERR_CORRUPT = 0xE103;
// Codes of the file and chunk layer below the reader, passed through unchanged.
constexpr int WAVE_ERR_FILE_READ = 0x105; // the file opened but reading it failed
constexpr int WAVE_ERR_CHUNK_NOT_FOUND = 0x109;

// ---- Reader state, held by the caller between calls --------------------------------------------

// A file is read up to this many bytes: room for the largest sample data the sound bank takes (64 MiB)
// and the chunks around it. Chunks past it read as running past the end of the file.
constexpr std::size_t WAVE_FILE_READ_LIMIT = 65u << 20;

// The bytes being parsed and the read position in them; closed (and empty) when not open.
struct WaveFile {
    std::string storage;                 // the file's bytes when opened by name
    std::span<const std::uint8_t> bytes; // what is parsed: storage, or bytes the caller keeps alive
    std::uint64_t position = 0;
    bool open = false;
};

// The 18-byte format header as stored in the file (little-endian), then the extra bytes.
constexpr std::size_t WAVE_FORMAT_HEADER_BYTES = 18;
struct WaveFormatBlock {
    std::uint8_t* bytes = nullptr; // allocated by the reader; null when empty
    std::size_t size = 0;
};

// The format header's fields.
struct WaveFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint32_t averageBytesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraBytes = 0;
};
constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

// A chunk's data: where it starts in the file and its size (for "data": the bytes not yet read).
struct WaveChunk {
    std::uint64_t dataStart = 0;
    std::uint32_t size = 0;
};

// ---- Reading ---------------------------------------------------------------------------------

// Reads the file (regular files only) and its format block; on failure both come back empty.
int openWaveFile(const char* fileName, WaveFile& file, WaveFormatBlock& format, WaveChunk& riff);
// The same on a file's bytes already in memory; they must outlive the open file.
int openWaveBytes(std::span<const std::uint8_t> bytes, WaveFile& file, WaveFormatBlock& format, WaveChunk& riff);
// Finds the "data" chunk inside the RIFF chunk and stops at its first byte.
int startWaveData(WaveFile& file, const WaveChunk& riff, WaveChunk& data);
// Copies up to count bytes of the data chunk; copied is 0 on any failure.
int readWaveData(WaveFile& file, std::uint32_t count, std::uint8_t* destination, WaveChunk& data,
                 std::uint32_t& copied);
// Frees the format block and closes the file; both come back empty. Always 0.
int closeWaveFile(WaveFile& file, WaveFormatBlock& format);

// The header fields of a format block; all zero when the block is empty.
WaveFormat decodeWaveFormat(const WaveFormatBlock& format);
// Bytes between the read position and the end of the file: what a read can still deliver.
std::uint64_t waveBytesLeft(const WaveFile& file);

} // namespace crossfall
