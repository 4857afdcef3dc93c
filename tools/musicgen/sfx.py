#!/usr/bin/env python3
"""Synthesises the two short sound effects into content/sounds/ as 16-bit mono WAV files."""
import math
import os
import struct
import sys

RATE = 22050


def tone(freqs, dur, attack=0.005, decay=8.0, shape="sine", vol=0.5):
    n = int(RATE * dur)
    out = []
    for i in range(n):
        t = i / RATE
        env = min(1.0, t / attack) * math.exp(-decay * t)
        v = 0.0
        for k, f in enumerate(freqs):
            ph = 2 * math.pi * f * t
            if shape == "square":
                s = 1.0 if math.sin(ph) >= 0 else -1.0
                s *= 0.5
            else:
                s = math.sin(ph) + 0.3 * math.sin(2 * ph) + 0.1 * math.sin(3 * ph)
            v += s / (k + 1)
        out.append(v * env * vol)
    return out


def write_wav(path, samples):
    data = b"".join(struct.pack("<h", max(-32767, min(32767, int(s * 32767)))) for s in samples)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE")
        f.write(b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE * 2, 2, 16))
        f.write(b"data" + struct.pack("<I", len(data)) + data)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "content", "sounds")
    os.makedirs(out, exist_ok=True)
    # confirm: two quick rising square blips, the classic menu "tick"
    confirm = tone([880], 0.06, decay=12, shape="square", vol=1.6) + tone([1320], 0.10, decay=14, shape="square", vol=1.6)
    write_wav(os.path.join(out, "confirm.wav"), confirm)
    # coin chime: a bright two-note bell (B5 then E6) with a ringing tail
    coin = tone([987.8, 1975.5], 0.08, decay=6, vol=0.6) + tone([1318.5, 2637.0], 0.45, decay=7, vol=0.6)
    write_wav(os.path.join(out, "coinchime.wav"), coin)


if __name__ == "__main__":
    main()
