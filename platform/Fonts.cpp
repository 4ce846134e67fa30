#include "platform/Fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QStringList>

#include <fcntl.h>
#include <unistd.h>

#include "platform/Latin1.h"

namespace vyk {

bool FaceAvailable(const std::string& face) {
    const QString wanted = Latin1(face).trimmed();
    if (wanted.isEmpty()) return false;
    for (QString family : QFontDatabase::families()) {
        // A family offered by several foundries is listed as "Name [Foundry]".
        const qsizetype foundry = family.indexOf(QStringLiteral(" ["));
        if (foundry >= 0) family.truncate(foundry);
        if (family.compare(wanted, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

bool AddFontFile(const std::string& path) {
    if (path.empty()) return false;
    // Read here rather than named to Qt, which could not name a file in a
    // folder whose name is not valid UTF-8.
    QFile file;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool opened = file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    if (!opened) {
        ::close(fd);
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) return false;
    return QFontDatabase::addApplicationFontFromData(data) >= 0;
}

}  // namespace vyk
