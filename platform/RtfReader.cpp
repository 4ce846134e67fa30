#include "platform/RtfReader.h"

#include <QColor>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/Twips.h"

namespace vyk {

namespace {

enum class Destination { Text, FontTable, ColorTable, Skip };

enum class Word {
    FontTable,
    ColorTable,
    SkipDestination,
    DefaultFont,
    DefaultTab,
    Paragraph,
    ParagraphDefaults,
    LeftIndent,
    RightIndent,
    AlignLeft,
    Plain,
    Font,
    FontSize,
    Color,
    Underline,
    UnderlineNone,
    Red,
    Green,
    Blue,
};

struct WordRow {
    std::string_view name;
    Word word;
};

// The control words the pane acts on. Destinations that carry no text of
// the document are listed so that their content never shows as text;
// `{\*\...}` groups are skipped without being listed.
constexpr WordRow WordTable[] = {
    {"fonttbl", Word::FontTable},
    {"colortbl", Word::ColorTable},
    {"deff", Word::DefaultFont},
    {"deftab", Word::DefaultTab},
    {"par", Word::Paragraph},
    {"pard", Word::ParagraphDefaults},
    {"li", Word::LeftIndent},
    {"ri", Word::RightIndent},
    {"ql", Word::AlignLeft},
    {"plain", Word::Plain},
    {"f", Word::Font},
    {"fs", Word::FontSize},
    {"cf", Word::Color},
    {"ul", Word::Underline},
    {"ulnone", Word::UnderlineNone},
    {"red", Word::Red},
    {"green", Word::Green},
    {"blue", Word::Blue},
    {"stylesheet", Word::SkipDestination},
    {"info", Word::SkipDestination},
    {"pict", Word::SkipDestination},
    {"object", Word::SkipDestination},
    {"header", Word::SkipDestination},
    {"headerl", Word::SkipDestination},
    {"headerr", Word::SkipDestination},
    {"headerf", Word::SkipDestination},
    {"footer", Word::SkipDestination},
    {"footerl", Word::SkipDestination},
    {"footerr", Word::SkipDestination},
    {"footerf", Word::SkipDestination},
    {"footnote", Word::SkipDestination},
    {"fldinst", Word::SkipDestination},
    {"falt", Word::SkipDestination},
    {"filetbl", Word::SkipDestination},
};

// Parameters are clamped here before any use, so a run of digits of any
// length neither overflows nor produces an absurd font or indent.
constexpr std::int64_t ParameterLimit = 1'000'000'000;
constexpr int DefaultHalfPoints = 24;
constexpr int MinHalfPoints = 2;
constexpr int MaxHalfPoints = 3276;
constexpr int MaxIndentTwips = 31'680;  // 22 inches
constexpr int DefaultTabTwips = 720;

struct CharState {
    int font = -1;  // -1: the document's default font
    int halfPoints = DefaultHalfPoints;
    int color = -1;  // -1: the pane's own text colour
    bool underline = false;
};

struct ParagraphState {
    int leftTwips = 0;
    int rightTwips = 0;
};

struct GroupState {
    Destination destination = Destination::Text;
    CharState chars;
    ParagraphState paragraph;
};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class RtfReader {
public:
    RtfReader(std::string_view rtf, QTextDocument& document, const std::map<int, int>& paragraphMarks)
        : rtf_(rtf), document_(document), cursor_(&document), paragraphMarks_(paragraphMarks) {}

    void Run();

private:
    void readControl();
    void readControlWord();
    void applyWord(Word word, bool hasParameter, int parameter);
    void addByte(unsigned char byte, bool escaped);
    void openGroup();
    void closeGroup();
    void endParagraph();
    void flushRun();
    void commitFont();
    void commitColor();
    QTextCharFormat charFormat() const;
    QTextBlockFormat blockFormat() const;

    std::string_view rtf_;
    std::size_t at_ = 0;
    bool finished_ = false;
    QTextDocument& document_;
    QTextCursor cursor_;
    const std::map<int, int>& paragraphMarks_;
    int paragraph_ = 0;  // the paragraph being read, counted from 0

    GroupState state_;
    std::vector<GroupState> stack_;
    QString run_;

    int defaultFont_ = 0;
    std::map<int, QString> fonts_;
    int fontNumber_ = 0;
    QByteArray fontName_;
    std::vector<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorStarted_ = false;
};

void RtfReader::Run() {
    document_.clear();
    QTextOption option = document_.defaultTextOption();
    option.setTabStopDistance(DefaultTabTwips / TwipsPerPixel);
    document_.setDefaultTextOption(option);
    cursor_.beginEditBlock();
    while (at_ < rtf_.size() && !finished_) {
        const char c = rtf_[at_];
        switch (c) {
        case '{':
            ++at_;
            openGroup();
            break;
        case '}':
            ++at_;
            closeGroup();
            break;
        case '\\':
            ++at_;
            readControl();
            break;
        case '\r':
        case '\n':
            ++at_;  // line ends in the file are not text
            break;
        default:
            ++at_;
            addByte(static_cast<unsigned char>(c), false);
            break;
        }
    }
    flushRun();
    if (!finished_) cursor_.setBlockFormat(blockFormat());  // a document cut off before its end
    cursor_.endEditBlock();
}

void RtfReader::readControl() {
    if (at_ >= rtf_.size()) return;  // a lone backslash at the very end
    const char c = rtf_[at_];
    if (IsLetter(c)) {
        readControlWord();
        return;
    }
    ++at_;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        addByte(static_cast<unsigned char>(c), true);
        break;
    case '\'': {
        // Exactly two hexadecimal digits make the byte; anything less drops
        // the escape and leaves what follows to be read normally.
        if (at_ + 1 < rtf_.size()) {
            const int high = HexValue(rtf_[at_]);
            const int low = HexValue(rtf_[at_ + 1]);
            if (high >= 0 && low >= 0) {
                at_ += 2;
                addByte(static_cast<unsigned char>(high * 16 + low), true);
            }
        }
        break;
    }
    case '*':
        // Marks a destination a reader may ignore; none of them is ours.
        flushRun();
        state_.destination = Destination::Skip;
        break;
    case '\r':
    case '\n':
        if (state_.destination == Destination::Text) endParagraph();
        break;
    default:
        break;  // other control symbols carry nothing the pane shows
    }
}

void RtfReader::readControlWord() {
    const std::size_t nameStart = at_;
    while (at_ < rtf_.size() && IsLetter(rtf_[at_])) ++at_;
    const std::string_view name = rtf_.substr(nameStart, at_ - nameStart);

    bool negative = false;
    if (at_ + 1 < rtf_.size() && rtf_[at_] == '-' && IsDigit(rtf_[at_ + 1])) {
        negative = true;
        ++at_;
    }
    bool hasParameter = false;
    std::int64_t value = 0;
    while (at_ < rtf_.size() && IsDigit(rtf_[at_])) {
        hasParameter = true;
        value = std::min(ParameterLimit, value * 10 + (rtf_[at_] - '0'));
        ++at_;
    }
    if (at_ < rtf_.size() && rtf_[at_] == ' ') ++at_;  // the delimiter belongs to the word

    const int parameter = static_cast<int>(negative ? -value : value);
    for (const WordRow& row : WordTable) {
        if (row.name == name) {
            applyWord(row.word, hasParameter, parameter);
            return;
        }
    }
}

void RtfReader::applyWord(Word word, bool hasParameter, int parameter) {
    const Destination destination = state_.destination;
    if (destination == Destination::Skip) return;
    if (word == Word::SkipDestination) {
        flushRun();
        state_.destination = Destination::Skip;
        return;
    }

    if (destination == Destination::FontTable) {
        if (word == Word::Font) {
            commitFont();
            fontNumber_ = parameter;
        }
        return;
    }
    if (destination == Destination::ColorTable) {
        const int component = std::clamp(parameter, 0, 255);
        if (word == Word::Red || word == Word::Green || word == Word::Blue) colorStarted_ = true;
        if (word == Word::Red) red_ = component;
        if (word == Word::Green) green_ = component;
        if (word == Word::Blue) blue_ = component;
        return;
    }

    switch (word) {
    case Word::FontTable:
        flushRun();
        state_.destination = Destination::FontTable;
        fontName_.clear();
        fontNumber_ = 0;
        break;
    case Word::ColorTable:
        flushRun();
        state_.destination = Destination::ColorTable;
        colorStarted_ = false;
        red_ = green_ = blue_ = 0;
        break;
    case Word::SkipDestination:
        break;  // handled above, in every destination
    case Word::DefaultFont:
        defaultFont_ = parameter;
        break;
    case Word::DefaultTab:
        if (parameter > 0) {
            QTextOption option = document_.defaultTextOption();
            option.setTabStopDistance(std::min(parameter, MaxIndentTwips) / TwipsPerPixel);
            document_.setDefaultTextOption(option);
        }
        break;
    case Word::Paragraph:
        endParagraph();
        break;
    case Word::ParagraphDefaults:
        state_.paragraph = ParagraphState{};
        break;
    case Word::LeftIndent:
        state_.paragraph.leftTwips = std::clamp(parameter, 0, MaxIndentTwips);
        break;
    case Word::RightIndent:
        state_.paragraph.rightTwips = std::clamp(parameter, 0, MaxIndentTwips);
        break;
    case Word::AlignLeft:
        break;  // left alignment is the only one the pane shows
    case Word::Plain:
        flushRun();
        state_.chars = CharState{};
        break;
    case Word::Font:
        flushRun();
        state_.chars.font = parameter;
        break;
    case Word::FontSize:
        flushRun();
        state_.chars.halfPoints =
            hasParameter ? std::clamp(parameter, MinHalfPoints, MaxHalfPoints) : DefaultHalfPoints;
        break;
    case Word::Color:
        flushRun();
        state_.chars.color = parameter;
        break;
    case Word::Underline:
        flushRun();
        state_.chars.underline = !hasParameter || parameter != 0;
        break;
    case Word::UnderlineNone:
        flushRun();
        state_.chars.underline = false;
        break;
    case Word::Red:
    case Word::Green:
    case Word::Blue:
        break;  // colour components mean something only in the colour table
    }
}

void RtfReader::addByte(unsigned char byte, bool escaped) {
    switch (state_.destination) {
    case Destination::Text:
        if (byte == 0 || byte == '\n') return;  // a record text can hold neither
        if (byte == '\r') {
            endParagraph();
            return;
        }
        run_.append(QChar(byte));
        return;
    case Destination::FontTable:
        if (byte == ';' && !escaped) {
            commitFont();
        } else if (byte != 0) {
            fontName_.append(static_cast<char>(byte));
        }
        return;
    case Destination::ColorTable:
        if (byte == ';' && !escaped) commitColor();
        return;
    case Destination::Skip:
        return;
    }
}

void RtfReader::openGroup() {
    flushRun();
    stack_.push_back(state_);
}

void RtfReader::closeGroup() {
    flushRun();
    if (stack_.empty()) return;  // a stray closing brace
    if (stack_.size() == 1) {
        // The last paragraph takes the settings in force at the document's end.
        cursor_.setBlockFormat(blockFormat());
        finished_ = true;
    }
    if (state_.destination == Destination::FontTable &&
        stack_.back().destination != Destination::FontTable) {
        commitFont();  // a table whose last entry lacks its ";"
    }
    state_ = stack_.back();
    stack_.pop_back();
}

void RtfReader::endParagraph() {
    flushRun();
    cursor_.setBlockFormat(blockFormat());
    cursor_.insertBlock(blockFormat(), charFormat());
    ++paragraph_;
}

void RtfReader::flushRun() {
    if (run_.isEmpty()) return;
    QTextCharFormat format = charFormat();
    if (const auto mark = paragraphMarks_.find(paragraph_); mark != paragraphMarks_.end())
        format.setProperty(MarkProperty, mark->second);
    cursor_.insertText(run_, format);
    run_.clear();
}

void RtfReader::commitFont() {
    const QString name = QString::fromLatin1(fontName_).trimmed();
    if (!name.isEmpty()) fonts_[fontNumber_] = name;
    fontName_.clear();
}

void RtfReader::commitColor() {
    // An entry without components is the "automatic" colour.
    colors_.push_back(colorStarted_ ? QColor(red_, green_, blue_) : QColor());
    red_ = green_ = blue_ = 0;
    colorStarted_ = false;
}

QTextCharFormat RtfReader::charFormat() const {
    QTextCharFormat format;
    auto face = fonts_.find(state_.chars.font);
    if (face == fonts_.end()) face = fonts_.find(defaultFont_);
    if (face != fonts_.end()) format.setFontFamilies(QStringList{face->second});
    format.setFontPointSize(state_.chars.halfPoints / 2.0);
    const int color = state_.chars.color;
    if (color >= 0 && static_cast<std::size_t>(color) < colors_.size() && colors_[color].isValid()) {
        format.setForeground(colors_[color]);
    }
    format.setFontUnderline(state_.chars.underline);
    return format;
}

QTextBlockFormat RtfReader::blockFormat() const {
    QTextBlockFormat format;
    format.setLeftMargin(state_.paragraph.leftTwips / TwipsPerPixel);
    format.setRightMargin(state_.paragraph.rightTwips / TwipsPerPixel);
    format.setAlignment(Qt::AlignLeft);
    return format;
}

}  // namespace

void ReadRtf(std::string_view rtf, QTextDocument& document, const std::map<int, int>& paragraphMarks) {
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);  // a new document has nothing to undo
    if (rtf.substr(0, 5) == "{\\rtf") {
        RtfReader(rtf, document, paragraphMarks).Run();
    } else {
        ReadPlainText(rtf, document);
    }
    document.setUndoRedoEnabled(undo);
}

void ReadPlainText(std::string_view text, QTextDocument& document) {
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    QString line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            cursor.insertText(line);
            cursor.insertBlock();
            line.clear();
        } else if (c != '\0') {
            line.append(QChar(static_cast<unsigned char>(c)));
        }
    }
    cursor.insertText(line);
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

}  // namespace vyk
