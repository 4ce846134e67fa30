#include <gtest/gtest.h>

#include <QMenuBar>
#include <QPushButton>

#include <cstdlib>
#include <filesystem>

#include "platform/LineControl.h"
#include "tests/LookSupport.h"
#include "tests/window/WindowFixture.h"
#include "window/SectionTable.h"

namespace vyk {
namespace {

using test::Record;
using test::RecordBuilder;
using test::SutraWindowHarness;
using test::WindowFixture;

struct ItemExpectation {
    const char* name;
    const char* caption;
    const char* shortcut;
    bool tickable;
    bool ticked;
};

std::string Caption(const QAction* action) { return action->text().toStdString(); }

// ---- Set-up ----------------------------------------------------------------

class SetUpTest : public ::testing::Test, public SutraWindowHarness {
protected:
    void SetUp() override {
        state.gRomanFontOk = false;
        window = std::make_unique<FrmSutra>(corpus, state, dialogs, hooks);
    }
};

TEST_F(SetUpTest, LeavesListsPaneAndBoxHiddenAndEmpty) {
    FrmSutra& f = Window();
    for (ListControl* list : {f.lstVykE[0], f.lstVykE[1], f.lstVykE[2], f.lstVykEx[0], f.lstVykEy[0], f.lstVykEy[1],
                              f.lstVykEy[2], f.lstVykD[0], f.lstVykDx[0]}) {
        EXPECT_FALSE(list->Visible()) << list->objectName().toStdString();
        EXPECT_EQ(list->ListCount(), 0);
    }
    for (ListControl* list : f.lstVykEy) EXPECT_TRUE(list->Sorted());
    for (ListControl* list : {f.lstVykE[0], f.lstVykE[1], f.lstVykE[2], f.lstVykEx[0]}) EXPECT_FALSE(list->Sorted());
    EXPECT_EQ(f.rtbE[0]->Text(), "");
    EXPECT_TRUE(f.rtbE[0]->isHidden());
    EXPECT_TRUE(f.rtbD[0]->isHidden());
    for (LineControl* line : {f.lnG[0], f.lnG[1], f.lnW[0], f.lnW[1]}) EXPECT_TRUE(line->isHidden());
    EXPECT_FALSE(f.mnuToolsSave->isEnabled());
    EXPECT_TRUE(f.picSutra->isHidden());
    EXPECT_TRUE(f.imgMainPg->isHidden());
    EXPECT_TRUE(f.frStore->isHidden());
    EXPECT_EQ(CurSutra(), 0);
}

TEST_F(SetUpTest, TheKaumudiListsFollowTheAstadhyayiListInTheTabOrder) {
    FrmSutra& f = Window();
    // The next widget that Tab reaches, past the list's own parts.
    auto nextTabStop = [](QWidget* widget) {
        QWidget* next = widget->nextInFocusChain();
        while (next != widget && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
        return next;
    };
    EXPECT_EQ(nextTabStop(f.lstVykE[0]), f.lstVykE[1]);
    EXPECT_EQ(nextTabStop(f.lstVykE[1]), f.lstVykE[2]);
}

TEST_F(SetUpTest, EveryControlCarriesItsNameAndDesignValues) {
    FrmSutra& f = Window();
    for (const char* name : {"picSutra", "frIndex", "lblIndex", "frDetail", "lblkaumudi_0", "lblkaumudi_1", "lblRef",
                             "lstVykE_0", "lstVykE_1", "lstVykE_2", "lstVykEy_0", "lstVykEx_0", "lstVykD_2",
                             "lstVykDx_0", "frPanel", "imgPnl_0", "imgPnl_1", "frStore", "cbTerm", "cbOk", "cbCancel",
                             "lblStatus", "rtbE_0", "rtbD_0", "lnG_0", "lnG_1", "lnW_0", "lnW_1", "imgDum_0",
                             "imgDum_2", "imgMainPg"}) {
        EXPECT_NE(f.findChild<QWidget*>(name), nullptr) << name;
    }
    EXPECT_EQ(f.lblIndex->Caption(), "In&dex");
    EXPECT_EQ(f.lblRef->Caption(), "Vyakor");
    EXPECT_EQ(f.lblkaumudi[0]->Caption(), "Siddhanta Kaumudi");
    EXPECT_EQ(f.lblkaumudi[1]->Caption(), "Laghu Kaumudi");
    EXPECT_EQ(f.lblStatus->Caption(), "Saving... Please Wait...");
    EXPECT_EQ(f.cbOk->text(), "&Save");
    EXPECT_EQ(f.cbCancel->text(), "&Cancel");
    EXPECT_TRUE(f.cbTerm->text().isEmpty());
    for (Label* label : {f.lblIndex, f.lblRef, f.lblkaumudi[0], f.lblkaumudi[1]}) {
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(128, 0, 0));
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 9.75);
    }
    EXPECT_EQ(f.lstVykE[0]->palette().color(QPalette::Base), QColor(192, 192, 192));
    EXPECT_EQ(f.rtbE[0]->palette().color(QPalette::Base), QColor(192, 192, 192));
    EXPECT_EQ(f.imgPnl[0]->Picture().size(), QSize(72, 62));
    EXPECT_EQ(f.imgMainPg->Picture().size(), QSize(827, 565));
    const int sideHeights[3] = {635, 630, 634};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(f.imgDum[i]->Picture().size(), QSize(78, sideHeights[i]));
    EXPECT_TRUE(f.imgPnl[1]->Picture().isNull());
}

// With the faces Linux has, which are wider than the design face.
TEST_F(SetUpTest, EveryDesignCaptionShowsWhole) {
    FrmSutra& f = Window();
    EXPECT_EQ(test::CutCaptions(f), std::vector<std::string>{});
    // Grown to show its text, the status line still lies inside its panel.
    EXPECT_TRUE(f.frStore->contentsRect().contains(f.lblStatus->geometry()));
}

TEST_F(SetUpTest, ListsTakeTheRomanFaceOnlyWhenItIsUsable) {
    FrmSutra& f = Window();
    EXPECT_NE(f.lstVykE[1]->font().family(), QStringLiteral("Times Kovra Roman"));
    SutraWindowHarness usable;
    usable.state.gRomanFontOk = true;
    usable.state.gRomanFontSize = 14;
    FrmSutra other(usable.corpus, usable.state, usable.dialogs, usable.hooks);
    for (ListControl* list : {other.lstVykE[0], other.lstVykE[1], other.lstVykE[2], other.lstVykEx[0]}) {
        EXPECT_EQ(list->font().family(), QStringLiteral("Times Kovra Roman"));
        EXPECT_EQ(list->font().pointSize(), 14);
    }
}

// ---- Menus -----------------------------------------------------------------

TEST_F(SetUpTest, TheMenuBarHoldsEveryMenuAndItemInOrder) {
    FrmSutra& f = Window();
    std::vector<std::string> titles;
    for (QAction* menu : f.MenuBar()->actions()) titles.push_back(Caption(menu));
    EXPECT_EQ(titles, (std::vector<std::string>{"&File", "&View", "S&ort", "&Search", "&Help", "&Tools"}));

    const std::pair<QMenu*, std::vector<ItemExpectation>> menus[] = {
        {f.mFle,
         {{"mnuFileAstadhyayi", "&Astadhyayi", "", true, true},
          {"mnuFileSKaumudi", "&Siddhanta Kaumudi", "", true, false},
          {"mnuFileLKaumudi", "&Laghu Kaumudi", "", true, false},
          {"nullF1", "", "", false, false},
          {"mExit", "&Exit", "Ctrl+X", false, false}}},
        {f.mView,
         {{"mSutra", "&Sutra", "", true, true},
          {"mSandhi", "Pa&da-Patha", "", true, true},
          {"mVartika", "&Vartika", "", true, true},
          {"mVritti", "V&ritti", "", true, true},
          {"mAnuvritti", "&Anuvritti", "", true, true},
          {"mTranslation", "&Translation", "", true, true},
          {"mExplanation", "&Explanation", "", true, true}}},
        {f.mViewSort,
         {{"mViewSortNumerical", "&Numerically", "", true, true},
          {"mViewSortAlphabetical", "&Alphabetically", "", true, false}}},
        {f.mnuSearch,
         {{"mnuSearchSutra", "&Sutra", "", false, false},
          {"mnuSearchVartika", "&Vartika", "", false, false},
          {"mnuSearchVritti", "V&ritti", "", false, false}}},
        {f.mnuHelp,
         {{"mHelpHow", "&How to use", "", false, false},
          {"nullh1", "", "", false, false},
          {"mAbout", "&About", "", false, false}}},
        {f.mnuTools,
         {{"mnuToolsUndo", "&Undo", "Ctrl+Z", false, false},
          {"nullt1", "", "", false, false},
          {"mnuToolsEdit", "&Edit", "", true, false},
          {"null2", "", "", false, false},
          {"mnuInsertSutra", "&Sutra", "", false, false},
          {"mnuInsertSandhi", "Pa&da-Patha", "", false, false},
          {"mnuInsertVartika", "&Vartika", "", false, false},
          {"mnuInsertVritti", "V&ritti", "", false, false},
          {"mnuInsertAnuVritti", "&AnuVritti", "", false, false},
          {"mnuInsertTranslation", "&Translation", "", false, false},
          {"mnuInsertExplanation", "&Explanation", "", false, false},
          {"nullt3", "", "", false, false},
          {"mnuToolsSave", "&Save", "", false, false},
          {"mnuToolsConvert", "DBF to &VYK", "", false, false}}},
    };
    for (const auto& [menu, items] : menus) {
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size())) << menu->objectName().toStdString();
        for (std::size_t i = 0; i < items.size(); ++i) {
            const ItemExpectation& want = items[i];
            QAction* item = actions[static_cast<qsizetype>(i)];
            SCOPED_TRACE(want.name);
            EXPECT_EQ(item->objectName().toStdString(), want.name);
            EXPECT_EQ(item->isSeparator(), std::string_view(want.caption).empty());
            if (!item->isSeparator()) {
                EXPECT_EQ(Caption(item), want.caption);
            }
            EXPECT_EQ(item->shortcut().toString().toStdString(), want.shortcut);
            EXPECT_EQ(item->isCheckable(), want.tickable);
            EXPECT_EQ(item->isChecked(), want.ticked);
            EXPECT_TRUE(item->isVisible());
        }
    }
}

