#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include "platform/Latin1.h"
#include "platform/Paths.h"

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
    return QFontDatabase::addApplicationFont(QtPath(path)) >= 0;
}

}  // namespace vyk
