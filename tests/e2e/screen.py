"""Reads pixel colours of a window from a screenshot, without extra packages.

ImageMagick's import writes the window as a binary PPM on stdout; that format
is a short text header followed by raw RGB bytes.
"""

import subprocess

# Twips of the main window's layout; 15 twips to a pixel at 96 dpi.
TWIPS_PER_PX = 15


def px(twips):
    return round(twips / TWIPS_PER_PX)


class Image:
    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])


def parse_ppm(blob):
    fields, pos = [], 0
    while len(fields) < 4:
        while blob[pos:pos + 1].isspace():
            pos += 1
        if blob[pos:pos + 1] == b"#":
            pos = blob.index(b"\n", pos) + 1
            continue
        end = pos
        while not blob[end:end + 1].isspace():
            end += 1
        fields.append(blob[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError("not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    data = blob[pos + 1:pos + 1 + width * height * 3]
    return Image(width, height, data)


def grab(display, wid):
    out = subprocess.run(["import", "-display", display, "-window", str(wid),
                          "-depth", "8", "ppm:-"],
                         check=True, capture_output=True, timeout=20).stdout
    return parse_ppm(out)


def bgr_to_rgb(value):
    """A 0x00BBGGRR colour integer as an (r, g, b) tuple."""
    return (value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF)
