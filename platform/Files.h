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

// Run as root with a user's home (sudo keeps HOME), what the program makes
// there must stay the user's: the file or folder open as `fd`, just made in
// `folder`, takes that folder's owner and group. For anyone but root it is
// theirs already, and nothing happens.
void GiveToFolderOwner(int fd, int folder);

// Makes the folder and any missing folder on the way to it, as "mkdir -p"
// does but private to the user (0700, as the XDG rules ask of the folders
// they name), with the bytes of the path as they are, each given to its
// folder's owner as above. True when the folder exists afterwards.
bool MakeFolders(const std::string& path);

// Starts a program without arguments and without waiting for it. Returns
// the platform's error text when it could not be started ("No such file or
// directory", "Permission denied", ...), nothing on success.
std::optional<std::string> StartDetached(const std::string& program);

}  // namespace vyk
