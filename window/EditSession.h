#pragma once
// The sutra pane's edit state and its one owner.

#include <array>
#include <optional>
#include <string>

#include "window/Commit.h"

class QAction;

namespace vyk {

struct CorpusState;
struct WindowState;
class Label;
class RichTextPane;

// The controls the edit session shows a record in.
struct EditControls {
    RichTextPane* pane = nullptr;                 // rtbE(0)
    Label* lblRef = nullptr;
    std::array<Label*, 2> lblkaumudi{};
    std::array<QAction*, 7> insertItems{};       // the Insert item of section k at k - 1
};

// Which record the pane shows, what the last rendering put in it (the text
// and where each section stands), the fields of the record on display and
// whether the user changed the pane since it was shown. Every road that
// shows, renders, commits or drops the pane's text goes through one method
// here, so none of them can leave the others out of step:
// - the fields always hold the record on screen as shown, plus whatever
//   pending typing a re-rendering folded into them;
// - what a commit stores is the fields with the pane's pending edit folded
//   in, and only the sections that edit reached change;
// - a commit that stores a record makes it the record on screen, so that
//   "unchanged" afterwards means equal to what was stored.
class EditSession {
public:
    EditSession(CorpusState& corpus, WindowState& state, EditControls controls);

    // The record on display (0 before the first display) and the change mark.
    int CurSutra() const { return gCurSutra; }
    bool TextChanged() const { return gTextChanged; }

    // The set-up's empty pane, which belongs to no record.
    void ClearPane();

    // Commits the pending typing of the record on screen, then shows record
    // k: its label, numbers and sections.
    void ShowSutra(int k);

    // Renders the fields again, with pending typing folded into them first,
    // so that it stays on screen and is committed at the next display. The
    // View toggles and Insert run through here.
    void RenderSections();
    void SetSectionHidden(int k, bool hidden);
    // Tools, Insert: an empty section k with the caret on its first line. A
    // section that holds text is never emptied: it is shown (a hidden one is
    // shown again) and the caret goes to the start of its text.
    void InsertSection(int k);

    // Stores the pane's pending typing in the edit cache, when that changes
    // the record on screen; clears the change mark either way.
    void CommitEdit();
    // Whether a commit now would change the record on screen.
    bool CommitWouldChange() const;
    // Tools, Undo: the record on screen as the data file holds it (pending
    // typing is committed first, and so stays).
    void Undo();

    // The user changed the pane (or pressed a key that would have, in view mode).
    void MarkChanged() { gTextChanged = true; }
    // The corpus is being replaced: the pending typing belongs to a record
    // that the new corpus may hold elsewhere, and is never committed.
    void DropPendingTyping();

    // Edit mode: the pane takes typing. While a save runs it takes none,
    // whatever the mode, since the save has committed the pane already.
    void SetWritable(bool writable);
    void SetSaving(bool saving);

private:
    // What a commit would store: the record text, and the sections it holds;
    // nothing when it would leave the record as it is.
    struct Pending {
        std::string record;
        SectionTexts sections;
    };
    std::optional<Pending> pendingRecord() const;
    // The fields with the pane's pending edit folded in.
    SectionTexts currentSections() const;
    // Whether the pane holds this record's rendering, which the user may have
    // edited; not when the record had nothing to render and the pane kept
    // another one's document.
    bool paneIsOurs() const;
    // Writes the pending edit into the fields; a rendering follows.
    void fold();
    // Renders the fields into the pane and takes the layout of what it put there.
    void render();
    void commit();
    void updateLock();

    CorpusState& corpus_;
    WindowState& state_;
    EditControls controls_;

    int gCurSutra = 0;
    bool gTextChanged = false;

    // The record on screen as the cache or the file holds it, and whether
    // it could be read at all.
    std::string shownRecord_;
    bool readable_ = false;
    // The record whose rendering the pane holds (0: none), and that rendering.
    int paneRecord_ = 0;
    PaneLayout layout_;

    bool writable_ = false;
    bool saving_ = false;
};

}  // namespace vyk
