#include "window/Commit.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "corpus/Base255.h"

#include "window/SectionTable.h"

namespace vyk {

namespace {

constexpr std::string_view CrLf = "\r\n";

bool CutsLineEnd(std::string_view text, std::size_t at) {
    return at > 0 && at < text.size() && text[at - 1] == '\r' && text[at] == '\n';
}

// The one stretch in which two texts differ: [begin, oldEnd) of the first
// became [begin, newEnd) of the second. The stretch never starts or ends
// inside a CR LF pair.
struct Edit {
    std::size_t begin = 0;
    std::size_t oldEnd = 0;
    std::size_t newEnd = 0;
};

Edit FindEdit(std::string_view before, std::string_view after) {
    const std::size_t shorter = std::min(before.size(), after.size());
    std::size_t prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
    if (CutsLineEnd(before, prefix) || CutsLineEnd(after, prefix)) --prefix;

    std::size_t suffix = 0;
    while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    if (suffix > 0 &&
        (CutsLineEnd(before, before.size() - suffix) || CutsLineEnd(after, after.size() - suffix)))
        --suffix;
    return {prefix, before.size() - suffix, after.size() - suffix};
}

bool IsBlankOrLineEnds(std::string_view text) { return text.find_first_not_of(" \t\r\n") == std::string_view::npos; }

// A zero byte would end the field early and shift every later one.
std::string WithoutZeroBytes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char character : text) {
        if (character != '\0') out += character;
    }
    return out;
}

// A Kaumudi number as its two base-255 digits. A caption past 32,767 comes
// only from stored digits of 128 or more; it is written back with digits of
// the same value rather than lost.
std::string KaumudiDigits(std::string_view caption) {
    int32_t value = 0;
    const std::size_t colon = caption.find(": ");
    if (colon != std::string_view::npos) {
        for (const char character : caption.substr(colon + 2)) {
            if (character < '0' || character > '9' || value > 65280) break;
            value = value * 10 + (character - '0');
        }
    }
    if (const std::optional<std::string> digits = IntToChr2(value)) return *digits;
    value = std::min<int32_t>(value, 255 * 255 + 255);
    const int32_t high = std::min<int32_t>(value / 255, 255);
    return {static_cast<char>(value - high * 255), static_cast<char>(high)};
}

}  // namespace

ShownField ShowField(std::string_view field) {
    ShownField shown;
    shown.text.reserve(field.size());
    shown.from.reserve(field.size() + 1);
    std::size_t at = field.find_first_not_of(' ');
    if (at == std::string_view::npos) at = field.size();
    for (; at < field.size(); ++at) {
        const char character = field[at];
        if (character == '\n') continue;  // a line feed without a CR shows nothing
        shown.text += character;
        shown.from.push_back(at);
        if (character == '\r') {
            // Its paragraph mark reads back as CR LF whether or not a LF follows.
            const bool pair = at + 1 < field.size() && field[at + 1] == '\n';
            shown.text += '\n';
            shown.from.push_back(at + 1);
            if (pair) ++at;
        }
    }
    shown.from.push_back(field.size());
    return shown;
}

std::string SpliceField(std::string_view field, const ShownField& shown, std::string_view text) {
    const std::string_view before = shown.text;
    if (text == before) return std::string(field);
    const Edit edit = FindEdit(before, text);
    // Lone line feeds next to the edit stay before it; those inside the
    // replaced stretch go with it. Leading blanks show nothing, and the pane
    // never shows them again: the edited field starts at its first shown
    // character.
    const std::size_t keepUntil = edit.begin < before.size() ? shown.from[edit.begin] : field.size();
    const std::size_t keepFrom = edit.oldEnd < before.size() ? shown.from[edit.oldEnd] : field.size();
    std::string spliced(field.substr(0, keepUntil));
    spliced += text.substr(edit.begin, edit.newEnd - edit.begin);
    spliced += field.substr(std::max(keepFrom, keepUntil));
    spliced.erase(0, spliced.find_first_not_of(' '));
    return spliced;
}

