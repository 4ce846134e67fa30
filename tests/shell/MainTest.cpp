// Start-up and reload: data folder roads, fonts, the window set up and
// loaded, menus, and the ways the program ends.

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include "corpus/Loader.h"
#include "platform/Files.h"
#include "platform/ListControl.h"
#include "platform/RichTextPane.h"
#include "platform/Services.h"
#include "shell/FrmVyakor.h"
#include "shell/Main.h"
#include "tests/LookSupport.h"
#include "tests/TempDir.h"
#include "tests/shell/ShellFixture.h"
#include "window/FrmPop.h"
#include "window/FrmSutra.h"

namespace vyk::test {
namespace {

class MainTest : public ShellTest {
protected:
    FrmSutra& Sutra() { return app->frmSutra(); }
    int AstadhyayiCount() { return Sutra().lstVykE[0]->ListCount(); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const MsgRequest& request : dialogs.asked) texts.push_back(request.text);
        return texts;
    }
};

TEST_F(MainTest, DataInProgramFolderStartsWithoutAQuestion) {
    PutData(programDir);
    Main(*app);

    EXPECT_FALSE(app->ProgramEnded());
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(app->corpus.gDataDir, programDir);  // case kept
    EXPECT_EQ(app->corpus.gDataFile, programDir + "/sutra.vyk");
    EXPECT_EQ(Remembered(), programDir);
    EXPECT_EQ(app->shell.gIniFile, "vyakor.ini");
    EXPECT_GT(AstadhyayiCount(), 0);
    EXPECT_EQ(Sutra().lstVykE[0]->ListIndex(), 0);
    EXPECT_FALSE(app->corpus.gLoading);
    EXPECT_EQ(Sutra().Session().CurSutra(), 1);
    EXPECT_TRUE(app->frmVyakor().isVisible());
    EXPECT_TRUE(Sutra().picSutra->isVisible());
    EXPECT_FALSE(HourglassShown());
    EXPECT_EQ(app->window.gOrderName[0], "Astadhyayi");
    EXPECT_EQ(app->window.gOrderName[1], "Siddhanta Kaumudi");
    EXPECT_EQ(app->window.gOrderName[2], "Laghu Kaumudi");
    EXPECT_EQ(app->frmVyakor().windowTitle(), "Vyakorsutravali (ver. 1.0) - Copyright (C) 2000 Talvorek.");
}

TEST_F(MainTest, FirstStartInstallsBothFontsFromTheDataFolder) {
    PutData(programDir);
    Main(*app);

    EXPECT_TRUE(FileExists(fontsDir + "/tmskrmn.ttf"));
    EXPECT_TRUE(FileExists(fontsDir + "/velka.ttf"));
    EXPECT_TRUE(FaceAvailable("Times Kovra Roman"));
    EXPECT_TRUE(FaceAvailable("Velka"));
    EXPECT_TRUE(app->window.gRomanFontOk);
    EXPECT_TRUE(app->window.gVelkaFontOk);
    EXPECT_EQ(app->window.gRomanFontSize, 11);
    EXPECT_EQ(app->window.gVelkaFontSize, 13);
}

TEST_F(MainTest, ProgramFolderWithTrailingSlashGivesOneSlashBeforeTheDataFile) {
    PutData(programDir);
    app.reset();
    app = std::make_unique<Application>(dialogs, ShellPaths{programDir + "/", windowsDir, fontsDir});
    Main(*app);
    EXPECT_EQ(app->corpus.gDataDir, programDir);
    EXPECT_EQ(app->corpus.gDataFile, programDir + "/sutra.vyk");
    EXPECT_EQ(WithoutTrailingSlash("/"), "");
    EXPECT_EQ(DataFilePath(WithoutTrailingSlash("/")), "/sutra.vyk");
}

TEST_F(MainTest, RememberedFolderKeptByYes) {
    PutData(dataDir);
    Remember(dataDir);
    dialogs.Plan(MsgAnswer::Yes);
    Main(*app);

    ASSERT_EQ(dialogs.asked.size(), 1u);
    const MsgRequest& question = dialogs.asked[0];
    EXPECT_EQ(question.text, DataDirQuestion(programDir, dataDir).text);
    EXPECT_EQ(question.buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(question.icon, MsgIcon::Question);
    EXPECT_EQ(question.title, "");
    EXPECT_EQ(chooserShown, 0);
    EXPECT_EQ(app->corpus.gDataFile, dataDir + "/sutra.vyk");
    EXPECT_GT(AstadhyayiCount(), 0);
    EXPECT_FALSE(app->ProgramEnded());
}

TEST_F(MainTest, NoOpensTheChooserAndItsFolderIsRemembered) {
    PutData(otherDataDir);
    Remember(dataDir);
    dialogs.Plan(MsgAnswer::No);
    chooserScript = ChooseFolder(otherDataDir);
    Main(*app);

    EXPECT_EQ(chooserShown, 1);
    EXPECT_EQ(app->corpus.gDataDir, otherDataDir);
    EXPECT_EQ(Remembered(), otherDataDir);
    EXPECT_GT(AstadhyayiCount(), 0);
    const FrmSrcDir& chooser = app->frmSrcDir();
    EXPECT_EQ(chooser.windowTitle(), "Missing Vyakor File(s)");
    EXPECT_EQ(chooser.lbl[0]->text(), "Locate the Path for Vyakor Files.");
    EXPECT_TRUE(chooser.coUrl->isHidden());
    EXPECT_FALSE(chooser.lbl[3]->isEnabled());
}

TEST_F(MainTest, CancelInTheChooserAsksTheQuestionAgain) {
    PutData(dataDir);
    Remember(dataDir);
    dialogs.Plan(MsgAnswer::No);
    dialogs.Plan(MsgAnswer::Yes);
    Main(*app);  // the chooser's default script is Cancel

    EXPECT_EQ(chooserShown, 1);
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[1].text, dialogs.asked[0].text);
    EXPECT_TRUE(app->shell.gSrcDirCancelled);
    EXPECT_EQ(app->corpus.gDataDir, dataDir);
    EXPECT_FALSE(app->ProgramEnded());
}

TEST_F(MainTest, CancelInTheQuestionEndsBeforeAnyWindowIsSetUp) {
    Remember(dataDir);
    dialogs.Plan(MsgAnswer::Cancel);
    Main(*app);

    EXPECT_TRUE(app->ProgramEnded());
    EXPECT_FALSE(app->hasFrmSutra());
    EXPECT_FALSE(HourglassShown());
    EXPECT_EQ(Remembered(), dataDir);
    EXPECT_FALSE(app->frmVyakor().isVisible());
}

TEST_F(MainTest, RememberedProgramFolderOpensTheChooserAtOnce) {
    PutData(dataDir);
    Remember(programDir);
    chooserScript = ChooseFolder(dataDir);
    Main(*app);

    EXPECT_EQ(chooserShown, 1);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(app->corpus.gDataDir, dataDir);
}

TEST_F(MainTest, RememberedFolderDifferingOnlyInCaseIsAskedAbout) {
    Remember(top + "/program files/vyakor");
    dialogs.Plan(MsgAnswer::Cancel);
    Main(*app);
    EXPECT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(chooserShown, 0);
}

TEST_F(MainTest, NoDataAnywhereGoesOnWithEmptyLists) {
    AddBothFaces();
    dialogs.Plan(MsgAnswer::Yes);
    dialogs.Plan(MsgAnswer::OK);
    Main(*app);

    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[0].text, DataDirQuestion(programDir, "").text);
    EXPECT_EQ(dialogs.asked[1].title, UnknownFileFormatTitle);
    EXPECT_EQ(app->corpus.gDataDir, "");
    EXPECT_EQ(app->corpus.gDataFile, "/sutra.vyk");
    EXPECT_EQ(AstadhyayiCount(), 0);
    EXPECT_FALSE(app->ProgramEnded());
    EXPECT_TRUE(app->frmVyakor().isVisible());
    EXPECT_FALSE(HourglassShown());
}

