#pragma once

#include <optional>
#include <string>

namespace vyk {

// The registry stand-in: an INI file "registry.ini" beside the settings
// file. Each key is a section named by its full path
// ("[HKEY_LOCAL_MACHINE\SOFTWARE\...]"); "name=text" is a REG_SZ value and
// "name=dword:1a2b" a REG_DWORD. Key and value names ignore letter case,
// as the registry's do.

inline constexpr char RegistryFileName[] = "registry.ini";
inline constexpr char HKeyLocalMachine[] = "HKEY_LOCAL_MACHINE";
inline constexpr int RegSz = 1;
inline constexpr int RegDword = 4;

struct RegistryValue {
    int type = RegSz;
    // REG_SZ: the text, without a closing zero. REG_DWORD: four bytes,
    // least significant first.
    std::string data;
};

class RegistryKey {
public:
    // Fails when the file or the key is missing, or the file is no regular
    // file of at most MaxIniFileSize bytes. The key's values are read at the
    // open.
    static std::optional<RegistryKey> Open(const std::string& registryFile, const std::string& keyPath);

    // Fails when the value is missing or a dword is not 1 to 8 hex digits.
    std::optional<RegistryValue> Query(const std::string& valueName) const;

private:
    RegistryKey(std::string content, std::string keyPath)
        : content_(std::move(content)), keyPath_(std::move(keyPath)) {}

    std::string content_;
    std::string keyPath_;
};

}  // namespace vyk
