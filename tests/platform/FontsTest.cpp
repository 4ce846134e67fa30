#include "platform/Fonts.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFontDatabase>

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

}  // namespace
}  // namespace vyk
