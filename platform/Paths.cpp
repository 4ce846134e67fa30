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

std::string WindowsDir() {
    std::string dir = BytePath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    while (!dir.empty() && dir.back() == '/') dir.pop_back();
    return dir + '/';
}

std::string UserFontsDir() {
    std::string dir = BytePath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    while (!dir.empty() && dir.back() == '/') dir.pop_back();
    return dir + "/fonts";
}

}  // namespace vyk