TEST_F(SetUpTest, ThePopupMenusHoldTheirItemsWithTheirTicks) {
    FrmPop& pop = Pop();
    EXPECT_EQ(pop.SubMenu(SortFilePopup)->title().toStdString(), "Sort-File");
    EXPECT_EQ(pop.SubMenu(ViewPopup)->title().toStdString(), "View");
    EXPECT_EQ(pop.SubMenu(2), nullptr);
    EXPECT_TRUE(pop.isHidden());

    std::vector<std::string> sortFile;
    for (QAction* item : pop.mSort->actions()) sortFile.push_back(item->isSeparator() ? "-" : Caption(item));
    EXPECT_EQ(sortFile, (std::vector<std::string>{"&Astadhyayi", "&Siddhanta Kaumudi", "&Laghu Kaumudi", "-",
                                                  "Sort &Numerically", "Sort A&lphabetically"}));
    EXPECT_TRUE(pop.mFileAstadhyayi->isChecked());
    EXPECT_TRUE(pop.mSortNumerical->isChecked());
    EXPECT_FALSE(pop.mSortAlphabetical->isChecked());

    for (const SectionRow& row : SectionTable) {
        QAction* popupItem = pop.ViewItem(row.k);
        QAction* mainItem = Window().ViewItem(row.k);
        EXPECT_EQ(popupItem->objectName().toStdString(), row.popupViewItem);
        EXPECT_EQ(Caption(popupItem), row.popupViewCaption);
        EXPECT_EQ(mainItem->objectName().toStdString(), row.viewItem);
        EXPECT_EQ(Window().InsertItem(row.k)->objectName().toStdString(), row.insertItem);
        EXPECT_TRUE(popupItem->isChecked());
        EXPECT_EQ(pop.mView->actions().indexOf(popupItem), row.k - 1);
    }
}

