#include "platform/RichTextPane.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

#include "platform/FlagWhile.h"
#include "platform/InputCodes.h"
#include "platform/RtfReader.h"
#include "platform/Services.h"

namespace vyk {

namespace {

struct TypedControl {
    int qtKey;
    int character;
};

// Characters that Windows reports as typed for keys whose Qt event may
// carry no text.
constexpr TypedControl TypedControlTable[] = {
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9}, {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},    {Qt::Key_Escape, 27},
};

constexpr char LineEnd[] = "\r\n";

// Text() offset of a Qt document position: every paragraph before it
// contributes its CR LF, one more than Qt's single separator.
int TextOffset(const QTextCursor& cursor) { return cursor.position() + cursor.blockNumber(); }

// Text that a key would put into the document, as opposed to the control
// characters of BackSpace, Enter, Escape or Delete.
bool IsTypedText(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x20 && c.unicode() != 0x7F; });
}

char Latin1Byte(QChar c) { return c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '?'; }

// Text with its line breaks (CR LF, CR or LF) as the paragraph separators
// that a document's selected text holds.
QString AsParagraphs(const QString& text) {
    QString paragraphs;
    paragraphs.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
            paragraphs += QChar::ParagraphSeparator;
        } else {
            paragraphs += c;
        }
    }
    return paragraphs;
}

// What assistive tools (screen readers, on-screen keyboards, dictation) see
// of the pane and do to it. Their edits go through the pane's gate, as typing
// does; what they read is the letters the user sees.
class PaneAccessible : public QAccessibleWidget,
                       public QAccessibleTextInterface,
                       public QAccessibleEditableTextInterface {
public:
    explicit PaneAccessible(RichTextPane* pane) : QAccessibleWidget(pane, QAccessible::EditableText) {}

    static QAccessibleInterface* Create(const QString& className, QObject* object) {
        auto* pane = qobject_cast<RichTextPane*>(object);
        if (pane == nullptr || className != QLatin1String(pane->metaObject()->className())) return nullptr;
        return new PaneAccessible(pane);
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !pane()->Locked();
        state.readOnly = pane()->Locked();
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) return text(0, characterCount());
        return QAccessibleWidget::text(kind);
    }

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        const QTextCursor cursor = pane()->textCursor();
        const bool selected = selectionIndex == 0 && cursor.hasSelection();
        *startOffset = selected ? cursor.selectionStart() : 0;
        *endOffset = selected ? cursor.selectionEnd() : 0;
    }
    int selectionCount() const override { return pane()->textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override {
        QTextCursor cursor = pane()->textCursor();
        cursor.clearSelection();
        pane()->setTextCursor(cursor);
    }
    void setSelection(int, int startOffset, int endOffset) override { pane()->setTextCursor(span(startOffset, endOffset)); }
    int cursorPosition() const override { return pane()->textCursor().position(); }
    void setCursorPosition(int position) override { pane()->setTextCursor(span(position, position)); }
    QString text(int startOffset, int endOffset) const override {
        return pane()->ShownText(span(startOffset, endOffset).selectedText());
    }
    int characterCount() const override { return pane()->document()->characterCount() - 1; }
    QRect characterRect(int offset) const override {
        QRect rect = pane()->cursorRect(span(offset, offset));
        rect.moveTopLeft(pane()->viewport()->mapToGlobal(rect.topLeft()));
        return rect;
    }
    int offsetAtPoint(const QPoint& point) const override {
        return pane()->cursorForPosition(pane()->viewport()->mapFromGlobal(point)).position();
    }
    void scrollToSubstring(int startIndex, int) override {
        pane()->setTextCursor(span(startIndex, startIndex));
        pane()->ensureCursorVisible();
    }
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return {};
    }

    void deleteText(int startOffset, int endOffset) override {
        pane()->ReplaceFromAssistiveTool(startOffset, endOffset, {});
    }
    void insertText(int offset, const QString& text) override { pane()->ReplaceFromAssistiveTool(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString& text) override {
        pane()->ReplaceFromAssistiveTool(startOffset, endOffset, text);
    }

private:
    RichTextPane* pane() const { return static_cast<RichTextPane*>(widget()); }
    QTextCursor span(int startOffset, int endOffset) const {
        QTextCursor cursor(pane()->document());
        cursor.setPosition(std::clamp(startOffset, 0, characterCount()));
        cursor.setPosition(std::clamp(endOffset, 0, characterCount()), QTextCursor::KeepAnchor);
        return cursor;
    }
};

}  // namespace

