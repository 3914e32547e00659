#!/usr/bin/env python3
"""Writes src/win32/app.ico: an identity card, 32x32 and 16x16, 16 colours each."""
import struct
import sys

# The standard 16-colour palette (R, G, B).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, GREY, YELLOW, BLUE, WHITE = 0, 4, 8, 11, 12, 15


def card(size):
    """Pixels of a card: a navy frame, a blue band, a photo square and text lines."""
    s = size / 32
    px = [[None] * size for _ in range(size)]

    def box(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = colour

    box(1, 5, 31, 27, NAVY)
    box(2, 6, 30, 26, WHITE)
    box(2, 6, 30, 11, BLUE)
    box(4, 13, 12, 23, GREY)
    box(6, 14, 10, 18, YELLOW)
    for top in (14, 18, 22):
        box(14, top, 28, top + 2, BLACK)
    return px


def image(size):
    px = card(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor = bytearray()
    and_mask = bytearray()
    mask_row = ((size + 31) // 32) * 4
    for y in reversed(range(size)):
        row = px[y]
        for x in range(0, size, 2):
            hi, lo = row[x] or 0, row[x + 1] or 0
            xor.append((hi << 4) | lo)
        bits = bytearray(mask_row)
        for x in range(size):
            if row[x] is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_mask += bits
    return header + palette + bytes(xor) + bytes(and_mask)


def main(path):
    images = [image(32), image(16)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'src/win32/app.ico')
