#include "shell/Settings.h"

#include <QComboBox>
#include <QLabel>

#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Latin1.h"
#include "platform/Services.h"
#include "shell/Application.h"
#include "shell/FrmSrcDir.h"
#include "shell/ShellState.h"

namespace vyk {

std::string IniPath(const ShellState& shell) { return WindowsDirFile(shell.paths, shell.gIniFile); }

namespace {

std::string ReadDirSetting(const ShellState& shell) {
    return GetPrivateProfileString(std::string(SettingsSection), std::string(DirKey), "", IniPath(shell));
}

}  // namespace

void LoadDirSetting(const ShellState& shell, CorpusState& corpus) { corpus.gDataDir = ReadDirSetting(shell); }

void RegisterDataDir(const ShellState& shell, const CorpusState& corpus) {
    if (ReadDirSetting(shell).empty()) WriteDirSetting(shell, corpus);
}

void WriteDirSetting(const ShellState& shell, const CorpusState& corpus) {
    WritePrivateProfileString(std::string(SettingsSection), std::string(DirKey), corpus.gDataDir, IniPath(shell));
}

namespace {

MessageText UnrememberedDirText(const std::string& dir, const std::string& iniFile) {
    return "The data folder's name holds a line break, which " + PathText(iniFile) +
           " cannot keep, so it is not remembered for the next start:\r\n   " + PathText(dir);
}

}  // namespace

void RememberDataDir(Application& app) {
    const CorpusState& corpus = app.corpus;
    if (IniCanHold(corpus.gDataDir)) {
        WriteDirSetting(app.shell, corpus);
        return;
    }
    MsgRequest message(UnrememberedDirText(corpus.gDataDir, app.shell.gIniFile));
    message.icon = MsgIcon::Exclamation;
    app.dialogs.MsgBox(message);
}

std::string WithoutTrailingSlash(std::string dir) {
    if (!dir.empty() && dir.back() == '/') dir.pop_back();
    return dir;
}

std::string DataFilePath(const std::string& dataDir) {
    return dataDir + "/" + std::string(DataFileName);
}

std::string WithOneTrailingSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir.push_back('/');
    return dir;
}

std::string GetWindowsDir(const ShellPaths& paths) {
    return WithOneTrailingSlash(paths.windowsDir);
}

std::string WindowsDirFile(const ShellPaths& paths, std::string_view name) {
    if (paths.windowsDir.empty()) return {};
    return GetWindowsDir(paths) + std::string(name);
}

MessageText DataDirQuestion(const std::string& oldPath, const std::string& rememberedPath) {
    return "1. Vyakor Sutra File Not Found in \r\n   " + PathText(oldPath) +
           "\r\n\r\n2. Continue with the Previous Path?\r\n   " + PathText(rememberedPath) +
           "\r\n\r\n3. Click on 'NO' to Select a New Path.\r\n";
}

namespace {

void ShowChooser(Application& app) {
    SetDefaultPointer();
    FrmSrcDir& chooser = app.frmSrcDir();
    chooser.setWindowTitle(Latin1(SrcDirCaption));
    chooser.lbl[0]->setText(Latin1(SrcDirPrompt));
    chooser.coUrl->hide();
    chooser.lbl[3]->setEnabled(false);
    app.ShowSrcDir();
}

}  // namespace

bool DecideDataDir(Application& app) {
    CorpusState& corpus = app.corpus;
    if (FileExists(corpus.gDataFile)) {
        RegisterDataDir(app.shell, corpus);
        return true;
    }

    const std::string oldPath = corpus.gDataDir;
    corpus.gDataDir.clear();
    LoadDirSetting(app.shell, corpus);

    // The remembered folder is the program folder, which has no data: the
    // question's second choice would be no choice, so go straight to the chooser.
    bool ask = corpus.gDataDir != oldPath;
    for (;;) {
        if (ask) {
            MsgRequest question(DataDirQuestion(oldPath, corpus.gDataDir));
            question.buttons = MsgButtons::YesNoCancel;
            question.icon = MsgIcon::Question;
            const MsgAnswer answer = app.dialogs.MsgBox(question);
            if (answer == MsgAnswer::Cancel) {
                app.EndProgram();
                return false;
            }
            if (answer == MsgAnswer::Yes) return true;
        }
        ask = true;
        ShowChooser(app);
        if (app.ProgramEnded()) return false;
        if (!app.shell.gSrcDirCancelled) return true;
    }
}

}  // namespace vyk