TEST_F(SetUpTest, ExitWithoutChangesClosesTheDataFileAndEndsWithoutAQuestion) {
    FrmSutra& f = Window();
    WriteCorpus({Record("1.1.1", "a")});
    ASSERT_TRUE(corpus.gDataFileNo.Open(dir.File("sutra.vyk")));
    const std::string before = test::ReadBytes(dir.File("sutra.vyk"));
    f.mExit->trigger();
    EXPECT_EQ(endProgramCalls, 1);
    EXPECT_FALSE(corpus.gDataFileNo.IsOpen());
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(test::ReadBytes(dir.File("sutra.vyk")), before);
}

TEST_F(SetUpTest, AboutAsksTheApplicationForItsAboutBox) {
    Window().mAbout->trigger();
    Window().mAbout->trigger();
    EXPECT_EQ(aboutCalls, 2);
}

TEST_F(SetUpTest, UnloadingMarksTheWindowClosing) {
    Window().Form_Unload();
    EXPECT_TRUE(state.gClosing);
}

// ---- What the user sees ----------------------------------------------------

// A grab of the window, saved for a person to look at when VYK_SHOTS_DIR
// names a folder.
QImage Shot(QWidget& window, const char* name) {
    const QImage shot = window.grab().toImage();
    if (const char* folder = std::getenv("VYK_SHOTS_DIR")) {
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(shot.save(QString::fromStdString(std::string(folder) + "/" + name)));
    }
    return shot;
}

