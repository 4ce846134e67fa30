#include "platform/Files.h"

#include <QProcess>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Paths.h"

namespace vyk {

// The data and program folders reach these functions as the file system
// holds their names, and the bytes go back to it unchanged: a name that is
// not valid UTF-8 would not survive a trip through QString.

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    const std::size_t slash = path.rfind('/');
    return path[slash == std::string::npos ? 0 : slash + 1] != '.';
}

std::optional<std::int64_t> ModificationTime(const std::string& path) {
    if (path.empty()) return std::nullopt;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    return std::int64_t{status.st_mtim.tv_sec} * 1000 + status.st_mtim.tv_nsec / 1'000'000;
}

std::optional<std::string> StartDetached(const std::string& program) {
    if (program.empty()) return std::string(std::strerror(ENOENT));
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

namespace {

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size);
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

bool CopyContent(int source, int target) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(source, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (!WriteAll(target, buffer, static_cast<std::size_t>(got))) return false;
    }
}

}  // namespace

bool CopyFileReplacing(const std::string& from, const std::string& to) {
    const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) return false;
    std::string temp = to + ".XXXXXX";
    const int target = ::mkostemp(temp.data(), O_CLOEXEC);
    if (target < 0) {
        ::close(source);
        return false;
    }
    bool ok = CopyContent(source, target) && ::fchmod(target, 0644) == 0;
    ok = ::close(target) == 0 && ok;
    ::close(source);
    ok = ok && ::rename(temp.c_str(), to.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace vyk
