"""Reading and writing PNG pictures with the standard library only (no imaging package needed)."""
import struct
import zlib


class Image:
    """A picture of RGB triples, row-major; pixels outside the picture are ignored on write."""

    def __init__(self, w, h, fill=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [fill] * (w * h)

    def get(self, x, y):
        if 0 <= x < self.w and 0 <= y < self.h:
            return self.px[y * self.w + x]
        return None

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = c

    def rect(self, x0, y0, x1, y1, c):
        """Fill the rectangle with corners (x0, y0) and (x1, y1), both inclusive."""
        for y in range(max(0, y0), min(self.h, y1 + 1)):
            row = y * self.w
            for x in range(max(0, x0), min(self.w, x1 + 1)):
                self.px[row + x] = c

    def blit(self, src, dx, dy, mask=None):
        """Copy src to (dx, dy); pixels equal to mask are skipped."""
        for y in range(src.h):
            for x in range(src.w):
                c = src.px[y * src.w + x]
                if c != mask:
                    self.set(dx + x, dy + y, c)

    def crop(self, x0, y0, w, h):
        out = Image(w, h)
        for y in range(h):
            for x in range(w):
                out.px[y * w + x] = self.get(x0 + x, y0 + y) or (0, 0, 0)
        return out

    def mirrored(self):
        out = Image(self.w, self.h)
        for y in range(self.h):
            for x in range(self.w):
                out.px[y * self.w + x] = self.px[y * self.w + self.w - 1 - x]
        return out


def _chunk(kind, data):
    c = kind + data
    return struct.pack(">I", len(data)) + c + struct.pack(">I", zlib.crc32(c) & 0xFFFFFFFF)


def write_png(path, img):
    """Indexed PNG (palette kept for editors) when 256 colours suffice, else 24-bit RGB."""
    colours = sorted(set(img.px))
    raw = bytearray()
    if len(colours) <= 256:
        index = {c: i for i, c in enumerate(colours)}
        for y in range(img.h):
            raw.append(0)
            raw.extend(index[c] for c in img.px[y * img.w:(y + 1) * img.w])
        ihdr = struct.pack(">IIBBBBB", img.w, img.h, 8, 3, 0, 0, 0)
        plte = b"".join(bytes(c) for c in colours)
        body = _chunk(b"IHDR", ihdr) + _chunk(b"PLTE", plte)
    else:
        for y in range(img.h):
            raw.append(0)
            for c in img.px[y * img.w:(y + 1) * img.w]:
                raw.extend(c)
        ihdr = struct.pack(">IIBBBBB", img.w, img.h, 8, 2, 0, 0, 0)
        body = _chunk(b"IHDR", ihdr)
    body += _chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + _chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + body)


def read_png(path):
    """Reads non-interlaced PNGs: indexed (1-8 bits), grey, RGB or RGBA at 8 bits per channel."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(path + ": not a PNG file")
    pos, idat, plte = 8, b"", None
    w = h = ctype = 0
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        pos += 12 + n
        if kind == b"IHDR":
            w, h, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if interlace or (depth != 8 and ctype != 3) or depth not in (1, 2, 4, 8):
                raise ValueError(path + ": only non-interlaced 8-bit (or indexed) PNGs are supported")
        elif kind == b"PLTE":
            plte = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"IDAT":
            idat += body
    if ctype not in (0, 2, 3, 6):
        raise ValueError(path + ": unsupported PNG colour type %d" % ctype)
    bpp = {2: 3, 3: 1, 6: 4, 0: 1}[ctype]
    raw = zlib.decompress(idat)
    stride = w * bpp if depth == 8 else (w * depth + 7) // 8
    prev = bytearray(stride)
    img = Image(w, h)
    p = 0
    for y in range(h):
        ft = raw[p]
        line = bytearray(raw[p + 1:p + 1 + stride])
        p += 1 + stride
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if ft == 1:
                line[i] = (line[i] + a) & 255
            elif ft == 2:
                line[i] = (line[i] + b) & 255
            elif ft == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif ft == 4:
                pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                pr = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pr) & 255
        if depth < 8:
            per = 8 // depth
            idx = [(line[x // per] >> (8 - depth * (x % per + 1))) & ((1 << depth) - 1) for x in range(w)]
        for x in range(w):
            if ctype == 3:
                img.px[y * w + x] = plte[idx[x] if depth < 8 else line[x]]
            elif ctype == 0:
                v = line[x]
                img.px[y * w + x] = (v, v, v)
            else:
                img.px[y * w + x] = tuple(line[x * bpp:x * bpp + 3])
        prev = line
    return img
