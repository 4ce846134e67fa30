#include "platform/Files.h"

#include <QProcess>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

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

void GiveToFolderOwner(int fd, int folder) {
    struct stat parent {};
    if (::geteuid() != 0 || ::fstat(folder, &parent) != 0) return;
    (void)::fchown(fd, parent.st_uid, parent.st_gid);
}

bool MakeFolders(const std::string& path) {
    if (path.empty() || HoldsNul(path)) return false;
    // Step by step through descriptors: a folder made here is given away
    // (as root) only as the folder just made, never a link put in its place.
    FileDescriptor folder = OpenFolder(path.front() == '/' ? "/" : ".");
    for (std::size_t start = 0; folder && start < path.size();) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string name = path.substr(start, slash - start);
        start = slash + 1;
        if (name.empty() || name == ".") continue;
        const bool made = ::mkdirat(folder.Get(), name.c_str(), 0700) == 0;
        if (!made && errno != EEXIST) return false;
        const int flags = O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC | (made ? O_NOFOLLOW : 0);
        FileDescriptor next(::openat(folder.Get(), name.c_str(), flags));
        if (made && next) GiveToFolderOwner(next.Get(), folder.Get());
        folder = std::move(next);
    }
    return static_cast<bool>(folder);
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
