#pragma once
// Widget tests share one QApplication per test binary, made on first use:
// call vyk::test::EnsureApp() at the start of every test that touches a
// widget, or derive the fixture from vyk::test::WithApp. The binary keeps GTest's own main.

#include <QApplication>
#include <QByteArray>

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

// A base for fixtures whose members are widgets: bases are built before
// members, so the application exists before the first widget.
struct WithApp {
    WithApp() { EnsureApp(); }
};

}  // namespace vyk::test
