#!/usr/bin/env python3
"""Builds the first Tiled maps (content/maps/*.tmx) from readable descriptions in tools/mapgen/maps/.

Run once to make the maps again from their descriptions; after that the TMX files are the
sources a designer edits in Tiled. Usage: mapgen.py [--out DIR] [DESCRIPTION.txt ...]
(no descriptions: every file in tools/mapgen/maps/).

A description is plain text; ';' starts a comment (except inside the layout):

    map duskwing.tmx                 ; the TMX file to write
    start 29 12 30 12                ; hero and companion start tiles
    cine 1                           ; entry cinematic
    battle                           ; a battle map (its NPCs are monsters)
    after ./data/duskwing.map 29 31  ; battle maps: map and tile the party goes to afterwards

    legend                           ; one character of the layout per line:
    .  1          ; grass              CHAR GROUND[/OVERLAY] [block|walk|shore]
    ,  1 walk     ; grass people stroll on (walkway)
    #  4 block    ; wall
    abc 1/18      ; several characters may share one look (markers for objects below)
    ~  3 block shore ; water whose edge cells take the bank tiles (33-44) by their dry neighbours

    layout                           ; one row of characters per map row, all the same width
    #########
    #..a,,,.#
    end

    portal X ./data/worldmap.map 30 20 [quest N]   ; X: a marker character or C,R
    talk X "Sign" "Words"            ; step, shop N, inn, save, trainer: same shape
    step X "Speaker" "Words" [quest N]
    chest X ITEM ["Speaker" "Words"]
    switch X QUEST
    object X ITEM
    event X TYPE QUEST "Speaker" "Words"
    npc X SPRITE ID

A marker that appears several times makes one object per appearance, in reading order; a
portal's arrival then shifts by that appearance's offset from the first one. Objects keep the
order of the description (the game cares: switches are events 0, 1, 2; the opening's actor is
NPC 0). Cells under events the use key finds, and under objects, get the event flag (8) on
layer 1 by themselves. The flag layers are written at opacity 0.45 so the art shows through.
"""
import os
import shlex
import sys
import xml.sax.saxutils as sax

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.join(HERE, "..", "..", "content", "maps")
FLAGS_GID = 65536
BLOCKED, WALKWAY, EVENT = 1, 4, 8
SHORE = 0x100  # legend word only: water that draws its banks; never written to the map
# Bank tiles by the dry sides of a water cell (N, S, W, E), then by a dry diagonal alone.
BANKS = {"n": 33, "s": 34, "w": 35, "e": 36, "nw": 37, "ne": 38, "sw": 39, "se": 40}
CORNERS = (((-1, -1), 41), ((1, -1), 42), ((-1, 1), 43), ((1, 1), 44))
EVENT_TYPES = {"talk": 1, "step": 4, "object": 8, "shop": 16, "inn": 32, "save": 64, "chest": 128,
               "switch": 256, "trainer": 512}
STEP_ONLY = EVENT_TYPES["step"]


class DescriptionError(Exception):
    pass


class MapDesc:
    def __init__(self, path):
        self.path = path
        self.name = None
        self.props = {"cine": 0, "p0_x": 0, "p0_y": 0, "p1_x": 0, "p1_y": 0, "battle": False,
                      "bdestmap": "./data/empty", "bdest_x": 0, "bdest_y": 0}
        self.legend = {}      # char -> (ground, overlay, flags)
        self.rows = []
        self.portals = []     # (c, r, dest_map, dest_x, dest_y, quest_flag)
        self.events = []      # (c, r, type, quest, speaker, text)
        self.npcs = []        # (c, r, sprite, id)

    def fail(self, line_no, message):
        raise DescriptionError("%s:%d: %s" % (self.path, line_no, message))

    @property
    def width(self):
        return len(self.rows[0]) if self.rows else 0

    @property
    def height(self):
        return len(self.rows)

    def cells(self, where, line_no):
        """The tiles a position names: C,R, or every appearance of a marker in reading order."""
        if "," in where and len(where) > 1:
            try:
                c, r = (int(v) for v in where.split(","))
            except ValueError:
                self.fail(line_no, "'%s' is neither a marker nor C,R" % where)
            if not (0 <= c < self.width and 0 <= r < self.height):
                self.fail(line_no, "%d,%d lies outside the %d x %d map" % (c, r, self.width, self.height))
            return [(c, r)]
        if len(where) != 1:
            self.fail(line_no, "'%s' is neither a marker nor C,R" % where)
        found = [(c, r) for r, row in enumerate(self.rows) for c, ch in enumerate(row) if ch == where]
        if not found:
            self.fail(line_no, "the marker '%s' is not in the layout" % where)
        return found