RichTextPane::RichTextPane(QWidget* parent) : QTextEdit(parent), placement_(this) {
    // Pasted text arrives as plain bytes in the surrounding format, as the
    // corpus stores it.
    setAcceptRichText(false);
    // The right and middle buttons belong to the owner's popup menu.
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (loading_ || (removed == 0 && added == 0)) return;
        if (Change) Change();
    });
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(&PaneAccessible::Create);
        return true;
    }();
    (void)accessibleInstalled;
}

void RichTextPane::SetTextRTF(const std::string& rtf, const std::map<int, int>& paragraphMarks) {
    const FlagWhile loading(loading_);
    ReadRtf(rtf, *document(), paragraphMarks);
    moveCursor(QTextCursor::Start);
}

std::string RichTextPane::Text() const {
    std::string text;
    text.reserve(static_cast<std::size_t>(document()->characterCount()) + 2 * document()->blockCount());
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QString line = block.text();
        const bool last = !block.next().isValid();
        if (last && line.isEmpty()) break;
        for (QChar c : line) text.push_back(Latin1Byte(c));
        text.append(LineEnd);
    }
    return text;
}

void RichTextPane::SetText(const std::string& text) {
    const FlagWhile loading(loading_);
    ReadPlainText(text, *document());
    moveCursor(QTextCursor::Start);
}

