#!/usr/bin/env python3
"""Turns a plain-text score (content/music/*.txt) into a standard MIDI file.

Score syntax (one statement per line; a word starting with '#' begins a comment):
  tempo 96                 quarter notes per minute (may appear again inside a track: tempo change)
  track NAME channel C program P volume V [pan N]
                           starts a track; C is 1-16 (10 = drums), P is the General MIDI
                           program 1-128 as printed in GM lists (ignored on channel 10)
  then notes, separated by blanks, over as many lines as wanted:
    C4/4     a note: letter, optional # or b, octave (C4 = middle C), '/' and a length
             (1 whole, 2 half, 4 quarter, 8 eighth, 16 sixteenth; a trailing '.' dots it)
    C4+E4+G4/2   a chord       r/4  a rest       v90  velocity of the following notes
    kick+hat/8   drum names on channel 10 (see DRUMS), or n36 for a raw note number
    [ ... ]x4    repeat the bracketed notes four times (brackets nest)
    |            bar line, for the reader only
"""
import struct
import sys

PPQ = 480
NOTE_BASE = {"c": 0, "d": 2, "e": 4, "f": 5, "g": 7, "a": 9, "b": 11}
DRUMS = {"kick": 36, "kick2": 35, "rim": 37, "snare": 38, "clap": 39, "snare2": 40, "tomlo": 41, "hat": 42,
         "tomlo2": 43, "pedal": 44, "tommid": 45, "ohat": 46, "tommid2": 47, "tomhi": 48, "crash": 49,
         "tomhi2": 50, "ride": 51, "china": 52, "bell": 53, "tamb": 54, "splash": 55, "cowbell": 56,
         "crash2": 57, "bongohi": 60, "bongolo": 61, "congamute": 62, "congahi": 63, "congalo": 64,
         "timbhi": 65, "timblo": 66, "agogohi": 67, "agogolo": 68, "cabasa": 69, "maracas": 70,
         "claves": 75, "blockhi": 76, "blocklo": 77, "triangle": 81, "shaker": 82}


class ScoreError(Exception):
    pass


def pitch(tok, drums, where):
    t = tok.lower()
    if drums and t in DRUMS:
        return DRUMS[t]
    if t.startswith("n") and t[1:].isdigit():
        return int(t[1:])
    if not t or t[0] not in NOTE_BASE:
        raise ScoreError("%s: unknown note '%s'" % (where, tok))
    n, i = NOTE_BASE[t[0]], 1
    while i < len(t) and t[i] in "#b":
        n += 1 if t[i] == "#" else -1
        i += 1
    try:
        octave = int(t[i:])
    except ValueError:
        raise ScoreError("%s: bad octave in '%s'" % (where, tok))
    v = n + 12 * (octave + 1)
    if not 0 <= v <= 127:
        raise ScoreError("%s: note '%s' out of range" % (where, tok))
    return v


def length(tok, where):
    dotted = tok.endswith(".")
    d = tok[:-1] if dotted else tok
    if d not in ("1", "2", "4", "8", "16", "32"):
        raise ScoreError("%s: bad length '/%s'" % (where, tok))
    ticks = PPQ * 4 // int(d)
    return ticks * 3 // 2 if dotted else ticks


def expand(tokens, where):
    """Unrolls [ ... ]xN groups."""
    out, stack = [], [[]]
    for tok in tokens:
        if tok == "[":
            stack.append([])
        elif tok.startswith("]"):
            if len(stack) < 2:
                raise ScoreError("%s: ']' without '['" % where)
            times = int(tok[2:]) if tok.startswith("]x") and tok[2:].isdigit() else 1
            body = stack.pop()
            stack[-1].extend(body * times)
        else:
            stack[-1].append(tok)
    if len(stack) != 1:
        raise ScoreError("%s: '[' without ']'" % where)
    out.extend(stack[0])
    return out


