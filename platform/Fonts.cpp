#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "platform/CheckedFiles.h"
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

bool HasFontSignature(std::string_view bytes) {
    static constexpr std::string_view Signatures[] = {{"\0\1\0\0", 4}, "OTTO", "true", "ttcf"};
    for (const std::string_view signature : Signatures)
        if (bytes.substr(0, signature.size()) == signature) return true;
    return false;
}

namespace {

// A font file's bytes, read only when the file is one (see AddFontFile).
// Read here rather than named to Qt, which could not name a file in a folder
// whose name is not valid UTF-8.
std::optional<FileContent> ReadFontFile(const std::string& path) {
    FileContent content = ReadRegularFile(path, MaxFontFileSize);
    if (content.status != ReadStatus::Read || !HasFontSignature(content.bytes)) return std::nullopt;
    return content;
}

bool AddFontData(const std::string& bytes) {
    return QFontDatabase::addApplicationFontFromData(
               QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))) >= 0;
}

}  // namespace

bool AddFontFile(const std::string& path) {
    const std::optional<FileContent> font = ReadFontFile(path);
    return font && AddFontData(font->bytes);
}

bool InstallFontFile(const std::string& from, const std::string& to) {
    const std::optional<FileContent> font = ReadFontFile(from);
    if (!font) return false;
    const FileDescriptor folder = OpenFolder(FolderOf(to), Links::Guarded);
    if (!folder) return AddFontData(font->bytes);
    std::string tempName;
    const FileDescriptor copy = CreateUniqueFile(folder.Get(), NameOf(to) + ".", 0600, &tempName);
    if (!copy) return AddFontData(font->bytes);
    const bool written = WriteAll(copy.Get(), font->bytes.data(), font->bytes.size()) &&
                         ::fchmod(copy.Get(), font->file.st_mode & 0644) == 0 && ::fsync(copy.Get()) == 0;
    const bool added = AddFontData(font->bytes);
    if (!written || !added || ::renameat(folder.Get(), tempName.c_str(), folder.Get(), NameOf(to).c_str()) != 0)
        RemoveIfStillNames(folder.Get(), tempName, copy.Get());
    return added;
}

}  // namespace vyk
