#!/usr/bin/python3
"""Draws the window's pictures (title, panel emblem, side strips, button and
window icons) into this folder.

Everything is drawn here from gradients, lines and text set in the free
DejaVu Serif and Lohit Devanagari fonts; the noise of the paper texture comes
from a fixed seed, so a rerun gives the same pictures. The PNG files are kept
in the repository; run this only to redraw them.

usage: make_pictures.py [--out DIR] [--serif DejaVuSerif.ttf] [--devanagari Lohit-Devanagari.ttf]
"""

import argparse
import math
import os
import random

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

DARK_RED = (125, 0, 0)
DEEP_RED = (92, 0, 0)
BRIGHT_RED = (176, 24, 24)
GOLD = (178, 134, 52)
PALE_GOLD = (214, 178, 102)
INK = (58, 30, 16)
PARCHMENT_LIGHT = (248, 238, 210)
PARCHMENT_DARK = (224, 202, 156)
GREY = (192, 192, 192)
GREY_DARK = (128, 128, 128)
WHITE = (255, 255, 255)

SERIF = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"
SERIF_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"
SERIF_ITALIC = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Italic.ttf"
SANS_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
DEVANAGARI = "/usr/share/fonts/truetype/lohit-devanagari/Lohit-Devanagari.ttf"

# Drawn larger and scaled down, so thin lines and small text stay smooth.
SUPERSAMPLE = 4


