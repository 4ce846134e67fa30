#include "corpus/Collation.h"

#include <gtest/gtest.h>

namespace vyk {
namespace {

class CollationTest : public ::testing::Test {
protected:
  void SetUp() override { InitSortWeights(table); }
  std::string Key(std::string_view text) const { return MakeSortKey(table, text); }
  SortWeightTable table;
};

TEST_F(CollationTest, TableWeighsNinetyCodes) {
  int weighted = 0;
  for (const auto& weight : table.weight) weighted += weight.empty() ? 0 : 1;
  EXPECT_EQ(weighted, 90);
  EXPECT_EQ(table.weight[0], "");
  EXPECT_EQ(table.weight['1'], "");
  EXPECT_EQ(table.weight['-'], "");
  EXPECT_EQ(table.weight[0xCE], "");
  EXPECT_EQ(table.weight[0xF2], "");
  EXPECT_EQ(table.weight[0xFF], "");
}

TEST_F(CollationTest, SpecialLettersFollowTheirBaseLetterInBothCases) {
  struct Follows {
    char base;
    unsigned char upper;
  };
  const Follows rows[] = {{'a', 0xC0}, {'d', 0xCC}, {'e', 0xC5}, {'h', 0xC8}, {'i', 0xC1}, {'m', 0xC7},
                          {'n', 0xC9}, {'o', 0xC6}, {'s', 0xCF}, {'t', 0xCB}, {'u', 0xC2}, {'r', 0xC3}};
  for (const auto& row : rows) {
    const auto lower = static_cast<unsigned char>(row.upper + 32);
    EXPECT_EQ(table.weight[row.upper], table.weight[lower]);
    EXPECT_LT(table.weight[static_cast<unsigned char>(row.base)], table.weight[row.upper]) << row.base;
    EXPECT_EQ(table.weight[static_cast<unsigned char>(row.base)], table.weight[static_cast<unsigned char>(row.base - 32)]);
  }
}

TEST_F(CollationTest, KeysOfTheListedExamples) {
  struct Example {
    std::string text;
    std::string key;
  };
  const Example examples[] = {
      {"Rama", "3102210200"},
      {"rama", "3102210200"},
      {"abcdef", "0204050608"},
      {"a-b-c", "0204050000"},
      {"a b", "0200040000"},
      {"", "0000000000"},
      {"1.2", "0000000000"},
      {"+a", "0102000000"},
      {"\xE0" "a", "0302000000"},
      {"zzzzzz", "4545454545"},
      {"  ab", "0000020400"},
      {"   abcde", "0204050608"},
  };
  for (const auto& example : examples) EXPECT_EQ(Key(example.text), example.key) << '"' << example.text << '"';
}

TEST_F(CollationTest, KeysAlwaysHaveTenDigitsAndSkipZeroBytes) {
  EXPECT_EQ(Key(std::string("a\0b", 3)), "0204000000");
  for (int code = 0; code < 256; ++code) EXPECT_EQ(Key(std::string(12, static_cast<char>(code))).size(), 10u);
}

TEST_F(CollationTest, KeysOrderSpecialLettersAfterTheirBase) {
  EXPECT_LT(Key("bala"), Key("b\xE0la"));
  EXPECT_LT(Key("b\xE0la"), Key("bbla"));
  EXPECT_LT(Key("sa"), Key("\xEF" "a"));
  EXPECT_LT(Key("\xEF" "a"), Key("\xF0" "a"));
  EXPECT_LT(Key("\xF0" "a"), Key("ta"));
}

}  // namespace
}  // namespace vyk
