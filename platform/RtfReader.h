#pragma once

#include <map>
#include <string_view>

#include <QTextFormat>

class QTextDocument;

namespace vyk {

// Replaces the whole content of `document` with the RTF document `rtf`:
// font and colour tables, paragraph indents and alignment, and runs of text
// with their font, size, colour and underline. Text is one byte per
// character (Latin-1). Control words it does not know are skipped, as are
// unknown destinations; reading stops where the outermost group closes.
// Input that does not open with "{\rtf" is taken as plain text. Malformed
// input (unbalanced braces, a cut-off escape, unknown font or colour
// numbers, huge parameters) never crashes and never hangs: the reader runs
// once over the bytes.
//
// `paragraphMarks` maps paragraphs (counted from 0) to a number that each of
// their characters carries in the property MarkProperty.
void ReadRtf(std::string_view rtf, QTextDocument& document, const std::map<int, int>& paragraphMarks = {});

// The character property that carries a paragraph's mark.
inline constexpr int MarkProperty = QTextFormat::UserProperty + 1;

// Fills `document` with plain text: CR LF, a lone CR and a lone LF each end
// a paragraph.
void ReadPlainText(std::string_view text, QTextDocument& document);

}  // namespace vyk
