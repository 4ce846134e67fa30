#include "platform/Fonts.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFontDatabase>

#include <sys/stat.h>

#include <filesystem>
#include <utility>

#include "tests/QtTestSupport.h"
#include "tests/TempDir.h"

namespace vyk {
namespace {

TEST(Fonts, KnownFamilyIsAvailableWhateverItsCase) {
    test::EnsureApp();
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    QString family = families.front();
    family.truncate(family.indexOf(" [") >= 0 ? family.indexOf(" [") : family.size());
    EXPECT_TRUE(FaceAvailable(family.toLatin1().toStdString()));
    EXPECT_TRUE(FaceAvailable(family.toUpper().toLatin1().toStdString()));
}

TEST(Fonts, UnknownFamilyIsNotAvailable) {
    test::EnsureApp();
    EXPECT_FALSE(FaceAvailable("No Such Face Kovra"));
    EXPECT_FALSE(FaceAvailable(""));
}

TEST(Fonts, AddingAFileThatIsNoFontFails) {
    test::EnsureApp();
    test::TempDir folder;
    EXPECT_FALSE(AddFontFile(folder.Write("velka.ttf", "not a font")));
    EXPECT_FALSE(AddFontFile(folder.File("missing.ttf")));
    EXPECT_FALSE(AddFontFile(""));
}

TEST(Fonts, AddedFontFileMakesItsFamilyAvailable) {
    test::EnsureApp();
    const QString source = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    if (!QFile::exists(source)) GTEST_SKIP() << "fonts-dejavu-core is not installed";
    test::TempDir folder;
    const std::string copy = folder.File("mono.ttf");
    ASSERT_TRUE(QFile::copy(source, QString::fromStdString(copy)));
    EXPECT_TRUE(AddFontFile(copy));
    EXPECT_TRUE(FaceAvailable("DejaVu Sans Mono"));
}

TEST(Fonts, InstalledCopyIsNoMoreReadableThanItsSourceAndAtMost0644) {
    test::EnsureApp();
    const std::string font = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    if (!test::Exists(font)) GTEST_SKIP() << "fonts-dejavu-core is not installed";
    test::TempDir folder;
    const std::string source = folder.Write("mono.ttf", test::ReadBytes(font));
    std::filesystem::create_directory(folder.File("fonts"));
    const std::string target = folder.Write("fonts/mono.ttf", "an older file");
    for (const auto& [mode, copied] : {std::pair{0640u, 0640u}, {0666u, 0644u}, {0755u, 0644u}, {0600u, 0600u}}) {
        ASSERT_EQ(::chmod(source.c_str(), mode), 0);
        EXPECT_TRUE(InstallFontFile(source, target));
        struct stat status {};
        ASSERT_EQ(::stat(target.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, copied) << std::oct << mode;
        EXPECT_TRUE(test::ReadBytes(target) == test::ReadBytes(font));
        EXPECT_EQ(test::Names(folder.File("fonts")), (std::vector<std::string>{"mono.ttf"}));
    }
}

}  // namespace
}  // namespace vyk
