#include <gtest/gtest.h>

#include "tests/window/WindowFixture.h"

namespace vyk {
namespace {

using namespace std::string_literals;
using test::CorpusFileBuilder;
using test::Record;
using test::RecordBuilder;
using test::WindowFixture;

const std::string LongSutra = "abcdefghij klmnopqrst uvwxyzabcd efghijklm";

class ListsTest : public WindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(Start({
            Record("1.1.1", "vrddhir adaic", 16, 32),
            Record("1.1.2", "adeng gunah", 17, 25),
            Record("1.1.3", "iko gunavrddhi", 1000, 0),
            Record("1.1.10.2", "  najjhalau\r\nsecond line", 5, 0),
            Record("2.1.50", LongSutra, 12345, 7),
            Record("2.1.5", "\xE0tmane", 0, 0),
        }));
    }

    ListControl* E(int i) { return window->lstVykE[static_cast<std::size_t>(i)]; }
    ListControl* Ex() { return window->lstVykEx[0]; }
    ListControl* Ey(int i) { return window->lstVykEy[static_cast<std::size_t>(i)]; }

    // The list in view, as the user sees it.
    ListControl* Shown() {
        for (ListControl* list : {Ex(), E(2), E(1), E(0)})
            if (list->isVisible()) return list;
        return nullptr;
    }
    std::vector<bool> Ticks(std::initializer_list<QAction*> items) {
        std::vector<bool> ticks;
        for (QAction* item : items) ticks.push_back(item->isChecked());
        return ticks;
    }
};

TEST_F(ListsTest, TheAstadhyayiListHoldsEveryRecordInFileOrder) {
    EXPECT_EQ(Items(E(0)), (std::vector<std::string>{
                               " 1.1.1 - vrddhir adaic",
                               " 1.1.2 - adeng gunah",
                               " 1.1.3 - iko gunavrddhi",
                               " 1.1.10.2- najjhalau",
                               " 2.1.50 - abcdefghij klmnopqrst uvwxyzabcd ...",
                               " 2.1.5 - \xE0tmane",
                           }));
}

TEST_F(ListsTest, TheAlphabeticalListFollowsItsSortedHiddenListItemForItem) {
    EXPECT_EQ(Items(Ex()), (std::vector<std::string>{
                               " 2.1.50 - abcdefghij klmnopqrst uvwxyzabcd ...",
                               " 1.1.2 - adeng gunah",
                               " 2.1.5 - \xE0tmane",
                               " 1.1.3 - iko gunavrddhi",
                               " 1.1.10.2 - najjhalau",
                               " 1.1.1 - vrddhir adaic",
                           }));
    ASSERT_EQ(Ey(0)->ListCount(), Ex()->ListCount());
    for (int i = 0; i < Ey(0)->ListCount(); ++i) {
        const std::string hidden = Ey(0)->List(i);
        const std::string label = hidden.substr(hidden.find('\xA0') + 1);
        EXPECT_EQ(Ex()->List(i).substr(1, label.size() + 1), label + " ") << i;
    }
    EXPECT_EQ(Ey(0)->List(1), "0206082311  adeng gunah\xA0" "1.1.2");
}

TEST_F(ListsTest, KaumudiListsShowRightAlignedNumbersInNumericOrder) {
    EXPECT_EQ(Items(E(1)), (std::vector<std::string>{
                               "    5 - najjhalau",
                               "   16 - vrddhir adaic",
                               "   17 - adeng gunah",
                               " 1000 - iko gunavrddhi",
                               "12345 - abcdefghij klmnopqrst uvwxyzabcd ...",
                           }));
    EXPECT_EQ(Items(E(2)), (std::vector<std::string>{
                               "    7 - abcdefghij klmnopqrst uvwxyzabcd ...",
                               "   25 - adeng gunah",
                               "   32 - vrddhir adaic",
                           }));
    EXPECT_EQ(Ey(2)->List(0), "    7 - abcdefghij klmnopqrst uvwxyzabcd ...\xA0" "2.1.50");
}

TEST_F(ListsTest, TheLoadShowsRecordOneWithTheAstadhyayiCaption) {
    EXPECT_EQ(CurSutra(), 1);
    EXPECT_EQ(E(0)->ListIndex(), 0);
    EXPECT_EQ(window->lblIndex->Caption(), "Astadhyayi  [In&dex]");
    EXPECT_EQ(Shown(), E(0));
}

TEST_F(ListsTest, AClickInEachListShowsTheSutraOfTheEntry) {
    E(0)->SetListIndex(3);
    EXPECT_EQ(Ref(), "Vyakor: 1.1.10.2");

    window->SetListOrder(1);
    E(1)->SetListIndex(4);
    EXPECT_EQ(Ref(), "Vyakor: 2.1.50");
    EXPECT_EQ(Siddhanta(), "Siddhanta Kaumudi: 12345");

    window->SetListOrder(2);
    E(2)->SetListIndex(1);
    EXPECT_EQ(Ref(), "Vyakor: 1.1.2");

    window->SetListOrder(0);
    window->SetSortMode(1);
    Ex()->SetListIndex(3);
    EXPECT_EQ(Ref(), "Vyakor: 1.1.3");
}

