#pragma once
// The sutra pane's edit state and its one owner.

#include <array>
#include <optional>
#include <string>

#include "window/Commit.h"
#include "window/Rendering.h"
#include "window/SectionTable.h"

class QAction;

namespace vyk {

struct CorpusState;
class Label;
class RichTextPane;

// The controls the edit session shows a record in.
struct EditControls {
    RichTextPane* pane = nullptr;                 // rtbE(0)
    Label* lblRef = nullptr;
    std::array<Label*, 2> lblkaumudi{};
    std::array<QAction*, SectionCount> insertItems{};  // the Insert item of section k at k - 1
};

// The sutra on display and the pane's edit of it: the record as the cache
// or the file held it when it was shown, its section texts and which
// sections the View menu hides (their one home: rendering reads them here,
// and only the methods below change them), and whether the user changed the
// pane since. Every road that shows, renders, commits or drops the pane's
// text goes through one method here:
// - the pane holds the rendering of the sections, with each head's
//   characters marked, plus the user's edit; the marks move with the text,
//   so which section an edit reached is known, never searched for;
// - what a commit stores follows from the sections, the pane and the record
//   as shown alone, so commits made on the way (the one at the start of a
//   save) never change what a later one stores;
// - an edit taken back out by hand stores the record as it was shown.
class EditSession {
public:
    EditSession(CorpusState& corpus, EditControls controls);

    // The record on display (0 before the first display) and the change mark.
    int CurSutra() const { return gCurSutra; }
    bool TextChanged() const { return gTextChanged; }
    // The sections as last rendered, and the hidden flags.
    const SutraSections& Sections() const { return sections_; }

    // The set-up's empty pane, which belongs to no record.
    void ClearPane();

    // Commits the pending typing of the record on screen, then shows record
    // k: its label, numbers and sections.
    void ShowSutra(int k);

    // The View toggles and Insert render the sections again, with pending
    // typing folded into them first, so that it stays on screen and is
    // committed at the next display.
    void SetSectionHidden(int k, bool hidden);
    // Tools, Insert: an empty section k with the caret on its first line. A
    // section that holds text is never emptied: it is shown (a hidden one is
    // shown again) and the caret goes to the start of its text.
    void InsertSection(int k);

    // Stores the pane's pending typing in the edit cache, when that changes
    // what the cache holds; clears the change mark either way.
    void CommitEdit();
    // Whether a commit now would change what the edit cache holds.
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
    // whatever the mode, since the save has committed the pane already; nor
    // does an empty pane, which shows nothing of the record to type into.
    void SetWritable(bool writable);
    void SetSaving(bool saving);

private:
    // The sections with the pane's pending edit folded in.
    SectionTexts currentSections() const;
    // What the edit cache is to hold for the record on screen after a
    // commit ("" for no entry); nothing when the commit leaves it alone.
    std::optional<std::string> commitTarget() const;
    void commit();
    // Writes the pending edit into the sections; a rendering follows.
    void fold();
    // Renders the sections into the pane, marking each head's characters;
    // gives what the rendering put where.
    RenderedBody render();
    // Whether the pane shows nothing of the record: every section is hidden
    // or empty.
    bool paneEmpty() const;
    void updateLock();

    CorpusState& corpus_;
    EditControls controls_;

    int gCurSutra = 0;
    bool gTextChanged = false;
    SutraSections sections_;

    // The record on screen as the cache or the file held it when it was
    // shown, whether that was the cache's entry, and whether it could be
    // read at all.
    std::string shownRecord_;
    bool shownFromCache_ = false;
    bool readable_ = false;
    // Whether a commit stored something since the record was shown.
    bool storedSinceShown_ = false;

    bool writable_ = false;
    bool saving_ = false;
};

}  // namespace vyk
