#include "window/EditSession.h"

#include <QAction>
#include <QFont>

#include <algorithm>

#include "corpus/CorpusState.h"
#include "corpus/SutraRecord.h"
#include "platform/Controls.h"
#include "platform/RichTextPane.h"
#include "platform/Services.h"
#include "window/Rendering.h"

namespace vyk {

EditSession::EditSession(CorpusState& corpus, EditControls controls) : corpus_(corpus), controls_(controls) {}

void EditSession::ClearPane() {
    controls_.pane->SetText("");
    updateLock();
}

void EditSession::ShowSutra(int k) {
    if (gTextChanged) commit();
    if (!IsRecordNumber(k)) return;

    // A record without text, or one whose read fails (the data file closed
    // by a rejected reload), shows as an empty record.
    const std::optional<std::string> text = ReadRecordText(corpus_, k);
    readable_ = text.has_value();
    shownRecord_ = text.value_or(std::string());
    shownFromCache_ = HasEdit(corpus_, k);
    storedSinceShown_ = false;
    gCurSutra = k;

    const RecordFields fields = SplitRecord(shownRecord_);
    controls_.lblRef->SetCaption(std::string(RefPrefix) + fields.label);
    for (const SectionRow& row : SectionTable)
        sections_.gField[static_cast<std::size_t>(row.k)] = fields.sections[static_cast<std::size_t>(row.k - 1)];
    const std::array<int32_t, 2> numbers{fields.siddhanta, fields.laghu};
    for (std::size_t i = 0; i < 2; ++i)
        controls_.lblkaumudi[i]->SetCaption(std::string(KaumudiPrefix[i]) + std::to_string(numbers[i]));

    render();
}

void EditSession::SetSectionHidden(int k, bool hidden) {
    fold();
    sections_.*SectionRowOf(k).hidden = hidden;
    render();
}

void EditSession::InsertSection(int k) {
    fold();
    const SectionRow& row = SectionRowOf(k);
    std::string& field = sections_.gField[static_cast<std::size_t>(k)];
    if (field.empty()) {
        field = "\r\n";
    } else {
        sections_.*row.hidden = false;
    }
    const RenderedBody rendered = render();

    // At the start of the section's first line, the paragraph after its
    // head. A hidden empty section is not on show: the caret then stands the
    // head's length plus one from the start of the text, as the design has
    // it; past the end it stands at the end.
    int caret = row.caretOffset;
    for (const auto& [paragraph, section] : rendered.headParagraphs) {
        if (section != k) continue;
        const std::vector<PaneLine> lines = controls_.pane->Lines();
        caret = 0;
        for (int i = 0; i <= paragraph && i < static_cast<int>(lines.size()); ++i)
            caret += static_cast<int>(lines[static_cast<std::size_t>(i)].text.size()) + 2;  // and its CR LF
    }
    controls_.pane->SetSelStart(caret);
    controls_.pane->SetFocus();
}

void EditSession::CommitEdit() {
    if (gTextChanged) commit();
}

bool EditSession::CommitWouldChange() const {
    if (!gTextChanged) return false;
    const std::optional<std::string> target = commitTarget();
    return target && *target != corpus_.gEditedText[static_cast<std::size_t>(gCurSutra)];
}

void EditSession::Undo() {
    if (!IsRecordNumber(gCurSutra)) return;
    DropEdit(corpus_, gCurSutra);
    ShowSutra(gCurSutra);
}

void EditSession::DropPendingTyping() {
    gTextChanged = false;
    // Nothing the pane holds may reach the new corpus's cache, not even
    // through a later View toggle: it shows a record of the old one.
    readable_ = false;
}

void EditSession::SetWritable(bool writable) {
    writable_ = writable;
    updateLock();
}

void EditSession::SetSaving(bool saving) {
    saving_ = saving;
    updateLock();
}

void EditSession::updateLock() { controls_.pane->SetLocked(!writable_ || saving_ || paneEmpty()); }

bool EditSession::paneEmpty() const {
    const SectionFlags rendered = RenderedSections(sections_);
    return std::find(rendered.begin(), rendered.end(), true) == rendered.end();
}

SectionTexts EditSession::currentSections() const {
    if (paneEmpty() || !readable_) return sections_.gField;
    return FoldPaneLines(sections_.gField, RenderedSections(sections_), controls_.pane->Lines());
}

std::optional<std::string> EditSession::commitTarget() const {
    // Nothing of a record that could not be read may reach the edit cache.
    if (!IsRecordNumber(gCurSutra) || !readable_) return std::nullopt;
    const SectionTexts sections = currentSections();
    const RecordFields shown = SplitRecord(shownRecord_);
    bool changed = false;
    for (const SectionRow& row : SectionTable) {
        const auto k = static_cast<std::size_t>(row.k);
        changed = changed || sections[k] != shown.sections[k - 1];
    }
    if (changed) {
        const std::array<std::string, 2> numbers{controls_.lblkaumudi[0]->Caption(),
                                                 controls_.lblkaumudi[1]->Caption()};
        return BuildEditedRecord(controls_.lblRef->Caption(), numbers, sections);
    }
    // The edit was taken back out: the cache holds again what it held when
    // the record was shown, byte for byte.
    if (storedSinceShown_) return shownFromCache_ ? shownRecord_ : std::string();
    return std::nullopt;
}

void EditSession::commit() {
    gTextChanged = false;
    const std::optional<std::string> target = commitTarget();
    if (!target || *target == corpus_.gEditedText[static_cast<std::size_t>(gCurSutra)]) return;
    if (target->empty()) {
        DropEdit(corpus_, gCurSutra);
    } else {
        StoreEdit(corpus_, gCurSutra, *target);
    }
    corpus_.gDataModified = true;
    storedSinceShown_ = true;
}

void EditSession::fold() { sections_.gField = currentSections(); }

RenderedBody EditSession::render() {
    const QByteArray faceBytes = controls_.lblkaumudi[0]->font().family().toLatin1();
    const std::string face(faceBytes.constData(), static_cast<std::size_t>(faceBytes.size()));

    const RenderedBody rendered = BuildSectionBody(sections_);
    for (const SectionRow& row : SectionTable)
        controls_.insertItems[static_cast<std::size_t>(row.k - 1)]->setEnabled(
            !rendered.rendered[static_cast<std::size_t>(row.k)]);

    // With nothing of the record to show the pane is empty, never another
    // record's text under this one's caption.
    if (rendered.body.empty()) {
        controls_.pane->SetText("");
    } else {
        controls_.pane->SetTextRTF("");
        controls_.pane->SetTextRTF(BuildRtfDocument(face, rendered.body), rendered.headParagraphs);
    }
    updateLock();

    DoEvents();
    return rendered;
}

}  // namespace vyk
