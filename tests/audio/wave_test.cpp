// The WAV reader: chunk search and padding, format blocks, result codes, and files that lie or end early.
#include "audio/wave.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "audio/wave_bytes.h"

using namespace crossfall;
using namespace wave_bytes;

namespace {

struct Reader {
    WaveFile file;
    WaveFormatBlock format;
    WaveChunk riff;
    WaveChunk data;
    ~Reader() { closeWaveFile(file, format); }

    int open(const std::string& bytes) {
        writeFile("t.wav", bytes);
        return openWaveFile("t.wav", file, format, riff);
    }
    // Opens, finds the data and reads count bytes; the first failing step's code.
    int readAll(const std::string& bytes, std::uint32_t count, std::string& out) {
        out.clear();
        if (int result = open(bytes); result != 0) return result;
        if (int result = startWaveData(file, riff, data); result != 0) return result;
        out.assign(count, '\0');
        std::uint32_t copied = 99;
        int result = readWaveData(file, count, reinterpret_cast<std::uint8_t*>(out.data()), data, copied);
        out.resize(copied);
        return result;
    }
};

const std::string samples = pcm16({1, -2, 300, -400});

} // namespace

TEST(WaveReader, PcmFormatChunksOf16And18BytesReadTheSame) {
    std::string fields = formatFields(1, 2, 22050, 16);
    for (const std::string& fmt : {chunk("fmt ", fields), chunk("fmt ", fields + le16(0x7777))}) {
        Reader reader;
        std::string out;
        ASSERT_EQ(reader.readAll(riff(fmt + chunk("data", samples)), 100, out), 0);
        EXPECT_EQ(out, samples) << "the rest of an 18-byte chunk is skipped";
        ASSERT_EQ(reader.format.size, 18u);
        WaveFormat format = decodeWaveFormat(reader.format);
        EXPECT_EQ(format.formatTag, 1);
        EXPECT_EQ(format.channels, 2);
        EXPECT_EQ(format.samplesPerSecond, 22050u);
        EXPECT_EQ(format.averageBytesPerSecond, 88200u);
        EXPECT_EQ(format.blockAlign, 4);
        EXPECT_EQ(format.bitsPerSample, 16);
        EXPECT_EQ(format.extraBytes, 0) << "a PCM block never takes the chunk's trailing count";
    }
}

TEST(WaveReader, NonPcmFormatKeepsItsExtraBytes) {
    Reader reader;
    std::string fmt = chunk("fmt ", formatFields(2, 1, 8000, 4) + le16(2) + "\xAB\xCD");
    std::string out;
    ASSERT_EQ(reader.readAll(riff(fmt + chunk("data", "xyz")), 3, out), 0);
    ASSERT_EQ(reader.format.size, 20u);
    EXPECT_EQ(decodeWaveFormat(reader.format).extraBytes, 2);
    EXPECT_EQ(reader.format.bytes[18], 0xAB);
    EXPECT_EQ(reader.format.bytes[19], 0xCD);
    EXPECT_EQ(out, "xyz");
}

TEST(WaveReader, FormatReadsStayInsideTheFormatChunk) {
    Reader reader;
    std::string data = chunk("data", samples);
    EXPECT_EQ(reader.open(riff(chunk("fmt ", formatFields(1, 1, 8000, 16).substr(0, 14)) + data)), WAVE_ERR_NOT_WAVE);
    // A non-PCM chunk without its extra count would otherwise read the next chunk's id.
    EXPECT_EQ(reader.open(riff(chunk("fmt ", formatFields(3, 1, 8000, 32)) + data)), WAVE_ERR_READ);
    // Extra bytes promised beyond the chunk's end.
    EXPECT_EQ(reader.open(riff(chunk("fmt ", formatFields(2, 1, 8000, 4) + le16(40) + "ab") + data)),
              WAVE_ERR_NOT_WAVE);
    EXPECT_EQ(reader.file.descriptor, -1);
    EXPECT_EQ(reader.format.bytes, nullptr);
}

TEST(WaveReader, ChunksComeInAnyOrderAndOddChunksArePadded) {
    Reader reader;
    std::string bytes = riff(chunk("LIST", "odd") + chunk("data", samples) + chunk("junk", "12345") +
                             pcmFormat(1, 11025, 16));
    std::string out;
    ASSERT_EQ(reader.readAll(bytes, 8, out), 0);
    EXPECT_EQ(out, samples);
    EXPECT_EQ(decodeWaveFormat(reader.format).samplesPerSecond, 11025u);
}

