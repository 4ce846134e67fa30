#include "platform/CheckedFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <tuple>
#include <utility>

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

TEST(CheckedFilesTest, RootFollowsOnlyItsOwnLinksAndOthersWhatProtectedSymlinksAllows) {
  // Follower, the link's owner, the mode and owner of its folder, and whether it is followed.
  const std::tuple<uid_t, uid_t, mode_t, uid_t, bool> rows[] = {
      {0, 0, 0755, 1000, true},     {0, 1000, 0755, 1000, false},  {0, 1000, 01777, 0, false},
      {1000, 1000, 01777, 0, true}, {1000, 1001, 01777, 0, false}, {1000, 1001, 01777, 1001, true},
      {1000, 1001, 01775, 0, true}, {1000, 1001, 0777, 0, true},   {1000, 0, 0755, 0, true},
  };
  for (const auto& [follower, linkOwner, folderMode, folderOwner, follows] : rows) {
    struct stat link {}, folder {};
    link.st_uid = linkOwner;
    folder.st_mode = S_IFDIR | folderMode;
    folder.st_uid = folderOwner;
    EXPECT_EQ(MayFollowLink(follower, link, folder), follows) << follower << " " << linkOwner << " " << std::oct
                                                               << folderMode << " " << std::dec << folderOwner;
  }
}

// Links are followed one at a time as the kernel follows them: relative to
// the folder holding the link, ".." to the real parent, and a last link that
// dangles to the name it points at.
TEST(CheckedFilesTest, ReachNameFollowsLinksAsTheKernelDoes) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.File("a/b"));
  dir.Write("a/b/file", "x");
  for (const auto& [name, target] : {std::pair<std::string, std::string>{"ab", "a/b"}, {"up", "ab/.."},
                                     {"chain", "ab/../b/file"}, {"abs", dir.File("a/b/file")}, {"new", "a/b/new"},
                                     {"gone", "nowhere/new"}, {"loop", "loop"}})
    ASSERT_EQ(::symlink(target.c_str(), dir.File(name).c_str()), 0);
  // The path, the folder and name it reaches, or the error.
  const std::tuple<const char*, const char*, const char*, int> rows[] = {
      {"ab/file", "a/b", "file", 0}, {"ab", "a", "b", 0},       {"up/b/file", "a/b", "file", 0},
      {"chain", "a/b", "file", 0},   {"abs", "a/b", "file", 0}, {"new", "a/b", "new", 0},
      {"gone", "", "", ENOENT},      {"loop", "", "", ELOOP},   {"a/b/file/x", "", "", ENOTDIR},
  };
  for (const auto& [path, folder, name, error] : rows) {
    errno = 0;
    const std::optional<ReachedName> reached = ReachName(dir.File(path));
    const int failure = errno;
    ASSERT_EQ(reached.has_value(), error == 0) << path << ": " << failure;
    if (!reached) {
      EXPECT_EQ(failure, error) << path;
      continue;
    }
    struct stat got {}, expected {};
    ASSERT_EQ(::fstat(reached->folder.Get(), &got) | ::stat(dir.File(folder).c_str(), &expected), 0);
    EXPECT_TRUE(SameFile(got, expected)) << path;
    EXPECT_EQ(reached->name, name) << path;
  }
}

}  // namespace
}  // namespace vyk
