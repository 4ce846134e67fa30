#pragma once
// IAST letters and the glyph bytes of the Roman display font that show them.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vyk {

struct GlyphLetter {
  char32_t letter;
  unsigned char byte;
};

// Lower case at E0..F3, capitals 32 below; EE and F2 are not glyph bytes.
inline constexpr std::array<GlyphLetter, 36> GlyphLetters = {{
    {U'\u0101', 0xE0}, {U'\u0100', 0xC0},  // ā Ā
    {U'\u012B', 0xE1}, {U'\u012A', 0xC1},  // ī Ī
    {U'\u016B', 0xE2}, {U'\u016A', 0xC2},  // ū Ū
    {U'\u1E5B', 0xE3}, {U'\u1E5A', 0xC3},  // ṛ Ṛ
    {U'\u1E5D', 0xE4}, {U'\u1E5C', 0xC4},  // ṝ Ṝ
    {U'\u0113', 0xE5}, {U'\u0112', 0xC5},  // ē Ē
    {U'\u014D', 0xE6}, {U'\u014C', 0xC6},  // ō Ō
    {U'\u1E43', 0xE7}, {U'\u1E42', 0xC7},  // ṃ Ṃ
    {U'\u1E25', 0xE8}, {U'\u1E24', 0xC8},  // ḥ Ḥ
    {U'\u1E47', 0xE9}, {U'\u1E46', 0xC9},  // ṇ Ṇ
    {U'\u00F1', 0xEA}, {U'\u00D1', 0xCA},  // ñ Ñ
    {U'\u1E6D', 0xEB}, {U'\u1E6C', 0xCB},  // ṭ Ṭ
    {U'\u1E0D', 0xEC}, {U'\u1E0C', 0xCC},  // ḍ Ḍ
    {U'\u1E45', 0xED}, {U'\u1E44', 0xCD},  // ṅ Ṅ
    {U'\u1E63', 0xEF}, {U'\u1E62', 0xCF},  // ṣ Ṣ
    {U'\u015B', 0xF0}, {U'\u015A', 0xD0},  // ś Ś
    {U'\u1E37', 0xF1}, {U'\u1E36', 0xD1},  // ḷ Ḷ
    {U'\u1E39', 0xF3}, {U'\u1E38', 0xD3},  // ḹ Ḹ
}};

std::optional<unsigned char> GlyphByteForLetter(char32_t letter);

// The byte that the Roman face shows as `character`: a glyph letter's byte;
// else the character's own Latin-1 byte where the face draws that byte as
// the character itself (not at a glyph byte, and not a control character
// below 20 other than tab, CR and LF); nothing when no byte shows it. So
// every byte the text can hold comes back from CharacterShown's character.
std::optional<unsigned char> ByteShowing(char32_t character);

// The character that the Roman face shows for `byte`: the letter of a glyph
// byte, the Latin-1 character of any other.
char32_t CharacterShown(unsigned char byte);

// A character as Unicode names it: "U+0905".
std::string CodePointName(char32_t c);

struct IastConversion {
  std::string bytes;         // the glyph bytes, complete only when ok
  bool ok = false;
  std::size_t column = 0;    // 1-based character column of the first fault
  std::string message;       // what is wrong there, for the user
};

// Converts one line of UTF-8 IAST to glyph bytes: printable ASCII stays as it
// is, the letters of GlyphLetters become their bytes. Anything else (another
// letter, a combining mark, a control character, malformed UTF-8) fails.
IastConversion ConvertIast(std::string_view utf8);

}  // namespace vyk
