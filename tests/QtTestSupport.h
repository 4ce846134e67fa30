#pragma once
// Widget tests share one QApplication per test binary, made on first use:
// call vyk::test::EnsureApp() at the start of every test that touches a
// widget, or derive the fixture from vyk::test::WithApp. The binary keeps GTest's own main.

#include <QApplication>
#include <QByteArray>

#include <string>

#include "platform/Fonts.h"

namespace vyk::test {

inline QApplication& EnsureApp() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return *app;
    // Run headless when started by hand as well as under ctest.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vyk_test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: widgets of earlier tests may still be deleting later.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

// Adds the two display faces the build makes in its data folder (Times Kovra
// Roman and Velka), so lists and panes show the corpus in its own face; true
// when both were added. Without the build's data folder nothing is added.
inline bool AddBuiltDisplayFonts() {
#ifdef VYK_BUILD_DATA_DIR
    bool added = true;
    for (const char* file : {"/tmskrmn.ttf", "/velka.ttf"})
        added = AddFontFile(std::string(VYK_BUILD_DATA_DIR) + file) && added;
    return added;
#else
    return false;
#endif
}

// A base for fixtures whose members are widgets: bases are built before
// members, so the application exists before the first widget.
struct WithApp {
    WithApp() { EnsureApp(); }
};

}  // namespace vyk::test
