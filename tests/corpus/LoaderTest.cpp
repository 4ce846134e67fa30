#include "corpus/Loader.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "corpus/SutraRecord.h"
#include "tests/RealCorpus.h"
#include "tests/corpus/CorpusBuilder.h"
#include "tests/corpus/TestSupport.h"

namespace vyk {
namespace {

using test::CorpusFileBuilder;
using test::MemoryLoaderHost;
using test::RecordBuilder;
using test::PrepareState;
using Texts = std::vector<std::string>;

const std::string Mark(1, ListLabelMark);

// ---- list entry texts ----

TEST(ListTextTest, CutAtLastWordExamples) {
  EXPECT_EQ(CutAtLastWord("ab cd-ef"), "ab cd");
  EXPECT_EQ(CutAtLastWord("abc"), "abc");
  EXPECT_EQ(CutAtLastWord(" abc"), " abc");
  EXPECT_EQ(CutAtLastWord("abc "), "abc");
  EXPECT_EQ(CutAtLastWord("a  b"), "a ");
  EXPECT_EQ(CutAtLastWord(""), "");
  EXPECT_EQ(CutAtLastWord("-"), "-");
}

TEST(ListTextTest, ListLineKeepsShortFirstLinesAndCutsLongOnes) {
  EXPECT_EQ(MakeListLine("  abc\r\ndef"), "abc");
  EXPECT_EQ(MakeListLine(""), "");
  const std::string exactly35(35, 'x');
  EXPECT_EQ(MakeListLine(exactly35), exactly35);
  EXPECT_EQ(MakeListLine(std::string(40, 'x')), std::string(35, 'x') + " ...");
  EXPECT_EQ(MakeListLine("vrddhir adaic iko gunavrddhi sthane antaratamah"), "vrddhir adaic iko gunavrddhi ...");
  EXPECT_EQ(MakeListLine("aaaa bbbb-cccccccccccccccccccccccccccccc"), "aaaa bbbb ...");
}

TEST(ListTextTest, ListLineCutsBeforeRemovingLeadingBlanks) {
  EXPECT_EQ(MakeListLine("   " + std::string(40, 'a')), "...");
  // 36 characters of which 2 are leading blanks: still cut.
  EXPECT_EQ(MakeListLine("  " + std::string(20, 'a') + " " + std::string(13, 'b')), std::string(20, 'a') + " ...");
}

TEST(ListTextTest, ListEntryGluesTheHyphenToLongLabels) {
  EXPECT_EQ(MakeListEntry("1.1.1", "line"), " 1.1.1 - line");
  EXPECT_EQ(MakeListEntry("1.1.100", "line"), " 1.1.100 - line");
  EXPECT_EQ(MakeListEntry("1.1.10.2", "line"), " 1.1.10.2- line");
  EXPECT_EQ(MakeListEntry("1.1.1", ""), " 1.1.1 - ");
}

TEST(ListTextTest, SortAndAlphabeticalEntries) {
  SortWeightTable table;
  InitSortWeights(table);
  const std::string sortEntry = MakeSortEntry(table, "1.1.10.2", "abc def");
  EXPECT_EQ(sortEntry, "0204050006  abc def" + Mark + "1.1.10.2");
  EXPECT_EQ(MakeAlphabeticalEntry(sortEntry), " 1.1.10.2 - abc def");
  EXPECT_EQ(MakeAlphabeticalEntry(MakeSortEntry(table, "1.1.1", "")), " 1.1.1 - ");
  EXPECT_EQ(MakeAlphabeticalEntry("no marks"), "  -marks");
  EXPECT_EQ(MakeAlphabeticalEntry(""), "  -");
}

TEST(ListTextTest, KaumudiEntriesRightAlignTheNumber) {
  EXPECT_EQ(MakeKaumudiEntry(12, "1.1.1", "line"), "   12 - line" + Mark + "1.1.1");
  EXPECT_EQ(MakeKaumudiEntry(65280, "x", ""), "65280 - " + Mark + "x");
  EXPECT_EQ(VisiblePart(MakeKaumudiEntry(12, "1.1.1", "line")), "   12 - line");
  EXPECT_EQ(EntryLabel(MakeKaumudiEntry(12, "1.1.1", "line")), "1.1.1");
  EXPECT_EQ(EntryLabel("none"), "");
}

TEST(ListTextTest, ListOrderFoldsAsciiCaseAndPutsBlanksBeforeDigits) {
  EXPECT_EQ(CompareListText("abc", "ABC"), 0);
  EXPECT_LT(CompareListText("abc", "ABD"), 0);
  EXPECT_LT(CompareListText("   12", "  100"), 0);
  EXPECT_LT(CompareListText("  999", " 1000"), 0);
  EXPECT_LT(CompareListText("ab", "abc"), 0);
  EXPECT_GT(CompareListText("\xE0", "z"), 0) << "bytes above 127 compare unsigned";
  EXPECT_LT(CompareListText("_", "a"), 0) << "letters fold to lower case before comparing";
}

// ---- the loader ----

class LoaderTest : public ::testing::Test {
protected:
  bool Load(const std::string& bytes) { return test::LoadBytes(state, host, dir, bytes); }
  Texts List(SutraList list) const { return host.Texts(list); }

