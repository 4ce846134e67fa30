#pragma once
// Turning the pane's plain text back into a record, and a record into what
// the window shows.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vyk {

struct RecordFields;

inline constexpr std::string_view RefPrefix = "Vyakor: ";
inline constexpr std::array<std::string_view, 2> KaumudiPrefix{"Siddhanta Kaumudi: ", "Laghu Kaumudi: "};

// The 0-based position of `head` standing as a whole line (at the start of
// the text or right after CR LF, and followed by CR LF), looked for from
// `from` on, which must itself be a line start; npos when there is none.
std::size_t FindHeadLineFrom(std::string_view text, std::string_view head, std::size_t from);

// Where each section's head line begins in the pane's text (index 1 to 7,
// npos for none). Heads are taken in table order, each after the head line
// found before it, so "Vritti" is never found inside "AnuVritti" and a text
// line merely ending in a head's words is not a head.
std::array<std::size_t, 8> FindHeadLines(std::string_view paneText);

// A head line in the pane's text: [begin, end) holds the head and the CR LF
// after it when there is one; begin is npos when the head was not found.
struct HeadLine {
    std::size_t begin = std::string_view::npos;
    std::size_t end = std::string_view::npos;
    bool found() const { return begin != std::string_view::npos; }
};

// The head lines of the sections. Whole lines count first, as
// FindHeadLines finds them; the head of a section the pane was rendered with
// (rendered, 1 to 7) that is no longer a whole line, because the user typed
// on its line or joined it to the line above, is then taken at its first
// plain occurrence between the head before it and the next whole head line,
// unless that occurrence is the end of another head ("Vritti" in
// "AnuVritti").
std::array<HeadLine, 8> LocateHeadLines(std::string_view paneText, const std::array<bool, 8>& rendered);

// The number a Kaumudi caption shows (the digits after its first ": ").
int32_t CaptionNumber(std::string_view caption);

// What the commit needs besides the pane's text.
struct CommitSources {
    std::string_view refCaption;                      // "Vyakor: " and the label
    std::array<std::string_view, 2> kaumudiCaptions;  // Siddhanta, then Laghu
    // The two digits of each number as the shown record holds them (empty
    // when the record ended before them): a number beyond what the editor
    // can write keeps these bytes.
    std::array<std::string_view, 2> shownNumberBytes;
    // Sections (1 to 7) whose head and text the pane's document was rendered
    // with.
    std::array<bool, 8> rendered{};
    // Sections (1 to 7) the View menu hides: the pane does not hold them, so
    // their text comes from `fields`, unless the user typed the section's
    // head line into the pane; then the text under it is the section's.
    std::array<bool, 8> hidden{};
    const std::array<std::string, 12>* fields = nullptr;
};

// The record rebuilt from the pane: label, 0, the seven sections each
// followed by 0, the two numbers, two zero bytes. Nothing the pane holds
// outside the head lines is dropped: text above the first head found goes
// to the first rendered section, text under a head the user deleted stays
// with the section above it. Zero bytes typed into the pane are dropped,
// since they would shift every later field.
std::string RebuildRecord(std::string_view paneText, const CommitSources& sources);

// The two digit bytes of each Kaumudi number of a record text, as present
// (0, 1 or 2 bytes each); both empty when the record has fewer than eight
// zero bytes. `fields` is the text's own split.
std::array<std::string, 2> NumberBytes(std::string_view recordText, const RecordFields& fields);

}  // namespace vyk
