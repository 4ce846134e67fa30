#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vyk {

// Section, key and value names compare as the profile functions compare
// them: ASCII letters without regard to case.
bool SameName(std::string_view a, std::string_view b);

// A settings file of our own holds a line or two; anything larger than this
// is no settings file of ours and counts as unreadable.
inline constexpr std::int64_t MaxIniFileSize = 1 << 20;

// Private profile strings with the Windows contract: section and key names
// ignore letter case; a missing file, section or key reads as the default;
// a write creates what is missing (the file, its folder, the section, the
// key) and keeps every other line as it was. Values are whole (no buffer
// cut) up to their first NUL, bytes without conversion, and read back
// exactly as written. Only a regular file is read (a link to one counts),
// without waiting on a FIFO or device and only up to MaxIniFileSize: any
// other file reads as missing, and is never replaced by a write. Links on
// the way are followed guarded (CheckedFiles.h): run as root, a file reached
// through a link of another user's counts as no regular file.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& iniPath);

// Writes through a temporary file renamed over the old one, so a crash
// never leaves a cut-off file; the new file keeps the old one's owner, group
// and mode as far as this process may set them. A link stays a link: the
// file it names is rewritten, or created when the link dangles (but no
// folder is made for it); run as root, only through links of root's. False
// when the file cannot be read or written,
// when the path is empty, or when a name or the value holds a line break (it
// would spill into a line of its own) or a NUL, a key holds "=", or a
// section holds "]".
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& iniPath);

// False for a value that no line of the file can hold (a line break or a
// NUL in it).
bool IniCanHold(std::string_view value);

// The same rules on the text of an INI file.
bool IniHasSection(std::string_view content, std::string_view section);
// Value of the first such key in the first such section: blanks around it
// removed, and one pair of enclosing quotes.
std::optional<std::string> IniValue(std::string_view content, std::string_view section,
                                    std::string_view key);
// The text after writing key=value: an existing line of the key is
// replaced; a new key goes after the last line of its section; a new
// section goes at the end. Line ends follow the file's own (CR LF or LF).
// A value with a blank at either end, or in quotes of its own, is written
// in quotes, so that reading it gives it back unchanged.
std::string IniWithValue(std::string_view content, std::string_view section, std::string_view key,
                         std::string_view value);

}  // namespace vyk
