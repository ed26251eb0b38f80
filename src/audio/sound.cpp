// The sound bank's records and voices. Every change to what the mixer reads happens under the
// audio lock. Without a device no record ever gets samples: effects take a voice that the next
// sweep frees, as the game does when it has no sound card.
#include "audio/sound.h"

#include <cstdio>
#include <new>

#include "audio/mixer.h"
#include "audio/wave.h"
#include "platform/backend.h"

namespace crossfall {

SoundRecord musicSound;
std::int32_t musicOn; // start-up, or a replay, puts the controls' value in before anything reads it
SoundRecord effectSounds[EFFECT_COUNT];
SoundRecord voices[VOICE_COUNT];

namespace {

bool deviceOpen = false;          // once per run: initSound to shutDownSound
bool toldNoDevice = false;        // once per run
WaveFile waveFile;                // the reader's state, reused for every load
WaveFormatBlock waveFormat;

// Sample data larger than this is refused rather than held in memory (about six minutes of CD audio).
constexpr std::uint64_t MAX_SAMPLE_BYTES = 64ull << 20;
constexpr std::uint32_t MIN_FREQUENCY = 100;

// Holds the audio lock for one change of the mixer's state.
struct AudioLock {
    AudioLock() { backend::lockAudio(); }
    ~AudioLock() { backend::unlockAudio(); }
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;
};

void restart(SoundRecord& record) {
    record.position = 0;
    record.playing = true;
}

void setVolume(SoundRecord& record, std::int32_t volume) {
    record.volume = volume;
    record.gain = gainOf(volume);
}

// ---- Decoding --------------------------------------------------------------------------------

bool playableFormat(const WaveFormat& format) {
    return format.formatTag == WAVE_FORMAT_PCM && (format.channels == 1 || format.channels == 2) &&
           (format.bitsPerSample == 8 || format.bitsPerSample == 16) &&
           format.samplesPerSecond >= MIN_FREQUENCY && format.samplesPerSecond <= MAX_FREQUENCY;
}

// Reads the whole data chunk and turns it into 16-bit samples; null on any failure.
std::shared_ptr<SampleBuffer> readSamples(const WaveFormat& format, WaveChunk& data) {
    // A chunk claiming more than the file holds is refused before anything is allocated.
    if (data.size > waveBytesLeft(waveFile) || data.size > MAX_SAMPLE_BYTES) return nullptr;
    std::uint32_t bytesPerSample = format.bitsPerSample / 8u;
    std::uint32_t frames = data.size / (bytesPerSample * format.channels);
    if (frames == 0) return nullptr;

    std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[data.size]);
    auto sound = std::make_shared<SampleBuffer>();
    std::uint32_t count = frames * format.channels;
    sound->samples.reset(new (std::nothrow) std::int16_t[count]);
    if (!bytes || !sound->samples) return nullptr;
    std::uint32_t copied = 0;
    std::uint32_t size = data.size;
    // It fails exactly when it copies fewer bytes than asked.
    if (readWaveData(waveFile, size, bytes.get(), data, copied) != 0) return nullptr;

    for (std::uint32_t i = 0; i < count; ++i) {
        if (bytesPerSample == 1)
            sound->samples[i] = static_cast<std::int16_t>((bytes[i] - 128) * 256);
        else
            sound->samples[i] = static_cast<std::int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    }
    sound->frames = frames;
    sound->channels = format.channels;
    return sound;
}

// Empties the record before a load; false when there is no device, so nothing is to be read.
bool startLoad(SoundRecord& record) {
    AudioLock lock;
    record.buffer.reset();
    record.playing = false;
    return deviceOpen;
}

// Fills the record from the reader once opened with this result; any failure leaves it without samples.
void finishLoad(SoundRecord& record, int opened, const WaveChunk& riff) {
    WaveChunk data;
    std::shared_ptr<SampleBuffer> sound;
    WaveFormat format;
    if (opened == 0 && startWaveData(waveFile, riff, data) == 0) {
        format = decodeWaveFormat(waveFormat);
        if (playableFormat(format)) sound = readSamples(format, data);
    }
    closeWaveFile(waveFile, waveFormat);
    if (!sound) return;

    AudioLock lock;
    record.buffer = std::move(sound);
    record.baseFrequency = format.samplesPerSecond;
    record.frequency = format.samplesPerSecond;
    setVolume(record, 0);
    record.position = 0;
}

} // namespace

