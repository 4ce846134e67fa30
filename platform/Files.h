#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vyk {

// True for an existing regular file (a link to one counts) whose name does
// not start with "." (a hidden file). Folders, devices and missing paths
// give false.
bool FileExists(const std::string& path);

// Last modification time in milliseconds since the epoch; empty when the
// file cannot be looked at.
std::optional<std::int64_t> ModificationTime(const std::string& path);

// Starts a program without arguments and without waiting for it. Returns
// the platform's error text when it could not be started ("No such file or
// directory", "Permission denied", ...), nothing on success.
std::optional<std::string> StartDetached(const std::string& program);

// Copies a file over `to`, replacing what is there. The copy is written
// beside the target and renamed into place, so a failure leaves the old
// target whole.
bool CopyFileReplacing(const std::string& from, const std::string& to);

}  // namespace vyk
