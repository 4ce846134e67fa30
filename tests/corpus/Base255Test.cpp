#include "corpus/Base255.h"

#include <gtest/gtest.h>

#include "corpus/DataFile.h"
#include "tests/corpus/TestSupport.h"

namespace vyk {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

struct Encoded {
  int32_t value;
  std::string bytes;
};

TEST(Base255Test, IntToChr2WritesTheListedBytes) {
  const Encoded cases[] = {
      {0, Bytes({0x00, 0x00})},   {1, Bytes({0x01, 0x00})},   {254, Bytes({0xFE, 0x00})},
      {255, Bytes({0xFF, 0x00})}, {256, Bytes({0x01, 0x01})}, {510, Bytes({0x00, 0x02})},
      {1000, Bytes({0xEB, 0x03})}, {32767, Bytes({0x7F, 0x80})},
  };
  for (const auto& c : cases) EXPECT_EQ(IntToChr2(c.value), c.bytes) << c.value;
}

TEST(Base255Test, EncodeOffsetWritesTheListedBytes) {
  const Encoded cases[] = {
      {15, Bytes({0x0F, 0x00, 0x00})},      {255, Bytes({0xFF, 0x00, 0x00})},
      {256, Bytes({0x01, 0x01, 0x00})},     {65024, Bytes({0xFE, 0xFE, 0x00})},
      {65025, Bytes({0x00, 0xFF, 0x00})},   {65279, Bytes({0xFE, 0xFF, 0x00})},
      {65280, Bytes({0x00, 0x01, 0x01})},   {100000, Bytes({0x28, 0x89, 0x01})},
      {8355839, Bytes({0xFE, 0x7F, 0x80})},
  };
  for (const auto& c : cases) EXPECT_EQ(EncodeOffset(c.value), c.bytes) << c.value;
}

TEST(Base255Test, EncodersRefuseValuesOutsideTheirRanges) {
  EXPECT_FALSE(IntToChr2(-1));
  EXPECT_FALSE(IntToChr2(32768));
  EXPECT_FALSE(EncodeOffset(-1));
  EXPECT_FALSE(EncodeOffset(8355840));
  EXPECT_FALSE(EncodeOffset(INT32_MAX));
}

TEST(Base255Test, EveryEncodableValueDecodesBackToItself) {
  for (int32_t n = 0; n <= MaxBase255Num2; ++n) {
    auto bytes = IntToChr2(n);
    ASSERT_TRUE(bytes);
    ASSERT_EQ(bytes->size(), 2u);
    ASSERT_EQ(DecodeBase255Num2(*bytes, 0), n);
  }
  for (int32_t v = 0; v <= MaxBase255Num3; ++v) {
    auto bytes = EncodeOffset(v);
    ASSERT_TRUE(bytes);
    ASSERT_EQ(bytes->size(), 3u);
    ASSERT_EQ(DecodeBase255Num3(*bytes, 0), v);
  }
}

TEST(Base255Test, DecodingAcceptsEveryDigitAndBothForms) {
  EXPECT_EQ(DecodeBase255Num3(Bytes({0xFF, 0xFF, 0xFF}), 0), 16646655);
  EXPECT_EQ(DecodeBase255Num3(Bytes({0x00, 0x00, 0x00}), 0), 0);
  EXPECT_EQ(DecodeBase255Num2(Bytes({0xFF, 0x00}), 0), 255);
  EXPECT_EQ(DecodeBase255Num2(Bytes({0x00, 0x01}), 0), 255);
  EXPECT_EQ(DecodeBase255Num3(Bytes({0x00, 0xFF, 0x00}), 0), 65025);
  EXPECT_EQ(DecodeBase255Num3(Bytes({0x00, 0x00, 0x01}), 0), 65025);
  EXPECT_EQ(DecodeBase255Num3(Bytes({0x07, 0x00, 0x02}), 0), 7 + 2 * 65025);
}

TEST(Base255Test, DigitsPastTheEndOfTheTextCountAsZero) {
  const std::string text = Bytes({0x41, 0x05, 0x02});
  EXPECT_EQ(DecodeBase255Num2(text, 1), 5 + 2 * 255);
  EXPECT_EQ(DecodeBase255Num2(text, 2), 2);
  EXPECT_EQ(DecodeBase255Num2(text, 3), 0);
  EXPECT_EQ(DecodeBase255Num3(text, 100), 0);
}

TEST(Base255Test, ReadBase255Num3ReadsTheFileAndTakesMissingBytesAsZero) {
  test::TempDir dir;
  const std::string path = dir.File("numbers");
  test::WriteBytes(path, Bytes({'x', 0x28, 0x89, 0x01, 0x09}));
  DataFile file;
  EXPECT_EQ(ReadBase255Num3(file, 2), 0) << "closed file";
  ASSERT_TRUE(file.Open(path));
  EXPECT_EQ(ReadBase255Num3(file, 2), 100000);
  EXPECT_EQ(ReadBase255Num3(file, 4), 1 + 9 * 255) << "one byte past the end";
  EXPECT_EQ(ReadBase255Num3(file, 6), 0) << "wholly past the end";
  EXPECT_EQ(ReadBase255Num3(file, 0), 0);
  EXPECT_EQ(ReadBase255Num3(file, -5), 0);
}

}  // namespace
}  // namespace vyk