def parse(text, name="score"):
    tempo_map = []  # (tick, bpm) from the header and the first track
    tracks = []
    cur = None
    for lineno, raw in enumerate(text.splitlines(), 1):
        # a '#' that starts a word begins a comment; inside a word it is a sharp (F#4)
        words = raw.split()
        for i, w in enumerate(words):
            if w.startswith("#"):
                words = words[:i]
                break
        line = " ".join(words)
        if not line:
            continue
        where = "%s:%d" % (name, lineno)
        words = line.split()
        if words[0] == "tempo" and cur is None:
            tempo_map.append((0, float(words[1])))
        elif words[0] == "track":
            kv = dict(zip(words[2::2], words[3::2]))
            try:
                ch = int(kv["channel"])
                prog = int(kv.get("program", "1"))
                vol = int(kv.get("volume", "100"))
                pan = int(kv.get("pan", "64"))
            except (KeyError, ValueError):
                raise ScoreError("%s: a track needs 'channel C program P volume V'" % where)
            if not (1 <= ch <= 16 and 1 <= prog <= 128 and 0 <= vol <= 127 and 0 <= pan <= 127):
                raise ScoreError("%s: channel, program, volume or pan out of range" % where)
            cur = dict(name=words[1], channel=ch, program=prog, volume=vol, pan=pan, tokens=[], where=where)
            tracks.append(cur)
        elif cur is None:
            raise ScoreError("%s: notes before the first track" % where)
        else:
            cur["tokens"].extend((tok, where) for tok in words)
    if not tracks:
        raise ScoreError("%s: no tracks" % name)
    if not tempo_map:
        tempo_map.append((0, 120.0))
    events = []  # (tick, order, bytes)
    end = 0
    for tr in tracks:
        ch = tr["channel"] - 1
        drums = ch == 9
        events.append((0, 0, bytes([0xB0 | ch, 7, tr["volume"]])))
        events.append((0, 0, bytes([0xB0 | ch, 10, tr["pan"]])))
        if not drums:
            events.append((0, 0, bytes([0xC0 | ch, tr["program"] - 1])))
        where_of = {}
        toks = []
        for tok, where in tr["tokens"]:
            toks.append(tok)
            where_of.setdefault(tok, where)
        t, vel = 0, 96
        for tok in expand(toks, tr["where"]):
            where = where_of.get(tok, tr["where"])
            if tok == "|":
                continue
            if tok.startswith("v") and tok[1:].isdigit():
                vel = max(1, min(127, int(tok[1:])))
                continue
            if tok.startswith("tempo="):
                tempo_map.append((t, float(tok[6:])))
                continue
            if "/" not in tok:
                raise ScoreError("%s: '%s' has no length" % (where, tok))
            notes, ln = tok.split("/", 1)
            d = length(ln, where)
            if notes.lower() != "r":
                for p in notes.split("+"):
                    n = pitch(p, drums, where)
                    off = max(1, d - (0 if drums else d // 16))
                    events.append((t, 2, bytes([0x90 | ch, n, vel])))
                    events.append((t + off, 1, bytes([0x80 | ch, n, 0])))
            t += d
        end = max(end, t)
    for tick, bpm in tempo_map:
        us = int(60000000 / bpm)
        events.append((tick, 0, b"\xff\x51\x03" + us.to_bytes(3, "big")))
    events.sort(key=lambda e: (e[0], e[1]))
    return events, end, tracks


def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append((n & 0x7F) | 0x80)
        n >>= 7
    return bytes(reversed(out))


def to_midi(events, end):
    body, last = bytearray(), 0
    for tick, _, data in events:
        body += vlq(tick - last) + data
        last = tick
    body += vlq(max(0, end - last)) + b"\xff\x2f\x00"
    return b"MThd" + struct.pack(">IHHH", 6, 0, 1, PPQ) + b"MTrk" + struct.pack(">I", len(body)) + bytes(body)


def seconds(events, end):
    tempos = sorted((tick, data) for tick, _, data in events if data[:2] == b"\xff\x51")
    total, last_tick, us = 0.0, 0, 500000
    for tick, data in tempos:
        total += (tick - last_tick) * us / PPQ / 1e6
        last_tick, us = tick, int.from_bytes(data[3:6], "big")
    return total + (end - last_tick) * us / PPQ / 1e6


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: score2mid.py SCORE.txt OUT.mid")
    src, dst = sys.argv[1], sys.argv[2]
    try:
        with open(src) as f:
            events, end, _ = parse(f.read(), src)
    except (OSError, ScoreError) as e:
        sys.exit("score2mid: %s" % e)
    with open(dst, "wb") as f:
        f.write(to_midi(events, end))


if __name__ == "__main__":
    main()
