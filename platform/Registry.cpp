#include "platform/Registry.h"

#include <charconv>
#include <cstdint>

#include "platform/CheckedFiles.h"
#include "platform/IniFile.h"

namespace vyk {

namespace {

constexpr std::string_view DwordPrefix = "dword:";

std::optional<std::uint32_t> ParseDword(std::string_view hex) {
    if (hex.empty() || hex.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
    if (error != std::errc() || end != hex.data() + hex.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<RegistryKey> RegistryKey::Open(const std::string& registryFile, const std::string& keyPath) {
    // Read like the settings file: a FIFO, a device or a file past the cap
    // is no registry, without waiting on it or reading it whole.
    FileContent content = ReadRegularFile(registryFile, MaxIniFileSize);
    if (content.status != ReadStatus::Read || !IniHasSection(content.bytes, keyPath)) return std::nullopt;
    return RegistryKey(std::move(content.bytes), keyPath);
}

std::optional<RegistryValue> RegistryKey::Query(const std::string& valueName) const {
    const auto raw = IniValue(content_, keyPath_, valueName);
    if (!raw) return std::nullopt;
    if (!SameName(std::string_view(*raw).substr(0, DwordPrefix.size()), DwordPrefix)) return RegistryValue{RegSz, *raw};
    const auto number = ParseDword(std::string_view(*raw).substr(DwordPrefix.size()));
    if (!number) return std::nullopt;
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((*number >> (8 * i)) & 0xFF);
    return RegistryValue{RegDword, bytes};
}

}  // namespace vyk
