// The folder chooser: its lists, keys, buttons and drive list.

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "shell/Settings.h"
#include "tests/LookSupport.h"
#include "tests/shell/ShellFixture.h"

namespace vyk::test {
namespace {

class FrmSrcDirTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        base = top + "/Tree";
        for (const char* sub : {"/Tree/alpha", "/Tree/Beta", "/Tree/.hidden", "/Tree/alpha/inner"})
            QDir().mkpath(QtPath(top + sub));
    }
    FrmSrcDir& Chooser() { return app->frmSrcDir(); }
    std::string PathBox() { return BytePath(Chooser().tbsrcPath->text()); }
    std::vector<std::string> Entries() {
        std::vector<std::string> entries;
        for (int i = 0; i < Chooser().DirListCount(); ++i) entries.push_back(Chooser().DirList(i));
        return entries;
    }
    void PressKey(QWidget* widget, int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &press);
    }
    std::string base;
};

TEST_F(FrmSrcDirTest, FirstShowingOpensAtTheCurrentFolderWithAnEmptyPathBox) {
    const QString saved = QDir::currentPath();
    QDir::setCurrent(QtPath(base));
    FrmSrcDir& chooser = Chooser();
    QDir::setCurrent(saved);
    EXPECT_EQ(chooser.DirPath(), base);
    EXPECT_EQ(PathBox(), "");
    EXPECT_EQ(chooser.Drive(), "/");
}

TEST_F(FrmSrcDirTest, FolderListShowsAncestorsThenVisibleSubfolders) {
    ASSERT_TRUE(Chooser().SetDirPath(base));
    const std::vector<std::string> entries = Entries();
    ASSERT_GE(entries.size(), 3u);
    EXPECT_EQ(entries.front(), "/");
    const std::vector<std::string> tail(entries.end() - 3, entries.end());
    EXPECT_EQ(tail, (std::vector<std::string>{base, base + "/alpha", base + "/Beta"}));
    EXPECT_EQ(Chooser().DirList(Chooser().DirListIndex()), base);
    EXPECT_EQ(PathBox(), base);  // the new path fires srcDir_Change
}

TEST_F(FrmSrcDirTest, HighlightingAnEntryCopiesItWithItsCaseIntoThePathBox) {
    ASSERT_TRUE(Chooser().SetDirPath(base));
    Chooser().SetDirListIndex(Chooser().DirListCount() - 1);
    EXPECT_EQ(PathBox(), base + "/Beta");
    EXPECT_EQ(Chooser().DirPath(), base);  // only highlighted, not opened
}

TEST_F(FrmSrcDirTest, EnterOpensTheHighlightedFolderAndBackSpaceItsParent) {
    ASSERT_TRUE(Chooser().SetDirPath(base));
    Chooser().SetDirListIndex(Chooser().DirListCount() - 2);  // alpha
    PressKey(Chooser().srcDir, Qt::Key_Return);
    EXPECT_EQ(Chooser().DirPath(), base + "/alpha");
    EXPECT_EQ(Entries().back(), base + "/alpha/inner");
    EXPECT_EQ(PathBox(), base + "/alpha");

    PressKey(Chooser().srcDir, Qt::Key_Backspace);
    EXPECT_EQ(Chooser().DirPath(), base);
    EXPECT_EQ(PathBox(), base);
}

TEST_F(FrmSrcDirTest, BackSpaceAtTheRootDoesNothing) {
    ASSERT_TRUE(Chooser().SetDirPath("/"));
    Chooser().srcDir_KeyPress(8);
    EXPECT_EQ(Chooser().DirPath(), "/");
    Chooser().srcDir_KeyPress('a');
    EXPECT_EQ(Chooser().DirPath(), "/");
}

TEST_F(FrmSrcDirTest, OkRefusesAFolderWithoutTheDataFile) {
    app->corpus.gDataDir = "kept";
    app->shell.gSrcDirCancelled = true;
    Chooser().tbsrcPath->setText(QtPath(base));
    Chooser().cbOk_Click();

    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, "No Vyakor File Found in " + base);
    EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::Information);
    EXPECT_EQ(dialogs.asked[0].title, "");
    EXPECT_EQ(app->corpus.gDataDir, "kept");
    EXPECT_FALSE(app->shell.gSrcDirCancelled);
}

TEST_F(FrmSrcDirTest, OkWithATrailingSlashTakesTheFolderWithoutIt) {
    PutCorpus(base + "/Beta");
    Chooser().tbsrcPath->setText(QtPath(base + "/Beta/"));
    Chooser().cbOk_Click();
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(app->corpus.gDataDir, base + "/Beta");
    EXPECT_EQ(Chooser().result(), QDialog::Accepted);
}

TEST_F(FrmSrcDirTest, OkWithAnEmptyPathBoxDoesNothing) {
    app->shell.gSrcDirCancelled = true;
    Chooser().tbsrcPath->clear();
    Chooser().cbOk_Click();
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_TRUE(app->shell.gSrcDirCancelled);
}

