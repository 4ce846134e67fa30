#pragma once
// The RTF document of the sutra pane, built without any widget.

#include <array>
#include <string>
#include <string_view>

#include "window/SectionTable.h"

namespace vyk {

// Bytes above 126 as \'hh (lower-case hex), "\", "{" and "}" escaped with a
// backslash, CR as \par followed by the CR itself; every other byte as is.
std::string EscapeRtf(std::string_view text);

// Font and colour tables and the one paragraph setting. `headFace` is the
// face of the Kaumudi label's font; it becomes font 0 unchanged.
std::string BuildRtfHead(std::string_view headFace);

// The piece of one section: its head (font 0, 10 points, colour 1,
// underlined), then its text without leading blanks (font 1, 11.5 points).
std::string BuildSectionPiece(std::string_view head, std::string_view text);

struct RenderedBody {
    std::string body;                 // empty when no section is rendered
    std::array<bool, 8> rendered{};   // 1 to 7: whether section k is in the body
};

// Which sections a rendering shows (1 to 7): those shown and not empty. A
// field of blanks alone still counts: its head shows above an empty line.
std::array<bool, 8> RenderedSections(const SutraSections& sections);

// The body of every section that is shown and not empty, in table order.
RenderedBody BuildSectionBody(const SutraSections& sections);

// The whole document for a non-empty body: head, body and the closing brace.
std::string BuildRtfDocument(std::string_view headFace, std::string_view body);

}  // namespace vyk
