#pragma once
// The program's version information, fixed by the build.

#include <string>
#include <string_view>

namespace vyk {

inline constexpr int VersionMajor = VYK_VERSION_MAJOR;
inline constexpr int VersionMinor = VYK_VERSION_MINOR;
inline constexpr std::string_view LegalCopyright = VYK_COPYRIGHT;

// The copyright with the maker's name, as the title bar and the About box show it.
inline std::string CopyrightNotice() { return std::string(LegalCopyright) + " Talvorek."; }

// Hides the Tools menu and greys the Search items at the end of every
// start-up and reload.
inline constexpr bool RestrictMenus = VYK_RESTRICT_MENUS;

}  // namespace vyk
