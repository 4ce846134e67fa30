#include <gtest/gtest.h>

#include "platform/LineControl.h"
#include "tests/window/WindowFixture.h"

namespace vyk {
namespace {

using test::Record;
using test::WindowFixture;

struct Rect {
    double left, top, width, height;
};

Rect Of(const TwipsPlacement& placement) {
    return {placement.Left(), placement.Top(), placement.Width(), placement.Height()};
}

void ExpectRect(const TwipsPlacement& placement, Rect expected, const char* what) {
    SCOPED_TRACE(what);
    const Rect actual = Of(placement);
    EXPECT_NEAR(actual.left, expected.left, 1e-6);
    EXPECT_NEAR(actual.top, expected.top, 1e-6);
    EXPECT_NEAR(actual.width, expected.width, 1e-6);
    EXPECT_NEAR(actual.height, expected.height, 1e-6);
}

class LayoutTest : public WindowFixture {
protected:
    void SetUp() override {
        // 800 x 600 pixels: 12,000 x 9,000 twips.
        ASSERT_TRUE(Start({Record("1.1.1", "a", 1, 1), Record("1.1.2", "b", 2, 0)}, 800, 600));
    }
};

TEST_F(LayoutTest, PlacesEveryControlOfTheWorkedExample) {
    FrmSutra& f = Window();
    ASSERT_EQ(f.frDetail->Placement().Height(), 495);
    ExpectRect(f.frPanel->Placement(), {80, 50, 1000, 8730}, "frPanel");
    ExpectRect(f.imgPnl[0]->Placement(), {80, 160, 840, 739.2}, "imgPnl(0)");
    ExpectRect(f.imgPnl[1]->Placement(), {80, 959.2, 840, 7690.8}, "imgPnl(1)");
    EXPECT_EQ(f.frIndex->Placement().Left(), 1140);
    EXPECT_EQ(f.frIndex->Placement().Width(), 3500);
    EXPECT_EQ(f.frDetail->Placement().Left(), 4680);
    EXPECT_EQ(f.frDetail->Placement().Width(), 7165);
    for (ListControl* list : {f.lstVykE[0], f.lstVykE[1], f.lstVykE[2], f.lstVykEx[0]})
        ExpectRect(list->Placement(), {1140, 575, 3500, 8285}, qPrintable(list->objectName()));
    ExpectRect(f.rtbE[0]->Placement(), {4770, 650, 7005, 8175}, "rtbE(0)");

    EXPECT_EQ(f.lblIndex->Placement().Left(), 3500 / 2.0 - f.lblIndex->Placement().Width() / 2);
    EXPECT_EQ(f.lblRef->Placement().Left(), 200);
    EXPECT_EQ(f.lblkaumudi[0]->Placement().Left(), 7165 / 2.0 - f.lblkaumudi[0]->Placement().Width() / 2 - 250);
    EXPECT_EQ(f.lblkaumudi[1]->Placement().Left(), 7165 - (f.lblkaumudi[1]->Placement().Width() + 100));
}

TEST_F(LayoutTest, DrawsTheSunkenBoxFromItsFourCorners) {
    FrmSutra& f = Window();
    auto ends = [](const LineControl* line) { return std::array<double, 4>{line->X1(), line->Y1(), line->X2(), line->Y2()}; };
    EXPECT_EQ(ends(f.lnG[0]), (std::array<double, 4>{4690, 585, 4690, 8840}));   // left
    EXPECT_EQ(ends(f.lnG[1]), (std::array<double, 4>{4690, 585, 11825, 585}));   // top
    EXPECT_EQ(ends(f.lnW[0]), (std::array<double, 4>{11825, 585, 11825, 8840})); // right
    EXPECT_EQ(ends(f.lnW[1]), (std::array<double, 4>{4690, 8840, 11825, 8840})); // bottom
    for (LineControl* line : {f.lnG[0], f.lnG[1], f.lnW[0], f.lnW[1]}) EXPECT_TRUE(line->isVisible());
}

TEST_F(LayoutTest, TheTitlePictureCoversTheWholeInnerArea) {
    FrmSutra& f = Window();
    ExpectRect(f.imgMainPg->Placement(), {0, 0, 12000, 9000}, "imgMainPg");
    EXPECT_EQ(f.picSutra->geometry(), QRect(0, 0, 800, 600));
}

TEST_F(LayoutTest, FollowsEveryResize) {
    FrmSutra& f = Window();
    f.resize(1000, 700);
    EXPECT_EQ(f.frIndex->Placement().Width(), 15000 / 3.0 - 500);
    EXPECT_EQ(f.lstVykE[0]->Placement().Height(), 10500 - 140 - 575);
    EXPECT_EQ(f.rtbE[0]->geometry(), QRect(385, 43, 600, 645));
}

TEST_F(LayoutTest, ATinyWindowGivesControlsNoRoomRatherThanNegativeSizes) {
    FrmSutra& f = Window();
    f.resize(40, 10);  // 600 x 150 twips
    EXPECT_EQ(f.frPanel->Placement().Height(), 0);
    EXPECT_EQ(f.imgPnl[1]->Placement().Height(), 0);
    EXPECT_EQ(f.frIndex->Placement().Width(), 0);
    EXPECT_EQ(f.frDetail->Placement().Width(), 0);
    EXPECT_EQ(f.rtbE[0]->Placement().Width(), 0);
    EXPECT_EQ(f.rtbE[0]->Placement().Height(), 0);
    EXPECT_EQ(f.lstVykE[0]->Placement().Height(), 0);
    EXPECT_EQ(f.rtbE[0]->width(), 0);
    // Positions may go negative without harm; the window grows back whole.
    f.resize(800, 600);
    EXPECT_EQ(f.rtbE[0]->Placement().Width(), 7005);
}

TEST_F(LayoutTest, NothingMovesOnceTheWindowIsClosing) {
    FrmSutra& f = Window();
    f.Form_Unload();
    EXPECT_TRUE(state.gClosing);
    f.resize(1000, 700);
    EXPECT_EQ(f.frIndex->Placement().Width(), 3500);
}

TEST_F(LayoutTest, AResizeInAKaumudiOrderShowsTheAstadhyayiListAndSidePictureAgain) {
    FrmSutra& f = Window();
    f.SetListOrder(1);
    f.resize(900, 600);
    EXPECT_TRUE(f.lstVykE[0]->isVisible());
    EXPECT_TRUE(f.lstVykE[1]->isVisible());
    EXPECT_EQ(f.imgPnl[1]->Picture().cacheKey(), f.imgDum[0]->Picture().cacheKey());
    EXPECT_TRUE(f.mnuFileSKaumudi->isChecked());
    EXPECT_EQ(f.lblIndex->Caption(), "Siddhanta Kaumudi  [In&dex]");
    // The order's own list stays in front.
    EXPECT_EQ(f.picSutra->childAt(f.lstVykE[1]->geometry().center()), f.lstVykE[1]->viewport());
}

TEST_F(LayoutTest, WhileLoadingControlsArePlacedButNothingIsShown) {
    FrmSutra& f = Window();
    for (LineControl* line : {f.lnG[0], f.lnG[1], f.lnW[0], f.lnW[1]}) line->hide();
    f.lstVykE[0]->hide();
    corpus.gLoading = true;
    f.resize(1000, 700);
    EXPECT_FALSE(f.lstVykE[0]->isVisible());
    EXPECT_FALSE(f.lnG[0]->isVisible());
    EXPECT_EQ(f.frIndex->Placement().Width(), 15000 / 3.0 - 500);
    corpus.gLoading = false;
    f.ArrangeControls();
    EXPECT_TRUE(f.lstVykE[0]->isVisible());
    EXPECT_TRUE(f.lnG[0]->isVisible());
}

TEST_F(LayoutTest, TheImagePanelAlwaysKeepsItsSize) {
    FrmSutra& f = Window();
    for (const QSize size : {QSize(300, 200), QSize(1600, 1200)}) {
        f.resize(size);
        ExpectRect(f.imgPnl[0]->Placement(), {80, 160, 840, 739.2}, "imgPnl(0)");
    }
}

}  // namespace
}  // namespace vyk
