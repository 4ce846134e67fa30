#include "platform/Paths.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

#include "corpus/Utf8.h"

namespace vyk {

QString QtPath(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string BytePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString NameText(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    while (!bytes.empty()) {
        // Plain ASCII, by far the most of any name, goes in whole runs.
        std::size_t ascii = 0;
        while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80) ++ascii;
        text += QLatin1StringView(bytes.data(), static_cast<qsizetype>(ascii));
        bytes.remove_prefix(ascii);
        if (bytes.empty()) break;
        const Utf8Char decoded = DecodeUtf8(bytes, 0);
        // A stray byte shows as its Latin-1 letter.
        const char32_t codePoint = decoded.length ? decoded.codePoint : static_cast<unsigned char>(bytes[0]);
        const std::size_t length = decoded.length ? decoded.length : 1;
        if (QChar::requiresSurrogates(codePoint)) {
            text += QChar(QChar::highSurrogate(codePoint));
            text += QChar(QChar::lowSurrogate(codePoint));
        } else {
            text += QChar(static_cast<char16_t>(codePoint));
        }
        bytes.remove_prefix(length);
    }
    return text;
}

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