// ---- Device ----------------------------------------------------------------------------------

bool initSound() {
    resetMixer();
    deviceOpen = backend::openAudio(mixAudio);
    if (!deviceOpen && !toldNoDevice) {
        std::fprintf(stderr, "Crossfall: no sound device; the game runs silent.\n");
        toldNoDevice = true;
    }
    return deviceOpen;
}

void shutDownSound() {
    backend::closeAudio();
    deviceOpen = false;
    musicSound = SoundRecord{};
    for (SoundRecord& effect : effectSounds) effect = SoundRecord{};
    for (SoundRecord& voice : voices) voice = SoundRecord{};
    closeWaveFile(waveFile, waveFormat);
}

// ---- Records ---------------------------------------------------------------------------------

void loadSound(SoundRecord& record, const char* fileName) {
    if (!startLoad(record)) return;
    WaveChunk riff;
    finishLoad(record, openWaveFile(fileName, waveFile, waveFormat, riff), riff);
}

void loadSoundFromMemory(SoundRecord& record, std::span<const std::uint8_t> bytes) {
    if (!startLoad(record)) return;
    WaveChunk riff;
    finishLoad(record, openWaveBytes(bytes, waveFile, waveFormat, riff), riff);
}

void playSound(SoundRecord& record) {
    AudioLock lock;
    if (record.buffer) restart(record);
}

void stopSound(SoundRecord& record) {
    AudioLock lock;
    if (!record.buffer) return;
    record.playing = false;
    record.position = 0;
}

void playEffect(int effect) {
    if (effect < 0 || effect >= EFFECT_COUNT) return;
    AudioLock lock;
    for (SoundRecord& voice : voices) {
        if (voice.active != 0) continue;
        const SoundRecord& source = effectSounds[effect];
        voice.loop = source.loop;
        voice.active = 1;
        voice.buffer = source.buffer;
        voice.baseFrequency = source.baseFrequency;
        voice.frequency = source.frequency;
        setVolume(voice, source.volume);
        // Silenced effects still play, so the combo window keeps the effect's length.
        if (musicOn == 0 && voice.buffer) setVolume(voice, VOLUME_SILENT);
        if (voice.buffer) restart(voice);
        return;
    }
}

void setLevelMusic(int level) {
    stopSound(musicSound);
    {
        AudioLock lock;
        if (musicSound.buffer) {
            double rate = musicSound.baseFrequency;
            if (level >= 2) rate = (1.0 + 0.05 * level) * musicSound.baseFrequency;
            // Truncated, never rounded up; capped so a runaway level cannot overflow the rate.
            musicSound.frequency = rate < MAX_FREQUENCY ? static_cast<std::uint32_t>(rate) : MAX_FREQUENCY;
        }
    }
    if (musicOn != 0) playSound(musicSound);
}

void setMusicOn(int on) {
    musicOn = on != 0 ? 1 : 0;
    if (musicOn == 0)
        stopSound(musicSound);
    else
        playSound(musicSound);
}

bool sweepVoices() {
    AudioLock lock;
    bool busy = false;
    for (SoundRecord& voice : voices) {
        if (voice.active == 0) continue;
        bool sounding = voice.buffer && voice.playing;
        if (sounding || voice.loop == 1)
            busy = true;
        else
            voice.active = 0;
    }
    return busy;
}

} // namespace crossfall
