#include "corpus/DataFile.h"

#include <gtest/gtest.h>

#include "tests/corpus/TestSupport.h"

namespace vyk {
namespace {

TEST(DataFileTest, ReadsAtOneBasedPositions) {
  test::TempDir dir;
  test::WriteBytes(dir.File("f"), "abcdef");
  DataFile file;
  ASSERT_TRUE(file.Open(dir.File("f")));
  EXPECT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Length(), 6);
  EXPECT_EQ(file.ReadAt(1, 3), "abc");
  EXPECT_EQ(file.ReadAt(4, 3), "def");
  EXPECT_EQ(file.ReadAt(7, 0), "") << "an empty read just past the end succeeds";
}

TEST(DataFileTest, FailedReadsNeverReturnPartialText) {
  test::TempDir dir;
  test::WriteBytes(dir.File("f"), "abcdef");
  DataFile file;
  EXPECT_FALSE(file.ReadAt(1, 1)) << "closed";
  EXPECT_EQ(file.Length(), -1);
  ASSERT_TRUE(file.Open(dir.File("f")));
  EXPECT_FALSE(file.ReadAt(0, 1));
  EXPECT_FALSE(file.ReadAt(-3, 1));
  EXPECT_FALSE(file.ReadAt(1, -1));
  EXPECT_FALSE(file.ReadAt(5, 3)) << "runs past the end";
  EXPECT_FALSE(file.ReadAt(100, 1));
  std::string buffer = "stale";
  EXPECT_FALSE(file.ReadInto(6, 2, buffer));
  EXPECT_TRUE(buffer.empty());
  EXPECT_EQ(file.ReadUpTo(5, 10), "ef");
  EXPECT_EQ(file.ReadUpTo(7, 10), "");
}

TEST(DataFileTest, OpenRefusesMissingFilesAndFolders) {
  test::TempDir dir;
  DataFile file;
  EXPECT_FALSE(file.Open(dir.File("missing")));
  EXPECT_FALSE(file.Open(dir.path()));
  EXPECT_FALSE(file.IsOpen());
}

TEST(DataFileTest, CloseAndMoveLeaveOneOwner) {
  test::TempDir dir;
  test::WriteBytes(dir.File("f"), "abc");
  DataFile first;
  ASSERT_TRUE(first.Open(dir.File("f")));
  DataFile second = std::move(first);
  EXPECT_FALSE(first.IsOpen());
  EXPECT_EQ(second.ReadAt(2, 2), "bc");
  second.Close();
  EXPECT_FALSE(second.IsOpen());
  EXPECT_FALSE(second.ReadAt(1, 1));
}

TEST(DataFileTest, AnOpenHandleStillReadsTheOldFileAfterItIsReplaced) {
  test::TempDir dir;
  test::WriteBytes(dir.File("f"), "old text");
  test::WriteBytes(dir.File("g"), "new");
  DataFile file;
  ASSERT_TRUE(file.Open(dir.File("f")));
  std::filesystem::rename(dir.File("g"), dir.File("f"));
  EXPECT_EQ(file.ReadAt(1, 8), "old text");
}

}  // namespace
}  // namespace vyk
