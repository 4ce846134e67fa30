// The edit mode and the pane's key handlers: the special-glyph keyboard and
// the marking of typed changes.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/ListControl.h"
#include "platform/RichTextPane.h"
#include "platform/Services.h"
#include "resources/IastGlyphs.h"
#include "window/FrmSutra.h"
#include "window/GlyphKeys.h"

namespace vyk {

namespace {

// Keys that edit the text without typing a character of their own.
constexpr std::array<int, 4> EditingKeys{8 /*BackSpace*/, 9 /*Tab*/, 13 /*Enter*/, 46 /*Delete*/};

bool IsEditingKey(int keyCode) {
    for (int key : EditingKeys) {
        if (key == keyCode) return true;
    }
    return false;
}

// Key codes up to 64 (digits, blanks, navigation keys) never type a glyph.
constexpr int LastNonLetterKey = 64;

// The one character of refused input that the user is told about.
std::string RefusedCharacterMessage(char32_t character) {
    return "Cannot enter the character " + CodePointName(character) +
           ": the sutra text's font, Times Kovra Roman, has no letter for it.\r\n"
           "None of the text that holds it was entered.";
}

}  // namespace

void FrmSutra::connectEditing() {
    connect(mnuToolsEdit, &QAction::triggered, this, [this] { mnuToolsEdit_Click(); });
    for (int k = 1; k <= SectionCount; ++k) connect(InsertItem(k), &QAction::triggered, this, [this, k] { InsertSection(k); });
    connect(mnuToolsSave, &QAction::triggered, this, [this] { mnuToolsSave_Click(); });
    connect(mnuToolsConvert, &QAction::triggered, this, [this] { mnuToolsConvert_Click(); });

    connect(cbOk, &QPushButton::clicked, this, [this] { cbOk_Click(); });
    connect(cbCancel, &QPushButton::clicked, this, [this] { cbCancel_Click(); });
    connect(cbTerm, &QPushButton::clicked, this, [this] { cbTerm_Click(); });

    rtbE[0]->KeyDown = [this](int& keyCode, int shift) { rtbE_KeyDown(0, keyCode, shift); };
    rtbE[0]->KeyPress = [this](int keyAscii) { rtbE_KeyPress(0, keyAscii); };
    // A paste, a cut, a drop or the pane's own undo changes the text without
    // a key of its own; it is a change all the same.
    rtbE[0]->Change = [this] {
        if (!busy()) markTextChanged();
    };
    // Text comes in as the bytes the Roman face shows as its letters, and
    // goes out (copy, cut, drag) as the letters the user sees.
    rtbE[0]->ByteForCharacter = [](char32_t character) { return ByteShowing(character); };
    rtbE[0]->CharacterForByte = [](unsigned char byte) { return CharacterShown(byte); };
    rtbE[0]->RefusedCharacter = [this](char32_t character) {
        MsgRequest report;
        report.text = RefusedCharacterMessage(character);
        report.title = "Edit";
        report.icon = MsgIcon::Exclamation;
        dialogs_.MsgBox(report);
    };
    // The menus' shortcuts (File, Exit on Ctrl+X; Tools, Undo on Ctrl+Z) act
    // whatever control has the focus, the pane included.
    QList<QKeyCombination> menuKeys;
    for (const QAction* item : menuBar_->findChildren<QAction*>()) {
        if (!item->shortcut().isEmpty()) menuKeys.append(item->shortcut()[0]);
    }
    rtbE[0]->GiveWayToMenuKeys(menuKeys);
    rtbE[0]->MouseDown = [this](int button, int shift, double x, double y) { rtbE_MouseDown(0, button, shift, x, y); };
    for (int i = 0; i < int(lstVykE.size()); ++i) {
        lstVykE[i]->MouseDown = [this, i](int button, int shift, double x, double y) {
            lstVykE_MouseDown(i, button, shift, x, y);
        };
    }
    lstVykEx[0]->MouseDown = [this](int button, int shift, double x, double y) {
        lstVykEx_MouseDown(0, button, shift, x, y);
    };

    openPopup_ = [](QMenu* menu, int screenX, int screenY) { menu->exec(QPoint(screenX, screenY)); };
    startProgram_ = [](const std::string& program) { return StartDetached(program); };

    // The edit mode is the Edit item's tick together with the pane's
    // read-only switch: unticked, the pane starts read-only.
    session_->SetWritable(mnuToolsEdit->isChecked());
}

void FrmSutra::mnuToolsEdit_Click() {
    if (busy()) return;
    // Leaving the mode keeps pending typing pending: the next display commits it.
    const bool editing = !mnuToolsEdit->isChecked();
    session_->SetWritable(editing);
    mnuToolsEdit->setChecked(editing);
}

void FrmSutra::rtbE_KeyDown(int /*index*/, int& keyCode, int shift) {
    // While a save runs its commit has already taken the pane's text; a key
    // that changed the pane now would be dropped unseen by the reload.
    if (busy()) {
        keyCode = 0;
        return;
    }

    if (IsEditingKey(keyCode)) {
        markTextChanged();
        return;
    }

    if (keyCode <= LastNonLetterKey) return;

    // The typed byte comes back through KeyPress, which marks the change.
    if (const int byte = GlyphByteFor(keyCode, shift)) {
        PostTypedByte(static_cast<unsigned char>(byte));
        keyCode = 0;
    }
}

void FrmSutra::rtbE_KeyPress(int /*index*/, int keyAscii) {
    if (busy()) return;
    if (keyAscii > 31) markTextChanged();
}

// The pane reports a change whether or not it took the key: in view mode the
// text stays as it was, and the mark is set all the same.
void FrmSutra::markTextChanged() {
    session_->MarkChanged();
    mnuToolsSave->setEnabled(true);
}

}  // namespace vyk
