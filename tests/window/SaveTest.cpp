// The save panel, the close query and the window's side of the saver.

#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "tests/window/EditingAccess.h"
#include "tests/window/WindowFixture.h"

namespace vyk::test {
namespace {

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SaveTest : public WindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(Start({Record("1.1.1", "vrddhir adaic", 1, 1), Record("1.1.2", "adeN gunah", 2, 2),
                           Record("1.1.3", "iko gunavrddhi", 3, 0)}));
        onRunMain = [this] { Start(); };
        original = FileBytes(corpus.gDataFile);
    }

    // Typing in the pane, marked as the key handlers mark it.
    void Type(const std::string& text) {
        TypeIntoPane(text);
        Window().rtbE_KeyPress(0, text.front());
    }

    // Typing in record 1, committed by showing record 2.
    void CommitAnEdit() {
        Type(" typed");
        Window().lstVykE[0]->SetListIndex(1);
        ASSERT_TRUE(corpus.gDataModified);
        ASSERT_TRUE(HasEdit(corpus, 1));
    }

    struct PanelSeen {
        bool frame, save, cancel, terminate, status;
        bool operator==(const PanelSeen&) const = default;
    };
    PanelSeen Panel() const {
        const FrmSutra& w = *window;
        return {w.frStore->isVisible(), w.cbOk->isVisible(), w.cbCancel->isVisible(), w.cbTerm->isVisible(),
                w.lblStatus->isVisible()};
    }
    static constexpr PanelSeen Hidden{false, false, false, false, false};
    static constexpr PanelSeen Ready{true, true, true, false, false};
    static constexpr PanelSeen Saving{true, false, false, true, true};
    static constexpr PanelSeen TerminateOnly{true, false, false, true, false};


    bool QuestionAsked(std::string_view title) const {
        for (const MsgRequest& request : dialogs.asked) {
            if (request.title == title) return true;
        }
        return false;
    }

    std::string original;
};

TEST_F(SaveTest, SaveWithNoChangesDoesNothing) {
    Window().mnuToolsSave_Click();
    EXPECT_EQ(Panel(), Hidden);
}

TEST_F(SaveTest, PendingTypingOpensThePanelHalfWayDownThePane) {
    Type("x");
    EXPECT_TRUE(Window().mnuToolsSave->isEnabled());
    Window().mnuToolsSave->trigger();

    EXPECT_EQ(Panel(), Ready);
    const TwipsPlacement& pane = Window().rtbE[0]->Placement();
    EXPECT_EQ(Window().frStore->Placement().Left(), pane.Left());
    EXPECT_EQ(Window().frStore->Placement().Top(), pane.Height() / 2);
}

TEST_F(SaveTest, CancelClosesThePanelAndTouchesNothing) {
    CommitAnEdit();
    const std::string edit = corpus.gEditedText[1];
    Window().mnuToolsSave_Click();
    Window().cbCancel->click();

    EXPECT_EQ(Panel(), Hidden);
    EXPECT_TRUE(corpus.gDataModified);
    EXPECT_EQ(corpus.gEditedText[1], edit);
    EXPECT_EQ(FileBytes(corpus.gDataFile), original);
    EXPECT_EQ(runMainCalls, 0);
}

