#include "resources/SampleSource.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "corpus/SutraRecord.h"

namespace vyk {
namespace {

// Writes source text one block at a time.
class SourceBuilder {
public:
  SourceBuilder& Block(std::vector<std::string> lines) {
    if (!text_.empty()) text_ += "\n";
    for (const std::string& line : lines) text_ += line + "\n";
    return *this;
  }
  SourceBuilder& Raw(const std::string& text) {
    text_ += text;
    return *this;
  }
  const std::string& Text() const { return text_; }

private:
  std::string text_;
};

SampleParse Parse(const SourceBuilder& source) { return ParseSampleSource(source.Text(), "s.txt"); }

TEST(SampleSource, KeysFillLabelNumbersAndSectionsInRecordOrder) {
  const SampleParse parse = Parse(SourceBuilder().Block({
      "Label: 1.1.2",
      "Explanation: e",
      "LK: 25",
      "Sutra: adeṅ guṇaḥ",
      "Pada-Patha: p",
      "Vartika: v",
      "Vritti: r",
      "AnuVritti: a",
      "Translation: t",
      "SK: 300",
  }));
  ASSERT_TRUE(parse.ok) << parse.error;
  ASSERT_EQ(parse.records.size(), 1u);
  const SampleRecord& record = parse.records[0];
  EXPECT_EQ(record.label, "1.1.2");
  EXPECT_EQ(record.siddhanta, 300);
  EXPECT_EQ(record.laghu, 25);
  const std::array<std::string, SectionCount> expected = {"ade\xED gu\xE9" "a\xE8", "p", "v", "r",
                                                         "a", "t", "e"};
  EXPECT_EQ(record.sections, expected);
}

TEST(SampleSource, AbsentKeysGiveEmptySectionsAndZeroNumbers) {
  const SampleParse parse = Parse(SourceBuilder().Block({"Label: 8.4.68", "Sutra: a a", "Vritti:"}));
  ASSERT_TRUE(parse.ok) << parse.error;
  const SampleRecord& record = parse.records[0];
  EXPECT_EQ(record.siddhanta, 0);
  EXPECT_EQ(record.laghu, 0);
  for (std::size_t i = 1; i < SectionCount; ++i) EXPECT_TRUE(record.sections[i].empty()) << i;
}

TEST(SampleSource, ContinuationLinesJoinWithCrLf) {
  const SampleParse parse = Parse(SourceBuilder().Block({
      "Label: 6.1.101",
      "Vartika: ṛti savarṇe ṛ vā  ",
      "    ḷti savarṇe ḷ vā",
      "Explanation:",
      "  first line",
      "\tsecond line",
  }));
  ASSERT_TRUE(parse.ok) << parse.error;
  const SampleRecord& record = parse.records[0];
  EXPECT_EQ(record.sections[2], "\xE3ti savar\xE9" "e \xE3 v\xE0\r\n\xF1ti savar\xE9" "e \xF1 v\xE0");
  // A value that starts on the line after its key begins without a line break.
  EXPECT_EQ(record.sections[6], "first line\r\nsecond line");
}

TEST(SampleSource, BlankLinesSeparateSutrasAndCommentsAreSkipped) {
  const SampleParse parse = Parse(SourceBuilder()
                                      .Raw("# heading\n\n\n")
                                      .Block({"Label: 1.1.1", "# inside a block", "SK: 14"})
                                      .Raw("   \n\n")
                                      .Block({"Label: 1.1.2"})
                                      .Raw("\nLabel: 1.1.3")  // no final line end
  );
  ASSERT_TRUE(parse.ok) << parse.error;
  ASSERT_EQ(parse.records.size(), 3u);
  EXPECT_EQ(parse.records[0].label, "1.1.1");
  EXPECT_EQ(parse.records[0].siddhanta, 14);
  EXPECT_EQ(parse.records[1].label, "1.1.2");
  EXPECT_EQ(parse.records[2].label, "1.1.3");
  EXPECT_EQ(parse.records[1].line, 11);
}

TEST(SampleSource, WindowsLineEndsReadAsPlainOnes) {
  const SampleParse parse =
      ParseSampleSource("Label: 1.1.1\r\nSutra: a\r\n  b\r\n\r\nLabel: 1.1.2\r\n", "s.txt");
  ASSERT_TRUE(parse.ok) << parse.error;
  ASSERT_EQ(parse.records.size(), 2u);
  EXPECT_EQ(parse.records[0].sections[0], "a\r\nb");
}

struct FaultCase {
  const char* what;
  std::string source;
  std::string error;
};

TEST(SampleSource, FaultsNameTheLineAndStopTheRead) {
  const std::vector<FaultCase> cases = {
      {"unknown key", "Label: 1\nSutras: x\n", "s.txt:2: unknown key \"Sutras\""},
      {"key twice", "Label: 1\nSutra: a\nSutra: b\n", "s.txt:3: key \"Sutra\" given twice in one sutra"},
      {"no label", "Sutra: a\n", "s.txt:1: the sutra has no Label"},
      {"empty label", "\nLabel:\nSutra: a\n", "s.txt:2: the sutra has no Label"},
      {"orphan continuation", "  text\n", "s.txt:1: a continuation line with no key above it"},
      {"no colon", "Label: 1\nSutra a\n", "s.txt:2: expected \"Key: value\", got \"Sutra a\""},
      {"word for a number", "Label: 1\nSK: five\n", "s.txt:2: \"five\" is not a Kaumudi number (0 to 32767)"},
      {"negative number", "Label: 1\nLK: -1\n", "s.txt:2: \"-1\" is not a Kaumudi number (0 to 32767)"},
      {"number too large", "Label: 1\nSK: 32768\n", "s.txt:2: \"32768\" is not a Kaumudi number (0 to 32767)"},
      {"label twice", "Label: 1\n\nLabel: 1\n", "s.txt:3: label \"1\" used twice"},
      {"SK twice", "Label: 1\nSK: 4\n\nLabel: 2\nSK: 4\n", "s.txt:4: Siddhanta Kaumudi number 4 used twice"},
      {"LK twice", "Label: 1\nLK: 4\n\nLabel: 2\nLK: 4\n", "s.txt:4: Laghu Kaumudi number 4 used twice"},
  };
  for (const FaultCase& fault : cases) {
    const SampleParse parse = ParseSampleSource(fault.source, "s.txt");
    EXPECT_FALSE(parse.ok) << fault.what;
    EXPECT_TRUE(parse.records.empty()) << fault.what;
    EXPECT_EQ(parse.error, fault.error) << fault.what;
  }
}

TEST(SampleSource, ZeroKaumudiNumbersMayRepeat) {
  const SampleParse parse = Parse(SourceBuilder()
                                      .Block({"Label: 1", "SK: 0", "LK: 0"})
                                      .Block({"Label: 2", "SK: 0"}));
  EXPECT_TRUE(parse.ok) << parse.error;
}

TEST(SampleSource, ForeignCharacterNamesItsOwnLine) {
  const SampleParse parse = Parse(SourceBuilder().Block({
      "Label: 1.1.1",
      "Explanation: fine",
      "  still fine",
      "  café",
  }));
  EXPECT_FALSE(parse.ok);
  EXPECT_EQ(parse.error.rfind("s.txt:4: character 'é' (U+00E9)", 0), 0u) << parse.error;
  EXPECT_NE(parse.error.find("(character 4 of the text on that line)"), std::string::npos) << parse.error;
}

TEST(SampleSource, BuiltRecordsSplitBackIntoTheirFields) {
  const SampleCorpus corpus = BuildSampleCorpus(SourceBuilder()
                                                    .Block({"Label: 1.1.1", "SK: 255", "LK: 256",
                                                            "Sutra: vṛddhirādaic", "Explanation: a",
                                                            "  b"})
                                                    .Block({"Label: 1.1.2"})
                                                    .Text(),
                                                "s.txt");
  ASSERT_TRUE(corpus.ok) << corpus.error;
  ASSERT_EQ(corpus.texts.size(), 2u);
  const RecordFields first = SplitRecord(corpus.texts[0]);
  EXPECT_TRUE(first.wellFormed());
  EXPECT_EQ(first.label, "1.1.1");
  EXPECT_EQ(first.sections[0], "v\xE3" "ddhir\xE0" "daic");
  EXPECT_EQ(first.sections[6], "a\r\nb");
  EXPECT_EQ(first.siddhanta, 255);
  EXPECT_EQ(first.laghu, 256);
  const RecordFields second = SplitRecord(corpus.texts[1]);
  EXPECT_TRUE(second.wellFormed());
  EXPECT_EQ(second.label, "1.1.2");
  EXPECT_EQ(second.siddhanta, 0);
}

TEST(SampleSource, BuildReportsTheParseFault) {
  const SampleCorpus corpus = BuildSampleCorpus("Sutra: a\n", "s.txt");
  EXPECT_FALSE(corpus.ok);
  EXPECT_TRUE(corpus.texts.empty());
  EXPECT_EQ(corpus.error, "s.txt:1: the sutra has no Label");
}

}  // namespace
}  // namespace vyk
