#!/usr/bin/python3
"""Builds the program's two display fonts from free Debian fonts.

tmskrmn.ttf ("Times Kovra Roman") is DejaVu Serif whose character map also
sends the glyph bytes of the corpus (read as Latin-1 code points) to the
letters with diacritics they stand for, so the stored bytes show as IAST.
velka.ttf ("Velka") is Lohit Devanagari under its new name.

Both files keep the source fonts' own time stamps, so a rebuild from the same
sources gives the same bytes.

usage: make_fonts.py --roman DejaVuSerif.ttf --devanagari Lohit-Devanagari.ttf --out DIR
"""

import argparse
import os
import sys

from fontTools.ttLib import TTFont

ROMAN_FAMILY = "Times Kovra Roman"
ROMAN_FILE = "tmskrmn.ttf"
VELKA_FAMILY = "Velka"
VELKA_FILE = "velka.ttf"

# Glyph byte -> the letter it stands for (lower case E0..F3, capitals C0..D3).
# The same table drives the special-glyph keyboard and the sample corpus tool.
GLYPH_LETTERS = [
    (0xE0, "\u0101"), (0xC0, "\u0100"),  # ā Ā
    (0xE1, "\u012B"), (0xC1, "\u012A"),  # ī Ī
    (0xE2, "\u016B"), (0xC2, "\u016A"),  # ū Ū
    (0xE3, "\u1E5B"), (0xC3, "\u1E5A"),  # ṛ Ṛ
    (0xE4, "\u1E5D"), (0xC4, "\u1E5C"),  # ṝ Ṝ
    (0xE5, "\u0113"), (0xC5, "\u0112"),  # ē Ē
    (0xE6, "\u014D"), (0xC6, "\u014C"),  # ō Ō
    (0xE7, "\u1E43"), (0xC7, "\u1E42"),  # ṃ Ṃ
    (0xE8, "\u1E25"), (0xC8, "\u1E24"),  # ḥ Ḥ
    (0xE9, "\u1E47"), (0xC9, "\u1E46"),  # ṇ Ṇ
    (0xEA, "\u00F1"), (0xCA, "\u00D1"),  # ñ Ñ
    (0xEB, "\u1E6D"), (0xCB, "\u1E6C"),  # ṭ Ṭ
    (0xEC, "\u1E0D"), (0xCC, "\u1E0C"),  # ḍ Ḍ
    (0xED, "\u1E45"), (0xCD, "\u1E44"),  # ṅ Ṅ
    (0xEF, "\u1E63"), (0xCF, "\u1E62"),  # ṣ Ṣ
    (0xF0, "\u015B"), (0xD0, "\u015A"),  # ś Ś
    (0xF1, "\u1E37"), (0xD1, "\u1E36"),  # ḷ Ḷ
    (0xF3, "\u1E39"), (0xD3, "\u1E38"),  # ḹ Ḹ
]


def fail(message):
    sys.stderr.write("make_fonts.py: " + message + "\n")
    sys.exit(1)


def set_names(font, family, postscript, subfamily):
    """Renames the face on every platform record; license and copyright stay."""
    name = font["name"]
    full = family if subfamily == "Regular" else family + " " + subfamily
    version = name.getDebugName(5) or "Version 1.0"
    values = {
        1: family,
        2: subfamily,
        3: family + "; " + version,
        4: full,
        6: postscript,
        16: family,
        17: subfamily,
    }
    platforms = {(r.platformID, r.platEncID, r.langID) for r in name.names}
    # Names that tie the face to its source (trademarks, unique ids, vendor
    # addresses that describe the original) go; the license texts remain.
    name.names = [r for r in name.names if r.nameID not in (3, 7, 18, 21, 22)]
    for nameid, text in values.items():
        for platform_id, enc_id, lang_id in platforms:
            name.setName(text, nameid, platform_id, enc_id, lang_id)
    if "CFF " in font:
        fail("CFF fonts are not expected here")


def unicode_cmaps(font):
    return [t for t in font["cmap"].tables if t.isUnicode()]


def build_roman(source, target):
    font = TTFont(source, recalcTimestamp=False)
    set_names(font, ROMAN_FAMILY, "TimesKovraRoman", "Regular")
    cmaps = unicode_cmaps(font)
    if not cmaps:
        fail("the Roman source font has no Unicode character map")
    best = font.getBestCmap()
    for byte, letter in GLYPH_LETTERS:
        glyph = best.get(ord(letter))
        if glyph is None:
            fail("the Roman source font %s has no glyph for U+%04X, which byte %02X stands for"
                 % (source, ord(letter), byte))
        for table in cmaps:
            table.cmap[byte] = glyph
    # The Macintosh Roman map would still show the old letters for these bytes.
    font["cmap"].tables = [t for t in font["cmap"].tables if t.isUnicode()]
    font.save(target)


def build_velka(source, target):
    font = TTFont(source, recalcTimestamp=False)
    set_names(font, VELKA_FAMILY, "Velka", "Regular")
    font.save(target)


def check_names(path, family):
    font = TTFont(path)
    for nameid in (1, 4, 16):
        text = font["name"].getDebugName(nameid)
        if text != family:
            fail("%s: name %d is %r, expected %r" % (path, nameid, text, family))
    postscript = font["name"].getDebugName(6)
    if postscript != family.replace(" ", ""):
        fail("%s: PostScript name is %r" % (path, postscript))
    return font


def check_roman(path, source):
    font = check_names(path, ROMAN_FAMILY)
    original = TTFont(source).getBestCmap()
    for table in unicode_cmaps(font):
        for byte, letter in GLYPH_LETTERS:
            glyph = table.cmap.get(byte)
            expected = original.get(ord(letter))
            if glyph is None or glyph != expected:
                fail("%s: byte %02X maps to %r, expected the glyph of U+%04X"
                     % (path, byte, glyph, ord(letter)))
    mapped = {byte for byte, _ in GLYPH_LETTERS}
    cmap = font.getBestCmap()
    for byte in range(0xC0, 0x100):
        if byte not in mapped and cmap.get(byte) != original.get(byte):
            fail("%s: byte %02X lost its Latin-1 glyph" % (path, byte))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--roman", required=True, help="DejaVuSerif.ttf")
    parser.add_argument("--devanagari", required=True, help="Lohit-Devanagari.ttf")
    parser.add_argument("--out", required=True, help="folder for the two fonts")
    args = parser.parse_args()
    for path in (args.roman, args.devanagari):
        if not os.path.isfile(path):
            fail("source font not found: " + path)
    os.makedirs(args.out, exist_ok=True)
    roman = os.path.join(args.out, ROMAN_FILE)
    velka = os.path.join(args.out, VELKA_FILE)
    build_roman(args.roman, roman)
    build_velka(args.devanagari, velka)
    check_roman(roman, args.roman)
    check_names(velka, VELKA_FAMILY)


if __name__ == "__main__":
    main()