// Folder names are bytes: found and remembered as the file system holds them.
TEST_F(MainTest, ProgramFolderNameThatIsNotUtf8IsFoundAndRemembered) {
    programDir = top + "/caf\xe9";
    std::filesystem::create_directory(programDir);
    for (const char* file : {"sutra.vyk", "tmskrmn.ttf", "velka.ttf"})
        std::filesystem::copy_file(BuildDataDir + "/" + file, programDir + "/" + file);
    MakeApp();
    Main(*app);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(Remembered(), programDir);
    app.reset();
    std::filesystem::remove_all(programDir);  // QTemporaryDir cannot name it
}

TEST_F(MainTest, RememberedUtf8FolderShowsByItsNameInTheQuestion) {
    const std::string folder = top + "/\xC3\xB1\xC4\x81ma-\xE0\xA4\xA6\xE0\xA4\xA4";  // "ñāma-दत"
    PutData(folder);
    Remember(folder);
    dialogs.Plan(MsgAnswer::Yes);
    Main(*app);
    ASSERT_FALSE(dialogs.asked.empty());
    EXPECT_TRUE(BoxText(dialogs.asked[0]).contains(QString::fromUtf8(u8"/\u00F1\u0101ma-\u0926\u0924\r\n")))
        << BoxText(dialogs.asked[0]).toStdString();
}

