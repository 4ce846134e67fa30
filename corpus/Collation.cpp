#include "corpus/Collation.h"

namespace vyk {

namespace {

struct WeightRow {
  const char* weight;
  std::string_view codes;  // every character code that carries the weight
};

// Latin letters in both cases share a weight; each special letter of the
// Roman display font (upper case 0xC0..0xD3, lower case 32 higher) follows
// its base letter.
constexpr WeightRow SortWeightRows[] = {
    {"00", " "},        {"01", "+"},        {"02", "Aa"},       {"03", "\xC0\xE0"},
    {"04", "Bb"},       {"05", "Cc"},       {"06", "Dd"},       {"07", "\xCC\xEC"},
    {"08", "Ee"},       {"09", "\xC5\xE5"}, {"10", "Ff"},       {"11", "Gg"},
    {"12", "Hh"},       {"13", "\xC8\xE8"}, {"14", "Ii"},       {"15", "\xC1\xE1"},
    {"16", "Jj"},       {"17", "Kk"},       {"18", "Ll"},       {"19", "\xD1\xF1"},
    {"20", "\xD3\xF3"}, {"21", "Mm"},       {"22", "\xC7\xE7"}, {"23", "Nn"},
    {"24", "\xC9\xE9"}, {"25", "\xCD\xED"}, {"26", "\xCA\xEA"}, {"27", "Oo"},
    {"28", "\xC6\xE6"}, {"29", "Pp"},       {"30", "Qq"},       {"31", "Rr"},
    {"32", "\xC3\xE3"}, {"33", "\xC4\xE4"}, {"34", "Ss"},       {"35", "\xCF\xEF"},
    {"36", "\xD0\xF0"}, {"37", "Tt"},       {"38", "\xCB\xEB"}, {"39", "Uu"},
    {"40", "\xC2\xE2"}, {"41", "Vv"},       {"42", "Ww"},       {"43", "Xx"},
    {"44", "Yy"},       {"45", "Zz"},
};

}  // namespace

void InitSortWeights(SortWeightTable& table) {
  for (auto& weight : table.weight) weight.clear();
  for (const auto& row : SortWeightRows)
    for (char code : row.codes) table.weight[static_cast<unsigned char>(code)] = row.weight;
}

std::string MakeSortKey(const SortWeightTable& table, std::string_view text) {
  std::string_view working = text;
  const std::size_t firstNonBlank = text.find_first_not_of(' ');
  const std::string_view trimmed =
      firstNonBlank == std::string_view::npos ? std::string_view{} : text.substr(firstNonBlank);
  // Short texts keep their leading blanks, which then weigh "00" each.
  if (trimmed.size() >= 5) working = trimmed;

  std::string key;
  key.reserve(SortKeyLength);
  for (char c : working) {
    // Code 0 has no weight (its table place stays empty), so it is skipped.
    key += table.weight[static_cast<unsigned char>(c)];
    if (key.size() >= SortKeyLength) break;
  }
  while (key.size() < SortKeyLength) key += "00";
  return key;
}

}  // namespace vyk
