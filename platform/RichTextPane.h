#pragma once

#include <QTextEdit>

#include <functional>
#include <optional>
#include <string>

#include "platform/InputCodes.h"
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
    // input never crashes or hangs.
    void SetTextRTF(const std::string& rtf);

    // Plain text: every paragraph ended by CR LF except a final empty one.
    std::string Text() const;
    void SetText(const std::string& text);

    // Caret position in Text() coordinates (CR LF counts as two); a
    // position past the end puts the caret at the end. Nothing selected.
    int SelStart() const;
    void SetSelStart(int position);

    // Read-only while locked; key and mouse events still reach the handlers.
    bool Locked() const;
    void SetLocked(bool locked);

    void SetFocus();

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

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // A key that KeyDown already saw while it was offered as a shortcut.
    struct PendingKey {
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        bool swallowed;
    };

    TwipsPlacement placement_;
    std::optional<PendingKey> pendingKey_;
};

}  // namespace vyk
