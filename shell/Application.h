#pragma once
// The program's state and windows, owned in one place and passed by
// reference, so each test starts from a fresh application.

#include <functional>
#include <memory>

#include "corpus/CorpusState.h"
#include "shell/ShellState.h"
#include "shell/Version.h"
#include "window/WindowState.h"

class QDialog;

namespace vyk {

class DialogService;
class FrmAbout;
class FrmSrcDir;
class FrmSutra;
class FrmVyakor;

class Application {
public:
    Application(DialogService& dialogs, ShellPaths paths);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    CorpusState corpus;
    WindowState window;
    ShellState shell;
    DialogService& dialogs;

    // Read only by the last step of Main; the build fixes its value.
    bool restrictMenus = RestrictMenus;

    // Runs a dialog modally and returns when it has hidden itself. The
    // program uses QDialog::exec; tests put a script of the user's actions
    // here so that no test waits on a modal window.
    std::function<void(QDialog&)> RunModal;

    // The windows, each created at its first use. frmSutra's creation runs
    // its set-up; hasFrmSutra tells a reload from the first start.
    FrmVyakor& frmVyakor();
    FrmSutra& frmSutra();
    bool hasFrmSutra() const { return frmSutra_ != nullptr; }
    FrmAbout& frmAbout();
    FrmSrcDir& frmSrcDir();
    bool hasFrmSrcDir() const { return frmSrcDir_ != nullptr; }

    // Help, About: the About box, modal; the same instance every time.
    void ShowAbout();
    // The folder chooser, modal. Closed by its close box it is unloaded, so
    // the next showing starts afresh.
    void ShowSrcDir();

    // Closes every open file and ends the program at once: the windows go,
    // the running event loop (if any) is told to quit, and Main's caller
    // finds ProgramEnded() true. Calling it again does nothing.
    void EndProgram();
    bool ProgramEnded() const { return programEnded_; }

private:
    std::unique_ptr<FrmVyakor> frmVyakor_;
    FrmSutra* frmSutra_ = nullptr;  // owned by the frame window
    std::unique_ptr<FrmAbout> frmAbout_;
    std::unique_ptr<FrmSrcDir> frmSrcDir_;
    bool programEnded_ = false;
};

}  // namespace vyk
