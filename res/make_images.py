#!/usr/bin/env python3
"""Draws Kestaro's icon (32x32 and 16x16, 16 colours) and the version-box
bitmap (32x32, 16 colours): a lottery ball. Run it here to remake
kestaro.ico and kestaro.bmp."""
import struct

# The standard Windows 16-colour palette, as RGBQUAD (blue, green, red, 0).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_BLUE, DARK_CYAN, RED, WHITE = 0, 4, 6, 9, 15


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def ball(size):
    """Rows top to bottom of palette indexes; None outside the ball."""
    centre = (size - 1) / 2
    radius = size / 2 - 0.5
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            d = ((x - centre) ** 2 + (y - centre) ** 2) ** 0.5
            if d > radius:
                row.append(None)
            elif d > radius - size / 16:
                row.append(DARK_BLUE)
            elif d < radius * 0.45:
                row.append(RED)
            else:
                row.append(WHITE)
        rows.append(row)
    # A highlight on the upper left of the ball.
    h = size // 4
    rows[h][h] = rows[h][h + 1] = rows[h + 1][h] = WHITE if size > 16 else rows[h][h]
    return rows


def pack_4bit(rows, surround):
    out = b""
    for row in reversed(rows):  # bottom-up
        values = [surround if v is None else v for v in row]
        line = bytes((values[i] << 4) | values[i + 1] for i in range(0, len(values), 2))
        out += line + b"\0" * (-len(line) % 4)
    return out


def pack_mask(rows):
    out = b""
    for row in reversed(rows):
        bits = 0
        for v in row:
            bits = (bits << 1) | (1 if v is None else 0)
        line = bits.to_bytes(len(row) // 8, "big")
        out += line + b"\0" * (-len(line) % 4)
    return out


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 0, 0)


def icon_image(size):
    rows = ball(size)
    colour, mask = pack_4bit(rows, BLACK), pack_mask(rows)
    return info_header(size, size * 2, len(colour) + len(mask)) + palette_bytes() + colour + mask


def write_icon(path):
    images = [icon_image(32), icon_image(16)]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, image in zip((32, 16), images):
        directory += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(directory + b"".join(images))
    assert [len(i) for i in images] == [744, 296]


def write_bitmap(path):
    pixels = pack_4bit(ball(32), DARK_CYAN)
    dib = info_header(32, 32, len(pixels)) + palette_bytes() + pixels
    assert len(dib) == 616
    header = struct.pack("<2sIHHI", b"BM", 14 + len(dib), 0, 0, 14 + 40 + 64)
    with open(path, "wb") as f:
        f.write(header + dib)


if __name__ == "__main__":
    write_icon("kestaro.ico")
    write_bitmap("kestaro.bmp")
