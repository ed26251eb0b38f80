// The WAV reader: chunk search and padding, format blocks, result codes, and files that lie or end early.
#include "audio/wave.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <span>

#include "audio/wave_bytes.h"

using namespace crossfall;

class WaveReader : public testing::Test, protected WaveBytes {
  protected:
    void TearDown() override { closeWaveFile(file, format); }
    // Opens, finds the data and reads it whole (up to 64 KiB) into out; the first failing step's code.
    // The file read from disk and its bytes handed over in memory must read alike.
    int readAll(const Bytes& bytes) {
        write("t.wav", bytes);
        int fromFile = readWith([this] { return openWaveFile("t.wav", file, format, riffChunk); });
        const Bytes fileOut = out;
        const std::span<const std::uint8_t> inMemory(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        int fromMemory = readWith([&] { return openWaveBytes(inMemory, file, format, riffChunk); });
        EXPECT_EQ(fromFile, fromMemory);
        EXPECT_EQ(fileOut, out);
        return fromFile;
    }
    template <typename Open>
    int readWith(Open open) {
        out.clear();
        int result = open();
        EXPECT_TRUE(result == 0 || (!file.open && format.bytes == nullptr)) << "handle left open";
        if (result == 0) result = startWaveData(file, riffChunk, data);
        if (result != 0) return result;
        out.assign(1 << 16, '\0');
        std::uint32_t copied = 99;
        result = readWaveData(file, 1 << 16, reinterpret_cast<std::uint8_t*>(out.data()), data, copied);
        out.resize(copied);
        closeWaveFile(file, format);
        EXPECT_LE(file.storage.capacity(), std::string().capacity()) << "a closed file holds no bytes";
        return result;
    }
    WaveFile file;
    WaveFormatBlock format;
    WaveChunk riffChunk, data;
    Bytes out;
};

TEST_F(WaveReader, ReadsTheWholeDataChunkOrRefusesWithTheRightCode) {
    Bytes noise(20000, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 7919) >> 3);
    const Bytes pcm = fields(1, 1, 8000, 16), fmt = chunk("fmt ", pcm), samples = chunk("data", noise);
    const std::pair<Bytes, int> cases[] = {
        {wav(pcm, samples + chunk("next", "AAAA")), 0},
        {wav(pcm + le16(0x7777), samples), 0}, // an 18-byte PCM format
        {riff(chunk("LIST", "odd") + samples + chunk("junk", "12345") + fmt), 0},
        {chunk("RIFF", "WAVE" + fmt + samples, 0xFFFFFFF0u), 0},
        {wav(pcm, chunk("data", noise, 0xFFFFFF00u)), WAVE_ERR_CORRUPT},
        {chunk("RIFF", "WAVE" + fmt, 4 + fmt.size()) + samples, WAVE_ERR_CHUNK_NOT_FOUND},
        {chunk("RIFF", "WAVE" + fmt, 0xFFFFFFF0u), WAVE_ERR_CHUNK_NOT_FOUND},
        {chunk("RIFX", "WAVE" + fmt + samples), WAVE_ERR_NOT_WAVE},
        {chunk("RIFF", "AVI " + fmt + samples), WAVE_ERR_NOT_WAVE},
        {wav(pcm.substr(0, 14), samples), WAVE_ERR_NOT_WAVE},
        {wav(fields(2, 1, 8000, 4) + le16(2) + "\xAB\xCD", samples), 0},
        // Without its extra count a non-PCM format would otherwise read the next chunk's id.
        {wav(fields(3, 1, 8000, 32), samples), WAVE_ERR_READ},
        {wav(fields(2, 1, 8000, 4) + le16(40) + "ab", samples), WAVE_ERR_NOT_WAVE},
    };
    for (int i = 0; const auto& [bytes, result] : cases) {
        SCOPED_TRACE(i++);
        EXPECT_EQ(readAll(bytes), result);
        EXPECT_EQ(out, result == 0 ? noise : "");
    }
    std::filesystem::create_directory("folder.wav");
    EXPECT_EQ(openWaveFile("folder.wav", file, format, riffChunk), WAVE_ERR_OPEN);
}

TEST_F(WaveReader, EveryTruncationFailsAndCopiesNothing) {
    const Bytes whole = wav(fields(1, 2, 8000, 16), chunk("LIST", "abc") + chunk("data", "12345678"));
    for (std::size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        EXPECT_NE(readAll(whole.substr(0, length)), 0);
        EXPECT_EQ(out, "");
    }
}

// Short files: a first chunk whose 8-byte header is whole but is not RIFF/WAVE is no WAVE file;
// a header or a RIFF form type cut short is a chunk not found.
TEST_F(WaveReader, ShortFilesFailAtTheirFirstChunkWithTheRightCode) {
    const struct {
        Bytes head;
        int shorterThan8, from8To11, at12;
    } cases[] = {
        {"RIFF" + le32(4) + "WAVE", WAVE_ERR_CHUNK_NOT_FOUND, WAVE_ERR_CHUNK_NOT_FOUND, WAVE_ERR_CHUNK_NOT_FOUND},
        {"RIFF" + le32(4) + "AVI ", WAVE_ERR_CHUNK_NOT_FOUND, WAVE_ERR_CHUNK_NOT_FOUND, WAVE_ERR_NOT_WAVE},
        {"JUNK" + le32(4) + "WAVE", WAVE_ERR_CHUNK_NOT_FOUND, WAVE_ERR_NOT_WAVE, WAVE_ERR_NOT_WAVE},
        {"riff" + le32(0) + "WAVE", WAVE_ERR_CHUNK_NOT_FOUND, WAVE_ERR_NOT_WAVE, WAVE_ERR_NOT_WAVE},
    };
    for (const auto& c : cases) {
        for (std::size_t length = 0; length <= 12; ++length) {
            SCOPED_TRACE(c.head.substr(0, 4) + " cut to " + std::to_string(length));
            EXPECT_EQ(readAll(c.head.substr(0, length)), length < 8 ? c.shorterThan8 : length < 12 ? c.from8To11 : c.at12);
        }
    }
}

TEST_F(WaveReader, AFormatCutShortOrMissingItsOneExtraByteIsRefusedWithItsCode) {
    const Bytes pcm = fields(1, 1, 8000, 16), samples = chunk("data", "1234");
    EXPECT_EQ(readAll("RIFF" + le32(0xFFFFFFF0u) + "WAVE" + chunk("fmt ", pcm).substr(0, 23)), WAVE_ERR_READ);
    EXPECT_EQ(readAll(wav(fields(2, 1, 8000, 4) + le16(1), samples)), WAVE_ERR_NOT_WAVE);
    const Bytes withExtra = wav(fields(2, 1, 8000, 4) + le16(1) + "Z", samples);
    EXPECT_EQ(readAll(withExtra), 0);
    // The extra byte is kept with the format header while the file is open.
    const auto* first = reinterpret_cast<const std::uint8_t*>(withExtra.data());
    ASSERT_EQ(openWaveBytes({first, withExtra.size()}, file, format, riffChunk), 0);
    ASSERT_NE(format.bytes, nullptr);
    EXPECT_EQ(format.bytes[WAVE_FORMAT_HEADER_BYTES], 'Z');
    closeWaveFile(file, format);
}
