// The save panel, the close query and the window's side of the saver.

#include <QAction>
#include <QPushButton>

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/RichTextPane.h"
#include "platform/Services.h"
#include "window/FrmSutra.h"

namespace vyk {

namespace {

constexpr std::string_view CloseQuestion = "Vyakor Data Modified.\r\nSave Changes to ";
constexpr std::string_view SaveTitle = "Save";

}  // namespace

void FrmSutra::setSavePanel(SavePanelState state) {
    // What the panel shows in each state; hiding it leaves its buttons alone.
    struct PanelLook {
        SavePanelState state;
        bool frame;
        bool saveAndCancel;
        bool terminate;
        bool status;
    };
    static constexpr std::array<PanelLook, 4> PanelLooks{{
        {SavePanelState::Hidden, false, false, false, false},
        {SavePanelState::Ready, true, true, false, false},
        {SavePanelState::Saving, true, false, true, true},
        {SavePanelState::Terminated, true, false, true, false},
    }};

    for (const PanelLook& look : PanelLooks) {
        if (look.state != state) continue;
        frStore->setVisible(look.frame);
        if (look.frame) {
            cbOk->setVisible(look.saveAndCancel);
            cbCancel->setVisible(look.saveAndCancel);
            cbTerm->setVisible(look.terminate);
            lblStatus->setVisible(look.status);
            frStore->raise();
        }
    }
}

void FrmSutra::mnuToolsSave_Click() {
    if (busy()) return;
    if (!corpus_.gDataModified && !session_->TextChanged()) return;

    frStore->Placement().SetLeft(rtbE[0]->Placement().Left());
    frStore->Placement().SetTop(rtbE[0]->Placement().Height() / 2);
    setSavePanel(SavePanelState::Ready);
}

void FrmSutra::cbOk_Click() {
    if (busy()) return;

    setSavePanel(SavePanelState::Saving);
    vyk::DoEvents();

    switch (saveCorpus()) {
    case SaveOutcome::Saved:       // the panel went with the reload
    case SaveOutcome::Terminated:  // the panel shows Terminate alone until Tools, Save
        break;
    case SaveOutcome::Declined:
    case SaveOutcome::Failed:
    case SaveOutcome::Refused:
        // The message or the question has told why; the edits are all still
        // there, so the panel offers the save again.
        setSavePanel(SavePanelState::Ready);
        break;
    }
}

void FrmSutra::cbCancel_Click() {
    if (busy()) return;
    setSavePanel(SavePanelState::Hidden);
}

// The one command that acts while a save runs: the save sees the request
// after its next record.
void FrmSutra::cbTerm_Click() { corpus_.gTerminateSave = true; }

void FrmSutra::Form_QueryUnload(bool& cancel) {
    // Ending the program now would pull the files from under the running save.
    if (busy()) {
        cancel = true;
        return;
    }

    // Typing not yet committed is a change too, whatever the mode is now:
    // closing would otherwise drop it without a word. Keys that left the
    // pane as it was ask nothing.
    if (!corpus_.gDataModified && !session_->CommitWouldChange()) {
        endProgram();
        return;
    }

    vyk::Beep();
    MsgRequest question(CloseQuestion + PathText(corpus_.gDataFile));
    question.title = std::string(SaveTitle);
    question.buttons = MsgButtons::YesNoCancel;
    question.icon = MsgIcon::Question;
    question.systemModal = true;

    switch (dialogs_.MsgBox(question)) {
    case MsgAnswer::Yes:
        // Only a save that reached the disk lets the closing go on; after a
        // failed or terminated one the window stays open with the edits.
        if (saveCorpus() != SaveOutcome::Saved) cancel = true;
        break;
    case MsgAnswer::No:
        endProgram();
        break;
    default:
        cancel = true;
        break;
    }
}

// The save has committed the pane's typing already; a change typed while it
// runs would carry no mark and be lost at the next display.
SaveOutcome FrmSutra::saveCorpus() {
    session_->SetSaving(true);
    const SaveOutcome outcome = SaveSutraFile(corpus_, *this);
    session_->SetSaving(false);
    return outcome;
}

// Every road out of the window: the close query and File, Exit.
void FrmSutra::endProgram() {
    state_.gClosing = true;
    corpus_.gDataFileNo.Close();
    if (hooks_.EndProgram) hooks_.EndProgram();
}

bool FrmSutra::AskTerminate(const MessageText& message) {
    MsgRequest question(message);
    question.title = std::string(TerminateTitle);
    question.buttons = MsgButtons::YesNo;
    question.icon = MsgIcon::Information;
    return dialogs_.MsgBox(question) == MsgAnswer::Yes;
}

void FrmSutra::ReportSaveError(const MessageText& message) {
    MsgRequest report(message);
    report.title = std::string(SaveTitle);
    report.icon = MsgIcon::Exclamation;
    dialogs_.MsgBox(report);
}

bool FrmSutra::AskReplace(const MessageText& question) {
    MsgRequest request(question);
    request.title = std::string(SaveTitle);
    request.buttons = MsgButtons::YesNo;
    request.icon = MsgIcon::Exclamation;
    return dialogs_.MsgBox(request) == MsgAnswer::Yes;
}

void FrmSutra::SaveCompleted() {
    setSavePanel(SavePanelState::Hidden);
    picSutra->hide();
    mnuToolsSave->setEnabled(false);
    imgMainPg->show();  // the title picture covers the window while the corpus reloads
    if (hooks_.RunMain) hooks_.RunMain();
}

void FrmSutra::SaveTerminated() { setSavePanel(SavePanelState::Terminated); }

}  // namespace vyk
