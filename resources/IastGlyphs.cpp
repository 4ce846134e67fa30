#include "resources/IastGlyphs.h"

#include <cstdint>
#include <cstdio>

#include "platform/Utf8.h"

namespace vyk {

namespace {

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
    const Utf8Char decoded = DecodeUtf8(utf8, at);
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
