#include "platform/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/CheckedFiles.h"

namespace vyk {

namespace {

struct Line {
    std::string_view text;  // without its line end
    std::string_view end;   // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> SplitLines(std::string_view content) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t newline = content.find('\n', start);
        if (newline == std::string_view::npos) {
            lines.push_back({content.substr(start), {}});
            break;
        }
        std::size_t textEnd = newline;
        if (textEnd > start && content[textEnd - 1] == '\r') --textEnd;
        lines.push_back({content.substr(start, textEnd - start), content.substr(textEnd, newline + 1 - textEnd)});
        start = newline + 1;
    }
    return lines;
}

std::string_view Trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// The section a line opens, or nothing when it opens none.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    const std::size_t close = line.find(']');
    return Trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return KeyLine{Trim(trimmed.substr(0, equals)), Trim(trimmed.substr(equals + 1))};
}

std::string Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

// Index of the first line of the section's body, or nothing.
std::optional<std::size_t> FindSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i].text);
        if (name && SameName(*name, section)) return i + 1;
    }
    return std::nullopt;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The value as its line holds it. Reading trims blanks and takes one pair of
// enclosing quotes off, so a value that either would change is put in
// quotes, which the reading takes off again.
std::string StoredValue(std::string_view value) {
    const bool blankAtAnEnd = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    const bool quotedAlready =
        value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    if (!blankAtAnEnd && !quotedAlready) return std::string(value);
    return "\"" + std::string(value) + "\"";
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool IniHasSection(std::string_view content, std::string_view section) {
    return FindSection(SplitLines(content), section).has_value();
}

std::optional<std::string> IniValue(std::string_view content, std::string_view section,
                                    std::string_view key) {
    const std::vector<Line> lines = SplitLines(content);
    const auto body = FindSection(lines, section);
    if (!body) return std::nullopt;
    for (std::size_t i = *body; i < lines.size() && !SectionName(lines[i].text); ++i) {
        const auto entry = ParseKeyLine(lines[i].text);
        if (entry && SameName(entry->key, key)) return Unquote(entry->value);
    }
    return std::nullopt;
}

std::string IniWithValue(std::string_view content, std::string_view section, std::string_view key,
                         std::string_view value) {
    const std::vector<Line> lines = SplitLines(content);
    const std::string_view lineEnd = content.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    std::string keyLine = std::string(key) + "=" + StoredValue(value);

    std::vector<std::string> out;
    out.reserve(lines.size() + 2);
    for (const Line& line : lines) out.push_back(std::string(line.text) + std::string(line.end));
    // A last line without its end gets one before anything follows it.
    auto endLine = [&](std::size_t index) {
        if (!lines.empty() && index < lines.size() && lines[index].end.empty()) out[index] += lineEnd;
    };

    const auto body = FindSection(lines, section);
    if (!body) {
        if (!lines.empty()) endLine(lines.size() - 1);
        out.push_back("[" + std::string(section) + "]" + std::string(lineEnd));
        out.push_back(keyLine + std::string(lineEnd));
    } else {
        std::size_t insertAt = *body;  // after the header, or after the section's last line
        bool replaced = false;
        for (std::size_t i = *body; i < lines.size() && !SectionName(lines[i].text); ++i) {
            const auto entry = ParseKeyLine(lines[i].text);
            if (entry && SameName(entry->key, key)) {
                out[i] = keyLine + std::string(lines[i].end);
                replaced = true;
                break;
            }
            if (!Trim(lines[i].text).empty()) insertAt = i + 1;
        }
        if (!replaced) {
            endLine(insertAt - 1);
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(insertAt), keyLine + std::string(lineEnd));
        }
    }

    std::string text;
    for (const std::string& line : out) text += line;
    return text;
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& iniPath) {
    const FileContent content = ReadRegularFile(iniPath, MaxIniFileSize, Links::Guarded);
    if (content.status != ReadStatus::Read) return defaultValue;
    std::string value = IniValue(content.bytes, section, key).value_or(defaultValue);
    // The value is what a caller's buffer would hold: the text before its first NUL.
    value.erase(std::min(value.find('\0'), value.size()));
    return value;
}

bool IniCanHold(std::string_view value) { return !HasLineBreak(value) && !HoldsNul(value); }

namespace {

// Replaces or creates the file through a fresh file beside it, synced and
// renamed into place, so that a crash leaves the old file or the new one,
// never a cut-off one. A settings file kept elsewhere and linked in (the way
// dotfiles are kept) stays linked: the write goes to the file the link names.
bool ReplaceFile(const std::string& path, std::string_view text) {
    // The settings folder may not exist yet on a fresh account. Where the
    // name is a link, its folder exists; the folder the link points into is
    // the user's own business and is not made for them.
    MakeFolders(FolderOf(path));
    const std::optional<ReachedName> target = ReachName(path);
    if (!target) return false;
    const FileDescriptor folder(::openat(target->folder.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder) return false;
    const std::string& name = target->name;
    struct stat old {};
    const bool replacing = ::fstatat(folder.Get(), name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (replacing && !S_ISREG(old.st_mode)) return false;

    // A new file gets the usual mode less the umask; a rewrite stays private
    // until it has the old file's owner and mode.
    std::string tempName;
    const FileDescriptor file = CreateUniqueFile(folder.Get(), name + ".", replacing ? 0600 : 0666, &tempName);
    if (!file) return false;
    // Running once as root with a user's home (sudo keeps HOME) must not
    // leave the user a settings file they can no longer read.
    if (replacing) (void)KeepOwnerAndMode(file.Get(), old);
    else GiveToFolderOwner(file.Get(), folder.Get());
    const bool written = WriteAll(file.Get(), text.data(), text.size()) && ::fsync(file.Get()) == 0 &&
                         ::renameat(folder.Get(), tempName.c_str(), folder.Get(), name.c_str()) == 0;
    if (!written) {
        RemoveIfStillNames(folder.Get(), tempName, file.Get());
        return false;
    }
    ::fsync(folder.Get());
    return true;
}

}  // namespace

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& iniPath) {
    if (HasLineBreak(section) || HasLineBreak(key) || !IniCanHold(value)) return false;
    if (Trim(key).empty() || key.find('=') != std::string::npos) return false;
    if (Trim(section).empty() || section.find(']') != std::string::npos) return false;

    if (iniPath.empty() || HoldsNul(iniPath) || HoldsNul(section) || HoldsNul(key)) return false;
    const FileContent content = ReadRegularFile(iniPath, MaxIniFileSize, Links::Guarded);
    // Never replace what could not be read: a FIFO, a device, a file past the
    // cap, or one that root reaches only through another user's link.
    if (content.status == ReadStatus::Unreadable) return false;
    return ReplaceFile(iniPath, IniWithValue(content.bytes, Trim(section), Trim(key), value));
}

}  // namespace vyk
