#include "platform/RichTextPane.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

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

// Sets a flag for as long as it lives.
class FlagWhile {
public:
    explicit FlagWhile(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~FlagWhile() { flag_ = was_; }
    FlagWhile(const FlagWhile&) = delete;
    FlagWhile& operator=(const FlagWhile&) = delete;

private:
    bool& flag_;
    bool was_;
};

}  // namespace

RichTextPane::RichTextPane(QWidget* parent) : QTextEdit(parent), placement_(this) {
    // Pasted text arrives as plain bytes in the surrounding format, as the
    // corpus stores it.
    setAcceptRichText(false);
    // The right and middle buttons belong to the owner's popup menu.
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(document(), &QTextDocument::contentsChange, this, [this](int from, int removed, int added) {
        if (loading_ || (removed == 0 && added == 0)) return;
        noteChange(from, removed, added);
        if (Change) Change();
    });
}

// Merges one change into the stretches changed since the load. Stretches it
// overlaps or touches become one, whose removed count is what the loaded
// document held there: their own removed counts plus the untouched
// characters between them.
void RichTextPane::noteChange(int from, int removed, int added) {
    int begin = from;
    int end = from + removed;
    int inStretches = 0;
    int removedByStretches = 0;
    std::vector<PaneChange> merged;
    merged.reserve(changes_.size() + 1);
    std::size_t at = 0;
    for (; at < changes_.size() && changes_[at].end < begin; ++at) merged.push_back(changes_[at]);
    for (; at < changes_.size() && changes_[at].begin <= end; ++at) {
        begin = std::min(begin, changes_[at].begin);
        end = std::max(end, changes_[at].end);
        inStretches += changes_[at].end - changes_[at].begin;
        removedByStretches += changes_[at].removed;
    }
    const int shift = added - removed;
    merged.push_back({begin, end + shift, end - begin - inStretches + removedByStretches});
    for (; at < changes_.size(); ++at)
        merged.push_back({changes_[at].begin + shift, changes_[at].end + shift, changes_[at].removed});
    changes_ = std::move(merged);
}

void RichTextPane::SetTextRTF(const std::string& rtf) {
    const FlagWhile loading(loading_);
    ReadRtf(rtf, *document());
    changes_.clear();
    moveCursor(QTextCursor::Start);
}

std::string RichTextPane::Text() const {
    std::string text;
    text.reserve(static_cast<std::size_t>(document()->characterCount()) + 2 * document()->blockCount());
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QString line = block.text();
        const bool last = !block.next().isValid();
        if (last && line.isEmpty()) break;
        for (QChar c : line) {
            const char16_t code = c.unicode();
            text.push_back(code <= 0xFF ? static_cast<char>(code) : '?');
        }
        text.append(LineEnd);
    }
    return text;
}

void RichTextPane::SetText(const std::string& text) {
    const FlagWhile loading(loading_);
    ReadPlainText(text, *document());
    changes_.clear();
    moveCursor(QTextCursor::Start);
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
    // that the arrows still move through the text while it is locked.
    if (locked) {
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
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

    // Shift+Enter would make a line break inside the paragraph, which the
    // one-byte text cannot express; it starts a paragraph like Enter.
    const bool shiftEnter = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
                            event->modifiers().testFlag(Qt::ShiftModifier);
    if (shiftEnter || (alt && !event->text().isEmpty()) || text != event->text()) {
        const Qt::KeyboardModifiers modifiers =
            shiftEnter ? event->modifiers() & ~Qt::ShiftModifier : event->modifiers();
        QKeyEvent forwarded(event->type(), event->key(), modifiers, alt ? QString() : text, event->isAutoRepeat(),
                            event->count());
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
    QInputMethodEvent converted(event->preeditString(), event->attributes());
    if (bytes) {
        RaiseKeyPresses(*bytes);
        converted.setCommitString(*bytes, event->replacementStart(), event->replacementLength());
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
    QMimeData plain;
    plain.setText(*bytes);
    QTextEdit::insertFromMimeData(&plain);
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
    QString text;
    for (const QChar c : textCursor().selectedText()) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            text += QLatin1Char('\n');
            continue;
        }
        const char16_t code = c.unicode();
        const char32_t shown = CharacterForByte && code <= 0xFF ? CharacterForByte(static_cast<unsigned char>(code)) : code;
        text += QString::fromUcs4(&shown, 1);
    }
    auto* data = new QMimeData;
    data->setText(text);
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
