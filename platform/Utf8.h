#pragma once
// UTF-8 for the two places that meet it: file names, which the file system
// keeps in UTF-8 by convention only, and the IAST source of the sample corpus.
// The corpus text itself is never UTF-8. Plain C++ and header-only, at the
// bottom with the checked files, so that resources/ needs nothing above it.

#include <cstddef>
#include <string_view>

namespace vyk {

struct Utf8Char {
  char32_t codePoint = 0;
  std::size_t length = 0;  // 0 when the bytes at the place are not well-formed UTF-8
};

// The character whose bytes start at `at` (< text.size()). Overlong forms,
// surrogates, values past U+10FFFF and cut-off sequences are not characters.
constexpr Utf8Char DecodeUtf8(std::string_view text, std::size_t at) {
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
  if (length > text.size() - at) return {};
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return {};
    value = (value << 6) | (next & 0x3F);
  }
  if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {};
  return {value, length};
}

}  // namespace vyk
