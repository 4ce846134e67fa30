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

namespace vyk {

std::string WithOneTrailingSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir.push_back('/');
    return dir;
}

std::string GetWindowsDir(const ShellPaths& paths) {
    return WithOneTrailingSlash(paths.windowsDir);
}

void InstallFont(const ShellPaths& paths, const std::string& dataDir, std::string_view fileName) {
    const std::string target = WithOneTrailingSlash(paths.fontsDir) + std::string(fileName);
    const std::string source = dataDir + "/" + std::string(fileName);
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

namespace {

struct DisplayFace {
    std::string_view face;
    std::string_view fileName;
    bool WindowState::*usable;
};

constexpr DisplayFace ProbeOrder[] = {
    {VelkaFace, VelkaFontFile, &WindowState::gVelkaFontOk},
    {RomanFace, RomanFontFile, &WindowState::gRomanFontOk},
};

constexpr std::string_view ConfirmOrder[] = {RomanFace, VelkaFace};

// The probe: the face given to the hidden label, which only takes a face the
// font database knows.
bool Probe(QLabel& lblFont, std::string_view face) {
    const std::string name(face);
    if (!FaceAvailable(name)) return false;
    lblFont.setFont(QFont(Latin1(name)));
    return true;
}

}  // namespace

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
        if (FileExists(app.corpus.gDataDir + "/" + std::string(f.fileName))) {
            InstallFont(app.shell.paths, app.corpus.gDataDir, f.fileName);
        } else {
            window.*f.usable = false;
        }
    }

    for (std::string_view face : ConfirmOrder) {
        if (Probe(lblFont, face)) continue;
        MsgRequest message;
        message.text = MissingFontText(face);
        message.title = std::string(MissingFontTitle);
        message.icon = MsgIcon::Information;
        app.dialogs.MsgBox(message);
        if (face.find("Kovra R") != std::string_view::npos) {
            window.gRomanFontOk = false;
        } else {
            window.gVelkaFontOk = false;
        }
        app.EndProgram();
        return false;
    }
    return true;
}

}  // namespace vyk
