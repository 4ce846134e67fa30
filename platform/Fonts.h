#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vyk {

// True when a font family of that name (Latin-1 bytes, letter case
// ignored) is known to the application's font database.
bool FaceAvailable(const std::string& face);

// A font file of ours is a few hundred kilobytes; a file beyond this is
// not read.
inline constexpr std::int64_t MaxFontFileSize = 64 << 20;

// True for the first bytes of a TrueType or OpenType font or font
// collection: 00 01 00 00, "OTTO", "true" or "ttcf".
bool HasFontSignature(std::string_view bytes);

// Adds the fonts of a font file to the application; true when at least one
// was added. Only a regular file of at most MaxFontFileSize bytes that
// starts as a font does is read, without waiting on a FIFO or device.
bool AddFontFile(const std::string& path);

// Copies the font file `from` to `to`, replacing what is there, and adds
// it to the application; true when its fonts were added. Only a file that
// AddFontFile would read is copied, so a link to another kind of file (a
// private key) copies nothing. The copy is written under a fresh name beside
// `to`, never more readable than its source and at most rw-r--r--, synced to
// disk and offered to the font database before it is renamed into place: a
// copy the database refuses, or that fails, is removed and `to` stays as it
// was. The folder of `to` is reached guarded (CheckedFiles.h), so that root
// copies nothing through another user's link. When no copy can be made
// there (no such folder, a read-only home, such a link), the fonts are added
// all the same.
bool InstallFontFile(const std::string& from, const std::string& to);

}  // namespace vyk