// The value read ends at its first NUL: past it, the data folder named the
// data file itself, and font files in it named the corpus.
TEST_F(MainTest, RememberedFolderEndsAtItsFirstNul) {
    using namespace std::string_literals;
    PutCorpus(dataDir);
    PutFontFiles(programDir);
    WriteBytes(IniFile(), "[Settings]\nDir="s + dataDir + "/sutra.vyk\0x\n"s);
    dialogs.Plan(MsgAnswer::Yes);
    Main(*app);
    EXPECT_EQ(app->corpus.gDataDir, dataDir + "/sutra.vyk");
    EXPECT_FALSE(app->ProgramEnded());
    EXPECT_TRUE(FaceAvailable("Times Kovra Roman") && FaceAvailable("Velka"));
}

TEST_F(MainTest, FolderNameWithALineBreakIsNotRememberedAndTheUserIsTold) {
    programDir = top + "/Vya\nkor";
    PutData(programDir);
    MakeApp();
    Main(*app);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, "The data folder's name holds a line break, which vyakor.ini cannot keep, so it "
                                     "is not remembered for the next start:\r\n   " + programDir);
    EXPECT_EQ(Remembered(), "<none>");
}

TEST_F(MainTest, MissingFontWithoutItsFileEndsTheProgram) {
    PutCorpus(programDir);
    CopyInto("velka.ttf", BuildDataDir, programDir);
    Main(*app);

    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].title, "Missing Font");
    EXPECT_TRUE(app->ProgramEnded());
    EXPECT_FALSE(app->window.gRomanFontOk);
    EXPECT_FALSE(app->hasFrmSutra());
}

TEST_F(MainTest, ReloadResetsFileTicksAndKeepsViewSortAndEditTicks) {
    PutData(programDir);
    app->restrictMenus = false;  // Tools, Edit must be reachable for the test
    Main(*app);
    FrmSutra* first = &Sutra();
    Sutra().SetSortMode(1);
    Sutra().SetListOrder(1);
    Sutra().mSandhi->trigger();
    Sutra().mnuToolsEdit->trigger();
    ASSERT_TRUE(Sutra().mnuToolsEdit->isChecked());
    ASSERT_FALSE(Sutra().mSandhi->isChecked());

    Main(*app);

    EXPECT_EQ(&Sutra(), first);
    EXPECT_TRUE(Sutra().mnuFileAstadhyayi->isChecked());
    EXPECT_FALSE(Sutra().mnuFileSKaumudi->isChecked());
    EXPECT_FALSE(Sutra().mnuFileLKaumudi->isChecked());
    EXPECT_TRUE(Sutra().mViewSortAlphabetical->isChecked());
    EXPECT_FALSE(Sutra().mViewSortNumerical->isChecked());
    EXPECT_FALSE(Sutra().mSandhi->isChecked());
    EXPECT_TRUE(Sutra().Session().Sections().gHideSandhi);
    EXPECT_TRUE(Sutra().mnuToolsEdit->isChecked());
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_GT(AstadhyayiCount(), 0);
}

TEST_F(MainTest, ReloadWithDataOutsideTheProgramFolderAsksAgain) {
    PutData(dataDir);
    Remember(dataDir);
    dialogs.Plan(MsgAnswer::Yes);
    dialogs.Plan(MsgAnswer::Yes);
    Main(*app);
    Main(*app);
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[1].text, DataDirQuestion(programDir, dataDir).text);
}