def tokens(line, desc, line_no):
    try:
        return shlex.split(line, comments=False)
    except ValueError as e:
        desc.fail(line_no, str(e))


def strip_comment(line):
    out, quote = [], None
    for ch in line:
        if quote:
            if ch == quote:
                quote = None
        elif ch in "\"'":
            quote = ch
        elif ch == ";":
            break
        out.append(ch)
    return "".join(out).strip()


def parse_int(text, desc, line_no):
    try:
        return int(text, 0)
    except ValueError:
        desc.fail(line_no, "'%s' is not a number" % text)


def parse_legend(desc, line, line_no):
    parts = line.split()
    if len(parts) < 2:
        desc.fail(line_no, "a legend line is CHARS GROUND[/OVERLAY] [block|walk]")
    chars, look = parts[0], parts[1]
    ground, _, overlay = look.partition("/")
    flags = 0
    for word in parts[2:]:
        if word == "block":
            flags |= BLOCKED
        elif word == "walk":
            flags |= WALKWAY
        elif word == "shore":
            flags |= SHORE
        else:
            desc.fail(line_no, "unknown legend word '%s'" % word)
    cell_look = (parse_int(ground, desc, line_no), parse_int(overlay, desc, line_no) if overlay else 0, flags)
    for ch in chars:
        if ch in desc.legend:
            desc.fail(line_no, "'%s' is in the legend twice" % ch)
        desc.legend[ch] = cell_look


def parse_object(desc, words, line_no):
    kind, where, rest = words[0], words[1], words[2:]
    cells = desc.cells(where, line_no)

    def options(args, allowed):
        """Trailing 'quest N' pairs."""
        opts = {}
        while len(args) >= 2 and args[-2] in allowed:
            opts[args[-2]] = parse_int(args[-1], desc, line_no)
            args = args[:-2]
        return args, opts

    if kind == "portal":
        args, opts = options(rest, ("quest",))
        if len(args) != 3:
            desc.fail(line_no, "portal MARKER DEST_MAP C R [quest N]")
        dest, c, r = args[0], parse_int(args[1], desc, line_no), parse_int(args[2], desc, line_no)
        c0, r0 = cells[0]
        for (pc, pr) in cells:
            desc.portals.append((pc, pr, dest, (c + pc - c0) * 16, (r + pr - r0) * 16, opts.get("quest", 0)))
    elif kind == "npc":
        if len(rest) != 2:
            desc.fail(line_no, "npc MARKER SPRITE ID")
        for (c, r) in cells:
            desc.npcs.append((c, r, parse_int(rest[0], desc, line_no), parse_int(rest[1], desc, line_no)))
    else:
        if kind == "event":
            if len(rest) != 4:
                desc.fail(line_no, "event MARKER TYPE QUEST SPEAKER TEXT")
            etype, quest = parse_int(rest[0], desc, line_no), parse_int(rest[1], desc, line_no)
            speaker, text = rest[2], rest[3]
        elif kind in ("chest", "object", "switch", "shop"):
            if not rest:
                desc.fail(line_no, "%s MARKER NUMBER ..." % kind)
            quest, args = parse_int(rest[0], desc, line_no), rest[1:]
            if len(args) > 2:
                desc.fail(line_no, "%s MARKER NUMBER [SPEAKER TEXT]" % kind)
            speaker, text = (args + ["", ""])[:2]
            etype = EVENT_TYPES[kind]
        elif kind in EVENT_TYPES:
            args, opts = options(rest, ("quest",))
            if len(args) != 2:
                desc.fail(line_no, "%s MARKER SPEAKER TEXT [quest N]" % kind)
            speaker, text = args
            etype, quest = EVENT_TYPES[kind], opts.get("quest", 0)
        else:
            desc.fail(line_no, "unknown line '%s'" % kind)
        if len(speaker) > 254 or len(text) > 1023:
            desc.fail(line_no, "a speaker holds 254 characters and a text 1023")
        for (c, r) in cells:
            desc.events.append((c, r, etype, quest, speaker, text))


