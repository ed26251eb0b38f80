// The sound bank and mixer, run by hand on the null backend: loading, voices, the sweep, the music's rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "audio/mixer.h"
#include "audio/wave_bytes.h"
#include "menus/controls_file.h"
#include "platform/null_backend.h"
#include "rules/game_state.h"

using namespace crossfall;
using Samples = std::vector<std::int16_t>;

class SoundBank : public testing::Test, protected WaveBytes {
  protected:
    void SetUp() override {
        null_backend::setAudioAvailable(true);
        ASSERT_TRUE(initSound());
        musicOn = 1;
        level = 1;
    }
    void TearDown() override { shutDownSound(); }
    static void load(SoundRecord& record, std::uint32_t rate, const Samples& s, std::uint16_t channels = 1) {
        Bytes data;
        for (std::int16_t v : s) data += le16(static_cast<std::uint16_t>(v));
        write("s.wav", wav(fields(1, channels, rate, 16), chunk("data", data)));
        loadSound(record, "s.wav");
    }
    static std::span<const std::uint8_t> inMemory(const Bytes& bytes) {
        return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
    }
    // The left (or with stride 1 both) channels of the mixed frames.
    static Samples mix(int frames, int stride = 2) {
        Samples out(static_cast<std::size_t>(frames) * 2, 12345), picked;
        mixAudio(out.data(), frames);
        for (std::size_t i = 0; i < out.size(); i += stride) picked.push_back(out[i]);
        return picked;
    }
    static int framesUntilQuiet(int step) {
        int frames = 0;
        for (; sweepVoices() && frames < 10 * 44100; frames += step) mix(step);
        return frames;
    }
};

TEST_F(SoundBank, LoadsPcm8And16MonoAndStereoAndLeavesOtherFilesSilent) {
    const Bytes eight = wav(fields(1, 1, 44100, 8), chunk("data", Bytes("\x80\xC0\x40", 3)));
    write("eight.wav", eight);
    loadSound(effectSounds[0], "eight.wav");
    playSound(effectSounds[0]);
    EXPECT_EQ(mix(4, 1), (Samples{0, 0, 16384, 16384, -16384, -16384, 0, 0}));
    stopSound(effectSounds[0]);
    loadSoundFromMemory(effectSounds[1], inMemory(eight));
    playSound(effectSounds[1]);
    EXPECT_EQ(mix(4, 1), (Samples{0, 0, 16384, 16384, -16384, -16384, 0, 0})) << "the same bytes in memory";
    stopSound(effectSounds[1]);
    load(musicSound, 44100, {100, -100, 200, -200}, 2);
    playSound(musicSound);
    EXPECT_EQ(mix(3, 1), (Samples{100, -100, 200, -200, 0, 0}));
    const Bytes four = chunk("data", "abcd");
    for (const Bytes& bytes :
         {Bytes("RIFF"), wav(fields(3, 1, 44100, 32), four), wav(fields(1, 1, 44100, 24), four),
          wav(fields(1, 6, 44100, 16), four), wav(fields(1, 1, 0, 16), four),
          wav(fields(1, 1, 44100, 16), chunk("data", "ab", 0xFFFFFFF0u))}) {
        write("bad.wav", bytes);
        loadSound(musicSound, "bad.wav");
        EXPECT_FALSE(musicSound.buffer) << bytes.size() << "-byte file";
        loadSoundFromMemory(effectSounds[1], inMemory(bytes));
        EXPECT_FALSE(effectSounds[1].buffer) << bytes.size() << " bytes in memory";
    }
}

TEST_F(SoundBank, WithoutADeviceEffectsHoldAVoiceUntilTheNextSweep) {
    shutDownSound();
    null_backend::setAudioAvailable(false);
    EXPECT_FALSE(initSound());
    load(effectSounds[1], 44100, Samples(100, 1000));
    for (int effect : {1, -1, EFFECT_COUNT}) playEffect(effect); // unknown effects are ignored
    EXPECT_TRUE(voices[0].active == 1 && voices[1].active == 0);
    EXPECT_FALSE(sweepVoices());
}

TEST_F(SoundBank, EffectsTakeVoicesInOrderOverlapInFullAndTheSixtyFifthIsDropped) {
    load(effectSounds[1], 44100, {600, -600, 600, -600, 600, -600, 600, -600, 600, -600});
    playEffect(1);
    mix(4);
    playEffect(1);
    EXPECT_EQ(mix(6)[5], -1200) << "both sound at once";
    EXPECT_TRUE(sweepVoices());
    EXPECT_EQ(voices[0].active, 0) << "the first ended after its 10 frames";
    for (int i = 1; i < VOICE_COUNT; ++i) playEffect(1); // the other 63
    EXPECT_EQ(mix(2), (Samples{31784, -31784})) << "64 voices are held under full scale";
    playEffect(1);
    for (const SoundRecord& voice : voices) EXPECT_NE(voice.position, 0u) << "the 65th restarted a voice";
    EXPECT_EQ(framesUntilQuiet(1), 8);
}

