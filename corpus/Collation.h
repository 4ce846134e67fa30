#pragma once
// Collation weights and alphabetical sort keys.

#include <array>
#include <string>
#include <string_view>

namespace vyk {

// Character code -> two-digit weight ("00".."45"), empty when the character
// does not count. Code 0 never has a weight.
struct SortWeightTable {
  std::array<std::string, 256> weight;
};

void InitSortWeights(SortWeightTable& table);

inline constexpr std::size_t SortKeyLength = 10;

// The ten-character key: weights of the first five weighted characters,
// padded with "00". Leading blanks are dropped unless fewer than five
// characters would be left.
std::string MakeSortKey(const SortWeightTable& table, std::string_view text);

}  // namespace vyk
