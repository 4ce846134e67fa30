#include "platform/Files.h"

#include <QProcess>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/CheckedFiles.h"
#include "platform/Paths.h"

namespace vyk {

// The data and program folders reach these functions as the file system
// holds their names, and the bytes go back to it unchanged: a name that is
// not valid UTF-8 would not survive a trip through QString.

bool FileExists(const std::string& path) {
    if (path.empty() || HoldsNul(path)) return false;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    const std::size_t slash = path.rfind('/');
    return path[slash == std::string::npos ? 0 : slash + 1] != '.';
}

std::optional<std::int64_t> ModificationTime(const std::string& path) {
    if (path.empty() || HoldsNul(path)) return std::nullopt;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    return std::int64_t{status.st_mtim.tv_sec} * 1000 + status.st_mtim.tv_nsec / 1'000'000;
}

std::optional<std::string> StartDetached(const std::string& program) {
    if (program.empty()) return std::string(std::strerror(ENOENT));
    if (HoldsNul(program)) return std::string(std::strerror(EINVAL));
    // The start happens in a child process, which reports little; the
    // common failures are found here first so that the user reads the
    // system's own words for them.
    if (program.find('/') != std::string::npos) {
        struct stat status {};
        if (::stat(program.c_str(), &status) != 0) return std::string(std::strerror(errno));
        if (S_ISDIR(status.st_mode)) return std::string(std::strerror(EACCES));
        if (::access(program.c_str(), X_OK) != 0) return std::string(std::strerror(errno));
    }
    QProcess process;
    process.setProgram(QtPath(program));
    process.setArguments({});
    if (process.startDetached()) return std::nullopt;
    // Qt's text names the failing call first ("execve: Exec format error").
    QString text = process.errorString();
    const qsizetype colon = text.lastIndexOf(QStringLiteral(": "));
    if (colon >= 0) text = text.mid(colon + 2);
    if (text.isEmpty()) text = QStringLiteral("Unknown error");
    return text.toStdString();
}

}  // namespace vyk
