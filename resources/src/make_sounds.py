#!/usr/bin/env python3
"""Writes Starwick's four interface sounds as 16-bit PCM mono WAV files at 44.1 kHz.

    python3 resources/src/make_sounds.py [output-folder]

The output folder defaults to resources/snd beside this script's folder. Every sound starts and
ends at silence (a short rise, a long fall, then a few milliseconds faded to zero), so none clicks.
The noise of the whoosh comes from a fixed seed: running the script again writes the same files.
"""

import math
import os
import random
import struct
import sys
import wave

RATE = 44100
PEAK = 0.5  # about -6 dBFS


def silence(seconds):
    return [0.0] * int(seconds * RATE)


def mix_into(target, source, offset_seconds):
    start = int(offset_seconds * RATE)
    for i, value in enumerate(source):
        if start + i < len(target):
            target[start + i] += value


def bell(frequency, seconds, partials, decay, attack=0.004):
    """A struck tone: partials are (frequency ratio, level, decay factor) triples."""
    samples = []
    for n in range(int(seconds * RATE)):
        t = n / RATE
        rise = min(1.0, t / attack)
        value = 0.0
        for ratio, level, faster in partials:
            value += level * math.exp(-t * decay * faster) * math.sin(2 * math.pi * frequency * ratio * t)
        samples.append(rise * value)
    return samples


def chime():
    """Saved: two soft bell notes a major third apart, the second a little later."""
    partials = [(1.0, 1.0, 1.0), (2.0, 0.28, 1.8), (3.01, 0.12, 2.6), (4.17, 0.05, 3.5)]
    out = silence(0.95)
    mix_into(out, bell(1046.5, 0.95, partials, 5.0), 0.0)  # C6
    mix_into(out, bell(1318.5, 0.85, partials, 5.5), 0.09)  # E6
    return out


def tink():
    """Tink: a small glassy tap, bright and short."""
    partials = [(1.0, 1.0, 1.0), (2.32, 0.35, 1.7), (4.25, 0.12, 2.8)]
    return bell(2637.0, 0.22, partials, 24.0, attack=0.0015)


def pluck(frequency, seconds, rng, brightness=0.5, damping=0.993):
    """One plucked string (Karplus-Strong), its burst smoothed so the attack is soft."""
    period = max(2, int(round(RATE / frequency)))
    buffer = [rng.uniform(-1.0, 1.0) for _ in range(period)]
    for _ in range(2):  # soften the burst
        buffer = [(buffer[i] + buffer[i - 1]) / 2 for i in range(period)]
    samples = []
    for n in range(int(seconds * RATE)):
        i = n % period
        current = buffer[i]
        following = buffer[(i + 1) % period]
        buffer[i] = damping * (brightness * current + (1 - brightness) * following)
        samples.append(current)
    return samples


def strum():
    """Strum: a G major chord swept downwards across six strings."""
    rng = random.Random(170)
    notes = [98.0, 123.47, 146.83, 196.0, 246.94, 392.0]
    out = silence(0.9)
    for index, frequency in enumerate(notes):
        mix_into(out, [0.55 * s for s in pluck(frequency, 0.9, rng)], index * 0.022)
    return out


def whoosh():
    """SaveToDT: air swept past, noise through a resonant band that rises and falls."""
    rng = random.Random(171)
    seconds = 0.62
    total = int(seconds * RATE)
    low = band = 0.0
    samples = []
    for n in range(total):
        x = n / total
        centre = 350.0 + 2600.0 * math.sin(math.pi * x) ** 2
        f = 2 * math.sin(math.pi * centre / RATE)
        q = 0.35
        noise = rng.uniform(-1.0, 1.0)
        high = noise - low - q * band
        band += f * high
        low += f * band
        envelope = math.sin(math.pi * x) ** 1.6
        samples.append(envelope * band)
    return samples


def finish(samples, tail=0.008):
    """Scales to the common peak and fades the first 3 ms and the last `tail` seconds to exact
    silence along half a cosine."""
    top = max(abs(s) for s in samples) or 1.0
    samples = [PEAK * s / top for s in samples]
    fade_in = int(0.003 * RATE)
    fade_out = int(tail * RATE)
    for i in range(fade_in):
        samples[i] *= 0.5 - 0.5 * math.cos(math.pi * i / fade_in)
    for i in range(fade_out):
        samples[-1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / fade_out)
    return samples


def write(path, samples):
    frames = b"".join(struct.pack("<h", int(round(max(-1.0, min(1.0, s)) * 32767))) for s in samples)
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, os.pardir, "snd")
    os.makedirs(folder, exist_ok=True)
    sounds = ((168, chime, 0.05), (169, tink, 0.02), (170, strum, 0.3), (171, whoosh, 0.05))
    for resource_id, make, tail in sounds:
        path = os.path.join(folder, "%d.wav" % resource_id)
        write(path, finish(make(), tail))
        print(path)


if __name__ == "__main__":
    main()