TEST(WaveReader, AnythingButRiffWaveIsRefusedWithAnEmptyHandle) {
    std::string body = pcmFormat(1, 8000, 16) + chunk("data", samples);
    for (const std::string& bytes : {chunk("RIFX", "WAVE" + body), riff(body, "AVI "), std::string("RIFF")}) {
        Reader reader;
        int result = reader.open(bytes);
        EXPECT_NE(result, 0);
        if (bytes.size() > 8) {
            EXPECT_EQ(result, WAVE_ERR_NOT_WAVE);
        }
        EXPECT_EQ(reader.file.descriptor, -1);
        EXPECT_EQ(reader.format.bytes, nullptr);
        EXPECT_EQ(reader.format.size, 0u);
    }
}

TEST(WaveReader, MissingEmptyAndFolderFilesFailToOpen) {
    Reader reader;
    EXPECT_EQ(openWaveFile("missing.wav", reader.file, reader.format, reader.riff), WAVE_ERR_OPEN);
    std::filesystem::create_directory("folder.wav");
    EXPECT_EQ(openWaveFile("folder.wav", reader.file, reader.format, reader.riff), WAVE_ERR_OPEN);
    EXPECT_EQ(reader.open(""), WAVE_ERR_CHUNK_NOT_FOUND);
    EXPECT_EQ(reader.file.descriptor, -1);
}

TEST(WaveReader, ReadsAreBoundedByTheDataChunk) {
    Reader reader;
    std::string out;
    ASSERT_EQ(reader.readAll(riff(pcmFormat(1, 8000, 16) + chunk("data", samples) + chunk("next", "AAAA")), 1000, out),
              0);
    EXPECT_EQ(out, samples) << "a request larger than the chunk copies only the chunk";
    EXPECT_EQ(reader.data.size, 0u);
    std::uint8_t byte = 0;
    std::uint32_t copied = 7;
    EXPECT_EQ(readWaveData(reader.file, 1, &byte, reader.data, copied), 0);
    EXPECT_EQ(copied, 0u);
}

TEST(WaveReader, DataChunkLongerThanTheFileIsCorruptAndCopiesNothing) {
    Reader reader;
    std::string out;
    for (std::uint32_t claimed : {100u, 0xFFFFFFFFu}) {
        std::string bytes = riff(pcmFormat(1, 8000, 16) + chunk("data", samples, claimed));
        EXPECT_EQ(reader.readAll(bytes, 50, out), WAVE_ERR_CORRUPT);
        EXPECT_EQ(out.size(), 0u);
        EXPECT_EQ(reader.data.size, claimed - 50) << "the remaining size is counted down before copying";
    }
}

TEST(WaveReader, TheRiffSizeBoundsTheChunkSearch) {
    std::string fmt = pcmFormat(1, 8000, 16);
    std::string data = chunk("data", samples);
    // The data chunk lies after the end the RIFF chunk claims.
    std::string shortRiff = chunk("RIFF", "WAVE" + fmt, static_cast<std::uint32_t>(4 + fmt.size())) + data;
    Reader reader;
    std::string out;
    EXPECT_EQ(reader.readAll(shortRiff, 8, out), WAVE_ERR_CHUNK_NOT_FOUND);
    // A RIFF size beyond the file: the search runs into the end of the file instead.
    EXPECT_EQ(reader.readAll(chunk("RIFF", "WAVE" + fmt, 0xFFFFFFF0u), 8, out), WAVE_ERR_CHUNK_NOT_FOUND);
    EXPECT_EQ(reader.readAll(chunk("RIFF", "WAVE" + fmt + data, 0xFFFFFFF0u), 8, out), 0);
    EXPECT_EQ(out, samples);
}

TEST(WaveReader, EveryTruncationFailsCleanly) {
    std::string whole = riff(chunk("LIST", "abc") + pcmFormat(2, 8000, 16) + chunk("data", samples + samples));
    for (std::size_t length = 0; length < whole.size(); ++length) {
        Reader reader;
        std::string out;
        int result = reader.readAll(whole.substr(0, length), 16, out);
        EXPECT_NE(result, 0) << "cut at " << length;
        EXPECT_EQ(out.size(), 0u) << "cut at " << length;
    }
}

TEST(WaveReader, ClosedHandlesAreHarmless) {
    Reader reader;
    std::uint8_t byte = 0;
    std::uint32_t copied = 5;
    EXPECT_EQ(readWaveData(reader.file, 1, &byte, reader.data, copied), WAVE_ERR_BUFFER_STATE);
    EXPECT_EQ(copied, 0u);
    EXPECT_EQ(startWaveData(reader.file, reader.riff, reader.data), WAVE_ERR_BUFFER_STATE);
    EXPECT_EQ(closeWaveFile(reader.file, reader.format), 0);
}

TEST(WaveReader, LongFilesReadAcrossManyBufferFills) {
    std::string noise;
    for (int i = 0; i < 50000; ++i) noise += static_cast<char>((i * 7919) >> 3);
    Reader reader;
    std::string out;
    ASSERT_EQ(reader.readAll(riff(pcmFormat(1, 8000, 8) + chunk("data", noise)), 50000, out), 0);
    EXPECT_EQ(out, noise);
}