TEST_F(ListsTest, AnEarlierLabelThatBeginsWithTheEntrysLabelDoesNotCatchTheClick) {
    window->SetSortMode(1);
    Ex()->SetListIndex(2);  // " 2.1.5 - atmane", listed after " 2.1.50 - ..."
    EXPECT_EQ(Ref(), "Vyakor: 2.1.5");
    EXPECT_EQ(CurSutra(), 6);
}

TEST_F(ListsTest, AnEntryOfUnknownRecordFindsItsRecordByLabelPrefix) {
    // Entries the loader could not tie to a record fall back on their label:
    // the first Astadhyayi entry that begins with it, else record 1.
    window->ListAddItem(SutraList::lstVykEy1, "99999 - x\xA0" "1.1.10", 0);
    window->ListAddItem(SutraList::lstVykE1, "99999 - x", 0);
    window->ListAddItem(SutraList::lstVykEy1, "99999 - y\xA0" "9.9.9", 0);
    window->ListAddItem(SutraList::lstVykE1, "99999 - y", 0);
    window->SetListOrder(1);
    E(1)->SetListIndex(5);
    EXPECT_EQ(CurSutra(), 4);
    E(1)->SetListIndex(6);
    EXPECT_EQ(CurSutra(), 1);
}

TEST_F(ListsTest, ChoosingAnOrderTicksItInBothWindowsAndShowsItsList) {
    FrmPop& pop = Pop();
    window->SetListOrder(1);
    EXPECT_EQ(Shown(), E(1));
    EXPECT_TRUE(E(1)->hasFocus());
    EXPECT_EQ(Ticks({window->mnuFileAstadhyayi, window->mnuFileSKaumudi, window->mnuFileLKaumudi}),
              (std::vector<bool>{false, true, false}));
    EXPECT_EQ(Ticks({pop.mFileAstadhyayi, pop.mFileSKaumudi, pop.mFileLKaumudi}), (std::vector<bool>{false, true, false}));
    EXPECT_FALSE(window->mViewSort->isEnabled());
    EXPECT_FALSE(pop.mSortNumerical->isEnabled());
    EXPECT_FALSE(pop.mSortAlphabetical->isEnabled());
    EXPECT_EQ(window->lblIndex->Caption(), "Siddhanta Kaumudi  [In&dex]");
    EXPECT_EQ(window->imgPnl[1]->Picture().cacheKey(), window->imgDum[1]->Picture().cacheKey());
    EXPECT_EQ(Ref(), "Vyakor: 1.1.1");  // the shown sutra stays

    window->SetListOrder(2);
    EXPECT_EQ(Shown(), E(2));
    EXPECT_FALSE(E(1)->isVisible());
    EXPECT_EQ(window->lblIndex->Caption(), "Laghu Kaumudi  [In&dex]");

    window->SetListOrder(0);
    EXPECT_EQ(Shown(), E(0));
    EXPECT_TRUE(window->mViewSort->isEnabled());
    EXPECT_TRUE(pop.mSortAlphabetical->isEnabled());
    EXPECT_EQ(window->lblIndex->Caption(), "Astadhyayi  [In&dex]");
}

TEST_F(ListsTest, TheSortChosenLastSurvivesAVisitToAKaumudiOrder) {
    FrmPop& pop = Pop();
    window->rtbE[0]->SetFocus();
    window->SetSortMode(1);
    EXPECT_EQ(Shown(), Ex());
    EXPECT_EQ(Ticks({window->mViewSortNumerical, window->mViewSortAlphabetical}), (std::vector<bool>{false, true}));
    EXPECT_EQ(Ticks({pop.mSortNumerical, pop.mSortAlphabetical}), (std::vector<bool>{false, true}));
    // Switching the sort moves neither the focus nor the caption.
    EXPECT_TRUE(window->rtbE[0]->hasFocus());
    EXPECT_EQ(window->lblIndex->Caption(), "Astadhyayi  [In&dex]");

    window->SetListOrder(2);
    window->SetListOrder(0);
    EXPECT_EQ(Shown(), Ex());
    EXPECT_TRUE(Ex()->hasFocus());
    EXPECT_EQ(window->lblIndex->Caption(), "Astadhyayi  [In&dex]");
}

TEST_F(ListsTest, ShowingASutraGivesTheFocusToTheListInView) {
    window->SetSortMode(1);
    window->ShowSutra(2);
    EXPECT_TRUE(Ex()->hasFocus());
    window->SetListOrder(2);
    window->ShowSutra(3);
    EXPECT_TRUE(E(2)->hasFocus());
}

TEST_F(ListsTest, ChoosingTheCurrentOrderAgainKeepsSelectionAndSutra) {
    E(0)->SetListIndex(2);
    window->SetListOrder(0);
    EXPECT_EQ(E(0)->ListIndex(), 2);
    EXPECT_EQ(CurSutra(), 3);
    // Each list keeps its own last selection.
    window->SetListOrder(1);
    EXPECT_EQ(E(1)->ListIndex(), -1);
    EXPECT_EQ(CurSutra(), 3);
}

