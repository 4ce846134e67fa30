#include "platform/Files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include "tests/QtTestSupport.h"
#include "tests/TempDir.h"

namespace vyk {
namespace {

using test::TempDir;

TEST(FileExists, TrueOnlyForVisibleRegularFiles) {
    TempDir folder;
    const std::string file = folder.Write("sutra.vyk", "QMVYK");
    const std::string hidden = folder.Write(".sutra.vyk", "QMVYK");
    QDir(QString::fromStdString(folder.path())).mkdir("sub");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(hidden));
    EXPECT_FALSE(FileExists(folder.File("sub")));
    EXPECT_FALSE(FileExists(folder.File("missing")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists("/dev/null"));
}

TEST(FileExists, LinkToAFileCounts) {
    TempDir folder;
    const std::string file = folder.Write("a", "x");
    ASSERT_EQ(::symlink(file.c_str(), folder.File("link").c_str()), 0);
    EXPECT_TRUE(FileExists(folder.File("link")));
}

TEST(ModificationTime, ReadsTheFilesTimeInMilliseconds) {
    TempDir folder;
    const std::string file = folder.Write("sutra.vyk", "x");
    const timeval times[2] = {{1'000'000'000, 0}, {1'000'000'123, 456'000}};
    ASSERT_EQ(::utimes(file.c_str(), times), 0);
    EXPECT_EQ(ModificationTime(file), std::optional<std::int64_t>(1'000'000'123'456));
    EXPECT_EQ(ModificationTime(folder.File("missing")), std::nullopt);
    EXPECT_EQ(ModificationTime(""), std::nullopt);
}

TEST(ModificationTime, ChangesWhenTheFileIsRewritten) {
    TempDir folder;
    const std::string file = folder.Write("sutra.vyk", "old");
    const timeval times[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    ASSERT_EQ(::utimes(file.c_str(), times), 0);
    const auto before = ModificationTime(file);
    folder.Write("sutra.vyk", "new");
    EXPECT_NE(ModificationTime(file), before);
}

TEST(StartDetached, MissingProgramGivesTheSystemsText) {
    TempDir folder;
    EXPECT_EQ(StartDetached(folder.File("vykConvert")), std::optional<std::string>("No such file or directory"));
    EXPECT_EQ(StartDetached(""), std::optional<std::string>("No such file or directory"));
}

TEST(StartDetached, FileWithoutExecutePermissionIsRefused) {
    TempDir folder;
    const std::string program = folder.Write("vykConvert", "#!/bin/sh\n");
    ::chmod(program.c_str(), 0644);
    EXPECT_EQ(StartDetached(program), std::optional<std::string>("Permission denied"));
}

TEST(StartDetached, FolderIsRefused) {
    TempDir folder;
    EXPECT_EQ(StartDetached(folder.path()), std::optional<std::string>("Permission denied"));
}

TEST(StartDetached, ProgramRunsWithoutBeingWaitedFor) {
    test::EnsureApp();
    TempDir folder;
    const std::string marker = folder.File("ran");
    const std::string program = folder.Write("vykConvert", "#!/bin/sh\nsleep 0.2\ntouch '" + marker + "'\n");
    ::chmod(program.c_str(), 0755);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(StartDetached(program), std::nullopt);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(marker))) << "the start must not wait";
    while (!QFile::exists(QString::fromStdString(marker)) && clock.elapsed() < 10'000) QThread::msleep(20);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(marker)));
}

}  // namespace
}  // namespace vyk
