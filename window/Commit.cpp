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

bool IsSectionNumber(int k) { return k >= 1 && k <= 7; }

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

PaneLayout LayOutPane(const SectionTexts& fields, const SectionFlags& rendered) {
    PaneLayout layout;
    int line = 0;
    for (const SectionRow& row : SectionTable) {
        const auto k = static_cast<std::size_t>(row.k);
        if (!rendered[k]) continue;
        const std::string shown = ShowField(fields[k]).text;
        PaneSection section;
        section.k = row.k;
        section.headLine = line;
        layout.text += row.SectionHead;
        layout.text += CrLf;
        section.textBegin = layout.text.size();
        layout.text += shown;
        layout.text += CrLf;
        layout.sections.push_back(section);
        line += 2 + static_cast<int>(std::count(shown.begin(), shown.end(), '\n'));
    }
    return layout;
}

std::string SpliceField(std::string_view field, const ShownField& shown, std::string_view text) {
    const std::string_view before = shown.text;
    if (text == before) return std::string(field);
    const Edit edit = FindEdit(before, text);
    // Bytes that show nothing (leading blanks, lone line feeds) next to the
    // edit stay before it; those inside the replaced stretch go with it.
    const std::size_t keepUntil = edit.begin < before.size() ? shown.from[edit.begin] : field.size();
    const std::size_t keepFrom = edit.oldEnd < before.size() ? shown.from[edit.oldEnd] : field.size();
    std::string spliced(field.substr(0, keepUntil));
    spliced += text.substr(edit.begin, edit.newEnd - edit.begin);
    spliced += field.substr(std::max(keepFrom, keepUntil));
    return spliced;
}

SectionTexts FoldPaneLines(const SectionTexts& fields, const SectionFlags& rendered,
                           const std::vector<PaneLine>& lines) {
    // The first line that holds a character of each rendered head.
    std::array<std::optional<std::size_t>, 8> firstLine{};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (const int mark : lines[i].marks) {
            if (IsSectionNumber(mark) && rendered[static_cast<std::size_t>(mark)] && !firstLine[mark]) firstLine[mark] = i;
        }
    }

    // The head lines, in the order of the text. A line that holds the first
    // characters of two heads (the user joined their lines) is the head line
    // of the one that comes first on it.
    struct Head {
        int k;
        std::size_t line;
        std::size_t first;  // where its first head character stands on the line
    };
    std::vector<Head> heads;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (std::size_t at = 0; at < lines[i].marks.size(); ++at) {
            const int mark = lines[i].marks[at];
            if (!IsSectionNumber(mark) || firstLine[mark] != i) continue;
            if (heads.empty() || heads.back().k < mark) heads.push_back({mark, i, at});
            break;
        }
    }

    // A head's characters stand as a line of their own: what comes before
    // them on their line ends the text above, what else stands from them on
    // starts their section's text. Each section's text runs to the next head.
    const auto textBetween = [&](std::string first, std::size_t begin, std::size_t end, std::size_t nextHead) {
        std::vector<std::string> pieces;
        if (!first.empty()) pieces.push_back(std::move(first));
        for (std::size_t i = begin; i < end; ++i) pieces.push_back(lines[i].text);
        if (nextHead < heads.size() && heads[nextHead].first > 0)
            pieces.push_back(lines[heads[nextHead].line].text.substr(0, heads[nextHead].first));
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
        const PaneLine& headLine = lines[heads[h].line];
        std::string extra;
        for (std::size_t at = heads[h].first; at < headLine.text.size(); ++at) {
            if (headLine.marks[at] != heads[h].k) extra += headLine.text[at];
        }
        const std::size_t end = h + 1 < heads.size() ? heads[h + 1].line : lines.size();
        const auto k = static_cast<std::size_t>(heads[h].k);
        texts[k] = textBetween(std::move(extra), heads[h].line + 1, end, h + 1);
        present[k] = true;
    }

    // Text above the first head belongs to the first section rendered: as
    // its whole text when its head is gone, else on a line of its own above
    // it. Blank lines alone there are no text.
    const std::string above = textBetween({}, 0, heads.empty() ? lines.size() : heads.front().line, 0);
    const auto first = static_cast<std::size_t>(std::find(rendered.begin() + 1, rendered.end(), true) - rendered.begin());
    if (first <= 7 && !IsBlankOrLineEnds(above)) {
        texts[first] = present[first] ? above + std::string(CrLf) + texts[first] : above;
        present[first] = true;
    }

    SectionTexts folded = fields;
    for (std::size_t k = 1; k <= 7; ++k) {
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
    for (std::size_t k = 1; k <= 7; ++k) {
        record += WithoutZeroBytes(sections[k]);
        record += '\0';
    }
    for (const std::string& caption : kaumudiCaptions) record += KaumudiDigits(caption);
    record.append(2, '\0');
    return record;
}

}  // namespace vyk
