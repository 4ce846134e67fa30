// The window's pictures, compiled into the program as Qt resources.

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <vector>

namespace vyk {
namespace {

struct PictureRow {
  const char* path;
  int width;
  int height;
  bool opaque;  // the design's 24-bit pictures; icons may be transparent
};

constexpr PictureRow Pictures[] = {
    {":/pictures/title.png", 827, 565, true},
    {":/pictures/panel.png", 72, 62, true},
    {":/pictures/side_astadhyayi.png", 78, 635, true},
    {":/pictures/side_siddhanta.png", 78, 630, true},
    {":/pictures/side_laghu.png", 78, 634, true},
    {":/pictures/terminate.png", 32, 32, false},
    {":/pictures/terminate_down.png", 32, 32, false},
    {":/pictures/app.png", 64, 64, false},
};

QImage Load(const char* path) { return QImage(QString::fromLatin1(path)); }

TEST(Pictures, EachLoadsAtItsDesignSize) {
  for (const PictureRow& row : Pictures) {
    const QImage image = Load(row.path);
    ASSERT_FALSE(image.isNull()) << row.path;
    EXPECT_EQ(image.width(), row.width) << row.path;
    EXPECT_EQ(image.height(), row.height) << row.path;
    if (row.opaque) {
      EXPECT_FALSE(image.hasAlphaChannel()) << row.path;
    }
  }
}

TEST(Pictures, PicturesShowingSideBySideDiffer) {
  // The side strip tells which order the lists show, and the pressed
  // Terminate icon must look pressed.
  const QImage astadhyayi = Load(":/pictures/side_astadhyayi.png");
  const QImage siddhanta = Load(":/pictures/side_siddhanta.png").copy(0, 0, 78, 630);
  const QImage laghu = Load(":/pictures/side_laghu.png");
  EXPECT_NE(astadhyayi.copy(0, 0, 78, 630), siddhanta);
  EXPECT_NE(laghu.copy(0, 0, 78, 630), siddhanta);
  EXPECT_NE(astadhyayi.copy(0, 0, 78, 634), laghu);
  EXPECT_NE(Load(":/pictures/terminate.png"), Load(":/pictures/terminate_down.png"));
}

}  // namespace
}  // namespace vyk
