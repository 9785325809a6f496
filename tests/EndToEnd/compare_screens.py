#!/usr/bin/env python3
"""compare_screens.py WINDOW.xwd HEADLESS.png SKIP_ROWS

Compares a capture of the real window (xwd) with the headless host's screenshot at the same
scale, below the first SKIP_ROWS rows (the status bar and its clock). Prints the share of
pixels that differ by more than a rounding step and exits 1 when the sizes differ or more than
0.1% of the pixels do: the window must draw the screen at its scale, not stretch a bitmap.
Plain Python (zlib and struct) so that no imaging package is needed.
"""
import struct
import sys
import zlib


def read_png_rgb(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG")
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            if depth != 8 or colour not in (2, 6) or body[12] != 0:
                sys.exit(f"{path}: only 8-bit non-interlaced RGB or RGBA")
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    bpp = 4 if colour == 6 else 3
    stride = width * bpp
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        if kind == 1:
            for x in range(bpp, stride):
                line[x] = (line[x] + line[x - bpp]) & 255
        elif kind == 2:
            line = bytearray((a + b) & 255 for a, b in zip(line, previous))
        elif kind == 3:
            for x in range(stride):
                left = line[x - bpp] if x >= bpp else 0
                line[x] = (line[x] + (left + previous[x]) // 2) & 255
        elif kind == 4:
            for x in range(stride):
                a = line[x - bpp] if x >= bpp else 0
                b, c = previous[x], previous[x - bpp] if x >= bpp else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        previous = line
    return width, height, [bytes(r[i] for i in range(len(r)) if i % bpp < 3) for r in rows]


def read_xwd_rgb(path):
    data = open(path, "rb").read()
    fields = struct.unpack(">25I", data[:100])
    header, width, height = fields[0], fields[4], fields[5]
    byte_order, bits, line_bytes, ncolours = fields[7], fields[11], fields[12], fields[19]
    if bits != 32:
        sys.exit(f"{path}: expected 32 bits per pixel, found {bits}")
    start = header + 12 * ncolours
    rows = []
    for y in range(height):
        line = data[start + y * line_bytes:start + y * line_bytes + width * 4]
        # TrueColor, 0x00RRGGBB: least significant byte first is B, G, R, pad.
        if byte_order == 0:
            rows.append(bytes(v for x in range(width) for v in (line[4 * x + 2], line[4 * x + 1], line[4 * x])))
        else:
            rows.append(bytes(v for x in range(width) for v in (line[4 * x + 1], line[4 * x + 2], line[4 * x + 3])))
    return width, height, rows


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    window, headless, skip = sys.argv[1], sys.argv[2], int(sys.argv[3])
    ww, wh, wrows = read_xwd_rgb(window)
    hw, hh, hrows = read_png_rgb(headless)
    if (ww, wh) != (hw, hh):
        print(f"compare_screens: the window is {ww} x {wh}, the headless screen {hw} x {hh}")
        return 1
    differing = 0
    for y in range(skip, wh):
        a, b = wrows[y], hrows[y]
        if a != b:
            differing += sum(1 for x in range(ww) if max(abs(a[3 * x + i] - b[3 * x + i]) for i in range(3)) > 2)
    share = differing / (ww * (wh - skip))
    print(f"compare_screens: {differing} of {ww * (wh - skip)} pixels differ ({share:.4%})")
    return 1 if share > 0.001 else 0


if __name__ == "__main__":
    sys.exit(main())