  test::TempDir dir;
  CorpusState state;
  MemoryLoaderHost host;
};

TEST_F(LoaderTest, FillsEveryListInItsOrder) {
  CorpusFileBuilder file;
  file.Record(RecordBuilder().Label("1.1.1").Sutra("vrddhir adaic").Numbers(12, 0).Text())
      .Record(RecordBuilder().Label("1.1.2").Sutra("adeN gunah").Numbers(3, 7).Text())
      .Record(RecordBuilder().Label("1.1.10.2").Sutra("Bala").Numbers(0, 0).Text());
  ASSERT_TRUE(Load(file.Bytes()));

  EXPECT_EQ(List(SutraList::lstVykE0), (Texts{" 1.1.1 - vrddhir adaic", " 1.1.2 - adeN gunah", " 1.1.10.2- Bala"}));
  EXPECT_EQ(host.Records(SutraList::lstVykE0), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(List(SutraList::lstVykEy0),
            (Texts{"0206082300  adeN gunah" + Mark + "1.1.2", "0402180200  Bala" + Mark + "1.1.10.2",
                   "4131060612  vrddhir adaic" + Mark + "1.1.1"}));
  EXPECT_EQ(List(SutraList::lstVykEx0), (Texts{" 1.1.2 - adeN gunah", " 1.1.10.2 - Bala", " 1.1.1 - vrddhir adaic"}));
  EXPECT_EQ(host.Records(SutraList::lstVykEx0), (std::vector<int>{2, 3, 1}));
  EXPECT_EQ(List(SutraList::lstVykEy1), (Texts{"    3 - adeN gunah" + Mark + "1.1.2", "   12 - vrddhir adaic" + Mark + "1.1.1"}));
  EXPECT_EQ(List(SutraList::lstVykE1), (Texts{"    3 - adeN gunah", "   12 - vrddhir adaic"}));
  EXPECT_EQ(host.Records(SutraList::lstVykE1), (std::vector<int>{2, 1}));
  EXPECT_EQ(List(SutraList::lstVykEy2), (Texts{"    7 - adeN gunah" + Mark + "1.1.2"}));
  EXPECT_EQ(List(SutraList::lstVykE2), (Texts{"    7 - adeN gunah"}));

  EXPECT_EQ(state.gRecordCount, 3);
  EXPECT_EQ(state.gTextPos[1], 15);
  EXPECT_EQ(ReadRecordText(state, 2), RecordBuilder().Label("1.1.2").Sutra("adeN gunah").Numbers(3, 7).Text());
  EXPECT_EQ(state.gTextPos[4], 0);
  EXPECT_TRUE(state.gLoading) << "Main clears the loading flag, not the loader";
}

TEST_F(LoaderTest, EndsBySelectingTheFirstSutraAndSettingTheCaption) {
  CorpusFileBuilder file;
  file.Record(RecordBuilder().Text()).Record(RecordBuilder().Label("1.1.2").Text());
  ASSERT_TRUE(Load(file.Bytes()));
  ASSERT_EQ(host.selections.size(), 1u);
  EXPECT_EQ(host.selections[0], std::make_pair(SutraList::lstVykE0, 0));
  EXPECT_EQ(host.captionUpdates, 1);
  EXPECT_EQ(host.hourglass, (std::vector<bool>{true, false}));
  // At the start, after every index entry, once per record and twice at the end.
  EXPECT_EQ(host.events, 1 + 2 + 2 + 2);
}

TEST_F(LoaderTest, KaumudiListsSortNumericallyAndKeepDuplicates) {
  CorpusFileBuilder file;
  const int numbers[] = {100, 9, 12, 9, 1000};
  for (int i = 0; i < 5; ++i)
    file.Record(RecordBuilder().Label(test::Numbered("1.1.", i + 1)).Sutra("s").Numbers(numbers[i], 0).Text());
  ASSERT_TRUE(Load(file.Bytes()));
  EXPECT_EQ(List(SutraList::lstVykE1), (Texts{"    9 - s", "    9 - s", "   12 - s", "  100 - s", " 1000 - s"}));
  EXPECT_EQ(host.Records(SutraList::lstVykE1), (std::vector<int>{2, 4, 3, 1, 5}));
  EXPECT_TRUE(List(SutraList::lstVykE2).empty());
}

TEST_F(LoaderTest, HeaderByte8IsKeptAndOtherHeaderBytesIgnored) {
  CorpusFileBuilder file;
  file.HeaderByte(6, 'x').HeaderByte(7, 'y').HeaderByte(8, 0x07).HeaderByte(9, 'z').HeaderByte(13, 'q').HeaderByte(14, 'r');
  file.Record(RecordBuilder().Text());
  ASSERT_TRUE(Load(file.Bytes()));
  EXPECT_EQ(state.gHeaderByte8, 0x07);
  EXPECT_EQ(List(SutraList::lstVykE0).size(), 1u);
}

TEST_F(LoaderTest, HeaderOnlyFileHasNoRecords) {
  ASSERT_TRUE(Load(CorpusFileBuilder().Bytes()));
  EXPECT_EQ(host.ListCount(SutraList::lstVykE0), 0);
  EXPECT_TRUE(host.selections.empty()) << "an empty list has no item to select";
  EXPECT_EQ(host.captionUpdates, 1);
  EXPECT_EQ(state.gRecordCount, 0);
}

TEST_F(LoaderTest, RejectedFileKeepsListsTablesAndCache) {
  CorpusFileBuilder good;
  good.Record(RecordBuilder().Sutra("kept").Text());
  ASSERT_TRUE(Load(good.Bytes()));
  StoreEdit(state, 1, "edit");
  const Texts before = List(SutraList::lstVykE0);
  const int32_t pos = state.gTextPos[1];

  const std::string rejects[] = {
      CorpusFileBuilder().Signature("qmvyk").Record(RecordBuilder().Text()).Bytes(),
      CorpusFileBuilder().Signature("QMVYX").Bytes(),
      std::string("QMV"),
      std::string(),
  };
  for (const auto& bytes : rejects) {
    host.unknownFormatMessages = 0;
    host.hourglass.clear();
    EXPECT_FALSE(Load(bytes));
    EXPECT_EQ(host.unknownFormatMessages, 1);
    EXPECT_EQ(host.hourglass, (std::vector<bool>{true, false}));
    EXPECT_EQ(List(SutraList::lstVykE0), before);
    EXPECT_EQ(state.gTextPos[1], pos);
    EXPECT_EQ(state.gEditedText[1], "edit");
    EXPECT_EQ(state.gHeaderByte8, DefaultHeaderByte8);
    EXPECT_FALSE(state.gDataFileNo.IsOpen()) << "the data file is closed after a rejection";
  }
}

TEST_F(LoaderTest, MissingFileOrFolderIsRejectedWithTheMessage) {
  PrepareState(state, dir.path());
  EXPECT_FALSE(LoadSutraFile(state, host));
  EXPECT_EQ(host.unknownFormatMessages, 1);
  state.gDataFile = dir.path();
  EXPECT_FALSE(LoadSutraFile(state, host));
  EXPECT_EQ(host.unknownFormatMessages, 2);
}

// A data file that a save cut off while it wrote over it: the message names
// a whole corpus left in sutra.tmp beside it, and nothing less than whole.
TEST_F(LoaderTest, UnknownFormatMessageNamesAWholeCorpusLeftInSutraTmp) {
  const std::string a = RecordBuilder().Label("a").Text();
  const std::string whole = CorpusFileBuilder().Record(a).Record(a).Bytes();
  const std::pair<std::string, bool> copies[] = {
      {whole, true},
      {CorpusFileBuilder().Bytes(), true},  // of no records
      {"", false},                          // none
      {whole.substr(0, whole.size() - 1), false},
      {std::string(whole).replace(9, 3, "   "), false},  // no index start yet
      {CorpusFileBuilder().Record(a).Unreferenced("x").Record(a).Bytes(), false},
      {CorpusFileBuilder().Signature("qmvyk").Record(a).Bytes(), false},
  };
  const std::string named = std::string(UnknownFileFormatText) + "\rA save that was cut off left a whole corpus in " +
                            dir.File("sutra.tmp") + ": copy it over " + dir.File("sutra.vyk") + " to load it.";
  for (const auto& [copy, isNamed] : copies) {
    std::filesystem::remove(dir.File("sutra.tmp"));
    if (!copy.empty()) test::WriteBytes(dir.File("sutra.tmp"), copy);
    EXPECT_FALSE(Load(std::string(5, '\0') + whole.substr(5)));
    EXPECT_EQ(host.unknownFormatText, isNamed ? named : std::string(UnknownFileFormatText)) << copy.size();
  }
}

TEST_F(LoaderTest, FifoAsTheDataFileIsRejectedWithoutWaiting) {
  PrepareState(state, dir.path());
  test::MakeFifo(state.gDataFile);
  EXPECT_EQ(test::RunInChild([&] { return !LoadSutraFile(state, host) && host.unknownFormatMessages == 1; }), "");
}

TEST_F(LoaderTest, BareFileNameIsTakenFromTheDataFolder) {
  CorpusFileBuilder file;
  file.Record(RecordBuilder().Text());
  test::WriteBytes(dir.File("sutra.vyk"), file.Bytes());
  PrepareState(state, dir.path() + "/");
  state.gDataFile = "sutra.vyk";
  ASSERT_TRUE(LoadSutraFile(state, host));
  EXPECT_EQ(state.gDataDir, dir.path());
  EXPECT_EQ(state.gDataFile, dir.path() + "/sutra.vyk");
}

TEST_F(LoaderTest, ReloadDropsEditsAndRefillsEveryList) {
  CorpusFileBuilder file;
  file.Record(RecordBuilder().Sutra("one").Numbers(1, 1).Text());
  ASSERT_TRUE(Load(file.Bytes()));
  StoreEdit(state, 1, "edited");
  ASSERT_TRUE(Load(file.Bytes()));
  EXPECT_FALSE(HasEdit(state, 1));
  for (auto list : {SutraList::lstVykE0, SutraList::lstVykE1, SutraList::lstVykE2, SutraList::lstVykEy0,
                    SutraList::lstVykEy1, SutraList::lstVykEy2, SutraList::lstVykEx0})
    EXPECT_EQ(host.ListCount(list), 1);
}

TEST_F(LoaderTest, OtherKindsUseNoRecordNumberAndChangeNoList) {
  CorpusFileBuilder file;
  file.Record(RecordBuilder().Label("a").Text());
  file.RawEntry(15, 3, 2).RawEntry(15, 3, 0).RawEntry(15, 3, 3).RawEntry(15, 3, 255);
  file.Record(RecordBuilder().Label("b").Text());
  ASSERT_TRUE(Load(file.Bytes()));
  EXPECT_EQ(state.gRecordCount, 2);
  EXPECT_EQ(SplitRecord(*ReadRecordText(state, 2)).label, "b");
  EXPECT_EQ(List(SutraList::lstVykE0), (Texts{" a - ", " b - "}));
}

TEST_F(LoaderTest, TextsLoadWhereverTheIndexPutsThem) {
  CorpusFileBuilder file;
  const std::string first = RecordBuilder().Label("first").Text();
  const std::string second = RecordBuilder().Label("second").Text();
  const int32_t secondPos = file.NextPosition();
  file.Unreferenced(second).Unreferenced("garbage between");
  const int32_t firstPos = file.NextPosition();
  file.Unreferenced(first);
  file.RawEntry(firstPos, static_cast<int32_t>(first.size()), 1).RawEntry(secondPos, static_cast<int32_t>(second.size()), 1);
  ASSERT_TRUE(Load(file.Bytes()));
  EXPECT_EQ(List(SutraList::lstVykE0), (Texts{" first - ", " second - "}));
}

// ---- bad input: each case has a defined result ----

TEST_F(LoaderTest, IndexStartInsideTheHeaderMeansNoIndex) {
  for (int32_t start : {0, 1, 9, 14}) {
    CorpusFileBuilder file;
    file.Record(RecordBuilder().Text()).IndexStart(start);
    ASSERT_TRUE(Load(file.Bytes())) << start;
    EXPECT_EQ(state.gRecordCount, 0) << start;
    EXPECT_EQ(host.ListCount(SutraList::lstVykE0), 0) << start;
  }
}

TEST_F(LoaderTest, IndexStartPastTheEndMeansNoIndex) {
  CorpusFileBuilder file;
  file.Record(RecordBuilder().Text()).IndexStart(16646655);
  ASSERT_TRUE(Load(file.Bytes()));
  EXPECT_EQ(state.gRecordCount, 0);
}

TEST_F(LoaderTest, TrailingPartialIndexEntryIsPassedOver) {
  CorpusFileBuilder file;
  file.Record(RecordBuilder().Label("a").Text()).Trailer(std::string("\x0F\x00\x00\x05\x00", 5));
  ASSERT_TRUE(Load(file.Bytes()));
  EXPECT_EQ(state.gRecordCount, 1);
  EXPECT_EQ(List(SutraList::lstVykE0), (Texts{" a - "}));
}

TEST_F(LoaderTest, TextPastTheEndOfTheFileIsARecordWithoutText) {
  CorpusFileBuilder file;
  const std::string text = RecordBuilder().Label("a").Text();
  file.Record(text);
  file.RawEntry(15, 32000, 1);                      // runs past the end
  file.RawEntry(16000000, 4, 1);                    // starts past the end
  file.Record(RecordBuilder().Label("d").Text());
  ASSERT_TRUE(Load(file.Bytes()));
  EXPECT_EQ(state.gRecordCount, 4);
  EXPECT_EQ(state.gTextPos[2], 0);
  EXPECT_EQ(state.gTextLen[2], 0);
  EXPECT_EQ(state.gTextPos[3], 0);
  EXPECT_FALSE(ReadRecordText(state, 2));
  EXPECT_EQ(List(SutraList::lstVykE0), (Texts{" a - ", " d - "}));
  EXPECT_EQ(host.Records(SutraList::lstVykE0), (std::vector<int>{1, 4})) << "later rows still lead to their record";
}

TEST_F(LoaderTest, KindOneEntryWithPositionZeroUsesItsNumber) {
  CorpusFileBuilder file;
  file.RawEntry(0, 0, 1).Record(RecordBuilder().Label("b").Text());
  ASSERT_TRUE(Load(file.Bytes()));
  EXPECT_EQ(state.gRecordCount, 2);
  EXPECT_EQ(state.gTextPos[1], 0);
  EXPECT_EQ(List(SutraList::lstVykE0), (Texts{" b - "}));
  EXPECT_EQ(host.Records(SutraList::lstVykE0), (std::vector<int>{2}));
}

TEST_F(LoaderTest, MalformedTextsAreListedByTheLenientSplit) {
  CorpusFileBuilder file;
  file.Record("");                                            // empty text
  file.Record("no zero byte");                                // label only
  file.Record(std::string("lbl\0line\0", 9));                 // two zero bytes
  file.Record(std::string("c\0s\0\0\0\0\0\0\0\x0C", 11));     // ends inside the first number
  ASSERT_TRUE(Load(file.Bytes()));
  EXPECT_EQ(List(SutraList::lstVykE0), (Texts{"  - ", " no zero byte- ", " lbl - line", " c - s"}));
  EXPECT_EQ(List(SutraList::lstVykE1), (Texts{"   12 - s"}));
  EXPECT_EQ(ReadRecordText(state, 1), "");
}

TEST_F(LoaderTest, EntriesBeyondMaxSutrasAreCountedNotKept) {
  CorpusFileBuilder file;
  file.Record(RecordBuilder().Label("only").Text());
  for (int i = 0; i < MaxSutras + 2; ++i) file.RawEntry(15, 3, 1);
  ASSERT_TRUE(Load(file.Bytes()));
  EXPECT_EQ(state.gRecordCount, MaxSutras);
  EXPECT_EQ(state.gExcessRecords, 3);
  EXPECT_EQ(host.ListCount(SutraList::lstVykE0), MaxSutras);
  // A later load of a normal file forgets the excess.
  ASSERT_TRUE(Load(CorpusFileBuilder().Record(RecordBuilder().Text()).Bytes()));
  EXPECT_EQ(state.gExcessRecords, 0);
}

TEST_F(LoaderTest, LoadsTheRealCorpus) {
  VYK_REQUIRE_REAL_CORPUS();
  CorpusState real;
  PrepareState(real, dir.path());
  real.gDataFile = VYK_SHARED_CORPUS;
  ASSERT_TRUE(LoadSutraFile(real, host));
  EXPECT_EQ(real.gRecordCount, 3983);
  EXPECT_EQ(host.ListCount(SutraList::lstVykE0), 3983);
  EXPECT_EQ(host.ListCount(SutraList::lstVykEx0), 3983);
  EXPECT_EQ(host.ListCount(SutraList::lstVykE1), host.ListCount(SutraList::lstVykEy1));
  EXPECT_EQ(host.ListItem(SutraList::lstVykE0, 0).rfind(" 1.1.1 - ", 0), 0u);
  // The corpus's own figures: 3,978 sutras carry a Siddhanta Kaumudi number
  // and 1,269 a Laghu Kaumudi one, each set numbered from 1 without gaps,
  // so item i of a Kaumudi list shows the number i + 1.
  EXPECT_EQ(host.ListCount(SutraList::lstVykE1), 3978);
  EXPECT_EQ(host.ListCount(SutraList::lstVykE2), 1269);
  for (const SutraList list : {SutraList::lstVykE1, SutraList::lstVykE2}) {
    const Texts items = List(list);
    for (std::size_t i = 0; i < items.size(); ++i) {
      ASSERT_EQ(std::stoi(items[i].substr(0, 5)), static_cast<int>(i) + 1) << items[i];
      ASSERT_EQ(items[i].substr(5, 3), " - ") << items[i];
    }
  }
  EXPECT_EQ(List(SutraList::lstVykE1).front(), "    1 - halantyam");
  EXPECT_EQ(EntryLabel(List(SutraList::lstVykEy1).back()), "8.1.71");
  EXPECT_EQ(List(SutraList::lstVykE2).back(), " 1269 - y\xE2nasti\xE8");
  EXPECT_EQ(EntryLabel(List(SutraList::lstVykEy2).back()), "4.1.77");
}

}  // namespace
}  // namespace vyk
