#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

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

// The test runs a copy of its own program from a folder whose name is not
// valid UTF-8; that run writes what ProgramDir() gives into a file.
TEST(Paths, ProgramDirKeepsTheBytesOfAFolderNameThatIsNotUtf8) {
    test::EnsureApp();
    constexpr char OutVariable[] = "VYK_PROGRAM_DIR_OUT";
    if (const char* out = std::getenv(OutVariable)) {
        test::WriteBytes(out, ProgramDir());
        return;
    }
    test::TempDir folder;
    const std::string programDir = folder.path() + "/caf\xe9";
    const std::string program = programDir + "/paths_test";
    ASSERT_TRUE(std::filesystem::create_directory(programDir));
    std::filesystem::copy_file("/proc/self/exe", program);
    ASSERT_EQ(::chmod(program.c_str(), 0755), 0);

    const std::string out = folder.File("program_dir");
    const std::string filter = "--gtest_filter=Paths.ProgramDirKeepsTheBytesOfAFolderNameThatIsNotUtf8";
    std::vector<std::string> environment{std::string(OutVariable) + "=" + out};
    for (char** variable = environ; *variable != nullptr; ++variable) environment.emplace_back(*variable);
    std::vector<char*> envp;
    for (std::string& variable : environment) envp.push_back(variable.data());
    envp.push_back(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::execle(program.c_str(), program.c_str(), filter.c_str(), static_cast<char*>(nullptr), envp.data());
        ::_exit(127);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(test::ReadBytes(out), programDir);
}

TEST(Paths, FolderNamesKeepTheirBytesThroughQt) {
    const std::string path = "/data/sanskr\xcc\xa5ta/V\xc4\x81kya";  // UTF-8 on disk
    EXPECT_EQ(BytePath(QtPath(path)), path);
    EXPECT_EQ(QtPath(path), QString::fromUtf8(path.c_str()));
}

}  // namespace
}  // namespace vyk
