#include "platform/ListControl.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>

#include <cmath>
#include <string>
#include <vector>

#include "tests/QtTestSupport.h"

namespace vyk {
namespace {

std::vector<std::string> Items(const ListControl& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.ListCount(); ++i) items.push_back(list.List(i));
    return items;
}

// A Kaumudi-list entry: the number right-aligned in five characters.
std::string KaumudiEntry(int number, const std::string& label) {
    std::string text = std::to_string(number);
    return std::string(5 - text.size(), ' ') + text + " - x\xa0" + label;
}

class ListControlTest : public ::testing::Test, protected test::WithApp {
protected:
    void SetUp() override {
        test::EnsureApp();
        for (ListControl* list : {&sorted, &unsorted}) {
            list->resize(200, 300);
            list->Click = [this] { ++clicks; };
        }
    }

    void Fill(ListControl& list, const std::vector<std::string>& texts) {
        for (const std::string& text : texts) list.AddItem(text);
    }

    void ClickAt(ListControl& list, int row, Qt::MouseButton button = Qt::LeftButton) {
        const QPoint point = list.visualItemRect(list.item(row)).center();
        QMouseEvent press(QEvent::MouseButtonPress, point, list.viewport()->mapToGlobal(point), button,
                          button, Qt::NoModifier);
        QCoreApplication::sendEvent(list.viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, point, list.viewport()->mapToGlobal(point), button,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list.viewport(), &release);
    }

    ListControl sorted{true};
    ListControl unsorted{false};
    int clicks = 0;
};

TEST_F(ListControlTest, UnsortedListAppends) {
    Fill(unsorted, {"b", "a", "c"});
    EXPECT_EQ(Items(unsorted), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_FALSE(unsorted.Sorted());
}

TEST_F(ListControlTest, SortedListIgnoresLetterCase) {
    Fill(sorted, {"cherry", "Banana", "apple", "BANANA split", "Apple"});
    const auto items = Items(sorted);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].substr(1), "pple");
    EXPECT_EQ(items[1].substr(1), "pple");
    EXPECT_EQ(items[2], "Banana");
    EXPECT_EQ(items[3], "BANANA split");
    EXPECT_EQ(items[4], "cherry");
}

TEST_F(ListControlTest, SortedListOrdersRightAlignedNumbersByValue) {
    Fill(sorted, {KaumudiEntry(120, "a"), KaumudiEntry(7, "b"), KaumudiEntry(3500, "c"), KaumudiEntry(45, "d"),
                  KaumudiEntry(1, "e")});
    const auto items = Items(sorted);
    std::vector<std::string> labels;
    for (const std::string& item : items) labels.push_back(item.substr(item.find('\xa0') + 1));
    EXPECT_EQ(labels, (std::vector<std::string>{"e", "b", "d", "a", "c"}));
}

TEST_F(ListControlTest, SortedListOrdersSortKeysDigitByDigit) {
    Fill(sorted, {"1203000000  x\xa0" "1", "0912000000  y\xa0" "2", "1200450000  z\xa0" "3"});
    EXPECT_EQ(sorted.List(0).substr(0, 10), "0912000000");
    EXPECT_EQ(sorted.List(1).substr(0, 10), "1200450000");
    EXPECT_EQ(sorted.List(2).substr(0, 10), "1203000000");
}

TEST_F(ListControlTest, AddingManyItemsGivesTheOrderOfAddingThemOneByOne) {
    Fill(sorted, {"b", "d"});
    sorted.AddItems({"e", "f"});              // belongs after the last item: appended
    sorted.AddItems({"C", "a", "g"});         // some belong before the end: placed one by one
    EXPECT_EQ(Items(sorted), (std::vector<std::string>{"a", "b", "C", "d", "e", "f", "g"}));
    EXPECT_EQ(sorted.count(), 7);
    sorted.AddItems({"i", "H"});              // all after the end, in any order: appended sorted
    EXPECT_EQ(Items(sorted), (std::vector<std::string>{"a", "b", "C", "d", "e", "f", "g", "H", "i"}));
    EXPECT_EQ(sorted.item(7)->text(), "H");
    EXPECT_EQ(sorted.item(2)->text(), "C");

    unsorted.AddItems({"z", "a"});
    EXPECT_EQ(Items(unsorted), (std::vector<std::string>{"z", "a"}));
    EXPECT_EQ(clicks, 0);
}

TEST_F(ListControlTest, ItemsShowTheirBytesAsLatin1) {
    unsorted.AddItem(" 1.1.1 - v\xe7\xe9\xa0x");
    EXPECT_EQ(unsorted.item(0)->text(), QString::fromLatin1(" 1.1.1 - v\xe7\xe9\xa0x"));
    EXPECT_EQ(unsorted.List(0), " 1.1.1 - v\xe7\xe9\xa0x");
}

TEST_F(ListControlTest, ItemOutsideTheListReadsEmpty) {
    Fill(unsorted, {"a"});
    EXPECT_EQ(unsorted.List(-1), "");
    EXPECT_EQ(unsorted.List(1), "");
    EXPECT_EQ(unsorted.ListCount(), 1);
}

TEST_F(ListControlTest, SelectionByCodeRaisesOneClick) {
    Fill(unsorted, {"a", "b", "c"});
    EXPECT_EQ(unsorted.ListIndex(), -1);
    EXPECT_TRUE(unsorted.SetListIndex(1));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(unsorted.ListIndex(), 1);
    EXPECT_EQ(unsorted.currentItem()->text(), "b");
    EXPECT_TRUE(unsorted.currentItem()->isSelected());
    // Writing the same index again is a selection all the same.
    EXPECT_TRUE(unsorted.SetListIndex(1));
    EXPECT_EQ(clicks, 2);
}

