#pragma once
// Where a popup menu opens.

namespace vyk {

// The distance below the clicked point at which a popup menu opens.
inline constexpr double PopupDropTwips = 150;

// Twips to whole pixels the way the popup's position is worked out: the
// twips and the twips per pixel are each rounded to a whole number (halves
// to the even neighbour), the quotient is truncated, and the quotient alone
// is kept within 16 bits.
int PopupPixels(double twips);

}  // namespace vyk
