// The audio: the WAV reader (chunk search and padding, format blocks, result codes, files that lie or
// end early) and the sound bank with its mixer, run by hand on the null backend (loading, voices, the
// sweep, interpolation, the music's rate).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <span>
#include <tuple>

#include "audio/mixer.h"
#include "audio/wave.h"
#include "platform/null_backend.h"

using namespace crossfall;
using Bytes = std::string;
using Samples = std::vector<std::int16_t>;

namespace {

// RIFF WAVE files built byte by byte, broken ones included; a chunk's size may lie.
Bytes le16(std::uint16_t v) { return {char(v & 0xFF), char(v >> 8)}; }
Bytes le32(std::uint32_t v) { return le16(std::uint16_t(v)) + le16(std::uint16_t(v >> 16)); }
Bytes chunk(const Bytes& id, const Bytes& body, std::int64_t claimed = -1) {
    Bytes out = id + le32(std::uint32_t(claimed < 0 ? std::int64_t(body.size()) : claimed)) + body;
    return body.size() % 2 == 1 ? out + '\0' : out; // the padding byte
}
// The 16 bytes every format starts with; the reader ignores the two derived fields.
Bytes fields(std::uint16_t tag, std::uint16_t ch, std::uint32_t rate, std::uint16_t bits) {
    return le16(tag) + le16(ch) + le32(rate) + le32(0) + le16(0) + le16(bits);
}
Bytes riff(const Bytes& chunks) { return chunk("RIFF", "WAVE" + chunks); }
Bytes wav(const Bytes& fmt, const Bytes& rest) { return riff(chunk("fmt ", fmt) + rest); }
void write(const char* name, const Bytes& data) { std::ofstream(name, std::ios::binary) << data; }
std::span<const std::uint8_t> span(const Bytes& b) {
    return {reinterpret_cast<const std::uint8_t*>(b.data()), b.size()};
}

struct WaveReader : testing::Test {
    void TearDown() override { closeWaveFile(file, format); }
    // The first failing step's code of opening (the file on disk or its bytes in memory, which readAll
    // requires to read alike), finding the data and reading it whole (up to 64 KiB) into out.
    int readOnce(const Bytes& bytes, bool inMemory) {
        out.clear();
        int result = inMemory ? openWaveBytes(span(bytes), file, format, riffChunk)
                              : openWaveFile("t.wav", file, format, riffChunk);
        EXPECT_TRUE(result == 0 || (!file.open && format.bytes == nullptr)) << "handle left open";
        if (result == 0) result = startWaveData(file, riffChunk, data);
        if (result != 0) return result;
        out.assign(1 << 16, '\0');
        std::uint32_t copied = 99;
        result = readWaveData(file, 1 << 16, reinterpret_cast<std::uint8_t*>(out.data()), data, copied);
        out.resize(copied);
        closeWaveFile(file, format);
        return result;
    }
    int readAll(const Bytes& bytes) {
        write("t.wav", bytes);
        const int fromFile = readOnce(bytes, false);
        const Bytes fileOut = out;
        EXPECT_EQ(readOnce(bytes, true), fromFile);
        EXPECT_EQ(fileOut, out);
        return fromFile;
    }
    WaveFile file;
    WaveFormatBlock format;
    WaveChunk riffChunk, data;
    Bytes out;
};

struct SoundBank : testing::Test {
    void SetUp() override {
        null_backend::setAudioAvailable(true);
        ASSERT_TRUE(initSound());
        musicOn = 1;
    }
    void TearDown() override { shutDownSound(); }
    static void load(SoundRecord& record, std::uint32_t rate, const Samples& s, std::uint16_t channels = 1) {
        Bytes data;
        for (std::int16_t v : s) data += le16(static_cast<std::uint16_t>(v));
        write("s.wav", wav(fields(1, channels, rate, 16), chunk("data", data)));
        loadSound(record, "s.wav");
    }
    static Samples mix(int frames, int stride = 2) { // the left channel, or with stride 1 both
        Samples out(static_cast<std::size_t>(frames) * 2, 12345), picked;
        mixAudio(out.data(), frames);
        for (std::size_t i = 0; i < out.size(); i += stride) picked.push_back(out[i]);
        return picked;
    }
    static int framesUntilQuiet() {
        int frames = 0;
        for (; sweepVoices() && frames < 10 * 44100; ++frames) mix(1);
        return frames;
    }
};

} // namespace

