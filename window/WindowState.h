#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vyk {

// The two display faces. The corpus text is stored in the glyph encoding of
// the Roman face; the Devanagari face is installed and given to controls
// that show nothing.
inline constexpr std::string_view RomanFace = "Times Kovra Roman";
inline constexpr std::string_view VelkaFace = "Velka";

// The sutra window's share of the program state: the display-font settings
// that start-up decides and the window reads, the order names and the
// closing flag. The sections on display belong to the pane's edit session.
struct WindowState {
    bool gClosing = false;

    std::array<std::string, 3> gOrderName;

    bool gRomanFontOk = true;
    bool gVelkaFontOk = true;
    int gRomanFontSize = 11;
    int gVelkaFontSize = 13;
};

}  // namespace vyk
