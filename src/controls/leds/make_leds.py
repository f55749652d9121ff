#!/usr/bin/env python3
"""Writes the fourteen LED bitmaps as XPM files beside this script.

All of them share one 16 x 16 picture in the standard 16-colour palette and differ only in the
colour of the disc. Run it once after changing the picture and commit the .xpm files; the build
only reads them.
"""

from pathlib import Path

# The standard 16-colour palette; the index is written as one hex digit per pixel.
PALETTE = [
    "000000", "800000", "008000", "808000", "000080", "800080", "008080", "C0C0C0",
    "808080", "FF0000", "00FF00", "FFFF00", "0000FF", "FF00FF", "00FFFF", "FFFFFF",
]
SILVER, GREY, WHITE = 7, 8, 15

# Resource name and disc colour, in the order of the colour enumeration.
LEDS = [
    ("BLACKLED", "000000"), ("DARKGRAYLED", "808080"),
    ("REDLED", "FF0000"), ("DARKREDLED", "800000"),
    ("GREENLED", "00FF00"), ("DARKGREENLED", "008000"),
    ("YELLOWLED", "FFFF00"), ("DARKYELLOWLED", "808000"),
    ("BLUELED", "0000FF"), ("DARKBLUELED", "000080"),
    ("PURPLELED", "FF00FF"), ("DARKPURPLELED", "800080"),
    ("CYANLED", "00FFFF"), ("DARKCYANLED", "008080"),
]

SIZE = 16
# The disc: rows 3..13, each row centred in columns 2..13.
DISC_TOP = 3
DISC_WIDTHS = [6, 8, 10, 12, 12, 12, 12, 12, 10, 8, 6]
DISC_LEFT, DISC_RIGHT = 2, 13
# The highlight: (row, first column, last column).
HIGHLIGHT = [(6, 7, 9), (7, 6, 8), (8, 6, 7), (9, 6, 6)]


def picture(disc):
    rows = [[SILVER] * SIZE for _ in range(SIZE)]
    # Raised frame: the dark bottom and right edges run the full length, so the top-right and
    # bottom-left corner pixels are grey.
    for i in range(SIZE):
        rows[0][i] = WHITE
        rows[i][0] = WHITE
    for i in range(SIZE):
        rows[SIZE - 1][i] = GREY
        rows[i][SIZE - 1] = GREY
    span = DISC_RIGHT - DISC_LEFT + 1
    for offset, width in enumerate(DISC_WIDTHS):
        first = DISC_LEFT + (span - width) // 2
        for col in range(first, first + width):
            rows[DISC_TOP + offset][col] = disc
    for row, first, last in HIGHLIGHT:
        for col in range(first, last + 1):
            rows[row][col] = WHITE
    return rows


def xpm(name, rows):
    lines = ["/* XPM */", f"static char * {name.lower()}_xpm[] = {{",
             f'"{SIZE} {SIZE} {len(PALETTE)} 1",']
    lines += [f'"{i:X} c #{rgb}",' for i, rgb in enumerate(PALETTE)]
    body = ['"' + "".join(f"{p:X}" for p in row) + '"' for row in rows]
    lines += [line + "," for line in body[:-1]] + [body[-1], "};"]
    return "\n".join(lines) + "\n"


def main():
    here = Path(__file__).resolve().parent
    for name, rgb in LEDS:
        rows = picture(PALETTE.index(rgb))
        (here / f"{name.lower()}.xpm").write_text(xpm(name, rows))


if __name__ == "__main__":
    main()
