#pragma once

#include <QString>

#include <string_view>

namespace vyk {

// Bytes reach Qt only as Latin-1: one character per byte, all 256 values.
inline QString Latin1(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace vyk
