#pragma once
// The pane's text as a rendering lays it out, the user's edit of it taken
// back into the section texts, and the record a commit builds. No widgets
// here.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PaneLine.h"

namespace vyk {

inline constexpr std::string_view RefPrefix = "Vyakor: ";
inline constexpr std::array<std::string_view, 2> KaumudiPrefix{"Siddhanta Kaumudi: ", "Laghu Kaumudi: "};

// Section texts and flags by section number, 1 to 7; item 0 is unused.
using SectionTexts = std::array<std::string, 8>;
using SectionFlags = std::array<bool, 8>;

// A section's text as the pane shows it: leading blanks gone, a LF without
// a CR before it lost, a CR without a LF after it read back as CR LF.
// from[i] is the offset in the field of the byte that shows as text[i] (for
// the LF that a lone CR gains, the offset just after the CR);
// from[text.size()] is the field's length.
struct ShownField {
    std::string text;
    std::vector<std::size_t> from;
};
ShownField ShowField(std::string_view field);

// Where a rendering put one section in the pane's text.
struct PaneSection {
    int k = 0;
    int headLine = 0;           // the line of its head, counted from 0
    std::size_t textBegin = 0;  // its text, after the head's CR LF
};

// The pane's text after rendering `fields` with the sections `rendered`
// shown: for each, its head, CR LF, its text as shown, CR LF.
struct PaneLayout {
    std::string text;
    std::vector<PaneSection> sections;  // in table order
};
PaneLayout LayOutPane(const SectionTexts& fields, const SectionFlags& rendered);

// The section texts once the user has edited the pane that rendered `fields`
// with the sections `rendered` shown and each head's characters marked with
// its section number. Only those sections change; the others
// are not in the pane and keep their text.
// - A section's head line is the first line that holds a character of its
//   head. The head's characters stand as a line of their own: what comes
//   before them on that line (joined to it, or typed there) ends the text
//   above, and what else stands there from them on goes first into their
//   section's text, on a line of its own.
// - A rendered section none of whose head characters is left lost its head:
//   it is stored empty, and what stood under its head belongs to the section
//   above.
// - Text above the first head goes to the first section rendered.
// - Within a section the bytes outside the edited stretch are kept exactly,
//   with the leading blanks and lone line feeds that the pane does not show.
SectionTexts FoldPaneLines(const SectionTexts& fields, const SectionFlags& rendered,
                           const std::vector<PaneLine>& lines);

// The field after its shown text `shown` became `text`: the bytes of the
// field outside the changed stretch are kept exactly.
std::string SpliceField(std::string_view field, const ShownField& shown, std::string_view text);

// The record a commit stores: the label from the caption of lblRef (after
// "Vyakor: ", without leading and trailing blanks), a zero byte, each section
// and a zero byte, both Kaumudi numbers from their captions as two base-255
// digits, and two zero bytes.
std::string BuildEditedRecord(std::string_view refCaption, const std::array<std::string, 2>& kaumudiCaptions,
                              const SectionTexts& sections);

}  // namespace vyk
