#include "platform/Paths.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>

namespace vyk {

QString QtPath(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string BytePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::string ProgramDir() { return BytePath(QCoreApplication::applicationDirPath()); }

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