// The part of a grab of the window that a control covers.
QImage Area(const QImage& shot, const QWidget& window, const QWidget& control) {
    return shot.copy(QRect(control.mapTo(&window, QPoint(0, 0)), control.size()));
}

class LookTest : public WindowFixture {};

// The widest captions the corpus gives: four-digit Kaumudi numbers, the
// longest label and order name.
TEST_F(LookTest, EveryCaptionShowsWholeWithTheWidestTexts) {
    ASSERT_TRUE(Start({Record("1.4.100", "a", 3978, 1269)}));
    EXPECT_EQ(Siddhanta(), "Siddhanta Kaumudi: 3978");
    for (int order : {0, 1, 2}) {
        window->SetListOrder(order);
        EXPECT_EQ(test::CutCaptions(*window), std::vector<std::string>{}) << "order " << order;
    }
}

TEST_F(LookTest, TheWindowInEachOfItsFourOrders) {
    RecordBuilder first;
    first.Label("1.1.1")
        .Sutra("v\xE3" "ddhir\xE0" "daic")
        .Section(1, "v\xE3" "ddhi\xE8 \xE0t aic")
        .Section(3, "\xE0" "daic ca v\xE3" "ddhisa\xE7" "j\xEA" "\xE2" "\xE0 sy\xE0" "t.\r\nv\xE3" "ddhi\xE8 syat.")
        .Section(5, "The vowels \xE0, ai and au are called v\xE3" "ddhi.")
        .Numbers(16, 32);
    std::vector<std::string> texts{first.Text(),
                                   Record("1.1.2", "ade\xED gu\xE9" "a\xE8", 17, 25),
                                   Record("1.1.3", "iko gu\xE9" "av\xE3" "ddh\xE1", 34, 0),
                                   Record("1.1.10.2", "n\xE0jjhalau", 13, 0),
                                   Record("1.2.1", "g\xE0" "ku\xEB" "\xE0" "dibhyo'\xE9" "in\xED" "it", 2448, 0),
                                   Record("1.3.1", "bh\xE2" "v\xE0" "dayo dh\xE0tava\xE8", 2158, 43)};
    for (int k = 0; k < 30; ++k)
        texts.push_back(Record("3.1." + std::to_string(k + 1), "pratyaya\xE8 k\xE3" "t sutra " + std::to_string(k),
                               3000 + k, k % 3 == 0 ? 0 : 500 + k));
    ASSERT_TRUE(Start(texts, 1024, 700));
    window->activateWindow();

    const QImage numerical = Shot(*window, "window_astadhyayi.png");
    window->SetSortMode(1);
    window->lstVykEx[0]->SetListIndex(1);
    const QImage alphabetical = Shot(*window, "window_alphabetical.png");
    window->SetListOrder(1);
    window->lstVykE[1]->SetListIndex(0);
    const QImage siddhanta = Shot(*window, "window_siddhanta.png");
    window->SetListOrder(2);
    window->lstVykE[2]->SetListIndex(2);
    const QImage laghu = Shot(*window, "window_laghu.png");
    const QImage shots[] = {numerical, alphabetical, siddhanta, laghu};

    // Each state shows its own list in the one list rectangle.
    const QWidget& lists = *window->lstVykE[0];
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j)
            EXPECT_NE(Area(shots[i], *window, lists), Area(shots[j], *window, lists)) << i << " and " << j;
    // The side picture is the order's: both Astadhyayi sorts share one.
    const QWidget& side = *window->imgPnl[1];
    EXPECT_EQ(Area(alphabetical, *window, side), Area(numerical, *window, side));
    EXPECT_NE(Area(siddhanta, *window, side), Area(numerical, *window, side));
    EXPECT_NE(Area(laghu, *window, side), Area(numerical, *window, side));
    EXPECT_NE(Area(laghu, *window, side), Area(siddhanta, *window, side));
    for (const QImage& shot : shots) {
        // The captions' dark red, the pane's grey below its last line.
        const QImage index = Area(shot, *window, *window->lblIndex);
        bool darkRed = false;
        for (int y = 0; y < index.height() && !darkRed; ++y)
            for (int x = 0; x < index.width() && !darkRed; ++x) darkRed = index.pixel(x, y) == qRgb(128, 0, 0);
        EXPECT_TRUE(darkRed);
        const QImage pane = Area(shot, *window, *window->rtbE[0]);
        EXPECT_EQ(pane.pixel(pane.width() - 10, pane.height() - 10), qRgb(192, 192, 192));
    }
}

}  // namespace
}  // namespace vyk