TEST_F(WaveReader, ReadsTheWholeDataChunkOrRefusesWithTheRightCode) {
    Bytes noise(20000, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 7919) >> 3);
    const Bytes pcm = fields(1, 1, 8000, 16), fmt = chunk("fmt ", pcm), samples = chunk("data", noise);
    const Bytes adpcm = fields(2, 1, 8000, 4), head = "WAVE" + fmt;
    const std::pair<Bytes, int> cases[] = {
        {wav(pcm, samples + chunk("next", "AAAA")), 0},
        {riff(chunk("LIST", "odd") + samples + chunk("junk", "12345") + fmt), 0},
        {riff(fmt + chunk("datX", "a") + samples), 0},
        {chunk("RIFF", head + samples, 0xFFFFFFF0u), 0},
        {wav(pcm, chunk("data", noise, 0xFFFFFF00u)), WAVE_ERR_CORRUPT},
        {chunk("RIFF", head, head.size()) + samples, WAVE_ERR_CHUNK_NOT_FOUND},
        {chunk("RIFF", head + samples.substr(0, 8), head.size() + 7) + noise, WAVE_ERR_CHUNK_NOT_FOUND},
        {chunk("RIFF", head, 0xFFFFFFF0u), WAVE_ERR_CHUNK_NOT_FOUND},
        {chunk("RIFX", head + samples), WAVE_ERR_NOT_WAVE},
        {chunk("RIFF", "AVI " + fmt + samples), WAVE_ERR_NOT_WAVE},
        {wav(pcm.substr(0, 15), samples), WAVE_ERR_NOT_WAVE},
        {wav(adpcm + le16(2) + "\xAB\xCD", samples), 0},
        // Without its extra count a non-PCM format would otherwise read the next chunk's id.
        {wav(fields(3, 1, 8000, 32), samples), WAVE_ERR_READ},
        {wav(adpcm + "x", samples), WAVE_ERR_READ},
        {wav(adpcm + le16(40) + "ab", samples), WAVE_ERR_NOT_WAVE},
        {wav(adpcm + le16(1), samples), WAVE_ERR_NOT_WAVE}};
    for (int i = 0; const auto& [bytes, result] : cases) {
        EXPECT_EQ(readAll(bytes), result) << "case " << i;
        EXPECT_EQ(out, result == 0 ? noise : "") << "case " << i++;
    }
    EXPECT_EQ(readAll(wav(pcm, chunk("data", ""))), 0) << "an empty data chunk that ends the file";
    std::filesystem::create_directory("folder.wav");
    EXPECT_EQ(openWaveFile("folder.wav", file, format, riffChunk), WAVE_ERR_OPEN);
    std::uint32_t copied = 5;
    EXPECT_EQ(startWaveData(file, riffChunk, data), WAVE_ERR_BUFFER_STATE) << "closed";
    EXPECT_EQ(readWaveData(file, 1, nullptr, data, copied), WAVE_ERR_BUFFER_STATE);
    EXPECT_EQ(copied, 0u);
}

TEST_F(WaveReader, EveryTruncationFailsWithItsCodeAndCopiesNothing) {
    const Bytes whole = wav(fields(1, 2, 8000, 16), chunk("LIST", "abc") + chunk("data", "12345678"));
    for (std::size_t length = 0; length < whole.size(); ++length) {
        // Cut in a chunk header, in the format's 16 bytes (20 to 35) or in the samples (from 56).
        const int code = length >= 56 ? WAVE_ERR_CORRUPT : length >= 20 && length < 36 ? WAVE_ERR_READ : 0;
        EXPECT_EQ(readAll(whole.substr(0, length)), code == 0 ? WAVE_ERR_CHUNK_NOT_FOUND : code) << length;
        EXPECT_EQ(out, "") << length;
    }
}

TEST_F(WaveReader, TheFormatHeaderAndItsExtraBytesAreKeptWhileTheFileIsOpen) {
    const Bytes header = le16(0x1234) + le16(0x5678) + le32(0x9ABCDEF0u) + le32(0x13579BDFu) + le16(0x2468) +
                         le16(0x4321) + le16(1) + "Z";
    const Bytes bytes = wav(header, chunk("data", "12"));
    ASSERT_EQ(openWaveBytes(span(bytes), file, format, riffChunk), 0);
    ASSERT_EQ(format.size, WAVE_FORMAT_HEADER_BYTES + 1);
    EXPECT_EQ(format.bytes[WAVE_FORMAT_HEADER_BYTES], 'Z');
    const WaveFormat f = decodeWaveFormat(format);
    EXPECT_EQ(std::tuple(f.formatTag, f.channels, f.samplesPerSecond, f.averageBytesPerSecond, f.blockAlign,
                         f.bitsPerSample, f.extraBytes),
              std::tuple(0x1234, 0x5678, 0x9ABCDEF0u, 0x13579BDFu, 0x2468, 0x4321, 1));
    EXPECT_EQ(waveBytesLeft(file), 10u) << "the format and its padding byte are read";
}

