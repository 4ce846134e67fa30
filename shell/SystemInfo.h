#pragma once
// The platform's system information tool, found through the registry.

#include <string>
#include <string_view>

namespace vyk {

class DialogService;
struct ShellPaths;

inline constexpr std::string_view MsInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view MsInfoPathValue = "PATH";
inline constexpr std::string_view SharedToolsLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view MsInfoLocationValue = "MSINFO";
inline constexpr std::string_view MsInfoFileName = "MSINFO32.EXE";
inline constexpr std::string_view SystemInfoUnavailableText = "System Information Is Unavailable At This Time";

// The registry stand-in's file: registry.ini in the Windows directory.
std::string RegistryPath(const ShellPaths& paths);

// Reads one value of the key rootKey\keyName into `value`: a text value as
// it stands, a double word as its decimal number. On a failure (no file, no
// key, no value, a value of another type) `value` is emptied and the result
// is false.
bool ReadRegistryValue(const std::string& registryFile, std::string_view rootKey, std::string_view keyName,
                       std::string_view valueName, std::string& value);

// Starts the system information tool without waiting for it, or says that
// it is unavailable.
void ShowSystemInfo(const ShellPaths& paths, DialogService& dialogs);

}  // namespace vyk
