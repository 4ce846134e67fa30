#include "shell/Application.h"

#include <QApplication>
#include <QDialog>
#include <QPalette>
#include <QThread>

#include "platform/Dialogs.h"
#include "platform/Services.h"
#include "shell/FrmAbout.h"
#include "shell/FrmSrcDir.h"
#include "shell/FrmVyakor.h"
#include "shell/Main.h"
#include "window/FrmSutra.h"

namespace vyk {

namespace {

// Disabled menu titles, menu items and captions. The style's own grey for
// them (190) is meant for its light window (239); on the frame's grey (192)
// it vanishes. This darker grey reads on both, and on the menus, and still
// tells a disabled caption from an enabled black one.
const QColor DisabledText(120, 120, 120);

void UseReadableDisabledText() {
    QPalette palette = QApplication::palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, DisabledText);
    QApplication::setPalette(palette);
}

}  // namespace

Application::Application(DialogService& dialogService, ShellPaths paths)
    : dialogs(dialogService), RunModal([](QDialog& dialog) { dialog.exec(); }) {
    shell.paths = std::move(paths);
    UseReadableDisabledText();
}

Application::~Application() {
    frmSrcDir_.reset();
    frmAbout_.reset();
    frmVyakor_.reset();  // takes frmSutra with it
}

FrmVyakor& Application::frmVyakor() {
    if (!frmVyakor_) {
        frmVyakor_ = std::make_unique<FrmVyakor>();
        frmVyakor_->MDIForm_Unload = [this] { EndProgram(); };
    }
    return *frmVyakor_;
}

FrmSutra& Application::frmSutra() {
    if (frmSutra_ == nullptr) {
        SutraWindowHooks hooks;
        hooks.RunMain = [this] { Main(*this); };
        hooks.ShowAbout = [this] { ShowAbout(); };
        hooks.EndProgram = [this] { EndProgram(); };
        frmSutra_ = new FrmSutra(corpus, window, dialogs, std::move(hooks));
        frmVyakor().AdoptChild(frmSutra_);
    }
    return *frmSutra_;
}

FrmAbout& Application::frmAbout() {
    if (!frmAbout_) {
        frmAbout_ = std::make_unique<FrmAbout>(shell.paths, dialogs);
        frmAbout_->Form_Load();
    }
    return *frmAbout_;
}

FrmSrcDir& Application::frmSrcDir() {
    if (!frmSrcDir_) frmSrcDir_ = std::make_unique<FrmSrcDir>(corpus, shell, dialogs);
    return *frmSrcDir_;
}

void Application::ShowAbout() {
    FrmAbout& about = frmAbout();
    about.setModal(true);
    RunModal(about);
}

void Application::ShowSrcDir() {
    FrmSrcDir& chooser = frmSrcDir();
    chooser.setModal(true);
    RunModal(chooser);
    if (chooser.Unloaded()) frmSrcDir_.reset();
}

void Application::EndProgram() {
    if (programEnded_) return;
    programEnded_ = true;
    corpus.gDataFileNo.Close();
    window.gClosing = true;
    SetDefaultPointer();
    if (frmSrcDir_) frmSrcDir_->hide();
    if (frmAbout_) frmAbout_->hide();
    if (frmVyakor_) frmVyakor_->hide();
    // Before the event loop runs (an end inside Main at start-up) there is no
    // loop to leave; main() looks at ProgramEnded() instead.
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

}  // namespace vyk
