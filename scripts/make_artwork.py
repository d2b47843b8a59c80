#!/usr/bin/python3
"""Makes the game's own artwork in images/: the title logo, the about picture and the icon;
and the desktop icons in packaging/icons/.

    scripts/make_artwork.py [output-folder [icon-folder]]
                          (default: images/ and packaging/icons/ of the repository)

Needs Pillow for Debian's own Python: apt-get install python3-pil fonts-dejavu-core
The pictures are committed; run this again only to change them.

- Title.gif: "Quadrix" in bold blocky letters on pure green (0, 255, 0), the colour the title
  screen treats as transparent. The title scales it by its line thickness / 3, so every block
  stays a crisp square.
- About.bmp: 300 x 500, what the game is, how to steer, the keys.
- Icon.bmp: 64 x 64, the logo's Q on the same green, for the window icon.
- icons/<size>.png: the logo's Q on a transparent square of 48, 64, 128 and 256 pixels, for
  the desktop's menus.
"""

import os
import sys

try:
    from PIL import Image, ImageDraw, ImageFont
except ImportError:
    sys.exit("make_artwork.py needs Pillow: apt-get install python3-pil (run it with /usr/bin/python3)")

GREEN = (0, 255, 0)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
# The title painting's panel colours, so logo and painting belong together.
BLUE = (0, 0, 255)
RED = (255, 0, 0)
YELLOW = (255, 255, 0)
GREY = (64, 64, 64)

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"

# 7 rows per letter; '#' is a block. Lower-case letters sit on the same baseline.
GLYPHS = {
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "d": ["....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "i": [".#.", "...", "##.", ".#.", ".#.", ".#.", "###"],
    "x": [".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"],
}
LETTER_COLOURS = [BLUE, RED, YELLOW, BLUE, RED, YELLOW, BLUE]


def blocky(word, block, colours, margin, shadow):
    """The word in blocks of `block` pixels: each block filled in its letter's colour, outlined
    in black, with a black shadow below right."""
    columns = sum(len(GLYPHS[c][0]) for c in word) + len(word) - 1
    width = columns * block + 2 * margin + shadow
    height = 7 * block + 2 * margin + shadow
    image = Image.new("RGB", (width, height), GREEN)
    draw = ImageDraw.Draw(image)
    blocks = []
    x0 = margin
    for letter, colour in zip(word, colours):
        glyph = GLYPHS[letter]
        for row, line in enumerate(glyph):
            for col, cell in enumerate(line):
                if cell == "#":
                    blocks.append((x0 + col * block, margin + row * block, colour))
        x0 += (len(glyph[0]) + 1) * block
    for x, y, _ in blocks:
        draw.rectangle([x + shadow, y + shadow, x + shadow + block - 1, y + shadow + block - 1], fill=BLACK)
    for x, y, colour in blocks:
        draw.rectangle([x, y, x + block - 1, y + block - 1], fill=colour, outline=BLACK, width=max(1, block // 8))
    return image


def save_gif(image, path):
    """A GIF whose palette holds the exact colours drawn, green among them."""
    colours = sorted({c for _, c in image.getcolors(256)})
    palette = Image.new("P", (1, 1))
    flat = [v for c in colours for v in c]
    palette.putpalette(flat + [0] * (768 - len(flat)))
    image.quantize(palette=palette, dither=Image.Dither.NONE).save(path)


def about(path):
    # The title crops the picture to whole cells of its grid (258 x 468 at 1920 pixels wide),
    # so everything stays inside the top-left 250 x 460.
    width, height, room = 300, 500, 250
    image = Image.new("RGB", (width, height), WHITE)
    draw = ImageDraw.Draw(image)
    bold = ImageFont.truetype(FONT_DIR + "DejaVuSans-Bold.ttf", 12)
    plain = ImageFont.truetype(FONT_DIR + "DejaVuSans.ttf", 10)

    logo = blocky("Quadrix", 4, LETTER_COLOURS, 0, 2)
    pixels = logo.load()
    for y in range(logo.height):
        for x in range(logo.width):
            if pixels[x, y] == GREEN:
                pixels[x, y] = WHITE
    image.paste(logo, ((room - logo.width) // 2, 12))

    y = 12 + logo.height + 10
    sections = [
        ("The game", [
            "Steer the little square from the start at",
            "the lower left to the goal at the upper",
            "right. Coloured walls glide along the grid",
            "and push you aside; a wall drawn over you",
            "sends you back to the start. No score, no",
            "timer: just get there.",
        ]),
        ("Steering", [
            "Arrow keys or W A S D.",
            "Mouse: a virtual stick - push it away from",
            "the centre; hold the left button to stop.",
            "The slider on the title screen sets how",
            "far to push (mouse and pad alike).",
            "Pad or joystick: sticks and d-pad.",
        ]),
        ("Keys and buttons", [
            "Escape: leave the game; on the title",
            "screen, quit (after a question).",
            "Pad buttons 7 or 8: leave the game.",
            "Triggers on the title screen: Ouch.",
        ]),
        ("Options", [
            "Ouch: the harder level of every mode.",
            "Anarchy: walls start off the grid.",
            "Solid: walls as solid blocks.",
            "Speed: faster walls.",
            "Pieces: walls stay apart, never joined.",
        ]),
    ]
    for title, lines in sections:
        draw.text((10, y), title, font=bold, fill=BLACK)
        y += 16
        for line in lines:
            assert 10 + draw.textlength(line, font=plain) <= room, line
            draw.text((10, y), line, font=plain, fill=BLACK)
            y += 13
        y += 7
    draw.text((10, y), "Click the picture to close it.", font=plain, fill=GREY)
    # Panels at the foot, as on the title painting.
    y += 20
    for i, colour in enumerate([BLUE, RED, YELLOW]):
        draw.rectangle([10 + i * 80, y, 10 + i * 80 + 70, y + 14], fill=colour, outline=BLACK, width=2)
    assert y + 14 <= 460
    image.save(path)


def icon(path):
    q = blocky("Q", 8, [BLUE], 4, 2)
    image = Image.new("RGB", (64, 64), GREEN)
    image.paste(q, ((64 - q.width) // 2, (64 - q.height) // 2))
    image.save(path)


def desktop_icon(size, path):
    # The Q's 5 x 7 blocks with their shadow fill the square's height, less a small margin.
    block = size // 8
    q = blocky("Q", block, [BLUE], 0, max(1, block // 4)).convert("RGBA")
    pixels = q.load()
    for y in range(q.height):
        for x in range(q.width):
            if pixels[x, y][:3] == GREEN:
                pixels[x, y] = (0, 0, 0, 0)
    image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    image.paste(q, ((size - q.width) // 2, (size - q.height) // 2))
    image.save(path, optimize=True)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "images")
    icons = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "packaging", "icons")
    os.makedirs(out, exist_ok=True)
    os.makedirs(icons, exist_ok=True)
    save_gif(blocky("Quadrix", 10, LETTER_COLOURS, 6, 4), os.path.join(out, "Title.gif"))
    about(os.path.join(out, "About.bmp"))
    icon(os.path.join(out, "Icon.bmp"))
    for size in (48, 64, 128, 256):
        desktop_icon(size, os.path.join(icons, "%d.png" % size))


if __name__ == "__main__":
    main()
