#pragma once
// The RTF document of the sutra pane, built without any widget.

#include <map>
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

struct RenderedBody {
    std::string body;        // empty when no section is rendered
    SectionFlags rendered{};  // whether section k is in the body
    // The paragraph (counted from 0) that each rendered section's head
    // stands in, with the section's number: the pane marks these
    // paragraphs' characters, and the section's text starts in the next one.
    std::map<int, int> headParagraphs;
};

// Which sections a rendering shows: those shown and not empty. A field of
// blanks alone still counts: its head shows above an empty line.
SectionFlags RenderedSections(const SutraSections& sections);

// The body of every section that is shown and not empty, in table order:
// each section's head (font 0, 10 points, colour 1, underlined), then its
// text without leading blanks (font 1, 11.5 points).
RenderedBody BuildSectionBody(const SutraSections& sections);

// The whole document for a non-empty body: head, body and the closing brace.
std::string BuildRtfDocument(std::string_view headFace, std::string_view body);

}  // namespace vyk
