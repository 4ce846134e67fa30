#include "corpus/Base255.h"

#include "corpus/DataFile.h"

namespace vyk {

std::optional<std::string> IntToChr2(int32_t n) {
  if (n < 0 || n > MaxBase255Num2) return std::nullopt;
  std::string out(2, '\0');
  // Up to 255 the value stands alone: 255 is FF 00, never 00 01.
  if (n <= 255) {
    out[0] = static_cast<char>(n);
  } else {
    out[0] = static_cast<char>(n % 255);
    out[1] = static_cast<char>(n / 255);
  }
  return out;
}

std::optional<std::string> EncodeOffset(int32_t v) {
  if (v < 0 || v > MaxBase255Num3) return std::nullopt;
  std::string out(3, '\0');
  if (v <= 255) {
    out[0] = static_cast<char>(v);
    return out;
  }
  const int32_t q = v / 255;
  out[0] = static_cast<char>(v % 255);
  // Up to 255 the quotient stands alone too, so 65,025..65,279 keep an FF
  // middle digit; files written so must come out byte for byte the same.
  if (q <= 255) {
    out[1] = static_cast<char>(q);
  } else {
    out[1] = static_cast<char>(q % 255);
    out[2] = static_cast<char>(q / 255);
  }
  return out;
}

int32_t DecodeBase255(std::string_view text, std::size_t at, int count) {
  static constexpr int32_t weight[3] = {1, 255, 65025};
  int32_t value = 0;
  for (int i = 0; i < count && i < 3; ++i) {
    const std::size_t place = at + static_cast<std::size_t>(i);
    if (place >= text.size()) break;
    value += static_cast<unsigned char>(text[place]) * weight[i];
  }
  return value;
}

int32_t ReadBase255Num3(const DataFile& file, int32_t pos) {
  if (pos < 1) return 0;
  return DecodeBase255Num3(file.ReadUpTo(pos, 3), 0);
}

}  // namespace vyk
