// The mixer: resampling, volume, looping, saturation, and output that does not depend on how it is split.
#include <gtest/gtest.h>

#include "audio/sound_fixture.h"

using namespace crossfall;

namespace {

std::vector<std::int16_t> ramp(int frames, int stepSize) {
    std::vector<std::int16_t> samples;
    for (int i = 0; i < frames; ++i) samples.push_back(static_cast<std::int16_t>(i * stepSize));
    return samples;
}

} // namespace

TEST_F(SoundBank, AVoiceAtTwiceTheRateEndsInHalfTheFrames) {
    for (auto [rate, frames] : {std::pair{44100u, 1000}, {88200u, 500}, {22050u, 2000}}) {
        load(effectSounds[1], rate, std::vector<std::int16_t>(1000, 1));
        playEffect(1);
        int played = 0;
        while (sweepVoices() && played < 100000) {
            mix(1);
            ++played;
        }
        EXPECT_EQ(played, frames) << rate << " Hz";
    }
}

TEST_F(SoundBank, SlowerSoundsAreInterpolatedBetweenTheirSamples) {
    load(musicSound, 22050, ramp(4, 1000));
    playSound(musicSound);
    EXPECT_EQ(mixLeft(8), (std::vector<std::int16_t>{0, 500, 1000, 1500, 2000, 2500, 3000, 3000}));
}

TEST_F(SoundBank, VolumeIsHundredthsOfADecibel) {
    EXPECT_FLOAT_EQ(gainOf(0), 1.0f);
    EXPECT_NEAR(gainOf(-600), 0.501f, 0.001f);
    EXPECT_NEAR(gainOf(-2000), 0.1f, 1e-6f);
    EXPECT_EQ(gainOf(VOLUME_SILENT), 0.0f);
    EXPECT_EQ(gainOf(-20000), 0.0f);
    EXPECT_FLOAT_EQ(gainOf(500), 1.0f) << "never louder than the file";
}

TEST_F(SoundBank, TheMusicLoopsWithoutAGap) {
    std::vector<std::int16_t> tune = ramp(100, 7);
    load(musicSound, 44100, tune);
    musicSound.loop = 1;
    playSound(musicSound);
    std::vector<std::int16_t> both = mix(1050);
    for (std::size_t i = 0; i < 1050; ++i) {
        ASSERT_EQ(both[2 * i], tune[i % 100]) << "frame " << i;
        ASSERT_EQ(both[2 * i + 1], tune[i % 100]) << "frame " << i;
    }
    // Halfway between the last frame and the first, the seam is interpolated into the start.
    load(musicSound, 22050, {0, 1000, 2000, 3000});
    playSound(musicSound);
    EXPECT_EQ(mixLeft(10), (std::vector<std::int16_t>{0, 500, 1000, 1500, 2000, 2500, 3000, 1500, 0, 500}));
}

TEST_F(SoundBank, SumsSaturateAtFullScale) {
    load(effectSounds[1], 44100, {32767, -32768, 20000});
    for (int i = 0; i < 3; ++i) playEffect(1);
    EXPECT_EQ(mixLeft(3), (std::vector<std::int16_t>{32767, -32768, 32767}));
}

TEST_F(SoundBank, OutputDoesNotDependOnHowTheMixIsSplit) {
    std::vector<std::int16_t> tune;
    for (int i = 0; i < 3000; ++i) tune.push_back(static_cast<std::int16_t>((i * 7919) % 20000 - 10000));
    auto start = [&] {
        load(musicSound, 22050, tune, 2);
        musicSound.loop = 1;
        level = 3;
        setLevelMusic();
        load(effectSounds[1], 11025, std::vector<std::int16_t>(tune.begin(), tune.begin() + 700));
        playEffect(1);
        playEffect(1);
    };
    start();
    std::vector<std::int16_t> whole = mix(2000);
    shutDownSound();
    ASSERT_TRUE(initSound());
    start();
    std::vector<std::int16_t> pieces;
    for (int done = 0; done < 2000; done += 7) {
        std::vector<std::int16_t> piece = mix(std::min(7, 2000 - done));
        pieces.insert(pieces.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(whole, pieces);
}