std::vector<PaneLine> RichTextPane::Lines() const {
    std::vector<PaneLine> lines;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (!block.next().isValid() && block.length() <= 1) break;
        PaneLine line;
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int mark = fragment.charFormat().intProperty(MarkProperty);
            for (const QChar c : fragment.text()) {
                line.text.push_back(Latin1Byte(c));
                line.marks.push_back(mark);
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

int RichTextPane::SelStart() const {
    QTextCursor cursor = textCursor();
    cursor.setPosition(cursor.selectionStart());
    return TextOffset(cursor);
}

void RichTextPane::SetSelStart(int position) {
    QTextCursor cursor(document());
    int offset = 0;  // Text() offset of the current block's first character
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const int length = block.length() - 1;  // without the separator
        if (position <= offset + length || !block.next().isValid()) {
            const int inBlock = std::clamp(position - offset, 0, length);
            cursor.setPosition(block.position() + inBlock);
            break;
        }
        // A position on the LF of a CR LF pair stands at the next paragraph.
        offset += length + 2;
        if (position < offset) {
            cursor.setPosition(block.next().position());
            break;
        }
    }
    setTextCursor(cursor);
}

bool RichTextPane::Locked() const { return isReadOnly(); }

void RichTextPane::SetLocked(bool locked) {
    setReadOnly(locked);
    // A read-only QTextEdit drops the keyboard caret; the pane keeps it so
    // that the arrows still move through the text while it is locked. An
    // empty locked pane shows no caret: there is nothing to move through or
    // type into.
    if (locked) {
        setTextInteractionFlags(document()->isEmpty() ? Qt::NoTextInteraction
                                                      : Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
}

void RichTextPane::SetFocus() { setFocus(Qt::OtherFocusReason); }

bool RichTextPane::event(QEvent* event) {
    // A menu shortcut (Ctrl+S, a mnemonic on Alt) would take the key before
    // the pane sees it. The key-down handler is asked first; when it claims
    // the key, the shortcut is overridden and the key press that follows is
    // swallowed.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        pendingKey_.reset();
        // Left unclaimed, the key goes to the menu item's shortcut; with that
        // item disabled it comes back here as a key press.
        if (menuKeys_.contains(keyEvent->keyCombination())) {
            event->ignore();
            return false;
        }
        const int keyCode = VirtualKeyCode(keyEvent->key());
        if (keyCode != 0 && KeyDown) {
            int code = keyCode;
            KeyDown(code, ShiftBits(keyEvent->modifiers()));
            pendingKey_ = PendingKey{keyEvent->key(), keyEvent->modifiers(), code == 0};
            if (code == 0) {
                event->accept();
                return true;
            }
        }
    }
    return QTextEdit::event(event);
}

void RichTextPane::keyPressEvent(QKeyEvent* event) {
    const int keyCode = VirtualKeyCode(event->key());
    bool swallowed = false;
    if (pendingKey_ && pendingKey_->qtKey == event->key() &&
        pendingKey_->modifiers == event->modifiers()) {
        swallowed = pendingKey_->swallowed;  // the key-down handler has already seen it
    } else if (KeyDown) {
        int code = keyCode;
        KeyDown(code, ShiftBits(event->modifiers()));
        swallowed = keyCode != 0 && code == 0;
    }
    pendingKey_.reset();
    if (swallowed) {
        event->accept();
        return;
    }

    // With Alt down a key types nothing, as on Windows, where it goes to
    // the menu; so Ctrl+Alt+A or Alt+A neither reach KeyPress nor the text.
    const bool alt = event->modifiers().testFlag(Qt::AltModifier);

    // A letter the keyboard types goes in as the byte that shows it; one
    // without a byte is refused, as a paste of it is. A byte the program
    // typed (the glyph keyboard) is the text's own already.
    QString text = event->text();
    const bool programByte = dynamic_cast<const TypedByteEvent*>(event) != nullptr;
    if (!alt && !programByte && IsTypedText(text)) {
        char32_t refused = 0;
        if (std::optional<QString> bytes = ToPaneText(text, &refused)) {
            text = *bytes;
        } else if (Locked()) {
            text = RefusedTypingText(text);  // refused by the lock anyway; still typed input
        } else {
            if (RefusedCharacter) RefusedCharacter(refused);
            event->accept();
            return;
        }
    }

    if (!alt) {
        QString typed = text;
        if (typed.isEmpty()) {
            for (const TypedControl& row : TypedControlTable) {
                if (row.qtKey == event->key()) typed = QChar(row.character);
            }
        }
        RaiseKeyPresses(typed);
    }

    // Text typed into the document never carries the marks of the
    // characters it stands beside. Enter always starts a paragraph in the
    // format of the one it leaves: Shift+Enter would make a line break inside
    // the paragraph, which the one-byte text cannot express, and the editor's
    // own Enter on an empty line drops the pane's face and margins instead.
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool inserts = !alt && !command && !Locked() &&
                         (enter || (!text.isEmpty() && (text.front().isPrint() || text.front() == QLatin1Char('\t'))));
    if (inserts) {
        QTextCursor cursor = textCursor();
        if (enter) {
            QTextCharFormat format = cursor.charFormat();
            format.clearProperty(MarkProperty);
            cursor.insertBlock(cursor.blockFormat(), format);
        } else {
            insertUnmarked(cursor, text);
        }
        setTextCursor(cursor);
        ensureCursorVisible();
        event->accept();
        return;
    }
    if ((alt && !event->text().isEmpty()) || text != event->text()) {
        QKeyEvent forwarded(event->type(), event->key(), event->modifiers(), alt ? QString() : text,
                            event->isAutoRepeat(), event->count());
        QTextEdit::keyPressEvent(&forwarded);
        event->setAccepted(forwarded.isAccepted());
        return;
    }
    QTextEdit::keyPressEvent(event);
}

// Composed text (a dead key, an input method) is typed input like a key's:
// each committed character raises KeyPress, and a locked pane takes none of
// it, not even the composition shown while it is under way.
void RichTextPane::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    if (Locked()) {
        RaiseKeyPresses(RefusedTypingText(commit));
        event->accept();
        return;
    }

    char32_t refused = 0;
    const std::optional<QString> bytes = ToPaneText(commit, &refused);
    // The pane puts the committed text in itself, so that it carries no
    // mark; the editor is left only the composition still under way.
    QInputMethodEvent converted(event->preeditString(), event->attributes());
    if (bytes) {
        RaiseKeyPresses(*bytes);
        if (!bytes->isEmpty() || event->replacementLength() > 0) {
            QTextCursor cursor = textCursor();
            cursor.beginEditBlock();
            if (!bytes->isEmpty()) cursor.removeSelectedText();
            cursor.setPosition(cursor.position() + event->replacementStart());
            cursor.setPosition(cursor.position() + event->replacementLength(), QTextCursor::KeepAnchor);
            insertUnmarked(cursor, *bytes);
            cursor.endEditBlock();
        }
    } else {
        // A refused commit changes nothing: not even the text it was to
        // replace around the caret goes. Only a composition that goes on
        // is shown.
        if (RefusedCharacter) RefusedCharacter(refused);
        if (event->preeditString() == textCursor().block().layout()->preeditAreaText()) {
            event->accept();
            return;
        }
    }
    QTextEdit::inputMethodEvent(&converted);
    event->setAccepted(converted.isAccepted());
}

// Pastes and drops arrive as plain text in the pane's bytes; text holding a
// character without a byte is refused whole, never stored as "?".
void RichTextPane::insertFromMimeData(const QMimeData* source) {
    if (source == nullptr || !source->hasText()) return;
    char32_t refused = 0;
    const std::optional<QString> bytes = ToPaneText(source->text(), &refused);
    if (!bytes) {
        if (RefusedCharacter) RefusedCharacter(refused);
        return;
    }
    QTextCursor cursor = textCursor();
    insertUnmarked(cursor, *bytes);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void RichTextPane::ReplaceFromAssistiveTool(int start, int end, const QString& text) {
    if (Locked()) return;
    char32_t refused = 0;
    const std::optional<QString> bytes = ToPaneText(text, &refused);
    if (!bytes) {
        // The tool waits for this call to return: a message box opened inside
        // it would hold the tool until a person closed the box.
        QMetaObject::invokeMethod(
            this, [this, refused] { if (RefusedCharacter) RefusedCharacter(refused); }, Qt::QueuedConnection);
        return;
    }
    const int last = document()->characterCount() - 1;
    QTextCursor cursor(document());
    cursor.setPosition(std::clamp(start, 0, last));
    cursor.setPosition(std::clamp(end, 0, last), QTextCursor::KeepAnchor);

    // Tools often set the whole text to what they read with a word changed.
    // Only what differs is replaced, so the characters around it keep their
    // marks and the heads stay heads.
    const QString before = cursor.selectedText();
    const QString after = AsParagraphs(*bytes);
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) ++suffix;
    if (prefix + suffix == before.size() && prefix + suffix == after.size()) return;

    const int from = cursor.selectionStart();
    cursor.setPosition(from + static_cast<int>(prefix));
    cursor.setPosition(from + static_cast<int>(before.size() - suffix), QTextCursor::KeepAnchor);
    insertUnmarked(cursor, after.mid(prefix, after.size() - prefix - suffix));
}

void RichTextPane::insertUnmarked(QTextCursor& cursor, const QString& paneText) {
    if (paneText.isEmpty()) {
        cursor.removeSelectedText();
        return;
    }
    QTextCharFormat format = cursor.charFormat();
    format.clearProperty(MarkProperty);
    cursor.insertText(paneText, format);
}

QString RichTextPane::ShownText(const QString& paneText) const {
    QString text;
    text.reserve(paneText.size());
    for (const QChar c : paneText) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            text += QLatin1Char('\n');
            continue;
        }
        const char16_t code = c.unicode();
        const char32_t shown = CharacterForByte && code <= 0xFF ? CharacterForByte(static_cast<unsigned char>(code)) : code;
        text += QString::fromUcs4(&shown, 1);
    }
    return text;
}

