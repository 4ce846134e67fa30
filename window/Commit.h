#pragma once
// What the pane shows of a section, the user's edit of the pane taken back
// into the section texts, and the record a commit builds. No widgets here.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PaneLine.h"
#include "window/SectionTable.h"

namespace vyk {

inline constexpr std::string_view RefPrefix = "Vyakor: ";
inline constexpr std::array<std::string_view, 2> KaumudiPrefix{"Siddhanta Kaumudi: ", "Laghu Kaumudi: "};

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

// The section texts once the user has edited the pane that rendered `fields`
// with the sections `rendered` shown and each head's characters marked with
// its section number. Only those sections change; the others are not in the
// pane and keep their text.
// - A head's characters are the program's: they are never stored, whatever
//   line they end up on, and a line that held nothing else is no line of text.
// - A head heads its section from its first character left, wherever that
//   now stands: several heads on one line each start their section there,
//   and what stands before a head on its line ends the section above.
// - A rendered section none of whose head characters is left lost its head:
//   it is stored empty, and what stood under its head belongs to the section
//   above.
// - Text above the first head goes to the first section rendered.
// - An edited section is stored as the pane shows it, from its first shown
//   character: leading blanks, stored or typed, are dropped. Otherwise the
//   bytes outside the edited stretch are kept exactly, lone line feeds
//   among them. A section the edit did not reach keeps every byte.
SectionTexts FoldPaneLines(const SectionTexts& fields, const SectionFlags& rendered,
                           const std::vector<PaneLine>& lines);

// The field after its shown text `shown` became `text`, stored as the pane
// shows it: from its first shown character, without the leading blanks the
// field held or the edit typed, and otherwise with the bytes of the field
// outside the changed stretch kept exactly.
std::string SpliceField(std::string_view field, const ShownField& shown, std::string_view text);

// The record a commit stores: the label from the caption of lblRef (after
// "Vyakor: ", without leading and trailing blanks), a zero byte, each section
// and a zero byte, both Kaumudi numbers from their captions as two base-255
// digits, and two zero bytes.
std::string BuildEditedRecord(std::string_view refCaption, const std::array<std::string, 2>& kaumudiCaptions,
                              const SectionTexts& sections);

}  // namespace vyk
