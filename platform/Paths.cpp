#include "platform/Paths.h"

#include <QCoreApplication>
#include <QFile>

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/Utf8.h"

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

bool IsAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

std::string WithoutTrailingSlashes(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

// A folder with one trailing "/"; no folder stays none rather than becoming
// the root.
std::string Slashed(const std::string& dir) {
    if (dir.empty() || dir.back() == '/') return dir;
    return dir + "/";
}

// An XDG base folder: the variable when it holds an absolute path, else the
// folder under the home. A relative value would name a folder under whatever
// the working folder happens to be, so the XDG rules say to ignore it.
std::string BaseDir(const char* variable, std::string_view underHome) {
    if (const char* value = std::getenv(variable); IsAbsolute(value)) return WithoutTrailingSlashes(value);
    const std::string home = HomeDir();
    return home.empty() ? home : Slashed(home) + std::string(underHome);
}

}  // namespace

std::string HomeDir() {
    if (const char* home = std::getenv("HOME"); IsAbsolute(home)) return WithoutTrailingSlashes(home);
    // Without HOME (a service, "env -i", a cron job) the account's own home
    // stands in, as the shell would give it.
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    passwd entry{};
    passwd* found = nullptr;
    while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE)
        buffer.resize(buffer.size() * 2);
    if (found == nullptr || !IsAbsolute(found->pw_dir)) return {};
    return WithoutTrailingSlashes(found->pw_dir);
}

std::string WindowsDir() { return Slashed(BaseDir("XDG_CONFIG_HOME", ".config")); }

std::string UserFontsDir() {
    const std::string dir = BaseDir("XDG_DATA_HOME", ".local/share");
    return dir.empty() ? dir : Slashed(dir) + "fonts";
}

}  // namespace vyk
