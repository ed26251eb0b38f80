// The sound bank: loading, the 64 voices and their sweep, the level's music rate and the music switch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "audio/sound_fixture.h"
#include "audio/wave.h"

using namespace crossfall;
using namespace wave_bytes;

namespace {

// An effect of the given length whose every sample is the value, loaded as effect 1.
void loadFlatEffect(std::uint32_t rate, int frames, std::int16_t value = 1000) {
    writeFile("effect.wav", pcm16Wave(rate, std::vector<std::int16_t>(static_cast<std::size_t>(frames), value)));
    loadSound(effectSounds[1], "effect.wav");
}

} // namespace

// ---- Loading ---------------------------------------------------------------------------------

TEST_F(SoundBank, EightBitAndStereoFilesDecodeToSixteenBitFrames) {
    writeFile("eight.wav", riff(pcmFormat(1, 44100, 8) + chunk("data", std::string("\x80\xC0\x00", 3))));
    loadSound(effectSounds[0], "eight.wav");
    ASSERT_TRUE(effectSounds[0].buffer);
    EXPECT_EQ(effectSounds[0].baseFrequency, 44100u);
    playSound(effectSounds[0]);
    EXPECT_EQ(mixLeft(3), (std::vector<std::int16_t>{0, 16384, -32768}));

    load(musicSound, 44100, {100, -100, 200, -200}, 2);
    ASSERT_TRUE(musicSound.buffer);
    EXPECT_EQ(musicSound.buffer->frames, 2u);
    playSound(musicSound);
    EXPECT_EQ(mix(2), (std::vector<std::int16_t>{100, -100, 200, -200}));
}

TEST_F(SoundBank, FilesThatCannotBePlayedLeaveTheRecordSilent) {
    std::string data = chunk("data", pcm16({1, 2, 3, 4}));
    const std::string bad[] = {
        "",
        "not a wave file at all",
        riff(chunk("fmt ", formatFields(3, 1, 44100, 32)) + data),           // float samples
        riff(pcmFormat(1, 44100, 24) + data),                                // 24-bit
        riff(pcmFormat(6, 44100, 16) + data),                                // six channels
        riff(pcmFormat(1, 0, 16) + data),                                    // no rate
        riff(pcmFormat(1, 44100, 16) + chunk("data", "")),                   // no samples
        riff(pcmFormat(1, 44100, 16) + chunk("data", pcm16({1, 2}), 0xFFFFFFF0u)), // data larger than the file
        riff(pcmFormat(1, 44100, 16)),                                       // no data chunk
    };
    for (const std::string& bytes : bad) {
        load(musicSound, 44100, {500, 500});
        ASSERT_TRUE(musicSound.buffer);
        writeFile("bad.wav", bytes);
        loadSound(musicSound, "bad.wav");
        EXPECT_FALSE(musicSound.buffer) << bytes.size() << "-byte file";
        playSound(musicSound);
        EXPECT_EQ(mix(2), std::vector<std::int16_t>(4, 0));
    }
    loadSound(musicSound, "missing.wav");
    EXPECT_FALSE(musicSound.buffer);
}

TEST_F(SoundBank, WithoutADeviceEffectsLastOneFrameAndNothingPlays) {
    shutDownSound();
    null_backend::setAudioAvailable(false);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(initSound());
    EXPECT_FALSE(initSound());
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("no sound device"), std::string::npos);
    EXPECT_EQ(said.find("no sound device"), said.rfind("no sound device")) << "said once";

    loadFlatEffect(44100, 100);
    EXPECT_FALSE(effectSounds[1].buffer);
    playEffect(1);
    EXPECT_EQ(voices[0].active, 1);
    EXPECT_FALSE(sweepVoices());
    EXPECT_EQ(voices[0].active, 0);
    EXPECT_EQ(mix(4), std::vector<std::int16_t>(8, 0));
}

// ---- Voices ----------------------------------------------------------------------------------

TEST_F(SoundBank, TwoEffectsTakeVoicesZeroAndOneAndOverlap) {
    loadFlatEffect(44100, 100, 1000);
    playEffect(1);
    mix(40);
    playEffect(1);
    EXPECT_EQ(voices[0].active, 1);
    EXPECT_EQ(voices[1].active, 1);
    EXPECT_EQ(voices[2].active, 0);
    std::vector<std::int16_t> left = mixLeft(99);
    EXPECT_EQ(left[0], 2000) << "both sound at once";
    EXPECT_EQ(left[59], 2000);
    EXPECT_EQ(left[60], 1000) << "the first ended after its 100 frames";
    EXPECT_EQ(left[98], 1000);
    EXPECT_TRUE(sweepVoices());
    EXPECT_EQ(voices[0].active, 0);
    EXPECT_EQ(voices[1].active, 1);
    mix(1);
    EXPECT_FALSE(sweepVoices());
}

TEST_F(SoundBank, TheSixtyFifthEffectIsDropped) {
    loadFlatEffect(44100, 100, 10);
    for (int i = 0; i < VOICE_COUNT; ++i) playEffect(1);
    mix(10);
    std::vector<std::uint64_t> positions;
    for (const SoundRecord& voice : voices) {
        EXPECT_EQ(voice.active, 1);
        positions.push_back(voice.position);
    }
    playEffect(1);
    for (int i = 0; i < VOICE_COUNT; ++i) EXPECT_EQ(voices[i].position, positions[static_cast<std::size_t>(i)]);
    EXPECT_EQ(mixLeft(1)[0], 640) << "still 64 voices";
}