def parse(path):
    desc = MapDesc(path)
    section = None
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    for line_no, raw in enumerate(lines, 1):
        if section == "layout":
            if raw.strip() == "end":
                section = None
                continue
            row = raw.rstrip("\n")
            if desc.rows and len(row) != len(desc.rows[0]):
                desc.fail(line_no, "this row is %d wide, the first %d" % (len(row), len(desc.rows[0])))
            for ch in row:
                if ch not in desc.legend:
                    desc.fail(line_no, "'%s' is not in the legend" % ch)
            desc.rows.append(row)
            continue
        line = strip_comment(raw)
        if not line:
            continue
        if section == "legend" and line != "layout":
            parse_legend(desc, line, line_no)
            continue
        words = tokens(line, desc, line_no)
        head = words[0]
        if head == "map":
            desc.name = words[1]
        elif head == "legend":
            section = "legend"
        elif head == "layout":
            section = "layout"
        elif head == "start":
            v = [parse_int(w, desc, line_no) for w in words[1:]]
            if len(v) != 4:
                desc.fail(line_no, "start C0 R0 C1 R1")
            desc.props.update(p0_x=v[0], p0_y=v[1], p1_x=v[2], p1_y=v[3])
        elif head == "cine":
            desc.props["cine"] = parse_int(words[1], desc, line_no)
        elif head == "battle":
            desc.props["battle"] = True
        elif head == "after":
            if len(words) != 4:
                desc.fail(line_no, "after MAP C R")
            desc.props.update(bdestmap=words[1], bdest_x=parse_int(words[2], desc, line_no) * 16,
                              bdest_y=parse_int(words[3], desc, line_no) * 16)
        else:
            if not desc.rows:
                desc.fail(line_no, "objects come after the layout")
            parse_object(desc, words, line_no)
    if section == "layout":
        desc.fail(len(lines), "the layout has no 'end'")
    if not desc.name or not desc.rows:
        desc.fail(1, "a description needs 'map NAME.tmx' and a layout")
    return desc


def bank(desc, c, r):
    """The ground of a shore cell: a bank tile on the sides that meet dry land."""
    def dry(dc, dr):
        cc, rr = c + dc, r + dr
        if not (0 <= cc < desc.width and 0 <= rr < desc.height):
            return False
        return not desc.legend[desc.rows[rr][cc]][2] & SHORE
    sides = "".join(s for s, (dc, dr) in (("n", (0, -1)), ("s", (0, 1))) if dry(dc, dr))
    sides += "".join(s for s, (dc, dr) in (("w", (-1, 0)), ("e", (1, 0))) if dry(dc, dr))
    if sides in BANKS:
        return BANKS[sides]
    if not sides:
        for (dc, dr), tile in CORNERS:
            if dry(dc, dr):
                return tile
    return desc.legend[desc.rows[r][c]][0]


def layers(desc):
    ground, overlay, flags0, flags1 = [], [], [], []
    for r, row in enumerate(desc.rows):
        ground.append([bank(desc, c, r) if desc.legend[ch][2] & SHORE else desc.legend[ch][0]
                       for c, ch in enumerate(row)])
        overlay.append([desc.legend[ch][1] for ch in row])
        flags0.append([desc.legend[ch][2] & ~SHORE for ch in row])
        flags1.append([0] * len(row))
    for (c, r, etype, _, _, _) in desc.events:
        if etype & ~STEP_ONLY:
            flags1[r][c] |= EVENT
    return ground, flags0, overlay, flags1


def csv(grid, base=0):
    rows = [",".join(str(v + base if v else 0) for v in row) for row in grid]
    return ",\n".join(rows)


def prop(name, value, kind=None):
    t = ' type="%s"' % kind if kind else ""
    return '    <property name="%s"%s value=%s/>' % (name, t, sax.quoteattr(str(value)))


