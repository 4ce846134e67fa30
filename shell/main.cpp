// Vyakorsutravali: a reader of the sutras of the Astadhyayi.

#include <QApplication>

#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "shell/Application.h"
#include "shell/Main.h"

int main(int argc, char* argv[]) {
    QApplication qtApplication(argc, argv);
    // The program ends through its own roads (File, Exit; the frame's close;
    // the start-up's Cancel), never because a window happened to close.
    QApplication::setQuitOnLastWindowClosed(false);

    vyk::QtDialogService dialogs;
    vyk::Application app(dialogs, {vyk::ProgramDir(), vyk::WindowsDir(), vyk::UserFontsDir()});
    vyk::Main(app);
    if (app.ProgramEnded()) return 0;
    return QApplication::exec();
}
