#!/usr/bin/env python3
"""Writes the built-in button click: a short mono PCM wave.

    tools/make_click_wav.py app/resources/click.wav

The click is a 25 ms burst: a falling 2.4 kHz tone over a little noise,
shaped by a fast attack and an exponential decay, so it sounds like a soft
tick rather than a beep. The noise comes from a fixed linear congruential
sequence, so the output is byte-for-byte reproducible.
"""
import math
import struct
import sys

RATE = 22050
DURATION = 0.025  # seconds
ATTACK = 0.0008
DECAY = 0.0045     # time constant of the exponential tail
TONE_START, TONE_END = 2400.0, 1500.0
NOISE_SHARE = 0.25
PEAK = 0.55        # of full scale: a click, not a shout


def noise():
    state = 0x2545F491
    while True:
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        yield state / 0x3FFFFFFF - 1.0


def samples():
    count = int(RATE * DURATION)
    phase = 0.0
    rnd = noise()
    for i in range(count):
        t = i / RATE
        frequency = TONE_START + (TONE_END - TONE_START) * i / count
        phase += 2 * math.pi * frequency / RATE
        envelope = min(1.0, t / ATTACK) * math.exp(-t / DECAY)
        value = ((1 - NOISE_SHARE) * math.sin(phase) + NOISE_SHARE * next(rnd)) * envelope * PEAK
        yield max(-32768, min(32767, round(value * 32767)))


def build_wav():
    data = b"".join(struct.pack("<h", s) for s in samples())
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)  # PCM, mono, 16 bit
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as f:
        f.write(build_wav())


if __name__ == "__main__":
    main()
