#pragma once

#include <QKeyCombination>
#include <QList>
#include <QTextEdit>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/InputCodes.h"
#include "platform/PaneLine.h"
#include "platform/Twips.h"

namespace vyk {

// The sutra pane: a rich-text editor that takes a whole RTF document and
// gives back its plain text one byte per character (Latin-1), every
// paragraph ended by CR LF.
class RichTextPane : public QTextEdit {
    Q_OBJECT
public:
    explicit RichTextPane(QWidget* parent = nullptr);

    // Replaces the whole document. Reads the RTF that the sutra rendering
    // writes; unknown control words and groups are skipped, and malformed
    // input never crashes or hangs. The characters of the paragraphs in
    // `paragraphMarks` (counted from 0) carry the mark given there, a number
    // above 0; the marks move with their characters as the user edits.
    void SetTextRTF(const std::string& rtf, const std::map<int, int>& paragraphMarks = {});

    // Plain text: every paragraph ended by CR LF except a final empty one.
    std::string Text() const;
    void SetText(const std::string& text);

    // Caret position in Text() coordinates (CR LF counts as two); a
    // position past the end puts the caret at the end. Nothing selected.
    int SelStart() const;
    void SetSelStart(int position);

    // Every paragraph with its characters' marks, except a final empty one,
    // as Text() reads them.
    std::vector<PaneLine> Lines() const;

    // Read-only while locked; key and mouse events still reach the handlers.
    // Set it again after loading a document: an empty one shows no caret.
    bool Locked() const;
    void SetLocked(bool locked);

    void SetFocus();

    // Key combinations that belong to the window's menus (File, Exit on
    // Ctrl+X, say): while the pane has the focus they reach the menu rather
    // than the pane's own cut or undo. A combination whose menu item is
    // disabled still reaches the pane.
    void GiveWayToMenuKeys(QList<QKeyCombination> keys) { menuKeys_ = std::move(keys); }

    TwipsPlacement& Placement() { return placement_; }

    // Event handlers, set by the owning window.
    // KeyDown: Windows virtual-key code and Shift bits (1 Shift, 2 Ctrl,
    // 4 Alt); a handler that sets keyCode to 0 swallows the key.
    std::function<void(int& keyCode, int shift)> KeyDown;
    // KeyPress: the typed character's Latin-1 code.
    std::function<void(int keyAscii)> KeyPress;
    // MouseDown: button bits (1 left, 2 right, 4 middle), Shift bits, and
    // the point in twips from the pane's top-left corner.
    MouseDownHandler MouseDown;
    // Change: the user changed the text (typing, paste, cut, drop, composed
    // input, an assistive tool, the pane's own undo and redo); documents the
    // program loads raise nothing.
    std::function<void()> Change;
    // ByteForCharacter: the byte that stands for a character that comes in
    // (typed, composed, pasted, dropped, inserted by an assistive tool);
    // nothing when no byte does. Without it, Latin-1 characters are their own
    // bytes.
    std::function<std::optional<unsigned char>(char32_t character)> ByteForCharacter;
    // CharacterForByte: the character a byte of the text stands for, as the
    // clipboard and a drag receive it. Without it, the Latin-1 character.
    std::function<char32_t(unsigned char byte)> CharacterForByte;
    // RefusedCharacter: input holding this character, which has no byte, was
    // refused as a whole; nothing of it reached the text.
    std::function<void(char32_t character)> RefusedCharacter;

    // An edit from an assistive tool (an on-screen keyboard, dictation):
    // document positions [start, end) replaced by text. It passes the lock
    // and the byte lookup as typing does. Only what differs from the text
    // there is replaced, so a tool that sets the whole text keeps the marks
    // of every character it left as it was. A refusal is reported once the
    // call has returned: the tool waits for it.
    void ReplaceFromAssistiveTool(int start, int end, const QString& text);
    // The letters the user sees for text of the pane's bytes, paragraph
    // breaks as LF: what copying and assistive tools receive.
    QString ShownText(const QString& paneText) const;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // A key that KeyDown already saw while it was offered as a shortcut.
    struct PendingKey {
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        bool swallowed;
    };

    // Incoming text as the pane's one-byte characters: each character
    // becomes the byte that stands for it, and a character without one
    // refuses the whole text, with that character in *refused.
    std::optional<QString> ToPaneText(const QString& text, char32_t* refused) const;
    // The byte that stands for one character, as ByteForCharacter says.
    std::optional<unsigned char> ByteFor(char32_t character) const;
    // Typed input that a locked pane refuses: each character as its byte,
    // or "?" when it has none; KeyPress reports it all the same.
    QString RefusedTypingText(const QString& text) const;
    // Raises KeyPress once for each character of text that has come in as
    // typed.
    void RaiseKeyPresses(const QString& paneText);
    // Puts text that came in at the cursor, without the marks of the
    // characters around it.
    void insertUnmarked(QTextCursor& cursor, const QString& paneText);

    TwipsPlacement placement_;
    std::optional<PendingKey> pendingKey_;
    QList<QKeyCombination> menuKeys_;
    // Set while the program loads a document, which is no change of the user's.
    bool loading_ = false;
};

}  // namespace vyk