TEST_F(SaveTest, EscapeIsTheCancelButtonOnlyWhileThePanelShowsIt) {
    QApplication::setActiveWindow(&Window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    Type("x");
    Window().mnuToolsSave_Click();
    QTest::keyClick(Window().rtbE[0], Qt::Key_Escape);
    EXPECT_EQ(Panel(), Hidden);
}

TEST_F(SaveTest, SaveWritesTheTypingAndReloads) {
    Type(" typed");
    const bool locked = Window().rtbE[0]->Locked();
    Window().mnuToolsSave_Click();
    Window().cbOk->click();

    EXPECT_EQ(runMainCalls, 1);
    EXPECT_EQ(Panel(), Hidden);
    EXPECT_FALSE(Window().mnuToolsSave->isEnabled());
    EXPECT_FALSE(corpus.gDataModified);
    EXPECT_FALSE(TextChanged());
    EXPECT_FALSE(HasEdit(corpus, 1));
    EXPECT_NE(FileBytes(corpus.gDataFile), original);
    EXPECT_NE(ReadRecordText(corpus, 1).value_or("").find(" typed"), std::string::npos);
    EXPECT_NE(PaneText().find(" typed"), std::string::npos) << PaneText();
    EXPECT_EQ(Window().rtbE[0]->Locked(), locked) << "the edit mode is as it was";
}

TEST_F(SaveTest, PanelShowsTerminateWhileSavingAndTerminateYesKeepsEverything) {
    CommitAnEdit();
    const std::string edit = corpus.gEditedText[1];
    Window().mnuToolsSave_Click();
    PanelSeen whileSaving{};
    DuringSave([&] {
        whileSaving = Panel();
        Window().cbTerm->click();
    });
    dialogs.Plan(MsgAnswer::Yes);

    Window().cbOk->click();

    EXPECT_EQ(whileSaving, Saving);
    ASSERT_FALSE(dialogs.asked.empty());
    const MsgRequest& question = dialogs.asked.back();
    EXPECT_EQ(question.text, "Terminate Saving the File: " + corpus.gDataFile);
    EXPECT_EQ(question.title, "Abort");
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_EQ(question.icon, MsgIcon::Information);

    EXPECT_EQ(Panel(), TerminateOnly);
    EXPECT_EQ(FileBytes(corpus.gDataFile), original);
    EXPECT_FALSE(std::filesystem::exists(dir.File("sutra.tmp")));
    EXPECT_TRUE(corpus.gDataModified);
    EXPECT_EQ(corpus.gEditedText[1], edit);
    EXPECT_EQ(runMainCalls, 0);

    // Tools, Save brings Save and Cancel back.
    Window().mnuToolsSave_Click();
    EXPECT_EQ(Panel(), Ready);
}

TEST_F(SaveTest, TerminateAnsweredNoLetsTheSaveComplete) {
    CommitAnEdit();
    Window().mnuToolsSave_Click();
    DuringSave([&] { Window().cbTerm->click(); });
    dialogs.Plan(MsgAnswer::No);

    Window().cbOk->click();

    EXPECT_TRUE(QuestionAsked("Abort"));
    EXPECT_EQ(runMainCalls, 1);
    EXPECT_FALSE(corpus.gDataModified);
    EXPECT_EQ(Panel(), Hidden);
}

TEST_F(SaveTest, OnlyTerminateActsWhileASaveRuns) {
    CommitAnEdit();
    Window().mnuToolsSave_Click();
    corpus.gSaving = true;
    Window().cbCancel_Click();
    EXPECT_EQ(Panel(), Ready);
    Window().cbOk_Click();
    EXPECT_EQ(Panel(), Ready);
    Window().cbTerm_Click();
    EXPECT_TRUE(corpus.gTerminateSave);
    corpus.gSaving = false;
    EXPECT_EQ(FileBytes(corpus.gDataFile), original);
}

TEST_F(SaveTest, AFailedSaveIsReportedAndThePanelOffersSaveAgain) {
    CommitAnEdit();
    const std::string edit = corpus.gEditedText[1];
    BlockTheTemporaryFile();
    Window().mnuToolsSave_Click();

    Window().cbOk->click();

    ASSERT_TRUE(QuestionAsked("Save"));
    EXPECT_NE(dialogs.asked.back().text.find(corpus.gDataFile), std::string::npos);
    EXPECT_EQ(Panel(), Ready);
    EXPECT_EQ(runMainCalls, 0);
    EXPECT_TRUE(corpus.gDataModified);
    EXPECT_EQ(corpus.gEditedText[1], edit);
    EXPECT_EQ(FileBytes(corpus.gDataFile), original);
    EXPECT_TRUE(Window().mnuToolsSave->isEnabled());
}

// Another program's file at the name: the question names it, and No keeps
// that file and the edits.
TEST_F(SaveTest, AnotherProgramsFileAtTheNameIsKeptWhenTheUserSaysNo) {
    CommitAnEdit();
    std::filesystem::remove(corpus.gDataFile);
    std::ofstream(corpus.gDataFile, std::ios::binary) << "theirs";
    Window().mnuToolsSave_Click();
    Window().cbOk->click();

    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(dialogs.asked[0].text.rfind(corpus.gDataFile + " is not the file the corpus was loaded from", 0), 0u);
    EXPECT_EQ(Panel(), Ready);
    EXPECT_EQ(FileBytes(corpus.gDataFile), "theirs");
}

// ---- The close query ------------------------------------------------------

TEST_F(SaveTest, CloseWithoutChangesEndsTheProgramWithoutAQuestion) {
    bool cancel = false;
    Window().Form_QueryUnload(cancel);
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(endProgramCalls, 1);
    EXPECT_TRUE(state.gClosing);
}

TEST_F(SaveTest, CloseAfterKeysInTheLockedPaneAsksNothing) {
    ASSERT_TRUE(Window().rtbE[0]->Locked());
    QTest::keyClick(Window().rtbE[0], Qt::Key_X);  // view mode: the pane takes none of it
    ASSERT_TRUE(TextChanged());
    bool cancel = false;
    Window().Form_QueryUnload(cancel);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(endProgramCalls, 1);
    EXPECT_EQ(FileBytes(corpus.gDataFile), original);
}

TEST_F(SaveTest, CloseAsksAboutTypingEvenWhenEditModeWasLeftSince) {
    Window().mnuToolsEdit->trigger();
    Window().rtbE[0]->SetSelStart(7);
    QTest::keyClick(Window().rtbE[0], Qt::Key_Z);
    Window().mnuToolsEdit->trigger();
    ASSERT_TRUE(Window().rtbE[0]->Locked());

    dialogs.Plan(MsgAnswer::Yes);
    bool cancel = false;
    Window().Form_QueryUnload(cancel);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].title, "Save");
    EXPECT_NE(FileBytes(corpus.gDataFile).find("zvrddhir adaic"), std::string::npos);
}

