#!/usr/bin/env python3
"""Writes the MIDI patch index (default.cfg) that points the library's software synth at freepats.

The index uses the library's own syntax: "N file" lines for programs numbered from 1, then
"129 begin_multipatch", one "NOTE file" line per drum and "end_multipatch" for the drum kit.
Programs that the patch set lacks are mapped to the nearest program of the same General MIDI
family (groups of eight), or failing that to the nearest program that exists.
"""
import os
import re
import sys


def scan(folder):
    found = {}
    if os.path.isdir(folder):
        for f in sorted(os.listdir(folder)):
            m = re.match(r"(\d+)_.*\.pat$", f)
            if m:
                found.setdefault(int(m.group(1)), os.path.join(folder, f))
    return found


def nearest(p, have):
    same = [q for q in have if q // 8 == p // 8]
    pool = same or list(have)
    return min(pool, key=lambda q: (abs(q - p), q))


def build(freepats):
    tones = scan(os.path.join(freepats, "Tone_000"))
    drums = scan(os.path.join(freepats, "Drum_000"))
    lines = ["# MIDI patches for the game's software synth, generated from " + freepats,
             "# programs numbered from 1; a missing program borrows its nearest neighbour"]
    if tones:
        for p in range(128):
            src = p if p in tones else nearest(p, tones)
            if src != p:
                # comments stay on lines of their own: the library reads the second word as the file
                lines.append("# program %d borrows program %d" % (p + 1, src + 1))
            lines.append("%d %s" % (p + 1, tones[src]))
    if drums:
        lines.append("129 begin_multipatch")
        for n in sorted(drums):
            lines.append("%d %s" % (n, drums[n]))
        lines.append("end_multipatch")
    return "\n".join(lines) + "\n", bool(tones)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: patchcfg.py FREEPATS_DIR OUT/default.cfg")
    text, ok = build(sys.argv[1])
    if not ok:
        print("patchcfg: no patches under %s; the game will play no music" % sys.argv[1], file=sys.stderr)
    with open(sys.argv[2], "w") as f:
        f.write(text)


if __name__ == "__main__":
    main()
