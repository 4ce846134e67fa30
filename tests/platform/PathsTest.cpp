#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

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

TEST(Paths, FolderNamesKeepTheirBytesThroughQt) {
    const std::string path = "/data/sanskr\xcc\xa5ta/V\xc4\x81kya";  // UTF-8 on disk
    EXPECT_EQ(BytePath(QtPath(path)), path);
    EXPECT_EQ(QtPath(path), QString::fromUtf8(path.c_str()));
}

}  // namespace
}  // namespace vyk
