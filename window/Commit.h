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
    // Sections whose text is taken from `fields` instead of the pane (the
    // ones the View menu hides, which the pane does not hold); 1 to 7.
    std::array<bool, 8> keepField{};
    const std::array<std::string, 12>* fields = nullptr;
};

// The record rebuilt from the pane: label, 0, the seven sections each
// followed by 0, the two numbers, two zero bytes. Zero bytes typed into the
// pane are dropped, since they would shift every later field.
std::string RebuildRecord(std::string_view paneText, const CommitSources& sources);

// The two digit bytes of each Kaumudi number of a record text, as present
// (0, 1 or 2 bytes each); both empty when the record has fewer than eight
// zero bytes. `fields` is the text's own split.
std::array<std::string, 2> NumberBytes(std::string_view recordText, const RecordFields& fields);

}  // namespace vyk
