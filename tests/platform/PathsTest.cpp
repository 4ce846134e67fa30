#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/Files.h"
#include "platform/IniFile.h"
#include "tests/QtTestSupport.h"
#include "tests/TempDir.h"

namespace vyk {
namespace {

// Sets an environment variable for one test; a null value unsets it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        if (value.isNull()) qunsetenv(name);
        else qputenv(name, value);
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
    test::TempDir folder;
    ScopedEnv env("XDG_DATA_HOME", QByteArray::fromStdString(folder.path()));
    EXPECT_EQ(UserFontsDir(), folder.path() + "/fonts");
}

// A private home, byte for byte, and no XDG folders of the caller's.
struct PrivateHome {
    explicit PrivateHome(const std::string& name, const char* configHome = nullptr)
        : home(folder.path() + "/" + name), homeEnv("HOME", QByteArray::fromStdString(home)),
          configEnv("XDG_CONFIG_HOME", configHome), dataEnv("XDG_DATA_HOME", configHome) {
        std::filesystem::create_directory(home);
    }
    test::TempDir folder;
    std::string home;
    ScopedEnv homeEnv, configEnv, dataEnv;
};

// A home that is not UTF-8 is not swapped for a new one with U+FFFD in it.
TEST(Paths, FoldersKeepTheBytesOfAHomeThatIsNotUtf8) {
    PrivateHome env("h-\xE9");
    EXPECT_EQ(UserFontsDir(), env.folder.path() + "/h-\xE9/.local/share/fonts");
    ASSERT_TRUE(WritePrivateProfileString("Settings", "Dir", "/d", WindowsDir() + "vyakor.ini"));
    EXPECT_EQ(test::ReadBytes(env.folder.path() + "/h-\xE9/.config/vyakor.ini"), "[Settings]\nDir=/d\n");
    EXPECT_EQ(test::Names(env.folder.path()), std::vector<std::string>{"h-\xE9"});
}

// A relative XDG folder would land under the working folder; without HOME
// the account's home stands in, where a guess wrote /.config at the root.
TEST(Paths, RelativeXdgFoldersAreIgnoredAndAMissingHomeComesFromTheAccount) {
    PrivateHome env("home", "relcfg");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(env.folder.path());
    EXPECT_EQ(UserFontsDir(), env.home + "/.local/share/fonts");
    EXPECT_TRUE(WritePrivateProfileString("Settings", "Dir", "/d", WindowsDir() + "vyakor.ini"));
    std::filesystem::current_path(before);
    EXPECT_EQ(test::Names(env.folder.path()), std::vector<std::string>{"home"});
    EXPECT_TRUE(test::Exists(env.home + "/.config/vyakor.ini"));

    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    ScopedEnv noHome("HOME", QByteArray());
    EXPECT_EQ(WindowsDir(), std::string(account->pw_dir) + "/.config/");
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
