#!/usr/bin/env python3
"""Small PNG steps for the artwork, standard library only.

  flatten IN OUT          hard mask: alpha >= 128 keeps the pixel's own colour, the rest becomes
                          the toolbar's mask colour (252,108,108); no edge blends into it
  palette16 IN OUT        a flattened strip mapped to the nearest colours of the 16-colour
                          Windows palette, the mask colour kept as a 17th palette entry
  on-white IN OUT         composites over white and drops the alpha channel
  size FILE               prints WIDTHxHEIGHT from the IHDR chunk
"""
import struct
import sys
import zlib

MASK = (252, 108, 108)
WINDOWS_16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def read_png(path):
    """Returns (width, height, rows) with rows of (r, g, b, a) tuples; 8-bit images only."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG")
    pos, idat, header, palette = 8, b"", None, None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 3, 6) or interlace:
        raise ValueError(f"{path}: only 8-bit, non-interlaced RGB, RGBA or palette is read here")
    channels = {2: 3, 3: 1, 6: 4}[colour]
    stride = width * channels
    raw = zlib.decompress(idat)
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + ((left + up) >> 1)) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                predictor = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                line[i] = (line[i] + predictor) & 255
        previous = line
        pixels = []
        for x in range(width):
            px = tuple(line[x * channels:(x + 1) * channels])
            if colour == 3:
                px = palette[px[0]]
            pixels.append(px if channels == 4 else px + (255,))
        rows.append(pixels)
    return width, height, rows


def _chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def write_png(path, width, height, rows, palette=None):
    """rows: (r, g, b) tuples, or palette indexes when a palette is given."""
    colour = 3 if palette else 2
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for px in row:
            if palette:
                raw.append(px)
            else:
                raw.extend(px[:3])
    out = b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8,
                                                              colour, 0, 0, 0))
    if palette:
        out += _chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    out += _chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + _chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(out)


def flatten(rows):
    flat, nudged = [], 0
    for row in rows:
        out = []
        for r, g, b, a in row:
            if a < 128:
                out.append(MASK)
            elif (r, g, b) == MASK:
                # Drawn pixels must never read as transparent.
                nudged += 1
                out.append((250, 108, 108))
            else:
                out.append((r, g, b))
        flat.append(out)
    if nudged:
        print(f"note: {nudged} drawn pixel(s) had the mask colour and were nudged", file=sys.stderr)
    return flat


def nearest(colour, choices):
    r, g, b = colour
    return min(range(len(choices)), key=lambda i: 3 * (r - choices[i][0]) ** 2 +
               4 * (g - choices[i][1]) ** 2 + 2 * (b - choices[i][2]) ** 2)


def palette16(rows):
    palette = WINDOWS_16 + [MASK]
    out = []
    for row in rows:
        line = []
        for r, g, b, _ in row:
            line.append(len(WINDOWS_16) if (r, g, b) == MASK else nearest((r, g, b), WINDOWS_16))
        out.append(line)
    return palette, out


def on_white(rows):
    return [[tuple((c * a + 255 * (255 - a) + 127) // 255 for c in (r, g, b))
             for r, g, b, a in row] for row in rows]


def main(argv):
    if len(argv) == 2 and argv[0] == "size":
        with open(argv[1], "rb") as f:
            head = f.read(24)
        print("%dx%d" % struct.unpack(">II", head[16:24]))
        return 0
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    step, src, dst = argv
    width, height, rows = read_png(src)
    if step == "flatten":
        write_png(dst, width, height, flatten(rows))
    elif step == "palette16":
        palette, indexed = palette16(rows)
        write_png(dst, width, height, indexed, palette)
    elif step == "on-white":
        write_png(dst, width, height, on_white(rows))
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