TEST_F(SoundBank, SilencedEffectsKeepTheComboAliveAndLaterOnesPlayAloud) {
    load(effectSounds[1], 22050, Samples(100, 8000));
    musicOn = 0;
    playEffect(1);
    EXPECT_EQ(mix(1), Samples{0});
    EXPECT_EQ(framesUntilQuiet(1), 199) << "100 frames at 22050 Hz last 200 output frames";
    musicOn = 1;
    effectSounds[1].loop = 1; // sounds on through a long mix
    playEffect(1);
    EXPECT_EQ(mix(1500), Samples(1500, 8000)) << "a reused voice starts at the effect's volume";
}

TEST_F(SoundBank, SlowSoundsAreInterpolatedAndALoopIntoItsFirstFrame) {
    load(musicSound, 33075, {0, 1000, 2000, 3000}); // three source frames to four output frames
    playSound(musicSound);
    EXPECT_EQ(mix(7), (Samples{0, 750, 1500, 2250, 3000, 3000, 0}));
    musicSound.loop = 1;
    playSound(musicSound);
    EXPECT_EQ(mix(10), (Samples{0, 750, 1500, 2250, 3000, 750, 500, 1250, 2000, 2750}));
}

TEST_F(SoundBank, TheMusicRateFollowsTheLevelAndTheSwitchKeepsItOffUntilTurnedOn) {
    load(musicSound, 22050, {0, 100, 200, 300});
    // Truncated, never rounded up, capped for a runaway level, and back to the file's rate at level 1.
    const std::pair<int, unsigned> rates[] = {{2, 24255}, {9, 31972}, {1 << 30, MAX_FREQUENCY}, {1, 22050}};
    for (auto [newLevel, rate] : rates) {
        level = newLevel;
        setLevelMusic(level);
        EXPECT_TRUE(musicSound.playing && musicSound.frequency == rate) << "level " << newLevel;
    }
    setMusicOn(0);
    setLevelMusic(level);
    EXPECT_FALSE(musicSound.playing) << "a game start keeps switched-off music off";
    setMusicOn(1);
    EXPECT_EQ(mix(2), (Samples{0, 50})) << "from the beginning at the level-1 rate";
}

TEST_F(SoundBank, TheShippedSoundsLoopWithoutAClickAndChimesOverTheMusicNeverClip) {
    loadSound(effectSounds[1], CROSSFALL_SOURCE_DIR "/data/sound1_x.wav");
    loadSound(musicSound, CROSSFALL_SOURCE_DIR "/data/clevel1_sound.wav");
    ASSERT_TRUE(musicSound.buffer && musicSound.baseFrequency == 22050 && musicSound.buffer->channels == 1);
    playEffect(1);
    EXPECT_NEAR(framesUntilQuiet(441) / 44100.0, 1.2, 0.011);
    const std::int16_t* music = musicSound.buffer->samples.get();
    EXPECT_LT(std::abs(music[0]), 328) << "starts at a zero crossing";
    EXPECT_LT(std::abs(music[musicSound.buffer->frames - 1] - music[0]), 328) << "and wraps to it smoothly";

    constexpr int CHIME_FRAMES = 52920;
    const auto rms = [](const Samples& s) {
        double sum = 0;
        for (std::int16_t v : s) sum += double(v) * v;
        return 10 * std::log10(sum / double(s.size()));
    };
    // What the music and one chime sum to, each mixed alone: neither is loud enough to be limited.
    playSound(musicSound);
    const Samples musicAlone = mix(CHIME_FRAMES, 1);
    stopSound(musicSound);
    playEffect(1);
    const Samples chimeAlone = mix(CHIME_FRAMES, 1);
    Samples summed(musicAlone.size());
    for (std::size_t i = 0; i < summed.size(); ++i)
        summed[i] = std::int16_t(std::clamp(musicAlone[i] + chimeAlone[i], -32768, 32767));
    double oneChime = 0;
    for (int chimes = 1; chimes <= 4; ++chimes) {
        resetMixer();
        playSound(musicSound);
        for (int k = 0; k < chimes; ++k) playEffect(1);
        const Samples mixed = mix(CHIME_FRAMES, 1);
        const auto [low, high] = std::minmax_element(mixed.begin(), mixed.end());
        EXPECT_TRUE(*low > -32000 && *high < 32000) << chimes << " chimes: " << *low << ".." << *high;
        if (chimes == 1) oneChime = rms(mixed);
        EXPECT_GE(rms(mixed), oneChime) << chimes << " chimes are no quieter than one";
        sweepVoices();
    }
    EXPECT_NEAR(oneChime, rms(summed), 1.0) << "one chime over the music is as loud as the plain sum";
}

TEST_F(SoundBank, GainIsFullAtOrAboveZeroRatesPlayFromOneHundredHertzToTwoHundredThousandAndShutDownEmptiesAll) {
    const std::pair<std::int32_t, float> gains[] = {{1, 1.0f}, {0, 1.0f}, {-2000, 0.1f}, {VOLUME_SILENT, 0.0f}};
    for (auto [volume, gain] : gains) EXPECT_FLOAT_EQ(gainOf(volume), gain) << volume;
    for (auto [rate, plays] : {std::pair{99u, false}, {100u, true}, {200000u, true}, {200001u, false}}) {
        load(effectSounds[0], rate, {1, 2});
        EXPECT_EQ(effectSounds[0].buffer != nullptr, plays) << rate << " Hz";
    }
    load(musicSound, 44100, {1, 2});
    shutDownSound();
    EXPECT_FALSE(musicSound.buffer);
}
