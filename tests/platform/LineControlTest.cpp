#include "platform/LineControl.h"

#include <gtest/gtest.h>

#include <QImage>

#include "tests/QtTestSupport.h"

namespace vyk {
namespace {

TEST(LineControl, CoversExactlyTheLinesPixels) {
    test::EnsureApp();
    QWidget parent;
    LineControl top(QColor(128, 128, 128), &parent);
    top.SetX1(4690);
    top.SetY1(585);
    top.SetX2(11825);
    top.SetY2(585);
    EXPECT_EQ(top.geometry(), QRect(313, 39, 476, 1));
    EXPECT_DOUBLE_EQ(top.X2(), 11825);

    LineControl left(QColor(128, 128, 128), &parent);
    left.SetY1(585);
    left.SetX1(4690);
    left.SetX2(4690);
    left.SetY2(8840);
    EXPECT_EQ(left.geometry(), QRect(313, 39, 1, 551));
}

TEST(LineControl, EndPointsInEitherOrderGiveTheSameLine) {
    test::EnsureApp();
    LineControl line(Qt::white);
    line.SetX1(300);
    line.SetX2(150);
    line.SetY1(90);
    line.SetY2(90);
    EXPECT_EQ(line.geometry(), QRect(10, 6, 11, 1));
}

TEST(LineControl, PaintsItsColour) {
    test::EnsureApp();
    QWidget parent;
    parent.resize(100, 100);
    LineControl line(QColor(128, 128, 128), &parent);
    line.SetX1(150);
    line.SetY1(150);
    line.SetX2(750);
    line.SetY2(150);
    const QImage image = line.grab().toImage();
    ASSERT_EQ(image.size(), QSize(41, 1));
    EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(128, 128, 128));
    EXPECT_EQ(QColor(image.pixel(40, 0)), QColor(128, 128, 128));
}

}  // namespace
}  // namespace vyk
