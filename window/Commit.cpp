#include "window/Commit.h"

#include <QAction>

#include <algorithm>
#include <charconv>

#include "corpus/Base255.h"
#include "corpus/CorpusState.h"
#include "corpus/SutraRecord.h"
#include "platform/Controls.h"
#include "platform/ListControl.h"
#include "platform/RichTextPane.h"
#include "window/FrmSutra.h"
#include "window/SectionTable.h"

namespace vyk {

namespace {

constexpr std::string_view CrLf = "\r\n";

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

void AppendWithoutZeros(std::string& out, std::string_view text) {
    for (const char character : text) {
        if (character != '\0') out += character;
    }
}

}  // namespace

std::size_t FindHeadLineFrom(std::string_view text, std::string_view head, std::size_t from) {
    const std::size_t lineLength = head.size() + CrLf.size();
    for (std::size_t at = from; at <= text.size();) {
        const std::string_view line = text.substr(at, lineLength);
        if (line.substr(0, head.size()) == head && line.substr(head.size()) == CrLf) return at;
        const std::size_t nextBreak = text.find(CrLf, at);
        if (nextBreak == std::string_view::npos) break;
        at = nextBreak + CrLf.size();
    }
    return std::string_view::npos;
}

std::array<std::size_t, 8> FindHeadLines(std::string_view paneText) {
    std::array<std::size_t, 8> found;
    found.fill(std::string_view::npos);
    std::size_t from = 0;
    for (const SectionRow& row : SectionTable) {
        const std::size_t at = FindHeadLineFrom(paneText, row.SectionHead, from);
        if (at == std::string_view::npos) continue;
        found[static_cast<std::size_t>(row.k)] = at;
        from = at + row.SectionHead.size() + CrLf.size();
    }
    return found;
}

namespace {

// True when the head standing at `at` is the last part of another section's
// head, as "Vritti" is of "AnuVritti".
bool EndsAnotherHead(std::string_view text, std::size_t at, std::string_view head) {
    for (const SectionRow& row : SectionTable) {
        const std::string_view other = row.SectionHead;
        if (other.size() <= head.size() || !other.ends_with(head)) continue;
        const std::size_t lead = other.size() - head.size();
        if (at >= lead && text.substr(at - lead, other.size()) == other) return true;
    }
    return false;
}

// A head that is no longer a whole line, looked for in [from, until): with
// its line end first, which survives typing before the head or a join with
// the line above, then alone, which survives typing after it.
HeadLine FindDamagedHeadLine(std::string_view text, std::string_view head, std::size_t from, std::size_t until) {
    const std::string withLineEnd = std::string(head) + std::string(CrLf);
    for (const std::string_view needle : {std::string_view(withLineEnd), head}) {
        for (std::size_t at = text.find(needle, from); at != std::string_view::npos && at + needle.size() <= until;
             at = text.find(needle, at + 1)) {
            if (EndsAnotherHead(text, at, head)) continue;
            std::size_t end = at + head.size();
            if (text.substr(end, CrLf.size()) == CrLf) end += CrLf.size();
            return {at, end};
        }
    }
    return {};
}

bool IsBlankOrLineEnds(std::string_view text) { return text.find_first_not_of(" \t\r\n") == std::string_view::npos; }

std::string_view WithoutClosingLineEnd(std::string_view piece) {
    if (piece.ends_with(CrLf)) piece.remove_suffix(CrLf.size());
    return piece;
}

}  // namespace

std::array<HeadLine, 8> LocateHeadLines(std::string_view paneText, const std::array<bool, 8>& rendered) {
    const std::array<std::size_t, 8> whole = FindHeadLines(paneText);
    std::array<HeadLine, 8> heads;
    for (const SectionRow& row : SectionTable) {
        const auto k = static_cast<std::size_t>(row.k);
        if (whole[k] != std::string_view::npos) heads[k] = {whole[k], whole[k] + row.SectionHead.size() + CrLf.size()};
    }

    std::size_t from = 0;
    for (const SectionRow& row : SectionTable) {
        const auto k = static_cast<std::size_t>(row.k);
        if (!heads[k].found() && rendered[k]) {
            std::size_t until = paneText.size();
            for (std::size_t later = k + 1; later <= 7; ++later) {
                if (whole[later] != std::string_view::npos) {
                    until = whole[later];
                    break;
                }
            }
            heads[k] = FindDamagedHeadLine(paneText, row.SectionHead, from, until);
        }
        if (heads[k].found()) from = heads[k].end;
    }
    return heads;
}

int32_t CaptionNumber(std::string_view caption) {
    const std::size_t colon = caption.find(": ");
    std::string_view digits = colon == std::string_view::npos ? caption : caption.substr(colon + 2);
    digits = TrimBlanks(digits);
    int64_t value = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec != std::errc()) return 0;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

std::string RebuildRecord(std::string_view paneText, const CommitSources& sources) {
    const std::array<HeadLine, 8> heads = LocateHeadLines(paneText, sources.rendered);

    // Text above the first head found belongs to the first section the pane
    // was rendered with; blank lines alone there are no text.
    std::size_t firstHead = paneText.size();
    for (const HeadLine& head : heads) {
        if (head.found()) firstHead = std::min(firstHead, head.begin);
    }
    std::string_view leading = paneText.substr(0, firstHead);
    if (IsBlankOrLineEnds(leading)) leading = {};
    std::size_t leadingSection = 0;
    for (std::size_t k = 1; k <= 7 && leadingSection == 0; ++k) {
        if (sources.rendered[k]) leadingSection = k;
    }

    std::string record;
    record.reserve(paneText.size() + 64);

    std::string_view label = sources.refCaption;
    label.remove_prefix(std::min(label.size(), RefPrefix.size()));
    AppendWithoutZeros(record, TrimBlanks(label));
    record += '\0';

    for (const SectionRow& row : SectionTable) {
        const auto j = static_cast<std::size_t>(row.k);
        std::string_view piece;
        if (heads[j].found()) {
            std::size_t end = paneText.size();
            for (std::size_t later = j + 1; later <= 7; ++later) {
                if (heads[later].found()) {
                    end = heads[later].begin;
                    break;
                }
            }
            // The line end that closed the section in the pane is no part of
            // its text; a blank line typed at its end stays.
            piece = WithoutClosingLineEnd(paneText.substr(heads[j].end, end - heads[j].end));
        } else if (sources.hidden[j] && sources.fields != nullptr) {
            piece = (*sources.fields)[j];
        }

        if (j == leadingSection && !leading.empty()) {
            if (heads[j].found()) {
                AppendWithoutZeros(record, leading);
                if (!leading.ends_with(CrLf)) record += CrLf;
            } else {
                piece = WithoutClosingLineEnd(leading);
            }
        }
        AppendWithoutZeros(record, piece);
        record += '\0';
    }

    for (std::size_t i = 0; i < 2; ++i) {
        const int32_t number = CaptionNumber(sources.kaumudiCaptions[i]);
        if (const auto digits = IntToChr2(number)) {
            record += *digits;
        } else {
            // Beyond a signed 16-bit number: the record keeps the digits it
            // had, so neither the number nor anything after it shifts.
            std::string kept(sources.shownNumberBytes[i].substr(0, 2));
            kept.resize(2, '\0');
            record += kept;
        }
    }
    record.append(2, '\0');
    return record;
}

std::array<std::string, 2> NumberBytes(std::string_view recordText, const RecordFields& fields) {
    std::array<std::string, 2> bytes;
    if (!fields.wellFormed()) return bytes;
    std::size_t at = fields.label.size() + 1;
    for (const std::string& section : fields.sections) at += section.size() + 1;
    for (std::size_t i = 0; i < 2; ++i) {
        const std::size_t from = std::min(at + 2 * i, recordText.size());
        bytes[i] = std::string(recordText.substr(from, 2));
    }
    return bytes;
}

// ---------------------------------------------------------------------------

void FrmSutra::CommitEdit() {
    corpus_.gTextChanged = false;
    std::optional<std::string> record = PaneRecord();
    if (!record) return;
    corpus_.gDataModified = true;
    StoreEdit(corpus_, corpus_.gCurSutra, std::move(*record));
}

std::optional<std::string> FrmSutra::PaneRecord() const {
    // A record whose text could not be had is not on screen, whatever the
    // pane shows: nothing of it may reach the edit cache. Nor may anything
    // of a document the pane kept from another sutra, when this one had
    // nothing to render.
    if (!IsRecordNumber(corpus_.gCurSutra) || !shownReadable_ || paneRecord_ != corpus_.gCurSutra) return std::nullopt;

    // A pane as the last rendering left it changes nothing, so the record
    // keeps its exact bytes (leading blanks and lone line feeds included).
    const std::string paneText = rtbE[0]->Text();
    if (paneText == renderedText_) return std::nullopt;

    const std::string refCaption = lblRef->Caption();
    const std::array<std::string, 2> captions{lblkaumudi[0]->Caption(), lblkaumudi[1]->Caption()};

    CommitSources sources;
    sources.refCaption = refCaption;
    sources.kaumudiCaptions = {captions[0], captions[1]};
    sources.shownNumberBytes = {shownNumberBytes_[0], shownNumberBytes_[1]};
    sources.fields = &state_.gField;
    sources.rendered = paneSections_;
    for (const SectionRow& row : SectionTable) sources.hidden[static_cast<std::size_t>(row.k)] = state_.*row.hidden;

    std::string record = RebuildRecord(paneText, sources);
    const std::optional<std::string> current = ReadRecordText(corpus_, corpus_.gCurSutra);
    if (current && *current == record) return std::nullopt;
    return record;
}

void FrmSutra::ShowSutra(int k) {
    if (corpus_.gTextChanged) CommitEdit();
    if (!IsRecordNumber(k)) return;

    // A record without text, or one whose read fails (the data file closed
    // by a rejected reload), shows as an empty record.
    const std::optional<std::string> text = ReadRecordText(corpus_, k);
    shownReadable_ = text.has_value();
    const std::string_view recordText = text ? std::string_view(*text) : std::string_view();

    corpus_.gCurSutra = k;

    const RecordFields fields = SplitRecord(recordText);
    lblRef->SetCaption(std::string(RefPrefix) + fields.label);
    for (const SectionRow& row : SectionTable)
        state_.gField[static_cast<std::size_t>(row.k)] = fields.sections[static_cast<std::size_t>(row.k - 1)];

    shownNumberBytes_ = NumberBytes(recordText, fields);
    const std::array<int32_t, 2> numbers{fields.siddhanta, fields.laghu};
    for (std::size_t i = 0; i < 2; ++i)
        lblkaumudi[i]->SetCaption(std::string(KaumudiPrefix[i]) + std::to_string(numbers[i]));

    RenderSections();

    for (ListControl* list : lstVykE) {
        if (list->Visible()) {
            list->SetFocus();
            break;
        }
    }
    if (lstVykEx[0]->Visible()) lstVykEx[0]->SetFocus();
}

void FrmSutra::mnuTools_Click() {
    if (busy() || !IsRecordNumber(corpus_.gCurSutra)) return;
    mnuToolsUndo->setEnabled(HasEdit(corpus_, corpus_.gCurSutra));
}

void FrmSutra::mnuToolsUndo_Click() {
    if (busy() || !IsRecordNumber(corpus_.gCurSutra)) return;
    DropEdit(corpus_, corpus_.gCurSutra);
    ShowSutra(corpus_.gCurSutra);
}

}  // namespace vyk
