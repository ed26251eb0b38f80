#!/usr/bin/env python3
"""Writes the game's two sounds into data/: the looping level music and the row chime.

Both are 22050 Hz mono 16-bit PCM, made here from our own notes and oscillators. The output is
the same byte for byte on every run (no clock, our own noise generator). Usage:
    tools/make_sounds.py [OUTPUT_FOLDER]    (default: data/ beside tools/)
"""
import math
import os
import struct
import sys

RATE = 22050
BPM = 150
STEP = RATE * 60 // (BPM * 4)  # one sixteenth note: 2205 samples exactly, so the loop is whole
BAR = 16 * STEP

MUSIC_PEAK = 10 ** (-4.5 / 20)  # the chime sits a little above the music
CHIME_PEAK = 10 ** (-3 / 20)
CHIME_SECONDS = 1.2  # its length is the combo window


# ---- Notes ------------------------------------------------------------------------------------

NOTE_NAMES = {"C": 0, "C#": 1, "D": 2, "D#": 3, "E": 4, "F": 5, "F#": 6, "G": 7, "G#": 8, "A": 9, "A#": 10, "B": 11}


def midi(name):
    """'F#5' -> 78."""
    return NOTE_NAMES[name[:-1]] + 12 * (int(name[-1]) + 1)


def hz(note):
    return 440.0 * 2 ** ((note - 69) / 12)


# Chords of the sixteen bars; the bass walks their roots.
CHORDS = ["D", "Bm", "G", "A", "D", "Bm", "Em", "A", "G", "A", "F#m", "Bm", "G", "A7", "D", "A7"]
ROOTS = {"D": "D3", "Bm": "B2", "G": "G2", "A": "A2", "A7": "A2", "Em": "E3", "F#m": "F#2"}

# The lead line: (note or None for a rest, length in sixteenths), sixteen sixteenths per bar.
LEAD = [
    [("F#5", 4), ("A5", 2), ("D6", 2), ("C#6", 2), ("A5", 2), ("F#5", 4)],
    [("D5", 2), ("F#5", 2), ("B5", 4), ("A5", 2), ("F#5", 2), ("E5", 2), ("D5", 2)],
    [("B4", 2), ("D5", 2), ("G5", 2), ("B5", 2), ("A5", 4), ("G5", 2), ("F#5", 2)],
    [("E5", 6), ("C#5", 2), ("E5", 2), ("A5", 2), (None, 4)],
    [("F#5", 2), ("F#5", 2), ("A5", 2), ("D6", 4), ("E6", 2), ("D6", 2), ("A5", 2)],
    [("B5", 4), ("F#5", 2), ("D5", 2), ("B4", 4), ("C#5", 2), ("D5", 2)],
    [("E5", 2), ("G5", 2), ("B5", 2), ("E6", 2), ("D6", 2), ("B5", 2), ("G5", 2), ("E5", 2)],
    [("C#5", 4), ("E5", 2), ("A5", 2), ("C#6", 4), (None, 4)],
    [("D6", 4), ("B5", 2), ("G5", 2), ("D6", 2), ("E6", 2), ("D6", 4)],
    [("C#6", 4), ("A5", 2), ("E5", 2), ("C#6", 2), ("D6", 2), ("C#6", 4)],
    [("A5", 2), ("F#5", 2), ("C#5", 2), ("F#5", 2), ("A5", 4), ("C#6", 2), ("A5", 2)],
    [("B5", 6), ("A5", 2), ("F#5", 4), ("D5", 4)],
    [("G5", 2), ("B5", 2), ("D6", 2), ("B5", 2), ("G5", 2), ("B5", 2), ("D6", 4)],
    [("E6", 4), ("C#6", 2), ("A5", 2), ("E5", 4), ("G5", 2), ("F#5", 2)],
    [("F#5", 2), ("A5", 2), ("D6", 4), ("A5", 2), ("F#5", 2), ("D5", 4)],
    [("E5", 2), ("F#5", 2), ("G5", 2), ("A5", 2), ("B5", 2), ("C#6", 2), ("A5", 4)],
]

