#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <cstdlib>
#include <filesystem>

#include "tests/QtTestSupport.h"
#include "tests/TempDir.h"

namespace vyk {
namespace {

// Sets an environment variable for one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (had_) qputenv(name_, old_);
        else qunsetenv(name_);
    }

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

TEST(Paths, WindowsDirIsTheConfigFolderWithOneTrailingSlash) {
    test::EnsureApp();
    test::TempDir folder;
    {
        ScopedEnv env("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.path()));
        EXPECT_EQ(WindowsDir(), folder.path() + "/");
    }
    {
        ScopedEnv env("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.path() + "/"));
        EXPECT_EQ(WindowsDir(), folder.path() + "/");
    }
}

TEST(Paths, UserFontsDirIsTheDataFolderFonts) {
    test::EnsureApp();
    test::TempDir folder;
    ScopedEnv env("XDG_DATA_HOME", QByteArray::fromStdString(folder.path()));
    EXPECT_EQ(UserFontsDir(), folder.path() + "/fonts");
}

TEST(Paths, ProgramDirIsTheExecutablesFolder) {
    test::EnsureApp();
    const std::string dir = ProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), '/');
    EXPECT_EQ(dir, QCoreApplication::applicationDirPath().toStdString());
}

// A copy of this program run from a folder named in bytes that are not UTF-8.
TEST(Paths, ProgramDirKeepsTheBytesOfAFolderNameThatIsNotUtf8) {
    test::EnsureApp();
    if (const char* out = std::getenv("VYK_PROGRAM_DIR_OUT")) {
        test::WriteBytes(out, ProgramDir());
        return;
    }
    test::TempDir folder;
    const std::string programDir = folder.path() + "/caf\xe9", program = programDir + "/paths_test";
    ASSERT_TRUE(std::filesystem::create_directory(programDir));
    std::filesystem::copy_file("/proc/self/exe", program);
    ScopedEnv out("VYK_PROGRAM_DIR_OUT", QByteArray::fromStdString(folder.File("program_dir")));
    ASSERT_EQ(std::system(("'" + program + "' --gtest_filter='Paths.ProgramDirKeeps*' >/dev/null").c_str()), 0);
    EXPECT_EQ(test::ReadBytes(folder.File("program_dir")), programDir);
}

TEST(Paths, FolderNamesKeepTheirBytesThroughQt) {
    const std::string path = "/data/sanskr\xcc\xa5ta/V\xc4\x81kya";  // UTF-8 on disk
    EXPECT_EQ(BytePath(QtPath(path)), path);
    EXPECT_EQ(QtPath(path), QString::fromUtf8(path.c_str()));
}

}  // namespace
}  // namespace vyk
