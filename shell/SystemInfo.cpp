#include "shell/SystemInfo.h"

#include <cstdint>

#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "shell/Settings.h"
#include "shell/ShellState.h"

namespace vyk {

std::string RegistryPath(const ShellPaths& paths) {
    return WindowsDirFile(paths, RegistryFileName);
}

bool ReadRegistryValue(const std::string& registryFile, std::string_view rootKey, std::string_view keyName,
                       std::string_view valueName, std::string& value) {
    value.clear();
    const std::string keyPath = std::string(rootKey) + "\\" + std::string(keyName);
    const std::optional<RegistryKey> key = RegistryKey::Open(registryFile, keyPath);
    if (!key) return false;
    const std::optional<RegistryValue> stored = key->Query(std::string(valueName));
    if (!stored) return false;

    if (stored->type == RegSz) {
        value = stored->data;
        return true;
    }
    if (stored->type == RegDword && stored->data.size() == 4) {
        // The number itself, from its four bytes, least significant first.
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) number = number << 8 | static_cast<unsigned char>(stored->data[static_cast<std::size_t>(i)]);
        value = std::to_string(number);
        return true;
    }
    return false;
}

void ShowSystemInfo(const ShellPaths& paths, DialogService& dialogs) {
    const std::string registry = RegistryPath(paths);
    std::string program;
    std::string location;
    if (ReadRegistryValue(registry, HKeyLocalMachine, MsInfoKey, MsInfoPathValue, program)) {
        // The value names the tool itself.
    } else if (ReadRegistryValue(registry, HKeyLocalMachine, SharedToolsLocationKey, MsInfoLocationValue, location) &&
               FileExists(location + "/" + std::string(MsInfoFileName))) {
        program = location + "/" + std::string(MsInfoFileName);
    }

    if (!program.empty() && !StartDetached(program)) return;

    MsgRequest message;
    message.text = std::string(SystemInfoUnavailableText);
    dialogs.MsgBox(message);
}

}  // namespace vyk

