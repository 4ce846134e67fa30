#pragma once

#include <string>

namespace vyk {

// True when a font family of that name (Latin-1 bytes, letter case
// ignored) is known to the application's font database.
bool FaceAvailable(const std::string& face);

// Adds the fonts of a font file to the application; true when at least one
// was added.
bool AddFontFile(const std::string& path);

}  // namespace vyk