SectionTexts FoldPaneLines(const SectionTexts& fields, const SectionFlags& rendered,
                           const std::vector<PaneLine>& lines) {
    // Where the first character left of each rendered head stands.
    struct Head {
        int k;
        std::size_t line;
        std::size_t at;
    };
    std::vector<Head> heads;
    SectionFlags seen{};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (std::size_t at = 0; at < lines[i].marks.size(); ++at) {
            const int mark = lines[i].marks[at];
            if (!IsSectionNumber(mark) || !rendered[static_cast<std::size_t>(mark)] || seen[mark]) continue;
            seen[mark] = true;
            // The user moves no marked character past another, so heads
            // keep the table order; one that did not would head nothing.
            if (heads.empty() || heads.back().k < mark) heads.push_back({mark, i, at});
        }
    }

    // The lines of text under each head (item 0: above the first one). A
    // line is cut where a head starts on it; of each piece the heads'
    // characters are dropped, and a piece that held nothing else is no line.
    std::vector<std::vector<std::string>> under(heads.size() + 1);
    std::size_t region = 0;
    std::size_t next = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const PaneLine& line = lines[i];
        std::string piece;
        bool headCharacters = false;
        const auto endPiece = [&] {
            if (!(headCharacters && piece.empty())) under[region].push_back(std::move(piece));
            piece.clear();
            headCharacters = false;
        };
        for (std::size_t at = 0; at < line.text.size(); ++at) {
            if (next < heads.size() && heads[next].line == i && heads[next].at == at) {
                if (at > 0) endPiece();
                region = ++next;
            }
            if (line.marks[at] != 0) {
                headCharacters = true;
            } else {
                piece += line.text[at];
            }
        }
        endPiece();
    }
    const auto joined = [](const std::vector<std::string>& pieces) {
        std::string text;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (i > 0) text += CrLf;
            text += pieces[i];
        }
        return text;
    };

    SectionTexts texts;
    SectionFlags present{};
    for (std::size_t h = 0; h < heads.size(); ++h) {
        const auto k = static_cast<std::size_t>(heads[h].k);
        texts[k] = joined(under[h + 1]);
        present[k] = true;
    }

    // Text above the first head belongs to the first section rendered: as
    // its whole text when its head is gone, else on a line of its own above
    // it. Blank lines alone there are no text.
    const std::string above = joined(under[0]);
    const auto first = static_cast<std::size_t>(std::find(rendered.begin() + 1, rendered.end(), true) - rendered.begin());
    if (first < rendered.size() && !IsBlankOrLineEnds(above)) {
        texts[first] = present[first] ? above + std::string(CrLf) + texts[first] : above;
        present[first] = true;
    }

    SectionTexts folded = fields;
    for (const SectionRow& row : SectionTable) {
        const auto k = static_cast<std::size_t>(row.k);
        if (!rendered[k]) continue;
        if (!present[k]) {
            folded[k].clear();
            continue;
        }
        folded[k] = SpliceField(fields[k], ShowField(fields[k]), WithoutZeroBytes(texts[k]));
    }
    return folded;
}

std::string BuildEditedRecord(std::string_view refCaption, const std::array<std::string, 2>& kaumudiCaptions,
                              const SectionTexts& sections) {
    std::string_view label = refCaption.substr(std::min(RefPrefix.size(), refCaption.size()));
    label.remove_prefix(std::min(label.find_first_not_of(' '), label.size()));
    label = label.substr(0, label.find_last_not_of(' ') + 1);

    std::string record(label);
    record += '\0';
    for (const SectionRow& row : SectionTable) {
        record += WithoutZeroBytes(sections[static_cast<std::size_t>(row.k)]);
        record += '\0';
    }
    for (const std::string& caption : kaumudiCaptions) record += KaumudiDigits(caption);
    record.append(2, '\0');
    return record;
}

}  // namespace vyk
