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
}

TEST(PopupPixels, OnlyTheQuotientIsKeptWithinSixteenBits) {
    EXPECT_EQ(PopupPixels(39000), 2600);      // twips beyond 32,767
    EXPECT_EQ(PopupPixels(491505), 32767);    // 32,767 pixels exactly
    EXPECT_EQ(PopupPixels(600000), 32767);    // 40,000 pixels
    EXPECT_EQ(PopupPixels(-600000), -32768);
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

    // A popup's corner on the screen: 10 pixels (150 twips) below the point
    // of a control that was pressed.
    QPoint Below(const QWidget* control, QPoint pressed) {
        return Window().picSutra->mapToGlobal(control->mapTo(Window().picSutra, pressed) + QPoint(0, 10));
    }

    Opened opened;
};

TEST_F(PopupTest, RightOrMiddleButtonOnAListOpensTheSortFileMenu) {
    for (int button : {2, 4}) {
        opened = {};
        Window().lstVykE_MouseDown(0, button, 0, 300, 450);  // 20 and 30 pixels
        EXPECT_EQ(opened.count, 1);
        EXPECT_EQ(opened.menu, Pop().mSort);
        EXPECT_EQ(opened.point, Below(Window().lstVykE[0], QPoint(20, 30)));
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
    Window().rtbE_MouseDown(0, 2, 0, 300, 450);
    EXPECT_EQ(opened.menu, Pop().mView);
    EXPECT_EQ(opened.point, Below(Window().rtbE[0], QPoint(20, 30)));
}

// Beyond 32,767 twips across, about 2,184 pixels.
TEST_F(PopupTest, OnAWideWindowThePopupOpensUnderTheClick) {
    Window().resize(3200, 600);
    RichTextPane* pane = Window().rtbE[0];
    const QPoint clicked(2600, 200);  // in the container
    ASSERT_TRUE(pane->geometry().contains(clicked));
    QTest::mouseClick(pane->viewport(), Qt::RightButton, Qt::NoModifier,
                      pane->viewport()->mapFrom(Window().picSutra, clicked));
    EXPECT_EQ(opened.menu, Pop().mView);
    EXPECT_EQ(opened.point, Window().picSutra->mapToGlobal(QPoint(2600, 210)));
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
    EXPECT_EQ(opened.shownAt, Below(Window().rtbE[0], QPoint(10, 10)));
    EXPECT_FALSE(Pop().mView->isVisible());
    EXPECT_TRUE(Pop().mViewSutra->isChecked());
    EXPECT_FALSE(window->Session().Sections().gHideSutra);
}

}  // namespace
}  // namespace vyk::test
