// A sound bank with a pretend device: the null backend reports one, and tests run the mixer by hand.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "audio/mixer.h"
#include "audio/sound.h"
#include "audio/wave_bytes.h"
#include "menus/controls_file.h"
#include "platform/null_backend.h"
#include "rules/game_state.h"

class SoundBank : public testing::Test {
  protected:
    void SetUp() override {
        crossfall::null_backend::setAudioAvailable(true);
        ASSERT_TRUE(crossfall::initSound());
        crossfall::musicOn = 1;
        crossfall::level = 1;
    }
    void TearDown() override {
        crossfall::shutDownSound();
        crossfall::null_backend::setAudioAvailable(false);
    }

    // Loads a 16-bit file made of the samples into the record.
    static void load(crossfall::SoundRecord& record, std::uint32_t rate, const std::vector<std::int16_t>& samples,
                     std::uint16_t channels = 1) {
        wave_bytes::writeFile("sound.wav", wave_bytes::pcm16Wave(rate, samples, channels));
        crossfall::loadSound(record, "sound.wav");
    }

    // Mixes the frames; the result holds left and right of each.
    static std::vector<std::int16_t> mix(int frames) {
        std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2, 12345);
        crossfall::mixAudio(out.data(), frames);
        return out;
    }

    // The left channel of the mixed frames.
    static std::vector<std::int16_t> mixLeft(int frames) {
        std::vector<std::int16_t> both = mix(frames);
        std::vector<std::int16_t> left;
        for (std::size_t i = 0; i < both.size(); i += 2) left.push_back(both[i]);
        return left;
    }
};