# Bass steps per bar in eighths: semitones above the chord's root.
BASS_PATTERN = [0, 0, 12, 0, 7, 0, 12, 7]


# ---- Oscillators and noise --------------------------------------------------------------------


class Noise:
    """Our own 32-bit linear congruential generator: the same noise on every machine."""

    def __init__(self, seed):
        self.state = seed

    def next(self):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return (self.state >> 8) / float(1 << 23) - 1.0


def poly_blep(t, dt):
    """Softens a square's jump so its harmonics do not fold back below the Nyquist rate."""
    if t < dt:
        t /= dt
        return t + t - t * t - 1.0
    if t > 1.0 - dt:
        t = (t - 1.0) / dt
        return t * t + t + t + 1.0
    return 0.0


def square(t, dt, duty):
    value = (1.0 if t < duty else -1.0) + 1.0 - 2.0 * duty  # centred: a narrow pulse has no offset
    return value + poly_blep(t, dt) - poly_blep((t - duty) % 1.0, dt)


def triangle(t):
    return 4.0 * abs(t - 0.5) - 1.0


def envelope(i, length, attack, release):
    """A gated note: quick rise, a slight fall to its sustain, a release to silence at its end."""
    if i < attack:
        level = i / attack
    else:
        level = 0.75 + 0.25 * math.exp(-(i - attack) / (0.08 * RATE))
    if i > length - release:
        level *= max(0.0, (length - i) / release)
    return level


# ---- The music loop ---------------------------------------------------------------------------


def add_circular(track, start, samples):
    """Adds samples from start, wrapping past the end so the loop has no seam."""
    size = len(track)
    for i, value in enumerate(samples):
        track[(start + i) % size] += value


def tone(frequency, length, wave, attack, release, vibrato=0.0):
    out = []
    phase = 0.0
    for i in range(length):
        wobble = 1.0 + vibrato * math.sin(2 * math.pi * 5.5 * i / RATE) * min(1.0, i / (0.15 * RATE))
        dt = frequency * wobble / RATE
        out.append(wave(phase, dt) * envelope(i, length, attack, release))
        phase = (phase + dt) % 1.0
    return out


def lead_track(size):
    track = [0.0] * size
    position = 0
    for bar_notes in LEAD:
        assert sum(length for _, length in bar_notes) == 16
        for name, length in bar_notes:
            if name is not None:
                samples = int(length * STEP * 0.92)
                note = tone(hz(midi(name)), samples, lambda t, dt: square(t, dt, 0.25), 60, 400, vibrato=0.004)
                add_circular(track, position, note)
            position += length * STEP
    # A soft echo three sixteenths later, also wrapping round the loop.
    echo = 3 * STEP
    return [track[i] + 0.3 * track[(i - echo) % size] for i in range(size)]


def bass_track(size):
    track = [0.0] * size
    for bar, chord in enumerate(CHORDS):
        root = midi(ROOTS[chord])
        for step, interval in enumerate(BASS_PATTERN):
            samples = int(2 * STEP * 0.85)
            note = tone(hz(root + interval), samples, lambda t, dt: triangle(t), 40, 300)
            add_circular(track, bar * BAR + step * 2 * STEP, note)
    return track


def drum_track(size):
    track = [0.0] * size
    noise = Noise(20240611)
    hat_length = int(0.035 * RATE)
    snare_length = int(0.14 * RATE)
    kick_length = int(0.16 * RATE)
    for bar in range(len(CHORDS)):
        for eighth in range(8):
            start = bar * BAR + eighth * 2 * STEP
            # Hi-hat on every eighth, the off-beats a little softer: differenced noise is bright.
            loudness = 0.22 if eighth % 2 == 0 else 0.14
            previous = 0.0
            hat = []
            for i in range(hat_length):
                white = noise.next()
                hat.append(loudness * (white - previous) * math.exp(-i / (0.008 * RATE)))
                previous = white
            add_circular(track, start, hat)
            if eighth in (2, 6):
                smooth = 0.0
                snare = []
                for i in range(snare_length):
                    smooth += 0.45 * (noise.next() - smooth)
                    body = math.sin(2 * math.pi * 190 * i / RATE) * math.exp(-i / (0.03 * RATE))
                    snare.append((0.5 * smooth + 0.35 * body) * math.exp(-i / (0.045 * RATE)))
                add_circular(track, start, snare)
            if eighth in (0, 4):
                phase = 0.0
                kick = []
                for i in range(kick_length):
                    frequency = 48 + 90 * math.exp(-i / (0.025 * RATE))
                    phase += frequency / RATE
                    kick.append(0.8 * math.sin(2 * math.pi * phase) * math.exp(-i / (0.05 * RATE)))
                add_circular(track, start, kick)
    return track


