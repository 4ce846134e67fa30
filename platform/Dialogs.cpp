#include "platform/Dialogs.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/Latin1.h"

namespace vyk {

namespace {

constexpr char ProgramName[] = "Vyakorsutravali";

struct ButtonRow {
    MsgButtons buttons;
    QMessageBox::StandardButtons standard;
    QMessageBox::StandardButton first;  // the default, as on Windows
};

constexpr ButtonRow ButtonTable[] = {
    {MsgButtons::OK, QMessageBox::Ok, QMessageBox::Ok},
    {MsgButtons::OKCancel, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok},
    {MsgButtons::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes},
    {MsgButtons::YesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes},
};

struct IconRow {
    MsgIcon icon;
    QMessageBox::Icon qtIcon;
};

constexpr IconRow IconTable[] = {
    {MsgIcon::None, QMessageBox::NoIcon},
    {MsgIcon::Information, QMessageBox::Information},
    {MsgIcon::Question, QMessageBox::Question},
    {MsgIcon::Exclamation, QMessageBox::Warning},
};

struct AnswerRow {
    QMessageBox::StandardButton button;
    MsgAnswer answer;
};

constexpr AnswerRow AnswerTable[] = {
    {QMessageBox::Ok, MsgAnswer::OK},
    {QMessageBox::Cancel, MsgAnswer::Cancel},
    {QMessageBox::Yes, MsgAnswer::Yes},
    {QMessageBox::No, MsgAnswer::No},
};


// The answer a box gives when it is closed without a choice.
MsgAnswer CautiousAnswer(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OKCancel:
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Cancel;
    case MsgButtons::YesNo:
        return MsgAnswer::No;
    case MsgButtons::OK:
        break;
    }
    return MsgAnswer::OK;
}

// CR LF and a lone CR both break the line; a box shows plain text only.
QString MessageText(const std::string& text) {
    QString shown = Latin1(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

}  // namespace

MsgAnswer QtDialogService::MsgBox(const MsgRequest& request) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(request.title.empty() ? QString::fromLatin1(ProgramName) : Latin1(request.title));
    box.setTextFormat(Qt::PlainText);
    box.setText(MessageText(request.text));
    for (const IconRow& row : IconTable) {
        if (row.icon == request.icon) box.setIcon(row.qtIcon);
    }
    for (const ButtonRow& row : ButtonTable) {
        if (row.buttons == request.buttons) {
            box.setStandardButtons(row.standard);
            box.setDefaultButton(row.first);
        }
    }
    // A system-modal box of Windows becomes application modal here.
    box.setWindowModality(Qt::ApplicationModal);
    // The question waits for the user, not the program: show the arrow over
    // an hourglass that start-up or a save may have set, and put it back after.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const auto chosen = static_cast<QMessageBox::StandardButton>(box.exec());
    QApplication::restoreOverrideCursor();
    for (const AnswerRow& row : AnswerTable) {
        if (row.button == chosen) return row.answer;
    }
    return CautiousAnswer(request.buttons);
}

MsgAnswer ScriptedDialogService::MsgBox(const MsgRequest& request) {
    asked.push_back(request);
    if (!planned_.empty()) {
        const MsgAnswer answer = planned_.front();
        planned_.pop_front();
        return answer;
    }
    return CautiousAnswer(request.buttons);
}

}  // namespace vyk
