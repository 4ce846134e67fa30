#include "resources/IastGlyphs.h"

#include <cstdint>
#include <cstdio>

namespace vyk {

namespace {

struct Decoded {
  char32_t codePoint = 0;
  std::size_t length = 0;  // 0 when the bytes are not well-formed UTF-8
};

Decoded DecodeUtf8(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  char32_t value = 0;
  char32_t smallest = 0;
  if (lead < 0x80) return {lead, 1};
  if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, smallest = 0x10000;
  } else {
    return {};
  }
  if (at + length > text.size()) return {};
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return {};
    value = (value << 6) | (next & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not characters.
  if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {};
  return {value, length};
}

bool IsCombiningMark(char32_t c) { return c >= 0x0300 && c <= 0x036F; }

}  // namespace

std::string CodePointName(char32_t c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
  return buffer;
}

std::optional<unsigned char> GlyphByteForLetter(char32_t letter) {
  for (const GlyphLetter& row : GlyphLetters) {
    if (row.letter == letter) return row.byte;
  }
  return std::nullopt;
}

std::optional<unsigned char> ByteShowing(char32_t character) {
  if (const auto byte = GlyphByteForLetter(character)) return byte;
  if (character > 0xFF) return std::nullopt;
  // The face draws no control character; those from 7F on are still bytes
  // the text can hold, and copying gives them out as themselves.
  const bool layout = character == '\t' || character == '\r' || character == '\n';
  if (character < 0x20 && !layout) return std::nullopt;
  const auto byte = static_cast<unsigned char>(character);
  // At a glyph byte the face draws another letter: ñ's own byte F1 shows ḷ.
  for (const GlyphLetter& row : GlyphLetters) {
    if (row.byte == byte) return std::nullopt;
  }
  return byte;
}

char32_t CharacterShown(unsigned char byte) {
  for (const GlyphLetter& row : GlyphLetters) {
    if (row.byte == byte) return row.letter;
  }
  return byte;
}

IastConversion ConvertIast(std::string_view utf8) {
  IastConversion result;
  result.bytes.reserve(utf8.size());
  std::size_t column = 0;
  for (std::size_t at = 0; at < utf8.size();) {
    ++column;
    const Decoded decoded = DecodeUtf8(utf8, at);
    if (decoded.length == 0) {
      result.column = column;
      result.message = "malformed UTF-8";
      return result;
    }
    const char32_t c = decoded.codePoint;
    const std::string_view shown = utf8.substr(at, decoded.length);
    if (c >= 0x20 && c < 0x7F) {
      result.bytes += static_cast<char>(c);
    } else if (const auto byte = GlyphByteForLetter(c)) {
      result.bytes += static_cast<char>(*byte);
    } else {
      result.column = column;
      if (c < 0x20 || c == 0x7F) {
        result.message = "control character " + CodePointName(c);
      } else if (IsCombiningMark(c)) {
        result.message = "combining mark " + CodePointName(c) +
                         ": write the letter with its mark as one precomposed character";
      } else {
        result.message = "character '" + std::string(shown) + "' (" + CodePointName(c) +
                         ") has no glyph in the Roman display font";
      }
      return result;
    }
    at += decoded.length;
  }
  result.ok = true;
  return result;
}

}  // namespace vyk