// File, Exit asks the close query's question whenever closing would.
TEST_F(SaveTest, ExitWithChangesAsksFirstAndEndsAsTheAnswerSays) {
    CommitAnEdit();
    dialogs.Plan(MsgAnswer::Cancel);
    Window().mExit->trigger();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, "Vyakor Data Modified.\r\nSave Changes to " + corpus.gDataFile);
    EXPECT_EQ(endProgramCalls, 0);
    EXPECT_TRUE(HasEdit(corpus, 1));

    dialogs.Plan(MsgAnswer::No);
    Window().mExit->trigger();
    EXPECT_EQ(endProgramCalls, 1);
    EXPECT_EQ(FileBytes(corpus.gDataFile), original);
}

TEST_F(SaveTest, ExitAnsweredYesSavesThenEnds) {
    Type(" typed");
    dialogs.Plan(MsgAnswer::Yes);
    Window().mExit->trigger();
    EXPECT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(runMainCalls, 1);
    EXPECT_EQ(endProgramCalls, 1);
    EXPECT_NE(FileBytes(corpus.gDataFile).find(" typed"), std::string::npos);
}

TEST_F(SaveTest, CloseRightAfterTypingInEditModeAsksAndYesKeepsTheTyping) {
    Type(" typed");
    dialogs.Plan(MsgAnswer::Yes);
    bool cancel = false;
    Window().Form_QueryUnload(cancel);

    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].title, "Save");
    EXPECT_FALSE(cancel);
    EXPECT_NE(FileBytes(corpus.gDataFile).find(" typed"), std::string::npos);
}

