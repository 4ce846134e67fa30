#include "window/Commit.h"

#include <algorithm>
#include <optional>

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

// One edit of the rendered text: [oldBegin, oldEnd) of it became
// [newBegin, newEnd) of the pane's text.
struct Hunk {
    std::size_t oldBegin = 0;
    std::size_t oldEnd = 0;
    std::size_t newBegin = 0;
    std::size_t newEnd = 0;
};

// The offset in a text of the place after `units` characters, a CR LF pair
// counting as one; the end of the text when it holds fewer.
std::size_t OffsetOfUnits(std::string_view text, std::size_t units) {
    std::size_t at = 0;
    for (; units > 0 && at < text.size(); --units) at += text.substr(at, 2) == CrLf ? 2 : 1;
    return at;
}

// The edits that turned `before` into `after`: the reported changes, each
// narrowed to the characters that differ, when the text between them is
// the same in both; else the one stretch between the common start and end.
std::vector<Hunk> EditsOf(std::string_view before, std::string_view after, const std::vector<TypedChange>& changes) {
    std::vector<Hunk> hunks;
    bool accounted = !changes.empty();
    std::size_t oldDone = 0;
    std::size_t newDone = 0;
    std::ptrdiff_t shift = 0;  // characters the changes so far added
    for (const TypedChange& change : changes) {
        const std::ptrdiff_t oldUnits = static_cast<std::ptrdiff_t>(change.begin) - shift;
        if (oldUnits < 0 || change.end < change.begin) {
            accounted = false;
            break;
        }
        Hunk hunk;
        hunk.oldBegin = OffsetOfUnits(before, static_cast<std::size_t>(oldUnits));
        hunk.oldEnd = OffsetOfUnits(before, static_cast<std::size_t>(oldUnits) + change.removed);
        hunk.newBegin = OffsetOfUnits(after, change.begin);
        hunk.newEnd = OffsetOfUnits(after, change.end);
        shift += static_cast<std::ptrdiff_t>(change.end - change.begin) - static_cast<std::ptrdiff_t>(change.removed);
        if (hunk.oldBegin < oldDone || hunk.newBegin < newDone ||
            before.substr(oldDone, hunk.oldBegin - oldDone) != after.substr(newDone, hunk.newBegin - newDone)) {
            accounted = false;
            break;
        }
        const Edit narrowed = FindEdit(before.substr(hunk.oldBegin, hunk.oldEnd - hunk.oldBegin),
                                       after.substr(hunk.newBegin, hunk.newEnd - hunk.newBegin));
        oldDone = hunk.oldEnd;
        newDone = hunk.newEnd;
        hunk.oldEnd = hunk.oldBegin + narrowed.oldEnd;
        hunk.newEnd = hunk.newBegin + narrowed.newEnd;
        hunk.oldBegin += narrowed.begin;
        hunk.newBegin += narrowed.begin;
        if (hunk.oldEnd > hunk.oldBegin || hunk.newEnd > hunk.newBegin) hunks.push_back(hunk);
    }
    // The document's last paragraph reads back with a CR LF only while it
    // holds text, which no reported change counts: typing into the empty
    // line at the very end adds one, emptying it takes one away.
    const std::string_view oldTail = before.substr(oldDone);
    const std::string_view newTail = after.substr(newDone);
    if (oldTail != newTail && (oldTail == std::string(newTail) + std::string(CrLf) ||
                               newTail == std::string(oldTail) + std::string(CrLf))) {
        const std::size_t common = std::min(oldTail.size(), newTail.size());
        hunks.push_back({oldDone + common, before.size(), newDone + common, after.size()});
    } else if (oldTail != newTail) {
        accounted = false;
    }
    if (accounted && !hunks.empty()) return hunks;

    const Edit edit = FindEdit(before, after);
    return {{edit.begin, edit.oldEnd, edit.begin, edit.newEnd}};
}

