#!/usr/bin/env python3
"""Draws Tamberlinox's icons and writes them to resources/.

    python3 tools/make_images.py [output-folder]

Standard library only. The output is committed, so the build never runs this;
run it again after changing an icon here. The drawing is deterministic: the
same script always writes the same bytes.

  main.ico   16 colours, 32x32 first, then 16, 20, 24 and 48 pixels: a
             monitor whose screen is an eye (the main window and the tray
             icon, which takes the size the taskbar shows at the screen's DPI:
             16 at 96 dpi, 20 at 120, 24 at 144, 32 at 192, 48 at 288)
  forms.ico  16 colours, 32x32 first, then 16, 20 and 24 pixels: a small
             window with an eye and a key (the hot key dialog and the About
             window; their title bars' icons at 96, 120, 144 and 192 dpi)

Each size is drawn from the same shapes at that size, so that no image is a
scaled copy of another.

The About window's two pictures are not stored in the program: it draws them
when the window opens (platform/win32/Pictures.cpp), which costs a few
kilobytes of code instead of some 450 KB of 24-bit bitmaps.
"""

import os
import struct
import sys

# The standard 16-colour palette, as (r, g, b).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GRAY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)


# ----------------------------------------------------------------- shapes
# Each shape is a predicate on a point in a unit square (0..1, y down), so one
# drawing serves every icon size.

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def eye(cx, cy, half_width, half_height):
    """The lens between two circular arcs: pointed at the left and right ends."""
    # A circle through (cx +- half_width, cy) and (cx, cy - half_height).
    r = (half_width ** 2 + half_height ** 2) / (2 * half_height)
    d = r - half_height
    upper = (cx, cy + d)
    lower = (cx, cy - d)
    return lambda x, y: ((x - upper[0]) ** 2 + (y - upper[1]) ** 2 <= r * r
                         and (x - lower[0]) ** 2 + (y - lower[1]) ** 2 <= r * r)


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def outline(shape, width):
    """The ring of a shape: inside it, but not inside it shrunk by width."""
    def inside(x, y):
        if not shape(x, y):
            return False
        return not all(shape(x + dx * width, y + dy * width)
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1), (0.7, 0.7), (-0.7, -0.7),
                                      (0.7, -0.7), (-0.7, 0.7)))
    return inside


# ------------------------------------------------------------------ icons

def render_icon(layers, size):
    """layers: (shape, palette index) pairs, painted in order. Returns rows of
    palette indices, None for transparent pixels."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            x = (px + 0.5) / size
            y = (py + 0.5) / size
            colour = None
            for shape, index in layers:
                if shape(x, y):
                    colour = index
            row.append(colour)
        rows.append(row)
    return rows


def main_icon_layers():
    """A monitor on a stand; its screen holds an open eye."""
    return [
        (polygon([(0.40, 0.76), (0.60, 0.76), (0.66, 0.90), (0.34, 0.90)]), GRAY),   # neck
        (rounded_rect(0.22, 0.88, 0.78, 0.97, 0.03), SILVER),                        # foot
        (rect(0.22, 0.94, 0.78, 0.97), GRAY),
        (rounded_rect(0.03, 0.06, 0.97, 0.80, 0.06), GRAY),                          # bezel
        (rounded_rect(0.05, 0.08, 0.95, 0.76, 0.05), SILVER),
        (rect(0.11, 0.14, 0.89, 0.70), NAVY),                                        # screen
        (rect(0.11, 0.14, 0.89, 0.34), BLUE),
        (eye(0.50, 0.42, 0.34, 0.20), WHITE),                                        # the eye
        (outline(eye(0.50, 0.42, 0.34, 0.20), 0.035), BLACK),
        (ellipse(0.50, 0.42, 0.13, 0.13), TEAL),                                     # iris
        (ellipse(0.50, 0.42, 0.07, 0.07), BLACK),                                    # pupil
        (ellipse(0.46, 0.38, 0.03, 0.03), WHITE),                                    # glint
        (rect(0.72, 0.71, 0.80, 0.74), LIME),                                        # power light
    ]


def forms_icon_layers():
    """A small window with an eye in it, and a golden key across its corner."""
    key_bow = ellipse(0.74, 0.72, 0.16, 0.16)
    key_hole = ellipse(0.74, 0.72, 0.06, 0.06)
    shaft = polygon([(0.10, 0.90), (0.06, 0.86), (0.62, 0.62), (0.66, 0.68)])
    bit1 = polygon([(0.18, 0.84), (0.24, 0.82), (0.30, 0.96), (0.24, 0.98)])
    bit2 = polygon([(0.30, 0.79), (0.36, 0.77), (0.40, 0.88), (0.34, 0.90)])
    return [
        (rect(0.06, 0.06, 0.94, 0.84), GRAY),                                       # shadow
        (rect(0.03, 0.03, 0.91, 0.81), BLACK),                                      # frame
        (rect(0.05, 0.05, 0.89, 0.79), SILVER),                                     # body
        (rect(0.05, 0.05, 0.89, 0.20), NAVY),                                       # title bar
        (rect(0.77, 0.09, 0.85, 0.17), SILVER),                                     # close box
        (eye(0.47, 0.48, 0.30, 0.17), WHITE),
        (outline(eye(0.47, 0.48, 0.30, 0.17), 0.035), BLACK),
        (ellipse(0.47, 0.48, 0.11, 0.11), PURPLE),
        (ellipse(0.47, 0.48, 0.055, 0.055), BLACK),
        (shaft, OLIVE), (bit1, OLIVE), (bit2, OLIVE),                               # key
        (key_bow, OLIVE),
        (ellipse(0.74, 0.72, 0.13, 0.13), YELLOW),
        (key_hole, OLIVE),
        (polygon([(0.11, 0.87), (0.09, 0.85), (0.61, 0.64), (0.63, 0.66)]), YELLOW),
    ]


def icon_image(rows):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit colour rows, 1-bit mask."""
    size = len(rows)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, colour in enumerate(row):
            index = 0 if colour is None else colour
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if colour is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def write_icon(path, layers, sizes=(32, 16)):
    images = [(size, icon_image(render_icon(layers, size))) for size in sizes]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'resources')
    os.makedirs(out, exist_ok=True)
    write_icon(os.path.join(out, 'main.ico'), main_icon_layers(), (32, 16, 20, 24, 48))
    write_icon(os.path.join(out, 'forms.ico'), forms_icon_layers(), (32, 16, 20, 24))


if __name__ == '__main__':
    main()
