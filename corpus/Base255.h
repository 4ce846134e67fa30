#pragma once
// Base-255 numbers of the data file: digits are bytes, least significant first.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vyk {

class DataFile;

// Largest values the two encoders write (the first is a signed 16-bit length,
// the second keeps its first quotient inside a signed 16-bit integer).
inline constexpr int32_t MaxBase255Num2 = 32767;
inline constexpr int32_t MaxBase255Num3 = 8355839;

// Two digits of n; nullopt when n lies outside 0..32,767.
std::optional<std::string> IntToChr2(int32_t n);

// Three digits of v; nullopt when v lies outside 0..8,355,839.
std::optional<std::string> EncodeOffset(int32_t v);

// Decodes `count` digits (2 or 3) of `text` starting at index `at` (0-based).
// Digits that lie past the end of the text count as 0, so a field cut short by
// the end of a record or of the file never reads out of range.
int32_t DecodeBase255(std::string_view text, std::size_t at, int count);
inline int32_t DecodeBase255Num2(std::string_view text, std::size_t at) { return DecodeBase255(text, at, 2); }
inline int32_t DecodeBase255Num3(std::string_view text, std::size_t at) { return DecodeBase255(text, at, 3); }

// The Base255Num3 at the 1-based position pos of an open file. Bytes past the
// end of the file, before its start, or of a closed file count as 0.
int32_t ReadBase255Num3(const DataFile& file, int32_t pos);

}  // namespace vyk