TEST_F(ListControlTest, SelectionOutsideTheListChangesNothing) {
    Fill(unsorted, {"a", "b"});
    unsorted.SetListIndex(0);
    clicks = 0;
    EXPECT_FALSE(unsorted.SetListIndex(2));
    EXPECT_FALSE(unsorted.SetListIndex(-1));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(unsorted.ListIndex(), 0);
}

TEST_F(ListControlTest, ClearRaisesNoClick) {
    Fill(unsorted, {"a", "b"});
    unsorted.SetListIndex(1);
    clicks = 0;
    unsorted.Clear();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(unsorted.ListCount(), 0);
    EXPECT_EQ(unsorted.ListIndex(), -1);
}

TEST_F(ListControlTest, InsertingAboveTheSelectionKeepsItAndRaisesNoClick) {
    Fill(sorted, {"b", "d"});
    sorted.SetListIndex(1);
    clicks = 0;
    sorted.AddItem("a");
    sorted.AddItem("c");
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(sorted.List(sorted.ListIndex()), "d");
}

TEST_F(ListControlTest, UserClickOnAnItemRaisesOneClick) {
    Fill(unsorted, {"a", "b", "c"});
    ClickAt(unsorted, 2);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(unsorted.ListIndex(), 2);
}

TEST_F(ListControlTest, UserClickOnTheSelectedItemStillRaisesClick) {
    Fill(unsorted, {"a", "b", "c"});
    unsorted.SetListIndex(1);
    clicks = 0;
    ClickAt(unsorted, 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(unsorted.ListIndex(), 1);
}

TEST_F(ListControlTest, KeyboardSelectionRaisesClick) {
    Fill(unsorted, {"a", "b", "c"});
    unsorted.SetListIndex(0);
    clicks = 0;
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(&unsorted, &down);
    EXPECT_EQ(unsorted.ListIndex(), 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ListControlTest, TakingTheFocusSelectsNothing) {
    QWidget window;
    ListControl list(false, &window);
    list.Click = [this] { ++clicks; };
    list.AddItem("a");
    list.AddItem("b");
    window.show();
    QApplication::setActiveWindow(&window);
    list.SetFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(list.hasFocus());
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(clicks, 0);
}

TEST_F(ListControlTest, ControlClickKeepsTheSelection) {
    Fill(unsorted, {"a", "b"});
    unsorted.SetListIndex(1);
    clicks = 0;
    const QPoint point = unsorted.visualItemRect(unsorted.item(1)).center();
    QMouseEvent press(QEvent::MouseButtonPress, point, unsorted.viewport()->mapToGlobal(point), Qt::LeftButton,
                      Qt::LeftButton, Qt::ControlModifier);
    QCoreApplication::sendEvent(unsorted.viewport(), &press);
    EXPECT_EQ(unsorted.ListIndex(), 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ListControlTest, RightButtonReportsMouseDownWithoutSelecting) {
    Fill(unsorted, {"a", "b", "c"});
    unsorted.SetListIndex(0);
    clicks = 0;
    std::vector<int> buttons;
    double x = -1, y = -1;
    unsorted.MouseDown = [&](int button, int, double atX, double atY) {
        buttons.push_back(button);
        x = atX;
        y = atY;
    };
    ClickAt(unsorted, 2, Qt::RightButton);
    ClickAt(unsorted, 2, Qt::MiddleButton);
    EXPECT_EQ(buttons, (std::vector<int>{2, 4}));
    EXPECT_EQ(unsorted.ListIndex(), 0);
    EXPECT_EQ(clicks, 0);
    const QPoint inList =
        unsorted.viewport()->mapTo(&unsorted, unsorted.visualItemRect(unsorted.item(2)).center());
    EXPECT_DOUBLE_EQ(x, inList.x() * 15.0);
    EXPECT_DOUBLE_EQ(y, inList.y() * 15.0);
}

TEST_F(ListControlTest, VisibleReadsTheListsOwnSetting) {
    QWidget parent;
    ListControl list(false, &parent);
    EXPECT_TRUE(list.Visible()) << "a child is shown with its hidden parent";
    list.SetVisible(false);
    EXPECT_FALSE(list.Visible());
    list.SetVisible(true);
    EXPECT_TRUE(list.Visible());
}

TEST_F(ListControlTest, FontAppliesFaceAndSize) {
    unsorted.SetFont("Times Kovra Roman", 11);
    EXPECT_EQ(unsorted.font().families(), QStringList{"Times Kovra Roman"});
    EXPECT_DOUBLE_EQ(unsorted.font().pointSizeF(), 11.0);
}

TEST_F(ListControlTest, PlacementIsInTwips) {
    unsorted.Placement().Set(1140, 575, 3500, 8285);
    EXPECT_EQ(unsorted.geometry(), QRect(76, 38, 233, 552));
}

TEST(SortedInsertPosition, GoesAfterEqualItemsWithLogarithmicComparisons) {
    std::vector<std::string> items;
    for (int i = 0; i < 4096; ++i) items.push_back(std::to_string(10000 + i));
    std::size_t comparisons = 0;
    EXPECT_EQ(SortedInsertPosition(items, "10100", &comparisons), 101u);
    EXPECT_LE(comparisons, 13u);
    EXPECT_EQ(SortedInsertPosition(items, "0"), 0u);
    EXPECT_EQ(SortedInsertPosition(items, "99999"), 4096u);
    EXPECT_EQ(SortedInsertPosition({}, "a"), 0u);
}

}  // namespace
}  // namespace vyk
