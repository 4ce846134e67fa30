#include "shell/Fonts.h"

#include <QDir>
#include <QFont>
#include <QLabel>

#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Fonts.h"
#include "platform/Latin1.h"
#include "platform/Paths.h"
#include "platform/Services.h"
#include "shell/Application.h"
#include "shell/FrmVyakor.h"
#include "shell/Settings.h"
#include "shell/ShellState.h"

namespace vyk {

namespace {

// A display font's file in the data folder.
std::string DataFontPath(const std::string& dataDir, std::string_view fileName) {
    return dataDir + "/" + std::string(fileName);
}

struct DisplayFace {
    std::string_view face;
    std::string_view fileName;
    bool WindowState::*usable;
};

constexpr DisplayFace ProbeOrder[] = {
    {VelkaFace, VelkaFontFile, &WindowState::gVelkaFontOk},
    {RomanFace, RomanFontFile, &WindowState::gRomanFontOk},
};

// The Roman face is confirmed first.
constexpr const DisplayFace* ConfirmOrder[] = {&ProbeOrder[1], &ProbeOrder[0]};

// The probe: the face given to the hidden label, which only takes a face the
// font database knows.
bool Probe(QLabel& lblFont, std::string_view face) {
    const std::string name(face);
    if (!FaceAvailable(name)) return false;
    lblFont.setFont(QFont(Latin1(name)));
    return true;
}

}  // namespace

void InstallFont(const ShellPaths& paths, const std::string& dataDir, std::string_view fileName) {
    const std::string target = WithOneTrailingSlash(paths.fontsDir) + std::string(fileName);
    const std::string source = DataFontPath(dataDir, fileName);
    // The user's fonts folder need not exist yet on a fresh account.
    QDir().mkpath(QtPath(paths.fontsDir));
    CopyFileReplacing(source, target);
    DoEvents();
    AddFontFile(target);
}

std::string MissingFontText(std::string_view face) {
    const std::string f(face);
    return "Unable to load " + f + " Font.\r'Vyakorsutravali' can't be displayed in " + f + ".";
}

bool CheckDisplayFonts(Application& app) {
    WindowState& window = app.window;
    QLabel& lblFont = *app.frmVyakor().lblFont;

    window.gRomanFontOk = true;
    window.gVelkaFontOk = true;
    SetDefaultPointer();
    window.gVelkaFontSize = 13;
    window.gRomanFontSize = 11;

    for (const DisplayFace& f : ProbeOrder) {
        if (Probe(lblFont, f.face)) continue;
        if (FileExists(DataFontPath(app.corpus.gDataDir, f.fileName))) {
            InstallFont(app.shell.paths, app.corpus.gDataDir, f.fileName);
        } else {
            window.*f.usable = false;
        }
    }

    for (const DisplayFace* f : ConfirmOrder) {
        if (Probe(lblFont, f->face)) continue;
        MsgRequest message;
        message.text = MissingFontText(f->face);
        message.title = std::string(MissingFontTitle);
        message.icon = MsgIcon::Information;
        app.dialogs.MsgBox(message);
        window.*f->usable = false;
        app.EndProgram();
        return false;
    }
    return true;
}

}  // namespace vyk
