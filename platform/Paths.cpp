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

namespace {

// The length of the valid UTF-8 sequence at the start of `bytes` and its
// code point, or 0 when there is none (a stray byte, an overlong form, a
// surrogate, a cut-off sequence).
std::size_t Utf8Sequence(std::string_view bytes, char32_t& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() < length || byte(1) < low || byte(1) > high) return 0;
    char32_t value = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
        value = value << 6 | (byte(i) & 0x3F);
    }
    codePoint = value;
    return length;
}

}  // namespace

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
        char32_t codePoint = 0;
        std::size_t length = Utf8Sequence(bytes, codePoint);
        if (length == 0) {
            codePoint = static_cast<unsigned char>(bytes[0]);
            length = 1;
        }
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