TEST_F(ListsTest, MenuItemsOfEitherWindowRunTheOrderAndSortCommands) {
    window->mnuFileLKaumudi->trigger();
    EXPECT_EQ(Shown(), E(2));
    Pop().mFileAstadhyayi->trigger();
    EXPECT_EQ(Shown(), E(0));
    Pop().mSortAlphabetical->trigger();
    EXPECT_EQ(Shown(), Ex());
    EXPECT_TRUE(window->mViewSortAlphabetical->isChecked());
    // Clicking the ticked item keeps its tick.
    window->mViewSortAlphabetical->trigger();
    EXPECT_TRUE(window->mViewSortAlphabetical->isChecked());
    EXPECT_FALSE(window->mViewSortNumerical->isChecked());
}

TEST_F(ListsTest, CommandsAndClicksAreRefusedWhileLoadingOrSaving) {
    for (bool* flag : {&corpus.gLoading, &corpus.gSaving}) {
        *flag = true;
        window->mnuFileSKaumudi->trigger();
        EXPECT_FALSE(window->mnuFileSKaumudi->isChecked());
        EXPECT_EQ(Shown(), E(0));
        window->SetSortMode(1);
        EXPECT_EQ(Shown(), E(0));
        E(0)->SetListIndex(4);
        EXPECT_EQ(CurSutra(), 1);
        window->mnuToolsUndo_Click();
        window->mExit_Click();
        window->mAbout_Click();
        EXPECT_EQ(endProgramCalls, 0);
        EXPECT_EQ(aboutCalls, 0);
        EXPECT_TRUE(corpus.gDataFileNo.IsOpen());
        *flag = false;
    }
}

TEST_F(ListsTest, AReloadRebuildsTheListsAndShowsRecordOneAgain) {
    window->SetListOrder(1);
    E(0)->SetListIndex(2);
    WriteCorpus({Record("3.1.1", "new first", 1, 0), Record("3.1.2", "new second")});
    ASSERT_TRUE(Start());
    EXPECT_EQ(Items(E(0)), (std::vector<std::string>{" 3.1.1 - new first", " 3.1.2 - new second"}));
    EXPECT_EQ(Items(E(1)), (std::vector<std::string>{"    1 - new first"}));
    EXPECT_TRUE(Items(E(2)).empty());
    EXPECT_EQ(Ref(), "Vyakor: 3.1.1");
    EXPECT_EQ(E(0)->ListIndex(), 0);
}

TEST_F(ListsTest, ARejectedReloadShowsTheMessageAndKeepsTheLists) {
    const std::vector<std::string> before = Items(E(0));
    WriteCorpusBytes("qmvyk and more");
    EXPECT_FALSE(Start());
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, "Invalid File(s) Found.\rReinstall the Software and Try.");
    EXPECT_EQ(dialogs.asked[0].title, "Unknown File Format");
    EXPECT_EQ(dialogs.asked[0].buttons, MsgButtons::OK);
    EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::None);
    EXPECT_EQ(Items(E(0)), before);
}

class ListGapTest : public WindowFixture {};

TEST_F(ListGapTest, EqualEntriesAreAllListedInFileOrderAndEachShowsItsOwnRecord) {
    RecordBuilder second;
    second.Label("1.1.1").Sutra("same").Section(6, "the second").Numbers(5, 5);
    ASSERT_TRUE(Start({Record("1.1.1", "same", 5, 5), second.Text(), Record("0.0.1", "same", 5, 0)}));
    EXPECT_EQ(Items(window->lstVykE[1]),
              (std::vector<std::string>{"    5 - same", "    5 - same", "    5 - same"}));
    window->SetListOrder(1);
    const int expected[] = {3, 1, 2};  // "0.0.1" sorts first, then the equal two as the file has them
    for (int row = 0; row < 3; ++row) {
        window->lstVykE[1]->SetListIndex(row);
        EXPECT_EQ(CurSutra(), expected[row]) << row;
    }
    window->SetListOrder(2);
    window->lstVykE[2]->SetListIndex(1);
    EXPECT_EQ(Field(7), "the second");
}

TEST_F(ListGapTest, ARecordWithoutTextDoesNotShiftTheRecordsOfLaterRows) {
    CorpusFileBuilder file;
    file.Record(Record("1.1.1", "one")).RawEntry(0, 0, 1).Record(Record("1.1.3", "three"));
    WriteCorpusBytes(file.Bytes());
    ASSERT_TRUE(Start());
    ASSERT_EQ(window->lstVykE[0]->ListCount(), 2);
    window->lstVykE[0]->SetListIndex(1);
    EXPECT_EQ(CurSutra(), 3);
    EXPECT_EQ(Ref(), "Vyakor: 1.1.3");
}

}  // namespace
}  // namespace vyk
