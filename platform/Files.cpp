#include "platform/Files.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Paths.h"

namespace vyk {

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    const QFileInfo info(QtPath(path));
    return info.isFile() && !info.fileName().startsWith(QLatin1Char('.'));
}

std::optional<std::int64_t> ModificationTime(const std::string& path) {
    if (path.empty()) return std::nullopt;
    const QFileInfo info(QtPath(path));
    if (!info.exists()) return std::nullopt;
    const QDateTime time = info.lastModified();
    if (!time.isValid()) return std::nullopt;
    return time.toMSecsSinceEpoch();
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

bool CopyFileReplacing(const std::string& from, const std::string& to) {
    QFile source(QtPath(from));
    if (!source.open(QIODevice::ReadOnly)) return false;
    QSaveFile target(QtPath(to));
    if (!target.open(QIODevice::WriteOnly)) return false;
    constexpr qint64 ChunkSize = 64 * 1024;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(ChunkSize);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError) {
            target.cancelWriting();
            break;
        }
        if (target.write(chunk) != chunk.size()) {
            target.cancelWriting();
            break;
        }
    }
    return target.commit();
}

}  // namespace vyk
