#include "shell/Fonts.h"

#include <QFont>
#include <QLabel>

#include "platform/CheckedFiles.h"
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

// A display font's file in a folder.
std::string FontPath(const std::string& dir, std::string_view fileName) {
    return dir + "/" + std::string(fileName);
}

// The folder holding a display font's file: the data folder, else the
// program's own folder (the build puts the fonts beside the program), so a
// data folder without its files still lets the program start and say what
// is wrong with the data. Empty when neither holds it.
std::string FontFolder(const Application& app, std::string_view fileName) {
    const std::string candidates[] = {app.corpus.gDataDir, WithoutTrailingSlash(app.shell.paths.programDir)};
    for (const std::string& dir : candidates)
        if (FileExists(FontPath(dir, fileName))) return dir;
    return {};
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

void InstallFont(const ShellPaths& paths, const std::string& sourceDir, std::string_view fileName) {
    const std::string source = FontPath(sourceDir, fileName);
    // The user's fonts folder need not exist yet on a fresh account. One that
    // cannot be made or written (a file in its place, a read-only home, run
    // as root a link of the user's on the way to it), or no fonts folder at
    // all (no home), must not cost the face: it is added from where it lies.
    if (paths.fontsDir.empty()) {
        AddFontFile(source);
    } else {
        MakeFolders(paths.fontsDir);
        InstallFontFile(source, WithOneTrailingSlash(paths.fontsDir) + std::string(fileName));
    }
    DoEvents();
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
        if (const std::string folder = FontFolder(app, f.fileName); !folder.empty()) {
            InstallFont(app.shell.paths, folder, f.fileName);
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