TEST_F(SoundBank, LoadsPcm8And16MonoAndStereoAndLeavesOtherFilesSilent) {
    // 8-bit samples are unsigned around 128, 16-bit ones signed; stereo frames keep their sides.
    const Bytes eight = wav(fields(1, 1, 44100, 8), chunk("data", Bytes("\x80\xC0\x40\x81\x7F", 5)));
    loadSoundFromMemory(effectSounds[1], span(eight));
    playSound(effectSounds[1]);
    EXPECT_EQ(mix(6, 1), (Samples{0, 0, 16384, 16384, -16384, -16384, 256, 256, -256, -256, 0, 0}));
    load(musicSound, 44100, {100, -100, -200, 200}, 2);
    playSound(musicSound);
    EXPECT_EQ(mix(3, 1), (Samples{100, -100, -200, 200, 0, 0}));
    // Other formats, channel counts and sizes, a lying size, and rates from 100 Hz to 200000 Hz only.
    const Bytes four = chunk("data", "abcd");
    const Bytes refused[] = {"RIFF", wav(fields(3, 1, 44100, 32), four), wav(fields(1, 1, 44100, 24), four),
                             wav(fields(1, 6, 44100, 16), four), wav(fields(1, 0, 44100, 16), four),
                             wav(fields(1, 3, 44100, 16), four),
                             wav(fields(1, 1, 441, 16), chunk("data", "")),
                             wav(fields(1, 1, 44100, 8), chunk("data", "ab", 3)),
                             wav(fields(1, 1, 99, 8), four), wav(fields(1, 1, 200001, 8), four)};
    for (const Bytes& bytes : refused) {
        loadSoundFromMemory(effectSounds[1], span(bytes));
        EXPECT_FALSE(effectSounds[1].buffer) << bytes.size() << " bytes";
    }
    for (std::uint32_t rate : {100u, 200000u}) {
        load(effectSounds[0], rate, {1, 2});
        EXPECT_TRUE(effectSounds[0].buffer && effectSounds[0].frequency == rate) << rate << " Hz";
    }
    // Sample data of 64 MiB is held; two bytes more are refused.
    for (const std::uint32_t size : {64u << 20, (64u << 20) + 2}) {
        const Bytes big = wav(fields(1, 1, 44100, 16), chunk("data", Bytes(size, '\x01')));
        loadSoundFromMemory(effectSounds[1], span(big));
        EXPECT_EQ(effectSounds[1].buffer ? effectSounds[1].buffer->frames : 0, size == 64u << 20 ? size / 2 : 0);
    }
}

TEST_F(SoundBank, EffectsTakeVoicesInOrderOverlapInFullAndTheSixtyFifthIsDropped) {
    load(effectSounds[0], 44100, {7000});
    load(effectSounds[1], 44100, {600, -600, 600, -600, 600, -600, 600, -600, 600, -600});
    playEffect(0);
    playEffect(1);
    EXPECT_EQ(mix(4), (Samples{7600, -600, 600, -600})) << "the first effect is one frame long";
    playEffect(1);
    EXPECT_EQ(mix(6)[5], -1200) << "both sound at once";
    EXPECT_TRUE(sweepVoices());
    EXPECT_EQ(std::tuple(voices[0].active, voices[1].active, voices[2].active), std::tuple(0, 0, 1));
    for (int i = 1; i < VOICE_COUNT; ++i) playEffect(1); // the other 63
    EXPECT_EQ(mix(2), (Samples{31784, -31784})) << "64 voices are held under full scale";
    playEffect(1);
    for (const SoundRecord& voice : voices) EXPECT_NE(voice.position, 0u) << "the 65th restarted a voice";
    EXPECT_EQ(framesUntilQuiet(), 8);
}

