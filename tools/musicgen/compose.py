#!/usr/bin/env python3
"""Writes the first versions of the eight field songs as plain-text scores (content/music/*.txt).

Each song is a chord progression with a seeded melody, bass, accompaniment and drums in its
own mood. Run once; afterwards the scores are edited by hand (see score2mid.py for the syntax).
"""
import os
import random
import re
import sys

NAMES = ["C", "C#", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"]
QUAL = {"": (0, 4, 7), "m": (0, 3, 7), "dim": (0, 3, 6), "sus": (0, 5, 7), "7": (0, 4, 7, 10),
        "m7": (0, 3, 7, 10), "maj7": (0, 4, 7, 11), "add9": (0, 4, 7, 14), "5": (0, 7)}


def name(n):
    return "%s%d" % (NAMES[n % 12], n // 12 - 1)


def chord(sym):
    """'Am7' -> (root pitch class, intervals)."""
    root = sym[0]
    rest = sym[1:]
    if rest[:1] in ("#", "b"):
        root += rest[0]
        rest = rest[1:]
    pc = {"C": 0, "C#": 1, "Db": 1, "D": 2, "D#": 3, "Eb": 3, "E": 4, "F": 5, "F#": 6, "Gb": 6, "G": 7,
          "G#": 8, "Ab": 8, "A": 9, "A#": 10, "Bb": 10, "B": 11}[root]
    return pc, QUAL[rest]


def voicing(sym, low):
    pc, iv = chord(sym)
    base = low + ((pc - low) % 12)
    return [base + i for i in iv]


class Song:
    def __init__(self, title, tempo, seed):
        self.title, self.tempo, self.rng = title, tempo, random.Random(seed)
        self.tracks = []

    def track(self, name, channel, program, volume, bars, pan=64):
        self.tracks.append((name, channel, program, volume, pan, bars))

    def ending(self, ch, bars, tonic, beats):
        """A closing bar on the home chord, in the register the track last played in."""
        ln = "1" if beats == 4 else "2."
        if ch == 10:
            return "v110 crash+kick/" + ln
        notes = re.findall(r"\b([A-G][#b]?)(-?\d)\b", " ".join(bars[-4:]))
        octave = int(notes[-1][1]) if notes else 4
        low = 12 * (octave + 1)
        pcs = voicing(tonic, low)
        many = "+" in " ".join(bars[-2:])
        return "v90 " + ("+".join(name(n) for n in pcs) if many else name(pcs[0])) + "/" + ln

    def text(self, mood, tonic=None, beats=4):
        out = ["# %s: %s" % (self.title, mood), "# Written by tools/musicgen/compose.py; edit freely.", "tempo %g" % self.tempo, ""]
        for name, ch, prog, vol, pan, bars in self.tracks:
            if tonic:
                bars = bars + [self.ending(ch, bars, tonic, beats)]
            out.append("track %s channel %d program %d volume %d pan %d" % (name, ch, prog, vol, pan))
            for i in range(0, len(bars), 4):
                out.append("  " + " | ".join(bars[i:i + 4]) + " |")
            out.append("")
        return "\n".join(out)


def pad_bars(prog, low, beats=4):
    return ["v70 " + "+".join(name(n) for n in voicing(c, low)) + "/1" if beats == 4 else
            "v70 " + "+".join(name(n) for n in voicing(c, low)) + "/2." for c in prog]


def bass_bars(prog, low, pattern):
    """pattern: list of (degree index into chord or 'r', length token)."""
    bars = []
    for c in prog:
        v = voicing(c, low)
        toks = []
        for deg, ln in pattern:
            if deg == "r":
                toks.append("r/" + ln)
            elif deg == "o":
                toks.append(name(v[0] + 12) + "/" + ln)
            else:
                toks.append(name(v[min(deg, len(v) - 1)]) + "/" + ln)
        bars.append("v100 " + " ".join(toks))
    return bars


def arp_bars(prog, low, order, ln, vel=70):
    bars = []
    for c in prog:
        v = voicing(c, low)
        v = v + [x + 12 for x in v]
        bars.append("v%d " % vel + " ".join(name(v[i % len(v)]) + "/" + ln for i in order))
    return bars


def scale_notes(key_pc, mode, low, high):
    steps = {"major": (0, 2, 4, 5, 7, 9, 11), "minor": (0, 2, 3, 5, 7, 8, 10), "dorian": (0, 2, 3, 5, 7, 9, 10),
             "lydian": (0, 2, 4, 6, 7, 9, 11), "phrygian": (0, 1, 3, 5, 7, 8, 10),
             "pent": (0, 3, 5, 7, 10), "harm": (0, 2, 3, 5, 7, 8, 11)}[mode]
    return [n for n in range(low, high + 1) if (n - key_pc) % 12 in steps]


RHYTHMS_4 = [["4", "4", "4", "4"], ["2", "4", "4"], ["4.", "8", "2"], ["8", "8", "4", "2"], ["2.", "4"],
             ["4", "8", "8", "4", "4"], ["1"], ["4", "4", "2"]]
RHYTHMS_3 = [["4", "4", "4"], ["2", "4"], ["2."], ["4.", "8", "4"], ["8", "8", "4", "4"]]


def melody_phrase(rng, prog, scale, beats, tones_low):
    """One bar per chord; strong beats land on chord tones, the rest walks the scale."""
    bars, cur = [], rng.choice(scale[len(scale) // 3: 2 * len(scale) // 3])
    for c in prog:
        pc, iv = chord(c)
        rhythm = rng.choice(RHYTHMS_4 if beats == 4 else RHYTHMS_3)
        toks = []
        for k, ln in enumerate(rhythm):
            if k == 0:
                cands = [n for n in scale if (n - pc) % 12 in [i % 12 for i in iv]]
                cur = min(cands, key=lambda n: abs(n - cur) + rng.random() * 3)
            else:
                i = scale.index(cur) if cur in scale else 0
                i = max(0, min(len(scale) - 1, i + rng.choice((-2, -1, -1, 1, 1, 2))))
                cur = scale[i]
            toks.append(("r" if rng.random() < 0.06 and k > 0 else name(cur)) + "/" + ln)
        bars.append("v96 " + " ".join(toks))
    return bars


def form(rng, prog_a, prog_b, scale, beats, plan):
    """Melody over a plan like 'AABA': each letter one pass of its progression; A repeats its motif."""
    motif = {"A": melody_phrase(rng, prog_a, scale, beats, 0), "B": melody_phrase(rng, prog_b, scale, beats, 0)}
    alt = {"A": melody_phrase(rng, prog_a, scale, beats, 0)}
    bars, chords = [], []
    for i, p in enumerate(plan):
        prog = prog_a if p in "Aa" else prog_b
        if p == "a":
            bars += alt["A"]
        else:
            bars += motif[p.upper()]
        chords += prog
    return bars, chords


def drum_bar(pattern):
    return "v100 " + " ".join(pattern)


def write(out, fname, song, mood, tonic, beats=4):
    with open(os.path.join(out, fname), "w") as f:
        f.write(song.text(mood, tonic, beats) + "\n")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "content", "music")
    os.makedirs(out, exist_ok=True)

    # 1. space: slow, floating pads and crystal arpeggios in D lydian
    s = Song("space", 72, 1)
    a, b = ["D", "E", "Bm7", "Amaj7"], ["Gmaj7", "F#m", "Em7", "Asus"]
    mel, ch = form(s.rng, a, b, scale_notes(2, "lydian", 62, 86), 4, "AaBAaBAB")
    s.track("pad", 1, 95, 80, pad_bars(ch, 50), pan=40)
    s.track("halo", 2, 95, 60, pad_bars(ch, 62), pan=90)
    s.track("crystal", 3, 99, 70, arp_bars(ch, 62, [0, 1, 2, 4, 3, 2, 1, 2], "8", 60), pan=100)
    s.track("melody", 4, 89, 90, ["r/1"] * 8 + mel[8:])
    s.track("bass", 5, 36, 90, bass_bars(ch, 38, [(0, "2."), (1, "4")]))
    write(out, "space.txt", s, "a slow drift between the stars", "D")

    # 2. spacewalkbiatch: a bouncing synth groove
    s = Song("spacewalkbiatch", 112, 2)
    a, b = ["Em7", "Cmaj7", "Am7", "B7"], ["Cmaj7", "D", "Em7", "Em7"]
    mel, ch = form(s.rng, a, b, scale_notes(4, "dorian", 64, 88), 4, "AABAAB" + "AB" * 3)
    s.track("lead", 1, 81, 84, mel, pan=70)
    s.track("pad", 2, 89, 64, pad_bars(ch, 55), pan=50)
    s.track("bass", 3, 39, 100, bass_bars(ch, 40, [(0, "8"), ("o", "8"), (0, "8"), (2, "8"), (0, "8"), ("o", "8"), (1, "8"), (2, "8")]))
    s.track("keys", 4, 6, 70, arp_bars(ch, 60, [0, 2, 1, 2, 0, 2, 1, 2], "8", 64), pan=90)
    s.track("drums", 10, 1, 100, [drum_bar(["kick+hat/8", "hat/8", "snare+hat/8", "hat/8", "kick+hat/8", "kick+hat/8", "snare+ohat/8", "hat/8"])] * len(ch))
    write(out, "spacewalkbiatch.txt", s, "a light-footed groove in low gravity", "Em7")

    # 3. dark: organ and cello in A minor, slow and heavy
    s = Song("dark", 60, 3)
    a, b = ["Am", "F", "Dm", "E"], ["Am", "Bb", "Gm", "A"]
    mel, ch = form(s.rng, a, b, scale_notes(9, "harm", 57, 79), 4, "AABA")
    s.track("organ", 1, 20, 80, pad_bars(ch, 52))
    s.track("cello", 2, 43, 96, mel)
    s.track("bass", 3, 43, 90, bass_bars(ch, 33, [(0, "2"), (0, "4"), (2, "4")]))
    s.track("bells", 4, 15, 70, ["v70 " + name(voicing(c, 69)[0]) + "/1" if i % 4 == 0 else "r/1" for i, c in enumerate(ch)])
    s.track("timpani", 5, 48, 90, ["v90 " + name(voicing(c, 33)[0]) + "/4 r/2." for c in ch])
    write(out, "dark.txt", s, "a cold hall, heavy steps", "Am")

    # 4. dark2: tense tremolo strings and pizzicato in E minor
    s = Song("dark2", 92, 4)
    a, b = ["Em", "Cdim", "Em", "B7"], ["Am", "F", "B7", "Em"]
    mel, ch = form(s.rng, a, b, scale_notes(4, "harm", 59, 83), 4, "AaBAaBAB")
    s.track("tremolo", 1, 45, 80, pad_bars(ch, 52), pan=44)
    s.track("pizz", 2, 46, 90, arp_bars(ch, 55, [0, 1, 2, 1, 0, 1, 2, 1], "8", 84), pan=84)
    s.track("bassoon", 3, 71, 92, mel)
    s.track("bass", 4, 43, 90, bass_bars(ch, 28, [(0, "4"), ("r", "4"), (0, "4"), (1, "4")]))
    s.track("drums", 10, 1, 90, [drum_bar(["tomlo/4", "r/4", "tomlo/8", "tomlo/8", "tommid/4"])] * len(ch))
    write(out, "dark2.txt", s, "something follows in the dark", "Em")

    # 5. knightsrevenge: a heroic march in D (the title music)
    s = Song("knightsrevenge", 116, 5)
    a, b = ["Dm", "Bb", "C", "A"], ["F", "C", "Dm", "A7"]
    mel, ch = form(s.rng, a, b, scale_notes(2, "harm", 62, 86), 4, "AaBAaBAB")
    s.track("trumpet", 1, 57, 100, mel, pan=70)
    s.track("horns", 2, 61, 84, pad_bars(ch, 53), pan=50)
    s.track("strings", 3, 49, 80, arp_bars(ch, 57, [0, 1, 2, 3, 2, 1, 2, 1], "8", 74), pan=80)
    s.track("brass", 4, 62, 90, bass_bars(ch, 38, [(0, "4."), (0, "8"), (1, "4"), (2, "4")]))
    s.track("timpani", 5, 48, 96, ["v100 " + name(voicing(c, 38)[0]) + "/4 " + name(voicing(c, 38)[0]) + "/8 " + name(voicing(c, 38)[0]) + "/8 r/2" for c in ch])
    s.track("drums", 10, 1, 100, [drum_bar(["snare/8", "snare/16", "snare/16", "snare/8", "snare/8", "snare/4", "snare/8", "snare/8"])] * (len(ch) - 1) + [drum_bar(["crash+kick/1"])])
    write(out, "knightsrevenge.txt", s, "banners up, the knights ride out", "D")

    # 6. inprog: driving progressive rock in 7/8 feel (written as 4/4 with accents) in B minor
    s = Song("inprog", 136, 6)
    a, b = ["Bm", "G", "A", "F#m"], ["Em", "G", "A", "F#7"]
    mel, ch = form(s.rng, a, b, scale_notes(11, "minor", 59, 83), 4, "AABAABAB" + "AB" * 2)
    s.track("guitar", 1, 30, 86, ["v84 " + " ".join(["+".join(name(n) for n in voicing(c + "5" if c[-1] not in "m7" else c[0:1] + ("#" if "#" in c else "") + "5", 47)) + "/8"] * 8) for c in ch], pan=40)
    s.track("organ", 2, 17, 70, pad_bars(ch, 59), pan=90)
    s.track("lead", 3, 31, 90, mel, pan=64)
    s.track("bass", 4, 35, 100, bass_bars(ch, 35, [(0, "8"), (0, "8"), ("o", "8"), (0, "8"), (0, "8"), (2, "8"), (1, "8"), (0, "8")]))
    s.track("drums", 10, 1, 100, [drum_bar(["kick+crash/8" if i % 8 == 0 else "kick+hat/8", "hat/8", "snare+hat/8", "kick+hat/8", "hat/8", "kick+hat/8", "snare+hat/8", "hat/8"]) for i in range(len(ch))])
    write(out, "inprog.txt", s, "a long road, marching on", "Bm")

    # 7. stringscool: pastoral strings, harp and flute in G, waltz time
    s = Song("stringscool", 132, 7)
    a, b = ["G", "Em", "C", "D"], ["Am", "D", "Bm", "C", "G", "Em", "Am", "D"]
    mel, ch = form(s.rng, a, b, scale_notes(7, "major", 67, 88), 3, "AaBAaBAAB")
    s.track("flute", 1, 74, 90, mel, pan=80)
    s.track("strings", 2, 49, 76, pad_bars(ch, 55, beats=3), pan=50)
    s.track("harp", 3, 47, 84, arp_bars(ch, 55, [0, 1, 2, 3, 2, 1], "8", 70), pan=30)
    s.track("cello", 4, 43, 90, bass_bars(ch, 36, [(0, "2"), (2, "4")]))
    s.track("violin", 5, 41, 64, ["r/2."] * 16 + ["v70 " + name(voicing(c, 72)[1]) + "/2." for c in ch[16:]], pan=100)
    write(out, "stringscool.txt", s, "a sunny road through the fields", "G", 3)

    # 8. tribalbeat: drums first, pan flute and timpani on a pentatonic scale
    s = Song("tribalbeat", 104, 8)
    a, b = ["Am", "Am", "G", "Am"], ["C", "G", "Am", "Em"]
    mel, ch = form(s.rng, a, b, scale_notes(9, "pent", 57, 81), 4, "AAB" + "AaB" * 3)
    s.track("flute", 1, 76, 90, ["r/1"] * 4 + mel[4:], pan=70)
    s.track("timpani", 2, 48, 100, ["v100 " + name(voicing(c, 33)[0]) + "/4. " + name(voicing(c, 33)[0]) + "/8 r/4 " + name(voicing(c, 33)[2]) + "/4" for c in ch])
    s.track("block", 3, 116, 70, ["v80 " + " ".join(name(voicing(c, 72)[i % 2]) + "/8" for i in (0, 1, 0, 0, 1, 0, 1, 1)) for c in ch], pan=90)
    s.track("sitar", 4, 105, 66, ["r/1"] * 8 + pad_bars(ch[8:], 57), pan=30)
    s.track("drums", 10, 1, 110, [drum_bar(["congalo+kick/8", "congahi/8", "congamute/8", "congalo/8", "bongohi+kick/8", "bongolo/8", "congahi/8", "shaker/8"])
                                   if i % 4 != 3 else drum_bar(["tomlo/8", "tomlo/8", "tommid/8", "tommid/8", "tomhi/8", "tomhi/8", "crash+kick/4"]) for i in range(len(ch))])
    write(out, "tribalbeat.txt", s, "fires and drums in the orc village", "Am")


if __name__ == "__main__":
    main()