def soften(track, cutoff):
    """A one-pole low-pass run twice round the loop, so its state at the seam is the settled one."""
    alpha = 1.0 - math.exp(-2 * math.pi * cutoff / RATE)
    state = 0.0
    out = [0.0] * len(track)
    for _ in range(2):
        for i, value in enumerate(track):
            state += alpha * (value - state)
            out[i] = state
    return out


def music():
    size = len(CHORDS) * BAR
    lead = lead_track(size)
    bass = bass_track(size)
    drums = drum_track(size)
    mixed = [0.34 * l + 0.42 * b + 0.30 * d for l, b, d in zip(lead, bass, drums)]
    softened = soften(mixed, 7000.0)
    offset = sum(softened) / size
    return starting_at_zero(normalized([s - offset for s in softened], MUSIC_PEAK))


def starting_at_zero(loop):
    """Turns the loop to its gentlest rising zero crossing in the first sixteenth, so neither the
    start nor the wrap clicks and the tune still starts on its first beat."""
    crossings = [i for i in range(1, STEP) if loop[i - 1] < 0.0 <= loop[i]]
    start = min(crossings, key=lambda i: loop[i] - loop[i - 1])
    if abs(loop[start - 1]) < abs(loop[start]):
        start -= 1
    return loop[start:] + loop[:start]


# ---- The chime --------------------------------------------------------------------------------


def chime():
    size = int(CHIME_SECONDS * RATE)
    out = [0.0] * size
    # Two bright strikes a fifth apart, then a higher sparkle; bell-like partials, higher ones die sooner.
    strikes = [(0.0, hz(midi("E6")), 1.0), (0.06, hz(midi("B6")), 0.8), (0.12, hz(midi("E7")), 0.45)]
    partials = [(1.0, 1.0, 0.42), (2.0, 0.45, 0.25), (3.01, 0.22, 0.16), (4.17, 0.12, 0.09), (5.43, 0.06, 0.06)]
    for delay, frequency, loudness in strikes:
        start = int(delay * RATE)
        for ratio, amplitude, decay in partials:
            f = frequency * ratio
            if f > 0.45 * RATE:
                continue
            for i in range(size - start):
                attack = min(1.0, i / (0.004 * RATE))
                out[start + i] += loudness * amplitude * attack * math.exp(-i / (decay * RATE)) * math.sin(
                    2 * math.pi * f * i / RATE)
    # The last 150 ms fade to exact silence, so the voice ends without a click.
    fade = int(0.15 * RATE)
    for i in range(fade):
        out[size - fade + i] *= 0.5 + 0.5 * math.cos(math.pi * (i + 1) / fade)
    return normalized(out, CHIME_PEAK)


# ---- Files ------------------------------------------------------------------------------------


def normalized(samples, peak):
    top = max(abs(s) for s in samples)
    return [s * peak / top for s in samples]


def write_wave(path, samples):
    data = b"".join(struct.pack("<h", max(-32768, min(32767, int(round(s * 32767))))) for s in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    with open(path, "wb") as out:
        out.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
    os.makedirs(folder, exist_ok=True)
    write_wave(os.path.join(folder, "clevel1_sound.wav"), music())
    write_wave(os.path.join(folder, "sound1_x.wav"), chime())


if __name__ == "__main__":
    main()