TEST_F(MainTest, RestrictMenusHidesToolsAndGreysTheSearchItems) {
    PutData(programDir);
    app->restrictMenus = true;  // whatever the build's default
    Main(*app);
    EXPECT_FALSE(Sutra().mnuTools->menuAction()->isVisible());
    EXPECT_FALSE(Sutra().mnuSearchSutra->isEnabled());
    EXPECT_FALSE(Sutra().mnuSearchVritti->isEnabled());
    EXPECT_FALSE(Sutra().mnuSearchVartika->isEnabled());
    EXPECT_TRUE(Sutra().mHelpHow->isEnabled());
}

TEST_F(MainTest, WithoutRestrictMenusToolsAndSearchStayAsDesigned) {
    PutData(programDir);
    app->restrictMenus = false;
    Main(*app);
    EXPECT_TRUE(Sutra().mnuTools->menuAction()->isVisible());
    EXPECT_TRUE(Sutra().mnuSearchSutra->isEnabled());
    EXPECT_TRUE(Sutra().mnuSearchVritti->isEnabled());
    EXPECT_TRUE(Sutra().mnuSearchVartika->isEnabled());
}

TEST_F(MainTest, FrameHoldsTheSutraWindowAndShowsItsMenuBar) {
    PutData(programDir);
    Main(*app);
    FrmVyakor& frame = app->frmVyakor();
    EXPECT_EQ(frame.centralWidget(), &Sutra());
    EXPECT_EQ(frame.menuBar(), Sutra().MenuBar());
    EXPECT_EQ(frame.palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_FALSE(frame.windowIcon().isNull());
    EXPECT_FALSE(frame.pbDummy->isVisible());
}

// The window sets itself up once, when it is made; the frame's adoption of it
// afterwards must not undo that set-up.
TEST_F(MainTest, SetUpTabOrderHoldsInsideTheFrame) {
    PutData(programDir);
    Main(*app);
    auto nextTabStop = [](QWidget* widget) {
        QWidget* next = widget->nextInFocusChain();
        while (next != widget && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
        return next;
    };
    EXPECT_EQ(nextTabStop(Sutra().lstVykE[0]), Sutra().lstVykE[1]);
    EXPECT_EQ(nextTabStop(Sutra().lstVykE[1]), Sutra().lstVykE[2]);
}

TEST_F(MainTest, ClosingTheFrameWithoutChangesEndsTheProgram) {
    PutData(programDir);
    Main(*app);
    ASSERT_TRUE(app->corpus.gDataFileNo.IsOpen());
    app->frmVyakor().close();
    EXPECT_TRUE(app->ProgramEnded());
    EXPECT_FALSE(app->corpus.gDataFileNo.IsOpen());
    EXPECT_TRUE(app->window.gClosing);
}

TEST_F(MainTest, ClosingTheFrameIsRefusedWhenTheCloseQueryCancels) {
    PutData(programDir);
    Main(*app);
    app->corpus.gDataModified = true;
    dialogs.Plan(MsgAnswer::Cancel);
    EXPECT_FALSE(app->frmVyakor().close());
    EXPECT_FALSE(app->ProgramEnded());
    EXPECT_TRUE(app->frmVyakor().isVisible());

    dialogs.Plan(MsgAnswer::No);
    EXPECT_TRUE(app->frmVyakor().close());
    EXPECT_TRUE(app->ProgramEnded());
    EXPECT_FALSE(app->corpus.gDataFileNo.IsOpen());
}

TEST_F(MainTest, FileExitWithoutChangesEndsAtOnceWithoutAsking) {
    PutData(programDir);
    Main(*app);
    Sutra().mExit->trigger();
    EXPECT_TRUE(app->ProgramEnded());
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_FALSE(app->frmVyakor().isVisible());
}

TEST_F(MainTest, FileExitLeavesTheRunningEventLoop) {
    PutData(programDir);
    Main(*app);
    ASSERT_FALSE(app->ProgramEnded());
    QTimer::singleShot(0, Sutra().mExit, &QAction::trigger);
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    safety.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(app->ProgramEnded());
}

// The menus' shortcuts with the caret in a writable pane, dispatched by the
// shown frame as a user's keys are.
class FrameKeysTest : public MainTest {
protected:
    void SetUp() override {
        MainTest::SetUp();
        PutData(programDir);
        app->restrictMenus = false;
        Main(*app);
        pane = Sutra().rtbE[0];
        Sutra().mnuToolsEdit->trigger();
        QApplication::setActiveWindow(&app->frmVyakor());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&app->frmVyakor()));
        pane->SetFocus();
        ASSERT_EQ(QApplication::focusWidget(), pane);
        pane->SetSelStart(7);  // the start of the sutra's text
        original = ReadBytes(app->corpus.gDataFile);
    }

    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(pane, key, modifiers);
        QCoreApplication::processEvents();
    }

    RichTextPane* pane = nullptr;
    std::string original;
};