TEST_F(SoundBank, SilencedEffectsKeepTheComboAliveAndLaterOnesPlayAloud) {
    load(effectSounds[1], 22050, Samples(100, 8000));
    musicOn = 0;
    playEffect(1);
    EXPECT_EQ(mix(1), Samples{0});
    EXPECT_EQ(framesUntilQuiet(), 199) << "100 frames at 22050 Hz last 200 output frames";
    effectSounds[1].loop = 1; // silenced and looping, it sounds on past its length
    playEffect(1);
    mix(1500);
    EXPECT_TRUE(sweepVoices() && voices[0].playing);
    voices[0] = SoundRecord{};
    musicOn = 1;
    playEffect(1);
    EXPECT_EQ(mix(1500), Samples(1500, 8000)) << "a reused voice starts at the effect's volume";
}

TEST_F(SoundBank, SoundsAreInterpolatedAndLoopedTheMusicFollowsTheLevelAndShutDownEmptiesAll) {
    load(musicSound, 33075, {0, 1000, 2000, 3000}); // three source frames to four output frames
    playSound(musicSound);
    EXPECT_EQ(mix(3), (Samples{0, 750, 1500}));
    EXPECT_EQ(mix(4), (Samples{2250, 3000, 3000, 0})) << "a mix goes on where the last one stopped";
    // A third of a frame a step, in whole 32.32 units, puts the third step one unit short of the end.
    load(effectSounds[1], 14700, {500});
    playSound(effectSounds[1]);
    EXPECT_EQ(mix(5), (Samples{500, 500, 500, 500, 0}));
    musicSound.loop = 1;
    playSound(musicSound);
    EXPECT_EQ(mix(10), (Samples{0, 750, 1500, 2250, 3000, 750, 500, 1250, 2000, 2750}));
    playSound(musicSound);
    EXPECT_EQ(mix(1), Samples{0}) << "played again from its beginning";
    stopSound(musicSound);
    EXPECT_EQ(std::pair(musicSound.playing, musicSound.position), std::pair(false, std::uint64_t{0})) << "rewound";
    load(effectSounds[0], 44100, {5, 6, 7});
    playSound(effectSounds[0]);
    mix(2);
    load(effectSounds[0], 22050, {0, 1000, -2000, 3000}, 2);
    EXPECT_EQ(std::pair(effectSounds[0].playing, effectSounds[0].position), std::pair(false, std::uint64_t{0}))
        << "a load over a playing record leaves it stopped at its beginning";
    playSound(effectSounds[0]);
    EXPECT_EQ(mix(4, 1), (Samples{0, 1000, -1000, 2000, -2000, 3000, -2000, 3000})) << "each side on its own";
    // The music's rate follows the level: truncated, capped, back to the file's rate at level 1.
    load(musicSound, 22050, {0, 100, 200, 300});
    for (auto [level, rate] : {std::pair{2, 24255u}, {9, 31972u}, {1 << 30, MAX_FREQUENCY}, {1, 22050u}}) {
        setLevelMusic(level);
        EXPECT_TRUE(musicSound.playing && musicSound.frequency == rate) << "level " << level;
    }
    setMusicOn(0);
    setLevelMusic(5);
    EXPECT_FALSE(musicSound.playing) << "a game start keeps switched-off music off";
    setMusicOn(7);
    EXPECT_EQ(musicOn, 1);
    EXPECT_EQ(mix(2), (Samples{0, 62})) << "from the beginning at the level-5 rate";
    // The limiter ducks both sides alike: the quiet side keeps its share of a peak on the other.
    stopSound(musicSound);
    for (SoundRecord& record : effectSounds) load(record, 44100, {1000, 30000}, 2), playSound(record);
    EXPECT_EQ(mix(1, 1), (Samples{1059, 31784}));
    // Gain is full at or above zero; a shut-down empties every record.
    const std::pair<std::int32_t, double> gains[] = {
        {1, 1.0}, {0, 1.0}, {-2000, 0.1}, {-9999, std::pow(10, -4.9995)}, {VOLUME_SILENT, 0}, {INT32_MIN, 0}};
    for (auto [volume, gain] : gains) EXPECT_FLOAT_EQ(gainOf(volume), float(gain)) << volume;
    for (SoundRecord& voice : voices) voice = SoundRecord{};
    playEffect(-1);
    playEffect(EFFECT_COUNT);
    EXPECT_EQ(std::count_if(std::begin(voices), std::end(voices), [](const SoundRecord& v) { return v.active; }), 0)
        << "no effect of that number: no voice taken";
    load(musicSound, 44100, {1, 2});
    playEffect(0);
    shutDownSound();
    EXPECT_FALSE(musicSound.buffer || effectSounds[0].buffer || voices[0].active);
}
