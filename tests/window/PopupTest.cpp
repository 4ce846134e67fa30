// The popup menus of the lists and the pane.

#include <QMenu>
#include <QTest>
#include <QTimer>

#include "platform/Twips.h"
#include "tests/window/EditingAccess.h"
#include "tests/window/WindowFixture.h"
#include "window/Popup.h"

namespace vyk::test {
namespace {

TEST(PopupPixels, RoundsBothOperandsHalfToEvenThenTruncates) {
    EXPECT_EQ(PopupPixels(150), 10);
    EXPECT_EQ(PopupPixels(14), 0);
    EXPECT_EQ(PopupPixels(29.5), 2);   // 30 / 15
    EXPECT_EQ(PopupPixels(44.5), 2);   // 44 / 15: the half goes to the even 44
    EXPECT_EQ(PopupPixels(45.5), 3);   // 46 / 15
    EXPECT_EQ(PopupPixels(-22.5), -1); // -22 / 15, truncated towards zero
    EXPECT_EQ(PopupPixels(1e9), 32767 / 15);  // kept within 16 bits
}

struct Opened {
    QMenu* menu = nullptr;
    QPoint point;
    int count = 0;
    QPoint shownAt;  // where a real menu's corner stood while it was open
};

class PopupTest : public WindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(Start({Record("1.1.1", "vrddhir adaic", 1, 1), Record("1.1.2", "adeN gunah", 2, 2)}));
        EditingTestAccess::SetPopupOpener(Window(), [this](QMenu* menu, int x, int y) {
            opened.menu = menu;
            opened.point = QPoint(x, y);
            ++opened.count;
        });
    }

    // Where the popup of a control opens for a press at (x, y) twips.
    QPoint Expected(TwipsPlacement& control, double x, double y) {
        return Window().picSutra->mapToGlobal(
            QPoint(PopupPixels(control.Left() + x), PopupPixels(control.Top() + y + PopupDropTwips)));
    }

    Opened opened;
};

TEST_F(PopupTest, RightOrMiddleButtonOnAListOpensTheSortFileMenu) {
    for (int button : {2, 4}) {
        opened = {};
        Window().lstVykE_MouseDown(0, button, 0, 300, 450);
        EXPECT_EQ(opened.count, 1);
        EXPECT_EQ(opened.menu, Pop().mSort);
        EXPECT_EQ(opened.point, Expected(Window().lstVykE[0]->Placement(), 300, 450));
    }
    opened = {};
    Window().lstVykEx_MouseDown(0, 2, 0, 0, 0);
    EXPECT_EQ(opened.menu, Pop().mSort);
}

TEST_F(PopupTest, LeftButtonOpensNothing) {
    Window().lstVykE_MouseDown(0, 1, 0, 300, 450);
    Window().rtbE_MouseDown(0, 1, 0, 300, 450);
    EXPECT_EQ(opened.count, 0);
}

TEST_F(PopupTest, PanePopupIsTheViewMenuOneHundredFiftyTwipsBelowTheClick) {
    RichTextPane* pane = Window().rtbE[0];
    Window().rtbE_MouseDown(0, 2, 0, 300, 450);
    EXPECT_EQ(opened.menu, Pop().mView);
    const QPoint clicked = Window().picSutra->mapToGlobal(
        QPoint(PopupPixels(pane->Placement().Left() + 300), PopupPixels(pane->Placement().Top() + 450)));
    EXPECT_EQ(opened.point, clicked + QPoint(0, 10));
}

TEST_F(PopupTest, ARealRightClickOnTheListAndThePaneOpensTheirMenus) {
    ListControl* list = Window().lstVykE[0];
    QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(20, 30));
    EXPECT_EQ(opened.menu, Pop().mSort);
    QTest::mouseClick(Window().rtbE[0]->viewport(), Qt::MiddleButton, Qt::NoModifier, QPoint(20, 30));
    EXPECT_EQ(opened.menu, Pop().mView);
    EXPECT_EQ(opened.count, 2);
}

TEST_F(PopupTest, NoPopupWhileASaveRuns) {
    corpus.gSaving = true;
    Window().lstVykE_MouseDown(0, 2, 0, 0, 0);
    Window().rtbE_MouseDown(0, 2, 0, 0, 0);
    corpus.gSaving = false;
    EXPECT_EQ(opened.count, 0);
}

TEST_F(PopupTest, KaumudiOrderPopupShowsTheOrderTickedAndSortDisabled) {
    Window().SetListOrder(1);
    Window().lstVykE_MouseDown(1, 2, 0, 0, 0);
    ASSERT_EQ(opened.menu, Pop().mSort);
    EXPECT_TRUE(Pop().mFileSKaumudi->isChecked());
    EXPECT_FALSE(Pop().mSortNumerical->isEnabled());
    EXPECT_FALSE(Pop().mSortAlphabetical->isEnabled());
}

// The real menu opens at the point and returns when it closes, changing nothing.
TEST_F(PopupTest, TheMenuOpensWithItsCornerAtThePointAndClosesWithoutAChoice) {
    Window().move(0, 0);
    EditingTestAccess::SetPopupOpener(Window(), [this](QMenu* menu, int x, int y) {
        opened.menu = menu;
        opened.point = QPoint(x, y);
        QTimer::singleShot(0, menu, [menu, this] {
            opened.count = menu->isVisible() ? 1 : 0;
            opened.shownAt = menu->pos();
            menu->close();
        });
        menu->exec(QPoint(x, y));
    });

    Window().rtbE_MouseDown(0, 2, 0, 150, 150);

    EXPECT_EQ(opened.count, 1);
    EXPECT_EQ(opened.shownAt, Expected(Window().rtbE[0]->Placement(), 150, 150));
    EXPECT_FALSE(Pop().mView->isVisible());
    EXPECT_TRUE(Pop().mViewSutra->isChecked());
    EXPECT_FALSE(state.gHideSutra);
}

}  // namespace
}  // namespace vyk::test