std::optional<unsigned char> RichTextPane::ByteFor(char32_t character) const {
    if (ByteForCharacter) return ByteForCharacter(character);
    if (character > 0xFF) return std::nullopt;
    return static_cast<unsigned char>(character);
}

std::optional<QString> RichTextPane::ToPaneText(const QString& text, char32_t* refused) const {
    // A letter and its combining mark, as some sources send them, make one
    // precomposed letter first.
    const QString composed = text.normalized(QString::NormalizationForm_C);
    QString bytes;
    bytes.reserve(composed.size());
    for (const char32_t character : composed.toUcs4()) {
        const std::optional<unsigned char> byte = ByteFor(character);
        if (!byte) {
            if (refused != nullptr) *refused = character;
            return std::nullopt;
        }
        bytes += QChar(static_cast<char16_t>(*byte));
    }
    return bytes;
}

QString RichTextPane::RefusedTypingText(const QString& text) const {
    QString typed;
    for (const char32_t character : text.normalized(QString::NormalizationForm_C).toUcs4()) {
        const std::optional<unsigned char> byte = ByteFor(character);
        typed += QChar(static_cast<char16_t>(byte ? *byte : '?'));
    }
    return typed;
}

void RichTextPane::RaiseKeyPresses(const QString& typed) {
    if (!KeyPress) return;
    // By character, not by UTF-16 unit: a character beyond the first 65,536
    // is one key press.
    for (const char32_t code : typed.toUcs4()) {
        if (code == 0x7F) continue;  // Delete types nothing on Windows
        KeyPress(code <= 0xFF ? static_cast<int>(code) : '?');
    }
}

// Copy, cut and drag carry the letters the user sees, as plain text: a glyph
// byte goes out as its letter, and pasting it back gives the same byte.
QMimeData* RichTextPane::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    data->setText(ShownText(textCursor().selectedText()));
    return data;
}

void RichTextPane::mousePressEvent(QMouseEvent* event) {
    RaiseMouseDown(MouseDown, *this, *event);
    if (event->button() == Qt::MiddleButton) {
        event->accept();  // no paste of the X selection: the button opens a menu
        return;
    }
    QTextEdit::mousePressEvent(event);
}

void RichTextPane::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QTextEdit::mouseReleaseEvent(event);
}

}  // namespace vyk