def font(path, size, devanagari=False):
    if devanagari:
        # Conjuncts and the vowel signs need complex shaping.
        return ImageFont.truetype(path, size, layout_engine=ImageFont.Layout.RAQM)
    return ImageFont.truetype(path, size)


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def parchment(width, height, seed, light=PARCHMENT_LIGHT, dark=PARCHMENT_DARK):
    """Warm paper: a soft radial gradient, faint fibres and darker edges."""
    image = Image.new("RGB", (width, height))
    pixels = image.load()
    cx, cy = width / 2.0, height / 2.0
    reach = math.hypot(cx, cy)
    for y in range(height):
        for x in range(width):
            d = math.hypot((x - cx) * 1.0, (y - cy) * 1.25) / reach
            pixels[x, y] = lerp(light, dark, min(1.0, d ** 1.8))
    rng = random.Random(seed)
    grain = Image.new("L", (width, height), 128)
    gpix = grain.load()
    for y in range(height):
        for x in range(width):
            gpix[x, y] = 128 + int(rng.gauss(0, 7))
    grain = grain.filter(ImageFilter.GaussianBlur(0.8))
    fibres = Image.new("L", (width, height), 0)
    fdraw = ImageDraw.Draw(fibres)
    for _ in range(width * height // 900):
        x, y = rng.uniform(0, width), rng.uniform(0, height)
        angle = rng.uniform(-0.4, 0.4)
        length = rng.uniform(6, 24)
        fdraw.line([(x, y), (x + length * math.cos(angle), y + length * math.sin(angle))],
                   fill=rng.randint(10, 26))
    fibres = fibres.filter(ImageFilter.GaussianBlur(0.6))
    shade = Image.merge("RGB", [grain] * 3)
    image = ImageChops.overlay(image, shade)
    brown = Image.new("RGB", (width, height), (150, 110, 60))
    image = Image.composite(brown, image, fibres)
    return image


def text_size(draw, text, face):
    box = draw.textbbox((0, 0), text, font=face)
    return box[2] - box[0], box[3] - box[1], box


def centred_text(draw, cx, cy, text, face, fill, shadow=None):
    w, h, box = text_size(draw, text, face)
    x = cx - w / 2 - box[0]
    y = cy - h / 2 - box[1]
    if shadow:
        draw.text((x + shadow[0], y + shadow[1]), text, font=face, fill=shadow[2])
    draw.text((x, y), text, font=face, fill=fill)


def diamond(draw, cx, cy, r, fill, outline=None):
    draw.polygon([(cx, cy - r), (cx + r, cy), (cx, cy + r), (cx - r, cy)], fill=fill,
                 outline=outline)


def lotus(draw, cx, cy, r, fill, inner):
    """A small eight-petalled rosette, the ornament of the corners and dividers."""
    for i in range(8):
        a = i * math.pi / 4
        px, py = cx + r * 0.55 * math.cos(a), cy + r * 0.55 * math.sin(a)
        draw.ellipse([px - r * 0.45, py - r * 0.45, px + r * 0.45, py + r * 0.45], fill=fill)
    draw.ellipse([cx - r * 0.42, cy - r * 0.42, cx + r * 0.42, cy + r * 0.42], fill=inner)
    draw.ellipse([cx - r * 0.2, cy - r * 0.2, cx + r * 0.2, cy + r * 0.2], fill=fill)


def divider(draw, cx, cy, half, colour, s):
    """A rule with a rosette in the middle and diamonds at its tapering ends."""
    for side in (-1, 1):
        x0 = cx + side * 22 * s
        x1 = cx + side * half
        draw.line([(x0, cy), (x1, cy)], fill=colour, width=max(1, int(2 * s)))
        draw.line([(x0, cy - 5 * s), (x1 - side * 40 * s, cy - 5 * s)], fill=colour,
                  width=max(1, int(s)))
        draw.line([(x0, cy + 5 * s), (x1 - side * 40 * s, cy + 5 * s)], fill=colour,
                  width=max(1, int(s)))
        diamond(draw, x1, cy, 6 * s, colour)
    lotus(draw, cx, cy, 16 * s, colour, PARCHMENT_LIGHT)


def frame(draw, width, height, s, outer=DARK_RED, band=14, corner=True):
    """The dark-red band with a gold rule inside, and rosettes in the corners."""
    b = band * s
    draw.rectangle([0, 0, width - 1, height - 1], outline=outer, width=int(b))
    draw.rectangle([b + 3 * s, b + 3 * s, width - 1 - b - 3 * s, height - 1 - b - 3 * s],
                   outline=GOLD, width=max(1, int(2 * s)))
    draw.rectangle([b + 8 * s, b + 8 * s, width - 1 - b - 8 * s, height - 1 - b - 8 * s],
                   outline=DARK_RED, width=max(1, int(s)))
    draw.rectangle([3 * s, 3 * s, width - 1 - 3 * s, height - 1 - 3 * s], outline=PALE_GOLD,
                   width=max(1, int(s)))
    if corner:
        for cx in (b + 8 * s, width - 1 - b - 8 * s):
            for cy in (b + 8 * s, height - 1 - b - 8 * s):
                diamond(draw, cx, cy, 13 * s, PARCHMENT_LIGHT, outline=None)
                lotus(draw, cx, cy, 11 * s, DARK_RED, PARCHMENT_LIGHT)


def shrink(image, width, height):
    return image.resize((width, height), Image.LANCZOS)


def draw_title(out, fonts):
    W, H, s = 827, 565, SUPERSAMPLE
    paper = parchment(W, H, seed=1).resize((W * s, H * s), Image.BICUBIC)
    draw = ImageDraw.Draw(paper)
    frame(draw, W * s, H * s, s)
    cx = W * s / 2
    # Sanskrit heading: the work the corpus holds.
    deva = font(fonts.devanagari, 46 * s, devanagari=True)
    centred_text(draw, cx, 78 * s, "॥ अष्टाध्यायी ॥", deva, DARK_RED)
    divider(draw, cx, 128 * s, 250 * s, GOLD, s)
    # The program's name.
    title_face = font(fonts.serif_bold, 76 * s)
    centred_text(draw, cx, 205 * s, "Vyakorsutravali", title_face, DARK_RED,
                 shadow=(3 * s, 3 * s, (200, 170, 120)))
    sub = font(fonts.serif_italic, 25 * s)
    centred_text(draw, cx, 268 * s, "the sūtras of Pāṇini’s Aṣṭādhyāyī", sub, INK)
    divider(draw, cx, 312 * s, 300 * s, DARK_RED, s)
    # The grammarian, and the two later orders the reader offers.
    deva_big = font(fonts.devanagari, 40 * s, devanagari=True)
    centred_text(draw, cx, 362 * s, "पाणिनि", deva_big, DEEP_RED)
    small = font(fonts.serif, 19 * s)
    centred_text(draw, cx, 418 * s, "with the orders of the Siddhānta Kaumudī", small, INK)
    centred_text(draw, cx, 446 * s, "and of the Laghu Kaumudī", small, INK)
    deva_small = font(fonts.devanagari, 24 * s, devanagari=True)
    centred_text(draw, cx, 494 * s, "सिद्धान्तकौमुदी  ·  लघुकौमुदी", deva_small, DARK_RED)
    shrink(paper, W, H).save(os.path.join(out, "title.png"), optimize=True)


def draw_panel(out, fonts):
    W, H, s = 72, 62, SUPERSAMPLE * 2
    paper = parchment(W, H, seed=2).resize((W * s, H * s), Image.BICUBIC)
    draw = ImageDraw.Draw(paper)
    draw.rectangle([0, 0, W * s - 1, H * s - 1], outline=DARK_RED, width=4 * s)
    draw.rectangle([6 * s, 6 * s, W * s - 1 - 6 * s, H * s - 1 - 6 * s], outline=GOLD,
                   width=s)
    for cx in (6 * s, W * s - 1 - 6 * s):
        for cy in (6 * s, H * s - 1 - 6 * s):
            diamond(draw, cx, cy, 3.2 * s, DARK_RED)
    # "vyā", the first syllable of vyākaraṇa, grammar.
    deva = font(fonts.devanagari, 30 * s, devanagari=True)
    centred_text(draw, W * s / 2, H * s / 2 + 1 * s, "व्या", deva, DARK_RED,
                 shadow=(s, s, (205, 175, 125)))
    shrink(paper, W, H).save(os.path.join(out, "panel.png"), optimize=True)


SIDE_STRIPS = [
    # file, height, Latin name, Devanagari name, initial, paper tint, seed
    ("side_astadhyayi.png", 635, "Aṣṭādhyāyī", "अष्टाध्यायी", "१", (248, 238, 210), 3),
    ("side_siddhanta.png", 630, "Siddhānta Kaumudī", "सिद्धान्तकौमुदी", "२", (246, 230, 214), 4),
    ("side_laghu.png", 634, "Laghu Kaumudī", "लघुकौमुदी", "३", (238, 236, 220), 5),
]


def rotated_text(text, face, fill, s, shadow=None):
    """The text on its own transparent layer, turned to read from bottom to top."""
    probe = ImageDraw.Draw(Image.new("RGBA", (1, 1)))
    w, h, box = text_size(probe, text, face)
    pad = 4 * s
    layer = Image.new("RGBA", (w + 2 * pad, h + 2 * pad), (0, 0, 0, 0))
    draw = ImageDraw.Draw(layer)
    if shadow:
        draw.text((pad - box[0] + shadow[0], pad - box[1] + shadow[1]), text, font=face,
                  fill=shadow[2])
    draw.text((pad - box[0], pad - box[1]), text, font=face, fill=fill)
    return layer.rotate(90, expand=True)


def fit_font(path, text, limit, start, devanagari=False):
    probe = ImageDraw.Draw(Image.new("RGB", (1, 1)))
    size = start
    while size > 8:
        face = font(path, size, devanagari=devanagari)
        if text_size(probe, text, face)[0] <= limit:
            return face
        size -= 1
    return font(path, size, devanagari=devanagari)


def draw_side(out, fonts, name, height, latin, deva_name, numeral, tint, seed):
    W, H, s = 78, height, SUPERSAMPLE
    paper = parchment(W, H, seed=seed, light=tint).resize((W * s, H * s), Image.BICUBIC)
    draw = ImageDraw.Draw(paper)
    w, h = W * s, H * s
    draw.rectangle([0, 0, w - 1, h - 1], outline=DARK_RED, width=6 * s)
    draw.rectangle([9 * s, 9 * s, w - 1 - 9 * s, h - 1 - 9 * s], outline=GOLD, width=s)
    # Roundel with the order's Devanagari numeral at the top.
    cx, cy, r = w / 2, 44 * s, 25 * s
    draw.ellipse([cx - r, cy - r, cx + r, cy + r], fill=DARK_RED)
    draw.ellipse([cx - r + 3 * s, cy - r + 3 * s, cx + r - 3 * s, cy + r - 3 * s],
                 outline=PALE_GOLD, width=s)
    centred_text(draw, cx, cy + 2 * s, numeral,
                 font(fonts.devanagari, 30 * s, devanagari=True), PARCHMENT_LIGHT)
    # The Latin name fills the upper run of the strip, the Devanagari the lower.
    top, bottom = 84 * s, h - 56 * s
    split = top + (bottom - top) * 0.60
    latin_face = fit_font(fonts.serif_bold, latin, split - top - 40 * s, 34 * s)
    layer = rotated_text(latin, latin_face, DARK_RED, s, shadow=(2 * s, 2 * s, (205, 175, 125)))
    paper.paste(layer, (int(cx - layer.width / 2), int((top + split) / 2 - layer.height / 2)),
                layer)
    draw = ImageDraw.Draw(paper)
    diamond(draw, cx, split + 4 * s, 6 * s, GOLD)
    draw.line([(cx, split - 14 * s), (cx, split - 4 * s)], fill=GOLD, width=s)
    draw.line([(cx, split + 12 * s), (cx, split + 22 * s)], fill=GOLD, width=s)
    deva_face = fit_font(fonts.devanagari, deva_name, bottom - split - 40 * s, 30 * s,
                         devanagari=True)
    layer = rotated_text(deva_name, deva_face, DEEP_RED, s)
    paper.paste(layer, (int(cx - layer.width / 2),
                        int((split + 24 * s + bottom) / 2 - layer.height / 2)), layer)
    draw = ImageDraw.Draw(paper)
    lotus(draw, cx, h - 34 * s, 13 * s, DARK_RED, tint)
    shrink(paper, W, H).save(os.path.join(out, name), optimize=True)


def octagon(cx, cy, r):
    return [(cx + r * math.cos(math.pi / 8 + i * math.pi / 4),
             cy + r * math.sin(math.pi / 8 + i * math.pi / 4)) for i in range(8)]


def draw_terminate(out, fonts, pressed):
    W, s = 32, SUPERSAMPLE * 4
    size = W * s
    image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    shift = 1.2 * s if pressed else 0
    cx = cy = size / 2 + shift
    outer = 15.2 * s if not pressed else 14.6 * s
    if not pressed:
        draw.polygon(octagon(cx + 1.0 * s, cy + 1.2 * s, outer), fill=(0, 0, 0, 90))
    draw.polygon(octagon(cx, cy, outer), fill=WHITE + (255,))
    face_red = (150, 10, 10) if pressed else (200, 22, 22)
    draw.polygon(octagon(cx, cy, outer - 1.6 * s), fill=face_red + (255,))
    # A lighter upper half when raised, a darker one when pressed in.
    sheen = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    sdraw = ImageDraw.Draw(sheen)
    sdraw.polygon(octagon(cx, cy, outer - 1.6 * s),
                  fill=(0, 0, 0, 60) if pressed else (255, 255, 255, 46))
    mask = Image.new("L", (size, size), 0)
    ImageDraw.Draw(mask).rectangle([0, 0, size, cy], fill=255)
    image.alpha_composite(Image.composite(sheen, Image.new("RGBA", (size, size)), mask))
    draw = ImageDraw.Draw(image)
    draw.polygon(octagon(cx, cy, outer - 2.6 * s), outline=(255, 255, 255, 200))
    face = fit_font(fonts.sans_bold, "STOP", 22 * s, 10 * s)
    centred_text(draw, cx, cy, "STOP", face, WHITE + (255,))
    name = "terminate_down.png" if pressed else "terminate.png"
    shrink(image, W, W).save(os.path.join(out, name), optimize=True)


def draw_app_icon(out, fonts):
    """A palm-leaf manuscript between its boards on a dark-red tile: the window icon."""
    W, s = 64, SUPERSAMPLE * 2
    size = W * s
    image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle([1 * s, 1 * s, size - 1 - 1 * s, size - 1 - 1 * s], radius=12 * s,
                           fill=DARK_RED + (255,), outline=DEEP_RED + (255,), width=s)
    draw.rounded_rectangle([4 * s, 4 * s, size - 1 - 4 * s, size - 1 - 4 * s], radius=9 * s,
                           outline=PALE_GOLD + (255,), width=s)
    cy = size / 2 - 4 * s
    # The wooden board under the leaves.
    draw.rounded_rectangle([7 * s, cy + 2 * s, size - 1 - 7 * s, cy + 16 * s], radius=5 * s,
                           fill=(96, 52, 22, 255), outline=(60, 30, 10, 255), width=s // 2)
    # A lower leaf peeking out, then the leaf with the writing.
    draw.rounded_rectangle([8 * s, cy - 6 * s, size - 1 - 8 * s, cy + 10 * s], radius=7 * s,
                           fill=(206, 170, 104, 255), outline=(120, 80, 30, 255), width=s // 2)
    draw.rounded_rectangle([7 * s, cy - 14 * s, size - 1 - 7 * s, cy + 6 * s], radius=8 * s,
                           fill=(242, 220, 168, 255), outline=(120, 80, 30, 255), width=s // 2)
    # The holes for the binding string, and the string's gold bead.
    for hx in (16 * s, size - 16 * s):
        draw.ellipse([hx - 2 * s, cy - 6 * s, hx + 2 * s, cy - 2 * s], fill=DEEP_RED + (255,))
    draw.line([(size - 16 * s, cy - 4 * s), (size - 10 * s, cy + 20 * s)], fill=GOLD + (255,),
              width=s)
    draw.ellipse([size - 13 * s, cy + 18 * s, size - 7 * s, cy + 24 * s], fill=PALE_GOLD + (255,),
                 outline=GOLD + (255,), width=s // 2)
    # "sūtra", written on the leaf between the holes.
    deva = fit_font(fonts.devanagari, "सूत्र", 24 * s, 15 * s, devanagari=True)
    centred_text(draw, size / 2, cy - 4 * s, "सूत्र", deva, INK + (255,))
    shrink(image, W, W).save(os.path.join(out, "app.png"), optimize=True)


class Fonts:
    def __init__(self, args):
        self.serif = args.serif
        self.serif_bold = args.serif_bold
        # The italic face ships in fonts-dejavu-extra, which not every system has.
        self.serif_italic = args.serif_italic if os.path.isfile(args.serif_italic) else args.serif
        self.sans_bold = args.sans_bold
        self.devanagari = args.devanagari


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--out", default=here)
    parser.add_argument("--serif", default=SERIF)
    parser.add_argument("--serif-bold", default=SERIF_BOLD)
    parser.add_argument("--serif-italic", default=SERIF_ITALIC,
                        help="falls back to --serif when missing")
    parser.add_argument("--sans-bold", default=SANS_BOLD)
    parser.add_argument("--devanagari", default=DEVANAGARI)
    args = parser.parse_args()
    fonts = Fonts(args)
    os.makedirs(args.out, exist_ok=True)
    draw_title(args.out, fonts)
    draw_panel(args.out, fonts)
    for name, height, latin, deva_name, numeral, tint, seed in SIDE_STRIPS:
        draw_side(args.out, fonts, name, height, latin, deva_name, numeral, tint, seed)
    draw_terminate(args.out, fonts, pressed=False)
    draw_terminate(args.out, fonts, pressed=True)
    draw_app_icon(args.out, fonts)


if __name__ == "__main__":
    main()
