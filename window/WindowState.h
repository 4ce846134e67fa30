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

// The sutra window's share of the program state: the fields of the sutra on
// display, the section-hidden flags, the display-font settings that start-up
// decides and the window reads, and the closing flag.
struct WindowState {
    // Items 1 to 7 hold the section texts of the sutra on display; 8 to 11
    // are unused. Item 0 is unused too: indexes follow the section numbers.
    std::array<std::string, 12> gField;

    bool gHideSutra = false;
    bool gHideSandhi = false;
    bool gHideVartika = false;
    bool gHideVritti = false;
    bool gHideAnuVritti = false;
    bool gHideTranslation = false;
    bool gHideExplanation = false;

    bool gClosing = false;

    std::array<std::string, 3> gOrderName;

    bool gRomanFontOk = true;
    bool gVelkaFontOk = true;
    int gRomanFontSize = 11;
    int gVelkaFontSize = 13;
};

}  // namespace vyk
