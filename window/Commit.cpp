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
    const std::array<std::size_t, 8> head = FindHeadLines(paneText);

    std::string record;
    record.reserve(paneText.size() + 64);

    std::string_view label = sources.refCaption;
    label.remove_prefix(std::min(label.size(), RefPrefix.size()));
    AppendWithoutZeros(record, TrimBlanks(label));
    record += '\0';

    for (const SectionRow& row : SectionTable) {
        const auto j = static_cast<std::size_t>(row.k);
        if (sources.keepField[j] && sources.fields != nullptr) {
            AppendWithoutZeros(record, (*sources.fields)[j]);
        } else if (head[j] != std::string_view::npos) {
            const std::size_t start = head[j] + row.SectionHead.size() + CrLf.size();
            std::size_t end = paneText.size();
            for (std::size_t later = j + 1; later <= 7; ++later) {
                if (head[later] != std::string_view::npos) {
                    end = head[later];
                    break;
                }
            }
            std::string_view piece = paneText.substr(start, end - start);
            // The line end that closed the section in the pane is no part of
            // its text; a blank line typed at its end stays.
            if (piece.size() >= CrLf.size() && piece.substr(piece.size() - CrLf.size()) == CrLf)
                piece.remove_suffix(CrLf.size());
            AppendWithoutZeros(record, piece);
        }
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
    corpus_.gDataModified = true;
    corpus_.gTextChanged = false;

    const std::string paneText = rtbE[0]->Text();

    // A record whose text could not be had is not on screen, whatever the
    // pane shows: nothing of it may reach the edit cache.
    if (!IsRecordNumber(corpus_.gCurSutra) || !shownReadable_) return;

    const std::string refCaption = lblRef->Caption();
    const std::array<std::string, 2> captions{lblkaumudi[0]->Caption(), lblkaumudi[1]->Caption()};

    CommitSources sources;
    sources.refCaption = refCaption;
    sources.kaumudiCaptions = {captions[0], captions[1]};
    sources.shownNumberBytes = {shownNumberBytes_[0], shownNumberBytes_[1]};
    sources.fields = &state_.gField;
    // The pane keeps an older document when the sutra on screen had nothing
    // to render; its sections then come from the fields, never from the pane.
    const bool paneShowsCurrent = paneRecord_ == corpus_.gCurSutra;
    for (const SectionRow& row : SectionTable)
        sources.keepField[static_cast<std::size_t>(row.k)] = state_.*row.hidden || !paneShowsCurrent;

    StoreEdit(corpus_, corpus_.gCurSutra, RebuildRecord(paneText, sources));
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
