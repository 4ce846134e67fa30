#include "platform/Twips.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <cmath>
#include <limits>

#include "tests/QtTestSupport.h"

namespace vyk {
namespace {

TEST(Twips, ConvertAtFifteenPerPixelRoundingToTheNearest) {
    EXPECT_EQ(TwipsToPixels(0), 0);
    EXPECT_EQ(TwipsToPixels(7), 0);
    EXPECT_EQ(TwipsToPixels(8), 1);
    EXPECT_EQ(TwipsToPixels(150), 10);
    EXPECT_EQ(TwipsToPixels(739.2), 49);
    EXPECT_EQ(TwipsToPixels(-22), -1);
    EXPECT_DOUBLE_EQ(PixelsToTwips(318), 4770);
}

TEST(Twips, WildValuesGiveUsablePixels) {
    EXPECT_EQ(TwipsToPixels(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(TwipsToPixels(std::numeric_limits<double>::infinity()), 0);
    EXPECT_GT(TwipsToPixels(1e300), 0);
    EXPECT_LT(TwipsToPixels(-1e300), 0);
}

TEST(TwipsPlacement, KeepsFractionalTwipsAndPlacesWholePixels) {
    test::EnsureApp();
    QWidget widget;
    TwipsPlacement placement(&widget);
    placement.Set(80, 160, 840, 739.2);
    EXPECT_DOUBLE_EQ(placement.Height(), 739.2);
    EXPECT_EQ(widget.geometry(), QRect(5, 11, 56, 49));
    placement.SetLeft(1140);
    placement.SetTop(959.2);
    EXPECT_EQ(widget.pos(), QPoint(76, 64));
    EXPECT_DOUBLE_EQ(placement.Top(), 959.2);
}

TEST(TwipsPlacement, NegativeSizesShowAsZeroButReadBackAsWritten) {
    test::EnsureApp();
    QWidget widget;
    TwipsPlacement placement(&widget);
    placement.SetWidth(-300);
    placement.SetHeight(-45);
    placement.SetLeft(-150);
    EXPECT_EQ(widget.size(), QSize(0, 0));
    EXPECT_EQ(widget.x(), -10);
    EXPECT_DOUBLE_EQ(placement.Width(), -300);
    EXPECT_DOUBLE_EQ(placement.Height(), -45);
}

}  // namespace
}  // namespace vyk
