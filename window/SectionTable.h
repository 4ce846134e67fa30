#pragma once
// The seven sections of a sutra in their fixed display and storage order.

#include <array>
#include <string>
#include <string_view>

#include "corpus/SutraRecord.h"

namespace vyk {

// Section texts and flags by section number, 1 to SectionCount; item 0 is
// unused, so that indexes follow the section numbers.
using SectionTexts = std::array<std::string, SectionCount + 1>;
using SectionFlags = std::array<bool, SectionCount + 1>;

inline constexpr bool IsSectionNumber(int k) { return k >= 1 && k <= SectionCount; }

// The section texts of the sutra on display and which sections the View
// menu hides.
struct SutraSections {
    SectionTexts gField;

    bool gHideSutra = false;
    bool gHideSandhi = false;
    bool gHideVartika = false;
    bool gHideVritti = false;
    bool gHideAnuVritti = false;
    bool gHideTranslation = false;
    bool gHideExplanation = false;
};

struct SectionRow {
    int k;                             // place among the record's sections and index of gField
    std::string_view SectionHead;
    int caretOffset;                   // the head's length plus 1: where Insert puts the caret
    bool SutraSections::*hidden;       // the section's hidden flag
    std::string_view viewItem;         // View item on frmSutra (objectName)
    std::string_view viewCaption;
    std::string_view popupViewItem;    // View item on frmPop
    std::string_view popupViewCaption;
    std::string_view insertItem;       // Insert item of the Tools menu on frmSutra
    std::string_view insertCaption;
};

inline constexpr std::array<SectionRow, SectionCount> SectionTable{{
    {1, "Sutra", 6, &SutraSections::gHideSutra,
     "mSutra", "&Sutra", "mViewSutra", "&Sutra", "mnuInsertSutra", "&Sutra"},
    {2, "Pada-Patha", 11, &SutraSections::gHideSandhi,
     "mSandhi", "Pa&da-Patha", "mViewSandhi", "Pa&da-Patha", "mnuInsertSandhi", "Pa&da-Patha"},
    {3, "Vartika", 8, &SutraSections::gHideVartika,
     "mVartika", "&Vartika", "mViewVartika", "&Vartika", "mnuInsertVartika", "&Vartika"},
    {4, "Vritti", 7, &SutraSections::gHideVritti,
     "mVritti", "V&ritti", "mViewVritti", "V&ritti", "mnuInsertVritti", "V&ritti"},
    {5, "AnuVritti", 10, &SutraSections::gHideAnuVritti,
     "mAnuvritti", "&Anuvritti", "mViewAnuVritti", "&AnuVritti", "mnuInsertAnuVritti", "&AnuVritti"},
    {6, "Translation", 12, &SutraSections::gHideTranslation,
     "mTranslation", "&Translation", "mViewTranslation", "&Translation", "mnuInsertTranslation", "&Translation"},
    {7, "Explanation", 12, &SutraSections::gHideExplanation,
     "mExplanation", "&Explanation", "mViewExplanation", "&Explanation", "mnuInsertExplanation", "&Explanation"},
}};

static_assert([] {
    for (const SectionRow& row : SectionTable)
        if (row.caretOffset != static_cast<int>(row.SectionHead.size()) + 1) return false;
    return true;
}());

// The row of section k (1 to SectionCount).
inline constexpr const SectionRow& SectionRowOf(int k) { return SectionTable[static_cast<std::size_t>(k - 1)]; }

}  // namespace vyk