TEST_F(SoundBank, SilencedEffectsKeepTheComboAliveForTheirFullLength) {
    loadFlatEffect(22050, 100, 8000);
    musicOn = 0;
    playEffect(1);
    EXPECT_EQ(voices[0].volume, VOLUME_SILENT);
    std::vector<std::int16_t> heard = mix(199);
    EXPECT_TRUE(std::all_of(heard.begin(), heard.end(), [](std::int16_t s) { return s == 0; }));
    EXPECT_TRUE(sweepVoices());
    mix(1);
    EXPECT_FALSE(sweepVoices()) << "100 frames at 22050 Hz last 200 output frames";

    musicOn = 1;
    playEffect(1);
    EXPECT_EQ(voices[0].volume, 0) << "a reused voice starts at the effect's volume";
    EXPECT_EQ(mixLeft(1)[0], 8000);
}

TEST_F(SoundBank, LoopingVoicesAndVoicesWithoutSamples) {
    playEffect(0); // effect 0 was never loaded
    EXPECT_EQ(voices[0].active, 1);
    EXPECT_FALSE(sweepVoices());
    EXPECT_EQ(voices[0].active, 0);

    loadFlatEffect(44100, 10);
    effectSounds[1].loop = 1;
    playEffect(1);
    mix(1000);
    EXPECT_TRUE(sweepVoices()) << "a looping voice is always busy";
    playEffect(-1);
    playEffect(EFFECT_COUNT);
    EXPECT_EQ(voices[1].active, 0) << "unknown effects are ignored";
}

// ---- Music -----------------------------------------------------------------------------------

TEST_F(SoundBank, TheMusicRateFollowsTheLevelTruncated) {
    load(musicSound, 22050, {1, 2, 3, 4});
    musicSound.loop = 1;
    const std::pair<int, std::uint32_t> expected[] = {{1, 22050}, {0, 22050}, {2, 24255}, {3, 25357}, {9, 31972}};
    for (auto [lvl, rate] : expected) {
        level = lvl;
        setLevelMusic();
        EXPECT_EQ(musicSound.frequency, rate) << "level " << lvl;
        EXPECT_TRUE(musicSound.playing);
    }
    // 1.15 x 22051 = 25358.65: the fraction is dropped.
    load(musicSound, 22051, {1, 2, 3, 4});
    level = 3;
    setLevelMusic();
    EXPECT_EQ(musicSound.frequency, 25358u);
    level = 1;
    setLevelMusic();
    EXPECT_EQ(musicSound.frequency, 22051u);
    level = 100000000;
    setLevelMusic();
    EXPECT_EQ(musicSound.frequency, MAX_FREQUENCY) << "a runaway level cannot overflow the rate";
}

TEST_F(SoundBank, TheMusicSwitchRestartsFromTheBeginningAtTheLastRate) {
    std::vector<std::int16_t> tune;
    for (int i = 0; i < 300; ++i) tune.push_back(static_cast<std::int16_t>(i * 100));
    load(musicSound, 22050, tune);
    musicSound.loop = 1;
    level = 2;
    setLevelMusic();
    mix(150);
    setMusicOn(0);
    EXPECT_EQ(musicOn, 0);
    EXPECT_EQ(mix(3), std::vector<std::int16_t>(6, 0));
    level = 1;
    setLevelMusic();
    EXPECT_FALSE(musicSound.playing) << "a game start keeps switched-off music off";
    level = 2;
    setLevelMusic();
    setMusicOn(1);
    EXPECT_EQ(musicSound.frequency, 24255u);
    std::vector<std::int16_t> left = mixLeft(3);
    EXPECT_EQ(left[0], 0) << "from the beginning";
    EXPECT_EQ(left[1], 55) << "at 1.1 x 22050 Hz the second frame is 0.55 of the way to sample 1";
}

// ---- The shipped sounds ----------------------------------------------------------------------

TEST_F(SoundBank, TheShippedSoundsLoadWithTheirLengthsAndHeadroom) {
    loadSound(musicSound, CROSSFALL_SOURCE_DIR "/data/clevel1_sound.wav");
    loadSound(effectSounds[1], CROSSFALL_SOURCE_DIR "/data/sound1_x.wav");
    ASSERT_TRUE(musicSound.buffer);
    ASSERT_TRUE(effectSounds[1].buffer);
    for (const SoundRecord* sound : {&musicSound, &effectSounds[1]}) {
        EXPECT_EQ(sound->baseFrequency, 22050u);
        EXPECT_EQ(sound->buffer->channels, 1);
        const std::int16_t* samples = sound->buffer->samples.get();
        std::uint32_t frames = sound->buffer->frames;
        int peak = 0;
        int largestStep = 0;
        for (std::uint32_t i = 0; i < frames; ++i) {
            peak = std::max(peak, std::abs(int{samples[i]}));
            if (i > 0) largestStep = std::max(largestStep, std::abs(samples[i] - samples[i - 1]));
        }
        EXPECT_GT(peak, 16384) << "louder than -6 dBFS";
        EXPECT_LT(peak, 26000) << "headroom below -2 dBFS";
        // Played round, the step from the last sample to the first is no jump the sound lacks elsewhere.
        EXPECT_LT(std::abs(samples[0] - samples[frames - 1]), largestStep / 2);
    }
    double musicSeconds = musicSound.buffer->frames / 22050.0;
    EXPECT_GE(musicSeconds, 20.0);
    EXPECT_LE(musicSeconds, 40.0);

    // The chime's length is the combo window: about 1.2 s of frames at the output rate.
    playEffect(1);
    int frames = 0;
    while (sweepVoices() && frames < 10 * 44100) {
        mix(441);
        frames += 441;
    }
    EXPECT_NEAR(frames / 44100.0, 1.2, 0.011);
}