TEST_F(FrameKeysTest, CtrlXIsFileExitNotCut) {
    const std::string text = pane->Text();
    pane->selectAll();
    dialogs.Plan(MsgAnswer::Cancel);
    Press(Qt::Key_X, Qt::ControlModifier);
    // Nothing to save: the program ends, and nothing was cut.
    EXPECT_TRUE(app->ProgramEnded());
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(pane->Text(), text);
}

TEST_F(FrameKeysTest, CtrlXWithTypingPendingAsksFirst) {
    Press(Qt::Key_Q);
    dialogs.Plan(MsgAnswer::Cancel);
    Press(Qt::Key_X, Qt::ControlModifier);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].title, "Save");
    EXPECT_FALSE(app->ProgramEnded());

    dialogs.Plan(MsgAnswer::No);
    Press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(app->ProgramEnded());
    EXPECT_EQ(ReadBytes(app->corpus.gDataFile), original);
}

TEST_F(FrameKeysTest, CtrlZIsToolsUndoWhileThatItemIsEnabled) {
    // An edit of sutra 1 stored, and the Tools menu opened on it.
    Press(Qt::Key_Q);
    Sutra().ShowSutra(1);
    ASSERT_TRUE(HasEdit(app->corpus, 1));
    Sutra().mnuTools_Click();
    ASSERT_TRUE(Sutra().mnuToolsUndo->isEnabled());
    pane->SetFocus();

    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(HasEdit(app->corpus, 1)) << "Tools, Undo drops the stored edit";
    EXPECT_EQ(Sutra().Session().Sections().gField[1], "v\xE3" "ddhir\xE0" "daic");
}

TEST_F(FrameKeysTest, AltSAndAltHTypeTheirLettersAndOpenNoMenu) {
    Press(Qt::Key_S, Qt::AltModifier);
    Press(Qt::Key_H, Qt::AltModifier);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(pane->Text().substr(7, 3), "\xF0\xE8v");
    EXPECT_TRUE(app->frmSutra().Session().TextChanged());
}

TEST_F(MainTest, HelpAboutTwiceShowsTheSameBoxSetUpOnce) {
    PutData(programDir);
    Main(*app);
    Sutra().mAbout->trigger();
    FrmAbout* first = &app->frmAbout();
    Sutra().mAbout->trigger();
    EXPECT_EQ(aboutShown, 2);
    EXPECT_EQ(&app->frmAbout(), first);
    EXPECT_EQ(first->FormLoadCount(), 1);
    EXPECT_FALSE(first->isVisible());
}

// ---- Disabled captions -----------------------------------------------------

// The darkest text of an item against its background, in a grab of the bar
// or menu that shows it.
int ItemContrast(QWidget& menu, const QRect& item) { return TextContrast(menu.grab().toImage(), item); }

TEST_F(MainTest, DisabledMenuTitlesAndItemsAreReadable) {
    PutData(programDir);
    Main(*app);
    Sutra().SetListOrder(1);
    QMenuBar* bar = app->frmVyakor().menuBar();
    ASSERT_FALSE(Sutra().mViewSort->isEnabled());
    EXPECT_GE(ItemContrast(*bar, bar->actionGeometry(Sutra().mViewSort->menuAction())), ReadableContrast)
        << "the Sort title on the menu bar";

    Sutra().mnuSearchSutra->setEnabled(false);  // as the restricted build leaves it
    const auto shownItem = [](QMenu* menu, QAction* item) {
        menu->popup(QPoint(0, 0));
        const int contrast = ItemContrast(*menu, menu->actionGeometry(item));
        menu->hide();
        return contrast;
    };
    EXPECT_GE(shownItem(Sutra().mnuSearch, Sutra().mnuSearchSutra), ReadableContrast) << "Search, Sutra";
    FrmPop& pop = Sutra().Pop();
    ASSERT_FALSE(pop.mSortAlphabetical->isEnabled());
    EXPECT_GE(shownItem(pop.mSort, pop.mSortAlphabetical), ReadableContrast) << "the Sort-File popup";
}

}  // namespace
}  // namespace vyk::test
