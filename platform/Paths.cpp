#include "platform/Paths.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace vyk {

QString QtPath(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string BytePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::string ProgramDir() {
    // The kernel's own bytes of the executable's path: Qt's answer passes
    // through QString and gives no folder at all when the name is not valid
    // UTF-8.
    std::string program(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", program.data(), program.size());
        if (length < 0) return BytePath(QCoreApplication::applicationDirPath());
        if (static_cast<std::size_t>(length) < program.size()) {
            program.resize(static_cast<std::size_t>(length));
            break;
        }
        program.resize(program.size() * 2);
    }
    const std::size_t slash = program.rfind('/');
    if (slash == std::string::npos) return BytePath(QCoreApplication::applicationDirPath());
    return slash == 0 ? std::string("/") : program.substr(0, slash);
}

namespace {

// A standard location's path without its trailing "/" characters.
std::string Location(QStandardPaths::StandardLocation location) {
    std::string dir = BytePath(QStandardPaths::writableLocation(location));
    while (!dir.empty() && dir.back() == '/') dir.pop_back();
    return dir;
}

}  // namespace

std::string WindowsDir() { return Location(QStandardPaths::GenericConfigLocation) + '/'; }

std::string UserFontsDir() { return Location(QStandardPaths::GenericDataLocation) + "/fonts"; }

}  // namespace vyk