def write_tmx(desc, out_dir):
    w, h = desc.width, desc.height
    p = desc.props
    g, f0, o, f1 = layers(desc)
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<map version="1.10" tiledversion="1.10.2" orientation="orthogonal" renderorder="right-down" '
           'width="%d" height="%d" tilewidth="16" tileheight="16" infinite="0" nextlayerid="8" nextobjectid="%d">'
           % (w, h, len(desc.portals) + len(desc.events) + len(desc.npcs) + 1),
           " <properties>",
           prop("tileset", "./data/tiles.bmp")[2:], prop("spriteset", "./data/npcs.bmp")[2:],
           prop("battle", "true" if p["battle"] else "false", "bool")[2:]]
    for k in ("cine", "p0_x", "p0_y", "p1_x", "p1_y"):
        out.append(prop(k, p[k], "int")[2:])
    out += [prop("bdestmap", p["bdestmap"])[2:], prop("bdest_x", p["bdest_x"], "int")[2:],
            prop("bdest_y", p["bdest_y"], "int")[2:], prop("spare", 2, "int")[2:], " </properties>",
            ' <tileset firstgid="1" name="tiles" tilewidth="16" tileheight="16" tilecount="256" columns="16">',
            '  <image source="../art/tiles.png" trans="ff00ff" width="256" height="256"/>',
            " </tileset>",
            ' <tileset firstgid="65536" name="flags" tilewidth="16" tileheight="16" tilecount="16" columns="16">',
            '  <image source="flags.bmp" trans="ff00ff" width="256" height="16"/>',
            " </tileset>"]
    for lid, (name, grid, base, flag) in enumerate((("layer 0", g, 0, False), ("flags 0", f0, FLAGS_GID, True),
                                                     ("layer 1", o, 0, False), ("flags 1", f1, FLAGS_GID, True)), 1):
        opacity = ' opacity="0.45"' if flag else ""
        out += [' <layer id="%d" name="%s" width="%d" height="%d"%s>' % (lid, name, w, h, opacity),
                '  <data encoding="csv">', csv(grid, base), "</data>", " </layer>"]
    oid = 1
    out.append(' <objectgroup id="5" name="portals">')
    for (c, r, dest, dx, dy, qf) in desc.portals:
        out += ['  <object id="%d" x="%d" y="%d" width="16" height="16">' % (oid, c * 16, r * 16), "   <properties>",
                prop("dest_map", dest), prop("dest_x", dx, "int"), prop("dest_y", dy, "int"),
                prop("cine", 0, "int"), prop("quest_flag", qf, "int"), "   </properties>", "  </object>"]
        oid += 1
    out += [" </objectgroup>", ' <objectgroup id="6" name="events">']
    for (c, r, etype, quest, speaker, text) in desc.events:
        out += ['  <object id="%d" x="%d" y="%d" width="16" height="16">' % (oid, c * 16, r * 16), "   <properties>",
                prop("type", etype, "int"), prop("quest", quest, "int"), prop("speaker", speaker),
                prop("text", text), prop("text2", ""), "   </properties>", "  </object>"]
        oid += 1
    out += [" </objectgroup>", ' <objectgroup id="7" name="npcs">']
    for (c, r, sprite, nid) in desc.npcs:
        out += ['  <object id="%d" x="%d" y="%d" width="16" height="16">' % (oid, c * 16, r * 16), "   <properties>",
                prop("sprite", sprite, "int"), prop("id", nid, "int"), prop("extra", 0, "int"),
                "   </properties>", "  </object>"]
        oid += 1
    out += [" </objectgroup>", "</map>", ""]
    path = os.path.join(out_dir, desc.name)
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(out))
    return path


def main(argv):
    out_dir = DEFAULT_OUT
    if len(argv) >= 2 and argv[0] == "--out":
        out_dir, argv = argv[1], argv[2:]
    paths = argv or sorted(os.path.join(HERE, "maps", n) for n in os.listdir(os.path.join(HERE, "maps"))
                           if n.endswith(".txt"))
    status = 0
    for path in paths:
        try:
            desc = parse(path)
            written = write_tmx(desc, out_dir)
            print("%-28s %3d x %-3d %2d portals %2d events %2d npcs" % (os.path.basename(written), desc.width,
                  desc.height, len(desc.portals), len(desc.events), len(desc.npcs)))
        except (DescriptionError, OSError) as e:
            print("mapgen: %s" % e, file=sys.stderr)
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
