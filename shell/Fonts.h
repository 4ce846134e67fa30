#pragma once
// The two display faces: probed at every start-up, installed from the data
// folder when missing, and confirmed before any window shows corpus text.

#include <string>
#include <string_view>

#include "window/WindowState.h"

namespace vyk {

class Application;
struct ShellPaths;

inline constexpr std::string_view RomanFontFile = "tmskrmn.ttf";
inline constexpr std::string_view VelkaFontFile = "velka.ttf";
inline constexpr std::string_view MissingFontTitle = "Missing Font";

// Copies the font file of that name from `sourceDir` (the data folder, or
// the program folder when the data folder lacks it) into the fonts folder
// and adds it to the program's fonts; when the copy fails, adds it from
// `sourceDir`. A file that is no font is neither copied nor added. Failures
// are skipped: the confirmation that follows reports a face that is still
// missing.
void InstallFont(const ShellPaths& paths, const std::string& sourceDir, std::string_view fileName);

// "Unable to load <face> Font." CR "'Vyakorsutravali' can't be displayed in <face>."
std::string MissingFontText(std::string_view face);

// The font check of every start-up: sets the usable flags and sizes, installs
// what is missing and confirms both faces. Returns false when a face stays
// unusable; the "Missing Font" message was shown and the program ended.
bool CheckDisplayFonts(Application& app);

}  // namespace vyk
