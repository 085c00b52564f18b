#!/usr/bin/env python3
"""Synthesise the game's sound effects as mono 16-bit WAV files.

    make_sounds.py [OUTDIR]      (default: the directory of this script)

Writes Honk.wav, TirePop.wav and TireScreech.wav. Every random source has a
fixed seed, so running it again gives the same bytes.
"""

import math
import os
import random
import struct
import sys
import wave

RATE = 22050
PEAK = 0.85  # headroom below full scale


def envelope(i, n, attack, release):
    """Raised-cosine fade in over `attack` seconds and out over `release`."""
    t = i / RATE
    left = (n - 1 - i) / RATE
    g = 1.0
    if t < attack:
        g *= 0.5 - 0.5 * math.cos(math.pi * t / attack)
    if left < release:
        g *= 0.5 - 0.5 * math.cos(math.pi * max(left, 0.0) / release)
    return g


def honk(seconds=0.4):
    """Two horn tones a major third apart, buzzy from their harmonics."""
    n = int(RATE * seconds)
    out = []
    for i in range(n):
        t = i / RATE
        s = 0.0
        for base in (400.0, 500.0):
            for k in range(1, 7):
                s += math.sin(2 * math.pi * base * k * t + 0.3 * k) / k
        # soft clipping gives the brassy edge of a real horn
        out.append(math.tanh(0.9 * s) * envelope(i, n, 0.025, 0.08))
    return out


def tire_pop(seconds=0.25):
    """A burst of noise that dies fast, over a short low thump."""
    rng = random.Random(1701)
    n = int(RATE * seconds)
    out = []
    lp = 0.0
    for i in range(n):
        t = i / RATE
        lp += 0.45 * (rng.uniform(-1.0, 1.0) - lp)  # take the hiss off the noise
        noise = lp * math.exp(-t / 0.022)
        thump = 0.8 * math.sin(2 * math.pi * 95.0 * t) * math.exp(-t / 0.045)
        out.append((noise * 1.6 + thump) * envelope(i, n, 0.001, 0.03))
    return out


def tire_screech(seconds=0.7):
    """Noise squeezed into a narrow band near 2.5 kHz whose pitch wanders."""
    rng = random.Random(4242)
    n = int(RATE * seconds)
    out = []
    y1 = y2 = x1 = x2 = 0.0
    drift = 0.0
    phase = 0.0
    gain = 0.8
    q = 9.0
    for i in range(n):
        t = i / RATE
        drift += 0.02 * (rng.uniform(-1.0, 1.0) * 200.0 - drift)
        f = 2500.0 + 280.0 * math.sin(2 * math.pi * 6.5 * t) + 90.0 * math.sin(2 * math.pi * 15.0 * t + 1.0) + drift
        # band-pass biquad, retuned each sample to follow the pitch
        w = 2 * math.pi * f / RATE
        alpha = math.sin(w) / (2 * q)
        a0 = 1 + alpha
        x0 = rng.uniform(-1.0, 1.0)
        y0 = (alpha * x0 - alpha * x2 + 2 * math.cos(w) * y1 - (1 - alpha) * y2) / a0
        x2, x1, y2, y1 = x1, x0, y1, y0
        # a tonal squeal rides on the noise band
        phase += 2 * math.pi * f / RATE
        gain += 0.002 * (rng.uniform(0.55, 1.0) - gain)
        s = 3.0 * y0 + 0.35 * math.sin(phase)
        out.append(s * gain * envelope(i, n, 0.06, 0.2))
    return out


def write_wav(path, samples):
    top = max(abs(s) for s in samples) or 1.0
    scale = PEAK * 32767 / top
    data = struct.pack("<%dh" % len(samples), *(int(round(s * scale)) for s in samples))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(data)


def main(argv):
    outdir = argv[1] if len(argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, make in (("Honk.wav", honk), ("TirePop.wav", tire_pop), ("TireScreech.wav", tire_screech)):
        path = os.path.join(outdir, name)
        samples = make()
        write_wav(path, samples)
        print("%s: %.2f s, %d bytes" % (path, len(samples) / RATE, os.path.getsize(path)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
