#include "platform/Registry.h"

#include <QFile>

#include <cstdint>

#include "platform/IniFile.h"
#include "platform/Paths.h"

namespace vyk {

namespace {

constexpr std::string_view DwordPrefix = "dword:";

std::optional<std::uint32_t> ParseDword(std::string_view hex) {
    if (hex.empty() || hex.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : hex) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
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
    if (!StartsWithNoCase(*raw, DwordPrefix)) return RegistryValue{RegSz, *raw};
    const auto number = ParseDword(std::string_view(*raw).substr(DwordPrefix.size()));
    if (!number) return std::nullopt;
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((*number >> (8 * i)) & 0xFF);
    return RegistryValue{RegDword, bytes};
}

}  // namespace vyk
