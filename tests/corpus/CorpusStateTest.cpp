#include "corpus/CorpusState.h"

#include <gtest/gtest.h>

#include "tests/corpus/TestSupport.h"

namespace vyk {
namespace {

TEST(CorpusStateTest, FreshStateHasEmptyTablesOfEveryRecordNumber) {
  CorpusState state;
  EXPECT_EQ(state.gTextPos.size(), static_cast<std::size_t>(MaxSutras + 1));
  EXPECT_EQ(state.gTextLen.size(), static_cast<std::size_t>(MaxSutras + 1));
  EXPECT_EQ(state.gEditedText.size(), static_cast<std::size_t>(MaxSutras + 1));
  EXPECT_EQ(state.gSaveIndex.size(), static_cast<std::size_t>(MaxSutras + 1));
  EXPECT_EQ(state.gHeaderByte8, '\x1B');
  EXPECT_EQ(state.gHeaderTag, '\x01');
  EXPECT_FALSE(state.gDataFileNo.IsOpen());
}

TEST(CorpusStateTest, RecordNumbersOutsideTheTablesChangeNothing) {
  CorpusState state;
  for (int k : {0, -1, MaxSutras + 1, 32767}) {
    EXPECT_FALSE(PlaceRecord(state, k, 15, 3));
    EXPECT_FALSE(StoreEdit(state, k, "x"));
    EXPECT_FALSE(DropEdit(state, k));
    EXPECT_FALSE(HasEdit(state, k));
    EXPECT_FALSE(ReadRecordText(state, k));
    EXPECT_FALSE(ReadFileRecordText(state, k));
  }
  EXPECT_TRUE(PlaceRecord(state, MaxSutras, 15, 3));
  EXPECT_TRUE(PlaceRecord(state, 1, 15, 3));
}

TEST(CorpusStateTest, ReadTakesTheCacheFirstThenTheFile) {
  test::TempDir dir;
  test::WriteBytes(dir.File("f"), "HEADER........abcdefgh");
  CorpusState state;
  ASSERT_TRUE(state.gDataFileNo.Open(dir.File("f")));
  PlaceRecord(state, 3, 15, 4);
  EXPECT_EQ(ReadRecordText(state, 3), "abcd");
  EXPECT_FALSE(HasEdit(state, 3));

  ASSERT_TRUE(StoreEdit(state, 3, "edited"));
  EXPECT_TRUE(HasEdit(state, 3));
  EXPECT_EQ(ReadRecordText(state, 3), "edited");
  EXPECT_EQ(ReadFileRecordText(state, 3), "abcd");

  ASSERT_TRUE(StoreEdit(state, 3, "second"));
  EXPECT_EQ(ReadRecordText(state, 3), "second") << "a second store replaces the first whole";

  ASSERT_TRUE(DropEdit(state, 3));
  EXPECT_EQ(ReadRecordText(state, 3), "abcd");
}

TEST(CorpusStateTest, EditOperationsLeaveTheFlagsAlone) {
  CorpusState state;
  state.gDataModified = true;
  StoreEdit(state, 1, "x");
  DropEdit(state, 1);
  EXPECT_TRUE(state.gDataModified) << "dropping an edit does not clear the modified flag";
  EXPECT_FALSE(StoreEdit(state, 1, "")) << "an empty entry would read as unchanged";
}

TEST(CorpusStateTest, RecordsWithoutTextOrReadableBytesYieldNothing) {
  test::TempDir dir;
  test::WriteBytes(dir.File("f"), "0123456789");
  CorpusState state;
  PlaceRecord(state, 1, 1, 4);
  EXPECT_FALSE(ReadRecordText(state, 1)) << "file not open";
  ASSERT_TRUE(state.gDataFileNo.Open(dir.File("f")));
  EXPECT_EQ(ReadRecordText(state, 1), "0123");
  PlaceRecord(state, 2, 0, 0);
  EXPECT_FALSE(ReadRecordText(state, 2)) << "position 0";
  PlaceRecord(state, 3, 8, 10);
  EXPECT_FALSE(ReadRecordText(state, 3)) << "past the end";
  PlaceRecord(state, 4, 11, 0);
  EXPECT_EQ(ReadRecordText(state, 4), "") << "an empty text at the end";
}

TEST(CorpusStateTest, ClearEmptiesTablesAndCacheButKeepsTheFlags) {
  CorpusState state;
  PlaceRecord(state, 1, 15, 10);
  PlaceRecord(state, MaxSutras, 99, 1);
  StoreEdit(state, 7, "cached");
  state.gDataModified = true;
  ClearRecords(state);
  for (int k = 1; k <= MaxSutras; ++k) {
    ASSERT_EQ(state.gTextPos[k], 0);
    ASSERT_EQ(state.gTextLen[k], 0);
    ASSERT_TRUE(state.gEditedText[k].empty());
  }
  EXPECT_TRUE(state.gDataModified);
}

}  // namespace
}  // namespace vyk