std::string_view WithoutClosingLineEnd(std::string_view text) {
    if (text.ends_with(CrLf)) text.remove_suffix(CrLf.size());
    return text;
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

// A head as it stands in the edited text.
struct HeadAt {
    int k = 0;
    std::size_t begin = 0;      // where its line starts
    std::size_t textBegin = 0;  // where its section's text starts
    bool typed = false;         // the head of a section the layout did not render
};

// Looks for the heads of sections low + 1 to high - 1 in the lines of
// [from, until) of the edited text, in table order, each after the one found
// before. Only lines an edit reached count: a rendered head an edit damaged
// (touched) is found at the start of such a line, with whatever follows it
// on the line as the start of its text; the head of a section the layout did
// not render only as a whole line whose head the user typed.
std::vector<HeadAt> FindHeadsInStretch(std::string_view text, const std::vector<Hunk>& hunks, std::size_t from,
                                       std::size_t until, int low, int high, const SectionFlags& rendered,
                                       const SectionFlags& touched) {
    const auto reached = [&](std::size_t line, std::size_t lineEnd) {
        return std::any_of(hunks.begin(), hunks.end(),
                           [&](const Hunk& hunk) { return line <= hunk.newEnd && hunk.newBegin <= lineEnd; });
    };
    const auto typedOver = [&](std::size_t begin, std::size_t end) {
        return std::any_of(hunks.begin(), hunks.end(),
                           [&](const Hunk& hunk) { return begin < hunk.newEnd && hunk.newBegin < end; });
    };

    std::vector<HeadAt> found;
    if (!reached(from, until)) return found;
    for (int k = low + 1; k < high; ++k) {
        const auto index = static_cast<std::size_t>(k);
        const bool damaged = touched[index];
        const bool typed = !rendered[index];
        if (!damaged && !typed) continue;
        const std::string_view head = SectionRowOf(k).SectionHead;

        for (std::size_t line = from; line < until;) {
            const std::size_t lineEnd = std::min(text.find(CrLf, line), until);
            const bool broken = text.substr(lineEnd, CrLf.size()) == CrLf;
            const std::size_t next = broken ? lineEnd + CrLf.size() : until;
            const std::string_view content = text.substr(line, lineEnd - line);

            std::optional<std::size_t> textBegin;
            if (damaged && content.starts_with(head) && reached(line, lineEnd)) {
                textBegin = content.size() == head.size() ? next : line + head.size();
            } else if (typed && content == head && typedOver(line, line + head.size())) {
                textBegin = next;
            }
            if (textBegin) {
                found.push_back({k, line, *textBegin, typed});
                from = next;
                break;
            }
            if (!broken) break;
            line = next;
        }
    }
    return found;
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
    layout.fields = fields;
    layout.rendered = rendered;
    for (const SectionRow& row : SectionTable) {
        const auto k = static_cast<std::size_t>(row.k);
        if (!rendered[k]) continue;
        layout.shown[k] = ShowField(fields[k]);
        PaneSection section;
        section.k = row.k;
        section.headBegin = layout.text.size();
        layout.text += row.SectionHead;
        layout.text += CrLf;
        section.textBegin = layout.text.size();
        layout.text += layout.shown[k].text;
        layout.text += CrLf;
        layout.sections.push_back(section);
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

FoldedSections FoldPaneText(const PaneLayout& layout, std::string_view paneText,
                            const std::vector<TypedChange>& changes) {
    FoldedSections folded;
    folded.texts = layout.fields;
    folded.taken = layout.rendered;
    const std::string_view rendered = layout.text;
    if (paneText == rendered || layout.sections.empty()) return folded;

    const std::vector<Hunk> hunks = EditsOf(rendered, paneText, changes);
    // Where a place of the rendered text outside every edit now stands. Text
    // inserted right at a head line goes before it, to the section above;
    // text inserted right after it goes to the head's own section.
    const auto moved = [&](std::size_t at, bool insertionsBefore) {
        std::size_t to = at;
        for (const Hunk& hunk : hunks) {
            const bool before = hunk.oldEnd < at || (hunk.oldEnd == at && (insertionsBefore || hunk.oldBegin < at));
            if (before) to = to + (hunk.newEnd - hunk.newBegin) - (hunk.oldEnd - hunk.oldBegin);
        }
        return to;
    };
    const auto reaches = [](const Hunk& hunk, const PaneSection& section) {
        return hunk.oldEnd > hunk.oldBegin ? section.headBegin < hunk.oldEnd && section.textBegin > hunk.oldBegin
                                           : section.headBegin < hunk.oldBegin && hunk.oldBegin < section.textBegin;
    };

    // The heads no edit reached stand where the rendering put them, moved by
    // what the edits before them added or removed.
    std::vector<HeadAt> standing;
    SectionFlags touched{};
    for (const PaneSection& section : layout.sections) {
        if (std::any_of(hunks.begin(), hunks.end(), [&](const Hunk& hunk) { return reaches(hunk, section); })) {
            touched[static_cast<std::size_t>(section.k)] = true;
        } else {
            standing.push_back({section.k, moved(section.headBegin, true), moved(section.textBegin, false), false});
        }
    }

    // Between two standing heads, the heads the edits damaged and the heads
    // the user typed are looked for.
    std::vector<HeadAt> heads;
    for (std::size_t i = 0; i <= standing.size(); ++i) {
        const std::size_t from = i == 0 ? 0 : standing[i - 1].textBegin;
        const std::size_t until = i == standing.size() ? paneText.size() : standing[i].begin;
        const int low = i == 0 ? 0 : standing[i - 1].k;
        const int high = i == standing.size() ? 8 : standing[i].k;
        const std::vector<HeadAt> found =
            FindHeadsInStretch(paneText, hunks, from, until, low, high, layout.rendered, touched);
        heads.insert(heads.end(), found.begin(), found.end());
        if (i < standing.size()) heads.push_back(standing[i]);
    }

    // Each head's text runs to the next head, less the line end that closed
    // it in the pane; a blank line typed at its end stays.
    SectionTexts texts;
    SectionFlags present{};
    for (std::size_t i = 0; i < heads.size(); ++i) {
        const std::size_t end = i + 1 < heads.size() ? heads[i + 1].begin : paneText.size();
        const std::size_t begin = std::min(heads[i].textBegin, end);
        const auto k = static_cast<std::size_t>(heads[i].k);
        texts[k] = WithoutClosingLineEnd(paneText.substr(begin, end - begin));
        present[k] = true;
        if (heads[i].typed) folded.taken[k] = true;
    }

    // Text above the first head belongs to the first section the pane was
    // rendered with: as its whole text when its head is gone, else on a line
    // of its own above it. Blank lines alone there are no text.
    const std::string_view above = paneText.substr(0, heads.empty() ? paneText.size() : heads.front().begin);
    const auto first = static_cast<std::size_t>(layout.sections.front().k);
    if (IsBlankOrLineEnds(above)) {
        // Nothing to place.
    } else if (!present[first]) {
        texts[first] = WithoutClosingLineEnd(above);
        present[first] = true;
    } else {
        texts[first] = std::string(above) + (above.ends_with(CrLf) ? "" : std::string(CrLf)) + texts[first];
    }

    for (const SectionRow& row : SectionTable) {
        const auto k = static_cast<std::size_t>(row.k);
        if (!folded.taken[k]) continue;
        // A rendered section whose head the user removed has no text of its
        // own left: what stood under the head now belongs to the one above.
        if (!present[k]) {
            folded.texts[k].clear();
            continue;
        }
        const std::string text = WithoutZeroBytes(texts[k]);
        folded.texts[k] = layout.rendered[k] ? SpliceField(layout.fields[k], layout.shown[k], text) : text;
    }
    return folded;
}

}  // namespace vyk