TEST_F(SaveTest, CloseWithChangesAsksAndYesSavesReloadsAndGoesOn) {
    CommitAnEdit();
    dialogs.Plan(MsgAnswer::Yes);
    bool cancel = false;
    Window().Form_QueryUnload(cancel);

    ASSERT_EQ(dialogs.asked.size(), 1u);
    const MsgRequest& question = dialogs.asked[0];
    EXPECT_EQ(question.text, "Vyakor Data Modified.\r\nSave Changes to " + corpus.gDataFile);
    EXPECT_EQ(question.title, "Save");
    EXPECT_EQ(question.buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(question.icon, MsgIcon::Question);
    EXPECT_TRUE(question.systemModal);

    EXPECT_FALSE(cancel);
    EXPECT_EQ(runMainCalls, 1);
    EXPECT_FALSE(corpus.gDataModified);
    EXPECT_NE(FileBytes(corpus.gDataFile), original);
    EXPECT_EQ(endProgramCalls, 0) << "the unloading that follows ends the program";
}

TEST_F(SaveTest, CloseAnsweredCancelKeepsTheWindowAndTheChanges) {
    CommitAnEdit();
    dialogs.Plan(MsgAnswer::Cancel);
    bool cancel = false;
    Window().Form_QueryUnload(cancel);
    EXPECT_TRUE(cancel);
    EXPECT_TRUE(corpus.gDataModified);
    EXPECT_TRUE(HasEdit(corpus, 1));
    EXPECT_EQ(endProgramCalls, 0);
    EXPECT_FALSE(state.gClosing);
}

TEST_F(SaveTest, CloseAnsweredNoEndsTheProgramAndLeavesTheFile) {
    CommitAnEdit();
    dialogs.Plan(MsgAnswer::No);
    bool cancel = false;
    Window().Form_QueryUnload(cancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(endProgramCalls, 1);
    EXPECT_TRUE(state.gClosing);
    EXPECT_EQ(FileBytes(corpus.gDataFile), original);
    EXPECT_EQ(runMainCalls, 0);
}

TEST_F(SaveTest, CloseAfterAFailedSaveKeepsTheWindowOpenWithTheEdits) {
    CommitAnEdit();
    BlockTheTemporaryFile();
    dialogs.Plan(MsgAnswer::Yes);
    bool cancel = false;
    Window().Form_QueryUnload(cancel);

    EXPECT_TRUE(cancel);
    EXPECT_TRUE(QuestionAsked("Save"));
    EXPECT_EQ(dialogs.asked.size(), 2u) << "the question, then the report of the failure";
    EXPECT_EQ(endProgramCalls, 0);
    EXPECT_FALSE(state.gClosing);
    EXPECT_TRUE(corpus.gDataModified);
    EXPECT_TRUE(HasEdit(corpus, 1));
    EXPECT_EQ(FileBytes(corpus.gDataFile), original);
}

TEST_F(SaveTest, CloseAfterATerminatedSaveKeepsTheWindowOpenWithTheEdits) {
    CommitAnEdit();
    // A Terminate button left visible by an earlier terminated save.
    Window().mnuToolsSave_Click();
    DuringSave([&] { Window().cbTerm->click(); });
    dialogs.Plan(MsgAnswer::Yes);
    dialogs.Plan(MsgAnswer::Yes);
    bool cancel = false;
    Window().Form_QueryUnload(cancel);

    EXPECT_TRUE(QuestionAsked("Abort"));
    EXPECT_TRUE(cancel);
    EXPECT_EQ(endProgramCalls, 0);
    EXPECT_TRUE(HasEdit(corpus, 1));
    EXPECT_EQ(FileBytes(corpus.gDataFile), original);
}

TEST_F(SaveTest, CloseIsRefusedWhileASaveRuns) {
    CommitAnEdit();
    corpus.gSaving = true;
    bool cancel = false;
    Window().Form_QueryUnload(cancel);
    corpus.gSaving = false;
    EXPECT_TRUE(cancel);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(endProgramCalls, 0);
}

}  // namespace
}  // namespace vyk::test
