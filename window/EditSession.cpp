#include "window/EditSession.h"

#include <QAction>
#include <QFont>

#include "corpus/CorpusState.h"
#include "corpus/SutraRecord.h"
#include "platform/Controls.h"
#include "platform/RichTextPane.h"
#include "platform/Services.h"
#include "window/Rendering.h"
#include "window/SectionTable.h"
#include "window/WindowState.h"

namespace vyk {

EditSession::EditSession(CorpusState& corpus, WindowState& state, EditControls controls)
    : corpus_(corpus), state_(state), controls_(controls) {}

void EditSession::ClearPane() {
    controls_.pane->SetText("");
    paneRecord_ = 0;
    layout_ = {};
}

void EditSession::ShowSutra(int k) {
    if (gTextChanged) commit();
    if (!IsRecordNumber(k)) return;

    // A record without text, or one whose read fails (the data file closed
    // by a rejected reload), shows as an empty record.
    const std::optional<std::string> text = ReadRecordText(corpus_, k);
    readable_ = text.has_value();
    shownRecord_ = text.value_or(std::string());
    gCurSutra = k;

    const RecordFields fields = SplitRecord(shownRecord_);
    controls_.lblRef->SetCaption(std::string(RefPrefix) + fields.label);
    for (const SectionRow& row : SectionTable)
        state_.gField[static_cast<std::size_t>(row.k)] = fields.sections[static_cast<std::size_t>(row.k - 1)];
    const std::array<int32_t, 2> numbers{fields.siddhanta, fields.laghu};
    for (std::size_t i = 0; i < 2; ++i)
        controls_.lblkaumudi[i]->SetCaption(std::string(KaumudiPrefix[i]) + std::to_string(numbers[i]));

    render();
}

void EditSession::RenderSections() {
    fold();
    render();
}

void EditSession::SetSectionHidden(int k, bool hidden) {
    state_.*SectionRowOf(k).hidden = hidden;
    RenderSections();
}

void EditSession::InsertSection(int k) {
    fold();
    const SectionRow& row = SectionRowOf(k);
    std::string& field = state_.gField[static_cast<std::size_t>(k)];
    if (field.empty()) {
        field = "\r\n";
    } else {
        state_.*row.hidden = false;
    }
    render();

    // At the start of the section's first line. A hidden empty section is
    // not on show: the caret then stands the head's length plus one from
    // the start of the text, as the design has it; past the end it stands
    // at the end.
    int caret = row.caretOffset;
    if (paneRecord_ == gCurSutra) {
        for (const PaneSection& section : layout_.sections) {
            if (section.k == k) caret = static_cast<int>(section.textBegin);
        }
    }
    controls_.pane->SetSelStart(caret);
    controls_.pane->SetFocus();
}

void EditSession::CommitEdit() {
    if (gTextChanged) commit();
}

bool EditSession::CommitWouldChange() const { return gTextChanged && pendingRecord().has_value(); }

void EditSession::Undo() {
    if (!IsRecordNumber(gCurSutra)) return;
    DropEdit(corpus_, gCurSutra);
    ShowSutra(gCurSutra);
}

void EditSession::DropPendingTyping() {
    gTextChanged = false;
    paneRecord_ = 0;
}

void EditSession::SetWritable(bool writable) {
    writable_ = writable;
    updateLock();
}

void EditSession::SetSaving(bool saving) {
    saving_ = saving;
    updateLock();
}

void EditSession::updateLock() { controls_.pane->SetLocked(!writable_ || saving_); }

bool EditSession::paneIsOurs() const { return IsRecordNumber(gCurSutra) && readable_ && paneRecord_ == gCurSutra; }

SectionTexts EditSession::currentSections() const {
    SectionTexts sections;
    for (const SectionRow& row : SectionTable) {
        const auto k = static_cast<std::size_t>(row.k);
        sections[k] = state_.gField[k];
    }
    // The sections on show are what the rendering put there with the user's
    // edit applied; the others are not in the pane, unless the user typed
    // one's head.
    if (paneIsOurs()) {
        std::vector<TypedChange> changes;
        for (const PaneChange& change : controls_.pane->ChangesSinceLoad()) {
            changes.push_back({static_cast<std::size_t>(change.begin), static_cast<std::size_t>(change.end),
                               static_cast<std::size_t>(change.removed)});
        }
        const FoldedSections folded = FoldPaneText(layout_, controls_.pane->Text(), changes);
        for (std::size_t k = 1; k <= 7; ++k) {
            if (folded.taken[k]) sections[k] = folded.texts[k];
        }
    }
    return sections;
}

void EditSession::fold() {
    const SectionTexts sections = currentSections();
    for (std::size_t k = 1; k <= 7; ++k) state_.gField[k] = sections[k];
}

std::optional<EditSession::Pending> EditSession::pendingRecord() const {
    // Nothing of a record that could not be read may reach the edit cache.
    if (!IsRecordNumber(gCurSutra) || !readable_) return std::nullopt;
    const SectionTexts sections = currentSections();
    const RecordFields stored = SplitRecord(shownRecord_);
    std::array<std::string, SectionCount> seven;
    bool changed = false;
    for (std::size_t k = 1; k <= 7; ++k) {
        seven[k - 1] = sections[k];
        changed = changed || sections[k] != stored.sections[k - 1];
    }
    if (!changed) return std::nullopt;
    return Pending{WithSections(shownRecord_, seven), sections};
}

void EditSession::commit() {
    gTextChanged = false;
    std::optional<Pending> pending = pendingRecord();
    if (!pending) return;
    corpus_.gDataModified = true;
    StoreEdit(corpus_, gCurSutra, pending->record);
    // What was stored is now the record on screen: taking the edit back out
    // of the pane changes it again.
    shownRecord_ = std::move(pending->record);
    for (std::size_t k = 1; k <= 7; ++k) state_.gField[k] = std::move(pending->sections[k]);
}

void EditSession::render() {
    const QByteArray faceBytes = controls_.lblkaumudi[0]->font().family().toLatin1();
    const std::string face(faceBytes.constData(), static_cast<std::size_t>(faceBytes.size()));

    for (QAction* item : controls_.insertItems) item->setEnabled(true);
    const RenderedBody rendered = BuildSectionBody(state_);
    for (const SectionRow& row : SectionTable) {
        if (rendered.rendered[static_cast<std::size_t>(row.k)]) controls_.insertItems[row.k - 1]->setEnabled(false);
    }

    // With nothing to show the pane keeps the document it had.
    if (!rendered.body.empty()) {
        controls_.pane->SetTextRTF("");
        controls_.pane->SetTextRTF(BuildRtfDocument(face, rendered.body));
        paneRecord_ = gCurSutra;
        SectionTexts fields;
        for (std::size_t k = 1; k <= 7; ++k) fields[k] = state_.gField[k];
        layout_ = LayOutPane(fields, rendered.rendered);
    }

    DoEvents();
}

}  // namespace vyk
