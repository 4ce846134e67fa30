#include "corpus/SutraRecord.h"

#include <gtest/gtest.h>

#include "tests/corpus/CorpusBuilder.h"

namespace vyk {
namespace {

using test::RecordBuilder;

TEST(SutraRecordTest, HeaderHasSignatureTagByte8AndBlanks) {
  const std::string header = BuildHeader(0x01, 0x07);
  ASSERT_EQ(header.size(), 14u);
  EXPECT_EQ(header, std::string("QMVYK\x01\x00\x07      ", 14));
}

TEST(SutraRecordTest, IndexEntriesParseAndFormat) {
  const std::string bytes = std::string("\x0F\x00\x00\x0A\x00\x01", 6);
  const IndexEntry entry = ParseIndexEntry(bytes);
  EXPECT_EQ(entry.pos, 15);
  EXPECT_EQ(entry.len, 10);
  EXPECT_EQ(entry.kind, 1);
  EXPECT_EQ(FormatIndexEntry(15, 10), bytes);
  EXPECT_FALSE(FormatIndexEntry(15, 32768));
  EXPECT_FALSE(FormatIndexEntry(8355840, 1));
}

TEST(SutraRecordTest, IndexEntryCutShortHasNoKind) {
  const IndexEntry entry = ParseIndexEntry(std::string("\x0F\x00\x00\x0A\x00", 5));
  EXPECT_EQ(entry.pos, 15);
  EXPECT_EQ(entry.len, 10);
  EXPECT_EQ(entry.kind, 0);
  EXPECT_EQ(ParseIndexEntry("", 0).kind, 0);
}

TEST(SutraRecordTest, SplitTakesEveryFieldAndNumbersByPlace) {
  RecordBuilder record;
  record.Label("1.1.1").Numbers(5, 0);
  for (int i = 0; i < SectionCount; ++i) record.Section(i, test::Numbered("s", i + 1));
  const RecordFields fields = SplitRecord(record.Text());
  EXPECT_TRUE(fields.wellFormed());
  EXPECT_EQ(fields.label, "1.1.1");
  for (int i = 0; i < SectionCount; ++i) EXPECT_EQ(fields.sections[static_cast<std::size_t>(i)], test::Numbered("s", i + 1));
  // 05 00 00 00: the zero digits do not end a field.
  EXPECT_EQ(fields.siddhanta, 5);
  EXPECT_EQ(fields.laghu, 0);
}

TEST(SutraRecordTest, RebuiltAndPlainRecordsReadAlike) {
  RecordBuilder record;
  record.Label("3.2.1").Sutra("karmaṇyaṇ").Numbers(255, 1000);
  const RecordFields rebuilt = SplitRecord(record.Text());
  const RecordFields plain = SplitRecord(record.WithoutTrailingZeros().Text());
  EXPECT_EQ(rebuilt.siddhanta, 255);
  EXPECT_EQ(rebuilt.laghu, 1000);
  EXPECT_EQ(plain.siddhanta, 255);
  EXPECT_EQ(plain.laghu, 1000);
  EXPECT_EQ(plain.sections, rebuilt.sections);
}

TEST(SutraRecordTest, NumbersMissingFromTheEndCountAsZero) {
  const std::string eightZeros = std::string("lbl") + std::string(8, '\0');
  RecordFields fields = SplitRecord(eightZeros);
  EXPECT_TRUE(fields.wellFormed());
  EXPECT_EQ(fields.siddhanta, 0);
  EXPECT_EQ(fields.laghu, 0);

  fields = SplitRecord(eightZeros + "\x0C\x00");
  EXPECT_EQ(fields.siddhanta, 12);
  EXPECT_EQ(fields.laghu, 0);

  // Ending inside a number: the missing digit is 0.
  fields = SplitRecord(eightZeros + "\x0C\x01\x07");
  EXPECT_EQ(fields.siddhanta, 12 + 255);
  EXPECT_EQ(fields.laghu, 7);
}

TEST(SutraRecordTest, MalformedTextsSplitWithoutReadingOutOfRange) {
  RecordFields fields = SplitRecord("");
  EXPECT_EQ(fields.zeroBytes, 0);
  EXPECT_EQ(fields.label, "");
  EXPECT_EQ(fields.siddhanta, 0);

  // No zero byte at all: the whole text is the label.
  fields = SplitRecord("just a label");
  EXPECT_EQ(fields.label, "just a label");
  EXPECT_FALSE(fields.wellFormed());

  // Three zero bytes then text: the unended field takes the rest; later
  // fields are empty and the numbers 0 even though bytes follow.
  fields = SplitRecord(std::string("L\0S\0P\0\x05\x01", 8));
  EXPECT_EQ(fields.zeroBytes, 3);
  EXPECT_EQ(fields.label, "L");
  EXPECT_EQ(fields.sections[0], "S");
  EXPECT_EQ(fields.sections[1], "P");
  EXPECT_EQ(fields.sections[2], "\x05\x01");
  EXPECT_EQ(fields.sections[3], "");
  EXPECT_EQ(fields.siddhanta, 0);
  EXPECT_EQ(fields.laghu, 0);
}

TEST(SutraRecordTest, HeadSplitAgreesWithFullSplit) {
  const std::string texts[] = {
      RecordBuilder().Label("8.4.68").Sutra("a a").Numbers(3999, 1500).Text(),
      RecordBuilder().Sutra("x").Numbers(7, 0).WithoutTrailingZeros().Text(),
      std::string("L\0S", 3),
      std::string("L"),
      std::string(),
      std::string("a\0b\0\0\0\0\0\0\0\x05", 11),
  };
  for (const auto& text : texts) {
    const RecordFields full = SplitRecord(text);
    const RecordHead head = SplitRecordHead(text);
    EXPECT_EQ(head.label, full.label);
    EXPECT_EQ(head.sutra, full.sections[0]);
    EXPECT_EQ(head.siddhanta, full.siddhanta);
    EXPECT_EQ(head.laghu, full.laghu);
  }
}

TEST(SutraRecordTest, BuildRecordTextMatchesTheCommitLayout) {
  std::array<std::string, SectionCount> sections{"sutra", "", "", "vritti\r\n", "", "", "end"};
  auto text = BuildRecordText("1.1.1", sections, 1000, 0);
  ASSERT_TRUE(text);
  RecordBuilder expected;
  expected.Label("1.1.1").Numbers(1000, 0);
  expected.sections = sections;
  EXPECT_EQ(*text, expected.Text());
  EXPECT_EQ(text->substr(text->size() - 6), std::string("\xEB\x03\x00\x00\x00\x00", 6));
  // 255 stands alone (FF 00), never as 00 01.
  text = BuildRecordText("1.1.1", sections, 255, 0);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, expected.Numbers(255, 0).Text());
  EXPECT_EQ(text->substr(text->size() - 6), std::string("\xFF\x00\x00\x00\x00\x00", 6));
}

TEST(SutraRecordTest, BuildRecordTextRefusesWhatItCannotStore) {
  std::array<std::string, SectionCount> sections{};
  EXPECT_FALSE(BuildRecordText("1", sections, 32768, 0));
  EXPECT_FALSE(BuildRecordText("1", sections, 0, -1));
  EXPECT_FALSE(BuildRecordText(std::string("a\0b", 3), sections, 0, 0));
  sections[2] = std::string("x\0y", 3);
  EXPECT_FALSE(BuildRecordText("1", sections, 0, 0));
}

}  // namespace
}  // namespace vyk
