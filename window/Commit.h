#pragma once
// The pane's text as a rendering lays it out, and the user's edit of that
// text taken back into the section texts. No widgets here.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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
    std::size_t headBegin = 0;  // its head line
    std::size_t textBegin = 0;  // its text, after the head's CR LF
};

// What a rendering put in the pane: its text, each rendered section's place
// in it, and the fields it was rendered from.
struct PaneLayout {
    std::string text;
    std::vector<PaneSection> sections;  // in table order
    SectionTexts fields;
    std::array<ShownField, 8> shown;
    SectionFlags rendered{};
};

// The pane's text after rendering `fields` with the sections `rendered`
// shown: for each, its head, CR LF, its text as shown, CR LF.
PaneLayout LayOutPane(const SectionTexts& fields, const SectionFlags& rendered);

// A stretch the user changed, as the pane reports it: [begin, end) of its
// text now stands where `removed` characters of the rendered text stood,
// all counted with a line break as one.
struct TypedChange {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t removed = 0;
};

// The section texts that the pane holds once the user has edited it.
// taken[k] says whether the pane decides section k: every section the
// layout rendered, and a section that was not rendered (hidden or empty)
// whose head the user typed as a line of its own. Every other section is
// not in the pane and keeps its text.
struct FoldedSections {
    SectionTexts texts;
    SectionFlags taken{};
};

// Only the sections the edits reach change. The edits are the changes the
// pane reports, narrowed to the characters that really differ; when they do
// not account for the whole difference, the one stretch between the common
// start and the common end of the two texts. Heads outside the edits stand
// where the rendering put them, so a text line that reads like a head is
// never taken for one. A head an edit damaged is found again only at the
// start of a line the edit touched. Within a section, only the edited bytes
// change: leading blanks and lone line feeds elsewhere in it are kept.
FoldedSections FoldPaneText(const PaneLayout& layout, std::string_view paneText,
                            const std::vector<TypedChange>& changes = {});

// The field after its shown text `shown` became `text`: the bytes of the
// field outside the changed stretch are kept exactly.
std::string SpliceField(std::string_view field, const ShownField& shown, std::string_view text);

}  // namespace vyk
