#include "shell/Main.h"

#include <QAction>
#include <QMenu>

#include <exception>

#include "corpus/Collation.h"
#include "corpus/Loader.h"
#include "corpus/SutraRecord.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Latin1.h"
#include "platform/ListControl.h"
#include "platform/Services.h"
#include "shell/Application.h"
#include "shell/Fonts.h"
#include "shell/FrmVyakor.h"
#include "shell/Settings.h"
#include "shell/Version.h"
#include "window/FrmSutra.h"

namespace vyk {

namespace {

constexpr const char* OrderNames[] = {"Astadhyayi", "Siddhanta Kaumudi", "Laghu Kaumudi"};

// The data folder, without a trailing "/", and the data file in it.
void SetDataDir(CorpusState& corpus, const std::string& dir) {
    corpus.gDataDir = WithoutTrailingSlash(dir);
    corpus.gDataFile = DataFilePath(corpus.gDataDir);
}

// Steps after the font check: the window set up or found again, the corpus
// loaded into it, and the window shown.
void LoadAndShow(Application& app) {
    CorpusState& corpus = app.corpus;

    // The first use sets the window up; a reload finds it and only hides the
    // lists, so the title picture shows while the corpus reloads.
    FrmSutra& frmSutra = app.frmSutra();
    frmSutra.picSutra->hide();
    DoEvents();

    for (int i = 0; i < 3; ++i) app.window.gOrderName[i] = OrderNames[i];

    frmSutra.mnuFileAstadhyayi->setChecked(true);
    frmSutra.mnuFileLKaumudi->setChecked(false);
    frmSutra.mnuFileSKaumudi->setChecked(false);

    SetDefaultPointer();

    InitSortWeights(corpus.gSortWeight);
    LoadSutraFile(corpus, frmSutra);
    corpus.gLoading = false;
    frmSutra.ArrangeControls();

    app.frmVyakor().show();
    frmSutra.show();
    frmSutra.picSutra->show();
    frmSutra.lstVykE[0]->SetFocus();

    if (app.restrictMenus) {
        frmSutra.mnuTools->menuAction()->setVisible(false);
        frmSutra.mnuSearchSutra->setEnabled(false);
        frmSutra.mnuSearchVritti->setEnabled(false);
        frmSutra.mnuSearchVartika->setEnabled(false);
    }
}

}  // namespace

std::string FrameTitle() {
    return "Vyakorsutravali (ver. " + std::to_string(VersionMajor) + "." + std::to_string(VersionMinor) + ") - " +
           CopyrightNotice();
}

void Main(Application& app) {
    CorpusState& corpus = app.corpus;
    ShellState& shell = app.shell;

    SetHourglass();
    const std::string title = FrameTitle();
    app.frmVyakor().setWindowTitle(Latin1(title));

    shell.gIniFile = std::string(IniFileName);
    corpus.gHeaderByte8 = DefaultHeaderByte8;
    corpus.gHeaderTag = DefaultHeaderTag;

    // The program folder keeps its case: the file system tells names apart by it.
    SetDataDir(corpus, shell.paths.programDir);

    if (!DecideDataDir(app)) return;

    SetHourglass();
    SetDataDir(corpus, corpus.gDataDir);
    // No data file is no reason to stop: the loader tells the user.
    if (!FileExists(corpus.gDataFile)) SetDefaultPointer();

    RememberDataDir(app);

    if (!CheckDisplayFonts(app)) return;

    try {
        LoadAndShow(app);
    } catch (const std::exception& failure) {
        SetDefaultPointer();
        MsgRequest message;
        message.text = std::string("Vyakorsutravali could not show its data.\r") + failure.what();
        message.icon = MsgIcon::Exclamation;
        app.dialogs.MsgBox(message);
        app.EndProgram();
    }
}

}  // namespace vyk
