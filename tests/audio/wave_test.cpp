// The WAV reader: chunk search and padding, format blocks, result codes, and files that lie or end early.
#include "audio/wave.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "audio/wave_bytes.h"

using namespace crossfall;

class WaveReader : public testing::Test, protected WaveBytes {
  protected:
    void TearDown() override { closeWaveFile(file, format); }
    // Opens, finds the data and reads it whole (up to 64 KiB) into out; the first failing step's code.
    int readAll(const Bytes& bytes) {
        write("t.wav", bytes);
        out.clear();
        int result = openWaveFile("t.wav", file, format, riffChunk);
        EXPECT_TRUE(result == 0 || (file.descriptor == -1 && format.bytes == nullptr)) << "handle left open";
        if (result == 0) result = startWaveData(file, riffChunk, data);
        if (result != 0) return result;
        out.assign(1 << 16, '\0');
        std::uint32_t copied = 99;
        result = readWaveData(file, 1 << 16, reinterpret_cast<std::uint8_t*>(out.data()), data, copied);
        out.resize(copied);
        return result;
    }
    WaveFile file;
    WaveFormatBlock format;
    WaveChunk riffChunk, data;
    Bytes out;
};

TEST_F(WaveReader, ReadsTheWholeDataChunkOrRefusesWithTheRightCode) {
    Bytes noise(3 * WAVE_BUFFER_BYTES, '\0'); // longer than the read buffer: every read refills it
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

TEST_F(WaveReader, AFormatCutShortOrMissingItsOneExtraByteIsRefusedWithItsCode) {
    const Bytes pcm = fields(1, 1, 8000, 16), samples = chunk("data", "1234");
    EXPECT_EQ(readAll("RIFF" + le32(0xFFFFFFF0u) + "WAVE" + chunk("fmt ", pcm).substr(0, 23)), WAVE_ERR_READ);
    EXPECT_EQ(readAll(wav(fields(2, 1, 8000, 4) + le16(1), samples)), WAVE_ERR_NOT_WAVE);
    EXPECT_EQ(readAll(wav(fields(2, 1, 8000, 4) + le16(1) + "Z", samples)), 0);
    EXPECT_EQ(format.bytes[WAVE_FORMAT_HEADER_BYTES], 'Z');
}
