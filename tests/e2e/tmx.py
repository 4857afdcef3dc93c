# Small Tiled maps for the end-to-end tests, written as the map tool reads them.
# tmx(path, w, h, props, ground, overlay, objects): ground(c, r) and overlay(c, r) give
# (tile, flags) of layers 0 and 1; objects maps a group ("portals", "events", "npcs") to
# [(x, y, {property: value})]; ints and bools are written with their type.

PICTURES = {"tileset": "./data/tiles.bmp", "spriteset": "./data/npcs.bmp"}  # the build's own


def _prop(k, v):
    t = ' type="bool"' if isinstance(v, bool) else ' type="int"' if isinstance(v, int) else ""
    return '<property name="%s"%s value="%s"/>' % (k, t, str(v).lower() if isinstance(v, bool) else v)


def tmx(path, w, h, props, ground, overlay=lambda c, r: (0, 0), objects=None):
    def layer(i, name, cell):
        rows = ",\n".join(",".join(str(cell(c, r)) for c in range(w)) for r in range(h))
        return ('<layer id="%d" name="%s" width="%d" height="%d"><data encoding="csv">\n%s\n</data></layer>\n'
                % (i, name, w, h, rows))
    flag = lambda f: 65536 + f if f else 0
    s = ('<?xml version="1.0" encoding="UTF-8"?>\n<map version="1.10" orientation="orthogonal" '
         'renderorder="right-down" width="%d" height="%d" tilewidth="16" tileheight="16" infinite="0">\n' % (w, h))
    s += "<properties>" + "".join(_prop(k, v) for k, v in props.items()) + "</properties>\n"
    s += ('<tileset firstgid="1" name="tiles" tilewidth="16" tileheight="16" tilecount="256" columns="16">'
          '<image source="../art/tiles.png" width="256" height="256"/></tileset>\n'
          '<tileset firstgid="65536" name="flags" tilewidth="16" tileheight="16" tilecount="16" columns="16">'
          '<image source="flags.bmp" width="256" height="16"/></tileset>\n')
    s += layer(1, "layer 0", lambda c, r: ground(c, r)[0])
    s += layer(2, "flags 0", lambda c, r: flag(ground(c, r)[1]))
    s += layer(3, "layer 1", lambda c, r: overlay(c, r)[0])
    s += layer(4, "flags 1", lambda c, r: flag(overlay(c, r)[1]))
    for n, (group, objs) in enumerate((objects or {}).items(), 5):
        s += '<objectgroup id="%d" name="%s">\n' % (n, group)
        for k, (x, y, p) in enumerate(objs):
            s += ('<object id="%d" x="%d" y="%d" width="16" height="16"><properties>%s</properties></object>\n'
                  % (100 * n + k, x, y, "".join(_prop(a, b) for a, b in p.items())))
        s += "</objectgroup>\n"
    with open(path, "w") as f:
        f.write(s + "</map>\n")
