#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vyk {

// True for an existing regular file (a link to one counts) whose name does
// not start with "." (a hidden file). Folders, devices, FIFOs, missing paths
// and paths holding a NUL give false; nothing is opened.
bool FileExists(const std::string& path);

// Last modification time in milliseconds since the epoch; empty when the
// file cannot be looked at.
std::optional<std::int64_t> ModificationTime(const std::string& path);

// Starts a program without arguments and without waiting for it. Returns
// the platform's error text when it could not be started ("No such file or
// directory", "Permission denied", ...), nothing on success.
std::optional<std::string> StartDetached(const std::string& program);

}  // namespace vyk
