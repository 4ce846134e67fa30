#include "platform/CheckedFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>

#include "tests/TempDir.h"

namespace vyk {
namespace {

TEST(CheckedFilesTest, ReadWithoutACapReadsTheWholeFile) {
  test::TempDir dir;
  const std::string bytes(70000, 'v');
  EXPECT_TRUE(ReadRegularFile(dir.Write("f", bytes), -1).bytes == bytes);
  EXPECT_EQ(ReadRegularFile(dir.Write("g", "abc"), 2).status, ReadStatus::Unreadable);
}

// A file size limit cuts the first write short and fails the next: both
// writers go on after the short one and give the cause of the failure.
TEST(CheckedFilesTest, WritesGoOnAfterAShortWriteAndFailWithTheirCause) {
  test::TempDir dir;
  EXPECT_EQ(test::RunInChild([&] {
              ::signal(SIGXFSZ, SIG_IGN);
              const rlimit limit{100, 100};
              const std::string bytes(150, 'x');
              FileDescriptor at(::open(dir.File("at").c_str(), O_WRONLY | O_CREAT, 0600));
              FileDescriptor end(::open(dir.File("end").c_str(), O_WRONLY | O_CREAT, 0600));
              return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 && !WriteAllAt(at.Get(), bytes.data(), 150, 20) &&
                     errno == EFBIG && !WriteAll(end.Get(), bytes.data(), 150) && errno == EFBIG;
            }),
            "");
  EXPECT_EQ(test::ReadBytes(dir.File("at")), std::string(20, '\0') + std::string(80, 'x'));
  EXPECT_EQ(test::ReadBytes(dir.File("end")), std::string(100, 'x'));
}

}  // namespace
}  // namespace vyk