TEST_F(FrmSrcDirTest, CancelAndEscapeSetTheCancelledFlag) {
    Chooser().cbCancel_Click();
    EXPECT_TRUE(app->shell.gSrcDirCancelled);
    app->shell.gSrcDirCancelled = false;
    Chooser().show();
    PressKey(&Chooser(), Qt::Key_Escape);
    EXPECT_TRUE(app->shell.gSrcDirCancelled);
    EXPECT_FALSE(Chooser().isVisible());
}

TEST_F(FrmSrcDirTest, HiddenChooserKeepsItsListsForTheNextShowing) {
    chooserScript = [this](FrmSrcDir& chooser) {
        chooser.SetDirPath(base + "/alpha");
        chooser.cbCancel_Click();
    };
    app->ShowSrcDir();
    chooserScript = [this](FrmSrcDir& chooser) {
        EXPECT_EQ(chooser.DirPath(), base + "/alpha");
        EXPECT_EQ(BytePath(chooser.tbsrcPath->text()), base + "/alpha");
        chooser.cbCancel_Click();
    };
    app->ShowSrcDir();
    EXPECT_EQ(chooserShown, 2);
    EXPECT_TRUE(app->hasFrmSrcDir());
}

TEST_F(FrmSrcDirTest, CloseBoxUnloadsAndKeepsTheLastAnswer) {
    app->shell.gSrcDirCancelled = true;
    chooserScript = [this](FrmSrcDir& chooser) {
        chooser.SetDirPath(base);
        chooser.close();
    };
    app->ShowSrcDir();
    EXPECT_FALSE(app->hasFrmSrcDir());
    EXPECT_TRUE(app->shell.gSrcDirCancelled);
    EXPECT_EQ(PathBox(), "");  // a fresh chooser
}

TEST_F(FrmSrcDirTest, DriveNotReadyIsReportedAndTheDriveSetBack) {
    ASSERT_TRUE(Chooser().SetDirPath(base));
    Chooser().srcDrive->addItem("gone", QString("/no-such-volume"));
    Chooser().srcDrive->setCurrentIndex(Chooser().srcDrive->count() - 1);

    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, "Drive not ready.");
    EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(Chooser().Drive(), "/");
    EXPECT_EQ(Chooser().DirPath(), base);
}

TEST_F(FrmSrcDirTest, ChoosingADriveOpensItsRoot) {
    ASSERT_TRUE(Chooser().SetDirPath(base));
    ASSERT_TRUE(Chooser().SetDrive("/"));
    EXPECT_EQ(Chooser().DirPath(), "/");
    EXPECT_EQ(PathBox(), "/");
    EXPECT_TRUE(dialogs.asked.empty());
}

TEST_F(FrmSrcDirTest, ButtonsCarryTheirCaptions) {
    EXPECT_EQ(Chooser().cbOk->text(), "&Ok");
    EXPECT_EQ(Chooser().cbCancel->text(), "&Cancel");
    EXPECT_TRUE(Chooser().cbOk->isDefault());
    EXPECT_EQ(Chooser().lbl[1]->text(), "&Path :");
    EXPECT_EQ(Chooser().lbl[2]->text(), "&Drive :");
    EXPECT_EQ(Chooser().lbl[3]->text(), "Link &URL :");

    // Set VYK_SHOTS_DIR to look at the chooser as Main shows it.
    const QString shots = qEnvironmentVariable("VYK_SHOTS_DIR");
    if (!shots.isEmpty()) {
        Chooser().setWindowTitle("Missing Vyakor File(s)");
        Chooser().lbl[0]->setText("Locate the Path for Vyakor Files.");
        Chooser().coUrl->hide();
        Chooser().lbl[3]->setEnabled(false);
        Chooser().SetDirPath(base);
        Chooser().show();
        EXPECT_TRUE(Chooser().grab().save(shots + "/srcdir.png"));
    }
}

// As the start-up shows it: the prompt set, the link box hidden and its
// label disabled.
TEST_F(FrmSrcDirTest, AsShownEveryCaptionIsWholeAndTheDisabledOneReadable) {
    Remember(programDir);  // the program folder, without data: the chooser opens at once
    app->shell.gIniFile = "vyakor.ini";
    app->corpus.gDataDir = programDir;
    app->corpus.gDataFile = DataFilePath(programDir);
    chooserScript = [](FrmSrcDir& chooser) {
        ASSERT_FALSE(chooser.lbl[3]->isEnabled());
        EXPECT_EQ(CutCaptions(chooser), std::vector<std::string>{});
        QLabel& link = *chooser.lbl[3];
        EXPECT_GE(TextContrast(link.grab().toImage(), link.rect()), ReadableContrast);
        chooser.close();
    };
    DecideDataDir(*app);
    EXPECT_EQ(chooserShown, 1);
}

}  // namespace
}  // namespace vyk::test
