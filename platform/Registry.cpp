#include "platform/Registry.h"

#include <QFile>

#include <charconv>
#include <cstdint>

#include "platform/IniFile.h"
#include "platform/Paths.h"

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
    QFile file(QtPath(registryFile));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    std::string content = file.readAll().toStdString();
    if (!IniHasSection(content, keyPath)) return std::nullopt;
    return RegistryKey(std::move(content), keyPath);
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
